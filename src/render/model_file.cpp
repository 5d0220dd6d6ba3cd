#include "render/model_file.h"

#include <charconv>
#include <sstream>
#include <system_error>

#include "core/load_error.h"
#include "core/text_file.h"

namespace zt {

namespace {

using Corners = std::array<int32_t, 3>;

constexpr int32_t kMaxMaterials = 65536;  // a larger MaterialList count keeps this many

// The model file as lines, read the way the format is written: keyword lines whole,
// numbers one by one across blanks, tabs and line ends, the rest of a data line skipped.
class ModelReader {
 public:
  ModelReader(std::string path, const std::string& text) : path_(std::move(path)) {
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines_.push_back(std::move(line));
    }
  }

  bool AtEnd() const { return line_ >= lines_.size(); }
  int LineNumber() const { return static_cast<int>(line_) + 1; }

  // The rest of the current line; the reader moves to the next line.
  std::string ReadLine() {
    if (AtEnd()) return {};
    std::string rest = lines_[line_].substr(std::min(column_, lines_[line_].size()));
    SkipLine();
    return rest;
  }

  void SkipLine() {
    if (!AtEnd()) ++line_;
    column_ = 0;
  }

  int32_t ReadInteger() {
    const std::string token = NextToken();
    return Parse<int32_t>(token, "a whole number");
  }

  float ReadReal() {
    const std::string token = NextToken();
    for (const char c : token)
      if (!((c >= '0' && c <= '9') || c == '.' || c == '+' || c == '-' || c == 'e' || c == 'E'))
        Fail("\"" + token + "\" is not a number");
    return Parse<float>(token, "a number");
  }

  // A count: not negative. Rows are read one by one, so a count larger than the file
  // never allocates more than the file holds.
  int32_t ReadCount() {
    const int32_t count = ReadInteger();
    if (count < 0) Fail("a count is negative");
    return count;
  }

  [[noreturn]] void Fail(const std::string& problem) const {
    throw LoadError(path_, problem, AtEnd() ? 0 : LineNumber());
  }

 private:
  std::string NextToken() {
    for (;;) {
      if (AtEnd()) throw LoadError(path_, "the file ends before a number");
      const std::string& text = lines_[line_];
      while (column_ < text.size() && (text[column_] == ' ' || text[column_] == '\t')) ++column_;
      if (column_ < text.size()) break;
      SkipLine();
    }
    const std::string& text = lines_[line_];
    const size_t start = column_;
    while (column_ < text.size() && text[column_] != ' ' && text[column_] != '\t') ++column_;
    return text.substr(start, column_ - start);
  }

  // The whole token as a number, a leading '+' allowed; otherwise the loading fails.
  template <typename Number>
  Number Parse(const std::string& token, const char* what) const {
    const char* first = token.data() + (token[0] == '+' ? 1 : 0);
    const char* last = token.data() + token.size();
    Number value = 0;
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last) Fail("\"" + token + "\" is not " + what);
    return value;
  }

  std::string path_;
  std::vector<std::string> lines_;
  size_t line_ = 0;
  size_t column_ = 0;
};

// A mesh that the game cannot draw safely: logged, then the loading fails.
[[noreturn]] void Reject(const DebugLog& log, const std::string& path, const std::string& problem) {
  WriteLog(log, path + " rejected: " + problem);
  throw LoadError(path, problem);
}

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  const size_t last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

// The parsed file before normals and buffers.
struct ParsedModel {
  TModelInfo Info;
  std::vector<D3DVECTOR> Positions;
  std::vector<Corners> Triangles;
  std::vector<Corners> TriangleTex;
  std::vector<std::array<float, 2>> TexCoords;
};

ParsedModel ParseModel(const std::string& path, const std::string& text, const DebugLog& log) {
  ModelReader reader(path, text);
  ParsedModel model;
  TModelInfo& info = model.Info;
  int32_t listCount = 0;  // the last "MaterialList" count; 0 before any
  int32_t materialSections = 0;
  while (!reader.AtEnd()) {
    const std::string keyword = reader.ReadLine();
    if (keyword.empty()) continue;
    if (keyword == "Vertices") {
      const int32_t count = reader.ReadCount();
      reader.SkipLine();
      model.Positions.clear();
      for (int32_t i = 0; i < count; ++i) {
        D3DVECTOR p;
        p.x = reader.ReadReal();
        p.y = reader.ReadReal();
        p.z = reader.ReadReal();
        reader.SkipLine();
        model.Positions.push_back(p);
      }
    } else if (keyword == "Triangles" || keyword == "TrianglesTex") {
      std::vector<Corners>& rows = keyword == "Triangles" ? model.Triangles : model.TriangleTex;
      const int32_t count = reader.ReadCount();
      reader.SkipLine();
      rows.clear();
      for (int32_t i = 0; i < count; ++i) {
        Corners corners;
        for (int32_t& corner : corners) corner = reader.ReadInteger();
        reader.SkipLine();
        rows.push_back(corners);
      }
    } else if (keyword == "Texture") {
      const int32_t count = reader.ReadCount();
      reader.SkipLine();
      model.TexCoords.clear();
      for (int32_t i = 0; i < count; ++i) {
        const float u = reader.ReadReal();
        const float v = reader.ReadReal();
        reader.SkipLine();
        model.TexCoords.push_back({u, v});
      }
      info.Textured = true;
    } else if (keyword == "MaterialList") {
      listCount = reader.ReadCount();
      reader.SkipLine();
      info.Materials.resize(static_cast<size_t>(std::min(listCount, kMaxMaterials)));
      if (listCount < 2) {
        info.SingleMaterial = true;
      } else {
        const int32_t faces = reader.ReadCount();
        reader.SkipLine();
        info.FaceMaterials.clear();
        for (int32_t i = 0; i < faces; ++i) {
          info.FaceMaterials.push_back(reader.ReadInteger());
          reader.SkipLine();
        }
        info.SingleMaterial = false;
      }
      info.Textured = false;
    } else if (keyword == "Material") {
      D3DCOLORVALUE c;
      c.r = reader.ReadReal();
      c.g = reader.ReadReal();
      c.b = reader.ReadReal();
      c.a = reader.ReadReal();
      for (int i = 0; i < 4; ++i) reader.SkipLine();  // the colour line, then three unread lines
      D3DMATERIAL8 material;
      InitMaterial(material, c.r, c.g, c.b, c.a);
      const int32_t k = materialSections++;
      if (listCount < 2) {
        info.Material = material;
      } else {
        if (k >= static_cast<int32_t>(info.Materials.size()))
          Reject(log, path, "more Material sections than its MaterialList holds");
        info.Materials[static_cast<size_t>(k)] = material;
      }
    } else if (keyword == "TextureFileName") {
      if (reader.AtEnd()) reader.Fail("the texture file name is missing");
      info.TextureName = Trimmed(reader.ReadLine());
      if (info.TextureName != kBrickTextureName) info.TextureFile = LoadModelTexture(info.TextureName);
    } else {
      WriteLog(log, "Error of loading model");
      continue;
    }
    WriteLog(log, path + " " + keyword + " done");
  }
  return model;
}

// An index a row of the mesh names must lie in 0..count-1.
void RequireIndex(const DebugLog& log, const std::string& path, const std::string& row, size_t rowIndex,
                  const std::string& what, int32_t index, int32_t count) {
  if (index < 0 || index >= count)
    Reject(log, path,
           row + " " + std::to_string(rowIndex) + " names " + what + " " + std::to_string(index) + " of " +
               std::to_string(count));
}

// Everything the drawing would otherwise read outside an array.
void CheckConsistency(const ParsedModel& model, const std::string& path, const DebugLog& log) {
  const TModelInfo& info = model.Info;
  const auto vertexCount = static_cast<int32_t>(model.Positions.size());
  for (size_t t = 0; t < model.Triangles.size(); ++t)
    for (const int32_t v : model.Triangles[t]) RequireIndex(log, path, "triangle", t, "vertex", v, vertexCount);
  if (info.Textured) {
    if (model.TriangleTex.size() < model.Triangles.size())
      Reject(log, path, "TrianglesTex has fewer rows than Triangles");
    const auto coordCount = static_cast<int32_t>(model.TexCoords.size());
    for (size_t t = 0; t < model.Triangles.size(); ++t)
      for (const int32_t c : model.TriangleTex[t])
        RequireIndex(log, path, "triangle", t, "texture coordinate", c, coordCount);
    return;
  }
  if (info.SingleMaterial) return;
  if (info.Materials.empty()) Reject(log, path, "a model without texture needs a MaterialList");
  if (info.FaceMaterials.size() < model.Triangles.size())
    Reject(log, path, "the MaterialList face list is shorter than Triangles");
  const auto materialCount = static_cast<int32_t>(info.Materials.size());
  for (size_t t = 0; t < info.FaceMaterials.size(); ++t)
    RequireIndex(log, path, "face", t, "material", info.FaceMaterials[t], materialCount);
}

std::vector<D3DVECTOR> FaceNormals(const ParsedModel& model) {
  std::vector<D3DVECTOR> normals;
  normals.reserve(model.Triangles.size());
  for (const Corners& t : model.Triangles) {
    const D3DVECTOR& p = model.Positions[static_cast<size_t>(t[0])];
    const D3DVECTOR& q = model.Positions[static_cast<size_t>(t[1])];
    const D3DVECTOR& r = model.Positions[static_cast<size_t>(t[2])];
    D3DVECTOR a, b, n;
    VecSubtract(p, q, a);
    VecSubtract(q, r, b);
    VecCross(a, b, n);
    float length = VecLength(n);
    if (length == 0) length = 1;
    VecDivide(n, n, length);
    normals.push_back(n);
  }
  return normals;
}

// Each vertex: the normalised sum of the face normals of the triangles that use it,
// a triangle counted once however many of its corners are the vertex. Summed in one
// pass in triangle order, which adds the same terms in the same order as summing per
// vertex over all triangles would.
std::vector<D3DVECTOR> SmoothNormals(const ParsedModel& model, const std::vector<D3DVECTOR>& faceNormals) {
  std::vector<D3DVECTOR> sums(model.Positions.size());
  for (size_t t = 0; t < model.Triangles.size(); ++t) {
    const Corners& c = model.Triangles[t];
    const D3DVECTOR& n = faceNormals[t];
    auto add = [&](int32_t v) {
      D3DVECTOR& s = sums[static_cast<size_t>(v)];
      s = {s.x + n.x, s.y + n.y, s.z + n.z};
    };
    add(c[0]);
    if (c[1] != c[0]) add(c[1]);
    if (c[2] != c[0] && c[2] != c[1]) add(c[2]);
  }
  for (D3DVECTOR& s : sums) {
    const float length = VecLength(s);
    if (length != 0) VecDivide(s, s, length);
  }
  return sums;
}

std::vector<DrawRun> MakeRuns(const TModelInfo& info) {
  std::vector<DrawRun> runs;
  if (info.TriangleCount == 0) return runs;
  if (info.Textured || info.SingleMaterial) {
    runs.push_back({-1, info.FirstVertex, info.TriangleCount});
    return runs;
  }
  int32_t first = 0;
  while (first < info.TriangleCount) {
    const int32_t material = info.FaceMaterials[static_cast<size_t>(first)];
    int32_t end = first + 1;
    while (end < info.TriangleCount && info.FaceMaterials[static_cast<size_t>(end)] == material) ++end;
    runs.push_back({material, info.FirstVertex + 3 * first, end - first});
    first = end;
  }
  return runs;
}

}  // namespace

std::string LoadModelTexture(const std::string& name) {
  if (name == kBrickTextureName) return {};
  return std::string(kModelTextureFolder) + name;
}

void LoadModel(ModelSet& models, const std::string& path, const DebugLog& log, const std::filesystem::path& gameDir) {
  const std::filesystem::path file = gameDir.empty() ? std::filesystem::path(path) : gameDir / path;
  LoadModelFromText(models, path, ReadWholeFile(file, path), log);
}

void LoadModelFromText(ModelSet& models, const std::string& path, const std::string& text, const DebugLog& log) {
  ParsedModel model = ParseModel(path, text, log);
  CheckConsistency(model, path, log);
  WriteLog(log, path + " model loads succesfuly");

  const std::vector<D3DVECTOR> faceNormals = FaceNormals(model);
  WriteLog(log, path + " normals calculate ok");
  const std::vector<D3DVECTOR> normals = SmoothNormals(model, faceNormals);
  WriteLog(log, path + " smooth normals calculate ok");

  TModelInfo& info = model.Info;
  const auto triangleCount = static_cast<int32_t>(model.Triangles.size());
  const int32_t used = info.Textured ? models.TexturedVertexCount() : models.PlainVertexCount();
  if (triangleCount > (kModelBufferVertices - used) / 3)
    Reject(log, path,
           "its " + std::to_string(triangleCount) + " triangles do not fit into the 300000 vertices of " +
               (info.Textured ? "TexMeshVB" : "MeshVB"));
  info.FirstVertex = used;
  WriteLog(log, path + " fill VB - lock ok");
  for (size_t t = 0; t < model.Triangles.size(); ++t)
    for (int corner = 0; corner < 3; ++corner) {
      const auto v = static_cast<size_t>(model.Triangles[t][static_cast<size_t>(corner)]);
      const D3DVECTOR& p = model.Positions[v];
      const D3DVECTOR& n = normals[v];
      if (info.Textured) {
        const auto& uv = model.TexCoords[static_cast<size_t>(model.TriangleTex[t][static_cast<size_t>(corner)])];
        models.TexturedVertices.push_back({p.x, p.y, p.z, n.x, n.y, n.z, 0xFFFFFFFFu, uv[0], uv[1]});
      } else {
        models.PlainVertices.push_back({p.x, p.y, p.z, n.x, n.y, n.z});
      }
    }
  WriteLog(log, path + " fill VB - done");
  info.TriangleCount = triangleCount;
  info.Runs = MakeRuns(info);
  WriteLog(log, path + " fill VB - unlock ok");

  models.ModelTable[models.NextModelIndex] = std::move(info);
  if (models.NextModelIndex < kModelCount - 1) ++models.NextModelIndex;
  WriteLog(log, path + " load done!");
}

void InitModels(ModelSet& models, const DebugLog& log, const std::filesystem::path& gameDir) {
  const std::filesystem::path listFile =
      gameDir.empty() ? std::filesystem::path(kModelListFile) : gameDir / kModelListFile;
  InitModelsFromList(models, ReadWholeFile(listFile, kModelListFile), log, gameDir);
}

void InitModelsFromList(ModelSet& models, const std::string& listText, const DebugLog& log,
                        const std::filesystem::path& gameDir) {
  std::istringstream list(listText);
  std::string line;
  int listed = 0;
  while (std::getline(list, line)) {
    const std::string path = Trimmed(line.empty() || line.back() != '\r' ? line : line.substr(0, line.size() - 1));
    if (path.empty()) continue;
    const int index = models.NextModelIndex;
    LoadModel(models, path, log, gameDir);
    if (index <= kBrickHighModel && !models.ModelTable[static_cast<size_t>(index)].Textured)
      Reject(log, path, "a brick mesh must be textured");
    WriteLog(log, path + " - done");
    ++listed;
  }
  if (listed < kModelCount)
    throw LoadError(kModelListFile, "lists " + std::to_string(listed) + " meshes; the game needs six");
}

}  // namespace zt
