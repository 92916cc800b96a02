// Conversions at the edges: UTF-16 host strings to and from UTF-8 (files, terminal) and to
// the platform's ANSI code page (Latin-1 here; characters beyond it become '?').
#pragma once

#include <string>
#include <string_view>

namespace platform {

std::string ToUtf8(std::u16string_view text);
// Invalid UTF-8 sequences become U+FFFD.
std::u16string FromUtf8(std::string_view text);
std::string ToAnsi(std::u16string_view text);
// One character per byte: the ANSI code page widened.
std::u16string FromAnsi(std::string_view bytes);

}  // namespace platform
