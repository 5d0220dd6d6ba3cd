#include "device/hresult.h"

#include <algorithm>

namespace zt {

std::string D3DErrorText(HRESULT code) {
  const auto* found = std::ranges::find(kD3DResultTexts, code, &ResultText::Code);
  return std::string(found != kD3DResultTexts.end() ? found->Text : "Unrecognized Error");
}

}  // namespace zt
