#include "platform/vertex_index.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace zt {
namespace {

constexpr uint32_t kStride = 8;

// Vertices of 8 bytes of which a draw reads the first 6: a number, its square, and two bytes
// nothing reads.
std::vector<uint8_t> Vertices(const std::vector<uint16_t>& numbers, uint8_t unread = 0) {
  std::vector<uint8_t> bytes;
  for (const uint16_t n : numbers) {
    const uint32_t square = uint32_t{n} * n;
    uint8_t vertex[kStride] = {};
    std::memcpy(vertex, &n, 2);
    std::memcpy(vertex + 2, &square, 4);
    vertex[6] = vertex[7] = unread++;
    bytes.insert(bytes.end(), vertex, vertex + kStride);
  }
  return bytes;
}

// Each vertex of the buffer reads, through its index, the bytes it has.
void ExpectIndexedAsWritten(const VertexIndex& index, const std::vector<uint8_t>& bytes, uint32_t vertexBytes) {
  ASSERT_EQ(index.Indices().size(), bytes.size() / kStride);
  for (size_t i = 0; i < index.Indices().size(); ++i) {
    ASSERT_LT(index.Indices()[i], index.VertexCount());
    EXPECT_EQ(std::memcmp(index.Vertices().data() + size_t{index.Indices()[i]} * kStride, bytes.data() + i * kStride,
                          vertexBytes),
              0)
        << "vertex " << i;
  }
}

TEST(VertexIndexTest, KeepsEachDistinctVertexOnceAndReindexesOnlyWhatChanged) {
  std::vector<uint8_t> bytes = Vertices({1, 2, 3, 3, 2, 4, 1, 2, 3});
  VertexIndex index;
  IndexChange change = index.Update(bytes.data(), static_cast<uint32_t>(bytes.size()), 0, 0, kStride, 6);
  ExpectIndexedAsWritten(index, bytes, 6);
  EXPECT_EQ(index.VertexCount(), 4u) << "the bytes nothing reads do not count";
  EXPECT_EQ(change.FirstIndex, 0u);
  EXPECT_EQ(change.EndIndex, 9u);
  EXPECT_EQ(change.FirstVertex, 0u);

  // Vertex 4 becomes a 5 and three vertices are added: only those are indexed again, the
  // distinct vertices known before stay where they were.
  const std::vector<uint8_t> five = Vertices({5});
  std::memcpy(bytes.data() + 4 * kStride, five.data(), kStride);
  const std::vector<uint8_t> more = Vertices({4, 6, 5});
  bytes.insert(bytes.end(), more.begin(), more.end());
  change =
      index.Update(bytes.data(), static_cast<uint32_t>(bytes.size()), 4 * kStride + 1, 4 * kStride + 3, kStride, 6);
  ExpectIndexedAsWritten(index, bytes, 6);
  EXPECT_EQ(index.VertexCount(), 6u);
  EXPECT_EQ(change.FirstIndex, 4u);
  EXPECT_EQ(change.EndIndex, 12u);
  EXPECT_EQ(change.FirstVertex, 4u);
  EXPECT_EQ(index.Indices()[0], index.Indices()[6]);
  EXPECT_EQ(index.Indices()[4], index.Indices()[11]);

  // Nothing written: nothing changes.
  change = index.Update(bytes.data(), static_cast<uint32_t>(bytes.size()), 0, 0, kStride, 6);
  EXPECT_EQ(change.FirstIndex, change.EndIndex);
  EXPECT_EQ(change.FirstVertex, 6u);
}

TEST(VertexIndexTest, AnotherVertexSizeIndexesAnewAndAShortTailIsNoVertex) {
  std::vector<uint8_t> bytes = Vertices({7, 7, 7});
  VertexIndex index;
  index.Update(bytes.data(), static_cast<uint32_t>(bytes.size()), 0, 0, kStride, 6);
  EXPECT_EQ(index.VertexCount(), 1u);
  // Read whole, the bytes 6 and 7 tell the vertices apart.
  const IndexChange change = index.Update(bytes.data(), static_cast<uint32_t>(bytes.size()), 0, 0, kStride, kStride);
  ExpectIndexedAsWritten(index, bytes, kStride);
  EXPECT_EQ(index.VertexCount(), 3u);
  EXPECT_EQ(change.FirstVertex, 0u);
  EXPECT_EQ(change.EndIndex, 3u);
  // The last vertex needs only the bytes a draw reads; fewer make no vertex.
  index.Update(bytes.data(), 2 * kStride + 6, 0, 0, kStride, 6);
  EXPECT_EQ(index.Indices().size(), 3u);
  VertexIndex shorter;
  shorter.Update(bytes.data(), 2 * kStride + 5, 0, 0, kStride, 6);
  EXPECT_EQ(shorter.Indices().size(), 2u);
}

}  // namespace
}  // namespace zt
