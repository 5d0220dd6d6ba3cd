// The 3D device the scene is drawn through, with the meaning of the Direct3D 8
// device and the D3DX texture loader as the game uses them: render and
// texture-stage states, transforms, lights, one material, textures and vertex
// buffers with Lock/Unlock, triangle lists and strips, Clear/BeginScene/EndScene/Present.
//
// Direct3D is the object the device is created from (format checks, display mode,
// device creation). Textures and vertex buffers are counted references
// (std::shared_ptr): `Release` drops one only if it is present and empties it.
// Every constant below carries Direct3D's own numeric value.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "core/vecmath.h"
#include "device/hresult.h"
#include "device/image_file.h"

namespace zt {

using D3DCOLOR = uint32_t;  // 0xAARRGGBB

constexpr D3DCOLOR D3DCOLOR_ARGB(uint32_t a, uint32_t r, uint32_t g, uint32_t b) {
  return ((a & 0xFF) << 24) | ((r & 0xFF) << 16) | ((g & 0xFF) << 8) | (b & 0xFF);
}

enum D3DFORMAT : uint32_t {
  D3DFMT_UNKNOWN = 0,
  D3DFMT_A8R8G8B8 = 21,
  D3DFMT_X8R8G8B8 = 22,
  D3DFMT_R5G6B5 = 23,
  D3DFMT_X1R5G5B5 = 24,
  D3DFMT_A1R5G5B5 = 25,
  D3DFMT_A4R4G4B4 = 26,
  D3DFMT_D16 = 80,
};

enum D3DPOOL : uint32_t { D3DPOOL_DEFAULT = 0, D3DPOOL_MANAGED = 1, D3DPOOL_SYSTEMMEM = 2 };

// Render states (SetRenderState).
enum D3DRENDERSTATETYPE : uint32_t {
  D3DRS_ZENABLE = 7,                   // D3DZB_FALSE 0 / D3DZB_TRUE 1; default 1 (the device has a depth buffer)
  D3DRS_FILLMODE = 8,                  // only D3DFILL_SOLID is drawn
  D3DRS_SHADEMODE = 9,                 // only D3DSHADE_GOURAUD is drawn
  D3DRS_ZWRITEENABLE = 14,             // default true
  D3DRS_ALPHATESTENABLE = 15,          // default false
  D3DRS_SRCBLEND = 19,                 // default D3DBLEND_ONE
  D3DRS_DESTBLEND = 20,                // default D3DBLEND_ZERO
  D3DRS_CULLMODE = 22,                 // default D3DCULL_CCW
  D3DRS_ZFUNC = 23,                    // default D3DCMP_LESSEQUAL
  D3DRS_ALPHAREF = 24,                 // 0..255
  D3DRS_ALPHAFUNC = 25,                // default D3DCMP_ALWAYS
  D3DRS_DITHERENABLE = 26,             // accepted, no effect on a true-colour back buffer
  D3DRS_ALPHABLENDENABLE = 27,         // default false
  D3DRS_SPECULARENABLE = 29,           // default false
  D3DRS_TEXTUREFACTOR = 60,            // D3DCOLOR for D3DTA_TFACTOR
  D3DRS_LIGHTING = 137,                // default true
  D3DRS_AMBIENT = 139,                 // D3DCOLOR, default 0
  D3DRS_COLORVERTEX = 141,             // default true
  D3DRS_LOCALVIEWER = 142,             // default true
  D3DRS_NORMALIZENORMALS = 143,        // default false
  D3DRS_DIFFUSEMATERIALSOURCE = 145,   // D3DMCS_*, default D3DMCS_COLOR1
  D3DRS_SPECULARMATERIALSOURCE = 146,  // default D3DMCS_COLOR2
  D3DRS_AMBIENTMATERIALSOURCE = 147,   // default D3DMCS_MATERIAL
  D3DRS_EMISSIVEMATERIALSOURCE = 148,  // default D3DMCS_MATERIAL
};
constexpr uint32_t kRenderStateCount = 256;

enum D3DZBUFFERTYPE : uint32_t { D3DZB_FALSE = 0, D3DZB_TRUE = 1 };
enum D3DFILLMODE : uint32_t { D3DFILL_POINT = 1, D3DFILL_WIREFRAME = 2, D3DFILL_SOLID = 3 };
enum D3DSHADEMODE : uint32_t { D3DSHADE_FLAT = 1, D3DSHADE_GOURAUD = 2 };
// D3DCULL_CCW removes triangles that run counter-clockwise on the screen: clockwise is the front.
enum D3DCULL : uint32_t { D3DCULL_NONE = 1, D3DCULL_CW = 2, D3DCULL_CCW = 3 };
enum D3DCMPFUNC : uint32_t {
  D3DCMP_NEVER = 1,
  D3DCMP_LESS = 2,
  D3DCMP_EQUAL = 3,
  D3DCMP_LESSEQUAL = 4,
  D3DCMP_GREATER = 5,
  D3DCMP_NOTEQUAL = 6,
  D3DCMP_GREATEREQUAL = 7,
  D3DCMP_ALWAYS = 8,
};
enum D3DBLEND : uint32_t {
  D3DBLEND_ZERO = 1,
  D3DBLEND_ONE = 2,
  D3DBLEND_SRCCOLOR = 3,
  D3DBLEND_INVSRCCOLOR = 4,
  D3DBLEND_SRCALPHA = 5,
  D3DBLEND_INVSRCALPHA = 6,
  D3DBLEND_DESTALPHA = 7,
  D3DBLEND_INVDESTALPHA = 8,
  D3DBLEND_DESTCOLOR = 9,
  D3DBLEND_INVDESTCOLOR = 10,
};
enum D3DMATERIALCOLORSOURCE : uint32_t { D3DMCS_MATERIAL = 0, D3DMCS_COLOR1 = 1, D3DMCS_COLOR2 = 2 };

// Texture-stage states (SetTextureStageState); in Direct3D 8 the filters and
// addressing are stage states too.
enum D3DTEXTURESTAGESTATETYPE : uint32_t {
  D3DTSS_COLOROP = 1,    // stage 0 default D3DTOP_MODULATE, later stages D3DTOP_DISABLE
  D3DTSS_COLORARG1 = 2,  // default D3DTA_TEXTURE
  D3DTSS_COLORARG2 = 3,  // default D3DTA_CURRENT
  D3DTSS_ALPHAOP = 4,    // stage 0 default D3DTOP_SELECTARG1
  D3DTSS_ALPHAARG1 = 5,  // default D3DTA_TEXTURE
  D3DTSS_ALPHAARG2 = 6,  // default D3DTA_CURRENT
  D3DTSS_ADDRESSU = 13,  // default D3DTADDRESS_WRAP
  D3DTSS_ADDRESSV = 14,
  D3DTSS_MAGFILTER = 16,  // default D3DTEXF_POINT
  D3DTSS_MINFILTER = 17,  // default D3DTEXF_POINT
  D3DTSS_MIPFILTER = 18,  // default D3DTEXF_NONE: only the top level is sampled
};
constexpr uint32_t kTextureStageCount = 8;
constexpr uint32_t kStageStateCount = 32;

enum D3DTEXTUREOP : uint32_t {
  D3DTOP_DISABLE = 1,
  D3DTOP_SELECTARG1 = 2,
  D3DTOP_SELECTARG2 = 3,
  D3DTOP_MODULATE = 4,
  D3DTOP_MODULATE2X = 5,
  D3DTOP_MODULATE4X = 6,
  D3DTOP_ADD = 7,
};
// Texture-stage arguments; the two modifiers may be or-ed onto a selector.
constexpr uint32_t D3DTA_SELECTMASK = 0x0F;
constexpr uint32_t D3DTA_DIFFUSE = 0;
constexpr uint32_t D3DTA_CURRENT = 1;
constexpr uint32_t D3DTA_TEXTURE = 2;
constexpr uint32_t D3DTA_TFACTOR = 3;
constexpr uint32_t D3DTA_SPECULAR = 4;
constexpr uint32_t D3DTA_COMPLEMENT = 0x10;
constexpr uint32_t D3DTA_ALPHAREPLICATE = 0x20;

enum D3DTEXTUREFILTERTYPE : uint32_t { D3DTEXF_NONE = 0, D3DTEXF_POINT = 1, D3DTEXF_LINEAR = 2 };
enum D3DTEXTUREADDRESS : uint32_t { D3DTADDRESS_WRAP = 1, D3DTADDRESS_MIRROR = 2, D3DTADDRESS_CLAMP = 3 };

// Flexible vertex format bits (SetVertexShader takes the format code). Components
// follow each other in this order: position, normal, diffuse colour, texture u v.
constexpr uint32_t D3DFVF_XYZ = 0x002;
constexpr uint32_t D3DFVF_NORMAL = 0x010;
constexpr uint32_t D3DFVF_DIFFUSE = 0x040;
constexpr uint32_t D3DFVF_TEX1 = 0x100;
// The four formats the game draws with.
constexpr uint32_t kFvfMesh = D3DFVF_XYZ | D3DFVF_NORMAL;                                    // 0x012, 24 bytes
constexpr uint32_t kFvfTexMesh = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE | D3DFVF_TEX1;  // 0x152, 36 bytes
constexpr uint32_t kFvfTexColour = D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1;                // 0x142, 24 bytes
constexpr uint32_t kFvfColour = D3DFVF_XYZ | D3DFVF_DIFFUSE;                                 // 0x042, 16 bytes

// A vertex of kFvfTexColour (the quads, glyphs and particles) and of kFvfColour (the overlays).
struct TexColourVertex {
  float X, Y, Z;
  D3DCOLOR Colour;
  float U, V;
};
struct ColourVertex {
  float X, Y, Z;
  D3DCOLOR Colour;
};
static_assert(sizeof(TexColourVertex) == 24 && sizeof(ColourVertex) == 16);

// Where each component of a vertex format lies; an offset of -1 means absent.
struct VertexLayout {
  int Stride = 0;
  int Normal = -1, Diffuse = -1, TexCoord = -1;
  bool Valid = false;  // a format built only of the bits above, with a position
};
VertexLayout DescribeFvf(uint32_t fvf);

enum D3DPRIMITIVETYPE : uint32_t { D3DPT_TRIANGLELIST = 4, D3DPT_TRIANGLESTRIP = 5 };

enum D3DTRANSFORMSTATETYPE : uint32_t { D3DTS_VIEW = 2, D3DTS_PROJECTION = 3, D3DTS_WORLD = 256 };

constexpr uint32_t D3DCLEAR_TARGET = 1;
constexpr uint32_t D3DCLEAR_ZBUFFER = 2;
constexpr uint32_t D3DCLEAR_STENCIL = 4;

// D3DX texture loading.
constexpr uint32_t D3DX_DEFAULT = 0xFFFFFFFFu;
constexpr uint32_t D3DX_FILTER_NONE = 1;
constexpr uint32_t D3DX_FILTER_POINT = 2;
constexpr uint32_t D3DX_FILTER_LINEAR = 3;
constexpr uint32_t D3DX_FILTER_TRIANGLE = 4;
constexpr uint32_t D3DX_FILTER_BOX = 5;

// Device creation.
constexpr uint32_t D3DADAPTER_DEFAULT = 0;
enum D3DDEVTYPE : uint32_t { D3DDEVTYPE_HAL = 1 };
enum D3DRESOURCETYPE : uint32_t { D3DRTYPE_TEXTURE = 3 };
constexpr uint32_t D3DCREATE_SOFTWARE_VERTEXPROCESSING = 0x20;
constexpr uint32_t D3DSWAPEFFECT_DISCARD = 1;

struct D3DDISPLAYMODE {
  uint32_t Width = 0, Height = 0, RefreshRate = 0;
  D3DFORMAT Format = D3DFMT_UNKNOWN;
};

// The presentation parameters: 13 fields of 32 bits, zero unless filled.
struct D3DPRESENT_PARAMETERS {
  uint32_t BackBufferWidth = 0;   // 0: the width of the window's 4:3 picture
  uint32_t BackBufferHeight = 0;  // 0: the height of the window's 4:3 picture
  D3DFORMAT BackBufferFormat = D3DFMT_UNKNOWN;
  uint32_t BackBufferCount = 0;
  uint32_t MultiSampleType = 0;
  uint32_t SwapEffect = 0;
  uint32_t hDeviceWindow = 0;
  uint32_t Windowed = 0;  // Boolean
  uint32_t EnableAutoDepthStencil = 0;
  D3DFORMAT AutoDepthStencilFormat = D3DFMT_UNKNOWN;
  uint32_t Flags = 0;
  uint32_t FullScreen_RefreshRateInHz = 0;
  uint32_t FullScreen_PresentationInterval = 0;
};

// The game's device: the back buffer given, discarded at each swap, with a 16-bit depth buffer.
D3DPRESENT_PARAMETERS PresentParameters(uint32_t width, uint32_t height, D3DFORMAT format, bool windowed);

struct D3DLOCKED_RECT {
  int32_t Pitch = 0;      // bytes from one texel row to the next
  void* pBits = nullptr;  // the top row of the level
};

struct D3DSURFACE_DESC {
  D3DFORMAT Format = D3DFMT_UNKNOWN;
  D3DPOOL Pool = D3DPOOL_DEFAULT;
  uint32_t Size = 0;  // bytes
  uint32_t Width = 0, Height = 0;
};

uint32_t BytesPerTexel(D3DFORMAT format);                      // 0 for a format textures cannot have
uint32_t FullMipChainLength(uint32_t width, uint32_t height);  // 1 + log2 of the larger side

// A texture: a chain of levels in the texture's format, rows top first, written by
// LockRect/UnlockRect of a whole level. A level's bytes are made when it is first locked or
// read: zeros, or for a loaded texture's lower levels the box-filtered level above. A
// device that keeps a level elsewhere (GL) may hand its bytes over once written; a later
// lock or read asks it for them back.
class Texture {
 public:
  Texture(uint32_t width, uint32_t height, uint32_t levels, D3DFORMAT format, D3DPOOL pool);
  virtual ~Texture() = default;
  Texture(const Texture&) = delete;
  Texture& operator=(const Texture&) = delete;

  uint32_t GetLevelCount() const { return static_cast<uint32_t>(levels_.size()); }
  HRESULT GetLevelDesc(uint32_t level, D3DSURFACE_DESC& desc) const;
  HRESULT LockRect(uint32_t level, D3DLOCKED_RECT& locked, uint32_t flags = 0);  // the whole level
  HRESULT UnlockRect(uint32_t level);

  D3DFORMAT Format() const { return format_; }
  uint32_t Width(uint32_t level = 0) const;
  uint32_t Height(uint32_t level = 0) const;
  uint32_t Pitch(uint32_t level) const { return Width(level) * BytesPerTexel(format_); }
  const uint8_t* Bits(uint32_t level) const { return LevelBytes(level).data(); }
  // The texel at (x, y) of a level as 0xAARRGGBB (alpha 0xFF for formats without alpha).
  uint32_t TexelArgb(uint32_t level, uint32_t x, uint32_t y) const;
  uint32_t Version(uint32_t level) const { return levels_[level].version; }  // grows on each unlock
  // From now on the levels below the top are the box-filtered level above, made when needed.
  void DeriveLowerLevels() { derivedLevels_ = true; }
  bool HoldsBytes(uint32_t level) const { return !levels_[level].bits.empty(); }

  std::string SourceFile;  // the file a loaded texture came from; empty when created

 protected:
  // A level was unlocked after writing.
  virtual void LevelWritten(uint32_t /*level*/) {}
  // Gives up the bytes of a level kept elsewhere now; ReadBack must then return them.
  void HandOverBytes(uint32_t level);
  // Fills `bits` with a handed-over level's bytes.
  virtual void ReadBack(uint32_t /*level*/, uint8_t* /*bits*/) const {}

 private:
  struct Level {
    uint32_t width, height;
    std::vector<uint8_t> bits;  // empty until made, and once handed over
    bool locked = false;
    bool handedOver = false;
    uint32_t version = 0;
  };
  const std::vector<uint8_t>& LevelBytes(uint32_t level) const;
  void DeriveLevel(uint32_t level) const;

  D3DFORMAT format_;
  D3DPOOL pool_;
  bool derivedLevels_ = false;
  mutable std::vector<Level> levels_;  // bytes are made on first read
};

// A vertex buffer: bytes in one of the vertex formats, written through Lock/Unlock. Only
// the bytes up to the furthest one locked or read are held (the rest read as zeros).
class VertexBuffer {
 public:
  VertexBuffer(uint32_t length, uint32_t fvf, D3DPOOL pool);
  virtual ~VertexBuffer() = default;
  VertexBuffer(const VertexBuffer&) = delete;
  VertexBuffer& operator=(const VertexBuffer&) = delete;

  // Bytes offset..offset+size (size 0: to the end). D3DERR_INVALIDCALL outside the
  // buffer or while locked.
  HRESULT Lock(uint32_t offset, uint32_t size, uint8_t** data, uint32_t flags = 0);
  HRESULT Unlock();

  uint32_t Length() const { return length_; }
  uint32_t Fvf() const { return fvf_; }
  // The buffer's bytes, held from now on at least up to `end` (at most Length()).
  const uint8_t* Data(uint32_t end = 0);
  uint32_t HeldBytes() const { return static_cast<uint32_t>(bytes_.size()); }
  // The bytes changed since the last TakeChangedRange; empty range when none.
  void TakeChangedRange(uint32_t& begin, uint32_t& end);
  bool HasChanges() const { return changedEnd_ > changedBegin_; }

 private:
  void Hold(uint32_t end);

  std::vector<uint8_t> bytes_;
  uint32_t length_;
  uint32_t fvf_;
  D3DPOOL pool_;
  bool locked_ = false;
  uint32_t lockBegin_ = 0, lockEnd_ = 0;
  uint32_t changedBegin_ = 0, changedEnd_ = 0;
};

using TexturePtr = std::shared_ptr<Texture>;
using VertexBufferPtr = std::shared_ptr<VertexBuffer>;

// Writes the vertices (an array, a vector, a span) into the buffer from byte `offset` on, as far
// as the buffer reaches: lock, copy, unlock. The lock's result; nothing to write is D3D_OK.
template <typename Vertices>
HRESULT WriteVertices(VertexBuffer& buffer, uint32_t offset, const Vertices& vertices) {
  const std::span view{vertices};
  if (view.empty()) return D3D_OK;
  const uint32_t room = buffer.Length() > offset ? buffer.Length() - offset : 0;
  if (room == 0) return D3DERR_INVALIDCALL;
  const auto bytes = static_cast<uint32_t>(std::min<size_t>(view.size_bytes(), room));
  uint8_t* data = nullptr;
  const HRESULT result = buffer.Lock(offset, bytes, &data);
  if (Failed(result)) return result;
  std::memcpy(data, view.data(), bytes);
  buffer.Unlock();
  return D3D_OK;
}

// A counted reference is released only if present, and then emptied.
template <typename T>
void Release(std::shared_ptr<T>& reference) {
  if (reference) reference.reset();
}

struct LightSlot {
  D3DLIGHT8 Light;  // set by SetLight; LightEnable of an unset index uses Direct3D's default light
  bool Set = false;
  bool Enabled = false;
};
constexpr uint32_t kLightSlots = 16;  // light indices 0..15

// Everything the draw calls depend on, with Direct3D 8's start values.
struct DeviceState {
  DeviceState();
  std::array<uint32_t, kRenderStateCount> RenderStates{};
  std::array<std::array<uint32_t, kStageStateCount>, kTextureStageCount> StageStates{};
  std::array<TexturePtr, kTextureStageCount> Textures;
  D3DMATRIX World, View, Projection;
  std::array<LightSlot, kLightSlots> Lights;
  D3DMATERIAL8 Material;
  VertexBufferPtr Stream;
  uint32_t StreamStride = 0;
  uint32_t Fvf = 0;

  uint32_t RenderState(D3DRENDERSTATETYPE state) const { return RenderStates[state]; }
  uint32_t StageState(uint32_t stage, D3DTEXTURESTAGESTATETYPE state) const { return StageStates[stage][state]; }
};

// The rendering device.
class Device {
 public:
  virtual ~Device() = default;

  // CreateVertexBuffer(length in bytes, usage, vertex format, pool).
  virtual HRESULT CreateVertexBuffer(uint32_t length, uint32_t usage, uint32_t fvf, D3DPOOL pool,
                                     VertexBufferPtr& out) = 0;
  // CreateTexture(width, height, levels (0: the full chain), usage, format, pool).
  virtual HRESULT CreateTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t usage, D3DFORMAT format,
                                D3DPOOL pool, TexturePtr& out) = 0;
  // D3DXCreateTextureFromFileExA: BMP (24/32-bit) or TGA (with alpha). width, height 0 or
  // D3DX_DEFAULT: the picture's own size; mipLevels 0 or D3DX_DEFAULT: the full chain,
  // made with a box filter; colorKey 0: none, otherwise that ARGB colour becomes
  // transparent black (0xFFFFFFFF: opaque white). Backslashes in the name are folder
  // separators. On failure `out` stays empty and the result says why.
  HRESULT LoadTextureFromFile(const std::string& file, uint32_t width, uint32_t height, uint32_t mipLevels,
                              uint32_t usage, D3DFORMAT format, D3DPOOL pool, uint32_t filter, uint32_t mipFilter,
                              D3DCOLOR colorKey, TexturePtr& out);

  // Clear(no rectangles, flags D3DCLEAR_*, colour, depth 0..1, stencil).
  virtual HRESULT Clear(uint32_t flags, D3DCOLOR color, float z, uint32_t stencil) = 0;
  virtual HRESULT BeginScene() = 0;
  virtual HRESULT EndScene() = 0;
  virtual HRESULT Present() = 0;  // the whole back buffer to the window

  // Matrices are row-vector, row-major, as the game builds them.
  virtual HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX& matrix) = 0;
  virtual HRESULT SetLight(uint32_t index, const D3DLIGHT8& light) = 0;
  virtual HRESULT LightEnable(uint32_t index, bool enable) = 0;
  virtual HRESULT SetMaterial(const D3DMATERIAL8& material) = 0;
  virtual HRESULT SetRenderState(D3DRENDERSTATETYPE state, uint32_t value) = 0;
  virtual HRESULT SetTextureStageState(uint32_t stage, D3DTEXTURESTAGESTATETYPE state, uint32_t value) = 0;
  virtual HRESULT SetTexture(uint32_t stage, const TexturePtr& texture) = 0;  // nullptr: none
  virtual HRESULT SetStreamSource(uint32_t stream, const VertexBufferPtr& buffer, uint32_t stride) = 0;
  virtual HRESULT SetVertexShader(uint32_t fvf) = 0;  // the vertex format code
  // DrawPrimitive(type, first vertex, triangle count) from stream 0.
  virtual HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, uint32_t startVertex, uint32_t primitiveCount) = 0;

  // The back buffer as it stands (after the last frame's drawing), top row first.
  virtual Image ReadBackBuffer() = 0;

  virtual const DeviceState& State() const = 0;
};

using DevicePtr = std::shared_ptr<Device>;

// The object devices are made from (Direct3DCreate8's result).
class Direct3D {
 public:
  virtual ~Direct3D() = default;
  // Can the adapter show displayFormat with backBufferFormat? D3D_OK or D3DERR_NOTAVAILABLE.
  virtual HRESULT CheckDeviceType(uint32_t adapter, D3DDEVTYPE type, D3DFORMAT displayFormat,
                                  D3DFORMAT backBufferFormat, bool windowed) = 0;
  // Can a resource of that type have checkFormat? D3D_OK or D3DERR_NOTAVAILABLE.
  virtual HRESULT CheckDeviceFormat(uint32_t adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat, uint32_t usage,
                                    D3DRESOURCETYPE resourceType, D3DFORMAT checkFormat) = 0;
  virtual HRESULT GetAdapterDisplayMode(uint32_t adapter, D3DDISPLAYMODE& mode) = 0;
  // The device for the program's one window.
  virtual HRESULT CreateDevice(uint32_t adapter, D3DDEVTYPE type, uint32_t behaviorFlags,
                               const D3DPRESENT_PARAMETERS& parameters, DevicePtr& out) = 0;
};

using Direct3DPtr = std::shared_ptr<Direct3D>;

// Shared bookkeeping of the Set* calls: checks the arguments and writes `state`.
HRESULT ApplySetTransform(DeviceState& state, D3DTRANSFORMSTATETYPE which, const D3DMATRIX& matrix);
HRESULT ApplySetLight(DeviceState& state, uint32_t index, const D3DLIGHT8& light);
HRESULT ApplyLightEnable(DeviceState& state, uint32_t index, bool enable);
HRESULT ApplySetRenderState(DeviceState& state, D3DRENDERSTATETYPE which, uint32_t value);
HRESULT ApplySetTextureStageState(DeviceState& state, uint32_t stage, D3DTEXTURESTAGESTATETYPE which, uint32_t value);
HRESULT ApplySetTexture(DeviceState& state, uint32_t stage, const TexturePtr& texture);
HRESULT ApplySetStreamSource(DeviceState& state, uint32_t stream, const VertexBufferPtr& buffer, uint32_t stride);
// D3DERR_INVALIDCALL when the draw would read outside the stream or the format is not drawable.
HRESULT CheckDraw(const DeviceState& state, D3DPRIMITIVETYPE type, uint32_t startVertex, uint32_t primitiveCount);
uint32_t VertexCount(D3DPRIMITIVETYPE type, uint32_t primitiveCount);

}  // namespace zt
