// Packing of a shape script into the form the technology document stores in an `Image`: the
// script as UTF-16LE text, deflated as the single member "str.dat" of a ZIP archive, written in
// base64 lines. Used by the document builder and by the tests that build damaged images.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace technology {

inline constexpr std::string_view kScriptMemberName = "str.dat";
inline constexpr std::size_t kBase64LineWidth = 72;
inline constexpr std::string_view kDocumentLineBreak = "\r\n";

// Fixed archive fields, so that every build writes the same bytes: version 2.0, no flags,
// 1 January 1980 00:00, no attributes.
inline constexpr std::uint16_t kZipVersion = 20;
inline constexpr std::uint16_t kZipDosTime = 0;
inline constexpr std::uint16_t kZipDosDate = (0 << 9) | (1 << 5) | 1;
inline constexpr std::uint16_t kZipMethodStored = 0;
inline constexpr std::uint16_t kZipMethodDeflated = 8;

// Widens 7-bit text to UTF-16LE, two bytes per character.
inline std::string Utf16Le(std::string_view text) {
  std::string out;
  out.reserve(text.size() * 2);
  for (char c : text) {
    if (static_cast<unsigned char>(c) > 0x7F) throw std::runtime_error("a shape script must be 7-bit text");
    out.push_back(c);
    out.push_back('\0');
  }
  return out;
}

// Raw deflate stream (no zlib header), best compression.
inline std::string RawDeflate(std::string_view data) {
  z_stream stream{};
  if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
    throw std::runtime_error("deflate could not start");
  }
  std::string out(deflateBound(&stream, data.size()), '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  stream.avail_in = static_cast<uInt>(data.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  const int result = deflate(&stream, Z_FINISH);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  if (result != Z_STREAM_END) throw std::runtime_error("deflate did not finish");
  return out;
}

inline std::uint32_t Crc32(std::string_view data) {
  return static_cast<std::uint32_t>(
      crc32(0L, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
}

inline void PutLe16(std::string& out, std::uint32_t value) {
  out.push_back(static_cast<char>(value & 0xFF));
  out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

inline void PutLe32(std::string& out, std::uint32_t value) {
  PutLe16(out, value & 0xFFFF);
  PutLe16(out, value >> 16);
}

struct ZipEntry {
  std::string name;
  std::string data;  // uncompressed
  std::uint16_t method = kZipMethodDeflated;
};

// The fields shared by a local header and a central-directory record, from "version needed" on.
inline void PutEntryFields(std::string& out, const ZipEntry& entry, std::uint32_t crc,
                           std::size_t packed_size) {
  PutLe16(out, kZipVersion);
  PutLe16(out, 0);  // flags
  PutLe16(out, entry.method);
  PutLe16(out, kZipDosTime);
  PutLe16(out, kZipDosDate);
  PutLe32(out, crc);
  PutLe32(out, static_cast<std::uint32_t>(packed_size));
  PutLe32(out, static_cast<std::uint32_t>(entry.data.size()));
  PutLe16(out, static_cast<std::uint32_t>(entry.name.size()));
  PutLe16(out, 0);  // extra field length
}

// A ZIP archive of the given entries, in order, with no comment and no extra fields.
inline std::string ZipArchive(const std::vector<ZipEntry>& entries) {
  std::string archive;
  std::string directory;
  for (const ZipEntry& entry : entries) {
    const std::string packed = entry.method == kZipMethodDeflated ? RawDeflate(entry.data) : entry.data;
    const std::uint32_t crc = Crc32(entry.data);
    const auto offset = static_cast<std::uint32_t>(archive.size());

    PutLe32(archive, 0x04034B50);
    PutEntryFields(archive, entry, crc, packed.size());
    archive += entry.name;
    archive += packed;

    PutLe32(directory, 0x02014B50);
    PutLe16(directory, kZipVersion);  // version made by
    PutEntryFields(directory, entry, crc, packed.size());
    PutLe16(directory, 0);  // comment length
    PutLe16(directory, 0);  // disk number
    PutLe16(directory, 0);  // internal attributes
    PutLe32(directory, 0);  // external attributes
    PutLe32(directory, offset);
    directory += entry.name;
  }
  const auto directory_offset = static_cast<std::uint32_t>(archive.size());
  archive += directory;
  PutLe32(archive, 0x06054B50);
  PutLe16(archive, 0);  // this disk
  PutLe16(archive, 0);  // disk of the directory
  PutLe16(archive, static_cast<std::uint32_t>(entries.size()));
  PutLe16(archive, static_cast<std::uint32_t>(entries.size()));
  PutLe32(archive, static_cast<std::uint32_t>(directory.size()));
  PutLe32(archive, directory_offset);
  PutLe16(archive, 0);  // comment length
  return archive;
}

// Standard base64 with "=" fill, broken into lines of `width` characters; no break after the last.
inline std::string Base64Lines(std::string_view bytes, std::size_t width, std::string_view line_break) {
  static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string flat;
  flat.reserve((bytes.size() + 2) / 3 * 4);
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    std::uint32_t group = static_cast<unsigned char>(bytes[i]) << 16;
    if (i + 1 < bytes.size()) group |= static_cast<unsigned char>(bytes[i + 1]) << 8;
    if (i + 2 < bytes.size()) group |= static_cast<unsigned char>(bytes[i + 2]);
    flat.push_back(kAlphabet[(group >> 18) & 63]);
    flat.push_back(kAlphabet[(group >> 12) & 63]);
    flat.push_back(i + 1 < bytes.size() ? kAlphabet[(group >> 6) & 63] : '=');
    flat.push_back(i + 2 < bytes.size() ? kAlphabet[group & 63] : '=');
  }
  std::string out;
  for (std::size_t i = 0; i < flat.size(); i += width) {
    if (i > 0) out += line_break;
    out += flat.substr(i, width);
  }
  return out;
}

// The text of an `Image` element for a shape script.
inline std::string PackShapeScript(std::string_view script) {
  const std::string archive = ZipArchive({ZipEntry{std::string(kScriptMemberName), Utf16Le(script)}});
  return Base64Lines(archive, kBase64LineWidth, kDocumentLineBreak);
}

}  // namespace technology
