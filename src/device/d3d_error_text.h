// The message shown for a failed device call: one fixed text per result code.
#pragma once

#include <string>

#include "device/hresult.h"

namespace zt {

std::string D3DErrorText(HRESULT code);

}  // namespace zt
