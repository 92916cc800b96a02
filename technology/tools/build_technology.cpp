// Builds the BPMN technology document from its readable sources: the XML skeleton with
// placeholders, one shape script per stereotype and the quick-link table as CSV. Writes the
// exact bytes that the add-in embeds: 7-bit text, CR LF line ends, every image packed.
//
// usage: build_technology SKELETON SCRIPT_DIR QUICKLINK_CSV OUTPUT

#include <algorithm>
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>

#include "technology/script_codec.h"

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kScriptPlaceholder = "@SCRIPT:";
constexpr std::string_view kQuickLinkPlaceholder = "@QUICKLINKS@";
constexpr std::string_view kScriptExtension = ".txt";
constexpr std::size_t kQuickLinkFields = 23;

// An input fault: names the file and, where there is one, the line.
class InputError : public std::runtime_error {
 public:
  InputError(const fs::path& file, std::size_t line, const std::string& what)
      : std::runtime_error(file.string() + (line ? ":" + std::to_string(line) : "") + ": " + what) {}
};

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw InputError(path, 0, "cannot be read");
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Sources are edited as plain text: lines end in LF, characters are 7-bit.
void CheckSourceText(const fs::path& path, std::string_view text) {
  std::size_t line = 1;
  for (char c : text) {
    if (c == '\r') throw InputError(path, line, "carriage return found; sources use LF line ends");
    if (static_cast<unsigned char>(c) > 0x7F) throw InputError(path, line, "character beyond 7-bit ASCII");
    if (c == '\n') ++line;
  }
  if (!text.empty() && text.back() != '\n') throw InputError(path, line, "last line has no line end");
}

std::string ReadSource(const fs::path& path) {
  std::string text = ReadFile(path);
  CheckSourceText(path, text);
  return text;
}

std::string EscapeAttribute(std::string_view text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out.push_back(c);
    }
  }
  return out;
}

void CheckQuickLinkLine(const fs::path& path, std::size_t line_number, std::string_view line) {
  if (line.find('"') != std::string_view::npos)
    throw InputError(path, line_number, "fields are never quoted");
  const auto fields = static_cast<std::size_t>(std::count(line.begin(), line.end(), ',')) + 1;
  if (fields != kQuickLinkFields) {
    throw InputError(
        path, line_number,
        "has " + std::to_string(fields) + " fields, expected " + std::to_string(kQuickLinkFields));
  }
}

// The `data` attribute value: each line followed by an encoded line feed, then one more.
std::string QuickLinkData(const fs::path& path) {
  const std::string csv = ReadSource(path);
  if (!csv.starts_with("//")) throw InputError(path, 1, "the header line must begin with \"//\"");
  std::string data;
  std::size_t line_number = 0;
  for (std::size_t start = 0; start < csv.size();) {
    const std::size_t end = csv.find('\n', start);
    const std::string_view line(csv.data() + start, end - start);
    ++line_number;
    if (line.empty()) throw InputError(path, line_number, "empty line");
    CheckQuickLinkLine(path, line_number, line);
    data += EscapeAttribute(line);
    data += "&#xA;";
    start = end + 1;
  }
  return data + "&#xA;";
}

void ReplaceOnce(const fs::path& skeleton, std::string& text, std::string_view placeholder,
                 const std::string& value) {
  const std::size_t at = text.find(placeholder);
  if (at == std::string::npos) throw InputError(skeleton, 0, "no placeholder " + std::string(placeholder));
  if (text.find(placeholder, at + 1) != std::string::npos) {
    throw InputError(skeleton, 0, "placeholder " + std::string(placeholder) + " occurs twice");
  }
  text.replace(at, placeholder.size(), value);
}

// Replaces every @SCRIPT:Name@ by the packed script Name.txt; each script is used exactly once.
void PackScripts(const fs::path& skeleton, std::string& text, const fs::path& script_dir) {
  std::set<std::string> used;
  for (std::size_t at = text.find(kScriptPlaceholder); at != std::string::npos;
       at = text.find(kScriptPlaceholder, at)) {
    const std::size_t name_start = at + kScriptPlaceholder.size();
    const std::size_t end = text.find('@', name_start);
    if (end == std::string::npos) throw InputError(skeleton, 0, "unterminated script placeholder");
    const std::string name = text.substr(name_start, end - name_start);
    if (!used.insert(name).second) throw InputError(skeleton, 0, "script " + name + " is placed twice");
    const std::string packed =
        technology::PackShapeScript(ReadSource(script_dir / (name + std::string(kScriptExtension))));
    text.replace(at, end + 1 - at, packed);
    at += packed.size();
  }
  for (const auto& entry : fs::directory_iterator(script_dir)) {
    if (entry.path().extension() != kScriptExtension) continue;
    if (!used.contains(entry.path().stem().string())) {
      throw InputError(entry.path(), 0, "script is not placed in " + skeleton.filename().string());
    }
  }
}

std::string ToCrLf(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (char c : text) {
    if (c == '\n')
      out += technology::kDocumentLineBreak;
    else
      out.push_back(c);
  }
  return out;
}

std::string BuildDocument(const fs::path& skeleton, const fs::path& script_dir, const fs::path& quick_links) {
  std::string text = ToCrLf(ReadSource(skeleton));
  ReplaceOnce(skeleton, text, kQuickLinkPlaceholder, QuickLinkData(quick_links));
  PackScripts(skeleton, text, script_dir);
  return text;
}

void WriteFile(const fs::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw InputError(path, 0, "cannot be written");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::cerr << "usage: build_technology SKELETON SCRIPT_DIR QUICKLINK_CSV OUTPUT\n";
    return 2;
  }
  try {
    WriteFile(argv[4], BuildDocument(argv[1], argv[2], argv[3]));
  } catch (const std::exception& error) {
    std::cerr << "build_technology: " << error.what() << '\n';
    return 1;
  }
  return 0;
}
