// Conversions at the edges: UTF-16 host strings to and from UTF-8 (files, terminal) and to
// the platform's ANSI code page (Latin-1 on Linux, the system code page on Windows;
// characters beyond it become '?').
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

std::string ToUtf8(std::u16string_view text);
// Ill-formed UTF-8 sequences become U+FFFD.
std::u16string FromUtf8(std::string_view text);
// The offset of the first byte that does not begin a well-formed UTF-8 sequence (overlong
// forms, surrogates and values beyond U+10FFFF are ill-formed), or npos.
std::size_t FirstInvalidUtf8(std::string_view text);
// 8-bit Latin-1 text as UTF-8.
std::string Latin1ToUtf8(std::string_view text);
std::string ToAnsi(std::u16string_view text);
// One character per byte: the ANSI code page widened.
std::u16string FromAnsi(std::string_view bytes);

}  // namespace platform
