// UTF-16 <-> UTF-8 conversions for the edges of the system, the same on every platform.
#include "platform/text.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace platform {

namespace {

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

void AppendUtf16(std::u16string& out, char32_t c) {
  if (c < 0x10000) {
    out += static_cast<char16_t>(c);
    return;
  }
  c -= 0x10000;
  out += static_cast<char16_t>(0xD800 + (c >> 10));
  out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
}

constexpr char32_t kReplacement = 0xFFFD;

std::size_t SequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

// The length of the well-formed sequence at `p` (continuation bytes, no overlong forms, no
// surrogates, nothing beyond U+10FFFF), or 0.
std::size_t WellFormedAt(const unsigned char* p, std::size_t available) {
  const std::size_t length = SequenceLength(p[0]);
  if (length == 0 || length > available) return 0;
  for (std::size_t i = 1; i < length; ++i)
    if ((p[i] & 0xC0) != 0x80) return 0;
  if (length == 3 && ((p[0] == 0xE0 && p[1] < 0xA0) || (p[0] == 0xED && p[1] >= 0xA0))) return 0;
  if (length == 4 && ((p[0] == 0xF0 && p[1] < 0x90) || (p[0] == 0xF4 && p[1] >= 0x90))) return 0;
  return length;
}

char32_t Decode(const unsigned char* p, std::size_t length) {
  char32_t c = length == 1 ? p[0] : p[0] & (0xFF >> (length + 1));
  for (std::size_t k = 1; k < length; ++k) c = (c << 6) | (p[k] & 0x3F);
  return c;
}

}  // namespace

std::string ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = kReplacement;  // an unpaired surrogate
    }
    AppendUtf8(out, c);
  }
  return out;
}

std::u16string FromUtf8(std::string_view text) {
  const auto* data = reinterpret_cast<const unsigned char*>(text.data());
  // A leading ASCII run, in practice most or all of the text, is widened without decoding.
  auto i = static_cast<std::size_t>(
      std::find_if(data, data + text.size(), [](unsigned char c) { return c >= 0x80; }) - data);
  std::u16string out(data, data + i);
  if (i == text.size()) return out;
  out.reserve(text.size());
  while (i < text.size()) {
    const std::size_t length = WellFormedAt(data + i, text.size() - i);
    if (length == 0) {
      out += static_cast<char16_t>(kReplacement);
      ++i;
      continue;
    }
    AppendUtf16(out, Decode(data + i, length));
    i += length;
  }
  return out;
}

std::size_t FirstInvalidUtf8(std::string_view text) {
  const auto* data = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t size = text.size();
  std::size_t i = 0;
  while (i < size) {
    // Runs of ASCII are skipped 32 bytes at a time: BPMN files are large and mostly ASCII.
    if (i + 32 <= size) {
      std::uint64_t chunk[4];
      std::memcpy(chunk, data + i, sizeof chunk);
      if (((chunk[0] | chunk[1] | chunk[2] | chunk[3]) & 0x8080808080808080ULL) == 0) {
        i += 32;
        continue;
      }
    }
    const std::size_t length = WellFormedAt(data + i, size - i);
    if (length == 0) return i;
    i += length;
  }
  return std::string_view::npos;
}

std::string Latin1ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  for (const char c : text) AppendUtf8(out, static_cast<unsigned char>(c));
  return out;
}

}  // namespace platform
