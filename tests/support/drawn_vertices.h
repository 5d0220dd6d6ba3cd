// The vertices a recorded draw of the 0x142 quads (glyphs, particles) handed to the device.
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

}  // namespace zt::testing
