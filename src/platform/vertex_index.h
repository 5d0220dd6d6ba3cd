// The distinct vertices of a vertex buffer and, for each vertex of the buffer, the index of
// its copy among them, so that a draw of any range of the buffer's vertices is a draw of the
// same range of indices. Two vertices are the same when the bytes a draw reads of them are.
#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

namespace zt {

// What an update changed: the indices [FirstIndex, EndIndex) and the distinct vertices from
// FirstVertex on (those before it are as they were).
struct IndexChange {
  uint32_t FirstIndex = 0, EndIndex = 0;
  uint32_t FirstVertex = 0;
};

class VertexIndex {
 public:
  // Indexes the buffer's `size` bytes as vertices `stride` apart, of which a draw reads the
  // first `vertexBytes`: the vertices that overlap the bytes [changedBegin, changedEnd) and
  // those past the ones indexed before. Another stride or vertex size indexes all anew.
  IndexChange Update(const uint8_t* bytes, uint32_t size, uint32_t changedBegin, uint32_t changedEnd, uint32_t stride,
                     uint32_t vertexBytes);

  uint32_t Stride() const { return stride_; }
  uint32_t VertexBytes() const { return vertexBytes_; }
  const std::vector<uint8_t>& Vertices() const { return vertices_; }  // the distinct ones, `stride` apart
  uint32_t VertexCount() const { return vertexCount_; }
  const std::vector<uint32_t>& Indices() const { return indices_; }  // one a vertex of the buffer

 private:
  uint32_t IndexOf(const uint8_t* vertex);
  void IndexRange(const uint8_t* bytes, uint32_t first, uint32_t end);

  uint32_t stride_ = 0, vertexBytes_ = 0;
  std::vector<uint8_t> vertices_;
  uint32_t vertexCount_ = 0;
  std::vector<uint32_t> indices_;
  std::unordered_multimap<uint64_t, uint32_t> byHash_;  // distinct vertices by the hash of their bytes
};

}  // namespace zt
