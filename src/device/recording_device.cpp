#include "device/recording_device.h"

#include <algorithm>

namespace zt {

namespace {

// A texture whose levels are let go as soon as they are written: a later lock or read sees zeros.
class UnkeptTexture final : public Texture {
 public:
  using Texture::Texture;

 private:
  void LevelWritten(uint32_t level) override { HandOverBytes(level); }
};

}  // namespace

HRESULT RecordingDevice::CreateVertexBuffer(uint32_t length, uint32_t, uint32_t fvf, D3DPOOL pool,
                                            VertexBufferPtr& out) {
  if (Failed(CreateVertexBufferResult)) return CreateVertexBufferResult;
  if (length == 0) return D3DERR_INVALIDCALL;
  out = std::make_shared<VertexBuffer>(length, fvf, pool);
  buffers_.push_back(out);
  return D3D_OK;
}

HRESULT RecordingDevice::CreateTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t, D3DFORMAT format,
                                       D3DPOOL pool, TexturePtr& out) {
  if (Failed(CreateTextureResult)) return CreateTextureResult;
  if (width == 0 || height == 0 || BytesPerTexel(format) == 0) return D3DERR_INVALIDCALL;
  const uint32_t kept = std::min(levels, FullMipChainLength(width, height));
  if (keepTexels_)
    out = std::make_shared<Texture>(width, height, kept, format, pool);
  else
    out = std::make_shared<UnkeptTexture>(width, height, kept, format, pool);
  textures_.push_back(out);
  return D3D_OK;
}

HRESULT RecordingDevice::Clear(uint32_t flags, D3DCOLOR color, float, uint32_t) {
  ++Clears;
  LastClearFlags = flags;
  if (flags & D3DCLEAR_TARGET) LastClearColor = color;
  return D3D_OK;
}

HRESULT RecordingDevice::BeginScene() {
  if (InScene) return D3DERR_INVALIDCALL;
  InScene = true;
  ++BeginScenes;
  Draws.clear();
  return D3D_OK;
}

HRESULT RecordingDevice::EndScene() {
  if (!InScene) return D3DERR_INVALIDCALL;
  InScene = false;
  ++EndScenes;
  return D3D_OK;
}

HRESULT RecordingDevice::Present() {
  ++Presents;
  return D3D_OK;
}

HRESULT RecordingDevice::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX& matrix) {
  return ApplySetTransform(state_, state, matrix);
}
HRESULT RecordingDevice::SetLight(uint32_t index, const D3DLIGHT8& light) {
  return ApplySetLight(state_, index, light);
}
HRESULT RecordingDevice::LightEnable(uint32_t index, bool enable) { return ApplyLightEnable(state_, index, enable); }
HRESULT RecordingDevice::SetMaterial(const D3DMATERIAL8& material) {
  state_.Material = material;
  return D3D_OK;
}
HRESULT RecordingDevice::SetRenderState(D3DRENDERSTATETYPE state, uint32_t value) {
  return ApplySetRenderState(state_, state, value);
}
HRESULT RecordingDevice::SetTextureStageState(uint32_t stage, D3DTEXTURESTAGESTATETYPE state, uint32_t value) {
  return ApplySetTextureStageState(state_, stage, state, value);
}
HRESULT RecordingDevice::SetTexture(uint32_t stage, const TexturePtr& texture) {
  return ApplySetTexture(state_, stage, texture);
}
HRESULT RecordingDevice::SetStreamSource(uint32_t stream, const VertexBufferPtr& buffer, uint32_t stride) {
  return ApplySetStreamSource(state_, stream, buffer, stride);
}
HRESULT RecordingDevice::SetVertexShader(uint32_t fvf) {
  state_.Fvf = fvf;
  return D3D_OK;
}

HRESULT RecordingDevice::DrawPrimitive(D3DPRIMITIVETYPE type, uint32_t startVertex, uint32_t primitiveCount) {
  if (!InScene) return D3DERR_INVALIDCALL;
  const HRESULT check = CheckDraw(state_, type, startVertex, primitiveCount);
  if (Failed(check)) return check;
  DrawRecord record;
  record.Type = type;
  record.StartVertex = startVertex;
  record.PrimitiveCount = primitiveCount;
  std::copy_n(state_.RenderStates.begin(), record.State.RenderStates.size(), record.State.RenderStates.begin());
  record.State.Stage0 = state_.StageStates[0];
  record.State.World = state_.World;
  record.State.Material = state_.Material;
  for (uint32_t i = 0; i < kLightSlots; ++i) record.State.LightEnabled[i] = state_.Lights[i].Enabled;
  record.State.StreamStride = state_.StreamStride;
  record.State.Fvf = state_.Fvf;
  record.TextureUsed = state_.Textures[0].get();
  if (state_.Textures[0]) record.TextureFile = state_.Textures[0]->SourceFile;
  record.StreamUsed = state_.Stream.get();
  const size_t begin = size_t{startVertex} * state_.StreamStride;
  const size_t bytes = size_t{VertexCount(type, primitiveCount)} * state_.StreamStride;
  if (bytes <= DrawRecord::kKeptVertexBytes) {
    const auto end = static_cast<uint32_t>(std::min<size_t>(begin + bytes, state_.Stream->Length()));
    const uint8_t* data = state_.Stream->Data(end);
    record.Vertices.assign(data + begin, data + end);
  }
  Draws.push_back(std::move(record));
  ++TotalDraws;
  return D3D_OK;
}

Image RecordingDevice::ReadBackBuffer() {
  Image image;
  image.Width = static_cast<int>(width_);
  image.Height = static_cast<int>(height_);
  image.Argb.assign(size_t{width_} * height_, LastClearColor | 0xFF000000u);
  return image;
}

int RecordingDevice::LiveTextures() const {
  return static_cast<int>(std::count_if(textures_.begin(), textures_.end(), [](auto& t) { return !t.expired(); }));
}

int RecordingDevice::LiveVertexBuffers() const {
  return static_cast<int>(std::count_if(buffers_.begin(), buffers_.end(), [](auto& b) { return !b.expired(); }));
}

HRESULT RecordingDirect3D::CheckDeviceType(uint32_t, D3DDEVTYPE, D3DFORMAT displayFormat, D3DFORMAT backBufferFormat,
                                           bool) {
  CheckedDisplayFormats.push_back(displayFormat);
  const bool known = std::find(DisplayFormats.begin(), DisplayFormats.end(), displayFormat) != DisplayFormats.end();
  return known && displayFormat == backBufferFormat ? D3D_OK : D3DERR_NOTAVAILABLE;
}

HRESULT RecordingDirect3D::CheckDeviceFormat(uint32_t, D3DDEVTYPE, D3DFORMAT, uint32_t, D3DRESOURCETYPE resourceType,
                                             D3DFORMAT checkFormat) {
  if (resourceType != D3DRTYPE_TEXTURE) return D3DERR_NOTAVAILABLE;
  const bool known = std::find(TextureFormats.begin(), TextureFormats.end(), checkFormat) != TextureFormats.end();
  return known ? D3D_OK : D3DERR_NOTAVAILABLE;
}

HRESULT RecordingDirect3D::GetAdapterDisplayMode(uint32_t, D3DDISPLAYMODE& mode) {
  mode = Mode;
  return D3D_OK;
}

HRESULT RecordingDirect3D::CreateDevice(uint32_t, D3DDEVTYPE, uint32_t, const D3DPRESENT_PARAMETERS& parameters,
                                        DevicePtr& out) {
  CreatedWith.push_back(parameters);
  if (Failed(CreateDeviceResult)) return CreateDeviceResult;
  const uint32_t width = parameters.BackBufferWidth != 0 ? parameters.BackBufferWidth : Mode.Width;
  const uint32_t height = parameters.BackBufferHeight != 0 ? parameters.BackBufferHeight : Mode.Height;
  auto device = std::make_shared<RecordingDevice>(width, height, KeepTexels);
  LastDevice = device;
  out = device;
  return D3D_OK;
}

}  // namespace zt
