#include "device/device.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

namespace zt {

namespace {

uint32_t Expand(uint32_t value, int bits) {  // a bits-wide channel to 0..255
  const uint32_t max = (1u << bits) - 1;
  return (value * 255 + max / 2) / max;
}

void StoreTexel(D3DFORMAT format, uint32_t argb, uint8_t* out) {
  const uint32_t a = argb >> 24, r = (argb >> 16) & 0xFF, g = (argb >> 8) & 0xFF, b = argb & 0xFF;
  uint16_t value16 = 0;
  switch (format) {
    case D3DFMT_A8R8G8B8:
      std::memcpy(out, &argb, 4);
      return;
    case D3DFMT_X8R8G8B8: {
      const uint32_t opaque = argb | 0xFF000000u;
      std::memcpy(out, &opaque, 4);
      return;
    }
    case D3DFMT_R5G6B5:
      value16 = static_cast<uint16_t>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
      break;
    case D3DFMT_X1R5G5B5:
      value16 = static_cast<uint16_t>(0x8000 | ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3));
      break;
    case D3DFMT_A1R5G5B5:
      value16 = static_cast<uint16_t>(((a >= 128 ? 1u : 0u) << 15) | ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3));
      break;
    case D3DFMT_A4R4G4B4:
      value16 = static_cast<uint16_t>(((a >> 4) << 12) | ((r >> 4) << 8) | ((g >> 4) << 4) | (b >> 4));
      break;
    default:
      return;
  }
  std::memcpy(out, &value16, 2);
}

}  // namespace

D3DPRESENT_PARAMETERS PresentParameters(uint32_t width, uint32_t height, D3DFORMAT format, bool windowed) {
  D3DPRESENT_PARAMETERS parameters;
  parameters.BackBufferWidth = width;
  parameters.BackBufferHeight = height;
  parameters.BackBufferFormat = format;
  parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
  parameters.Windowed = windowed ? 1 : 0;
  parameters.EnableAutoDepthStencil = 1;
  parameters.AutoDepthStencilFormat = D3DFMT_D16;
  return parameters;
}

VertexLayout DescribeFvf(uint32_t fvf) {
  VertexLayout layout;
  constexpr uint32_t known = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE | D3DFVF_TEX1;
  if ((fvf & ~known) != 0 || (fvf & D3DFVF_XYZ) == 0) return layout;
  int offset = 12;
  if (fvf & D3DFVF_NORMAL) {
    layout.Normal = offset;
    offset += 12;
  }
  if (fvf & D3DFVF_DIFFUSE) {
    layout.Diffuse = offset;
    offset += 4;
  }
  if (fvf & D3DFVF_TEX1) {
    layout.TexCoord = offset;
    offset += 8;
  }
  layout.Stride = offset;
  layout.Valid = true;
  return layout;
}

uint32_t BytesPerTexel(D3DFORMAT format) {
  switch (format) {
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8:
      return 4;
    case D3DFMT_R5G6B5:
    case D3DFMT_X1R5G5B5:
    case D3DFMT_A1R5G5B5:
    case D3DFMT_A4R4G4B4:
      return 2;
    default:
      return 0;
  }
}

uint32_t FullMipChainLength(uint32_t width, uint32_t height) {
  uint32_t side = std::max(width, height), levels = 1;
  while (side > 1) {
    side /= 2;
    ++levels;
  }
  return levels;
}

Texture::Texture(uint32_t width, uint32_t height, uint32_t levels, D3DFORMAT format, D3DPOOL pool)
    : format_(format), pool_(pool) {
  const uint32_t count = levels == 0 ? FullMipChainLength(width, height) : levels;
  for (uint32_t i = 0; i < count; ++i)
    levels_.push_back(Level{.width = std::max(1u, width >> i), .height = std::max(1u, height >> i), .bits = {}});
}

uint32_t Texture::Width(uint32_t level) const { return levels_[level].width; }
uint32_t Texture::Height(uint32_t level) const { return levels_[level].height; }

HRESULT Texture::GetLevelDesc(uint32_t level, D3DSURFACE_DESC& desc) const {
  if (level >= levels_.size()) return D3DERR_INVALIDCALL;
  desc.Format = format_;
  desc.Pool = pool_;
  desc.Width = levels_[level].width;
  desc.Height = levels_[level].height;
  desc.Size = Pitch(level) * desc.Height;
  return D3D_OK;
}

HRESULT Texture::LockRect(uint32_t level, D3DLOCKED_RECT& locked, uint32_t) {
  if (level >= levels_.size() || levels_[level].locked) return D3DERR_INVALIDCALL;
  locked.pBits = const_cast<uint8_t*>(LevelBytes(level).data());
  locked.Pitch = static_cast<int32_t>(Pitch(level));
  levels_[level].locked = true;
  return D3D_OK;
}

HRESULT Texture::UnlockRect(uint32_t level) {
  if (level >= levels_.size() || !levels_[level].locked) return D3DERR_INVALIDCALL;
  levels_[level].locked = false;
  ++levels_[level].version;
  LevelWritten(level);
  return D3D_OK;
}

void Texture::HandOverBytes(uint32_t level) {
  Level& l = levels_[level];
  if (l.locked) return;
  std::vector<uint8_t>().swap(l.bits);
  l.handedOver = true;
}

const std::vector<uint8_t>& Texture::LevelBytes(uint32_t level) const {
  Level& l = levels_[level];
  if (!l.bits.empty()) return l.bits;
  const size_t size = size_t{Pitch(level)} * l.height;
  if (l.handedOver) {
    l.bits.resize(size);
    ReadBack(level, l.bits.data());
    l.handedOver = false;
  } else if (level > 0 && derivedLevels_) {
    DeriveLevel(level);
  } else {
    l.bits.assign(size, 0);
  }
  return l.bits;
}

void Texture::DeriveLevel(uint32_t level) const {
  Image above;
  above.Width = static_cast<int>(Width(level - 1));
  above.Height = static_cast<int>(Height(level - 1));
  above.Argb.reserve(size_t{Width(level - 1)} * Height(level - 1));
  for (uint32_t y = 0; y < Height(level - 1); ++y)
    for (uint32_t x = 0; x < Width(level - 1); ++x) above.Argb.push_back(TexelArgb(level - 1, x, y));
  const Image half = HalveImage(above);
  Level& l = levels_[level];
  l.bits.assign(size_t{Pitch(level)} * l.height, 0);
  const uint32_t bytes = BytesPerTexel(format_);
  for (uint32_t y = 0; y < l.height; ++y)
    for (uint32_t x = 0; x < l.width; ++x)
      StoreTexel(format_, half.At(static_cast<int>(x), static_cast<int>(y)),
                 l.bits.data() + (size_t{y} * l.width + x) * bytes);
}

uint32_t Texture::TexelArgb(uint32_t level, uint32_t x, uint32_t y) const {
  const uint8_t* p = Bits(level) + (static_cast<size_t>(y) * Width(level) + x) * BytesPerTexel(format_);
  uint32_t v32 = 0;
  uint16_t v = 0;
  if (BytesPerTexel(format_) == 4)
    std::memcpy(&v32, p, 4);
  else if (BytesPerTexel(format_) == 2)
    std::memcpy(&v, p, 2);
  switch (format_) {
    case D3DFMT_A8R8G8B8:
      return v32;
    case D3DFMT_X8R8G8B8:
      return v32 | 0xFF000000u;
    case D3DFMT_R5G6B5:
      return D3DCOLOR_ARGB(255, Expand(v >> 11, 5), Expand((v >> 5) & 63, 6), Expand(v & 31, 5));
    case D3DFMT_X1R5G5B5:
    case D3DFMT_A1R5G5B5:
      return D3DCOLOR_ARGB(format_ == D3DFMT_X1R5G5B5 || (v & 0x8000) ? 255 : 0, Expand((v >> 10) & 31, 5),
                           Expand((v >> 5) & 31, 5), Expand(v & 31, 5));
    case D3DFMT_A4R4G4B4:
      return D3DCOLOR_ARGB(Expand(v >> 12, 4), Expand((v >> 8) & 15, 4), Expand((v >> 4) & 15, 4), Expand(v & 15, 4));
    default:
      return 0;
  }
}

VertexBuffer::VertexBuffer(uint32_t length, uint32_t fvf, D3DPOOL pool) : length_(length), fvf_(fvf), pool_(pool) {}

void VertexBuffer::Hold(uint32_t end) {
  if (end > bytes_.size()) bytes_.resize(std::min(end, length_), 0);
}

const uint8_t* VertexBuffer::Data(uint32_t end) {
  Hold(end);
  return bytes_.data();
}

HRESULT VertexBuffer::Lock(uint32_t offset, uint32_t size, uint8_t** data, uint32_t) {
  if (data == nullptr || locked_ || offset > length_) return D3DERR_INVALIDCALL;
  const uint32_t end = size == 0 ? Length() : offset + size;
  if (end > length_ || end < offset) return D3DERR_INVALIDCALL;
  Hold(end);
  locked_ = true;
  lockBegin_ = offset;
  lockEnd_ = end;
  *data = bytes_.data() + offset;
  return D3D_OK;
}

HRESULT VertexBuffer::Unlock() {
  if (!locked_) return D3DERR_INVALIDCALL;
  locked_ = false;
  if (lockEnd_ > lockBegin_) {
    if (changedEnd_ == changedBegin_) {
      changedBegin_ = lockBegin_;
      changedEnd_ = lockEnd_;
    } else {
      changedBegin_ = std::min(changedBegin_, lockBegin_);
      changedEnd_ = std::max(changedEnd_, lockEnd_);
    }
  }
  return D3D_OK;
}

void VertexBuffer::TakeChangedRange(uint32_t& begin, uint32_t& end) {
  begin = changedBegin_;
  end = changedEnd_;
  changedBegin_ = changedEnd_ = 0;
}

DeviceState::DeviceState() : World(kIdentityMatrix), View(kIdentityMatrix), Projection(kIdentityMatrix) {
  RenderStates[D3DRS_ZENABLE] = D3DZB_TRUE;
  RenderStates[D3DRS_FILLMODE] = D3DFILL_SOLID;
  RenderStates[D3DRS_SHADEMODE] = D3DSHADE_GOURAUD;
  RenderStates[D3DRS_ZWRITEENABLE] = 1;
  RenderStates[D3DRS_SRCBLEND] = D3DBLEND_ONE;
  RenderStates[D3DRS_DESTBLEND] = D3DBLEND_ZERO;
  RenderStates[D3DRS_CULLMODE] = D3DCULL_CCW;
  RenderStates[D3DRS_ZFUNC] = D3DCMP_LESSEQUAL;
  RenderStates[D3DRS_ALPHAFUNC] = D3DCMP_ALWAYS;
  RenderStates[D3DRS_TEXTUREFACTOR] = 0xFFFFFFFFu;
  RenderStates[D3DRS_LIGHTING] = 1;
  RenderStates[D3DRS_COLORVERTEX] = 1;
  RenderStates[D3DRS_LOCALVIEWER] = 1;
  RenderStates[D3DRS_DIFFUSEMATERIALSOURCE] = D3DMCS_COLOR1;
  RenderStates[D3DRS_SPECULARMATERIALSOURCE] = D3DMCS_COLOR2;
  RenderStates[D3DRS_AMBIENTMATERIALSOURCE] = D3DMCS_MATERIAL;
  RenderStates[D3DRS_EMISSIVEMATERIALSOURCE] = D3DMCS_MATERIAL;
  for (uint32_t stage = 0; stage < kTextureStageCount; ++stage) {
    auto& s = StageStates[stage];
    s[D3DTSS_COLOROP] = stage == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
    s[D3DTSS_COLORARG1] = D3DTA_TEXTURE;
    s[D3DTSS_COLORARG2] = D3DTA_CURRENT;
    s[D3DTSS_ALPHAOP] = stage == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE;
    s[D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
    s[D3DTSS_ALPHAARG2] = D3DTA_CURRENT;
    s[D3DTSS_ADDRESSU] = D3DTADDRESS_WRAP;
    s[D3DTSS_ADDRESSV] = D3DTADDRESS_WRAP;
    s[D3DTSS_MAGFILTER] = D3DTEXF_POINT;
    s[D3DTSS_MINFILTER] = D3DTEXF_POINT;
    s[D3DTSS_MIPFILTER] = D3DTEXF_NONE;
  }
}

HRESULT ApplySetTransform(DeviceState& state, D3DTRANSFORMSTATETYPE which, const D3DMATRIX& matrix) {
  switch (which) {
    case D3DTS_WORLD:
      state.World = matrix;
      return D3D_OK;
    case D3DTS_VIEW:
      state.View = matrix;
      return D3D_OK;
    case D3DTS_PROJECTION:
      state.Projection = matrix;
      return D3D_OK;
  }
  return D3DERR_INVALIDCALL;
}

HRESULT ApplySetLight(DeviceState& state, uint32_t index, const D3DLIGHT8& light) {
  if (index >= kLightSlots) return D3DERR_INVALIDCALL;
  if (light.Type != D3DLIGHT_POINT && light.Type != D3DLIGHT_SPOT && light.Type != D3DLIGHT_DIRECTIONAL)
    return D3DERR_INVALIDCALL;
  state.Lights[index].Light = light;
  state.Lights[index].Set = true;
  return D3D_OK;
}

HRESULT ApplyLightEnable(DeviceState& state, uint32_t index, bool enable) {
  if (index >= kLightSlots) return D3DERR_INVALIDCALL;
  LightSlot& slot = state.Lights[index];
  if (!slot.Set) {  // Direct3D's default light: white, directional, along +z
    slot.Light = D3DLIGHT8{};
    slot.Light.Type = D3DLIGHT_DIRECTIONAL;
    slot.Light.Diffuse = {1, 1, 1, 0};
    slot.Light.Direction = {0, 0, 1};
    slot.Set = true;
  }
  slot.Enabled = enable;
  return D3D_OK;
}

HRESULT ApplySetRenderState(DeviceState& state, D3DRENDERSTATETYPE which, uint32_t value) {
  if (which >= kRenderStateCount) return D3DERR_INVALIDCALL;
  state.RenderStates[which] = value;
  return D3D_OK;
}

HRESULT ApplySetTextureStageState(DeviceState& state, uint32_t stage, D3DTEXTURESTAGESTATETYPE which, uint32_t value) {
  if (stage >= kTextureStageCount || which >= kStageStateCount) return D3DERR_INVALIDCALL;
  state.StageStates[stage][which] = value;
  return D3D_OK;
}

HRESULT ApplySetTexture(DeviceState& state, uint32_t stage, const TexturePtr& texture) {
  if (stage >= kTextureStageCount) return D3DERR_INVALIDCALL;
  state.Textures[stage] = texture;
  return D3D_OK;
}

HRESULT ApplySetStreamSource(DeviceState& state, uint32_t stream, const VertexBufferPtr& buffer, uint32_t stride) {
  if (stream != 0) return D3DERR_INVALIDCALL;  // the game draws from one stream
  state.Stream = buffer;
  state.StreamStride = stride;
  return D3D_OK;
}

uint32_t VertexCount(D3DPRIMITIVETYPE type, uint32_t primitiveCount) {
  if (primitiveCount == 0) return 0;
  return type == D3DPT_TRIANGLELIST ? primitiveCount * 3 : primitiveCount + 2;
}

HRESULT CheckDraw(const DeviceState& state, D3DPRIMITIVETYPE type, uint32_t startVertex, uint32_t primitiveCount) {
  if (type != D3DPT_TRIANGLELIST && type != D3DPT_TRIANGLESTRIP) return D3DERR_INVALIDCALL;
  if (!state.Stream) return D3DERR_INVALIDCALL;
  const VertexLayout layout = DescribeFvf(state.Fvf);
  if (!layout.Valid || state.StreamStride < static_cast<uint32_t>(layout.Stride)) return D3DERR_INVALIDCALL;
  const uint64_t end = (uint64_t{startVertex} + VertexCount(type, primitiveCount)) * state.StreamStride;
  const uint64_t needed = primitiveCount == 0 ? 0 : end - state.StreamStride + layout.Stride;
  if (needed > state.Stream->Length()) return D3DERR_INVALIDCALL;
  return D3D_OK;
}

HRESULT Device::LoadTextureFromFile(const std::string& file, uint32_t width, uint32_t height, uint32_t mipLevels,
                                    uint32_t usage, D3DFORMAT format, D3DPOOL pool, uint32_t /*filter*/,
                                    uint32_t /*mipFilter*/, D3DCOLOR colorKey, TexturePtr& out) {
  out.reset();
  std::string path = file;
  std::replace(path.begin(), path.end(), '\\', '/');
  std::error_code ignored;
  if (!std::filesystem::is_regular_file(path, ignored)) return D3DERR_NOTFOUND;
  Image image;
  std::string error;
  if (!ReadImageFile(path, image, error)) return D3DXERR_INVALIDDATA;
  // The top level keeps the picture's size; a different size asked for is refused.
  const auto sizeMatches = [](uint32_t asked, int actual) {
    return asked == 0 || asked == D3DX_DEFAULT || asked == static_cast<uint32_t>(actual);
  };
  if (!sizeMatches(width, image.Width) || !sizeMatches(height, image.Height)) return D3DERR_INVALIDCALL;
  if (format == D3DFMT_UNKNOWN) format = D3DFMT_A8R8G8B8;
  if (BytesPerTexel(format) == 0) return D3DERR_INVALIDCALL;
  ApplyColourKey(image, colorKey);
  const uint32_t full = FullMipChainLength(image.Width, image.Height);
  const uint32_t levels = mipLevels == 0 || mipLevels == D3DX_DEFAULT ? full : std::min(mipLevels, full);
  TexturePtr texture;
  HRESULT result = CreateTexture(image.Width, image.Height, levels, usage, format, pool, texture);
  if (Failed(result)) return result;
  D3DLOCKED_RECT locked;
  result = texture->LockRect(0, locked);
  if (Failed(result)) return result;
  const uint32_t bytes = BytesPerTexel(format);
  for (int y = 0; y < image.Height; ++y) {
    uint8_t* row = static_cast<uint8_t*>(locked.pBits) + static_cast<size_t>(y) * locked.Pitch;
    if (format == D3DFMT_A8R8G8B8)  // the picture's own layout
      std::memcpy(row, &image.Argb[static_cast<size_t>(y) * image.Width], static_cast<size_t>(image.Width) * 4);
    else
      for (int x = 0; x < image.Width; ++x) StoreTexel(format, image.At(x, y), row + x * bytes);
  }
  image = Image();  // the picture is in the level now, and the device takes the level as it is unlocked
  texture->DeriveLowerLevels();
  texture->UnlockRect(0);
  texture->SourceFile = file;
  out = std::move(texture);
  return D3D_OK;
}

}  // namespace zt
