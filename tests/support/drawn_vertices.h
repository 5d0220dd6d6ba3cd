// The vertices a recorded draw of the 0x142 quads (glyphs, particles) handed to the device, and
// the buffer such a quad is written into.
#pragma once

#include <cstring>
#include <vector>

#include "device/recording_device.h"

namespace zt::testing {

using Vertex = TexColourVertex;

inline std::vector<Vertex> VerticesOf(const DrawRecord& draw) {
  std::vector<Vertex> vertices(draw.Vertices.size() / sizeof(Vertex));
  std::memcpy(vertices.data(), draw.Vertices.data(), vertices.size() * sizeof(Vertex));
  return vertices;
}

// A vertex buffer that holds one quad of these vertices, no more.
inline bool HoldsOneQuad(const VertexBuffer& buffer) {
  return buffer.Fvf() == kFvfTexColour && buffer.Length() == 4 * sizeof(Vertex);
}

}  // namespace zt::testing
