// A device that draws nothing and keeps what it was asked to draw: every draw call
// with a copy of the states the drawing depends on, counts of clears, scenes and presents, and the
// memory of its textures and vertex buffers so Lock/Unlock work. Tests and the
// headless replay runner draw through it; a run that looks at no texel (the headless one) may
// have the texels let go once written.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "device/device.h"

namespace zt {

// The states a draw is recorded with: what the drawing tests look at, not the lights'
// values, the other matrices or the later texture stages.
struct DrawnState {
  std::array<uint32_t, D3DRS_EMISSIVEMATERIALSOURCE + 1> RenderStates{};  // up to the last one the game sets
  std::array<uint32_t, kStageStateCount> Stage0{};
  D3DMATRIX World;
  D3DMATERIAL8 Material;
  std::array<bool, kLightSlots> LightEnabled{};
  uint32_t StreamStride = 0;
  uint32_t Fvf = 0;
};

struct DrawRecord {
  D3DPRIMITIVETYPE Type = D3DPT_TRIANGLELIST;
  uint32_t StartVertex = 0;
  uint32_t PrimitiveCount = 0;
  DrawnState State;                          // keeps nothing alive: see TextureUsed, TextureFile and StreamUsed
  const zt::Texture* TextureUsed = nullptr;  // stage 0
  std::string TextureFile;                   // stage 0 texture's file, empty when none or created
  const VertexBuffer* StreamUsed = nullptr;
  std::vector<uint8_t> Vertices;  // the drawn vertices' bytes, when at most kKeptVertexBytes

  static constexpr size_t kKeptVertexBytes = 4096;
  uint32_t RenderState(D3DRENDERSTATETYPE which) const {
    return which < State.RenderStates.size() ? State.RenderStates[which] : 0;
  }
  uint32_t StageState(D3DTEXTURESTAGESTATETYPE which) const { return State.Stage0[which]; }
};

class RecordingDevice final : public Device {
 public:
  explicit RecordingDevice(uint32_t backBufferWidth = 640, uint32_t backBufferHeight = 480, bool keepTexels = true)
      : width_(backBufferWidth), height_(backBufferHeight), keepTexels_(keepTexels) {}

  HRESULT CreateVertexBuffer(uint32_t length, uint32_t usage, uint32_t fvf, D3DPOOL pool,
                             VertexBufferPtr& out) override;
  HRESULT CreateTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t usage, D3DFORMAT format,
                        D3DPOOL pool, TexturePtr& out) override;
  HRESULT Clear(uint32_t flags, D3DCOLOR color, float z, uint32_t stencil) override;
  HRESULT BeginScene() override;
  HRESULT EndScene() override;
  HRESULT Present() override;
  HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX& matrix) override;
  HRESULT SetLight(uint32_t index, const D3DLIGHT8& light) override;
  HRESULT LightEnable(uint32_t index, bool enable) override;
  HRESULT SetMaterial(const D3DMATERIAL8& material) override;
  HRESULT SetRenderState(D3DRENDERSTATETYPE state, uint32_t value) override;
  HRESULT SetTextureStageState(uint32_t stage, D3DTEXTURESTAGESTATETYPE state, uint32_t value) override;
  HRESULT SetTexture(uint32_t stage, const TexturePtr& texture) override;
  HRESULT SetStreamSource(uint32_t stream, const VertexBufferPtr& buffer, uint32_t stride) override;
  HRESULT SetVertexShader(uint32_t fvf) override;
  HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, uint32_t startVertex, uint32_t primitiveCount) override;
  // The back buffer holds only the last clear colour: nothing is drawn.
  Image ReadBackBuffer() override;
  const DeviceState& State() const override { return state_; }

  // Resources made by this device still referenced by someone.
  int LiveTextures() const;
  int LiveVertexBuffers() const;

  std::vector<DrawRecord> Draws;  // since the last BeginScene
  int TotalDraws = 0;
  int Clears = 0, BeginScenes = 0, EndScenes = 0, Presents = 0;
  D3DCOLOR LastClearColor = 0;
  uint32_t LastClearFlags = 0;
  bool InScene = false;
  // Failures to hand out, for the error paths of the callers.
  HRESULT CreateVertexBufferResult = D3D_OK;
  HRESULT CreateTextureResult = D3D_OK;

 private:
  uint32_t width_, height_;
  bool keepTexels_;  // false: a written level reads back as zeros
  DeviceState state_;
  std::vector<std::weak_ptr<Texture>> textures_;
  std::vector<std::weak_ptr<VertexBuffer>> buffers_;
};

// The Direct3D object of the tests: the formats it accepts are set by the test.
class RecordingDirect3D final : public Direct3D {
 public:
  HRESULT CheckDeviceType(uint32_t adapter, D3DDEVTYPE type, D3DFORMAT displayFormat, D3DFORMAT backBufferFormat,
                          bool windowed) override;
  HRESULT CheckDeviceFormat(uint32_t adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat, uint32_t usage,
                            D3DRESOURCETYPE resourceType, D3DFORMAT checkFormat) override;
  HRESULT GetAdapterDisplayMode(uint32_t adapter, D3DDISPLAYMODE& mode) override;
  HRESULT CreateDevice(uint32_t adapter, D3DDEVTYPE type, uint32_t behaviorFlags,
                       const D3DPRESENT_PARAMETERS& parameters, DevicePtr& out) override;

  std::vector<D3DFORMAT> DisplayFormats{D3DFMT_X8R8G8B8, D3DFMT_R5G6B5, D3DFMT_X1R5G5B5};
  std::vector<D3DFORMAT> TextureFormats{D3DFMT_A8R8G8B8, D3DFMT_X8R8G8B8, D3DFMT_R5G6B5,
                                        D3DFMT_X1R5G5B5, D3DFMT_A1R5G5B5, D3DFMT_A4R4G4B4};
  D3DDISPLAYMODE Mode{1024, 768, 60, D3DFMT_X8R8G8B8};
  HRESULT CreateDeviceResult = D3D_OK;
  bool KeepTexels = true;                          // whether the devices made keep their textures' texels once written
  std::vector<D3DPRESENT_PARAMETERS> CreatedWith;  // every CreateDevice call
  std::vector<D3DFORMAT> CheckedDisplayFormats;    // every CheckDeviceType call
  std::weak_ptr<RecordingDevice> LastDevice;       // the device last made, while someone holds it
};

}  // namespace zt
