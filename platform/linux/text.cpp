// The ANSI code page of this platform: Latin-1, one byte per character.
#include "platform/text.h"

namespace platform {

std::string ToAnsi(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char16_t c : text) out += c < 0x100 ? static_cast<char>(c) : '?';
  return out;
}

std::u16string FromAnsi(std::string_view bytes) {
  std::u16string out;
  out.reserve(bytes.size());
  for (char b : bytes) out += static_cast<char16_t>(static_cast<unsigned char>(b));
  return out;
}

}  // namespace platform
