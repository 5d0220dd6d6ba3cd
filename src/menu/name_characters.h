// The characters a typed name keeps. The game's font and its high-score file hold ASCII
// only, so letters beyond it are written as their nearest ASCII letters, keeping their case
// (é → e, Ü → U, ß → ss, Œ → OE); every other character outside ASCII is dropped. ASCII
// characters, control characters included, pass as they are.
#pragma once

#include <string>
#include <string_view>

namespace zt {

// `text` is UTF-8 as the window system delivers it (or a replay file holds it); broken
// sequences are dropped.
std::string NameCharactersFromUtf8(std::string_view text);

}  // namespace zt
