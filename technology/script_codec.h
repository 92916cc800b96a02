// The shape-script image codec: a shape script is stored in the technology document's `Image`
// element as UTF-16LE text, deflated as the single member "str.dat" of a ZIP archive, written in
// base64 lines. The document builder packs with it, the host stand-in unpacks with it, and the
// tests use its archive writer to make damaged images.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace technology {

inline constexpr std::string_view kScriptMemberName = "str.dat";
inline constexpr std::size_t kBase64LineWidth = 72;
inline constexpr std::string_view kDocumentLineBreak = "\r\n";

inline constexpr std::uint16_t kZipMethodStored = 0;
inline constexpr std::uint16_t kZipMethodDeflated = 8;

// An image that cannot be unpacked, or a script that cannot be packed; the text says why.
class ScriptImageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct ZipEntry {
  std::string name;
  std::string data;  // uncompressed
  std::uint16_t method = kZipMethodDeflated;
};

// Widens 7-bit text to UTF-16LE, two bytes per character; other text fails.
std::string Utf16Le(std::string_view seven_bit_text);
// A ZIP archive of the given entries, in order, with no comment and no extra fields. Every
// build writes the same bytes: the archive's dates and attributes are fixed.
std::string ZipArchive(const std::vector<ZipEntry>& entries);
// Standard base64 with "=" fill, broken into lines of `width` characters; no break after the last.
std::string Base64Lines(std::string_view bytes, std::size_t width, std::string_view line_break);

// The text of an `Image` element for a shape script.
std::string PackShapeScript(std::u16string_view script);
// The same for a script of 7-bit text, as the readable sources are.
std::string PackShapeScript(std::string_view seven_bit_script);
// The script in the text of an `Image` element; white space between the base64 characters is
// skipped. Throws ScriptImageError when the image is damaged.
std::u16string UnpackShapeScript(std::string_view image);

}  // namespace technology
