// The shape-script image codec: packing a script into an image (UTF-16LE text, deflated as the
// ZIP member "str.dat", base64 lines) and unpacking it again, with one set of archive constants.
#include "technology/script_codec.h"

#include <zlib.h>

#include <algorithm>
#include <iterator>

namespace technology {
namespace {

constexpr std::uint32_t kLocalHeaderSignature = 0x04034B50;
constexpr std::uint32_t kDirectoryEntrySignature = 0x02014B50;
constexpr std::uint32_t kDirectoryEndSignature = 0x06054B50;
constexpr std::size_t kLocalHeaderSize = 30;
constexpr std::size_t kDirectoryEntrySize = 46;
constexpr std::size_t kDirectoryEndSize = 22;
constexpr std::size_t kMaxArchiveComment = 0xFFFF;
constexpr std::uint16_t kFlagEncrypted = 1;

// Fixed archive fields, so that every build writes the same bytes: version 2.0, no flags,
// 1 January 1980 00:00, no attributes.
constexpr std::uint16_t kZipVersion = 20;
constexpr std::uint16_t kZipDosTime = 0;
constexpr std::uint16_t kZipDosDate = (0 << 9) | (1 << 5) | 1;

constexpr char kBase64Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string Quoted(std::string_view text) { return "'" + std::string(text) + "'"; }

std::uint32_t Crc32(std::string_view data) {
  return static_cast<std::uint32_t>(
      crc32(0L, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
}

// Widens 7-bit text one character per byte; other text fails.
std::u16string Widen7Bit(std::string_view text) {
  const auto beyond = [](char c) { return static_cast<unsigned char>(c) > 0x7F; };
  if (std::any_of(text.begin(), text.end(), beyond))
    throw ScriptImageError("a shape script must be 7-bit text");
  return {text.begin(), text.end()};
}

std::string Utf16LeBytes(std::u16string_view text) {
  std::string out;
  out.reserve(text.size() * 2);
  for (char16_t c : text) {
    out.push_back(static_cast<char>(c & 0xFF));
    out.push_back(static_cast<char>(c >> 8));
  }
  return out;
}

// ---- packing -------------------------------------------------------------------------------

// Raw deflate stream (no zlib header), best compression.
std::string RawDeflate(std::string_view data) {
  z_stream stream{};
  if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
    throw ScriptImageError("deflate could not start");
  }
  std::string out(deflateBound(&stream, data.size()), '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  stream.avail_in = static_cast<uInt>(data.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  const int result = deflate(&stream, Z_FINISH);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  if (result != Z_STREAM_END) throw ScriptImageError("deflate did not finish");
  return out;
}

void PutLe16(std::string& out, std::uint32_t value) {
  out.push_back(static_cast<char>(value & 0xFF));
  out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

void PutLe32(std::string& out, std::uint32_t value) {
  PutLe16(out, value & 0xFFFF);
  PutLe16(out, value >> 16);
}

// The fields shared by a local header and a central-directory record, from "version needed" on.
void PutEntryFields(std::string& out, const ZipEntry& entry, std::uint32_t crc, std::size_t packed_size) {
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

// ---- unpacking -----------------------------------------------------------------------------

int Base64Value(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

bool IsXmlSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Standard base64 with "=" fill; line breaks and other white space are skipped.
std::string DecodeBase64(std::string_view text) {
  std::string digits;
  digits.reserve(text.size());
  std::copy_if(text.begin(), text.end(), std::back_inserter(digits), [](char c) { return !IsXmlSpace(c); });
  if (digits.empty()) throw ScriptImageError("image is empty");
  if (digits.size() % 4 != 0) throw ScriptImageError("base64 text has a length that is not a multiple of 4");
  const std::size_t fill = digits.ends_with("==") ? 2 : digits.ends_with('=') ? 1 : 0;
  std::string bytes;
  bytes.reserve(digits.size() / 4 * 3);
  std::uint32_t group = 0;
  for (std::size_t i = 0; i < digits.size() - fill; ++i) {
    const int value = Base64Value(digits[i]);
    if (value < 0)
      throw ScriptImageError("base64 text holds the character " + Quoted(std::string(1, digits[i])));
    group = (group << 6) | static_cast<std::uint32_t>(value);
    if (i % 4 == 3) {
      bytes.push_back(static_cast<char>(group >> 16));
      bytes.push_back(static_cast<char>(group >> 8));
      bytes.push_back(static_cast<char>(group));
      group = 0;
    }
  }
  if (fill == 1) {
    bytes.push_back(static_cast<char>(group >> 10));
    bytes.push_back(static_cast<char>(group >> 2));
  } else if (fill == 2) {
    bytes.push_back(static_cast<char>(group >> 4));
  }
  return bytes;
}

// Little-endian reads from an archive, bounds-checked.
class ArchiveReader {
 public:
  explicit ArchiveReader(std::string_view bytes) : bytes_(bytes) {}

  std::uint32_t Le(std::size_t offset, std::size_t width) const {
    Require(offset, width);
    std::uint32_t value = 0;
    for (std::size_t i = width; i-- > 0;)
      value = (value << 8) | static_cast<unsigned char>(bytes_[offset + i]);
    return value;
  }
  std::uint16_t Le16(std::size_t offset) const { return static_cast<std::uint16_t>(Le(offset, 2)); }
  std::uint32_t Le32(std::size_t offset) const { return Le(offset, 4); }
  std::string_view Bytes(std::size_t offset, std::size_t size) const {
    Require(offset, size);
    return bytes_.substr(offset, size);
  }
  std::size_t size() const { return bytes_.size(); }

 private:
  void Require(std::size_t offset, std::size_t size) const {
    if (offset > bytes_.size() || size > bytes_.size() - offset)
      throw ScriptImageError("archive is truncated");
  }
  std::string_view bytes_;
};

struct ArchiveMember {
  std::string_view name;
  std::uint16_t flags;
  std::uint16_t method;
  std::uint32_t crc;
  std::uint32_t packed_size;
  std::uint32_t size;
  std::uint32_t header_offset;
};

std::size_t FindDirectoryEnd(const ArchiveReader& archive) {
  if (archive.size() < kDirectoryEndSize) throw ScriptImageError("not a ZIP archive");
  const std::size_t last = archive.size() - kDirectoryEndSize;
  const std::size_t first = last > kMaxArchiveComment ? last - kMaxArchiveComment : 0;
  for (std::size_t at = last + 1; at-- > first;) {
    if (archive.Le32(at) == kDirectoryEndSignature) return at;
  }
  throw ScriptImageError("not a ZIP archive: no end of central directory");
}

// The one member of the archive, as its central directory describes it.
ArchiveMember SingleMember(const ArchiveReader& archive) {
  const std::size_t end = FindDirectoryEnd(archive);
  const std::uint16_t count = archive.Le16(end + 10);
  if (count != 1) throw ScriptImageError("archive holds " + std::to_string(count) + " members, expected one");
  const std::size_t entry = archive.Le32(end + 16);
  if (archive.Le32(entry) != kDirectoryEntrySignature) throw ScriptImageError("archive directory is damaged");
  return ArchiveMember{.name = archive.Bytes(entry + kDirectoryEntrySize, archive.Le16(entry + 28)),
                       .flags = archive.Le16(entry + 8),
                       .method = archive.Le16(entry + 10),
                       .crc = archive.Le32(entry + 16),
                       .packed_size = archive.Le32(entry + 20),
                       .size = archive.Le32(entry + 24),
                       .header_offset = archive.Le32(entry + 42)};
}

std::string_view PackedData(const ArchiveReader& archive, const ArchiveMember& member) {
  const std::size_t header = member.header_offset;
  if (archive.Le32(header) != kLocalHeaderSignature)
    throw ScriptImageError("archive member header is damaged");
  const std::size_t data = header + kLocalHeaderSize + archive.Le16(header + 26) + archive.Le16(header + 28);
  return archive.Bytes(data, member.packed_size);
}

std::string Inflate(std::string_view packed, std::size_t size) {
  std::string out(size, '\0');
  z_stream stream{};
  if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) throw ScriptImageError("inflate could not start");
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.data()));
  stream.avail_in = static_cast<uInt>(packed.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  const int result = inflate(&stream, Z_FINISH);
  const std::size_t produced = stream.total_out;
  inflateEnd(&stream);
  if (result != Z_STREAM_END || produced != size) throw ScriptImageError("member's deflated data is damaged");
  return out;
}

std::u16string FromUtf16Le(std::string_view bytes) {
  if (bytes.size() % 2 != 0) throw ScriptImageError("script text has an odd number of bytes for UTF-16");
  std::u16string text(bytes.size() / 2, u'\0');
  for (std::size_t i = 0; i < text.size(); ++i) {
    text[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                    (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
  }
  return text;
}

}  // namespace

std::string Utf16Le(std::string_view seven_bit_text) { return Utf16LeBytes(Widen7Bit(seven_bit_text)); }

std::string ZipArchive(const std::vector<ZipEntry>& entries) {
  std::string archive;
  std::string directory;
  for (const ZipEntry& entry : entries) {
    const std::string packed = entry.method == kZipMethodDeflated ? RawDeflate(entry.data) : entry.data;
    const std::uint32_t crc = Crc32(entry.data);
    const auto offset = static_cast<std::uint32_t>(archive.size());

    PutLe32(archive, kLocalHeaderSignature);
    PutEntryFields(archive, entry, crc, packed.size());
    archive += entry.name;
    archive += packed;

    PutLe32(directory, kDirectoryEntrySignature);
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
  PutLe32(archive, kDirectoryEndSignature);
  PutLe16(archive, 0);  // this disk
  PutLe16(archive, 0);  // disk of the directory
  PutLe16(archive, static_cast<std::uint32_t>(entries.size()));
  PutLe16(archive, static_cast<std::uint32_t>(entries.size()));
  PutLe32(archive, static_cast<std::uint32_t>(directory.size()));
  PutLe32(archive, directory_offset);
  PutLe16(archive, 0);  // comment length
  return archive;
}

std::string Base64Lines(std::string_view bytes, std::size_t width, std::string_view line_break) {
  std::string flat;
  flat.reserve((bytes.size() + 2) / 3 * 4);
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    std::uint32_t group = static_cast<unsigned char>(bytes[i]) << 16;
    if (i + 1 < bytes.size()) group |= static_cast<unsigned char>(bytes[i + 1]) << 8;
    if (i + 2 < bytes.size()) group |= static_cast<unsigned char>(bytes[i + 2]);
    flat.push_back(kBase64Alphabet[(group >> 18) & 63]);
    flat.push_back(kBase64Alphabet[(group >> 12) & 63]);
    flat.push_back(i + 1 < bytes.size() ? kBase64Alphabet[(group >> 6) & 63] : '=');
    flat.push_back(i + 2 < bytes.size() ? kBase64Alphabet[group & 63] : '=');
  }
  std::string out;
  for (std::size_t i = 0; i < flat.size(); i += width) {
    if (i > 0) out += line_break;
    out += flat.substr(i, width);
  }
  return out;
}

std::string PackShapeScript(std::u16string_view script) {
  const std::string archive = ZipArchive({ZipEntry{std::string(kScriptMemberName), Utf16LeBytes(script)}});
  return Base64Lines(archive, kBase64LineWidth, kDocumentLineBreak);
}

std::string PackShapeScript(std::string_view seven_bit_script) {
  return PackShapeScript(Widen7Bit(seven_bit_script));
}

std::u16string UnpackShapeScript(std::string_view image) {
  const std::string bytes = DecodeBase64(image);
  const ArchiveReader archive(bytes);
  const ArchiveMember member = SingleMember(archive);
  if (member.name != kScriptMemberName)
    throw ScriptImageError("archive member is " + Quoted(member.name) + ", not 'str.dat'");
  if (member.flags & kFlagEncrypted) throw ScriptImageError("archive member is encrypted");
  if (member.method != kZipMethodDeflated) {
    throw ScriptImageError("archive member uses method " + std::to_string(member.method) + ", not deflate");
  }
  const std::string text = Inflate(PackedData(archive, member), member.size);
  if (Crc32(text) != member.crc) throw ScriptImageError("archive member fails its CRC-32 check");
  return FromUtf16Le(text);
}

}  // namespace technology
