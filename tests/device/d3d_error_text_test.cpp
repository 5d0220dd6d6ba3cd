#include <gtest/gtest.h>

#include <set>

#include "device/hresult.h"

namespace zt {
namespace {

TEST(D3DErrorText, KnownCodesKeepTheirTextsWordForWord) {
  EXPECT_EQ(D3DErrorText(0), "No error occurred.");
  EXPECT_EQ(D3DErrorText(E_FAIL), "An undetermined error occurred inside the Direct3D subsystem.");
  EXPECT_EQ(D3DErrorText(E_OUTOFMEMORY), "Direct3D could not allocate sufficient memory to complete the call.");
  // No full stop after "function", and the text that stops after "than the device".
  EXPECT_EQ(D3DErrorText(static_cast<HRESULT>(0x80070057u)),
            "An invalid parameter was passed to the returning function");
  EXPECT_EQ(D3DErrorText(static_cast<HRESULT>(0x8876081Du)),
            "The application is requesting more texture-filtering operations than the device");
  EXPECT_EQ(D3DErrorText(static_cast<HRESULT>(0x88760826u)),
            "The current textures cannot be used simultaneously. This generally occurs when a multitexture device "
            "requires that all palletized textures simultaneously enabled also share the same palette.");
  EXPECT_EQ(D3DErrorText(D3DERR_INVALIDCALL),
            "The method call is invalid. For example, a method's parameter may have an invalid value.");
  EXPECT_EQ(D3DErrorText(static_cast<HRESULT>(0x88760868u)),
            "The device is lost and cannot be restored at the current time, so rendering is not possible.");
}

TEST(D3DErrorText, EveryTableCodeHasItsOwnTextAndOthersAreUnrecognized) {
  const uint32_t codes[] = {0,          0x80004005, 0x8007000E, 0x80070057, 0x8876017C, 0x88760818,
                            0x88760819, 0x8876081A, 0x8876081B, 0x8876081C, 0x8876081D, 0x8876081E,
                            0x8876081F, 0x88760821, 0x88760822, 0x88760826, 0x88760827, 0x88760866,
                            0x88760867, 0x88760868, 0x88760869, 0x8876086A, 0x8876086B, 0x8876086C};
  std::set<std::string> texts;
  for (uint32_t code : codes) {
    const std::string text = D3DErrorText(static_cast<HRESULT>(code));
    EXPECT_NE(text, "Unrecognized Error") << std::hex << code;
    texts.insert(text);
  }
  EXPECT_EQ(texts.size(), std::size(codes));
  // The DirectInput failure code 1 and codes next to the table's are not in it.
  for (uint32_t code : {1u, 0x88760820u, 0x88760823u, 0x8876086Du, 0x80004004u})
    EXPECT_EQ(D3DErrorText(static_cast<HRESULT>(code)), "Unrecognized Error") << std::hex << code;
}

}  // namespace
}  // namespace zt
