#include "platform/gl_device.h"

#include <SDL.h>
#include <epoxy/gl.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <map>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "platform/gl_shaders.h"
#include "platform/presentation.h"
#include "platform/vertex_index.h"

namespace zt {

namespace {

// ---- matrices in the game's convention: row vectors, p' = p * M ----

D3DMATRIX Multiply(const D3DMATRIX& first, const D3DMATRIX& second) {
  D3DMATRIX out;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) {
      float sum = 0;
      for (int k = 0; k < 4; ++k) sum += first.m[i][k] * second.m[k][j];
      out.m[i][j] = sum;
    }
  return out;
}

struct Mat3 {
  float m[3][3] = {};
};

// The matrix that carries normals for the upper 3x3 of `a`: its inverse transposed,
// which is its cofactor matrix over its determinant. Zero when `a` is singular.
Mat3 NormalMatrix(const D3DMATRIX& a) {
  const auto& m = a.m;
  Mat3 c;
  c.m[0][0] = m[1][1] * m[2][2] - m[1][2] * m[2][1];
  c.m[0][1] = -(m[1][0] * m[2][2] - m[1][2] * m[2][0]);
  c.m[0][2] = m[1][0] * m[2][1] - m[1][1] * m[2][0];
  c.m[1][0] = -(m[0][1] * m[2][2] - m[0][2] * m[2][1]);
  c.m[1][1] = m[0][0] * m[2][2] - m[0][2] * m[2][0];
  c.m[1][2] = -(m[0][0] * m[2][1] - m[0][1] * m[2][0]);
  c.m[2][0] = m[0][1] * m[1][2] - m[0][2] * m[1][1];
  c.m[2][1] = -(m[0][0] * m[1][2] - m[0][2] * m[1][0]);
  c.m[2][2] = m[0][0] * m[1][1] - m[0][1] * m[1][0];
  const float det = m[0][0] * c.m[0][0] + m[0][1] * c.m[0][1] + m[0][2] * c.m[0][2];
  if (det == 0.0f) return Mat3{};
  for (auto& row : c.m)
    for (float& v : row) v /= det;
  return c;
}

void TransformPoint(const D3DMATRIX& m, const float in[3], float out[3]) {
  for (int j = 0; j < 3; ++j) out[j] = in[0] * m.m[0][j] + in[1] * m.m[1][j] + in[2] * m.m[2][j] + m.m[3][j];
}

void TransformDirection(const D3DMATRIX& m, const float in[3], float out[3]) {
  for (int j = 0; j < 3; ++j) out[j] = in[0] * m.m[0][j] + in[1] * m.m[1][j] + in[2] * m.m[2][j];
}

void Normalise(float v[3]) {
  const float length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
  if (length > 0.0f)
    for (int j = 0; j < 3; ++j) v[j] /= length;
}

void TransformNormal(const Mat3& n, const float in[3], float out[3]) {
  for (int j = 0; j < 3; ++j) out[j] = in[0] * n.m[0][j] + in[1] * n.m[1][j] + in[2] * n.m[2][j];
}

// ---- Direct3D values to GL ----

// A Direct3D value and the GL value that stands for it.
struct GlEquivalent {
  uint32_t D3d;
  GLenum Gl;
};

// The GL value the table gives a Direct3D value; `otherwise` for a value it does not list.
template <size_t Count>
GLenum GlValueOf(const std::array<GlEquivalent, Count>& table, uint32_t value, GLenum otherwise) {
  for (const GlEquivalent& entry : table)
    if (entry.D3d == value) return entry.Gl;
  return otherwise;
}

constexpr std::array<GlEquivalent, 7> kCompareFuncs{{{D3DCMP_NEVER, GL_NEVER},
                                                     {D3DCMP_LESS, GL_LESS},
                                                     {D3DCMP_EQUAL, GL_EQUAL},
                                                     {D3DCMP_LESSEQUAL, GL_LEQUAL},
                                                     {D3DCMP_GREATER, GL_GREATER},
                                                     {D3DCMP_NOTEQUAL, GL_NOTEQUAL},
                                                     {D3DCMP_GREATEREQUAL, GL_GEQUAL}}};

// The back buffer has no alpha: the destination's alpha reads as 1.
constexpr std::array<GlEquivalent, 10> kBlendFactors{{{D3DBLEND_ZERO, GL_ZERO},
                                                      {D3DBLEND_ONE, GL_ONE},
                                                      {D3DBLEND_SRCCOLOR, GL_SRC_COLOR},
                                                      {D3DBLEND_INVSRCCOLOR, GL_ONE_MINUS_SRC_COLOR},
                                                      {D3DBLEND_SRCALPHA, GL_SRC_ALPHA},
                                                      {D3DBLEND_INVSRCALPHA, GL_ONE_MINUS_SRC_ALPHA},
                                                      {D3DBLEND_DESTALPHA, GL_ONE},
                                                      {D3DBLEND_INVDESTALPHA, GL_ZERO},
                                                      {D3DBLEND_DESTCOLOR, GL_DST_COLOR},
                                                      {D3DBLEND_INVDESTCOLOR, GL_ONE_MINUS_DST_COLOR}}};

GLenum CompareFunc(uint32_t value) { return GlValueOf(kCompareFuncs, value, GL_ALWAYS); }
GLenum BlendFactor(uint32_t value) { return GlValueOf(kBlendFactors, value, GL_ONE); }

GLint AddressMode(uint32_t value) {
  switch (value) {
    case D3DTADDRESS_MIRROR:
      return GL_MIRRORED_REPEAT;
    case D3DTADDRESS_CLAMP:
      return GL_CLAMP_TO_EDGE;
    default:
      return GL_REPEAT;
  }
}

// Which levels of a texture a draw samples.
enum class SampledLevels {
  kTop,        // the top level only: no mip filter
  kGame,       // the levels the game gave the texture, for the game's own mip filter
  kGenerated,  // a full chain GL makes from the top level, for smooth edges
};

// How a draw samples its texture: the stage's filters as GL filters and the levels they read.
struct TextureSampling {
  GLint MinFilter, MagFilter;
  SampledLevels Levels;
};

// With smooth edges, a texture minified linearly without a mip filter is sampled trilinearly
// from levels made for it, so that pictures and text drawn smaller than their size keep their
// lines; drawn at their size or larger they read their top level as before.
TextureSampling SamplingOf(const std::array<uint32_t, kStageStateCount>& stage, bool smoothEdges) {
  const bool linearMin = stage[D3DTSS_MINFILTER] >= D3DTEXF_LINEAR;
  TextureSampling sampling{linearMin ? GL_LINEAR : GL_NEAREST,
                           stage[D3DTSS_MAGFILTER] >= D3DTEXF_LINEAR ? GL_LINEAR : GL_NEAREST, SampledLevels::kGame};
  if (stage[D3DTSS_MIPFILTER] == D3DTEXF_POINT) {
    sampling.MinFilter = linearMin ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
  } else if (stage[D3DTSS_MIPFILTER] >= D3DTEXF_LINEAR) {
    sampling.MinFilter = linearMin ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
  } else if (smoothEdges && linearMin) {
    sampling.MinFilter = GL_LINEAR_MIPMAP_LINEAR;
    sampling.Levels = SampledLevels::kGenerated;
  } else {
    sampling.Levels = SampledLevels::kTop;
  }
  return sampling;
}

struct TexelUpload {
  GLint internalFormat;
  GLenum format, type;
};

TexelUpload UploadFormat(D3DFORMAT format) {
  switch (format) {
    case D3DFMT_X8R8G8B8:
      return {GL_RGB8, GL_BGRA, GL_UNSIGNED_BYTE};
    case D3DFMT_R5G6B5:
      return {GL_RGB8, GL_RGB, GL_UNSIGNED_SHORT_5_6_5};
    case D3DFMT_X1R5G5B5:
      return {GL_RGB8, GL_BGRA, GL_UNSIGNED_SHORT_1_5_5_5_REV};
    case D3DFMT_A1R5G5B5:
      return {GL_RGBA8, GL_BGRA, GL_UNSIGNED_SHORT_1_5_5_5_REV};
    case D3DFMT_A4R4G4B4:
      return {GL_RGBA8, GL_BGRA, GL_UNSIGNED_SHORT_4_4_4_4_REV};
    default:
      return {GL_RGBA8, GL_BGRA, GL_UNSIGNED_BYTE};  // A8R8G8B8: bytes B, G, R, A
  }
}

void ColourToFloats(D3DCOLOR colour, float out[4]) {
  out[0] = ((colour >> 16) & 0xFF) / 255.0f;
  out[1] = ((colour >> 8) & 0xFF) / 255.0f;
  out[2] = (colour & 0xFF) / 255.0f;
  out[3] = (colour >> 24) / 255.0f;
}

constexpr int kGlErrorFlags = 8;  // more error flags than GL keeps at once

// Takes back the errors GL has flagged, so that a refused request fails no later check.
void DropGlErrors() {
  for (int i = 0; i < kGlErrorFlags; ++i)
    if (glGetError() == GL_NO_ERROR) return;
}

// ---- resources ----

// A texture whose levels live in GL: each is created with its bytes when first written and
// the CPU copy is handed over (read back from GL should the game lock it again). Lower levels
// reach GL only once a mip filter samples them; for smooth edges GL makes them from the top
// level instead, again whenever the top level changes.
class GlTexture final : public Texture {
 public:
  GlTexture(uint32_t width, uint32_t height, uint32_t levels, D3DFORMAT format, D3DPOOL pool,
            std::shared_ptr<const bool> alive)
      : Texture(width, height, levels, format, pool), alive_(std::move(alive)), inGl_(GetLevelCount(), false) {
    glGenTextures(1, &name_);
  }
  ~GlTexture() override {
    if (*alive_) glDeleteTextures(1, &name_);
  }

  // Binds the texture to the active unit with the levels a draw samples.
  void Bind(SampledLevels sampled) {
    glBindTexture(GL_TEXTURE_2D, name_);
    if (!inGl_[0]) Send(0);
    uint32_t levels = 1;
    if (sampled == SampledLevels::kGame) {
      levels = GetLevelCount();
      generatedFrom_.reset();  // what GL made is replaced by the game's levels below
      for (uint32_t level = 1; level < levels; ++level)
        if (!inGl_[level]) Send(level);
    } else if (sampled == SampledLevels::kGenerated) {
      levels = FullMipChainLength(Width(0), Height(0));
      if (generatedFrom_ != Version(0)) Generate(levels);
    }
    if (levels != sampledLevels_) {
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, static_cast<GLint>(levels) - 1);
      sampledLevels_ = levels;
    }
  }

 private:
  void LevelWritten(uint32_t level) override {
    if (level > 0 && !inGl_[level]) return;  // sent when a mip filter first needs it
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    glBindTexture(GL_TEXTURE_2D, name_);
    Send(level);
    if (level == 0 && generatedFrom_) Generate(FullMipChainLength(Width(0), Height(0)));
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
  }

  void ReadBack(uint32_t level, uint8_t* bits) const override {
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    glBindTexture(GL_TEXTURE_2D, name_);
    const TexelUpload upload = UploadFormat(Format());
    glGetTexImage(GL_TEXTURE_2D, static_cast<GLint>(level), upload.format, upload.type, bits);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
  }

  // Sends a level to the bound texture and gives up its CPU copy.
  void Send(uint32_t level) {
    const TexelUpload upload = UploadFormat(Format());
    const auto width = static_cast<GLsizei>(Width(level)), height = static_cast<GLsizei>(Height(level));
    if (inGl_[level])
      glTexSubImage2D(GL_TEXTURE_2D, static_cast<GLint>(level), 0, 0, width, height, upload.format, upload.type,
                      Bits(level));
    else
      glTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(level), upload.internalFormat, width, height, 0, upload.format,
                   upload.type, Bits(level));
    inGl_[level] = true;
    HandOverBytes(level);
  }

  // Has GL make `levels` levels from the top one into the bound texture. A lower level of the
  // game's that GL held is taken back first, so the game still reads what it wrote.
  void Generate(uint32_t levels) {
    for (uint32_t level = 1; level < GetLevelCount(); ++level) {
      if (!inGl_[level]) continue;
      Bits(level);  // its bytes back from GL
      inGl_[level] = false;
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, static_cast<GLint>(levels) - 1);
    sampledLevels_ = levels;
    glGenerateMipmap(GL_TEXTURE_2D);
    generatedFrom_ = Version(0);
  }

  std::shared_ptr<const bool> alive_;
  GLuint name_ = 0;
  std::vector<bool> inGl_;
  uint32_t sampledLevels_ = 0;
  std::optional<uint32_t> generatedFrom_;  // the top level's version GL's lower levels were made from
};

// Sends the bytes [begin, end) of `data` to the buffer bound to `target`, whose store holds
// `storeBytes`; a store smaller than `size` is made anew with all `size` bytes.
void SendBytes(GLenum target, uint32_t& storeBytes, const uint8_t* data, uint32_t size, uint32_t begin, uint32_t end,
               GLenum usage) {
  if (size > storeBytes) {
    storeBytes = size;
    glBufferData(target, size, data, usage);
  } else if (end > begin) {
    glBufferSubData(target, begin, end - begin, data + begin);
  }
}

constexpr uint32_t kStaticBufferBytes = 65536;  // larger buffers are the meshes, written once

// A vertex buffer whose GL store holds as much as the game has written (or a draw has read).
// A large one (the meshes) keeps each distinct vertex once in GL and draws through indices.
class GlVertexBuffer final : public VertexBuffer {
 public:
  GlVertexBuffer(uint32_t length, uint32_t fvf, D3DPOOL pool, std::shared_ptr<const bool> alive)
      : VertexBuffer(length, fvf, pool), alive_(std::move(alive)) {
    glGenBuffers(1, &name_);
    if (Indexed()) glGenBuffers(1, &indexName_);
  }
  ~GlVertexBuffer() override {
    if (!*alive_) return;
    glDeleteBuffers(1, &name_);
    if (Indexed()) glDeleteBuffers(1, &indexName_);
  }

  bool Indexed() const { return Length() > kStaticBufferBytes; }

  // Binds the buffer's GL stores as they were last sent.
  void Bind() const {
    glBindBuffer(GL_ARRAY_BUFFER, name_);
    if (Indexed()) glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexName_);
  }

  // Sends what was written since it was last sent, for draws of vertices `stride` apart of
  // which a draw reads `vertexBytes`, its store grown to the bytes up to `end`.
  void Send(uint32_t end, uint32_t stride, uint32_t vertexBytes) {
    Bind();
    const uint8_t* data = Data(end);
    uint32_t begin = 0, changedEnd = 0;
    TakeChangedRange(begin, changedEnd);
    if (!Indexed()) {
      SendBytes(GL_ARRAY_BUFFER, storeBytes_, data, HeldBytes(), begin, changedEnd, GL_STREAM_DRAW);
      return;
    }
    if (stride != index_.Stride() || vertexBytes != index_.VertexBytes()) storeBytes_ = indexBytes_ = 0;
    const IndexChange change = index_.Update(data, HeldBytes(), begin, changedEnd, stride, vertexBytes);
    const auto vertices = static_cast<uint32_t>(index_.Vertices().size());
    SendBytes(GL_ARRAY_BUFFER, storeBytes_, index_.Vertices().data(), vertices, change.FirstVertex * stride, vertices,
              GL_STATIC_DRAW);
    const auto* indices = reinterpret_cast<const uint8_t*>(index_.Indices().data());
    constexpr uint32_t kIndexBytes = sizeof(uint32_t);
    SendBytes(GL_ELEMENT_ARRAY_BUFFER, indexBytes_, indices,
              static_cast<uint32_t>(index_.Indices().size()) * kIndexBytes, change.FirstIndex * kIndexBytes,
              change.EndIndex * kIndexBytes, GL_STATIC_DRAW);
  }

 private:
  std::shared_ptr<const bool> alive_;
  GLuint name_ = 0, indexName_ = 0;
  uint32_t storeBytes_ = 0, indexBytes_ = 0;
  VertexIndex index_;
};

// One vertex of a merged draw: the 0x152 layout, already placed in the world.
struct BatchVertex {
  float Position[3];
  float Normal[3];
  uint32_t Diffuse;
  float TexCoord[2];
};
static_assert(sizeof(BatchVertex) == 36);

constexpr GLsizei kSmoothSamples = 4;  // samples a pixel of a back buffer with smooth edges

constexpr uint32_t kBatchSourceVertices = 64;               // draws this small are merged
constexpr size_t kBatchCapacity = 6144;                     // vertices of one merged draw
constexpr size_t kBatchStoreVertices = 4 * kBatchCapacity;  // the merged draws of a busy frame

// What an instanced draw reads of each instance: what the uniforms give a draw of its own.
struct InstanceData {
  D3DMATRIX WorldView;
  Mat3 NormalMatrix;
};
static_assert(sizeof(InstanceData) == 25 * sizeof(float));

constexpr size_t kRunInstances = 512;                      // instances of one instanced draw
constexpr size_t kInstanceStoreCount = 4 * kRunInstances;  // the instances of a busy frame

// A GL buffer that takes what one frame streams to its draws at increasing offsets, its store
// made afresh once a frame (or when full), so that no write waits for an earlier draw.
class FrameStore {
 public:
  void Create(size_t capacity) {
    glGenBuffers(1, &name_);
    glBindBuffer(GL_ARRAY_BUFFER, name_);
    capacity_ = capacity;
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(capacity_), nullptr, GL_STREAM_DRAW);
  }
  void Delete() { glDeleteBuffers(1, &name_); }
  void NextFrame() { fresh_ = false; }

  // Binds the store and writes `size` bytes into it; where they went.
  size_t Append(const void* data, size_t size) {
    glBindBuffer(GL_ARRAY_BUFFER, name_);
    if (!fresh_ || used_ + size > capacity_) {
      glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(capacity_), nullptr, GL_STREAM_DRAW);
      fresh_ = true;
      used_ = 0;
    }
    glBufferSubData(GL_ARRAY_BUFFER, static_cast<GLintptr>(used_), static_cast<GLsizeiptr>(size), data);
    const size_t offset = used_;
    used_ += size;
    return offset;
  }

 private:
  GLuint name_ = 0;
  size_t capacity_ = 0, used_ = 0;
  bool fresh_ = false;  // made afresh this frame
};

// Draws of one range of one buffer with the same states, each with its own world matrix,
// waiting to be drawn as one (instanced) GL draw.
struct PendingRun {
  VertexBufferPtr Buffer;
  uint32_t Stride = 0;
  D3DPRIMITIVETYPE Type = D3DPT_TRIANGLELIST;
  uint32_t StartVertex = 0, PrimitiveCount = 0;
  std::vector<D3DMATRIX> Worlds;

  bool SameRange(const PendingRun& other) const {
    return Buffer == other.Buffer && Stride == other.Stride && Type == other.Type && StartVertex == other.StartVertex &&
           PrimitiveCount == other.PrimitiveCount;
  }

  // Whether a draw of this range of the stream's vertices, not written again since, joins the run.
  bool Takes(const DeviceState& state, D3DPRIMITIVETYPE type, uint32_t startVertex, uint32_t primitiveCount) const {
    return !Worlds.empty() && Worlds.size() < kRunInstances && state.Stream == Buffer && state.StreamStride == Stride &&
           type == Type && startVertex == StartVertex && primitiveCount == PrimitiveCount && !Buffer->HasChanges();
  }
};

// Whether draws with these states give the same picture in any order: each pixel shows the
// nearest of them, whatever was drawn first.
bool DrawsOpaque(const DeviceState& state) {
  const auto& rs = state.RenderStates;
  return rs[D3DRS_ZENABLE] != D3DZB_FALSE && rs[D3DRS_ZWRITEENABLE] != 0 &&
         (rs[D3DRS_ZFUNC] == D3DCMP_LESS || rs[D3DRS_ZFUNC] == D3DCMP_LESSEQUAL) && rs[D3DRS_ALPHABLENDENABLE] == 0 &&
         rs[D3DRS_ALPHATESTENABLE] == 0;
}

bool SameLight(const LightSlot& a, const LightSlot& b) {
  return a.Set == b.Set && a.Enabled == b.Enabled && std::memcmp(&a.Light, &b.Light, sizeof a.Light) == 0;
}

// Whether two states draw alike, leaving out the world matrix and the stream (which merged
// draws and instanced runs keep for each of their parts).
bool SameDrawStates(const DeviceState& a, const DeviceState& b) {
  return a.Textures == b.Textures && a.Fvf == b.Fvf && a.RenderStates == b.RenderStates &&
         a.StageStates == b.StageStates && std::memcmp(&a.View, &b.View, sizeof a.View) == 0 &&
         std::memcmp(&a.Projection, &b.Projection, sizeof a.Projection) == 0 &&
         std::memcmp(&a.Material, &b.Material, sizeof a.Material) == 0 &&
         std::equal(a.Lights.begin(), a.Lights.end(), b.Lights.begin(), SameLight);
}

// Where a shader variant keeps its uniforms (-1: the variant has no use for it).
struct ProgramUniforms {
  GLint worldView, projection, normalMatrix, normalize, localViewer;
  GLint diffuseFromVertex, ambientFromVertex, specularFromVertex, emissiveFromVertex;
  GLint materialDiffuse, materialAmbient, materialSpecular, materialEmissive, materialPower, globalAmbient;
  GLint lightVector, lightDiffuse, lightSpecular, lightAmbient, lightAttenuation;
  GLint textureFactor, alphaRef;
};

// How many times each group of uniforms has changed: a program whose count differs from the
// device's has not been given the group's values yet.
struct UniformVersions {
  uint64_t Transforms = 0, Lights = 0, Material = 0, Values = 0;
};

// A run of opaque draws waiting to be drawn, and the states it is drawn with.
struct DeferredRun {
  DeviceState States;
  UniformVersions Changes;
  PendingRun Run;
};

// One linked shader variant; Name 0 when it could not be built.
struct ShaderProgram {
  GLuint Name = 0;
  ProgramUniforms Uniforms{};
  UniformVersions Sent;
  D3DMATRIX SentWorld;  // the world matrix its transforms were last given with
};

GLuint Compile(GLenum kind, const std::string& source, std::string& error) {
  GLuint shader = glCreateShader(kind);
  const char* text = source.c_str();
  glShaderSource(shader, 1, &text, nullptr);
  glCompileShader(shader);
  GLint ok = 0;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
  if (!ok) {
    char log[2048] = {};
    glGetShaderInfoLog(shader, sizeof log, nullptr, log);
    error = std::string("shader: ") + log;
    glDeleteShader(shader);
    return 0;
  }
  return shader;
}

ProgramUniforms FindUniforms(GLuint program) {
  auto at = [program](const char* name) { return glGetUniformLocation(program, name); };
  ProgramUniforms u;
  u.worldView = at("uWorldView");
  u.projection = at("uProjection");
  u.normalMatrix = at("uNormalMatrix");
  u.normalize = at("uNormalize");
  u.localViewer = at("uLocalViewer");
  u.diffuseFromVertex = at("uDiffuseFromVertex");
  u.ambientFromVertex = at("uAmbientFromVertex");
  u.specularFromVertex = at("uSpecularFromVertex");
  u.emissiveFromVertex = at("uEmissiveFromVertex");
  u.materialDiffuse = at("uMaterialDiffuse");
  u.materialAmbient = at("uMaterialAmbient");
  u.materialSpecular = at("uMaterialSpecular");
  u.materialEmissive = at("uMaterialEmissive");
  u.materialPower = at("uMaterialPower");
  u.globalAmbient = at("uGlobalAmbient");
  u.lightVector = at("uLightVector[0]");
  u.lightDiffuse = at("uLightDiffuse[0]");
  u.lightSpecular = at("uLightSpecular[0]");
  u.lightAmbient = at("uLightAmbient[0]");
  u.lightAttenuation = at("uLightAttenuation[0]");
  u.textureFactor = at("uTextureFactor");
  u.alphaRef = at("uAlphaRef");
  return u;
}

// Compiles and links a variant; Name stays 0, with `error` saying why, when it fails.
ShaderProgram BuildProgram(const ShaderVariant& variant, bool clipFixup, std::string& error) {
  ShaderProgram program;
  const GLuint vs = Compile(GL_VERTEX_SHADER, VertexShaderSource(variant, clipFixup), error);
  const GLuint fs = vs ? Compile(GL_FRAGMENT_SHADER, FragmentShaderSource(variant), error) : 0;
  if (!fs) {
    glDeleteShader(vs);
    return program;
  }
  program.Name = glCreateProgram();
  glAttachShader(program.Name, vs);
  glAttachShader(program.Name, fs);
  glLinkProgram(program.Name);
  glDeleteShader(vs);
  glDeleteShader(fs);
  GLint ok = 0;
  glGetProgramiv(program.Name, GL_LINK_STATUS, &ok);
  if (!ok) {
    char log[2048] = {};
    glGetProgramInfoLog(program.Name, sizeof log, nullptr, log);
    error = std::string("shader link: ") + log;
    glDeleteProgram(program.Name);
    program.Name = 0;
    return program;
  }
  program.Uniforms = FindUniforms(program.Name);
  return program;
}

// The back buffer a device on this window has now: the requested size, a side of 0 taken
// from the window's 4:3 rectangle, within the window's cap.
PixelSize BackBufferFor(const SdlGlWindow& window, PixelSize requested) {
  return BackBufferSize(requested, FourByThreePicture(window.DrawableSize()), window.BackBufferCap());
}

class GlDevice final : public Device {
 public:
  // `requested`: the presentation parameters' size, a side of 0 following the window.
  // `smoothEdges`: multisampled frames and trilinear minification (SamplingOf).
  GlDevice(SdlGlWindow& window, PixelSize requested, PixelSize size, bool smoothEdges)
      : window_(window),
        alive_(window.ContextAlive()),
        requested_(requested),
        width_(static_cast<uint32_t>(size.Width)),
        height_(static_cast<uint32_t>(size.Height)),
        smoothEdges_(smoothEdges) {}

  ~GlDevice() override {
    if (!*alive_) return;  // the window and its context went first
    for (const auto& [variant, program] : programs_) glDeleteProgram(program.Name);
    glDeleteVertexArrays(1, &vao_);
    batchStore_.Delete();
    instanceStore_.Delete();
    glDeleteSamplers(1, &sampler_);
    glDeleteFramebuffers(1, &framebuffer_);
    glDeleteRenderbuffers(2, renderbuffers_);
    glDeleteFramebuffers(1, &resolveFramebuffer_);
    glDeleteRenderbuffers(1, &resolveRenderbuffer_);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
  }

  bool Init(std::string& error) {
    // The variant of the starting states is built now, so that a driver which cannot build
    // the shaders fails the device's creation rather than its first draw.
    if (ProgramFor(VariantFor(state_, false), error) == nullptr) return false;
    glGenVertexArrays(1, &vao_);
    glBindVertexArray(vao_);
    batchStore_.Create(kBatchStoreVertices * sizeof(BatchVertex));
    instanceStore_.Create(kInstanceStoreCount * sizeof(InstanceData));
    batch_.reserve(kBatchCapacity);
    glGenSamplers(1, &sampler_);
    glBindSampler(0, sampler_);

    // The device's own back buffer: colour and depth, given storage when frames are drawn into it.
    glGenFramebuffers(1, &framebuffer_);
    glGenRenderbuffers(2, renderbuffers_);
    for (const GLuint renderbuffer : renderbuffers_) glBindRenderbuffer(GL_RENDERBUFFER, renderbuffer);  // made
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, renderbuffers_[0]);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, renderbuffers_[1]);
    if (smoothEdges_) MakeResolveBuffer();
    if (!ChooseTarget()) {
      error = "the back buffer could not be made";
      return false;
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    if (window_.HasClipControl()) glClipControl(GL_LOWER_LEFT, GL_ZERO_TO_ONE);
    fixedStatesDirty_ = true;
    return glGetError() == GL_NO_ERROR;
  }

  HRESULT CreateVertexBuffer(uint32_t length, uint32_t, uint32_t fvf, D3DPOOL pool, VertexBufferPtr& out) override {
    if (length == 0) return D3DERR_INVALIDCALL;
    try {
      auto buffer = std::make_shared<GlVertexBuffer>(length, fvf, pool, window_.ContextAlive());
      if (glGetError() == GL_OUT_OF_MEMORY) return D3DERR_OUTOFVIDEOMEMORY;
      out = std::move(buffer);
    } catch (const std::bad_alloc&) {
      return E_OUTOFMEMORY;
    }
    return D3D_OK;
  }

  HRESULT CreateTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t, D3DFORMAT format, D3DPOOL pool,
                        TexturePtr& out) override {
    if (width == 0 || height == 0 || BytesPerTexel(format) == 0) return D3DERR_INVALIDCALL;
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    if (width > static_cast<uint32_t>(maxSize) || height > static_cast<uint32_t>(maxSize)) return D3DERR_INVALIDCALL;
    try {
      auto texture = std::make_shared<GlTexture>(width, height, std::min(levels, FullMipChainLength(width, height)),
                                                 format, pool, window_.ContextAlive());
      if (glGetError() == GL_OUT_OF_MEMORY) return D3DERR_OUTOFVIDEOMEMORY;
      out = std::move(texture);
    } catch (const std::bad_alloc&) {
      return E_OUTOFMEMORY;
    }
    return D3D_OK;
  }

  HRESULT Clear(uint32_t flags, D3DCOLOR color, float z, uint32_t) override {
    DrawAllPending();
    GLbitfield mask = 0;
    if (flags & D3DCLEAR_TARGET) {
      float c[4];
      ColourToFloats(color, c);
      glClearColor(c[0], c[1], c[2], 1.0f);
      mask |= GL_COLOR_BUFFER_BIT;
    }
    if (flags & D3DCLEAR_ZBUFFER) {
      glDepthMask(GL_TRUE);  // Direct3D clears depth whatever the write state
      glClearDepth(std::clamp(z, 0.0f, 1.0f));
      mask |= GL_DEPTH_BUFFER_BIT;
      fixedStatesDirty_ = true;
    }
    if (mask) glClear(mask);
    return D3D_OK;
  }

  HRESULT BeginScene() override {
    if (inScene_) return D3DERR_INVALIDCALL;
    inScene_ = true;
    return D3D_OK;
  }

  HRESULT EndScene() override {
    if (!inScene_) return D3DERR_INVALIDCALL;
    DrawAllPending();
    inScene_ = false;
    return D3D_OK;
  }

  // Shows the frame: one drawn into the window is swapped at once; the device's own back
  // buffer is first scaled into the window's centred 4:3 rectangle, black around it. A back
  // buffer that follows the window then takes the rectangle's new size.
  HRESULT Present() override {
    DrawAllPending();
    if (!direct_) ShowBackBuffer();
    last_ = current_;
    current_ = {};
    batchStore_.NextFrame();
    instanceStore_.NextFrame();
    window_.Swap();
    FollowWindow();
    return D3D_OK;
  }

  HRESULT SetTransform(D3DTRANSFORMSTATETYPE which, const D3DMATRIX& matrix) override {
    // Merged draws and instanced runs keep the world matrix of each of their parts, and a
    // program is given the world matrix of each draw it makes.
    if (which == D3DTS_WORLD) return ApplySetTransform(state_, which, matrix);
    KeepGroupStates();
    ++changes_.Transforms;
    if (which == D3DTS_VIEW) ++changes_.Lights;  // lit in camera space
    return ApplySetTransform(state_, which, matrix);
  }

  HRESULT SetLight(uint32_t index, const D3DLIGHT8& light) override {
    KeepGroupStates();
    ++changes_.Lights;
    return ApplySetLight(state_, index, light);
  }

  HRESULT LightEnable(uint32_t index, bool enable) override {
    if (index < kLightSlots && state_.Lights[index].Set && state_.Lights[index].Enabled == enable) return D3D_OK;
    KeepGroupStates();
    ++changes_.Lights;
    return ApplyLightEnable(state_, index, enable);
  }

  HRESULT SetMaterial(const D3DMATERIAL8& material) override {
    if (std::memcmp(&material, &state_.Material, sizeof material) == 0) return D3D_OK;
    KeepGroupStates();
    state_.Material = material;
    ++changes_.Material;
    return D3D_OK;
  }

  HRESULT SetRenderState(D3DRENDERSTATETYPE which, uint32_t value) override {
    if (which < kRenderStateCount && state_.RenderStates[which] == value) return D3D_OK;
    KeepGroupStates();
    StatesChanged();
    return ApplySetRenderState(state_, which, value);
  }

  HRESULT SetTextureStageState(uint32_t stage, D3DTEXTURESTAGESTATETYPE which, uint32_t value) override {
    if (stage < kTextureStageCount && which < kStageStateCount && state_.StageStates[stage][which] == value)
      return D3D_OK;
    KeepGroupStates();
    StatesChanged();
    return ApplySetTextureStageState(state_, stage, which, value);
  }

  HRESULT SetTexture(uint32_t stage, const TexturePtr& texture) override {
    if (stage < kTextureStageCount && state_.Textures[stage] == texture) return D3D_OK;
    KeepGroupStates();
    return ApplySetTexture(state_, stage, texture);
  }

  HRESULT SetStreamSource(uint32_t stream, const VertexBufferPtr& buffer, uint32_t stride) override {
    return ApplySetStreamSource(state_, stream, buffer, stride);  // merged draws and runs keep their own
  }

  HRESULT SetVertexShader(uint32_t fvf) override {
    if (state_.Fvf == fvf) return D3D_OK;
    KeepGroupStates();
    state_.Fvf = fvf;
    StatesChanged();
    return D3D_OK;
  }

  HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, uint32_t startVertex, uint32_t primitiveCount) override {
    if (!inScene_) return D3DERR_INVALIDCALL;
    const HRESULT check = CheckDraw(state_, type, startVertex, primitiveCount);
    if (Failed(check) || primitiveCount == 0) return check;
    ++current_.DrawPrimitiveCalls;
    const bool small = VertexCount(type, primitiveCount) <= kBatchSourceVertices;
    // The pending draw is drawn first unless this draw can join it.
    if (groupStates_ && !SameDrawStates(*groupStates_, state_)) Flush();
    groupStates_.reset();
    if (small ? !run_.Worlds.empty() : (!batch_.empty() || !run_.Takes(state_, type, startVertex, primitiveCount)))
      Flush();
    if (small)
      Merge(type, startVertex, primitiveCount);
    else
      AddToRun(type, startVertex, primitiveCount);
    return D3D_OK;
  }

  Image ReadBackBuffer() override {
    DrawAllPending();
    Image image;
    image.Width = static_cast<int>(width_);
    image.Height = static_cast<int>(height_);
    std::vector<uint32_t> rows(size_t{width_} * height_);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, ResolvedFrame());
    glReadPixels(0, 0, static_cast<GLsizei>(width_), static_cast<GLsizei>(height_), GL_BGRA, GL_UNSIGNED_BYTE,
                 rows.data());
    image.Argb.resize(rows.size());
    for (uint32_t y = 0; y < height_; ++y)  // GL keeps the bottom row first
      for (uint32_t x = 0; x < width_; ++x)
        image.Argb[size_t{y} * width_ + x] = rows[size_t{height_ - 1 - y} * width_ + x] | 0xFF000000u;
    glBindFramebuffer(GL_FRAMEBUFFER, direct_ ? 0 : framebuffer_);
    // A frame drawn into the window may be gone once swapped: frames are read back, so the
    // next ones are kept in the device's own back buffer.
    framesRead_ = true;
    if (direct_) ChooseTarget();
    return image;
  }

  const DeviceState& State() const override { return state_; }

  GlFrameCounts last_;

 private:
  // Scales the device's back buffer into the window's centred 4:3 rectangle, black around it.
  void ShowBackBuffer() {
    const PixelSize drawable = window_.DrawableSize();
    const PictureRect picture = FourByThreePicture(drawable);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, ResolvedFrame());
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    if (picture.Size() != drawable) {  // the bars
      glClearColor(0, 0, 0, 1);
      glClear(GL_COLOR_BUFFER_BIT);
    }
    const bool sameSize = picture.Size() == BackBufferPixels();
    glBlitFramebuffer(0, 0, static_cast<GLint>(width_), static_cast<GLint>(height_), picture.X, picture.Y,
                      picture.X + picture.Width, picture.Y + picture.Height, GL_COLOR_BUFFER_BIT,
                      sameSize ? GL_NEAREST : GL_LINEAR);
    ++current_.BackBufferCopies;
  }

  // The framebuffer that holds the frame drawn with one colour a pixel: the window's or the
  // back buffer, or for a multisampled back buffer the resolve buffer, its samples averaged
  // into it now. Leaves the draw framebuffer bound elsewhere when it resolves.
  GLuint ResolvedFrame() {
    if (direct_) return 0;
    if (samples_ == 0) return framebuffer_;
    const auto width = static_cast<GLint>(width_), height = static_cast<GLint>(height_);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer_);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, resolveFramebuffer_);
    glBlitFramebuffer(0, 0, width, height, 0, 0, width, height, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    return resolveFramebuffer_;
  }

  PixelSize BackBufferPixels() const { return {static_cast<int>(width_), static_cast<int>(height_)}; }

  // Chooses where the next frames are drawn: straight into the window when the back buffer
  // has its drawable's size, nobody reads frames back and edges are not smoothed, else into the
  // device's own back buffer, which gets storage of the back buffer's size when it has none of
  // that size (what it held is lost; the attachments and everything the game created stay).
  // Sets the viewport. False when the device's back buffer cannot be made.
  bool ChooseTarget() {
    direct_ =
        !smoothEdges_ && window_.DrawsFramesDirectly() && !framesRead_ && BackBufferPixels() == window_.DrawableSize();
    const auto width = static_cast<GLsizei>(width_), height = static_cast<GLsizei>(height_);
    glBindFramebuffer(GL_FRAMEBUFFER, direct_ ? 0 : framebuffer_);
    glViewport(0, 0, width, height);
    if (direct_ || storage_ == BackBufferPixels()) return true;
    samples_ = smoothEdges_ ? StoreSmoothBackBuffer(width, height) : 0;
    if (samples_ == 0) StoreBackBuffer(0, width, height);
    storage_ = BackBufferPixels();
    return glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
  }

  // Colour and depth storage for the bound back buffer, `samples` a pixel (0: one, no samples).
  void StoreBackBuffer(GLsizei samples, GLsizei width, GLsizei height) {
    glBindRenderbuffer(GL_RENDERBUFFER, renderbuffers_[0]);
    glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples, GL_RGBA8, width, height);
    glBindRenderbuffer(GL_RENDERBUFFER, renderbuffers_[1]);
    glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples, GL_DEPTH_COMPONENT24, width, height);
  }

  // Multisampled storage for the bound back buffer, kSmoothSamples a pixel or the most the
  // driver offers below that, and the resolve buffer of its size. The samples a pixel it got;
  // 0 when the driver offers none or refuses them, its complaint taken back so the device goes
  // on with one sample a pixel.
  GLsizei StoreSmoothBackBuffer(GLsizei width, GLsizei height) {
    GLint most = 0;
    glGetIntegerv(GL_MAX_SAMPLES, &most);
    const GLsizei samples = std::min<GLsizei>(kSmoothSamples, most);
    if (samples < 2) return 0;
    StoreBackBuffer(samples, width, height);
    glBindRenderbuffer(GL_RENDERBUFFER, resolveRenderbuffer_);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    const bool stored = StoredWithSamples(renderbuffers_[0], samples, width, height) &&
                        StoredWithSamples(renderbuffers_[1], samples, width, height);
    if (stored && glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE) return samples;
    DropGlErrors();
    return 0;
  }

  // Whether the renderbuffer has storage of that size with at least `samples` samples a pixel.
  static bool StoredWithSamples(GLuint renderbuffer, GLsizei samples, GLsizei width, GLsizei height) {
    GLint got = 0, gotWidth = 0, gotHeight = 0;
    glBindRenderbuffer(GL_RENDERBUFFER, renderbuffer);
    glGetRenderbufferParameteriv(GL_RENDERBUFFER, GL_RENDERBUFFER_SAMPLES, &got);
    glGetRenderbufferParameteriv(GL_RENDERBUFFER, GL_RENDERBUFFER_WIDTH, &gotWidth);
    glGetRenderbufferParameteriv(GL_RENDERBUFFER, GL_RENDERBUFFER_HEIGHT, &gotHeight);
    return got >= samples && gotWidth == width && gotHeight == height;
  }

  // The single-sample colour buffer a multisampled back buffer is resolved into before it is
  // shown or read; its storage comes with the back buffer's.
  void MakeResolveBuffer() {
    glGenFramebuffers(1, &resolveFramebuffer_);
    glGenRenderbuffers(1, &resolveRenderbuffer_);
    glBindRenderbuffer(GL_RENDERBUFFER, resolveRenderbuffer_);
    glBindFramebuffer(GL_FRAMEBUFFER, resolveFramebuffer_);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, resolveRenderbuffer_);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
  }

  // A back buffer with a side of 0 asked for follows the window: when the window's 4:3
  // rectangle (or the cap) gives it another size, it takes that size before the next frame.
  // A window without a drawable (minimised) keeps the back buffer it had.
  void FollowWindow() {
    const PixelSize size = BackBufferFor(window_, requested_);
    if (!size.Empty()) {
      width_ = static_cast<uint32_t>(size.Width);
      height_ = static_cast<uint32_t>(size.Height);
    }
    if (!ChooseTarget()) std::fprintf(stderr, "OpenGL device: the back buffer could not be made anew\n");
  }

  // The program of a variant, built the first time a draw needs it and kept for the device's
  // life; nullptr (with `error`) when it cannot be built, which is not tried again.
  ShaderProgram* ProgramFor(const ShaderVariant& variant, std::string& error) {
    auto found = programs_.find(variant);
    if (found == programs_.end())
      found = programs_.emplace(variant, BuildProgram(variant, !window_.HasClipControl(), error)).first;
    return found->second.Name != 0 ? &found->second : nullptr;
  }

  void StatesChanged() {
    fixedStatesDirty_ = true;
    ++changes_.Values;
  }

  // Sends every state that changed since the last GL draw: the fixed states of GL, the shader
  // variant for the states, and the uniforms that variant has not been given yet, `world`
  // the draw's world matrix (the identity for merged draws, whose vertices are already in the
  // world; instanced draws bring their own). False when no variant could be built for the
  // states (the draw is then skipped).
  bool ApplyState(const D3DMATRIX& world, bool instanced) {
    if (fixedStatesDirty_) ApplyFixedStates();
    fixedStatesDirty_ = false;
    auto* texture = dynamic_cast<GlTexture*>(state_.Textures[0].get());
    std::string error;
    ShaderProgram* program = ProgramFor(VariantFor(state_, texture != nullptr, instanced), error);
    if (program == nullptr) {
      if (!error.empty()) std::fprintf(stderr, "OpenGL device: %s\n", error.c_str());
      return false;
    }
    if (program->Name != usedProgram_) {
      glUseProgram(program->Name);
      usedProgram_ = program->Name;
    }
    SendUniforms(*program, world);
    BindTexture(texture);
    return true;
  }

  void ApplyFixedStates() {
    const auto& rs = state_.RenderStates;
    if (rs[D3DRS_ZENABLE] != D3DZB_FALSE)
      glEnable(GL_DEPTH_TEST);
    else
      glDisable(GL_DEPTH_TEST);
    glDepthMask(rs[D3DRS_ZWRITEENABLE] ? GL_TRUE : GL_FALSE);
    glDepthFunc(CompareFunc(rs[D3DRS_ZFUNC]));
    if (rs[D3DRS_CULLMODE] == D3DCULL_NONE) {
      glDisable(GL_CULL_FACE);
    } else {
      glEnable(GL_CULL_FACE);
      glCullFace(GL_BACK);
      glFrontFace(rs[D3DRS_CULLMODE] == D3DCULL_CW ? GL_CCW : GL_CW);  // CCW culls: clockwise is the front
    }
    if (rs[D3DRS_ALPHABLENDENABLE]) {
      glEnable(GL_BLEND);
      glBlendFunc(BlendFactor(rs[D3DRS_SRCBLEND]), BlendFactor(rs[D3DRS_DESTBLEND]));
    } else {
      glDisable(GL_BLEND);
    }
    const auto& stage = state_.StageStates[0];
    const TextureSampling sampling = SamplingOf(stage, smoothEdges_);
    glSamplerParameteri(sampler_, GL_TEXTURE_MAG_FILTER, sampling.MagFilter);
    glSamplerParameteri(sampler_, GL_TEXTURE_MIN_FILTER, sampling.MinFilter);
    glSamplerParameteri(sampler_, GL_TEXTURE_WRAP_S, AddressMode(stage[D3DTSS_ADDRESSU]));
    glSamplerParameteri(sampler_, GL_TEXTURE_WRAP_T, AddressMode(stage[D3DTSS_ADDRESSV]));
  }

  // Gives the program each group of uniforms that changed since it last drew.
  void SendUniforms(ShaderProgram& program, const D3DMATRIX& world) {
    const ProgramUniforms& u = program.Uniforms;
    if (program.Sent.Transforms != changes_.Transforms || std::memcmp(&program.SentWorld, &world, sizeof world) != 0) {
      Uniform(glUniformMatrix4fv, u.projection, 1, GL_FALSE, &state_.Projection.m[0][0]);
      if (u.worldView >= 0) {
        const InstanceData placed = PlacedBy(world);
        Uniform(glUniformMatrix4fv, u.worldView, 1, GL_FALSE, &placed.WorldView.m[0][0]);
        if (u.normalMatrix >= 0) Uniform(glUniformMatrix3fv, u.normalMatrix, 1, GL_FALSE, &placed.NormalMatrix.m[0][0]);
      }
      program.SentWorld = world;
    }
    if (program.Sent.Lights != changes_.Lights && u.lightVector >= 0) SendLights(u);
    if (program.Sent.Material != changes_.Material && u.materialDiffuse >= 0) {
      const D3DMATERIAL8& m = state_.Material;
      Uniform(glUniform4fv, u.materialDiffuse, 1, &m.Diffuse.r);
      Uniform(glUniform4fv, u.materialAmbient, 1, &m.Ambient.r);
      Uniform(glUniform4fv, u.materialSpecular, 1, &m.Specular.r);
      Uniform(glUniform4fv, u.materialEmissive, 1, &m.Emissive.r);
      Uniform(glUniform1f, u.materialPower, m.Power);
    }
    if (program.Sent.Values != changes_.Values) SendValues(u);
    program.Sent = changes_;
  }

  // The render states that reach the shaders as values.
  void SendValues(const ProgramUniforms& u) {
    const auto& rs = state_.RenderStates;
    float c[4];
    if (u.globalAmbient >= 0) {
      const bool colourVertex = (state_.Fvf & D3DFVF_DIFFUSE) != 0 && rs[D3DRS_COLORVERTEX] != 0;
      // The game's formats have no second (specular) vertex colour: COLOR2 falls back to the material.
      Uniform(glUniform1i, u.diffuseFromVertex, colourVertex && rs[D3DRS_DIFFUSEMATERIALSOURCE] == D3DMCS_COLOR1);
      Uniform(glUniform1i, u.ambientFromVertex, colourVertex && rs[D3DRS_AMBIENTMATERIALSOURCE] == D3DMCS_COLOR1);
      Uniform(glUniform1i, u.specularFromVertex, colourVertex && rs[D3DRS_SPECULARMATERIALSOURCE] == D3DMCS_COLOR1);
      Uniform(glUniform1i, u.emissiveFromVertex, colourVertex && rs[D3DRS_EMISSIVEMATERIALSOURCE] == D3DMCS_COLOR1);
      Uniform(glUniform1i, u.normalize, rs[D3DRS_NORMALIZENORMALS] != 0);
      Uniform(glUniform1i, u.localViewer, rs[D3DRS_LOCALVIEWER] != 0);
      ColourToFloats(rs[D3DRS_AMBIENT], c);
      Uniform(glUniform4fv, u.globalAmbient, 1, c);
    }
    if (u.textureFactor >= 0) {
      ColourToFloats(rs[D3DRS_TEXTUREFACTOR], c);
      Uniform(glUniform4fv, u.textureFactor, 1, c);
    }
    if (u.alphaRef >= 0) Uniform(glUniform1f, u.alphaRef, static_cast<float>(rs[D3DRS_ALPHAREF] & 0xFF));
  }

  void BindTexture(GlTexture* texture) {
    const bool sameTexture =
        boundNothing_ ? texture == nullptr : !boundTexture_.expired() && boundTexture_.lock() == state_.Textures[0];
    const SampledLevels levels = SamplingOf(state_.StageStates[0], smoothEdges_).Levels;
    if (sameTexture && (texture == nullptr || levels == boundLevels_)) return;
    glActiveTexture(GL_TEXTURE0);
    if (texture != nullptr)
      texture->Bind(levels);
    else
      glBindTexture(GL_TEXTURE_2D, 0);
    ++current_.TextureBinds;
    boundTexture_ = state_.Textures[0];
    if (texture == nullptr) boundTexture_.reset();
    boundNothing_ = texture == nullptr;
    boundLevels_ = levels;
  }

  // A uniform upload of the frame's states, counted in the frame's figures.
  template <typename Upload, typename... Args>
  void Uniform(Upload upload, Args... args) {
    upload(args...);
    ++current_.UniformCalls;
  }

  // The enabled lights in camera space, in the order the variants read them: towards each
  // directional light (unit length), then the place of each point light.
  void SendLights(const ProgramUniforms& u) {
    float vectors[kMaxShaderLights][3] = {}, diffuse[kMaxShaderLights][4] = {}, specular[kMaxShaderLights][4] = {},
          ambient[kMaxShaderLights][4] = {}, attenuation[kMaxShaderLights][4] = {};
    const LightsInUse lights = EnabledLights(state_);
    for (uint32_t i = 0; i < lights.Count; ++i) {
      const D3DLIGHT8& l = *lights.Lights[i];
      if (i < lights.Directional) {
        const float towards[3] = {-l.Direction.x, -l.Direction.y, -l.Direction.z};
        TransformDirection(state_.View, towards, vectors[i]);
        Normalise(vectors[i]);
      } else {
        const float position[3] = {l.Position.x, l.Position.y, l.Position.z};
        TransformPoint(state_.View, position, vectors[i]);
      }
      std::memcpy(diffuse[i], &l.Diffuse.r, sizeof diffuse[i]);
      std::memcpy(specular[i], &l.Specular.r, sizeof specular[i]);
      std::memcpy(ambient[i], &l.Ambient.r, sizeof ambient[i]);
      attenuation[i][0] = l.Attenuation0;
      attenuation[i][1] = l.Attenuation1;
      attenuation[i][2] = l.Attenuation2;
      attenuation[i][3] = l.Range;
    }
    const auto count = static_cast<GLsizei>(lights.Count);
    Uniform(glUniform3fv, u.lightVector, count, &vectors[0][0]);
    Uniform(glUniform4fv, u.lightDiffuse, count, &diffuse[0][0]);
    Uniform(glUniform4fv, u.lightSpecular, count, &specular[0][0]);
    Uniform(glUniform4fv, u.lightAmbient, count, &ambient[0][0]);
    Uniform(glUniform4fv, u.lightAttenuation, count, &attenuation[0][0]);
  }

  void SetAttributes(uint32_t fvf, GLsizei stride) {
    const VertexLayout layout = DescribeFvf(fvf);
    auto attribute = [&](GLuint index, int offset, GLint size, GLenum type, GLboolean normalized) {
      if (offset < 0) {
        glDisableVertexAttribArray(index);
        return;
      }
      glEnableVertexAttribArray(index);
      glVertexAttribPointer(index, size, type, normalized, stride,
                            reinterpret_cast<const void*>(static_cast<uintptr_t>(offset)));
    };
    attribute(0, 0, 3, GL_FLOAT, GL_FALSE);
    attribute(1, layout.Normal, 3, GL_FLOAT, GL_FALSE);
    attribute(2, layout.Diffuse, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE);
    attribute(3, layout.TexCoord, 2, GL_FLOAT, GL_FALSE);
    glVertexAttrib3f(1, 0, 0, 0);  // what an absent component reads
    glVertexAttrib4f(2, 1, 1, 1, 1);
    glVertexAttrib2f(3, 0, 0);
  }

  // Points the vertex attributes at `source` (nullptr: the merged draws' store), bound now,
  // unless they point there already.
  void UseAttributes(const VertexBufferPtr& source, uint32_t fvf, uint32_t stride) {
    const bool onBatch = source == nullptr;
    if (onBatch == attributesOnBatch_ && attributeSource_.lock() == source && fvf == attributeFvf_ &&
        stride == attributeStride_)
      return;
    SetAttributes(fvf, static_cast<GLsizei>(stride));
    attributeSource_ = source;
    attributesOnBatch_ = onBatch;
    attributeFvf_ = fvf;
    attributeStride_ = stride;
  }

  // World x view and its normal matrix for a draw placed by `world`.
  InstanceData PlacedBy(const D3DMATRIX& world) const {
    InstanceData placed;
    placed.WorldView = Multiply(world, state_.View);
    placed.NormalMatrix = NormalMatrix(placed.WorldView);
    return placed;
  }

  // Writes the instances' data into this frame's store and points the instance attributes
  // at it, one step an instance.
  void SetInstanceAttributes(const std::vector<D3DMATRIX>& worlds) {
    std::vector<InstanceData> instances;
    instances.reserve(worlds.size());
    for (const D3DMATRIX& world : worlds) instances.push_back(PlacedBy(world));
    const size_t offset = instanceStore_.Append(instances.data(), instances.size() * sizeof(InstanceData));
    auto column = [offset](GLuint index, GLint size, size_t at) {
      glEnableVertexAttribArray(index);
      glVertexAttribPointer(index, size, GL_FLOAT, GL_FALSE, sizeof(InstanceData),
                            reinterpret_cast<const void*>(offset + at));
      glVertexAttribDivisor(index, 1);
    };
    for (GLuint c = 0; c < 4; ++c)
      column(kInstanceWorldViewAttribute + c, 4, offsetof(InstanceData, WorldView) + c * 4 * sizeof(float));
    for (GLuint c = 0; c < 3; ++c)
      column(kInstanceNormalMatrixAttribute + c, 3, offsetof(InstanceData, NormalMatrix) + c * 3 * sizeof(float));
  }

  static void DisableInstanceAttributes() {
    for (GLuint c = 0; c < 4; ++c) glDisableVertexAttribArray(kInstanceWorldViewAttribute + c);
    for (GLuint c = 0; c < 3; ++c) glDisableVertexAttribArray(kInstanceNormalMatrixAttribute + c);
  }

  // Adds a large draw to the pending run, or starts a run with it: its vertices are sent to GL
  // now, as they are, so that writes to the buffer after it do not change what it draws.
  void AddToRun(D3DPRIMITIVETYPE type, uint32_t startVertex, uint32_t primitiveCount) {
    if (run_.Worlds.empty()) {
      auto* buffer = dynamic_cast<GlVertexBuffer*>(state_.Stream.get());
      if (buffer == nullptr) return;
      if (buffer->HasChanges()) DrawDeferred();  // they were drawn with what GL holds now
      buffer->Send(DrawnBytesEnd(startVertex, VertexCount(type, primitiveCount)), state_.StreamStride,
                   static_cast<uint32_t>(DescribeFvf(state_.Fvf).Stride));
      run_.Buffer = state_.Stream;
      run_.Stride = state_.StreamStride;
      run_.Type = type;
      run_.StartVertex = startVertex;
      run_.PrimitiveCount = primitiveCount;
    }
    run_.Worlds.push_back(state_.World);
  }

  // Draws the pending run: one draw of its own, or all of them as the instances of one draw.
  void DrawRun(const PendingRun& run) {
    const bool instanced = run.Worlds.size() > 1;
    if (!ApplyState(instanced ? kIdentityMatrix : run.Worlds[0], instanced)) return;
    static_cast<const GlVertexBuffer&>(*run.Buffer).Bind();
    UseAttributes(run.Buffer, state_.Fvf, run.Stride);
    if (instanced) SetInstanceAttributes(run.Worlds);
    const GLenum mode = run.Type == D3DPT_TRIANGLELIST ? GL_TRIANGLES : GL_TRIANGLE_STRIP;
    const auto count = static_cast<GLsizei>(VertexCount(run.Type, run.PrimitiveCount));
    const auto instances = static_cast<GLsizei>(run.Worlds.size());
    if (static_cast<const GlVertexBuffer&>(*run.Buffer).Indexed())
      glDrawElementsInstanced(mode, count, GL_UNSIGNED_INT,
                              reinterpret_cast<const void*>(uintptr_t{run.StartVertex} * sizeof(uint32_t)), instances);
    else
      glDrawArraysInstanced(mode, static_cast<GLint>(run.StartVertex), count, instances);
    if (instanced) DisableInstanceAttributes();
    ++current_.GlDrawCalls;
  }

  // Adds a small draw to the pending merged draw: its vertices placed in the world
  // and its strip unrolled into a list with the same facing.
  void Merge(D3DPRIMITIVETYPE type, uint32_t startVertex, uint32_t primitiveCount) {
    const uint32_t count = VertexCount(type, primitiveCount);
    const uint32_t listVertices = primitiveCount * 3;
    if (batch_.size() + listVertices > kBatchCapacity) Flush();
    const VertexLayout layout = DescribeFvf(state_.Fvf);
    const Mat3 normalMatrix = NormalMatrix(state_.World);
    BatchVertex source[kBatchSourceVertices];
    const uint8_t* bytes =
        state_.Stream->Data(DrawnBytesEnd(startVertex, count)) + size_t{startVertex} * state_.StreamStride;
    for (uint32_t i = 0; i < count; ++i, bytes += state_.StreamStride) {
      BatchVertex& v = source[i];
      float in[3];
      std::memcpy(in, bytes, sizeof in);
      TransformPoint(state_.World, in, v.Position);
      v.Normal[0] = v.Normal[1] = v.Normal[2] = 0;
      if (layout.Normal >= 0) {
        std::memcpy(in, bytes + layout.Normal, sizeof in);
        TransformNormal(normalMatrix, in, v.Normal);
      }
      v.Diffuse = 0xFFFFFFFFu;
      if (layout.Diffuse >= 0) std::memcpy(&v.Diffuse, bytes + layout.Diffuse, 4);
      v.TexCoord[0] = v.TexCoord[1] = 0;
      if (layout.TexCoord >= 0) std::memcpy(v.TexCoord, bytes + layout.TexCoord, sizeof v.TexCoord);
    }
    if (type == D3DPT_TRIANGLELIST) {
      batch_.insert(batch_.end(), source, source + count);
    } else {
      for (uint32_t t = 0; t < primitiveCount; ++t) {
        const bool odd = (t & 1) != 0;
        batch_.push_back(source[odd ? t + 1 : t]);
        batch_.push_back(source[odd ? t : t + 1]);
        batch_.push_back(source[t + 2]);
      }
    }
  }

  // Where the bytes of `count` vertices from `startVertex` of the stream end.
  uint32_t DrawnBytesEnd(uint32_t startVertex, uint32_t count) const {
    const uint64_t end = (uint64_t{startVertex} + count) * state_.StreamStride;
    return static_cast<uint32_t>(std::min<uint64_t>(end, state_.Stream->Length()));
  }

  // Before a state changes while draws wait to be drawn as one: keeps the states they are
  // drawn with, unless kept already.
  void KeepGroupStates() {
    if (groupStates_ || (batch_.empty() && run_.Worlds.empty())) return;
    groupStates_ = state_;
    groupChanges_ = changes_;
  }

  // Draws with `states` and the uniform versions they go with in place of the device's own.
  template <typename Draw>
  void DrawWith(DeviceState& states, UniformVersions& changes, Draw draw) {
    std::swap(state_, states);
    std::swap(changes_, changes);
    fixedStatesDirty_ = true;
    draw();
    std::swap(state_, states);
    std::swap(changes_, changes);
    fixedStatesDirty_ = true;
  }

  // Draws what waits to be drawn as one, with the states its parts share. A run of opaque
  // draws waits on among the deferred ones; anything else is drawn after them.
  void Flush() {
    if (batch_.empty() && run_.Worlds.empty()) return;
    if (!groupStates_) return FlushGroup();
    DrawWith(*groupStates_, groupChanges_, [this] { FlushGroup(); });
    groupStates_.reset();
  }

  void FlushGroup() {
    const bool opaque = DrawsOpaque(state_);
    if (!batch_.empty()) {
      if (!opaque) DrawDeferred();
      DrawBatch();
      return;
    }
    PendingRun run = std::move(run_);
    run_ = PendingRun();
    if (opaque) return Defer(std::move(run));
    DrawDeferred();
    DrawRun(run);
  }

  // Keeps an opaque run until something that is not opaque is drawn (or the frame ends),
  // together with the deferred runs of the same range and states.
  void Defer(PendingRun run) {
    for (DeferredRun& deferred : deferred_)
      if (deferred.Run.SameRange(run) && deferred.Run.Worlds.size() + run.Worlds.size() <= kRunInstances &&
          SameDrawStates(deferred.States, state_)) {
        deferred.Run.Worlds.insert(deferred.Run.Worlds.end(), run.Worlds.begin(), run.Worlds.end());
        return;
      }
    deferred_.push_back({state_, changes_, std::move(run)});
  }

  void DrawDeferred() {
    std::vector<DeferredRun> deferred;
    deferred.swap(deferred_);
    for (DeferredRun& each : deferred) DrawWith(each.States, each.Changes, [&] { DrawRun(each.Run); });
  }

  void DrawAllPending() {
    Flush();
    DrawDeferred();
  }

  // Draws the pending merged draw. The merged draws of a frame follow each other in one store.
  void DrawBatch() {
    if (ApplyState(kIdentityMatrix, false)) {
      const size_t offset = batchStore_.Append(batch_.data(), batch_.size() * sizeof(BatchVertex));
      UseAttributes(nullptr, kFvfTexMesh, sizeof(BatchVertex));
      glDrawArrays(GL_TRIANGLES, static_cast<GLint>(offset / sizeof(BatchVertex)), static_cast<GLsizei>(batch_.size()));
      ++current_.GlDrawCalls;
    }
    batch_.clear();
  }

  SdlGlWindow& window_;
  std::shared_ptr<const bool> alive_;
  PixelSize requested_;      // the presentation parameters' size; 0: the window's rectangle
  uint32_t width_, height_;  // the back buffer's
  DeviceState state_;
  bool fixedStatesDirty_ = true;  // depth, culling, blending, the sampler
  UniformVersions changes_{1, 1, 1, 1};
  std::map<ShaderVariant, ShaderProgram> programs_;
  GLuint usedProgram_ = 0;
  bool inScene_ = false;
  GLuint vao_ = 0, sampler_ = 0, framebuffer_ = 0;
  GLuint renderbuffers_[2] = {0, 0};
  PixelSize storage_;        // the size the device's own back buffer has storage for
  bool direct_ = false;      // frames are drawn straight into the window
  bool framesRead_ = false;  // ReadBackBuffer was asked for: frames are kept for it

  bool smoothEdges_;     // multisampled frames, trilinear minification
  GLsizei samples_ = 0;  // a pixel of the device's own back buffer; 0: one, no samples
  GLuint resolveFramebuffer_ = 0, resolveRenderbuffer_ = 0;  // with samples: the frame averaged

  std::weak_ptr<Texture> boundTexture_;
  bool boundNothing_ = false;
  SampledLevels boundLevels_ = SampledLevels::kTop;
  std::weak_ptr<VertexBuffer> attributeSource_;
  bool attributesOnBatch_ = false;
  uint32_t attributeFvf_ = 0, attributeStride_ = 0;
  std::vector<BatchVertex> batch_;          // the pending merged draw
  PendingRun run_;                          // or the pending run
  std::optional<DeviceState> groupStates_;  // what they are drawn with, once a state changed after them
  UniformVersions groupChanges_;
  std::vector<DeferredRun> deferred_;  // opaque runs, each with its own states
  FrameStore batchStore_, instanceStore_;
  GlFrameCounts current_;
};

class GlDirect3D final : public Direct3D {
 public:
  GlDirect3D(SdlGlWindow& window, bool smoothEdges) : window_(window), smoothEdges_(smoothEdges) {}

  // The window always shows 32-bit colour.
  HRESULT CheckDeviceType(uint32_t adapter, D3DDEVTYPE, D3DFORMAT displayFormat, D3DFORMAT backBufferFormat,
                          bool) override {
    if (adapter != D3DADAPTER_DEFAULT) return D3DERR_INVALIDCALL;
    return displayFormat == D3DFMT_X8R8G8B8 && backBufferFormat == D3DFMT_X8R8G8B8 ? D3D_OK : D3DERR_NOTAVAILABLE;
  }

  HRESULT CheckDeviceFormat(uint32_t adapter, D3DDEVTYPE, D3DFORMAT, uint32_t, D3DRESOURCETYPE resourceType,
                            D3DFORMAT checkFormat) override {
    if (adapter != D3DADAPTER_DEFAULT) return D3DERR_INVALIDCALL;
    return resourceType == D3DRTYPE_TEXTURE && BytesPerTexel(checkFormat) != 0 ? D3D_OK : D3DERR_NOTAVAILABLE;
  }

  HRESULT GetAdapterDisplayMode(uint32_t adapter, D3DDISPLAYMODE& mode) override {
    if (adapter != D3DADAPTER_DEFAULT) return D3DERR_INVALIDCALL;
    SDL_DisplayMode desktop;
    if (SDL_GetDesktopDisplayMode(0, &desktop) != 0) return D3DERR_NOTAVAILABLE;
    mode.Width = static_cast<uint32_t>(desktop.w);
    mode.Height = static_cast<uint32_t>(desktop.h);
    mode.RefreshRate = static_cast<uint32_t>(desktop.refresh_rate);
    mode.Format = D3DFMT_X8R8G8B8;
    return D3D_OK;
  }

  HRESULT CreateDevice(uint32_t adapter, D3DDEVTYPE, uint32_t, const D3DPRESENT_PARAMETERS& parameters,
                       DevicePtr& out) override {
    if (adapter != D3DADAPTER_DEFAULT) return D3DERR_INVALIDCALL;
    if (!parameters.Windowed && parameters.BackBufferFormat != D3DFMT_X8R8G8B8) return D3DERR_INVALIDCALL;
    // A full-screen device covers the desktop; its back buffer is scaled into the 4:3 picture.
    SDL_SetWindowFullscreen(window_.Window(), parameters.Windowed ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
    const PixelSize requested{static_cast<int>(parameters.BackBufferWidth),
                              static_cast<int>(parameters.BackBufferHeight)};
    const PixelSize size = BackBufferFor(window_, requested);
    if (size.Empty()) return D3DERR_INVALIDCALL;
    auto device = std::make_shared<GlDevice>(window_, requested, size, smoothEdges_);
    std::string error;
    if (!device->Init(error)) {
      std::fprintf(stderr, "OpenGL device: %s\n", error.c_str());
      return E_FAIL;
    }
    out = std::move(device);
    return D3D_OK;
  }

 private:
  SdlGlWindow& window_;
  bool smoothEdges_;
};

}  // namespace

Direct3DPtr CreateGlDirect3D(SdlGlWindow& window, bool smoothEdges) {
  return std::make_shared<GlDirect3D>(window, smoothEdges);
}

GlFrameCounts LastFrameCounts(const Device& device) {
  const auto* gl = dynamic_cast<const GlDevice*>(&device);
  return gl != nullptr ? gl->last_ : GlFrameCounts{};
}

}  // namespace zt
