// Reads a technology document the way the host does when a technology is installed: the XML
// tree of profiles and stereotypes, and every shape script unpacked from its image (base64,
// a ZIP archive with the single deflated member "str.dat", UTF-16LE text).

#include "kelvo/technology.h"

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <pugixml.hpp>
#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/text.h"

namespace kelvo {
namespace {

constexpr std::string_view kRootName = "Tarrow.Technology";
constexpr std::string_view kScriptMember = "str.dat";
constexpr std::uint32_t kLocalHeaderSignature = 0x04034B50;
constexpr std::uint32_t kDirectoryEntrySignature = 0x02014B50;
constexpr std::uint32_t kDirectoryEndSignature = 0x06054B50;
constexpr std::size_t kLocalHeaderSize = 30;
constexpr std::size_t kDirectoryEntrySize = 46;
constexpr std::size_t kDirectoryEndSize = 22;
constexpr std::size_t kMaxArchiveComment = 0xFFFF;
constexpr std::uint16_t kMethodDeflated = 8;
constexpr std::uint16_t kFlagEncrypted = 1;

class ParseError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

std::string Quoted(std::string_view text) { return "'" + std::string(text) + "'"; }

// ---- the document text ---------------------------------------------------------------------

// The host hands the document over as text widened one character per byte.
std::string NarrowToBytes(std::u16string_view document) {
  std::string bytes(document.size(), '\0');
  for (std::size_t i = 0; i < document.size(); ++i) {
    if (document[i] > 0xFF) {
      char code[8];
      std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(document[i]));
      throw ParseError("character " + std::string(code) + " at offset " + std::to_string(i) +
                       " is not a byte-wide character");
    }
    bytes[i] = static_cast<char>(document[i]);
  }
  return bytes;
}

std::string LineAndColumn(std::string_view text, std::ptrdiff_t offset) {
  const auto end =
      text.begin() + std::clamp<std::ptrdiff_t>(offset, 0, static_cast<std::ptrdiff_t>(text.size()));
  const auto line = std::count(text.begin(), end, '\n') + 1;
  const auto line_start = std::find(std::make_reverse_iterator(end), text.rend(), '\n').base();
  return "line " + std::to_string(line) + ", column " + std::to_string(end - line_start + 1);
}

void LoadXml(pugi::xml_document& xml, std::string_view bytes) {
  const pugi::xml_parse_result result =
      xml.load_buffer(bytes.data(), bytes.size(), pugi::parse_default, pugi::encoding_latin1);
  if (!result) {
    throw ParseError("not well-formed XML: " + std::string(result.description()) + " at " +
                     LineAndColumn(bytes, result.offset));
  }
}

std::u16string Attribute(const pugi::xml_node& node, const char* name) {
  return platform::FromUtf8(node.attribute(name).value());
}

// ---- shape-script images -------------------------------------------------------------------

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
  if (digits.empty()) throw ParseError("image is empty");
  if (digits.size() % 4 != 0) throw ParseError("base64 text has a length that is not a multiple of 4");
  const std::size_t fill = digits.ends_with("==") ? 2 : digits.ends_with('=') ? 1 : 0;
  std::string bytes;
  bytes.reserve(digits.size() / 4 * 3);
  std::uint32_t group = 0;
  for (std::size_t i = 0; i < digits.size() - fill; ++i) {
    const int value = Base64Value(digits[i]);
    if (value < 0) throw ParseError("base64 text holds the character " + Quoted(std::string(1, digits[i])));
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
    if (offset > bytes_.size() || size > bytes_.size() - offset) throw ParseError("archive is truncated");
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
  if (archive.size() < kDirectoryEndSize) throw ParseError("not a ZIP archive");
  const std::size_t last = archive.size() - kDirectoryEndSize;
  const std::size_t first = last > kMaxArchiveComment ? last - kMaxArchiveComment : 0;
  for (std::size_t at = last + 1; at-- > first;) {
    if (archive.Le32(at) == kDirectoryEndSignature) return at;
  }
  throw ParseError("not a ZIP archive: no end of central directory");
}

// The one member of the archive, as its central directory describes it.
ArchiveMember SingleMember(const ArchiveReader& archive) {
  const std::size_t end = FindDirectoryEnd(archive);
  const std::uint16_t count = archive.Le16(end + 10);
  if (count != 1) throw ParseError("archive holds " + std::to_string(count) + " members, expected one");
  const std::size_t entry = archive.Le32(end + 16);
  if (archive.Le32(entry) != kDirectoryEntrySignature) throw ParseError("archive directory is damaged");
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
  if (archive.Le32(header) != kLocalHeaderSignature) throw ParseError("archive member header is damaged");
  const std::size_t data = header + kLocalHeaderSize + archive.Le16(header + 26) + archive.Le16(header + 28);
  return archive.Bytes(data, member.packed_size);
}

std::string Inflate(std::string_view packed, std::size_t size) {
  std::string out(size, '\0');
  z_stream stream{};
  if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) throw ParseError("inflate could not start");
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.data()));
  stream.avail_in = static_cast<uInt>(packed.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  const int result = inflate(&stream, Z_FINISH);
  const std::size_t produced = stream.total_out;
  inflateEnd(&stream);
  if (result != Z_STREAM_END || produced != size) throw ParseError("member's deflated data is damaged");
  return out;
}

std::u16string FromUtf16Le(std::string_view bytes) {
  if (bytes.size() % 2 != 0) throw ParseError("script text has an odd number of bytes for UTF-16");
  std::u16string text(bytes.size() / 2, u'\0');
  for (std::size_t i = 0; i < text.size(); ++i) {
    text[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                    (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
  }
  return text;
}

std::u16string UnpackShapeScript(std::string_view base64) {
  const std::string bytes = DecodeBase64(base64);
  const ArchiveReader archive(bytes);
  const ArchiveMember member = SingleMember(archive);
  if (member.name != kScriptMember)
    throw ParseError("archive member is " + Quoted(member.name) + ", not 'str.dat'");
  if (member.flags & kFlagEncrypted) throw ParseError("archive member is encrypted");
  if (member.method != kMethodDeflated) {
    throw ParseError("archive member uses method " + std::to_string(member.method) + ", not deflate");
  }
  const std::string text = Inflate(PackedData(archive, member), member.size);
  const auto crc = static_cast<std::uint32_t>(
      crc32(0L, reinterpret_cast<const Bytef*>(text.data()), static_cast<uInt>(text.size())));
  if (crc != member.crc) throw ParseError("archive member fails its CRC-32 check");
  return FromUtf16Le(text);
}

// ---- profiles and stereotypes --------------------------------------------------------------

std::u16string ReadImage(const pugi::xml_node& image) {
  const std::string_view encoding = image.attribute("dt:dt").value();
  if (encoding != "bin.base64") throw ParseError("image is not typed bin.base64");
  return UnpackShapeScript(image.child_value());
}

TagDefinition ReadTag(const pugi::xml_node& tag) {
  return TagDefinition{.name = Attribute(tag, "name"),
                       .type = Attribute(tag, "type"),
                       .values = Attribute(tag, "values"),
                       .default_value = Attribute(tag, "default")};
}

Stereotype ReadStereotype(const pugi::xml_node& node) {
  Stereotype stereotype;
  stereotype.name = Attribute(node, "name");
  stereotype.metatype = Attribute(node, "metatype");
  stereotype.notes = Attribute(node, "notes");
  if (stereotype.name.empty()) throw ParseError("a stereotype has no name");
  try {
    for (const pugi::xml_node& apply : node.child("AppliesTo").children("Apply")) {
      stereotype.applies_to.push_back(Attribute(apply, "type"));
    }
    for (const pugi::xml_node& tag : node.child("TaggedValues").children("Tag")) {
      stereotype.tags.push_back(ReadTag(tag));
    }
    if (const pugi::xml_node image = node.child("Image")) stereotype.shape_script = ReadImage(image);
  } catch (const ParseError& error) {
    throw ParseError("stereotype " + Quoted(platform::ToUtf8(stereotype.name)) + ": " + error.what());
  }
  return stereotype;
}

Profile ReadProfile(const pugi::xml_node& node) {
  const pugi::xml_node documentation = node.child("Documentation");
  Profile profile;
  profile.id = Attribute(documentation, "id");
  profile.name = Attribute(documentation, "name");
  if (profile.name.empty()) throw ParseError("a profile has no name in its Documentation");
  try {
    for (const pugi::xml_node& stereotype :
         node.child("Content").child("Stereotypes").children("Stereotype")) {
      profile.stereotypes.push_back(ReadStereotype(stereotype));
    }
  } catch (const ParseError& error) {
    throw ParseError("profile " + Quoted(platform::ToUtf8(profile.name)) + ": " + error.what());
  }
  return profile;
}

Technology ReadTechnology(const pugi::xml_node& root) {
  if (std::string_view(root.name()) != kRootName) {
    throw ParseError("not a technology document: the root element is <" + std::string(root.name()) +
                     ">, not <" + std::string(kRootName) + ">");
  }
  const pugi::xml_node documentation = root.child("Documentation");
  Technology technology;
  technology.id = Attribute(documentation, "id");
  technology.name = Attribute(documentation, "name");
  technology.version = Attribute(documentation, "version");
  if (technology.id.empty()) throw ParseError("not a technology document: its Documentation gives no id");
  for (const pugi::xml_node& profile : root.child("UMLProfiles").children("UMLProfile")) {
    technology.profiles.push_back(ReadProfile(profile));
  }
  for (const pugi::xml_node& profile : root.child("DiagramProfile").children("UMLProfile")) {
    technology.profiles.push_back(ReadProfile(profile));
  }
  return technology;
}

}  // namespace

const Stereotype* Technology::FindStereotype(std::u16string_view name) const {
  for (const Profile& profile : profiles) {
    for (const Stereotype& stereotype : profile.stereotypes) {
      if (stereotype.name == name) return &stereotype;
    }
  }
  return nullptr;
}

std::optional<Technology> ParseTechnology(std::u16string_view document, std::string* error) {
  try {
    const std::string bytes = NarrowToBytes(document);
    pugi::xml_document xml;
    LoadXml(xml, bytes);
    return ReadTechnology(xml.document_element());
  } catch (const ParseError& failure) {
    if (error) *error = failure.what();
    return std::nullopt;
  }
}

}  // namespace kelvo
