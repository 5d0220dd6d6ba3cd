#include "platform/vertex_index.h"

#include <algorithm>
#include <cstring>

namespace zt {

namespace {

uint64_t HashOf(const uint8_t* bytes, uint32_t size) {  // FNV-1a
  uint64_t hash = 14695981039346656037ull;
  for (uint32_t i = 0; i < size; ++i) hash = (hash ^ bytes[i]) * 1099511628211ull;
  return hash;
}

}  // namespace

IndexChange VertexIndex::Update(const uint8_t* bytes, uint32_t size, uint32_t changedBegin, uint32_t changedEnd,
                                uint32_t stride, uint32_t vertexBytes) {
  if (stride != stride_ || vertexBytes != vertexBytes_) {
    *this = VertexIndex();
    stride_ = stride;
    vertexBytes_ = vertexBytes;
    changedBegin = changedEnd = 0;
  }
  IndexChange change;
  change.FirstVertex = vertexCount_;
  if (stride == 0 || vertexBytes == 0 || vertexBytes > stride) return change;
  const auto indexedBefore = static_cast<uint32_t>(indices_.size());
  const uint32_t count = size >= vertexBytes ? (size - vertexBytes) / stride + 1 : 0;
  indices_.resize(std::max(count, indexedBefore));
  const uint32_t changedFirst = std::min(changedBegin / stride, indexedBefore);
  const uint32_t changedLast = changedEnd > changedBegin ? std::min((changedEnd - 1) / stride + 1, indexedBefore) : 0;
  IndexRange(bytes, changedFirst, changedLast);
  IndexRange(bytes, indexedBefore, count);
  const bool changed = changedLast > changedFirst;
  change.FirstIndex = changed ? changedFirst : indexedBefore;
  change.EndIndex = std::max(count, changed ? changedLast : change.FirstIndex);
  return change;
}

void VertexIndex::IndexRange(const uint8_t* bytes, uint32_t first, uint32_t end) {
  for (uint32_t i = first; i < end; ++i) indices_[i] = IndexOf(bytes + size_t{i} * stride_);
}

uint32_t VertexIndex::IndexOf(const uint8_t* vertex) {
  const uint64_t hash = HashOf(vertex, vertexBytes_);
  const auto [begin, end] = byHash_.equal_range(hash);
  for (auto it = begin; it != end; ++it)
    if (std::memcmp(vertices_.data() + size_t{it->second} * stride_, vertex, vertexBytes_) == 0) return it->second;
  vertices_.resize(vertices_.size() + stride_);
  std::memcpy(vertices_.data() + size_t{vertexCount_} * stride_, vertex, vertexBytes_);
  byHash_.emplace(hash, vertexCount_);
  return vertexCount_++;
}

}  // namespace zt
