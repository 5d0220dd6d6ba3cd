// Mesh preview: loads the game's meshes through the game's own model reader and draws
// them with a small software rasteriser that lights them the way the game scene does
// (per-vertex light from the directional and the point light, ambient, specular on the
// bricks, brick.bmp tinted, the glass frames added onto the picture). Writes PNG files.
//
// Build and run from the repository folder:
//   cmake -S . -B build -G Ninja -DZT_BUILD_TOOLS=ON && cmake --build build --target mesh_preview
//   build/tools/mesh_preview game /tmp/mesh-previews
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "core/vecmath.h"
#include "device/image_file.h"
#include "render/model_file.h"

namespace zt {
namespace {

struct Rgb {
  float r = 0, g = 0, b = 0;
};

struct Canvas {
  int Width, Height;
  std::vector<Rgb> Pixels;
  std::vector<float> Depth;
  Canvas(int w, int h) : Width(w), Height(h), Pixels(size_t(w) * h), Depth(size_t(w) * h, 1.0f) {}
  void Background(Rgb top, Rgb bottom) {
    for (int y = 0; y < Height; ++y) {
      const float t = float(y) / float(Height - 1);
      for (int x = 0; x < Width; ++x)
        Pixels[size_t(y) * Width + x] = {top.r + (bottom.r - top.r) * t, top.g + (bottom.g - top.g) * t,
                                         top.b + (bottom.b - top.b) * t};
    }
  }
  void Save(const std::string& path) const {
    zt::Image picture{Width, Height, {}};
    auto byte = [](float c) { return static_cast<uint32_t>(std::lround(std::clamp(c, 0.0f, 1.0f) * 255)); };
    for (const Rgb& p : Pixels) picture.Argb.push_back(0xFF000000u | byte(p.r) << 16 | byte(p.g) << 8 | byte(p.b));
    if (!WritePngFile(path, picture)) {
      std::fprintf(stderr, "cannot write %s\n", path.c_str());
      return;
    }
    std::printf("wrote %s\n", path.c_str());
  }
};

// A brick texture as the game builds it: the picture tinted and turned upside down.
struct Texture {
  int Width = 0, Height = 0;
  std::vector<Rgb> Texels;
  Rgb Sample(float u, float v) const {
    const float x = u * Width - 0.5f, y = v * Height - 0.5f;
    const int x0 = int(std::floor(x)), y0 = int(std::floor(y));
    const float fx = x - x0, fy = y - y0;
    auto at = [&](int tx, int ty) {
      tx = ((tx % Width) + Width) % Width;
      ty = ((ty % Height) + Height) % Height;
      return Texels[size_t(ty) * Width + tx];
    };
    Rgb a = at(x0, y0), b = at(x0 + 1, y0), c = at(x0, y0 + 1), d = at(x0 + 1, y0 + 1);
    auto mix = [](float p, float q, float t) { return p + (q - p) * t; };
    return {mix(mix(a.r, b.r, fx), mix(c.r, d.r, fx), fy), mix(mix(a.g, b.g, fx), mix(c.g, d.g, fx), fy),
            mix(mix(a.b, b.b, fx), mix(c.b, d.b, fx), fy)};
  }
};

Texture BrickTexture(const std::string& file, Rgb tint) {
  zt::Image picture;
  std::string error;
  Texture t;
  if (!ReadImageFile(file, picture, error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return t;
  }
  const int w = picture.Width, h = picture.Height;
  t.Width = w;
  t.Height = h;
  t.Texels.resize(size_t(w) * h);
  auto channel = [](uint32_t argb, int shift, float tint) {
    return std::nearbyint(((argb >> shift) & 0xFF) * tint) / 255;
  };
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const uint32_t p = picture.At(x, y);
      t.Texels[size_t(h - 1 - y) * w + x] = {channel(p, 16, tint.r), channel(p, 8, tint.g), channel(p, 0, tint.b)};
    }
  return t;
}

struct Camera {
  D3DMATRIX View, Projection;
  D3DVECTOR Eye;
};

Camera MakeCamera(D3DVECTOR eye, D3DVECTOR at, float fov = 1.0f, float aspect = 0.75f) {
  Camera c;
  c.Eye = eye;
  SetViewMatrix(c.View, eye, at, MakeVector(0, 1, 0));
  SetProjectionMatrix(c.Projection, fov, aspect, 1.0f, 60.0f);
  return c;
}

struct Lights {
  bool PointOn = true;
  bool Specular = false;
};

D3DVECTOR Transform(const D3DVECTOR& p, const D3DMATRIX& m, float w = 1) {
  return {p.x * m.m[0][0] + p.y * m.m[1][0] + p.z * m.m[2][0] + w * m.m[3][0],
          p.x * m.m[0][1] + p.y * m.m[1][1] + p.z * m.m[2][1] + w * m.m[3][1],
          p.x * m.m[0][2] + p.y * m.m[1][2] + p.z * m.m[2][2] + w * m.m[3][2]};
}

// Normals go through the inverse transpose of the world matrix's 3x3 part.
D3DVECTOR TransformNormal(const D3DVECTOR& n, const D3DMATRIX& m) {
  const float a = m.m[0][0], b = m.m[0][1], c = m.m[0][2], d = m.m[1][0], e = m.m[1][1], f = m.m[1][2], g = m.m[2][0],
              h = m.m[2][1], i = m.m[2][2];
  // Rows of the inverse transpose = cofactors.
  const float co[3][3] = {{e * i - f * h, f * g - d * i, d * h - e * g},
                          {c * h - b * i, a * i - c * g, b * g - a * h},
                          {b * f - c * e, c * d - a * f, a * e - b * d}};
  D3DVECTOR out{n.x * co[0][0] + n.y * co[0][1] + n.z * co[0][2], n.x * co[1][0] + n.y * co[1][1] + n.z * co[1][2],
                n.x * co[2][0] + n.y * co[2][1] + n.z * co[2][2]};
  const float len = VecLength(out);
  if (len > 0) VecDivide(out, out, len);
  return out;
}

// The game's lights: a directional light from above and in front, a point light in
// front of the glass centre, the ambient 0x45.
Rgb Light(const D3DVECTOR& p, const D3DVECTOR& n, const D3DMATERIAL8& m, const Camera& cam, const Lights& lights,
          Rgb* specularOut) {
  const float ambientRS = 0x45 / 255.0f;
  D3DVECTOR dir = MakeVector(0, -1, 1);
  VecNormalize(dir, dir);
  const D3DVECTOR toLight1 = {-dir.x, -dir.y, -dir.z};
  float ambient = ambientRS + 0.05f;
  float diffuse = 0.4f * std::max(0.0f, VecDot(n, toLight1));
  D3DVECTOR toEye;
  VecSubtract(cam.Eye, p, toEye);
  VecNormalize(toEye, toEye);
  auto specularOf = [&](const D3DVECTOR& l) {
    D3DVECTOR h = {toEye.x + l.x, toEye.y + l.y, toEye.z + l.z};
    VecNormalize(h, h);
    return VecDot(n, l) > 0 ? std::pow(std::max(0.0f, VecDot(n, h)), m.Power) : 0.0f;
  };
  float specular = 0.3f * specularOf(toLight1);
  if (lights.PointOn) {
    const D3DVECTOR lp = MakeVector(5.5f, 10.5f, -2.0f);
    D3DVECTOR l;
    VecSubtract(lp, p, l);
    const float d = VecLength(l);
    if (d <= 10.0f) {
      VecDivide(l, l, d);
      const float att = 1.0f / (1.0f + 0.5f * d);
      ambient += 0.6f * att;
      diffuse += 0.3f * att * std::max(0.0f, VecDot(n, l));
      specular += 1.0f * att * specularOf(l);
    }
  }
  if (specularOut) {
    const float s = lights.Specular ? specular : 0.0f;
    *specularOut = {m.Specular.r * s, m.Specular.g * s, m.Specular.b * s};
  }
  return {m.Ambient.r * ambient + m.Diffuse.r * diffuse, m.Ambient.g * ambient + m.Diffuse.g * diffuse,
          m.Ambient.b * ambient + m.Diffuse.b * diffuse};
}

struct DrawVertex {
  float X, Y, Z;  // screen x, y; depth 0..1
  Rgb Colour, Specular;
  float U, V;
};

void Rasterise(Canvas& img, const DrawVertex (&v)[3], const Texture* tex, bool additive) {
  const float area = (v[1].X - v[0].X) * (v[2].Y - v[0].Y) - (v[2].X - v[0].X) * (v[1].Y - v[0].Y);
  if (area <= 0) return;  // counter-clockwise on screen: culled
  const int x0 = std::max(0, int(std::floor(std::min({v[0].X, v[1].X, v[2].X}))));
  const int x1 = std::min(img.Width - 1, int(std::ceil(std::max({v[0].X, v[1].X, v[2].X}))));
  const int y0 = std::max(0, int(std::floor(std::min({v[0].Y, v[1].Y, v[2].Y}))));
  const int y1 = std::min(img.Height - 1, int(std::ceil(std::max({v[0].Y, v[1].Y, v[2].Y}))));
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) {
      const float px = x + 0.5f, py = y + 0.5f;
      const float w0 = ((v[1].X - px) * (v[2].Y - py) - (v[2].X - px) * (v[1].Y - py)) / area;
      const float w1 = ((v[2].X - px) * (v[0].Y - py) - (v[0].X - px) * (v[2].Y - py)) / area;
      const float w2 = 1 - w0 - w1;
      if (w0 < 0 || w1 < 0 || w2 < 0) continue;
      const float z = w0 * v[0].Z + w1 * v[1].Z + w2 * v[2].Z;
      float& depth = img.Depth[size_t(y) * img.Width + x];
      if (z > depth) continue;
      depth = z;
      auto mix = [&](float a, float b, float c) { return w0 * a + w1 * b + w2 * c; };
      Rgb c{mix(v[0].Colour.r, v[1].Colour.r, v[2].Colour.r), mix(v[0].Colour.g, v[1].Colour.g, v[2].Colour.g),
            mix(v[0].Colour.b, v[1].Colour.b, v[2].Colour.b)};
      c = {std::min(c.r, 1.0f), std::min(c.g, 1.0f), std::min(c.b, 1.0f)};
      if (tex && tex->Width > 0) {
        const Rgb t = tex->Sample(mix(v[0].U, v[1].U, v[2].U), mix(v[0].V, v[1].V, v[2].V));
        c = {c.r * t.r, c.g * t.g, c.b * t.b};
      }
      c.r += mix(v[0].Specular.r, v[1].Specular.r, v[2].Specular.r);
      c.g += mix(v[0].Specular.g, v[1].Specular.g, v[2].Specular.g);
      c.b += mix(v[0].Specular.b, v[1].Specular.b, v[2].Specular.b);
      Rgb& out = img.Pixels[size_t(y) * img.Width + x];
      if (additive)
        out = {out.r + c.r, out.g + c.g, out.b + c.b};
      else
        out = c;
    }
}

DrawVertex Project(const Canvas& img, const Camera& cam, const D3DVECTOR& world) {
  const D3DVECTOR viewPos = Transform(world, cam.View);
  const D3DMATRIX& p = cam.Projection;
  const float cx = viewPos.x * p.m[0][0], cy = viewPos.y * p.m[1][1];
  const float cz = viewPos.z * p.m[2][2] + p.m[3][2], cw = viewPos.z;
  DrawVertex d{};
  d.X = (cx / cw + 1) * 0.5f * img.Width;
  d.Y = (1 - cy / cw) * 0.5f * img.Height;
  d.Z = cz / cw;
  return d;
}

struct Scene {
  const ModelSet& Models;
  Canvas& Img;
  Camera Cam;
  Lights Light;
};

void DrawModel(Scene& s, int model, const D3DMATRIX& world, const Texture* tex, bool additive) {
  const TModelInfo& info = s.Models.ModelTable[size_t(model)];
  D3DMATERIAL8 sceneMaterial;
  InitMaterial(sceneMaterial, 1, 1, 1, 0);
  sceneMaterial.Specular = sceneMaterial.Diffuse;
  sceneMaterial.Power = 60;
  for (const DrawRun& run : info.Runs) {
    const D3DMATERIAL8& material =
        info.Textured ? sceneMaterial
                      : (run.MaterialIndex < 0 ? info.Material : info.Materials[size_t(run.MaterialIndex)]);
    for (int t = 0; t < run.TriangleCount; ++t) {
      DrawVertex dv[3];
      for (int c = 0; c < 3; ++c) {
        const size_t index = size_t(run.FirstVertex + 3 * t + c);
        D3DVECTOR p, n;
        float u = 0, v = 0;
        if (info.Textured) {
          const TexMeshVertex& tv = s.Models.TexturedVertices[index];
          p = {tv.X, tv.Y, tv.Z};
          n = {tv.NX, tv.NY, tv.NZ};
          u = tv.U;
          v = tv.V;
        } else {
          const MeshVertex& mv = s.Models.PlainVertices[index];
          p = {mv.X, mv.Y, mv.Z};
          n = {mv.NX, mv.NY, mv.NZ};
        }
        const D3DVECTOR wp = Transform(p, world);
        const D3DVECTOR wn = TransformNormal(n, world);
        Rgb specular;
        const Rgb colour = Light(wp, wn, material, s.Cam, s.Light, &specular);
        dv[c] = Project(s.Img, s.Cam, wp);
        dv[c].Colour = colour;
        dv[c].Specular = specular;
        dv[c].U = u;
        dv[c].V = v;
      }
      Rasterise(s.Img, dv, info.Textured ? tex : nullptr, additive);
    }
  }
}

void Mark(Scene& s, D3DVECTOR world, Rgb colour) {
  const DrawVertex d = Project(s.Img, s.Cam, world);
  for (int k = -4; k <= 4; ++k)
    for (auto [x, y] : {std::pair{int(d.X) + k, int(d.Y)}, std::pair{int(d.X), int(d.Y) + k}})
      if (x >= 0 && y >= 0 && x < s.Img.Width && y < s.Img.Height) s.Img.Pixels[size_t(y) * s.Img.Width + x] = colour;
}

void Line(Scene& s, D3DVECTOR a, D3DVECTOR b, Rgb colour) {
  const DrawVertex p = Project(s.Img, s.Cam, a), q = Project(s.Img, s.Cam, b);
  const int steps = int(std::max(std::abs(q.X - p.X), std::abs(q.Y - p.Y))) + 1;
  for (int i = 0; i <= steps; ++i) {
    const int x = int(p.X + (q.X - p.X) * i / steps), y = int(p.Y + (q.Y - p.Y) * i / steps);
    if (x >= 0 && y >= 0 && x < s.Img.Width && y < s.Img.Height) s.Img.Pixels[size_t(y) * s.Img.Width + x] = colour;
  }
}

D3DMATRIX Translation(float x, float y, float z) {
  D3DMATRIX m;
  MatTranslation(m, x, y, z);
  return m;
}

D3DMATRIX Then(const D3DMATRIX& first, const D3DMATRIX& second) {
  D3DMATRIX out;
  MatMultiply(second, first, out);
  return out;
}

D3DMATRIX GlassFrameMatrix() {
  D3DMATRIX s;
  MatScaling(s, 1.03f, 0.98f, 1);
  D3DMATRIX m = Then(s, Translation(5.5f, 10.5f, 0));
  m.m[3][2] -= 0.3f;
  return m;
}

D3DMATRIX BombMatrix(float x, float y) {
  D3DMATRIX rz, rx, sc;
  MatRotationZ(rz, 1.2566371f);
  MatRotationX(rx, -1.5707964f);
  MatScaling(sc, 0.058343057f, 0.0575374f, 0.0362713f);
  D3DMATRIX m = Then(Then(rz, rx), sc);
  m.m[3][0] = x;
  m.m[3][1] = y;
  m.m[3][2] = 0;
  return m;
}

constexpr Rgb kTints[] = {{1, 1, 1},         {1, 0, 0},    {0, 1, 0},          {0, 0, 1},          {1, 1, 0},
                          {1, 0, 1},         {0, 1, 1},    {0.6f, 0.6f, 0.6f}, {0.6f, 0.3f, 0.6f}, {0.5f, 1, 0},
                          {0.5f, 0, 1},      {1, 0.5f, 0}, {1, 0, 0.5f},       {0.8f, 0.8f, 0.8f}, {0, 0, 0.7f},
                          {0, 0.7f, 0},      {0.7f, 0, 0}, {0.5f, 0.7f, 0.9f}, {0.9f, 0.5f, 0.7f}, {0.7f, 0.9f, 0.5f},
                          {0.2f, 0.2f, 0.2f}};

void GameView(const ModelSet& models, const std::vector<Texture>& textures, int frameModel, int brickModel,
              const std::string& file) {
  Canvas img(800, 600);
  img.Background({0.10f, 0.08f, 0.22f}, {0.02f, 0.05f, 0.12f});
  Scene s{models, img, MakeCamera(MakeVector(5.5f, 10.5f, -19), MakeVector(5.5f, 10.5f, 0)), {}};
  s.Light.Specular = true;
  // The bomb falling as the current figure at column 4, row 15, and waiting in the preview.
  DrawModel(s, kBombModel, BombMatrix(4 + 1.5f, 15 - 1.03f), nullptr, false);
  DrawModel(s, kBombModel, BombMatrix(-4.6f, 16.1f), nullptr, false);
  s.Light.PointOn = false;
  DrawModel(s, frameModel, GlassFrameMatrix(), nullptr, true);
  s.Light.PointOn = true;
  // A heap of bricks in the glass.
  const int heights[10] = {6, 5, 7, 4, 3, 5, 8, 6, 7, 9};
  for (int c = 1; c <= 10; ++c)
    for (int r = 1; r <= heights[c - 1]; ++r)
      if ((c * 7 + r * 3) % 11 != 0)
        DrawModel(s, brickModel, Translation(float(c), float(r), 0),
                  &textures[size_t((c * 5 + r * 3) % textures.size())], false);
  Mark(s, MakeVector(4 + 1.55f, 15 + 0.7f, 0), {1, 0.2f, 1});  // where the fuse sparks start
  img.Save(file);
}

void BrickSheet(const ModelSet& models, const std::vector<Texture>& textures, const std::string& file) {
  Canvas img(900, 600);
  img.Background({0.18f, 0.18f, 0.24f}, {0.05f, 0.05f, 0.09f});
  // Three rows, low to high detail, three tints each, near the point light as in the glass.
  Scene s{
      models, img, MakeCamera(MakeVector(5.5f, 10.5f, -7.0f), MakeVector(5.5f, 10.5f, 0), 0.6f, 600.0f / 900.0f), {}};
  s.Light.Specular = true;
  D3DMATRIX ry, rx;
  MatRotationY(ry, -0.5f);
  MatRotationX(rx, -0.4f);
  for (int quality = 0; quality < 3; ++quality)
    for (int k = 0; k < 3; ++k) {
      const float x = 5.5f + (k - 1) * 1.6f, y = 10.5f + (1 - quality) * 1.35f;
      const D3DMATRIX world = Then(Then(ry, rx), Translation(x, y, 0));
      DrawModel(s, quality, world, &textures[size_t(1 + k * 5 + quality)], false);
    }
  img.Save(file);
}

void BombSheet(const ModelSet& models, const std::string& file) {
  Canvas img(500, 500);
  img.Background({0.12f, 0.12f, 0.2f}, {0.04f, 0.04f, 0.08f});
  // The bomb as current figure at (4, 15); the figure's cells (1..2, 1..2) outlined.
  Scene s{models, img, MakeCamera(MakeVector(5.5f, 14.0f, -9), MakeVector(5.5f, 14.0f, 0), 0.6f, 1.0f), {}};
  DrawModel(s, kBombModel, BombMatrix(5.5f, 13.97f), nullptr, false);
  const Rgb grid{0.3f, 0.9f, 0.3f};
  for (float x = 4.5f; x <= 6.51f; x += 1) Line(s, MakeVector(x, 12.5f, -0.7f), MakeVector(x, 14.5f, -0.7f), grid);
  for (float y = 12.5f; y <= 14.51f; y += 1) Line(s, MakeVector(4.5f, y, -0.7f), MakeVector(6.5f, y, -0.7f), grid);
  Mark(s, MakeVector(4 + 1.55f, 15 + 0.7f, -0.7f), {1, 0.2f, 1});
  img.Save(file);
}

void FrameCorner(const ModelSet& models, const std::vector<Texture>& textures, int frameModel,
                 const std::string& file) {
  Canvas img(600, 450);
  img.Background({0.10f, 0.08f, 0.22f}, {0.02f, 0.05f, 0.12f});
  Scene s{models, img, MakeCamera(MakeVector(3.0f, 4.5f, -8), MakeVector(1.8f, 2.2f, 0)), {}};
  s.Light.Specular = true;
  s.Light.PointOn = false;
  DrawModel(s, frameModel, GlassFrameMatrix(), nullptr, true);
  s.Light.PointOn = true;
  for (int c = 1; c <= 4; ++c)
    for (int r = 1; r <= 5 - c; ++r)
      DrawModel(s, 2, Translation(float(c), float(r), 0), &textures[size_t(c + r)], false);
  img.Save(file);
}

}  // namespace
}  // namespace zt

int main(int argc, char** argv) {
  using namespace zt;
  const std::filesystem::path game = argc > 1 ? argv[1] : "game";
  const std::string out = argc > 2 ? argv[2] : "/tmp/mesh-previews";
  std::filesystem::create_directories(out);
  DebugLog log;
  log.Path = out + "/debug.txt";
  ResetLog(log);
  ModelSet models;
  InitModels(models, log, game);
  std::vector<Texture> textures;
  for (const Rgb& tint : kTints) textures.push_back(BrickTexture((game / "data/models/brick.bmp").string(), tint));
  BrickSheet(models, textures, out + "/bricks.png");
  BombSheet(models, out + "/bomb.png");
  GameView(models, textures, kGlassFrameAModel, 1, out + "/game_a.png");
  GameView(models, textures, kGlassFrameBModel, 2, out + "/game_b.png");
  FrameCorner(models, textures, kGlassFrameAModel, out + "/frame_a_corner.png");
  FrameCorner(models, textures, kGlassFrameBModel, out + "/frame_b_corner.png");
  return 0;
}
