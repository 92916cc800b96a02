// Access to the technology document's sources and to the document as the build produced it,
// for the tests of the document and of its parser.
#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace technology_test {

inline std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error(path.string() + ": cannot be read");
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

inline std::filesystem::path SourcePath(std::string_view relative) {
  return std::filesystem::path(ORBELT_SOURCE_DIR) / "technology" / relative;
}

// The document exactly as the build wrote it for embedding.
inline const std::string& BuiltDocument() {
  static const std::string bytes =
      ReadBytes(std::filesystem::path(ORBELT_BINARY_DIR) / "generated" / "bpmn_technology.xml");
  return bytes;
}

inline std::vector<std::string> Split(std::string_view text, char separator) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (std::size_t at = text.find(separator); at != std::string_view::npos;
       at = text.find(separator, start)) {
    parts.emplace_back(text.substr(start, at - start));
    start = at + 1;
  }
  parts.emplace_back(text.substr(start));
  return parts;
}

}  // namespace technology_test
