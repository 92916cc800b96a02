// Bringing a BPMN file's bytes to a parsed, trusted XML tree: encoding, UTF-8 checks, DOCTYPE
// refusal, in-place parsing, and error positions in lines and characters.
#include "bpmn/document.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "bpmn/well_formed.h"
#include "kelvo/input.h"
#include "platform/text.h"

namespace bpmn {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr std::size_t kMaxFileBytes = std::size_t{1} << 30;

enum class Encoding { kUtf8, kLatin1 };

struct Declared {
  std::string_view name;  // empty when the file declares none
  std::size_t offset = 0;
};

bool SameLetters(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return lower(x) == lower(y);
  });
}

// The encoding named in the XML declaration at the start of `text`.
Declared DeclaredEncoding(std::string_view text, std::size_t base) {
  if (!text.starts_with("<?xml") || text.size() < 6 ||
      std::string_view(" \t\r\n").find(text[5]) == std::string_view::npos)
    return {};
  const std::string_view declaration = text.substr(0, text.find("?>"));
  std::size_t at = declaration.find("encoding");
  if (at == std::string_view::npos) return {};
  at = declaration.find_first_of("\"'", at);
  if (at == std::string_view::npos) return {};
  const std::size_t end = declaration.find(declaration[at], at + 1);
  if (end == std::string_view::npos) return {};
  return {declaration.substr(at + 1, end - at - 1), base + at + 1};
}

// Text in UTF-16 is refused before the declaration is read, so a "UTF-16" label on 8-bit text is
// a writer's mistake; such text is read as UTF-8, which it then must be.
std::optional<Encoding> EncodingNamed(std::string_view name) {
  for (std::string_view utf8 : {"", "UTF-8", "UTF8", "US-ASCII", "ASCII", "UTF-16", "UTF16"})
    if (SameLetters(name, utf8)) return Encoding::kUtf8;
  for (std::string_view latin1 : {"ISO-8859-1", "ISO8859-1", "ISO_8859-1", "LATIN1", "LATIN-1", "L1"})
    if (SameLetters(name, latin1)) return Encoding::kLatin1;
  return std::nullopt;
}

bool LooksLikeUtf16(std::string_view text) {
  if (text.starts_with("\xFF\xFE") || text.starts_with("\xFE\xFF")) return true;
  return text.size() >= 2 && (text[0] == '\0' || text[1] == '\0');
}

}  // namespace

Document::Document(std::string bytes, std::string file) : file_(std::move(file)), buffer_(std::move(bytes)) {
  if (buffer_.size() > kMaxFileBytes) Fail(0, "the file is larger than 1 GiB");
  if (LooksLikeUtf16(buffer_)) Fail(0, "UTF-16 text is not read; save the file as UTF-8");
  const std::size_t start = buffer_.starts_with(kBom) ? kBom.size() : 0;
  const Declared declared = DeclaredEncoding(std::string_view(buffer_).substr(start), start);
  const std::optional<Encoding> encoding = EncodingNamed(declared.name);
  if (!encoding) Fail(declared.offset, "unsupported encoding \"" + std::string(declared.name) + "\"");
  if (*encoding == Encoding::kLatin1) buffer_ = platform::Latin1ToUtf8(buffer_);
  const std::size_t invalid = platform::FirstInvalidUtf8(buffer_);
  if (invalid != std::string_view::npos) Fail(invalid, "the text is not valid UTF-8");
  if (const void* nul = std::memchr(buffer_.data(), 0, buffer_.size()))
    Fail(static_cast<const char*>(nul) - buffer_.data(), "the text holds a NUL character");

  try {
    CheckWellFormed(buffer_, start);
  } catch (const Flaw& flaw) {
    Fail(flaw.offset, flaw.message);
  }
  const pugi::xml_parse_result result =
      xml_.load_buffer_inplace(buffer_.data(), buffer_.size(), pugi::parse_default, pugi::encoding_utf8);
  if (!result)
    Fail(static_cast<std::size_t>(result.offset),
         std::string("not well-formed XML: ") + result.description());
  if (!Root()) Fail(buffer_.size(), "the file holds no XML element");
}

std::size_t Document::OffsetOf(const char* text) const {
  const char* begin = buffer_.data();
  if (text < begin || text > begin + buffer_.size()) return 0;
  return static_cast<std::size_t>(text - begin);
}

std::size_t Document::OffsetOf(pugi::xml_node node) const {
  const std::ptrdiff_t offset = node.offset_debug();
  return offset < 0 ? 0 : static_cast<std::size_t>(offset);
}

// Lines count from 1; columns count characters (not bytes) from 1, a leading mark excluded.
void Document::Fail(std::size_t offset, const std::string& message) const {
  offset = std::min(offset, buffer_.size());
  const std::string_view before = std::string_view(buffer_).substr(0, offset);
  const int line = 1 + static_cast<int>(std::count(before.begin(), before.end(), '\n'));
  const std::size_t line_start = before.rfind('\n') == std::string_view::npos ? 0 : before.rfind('\n') + 1;
  std::string_view line_text = before.substr(line_start);
  if (line == 1 && line_text.starts_with(kBom)) line_text.remove_prefix(kBom.size());
  const auto characters = std::count_if(line_text.begin(), line_text.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  });
  throw kelvo::InputError({file_, line, 1 + static_cast<int>(characters), {}}, message);
}

void Document::Fail(pugi::xml_node node, const std::string& message) const { Fail(OffsetOf(node), message); }

Name Scopes::Enter(pugi::xml_node node) {
  marks_.push_back(bindings_.size());
  for (pugi::xml_attribute attribute = node.first_attribute(); attribute;
       attribute = attribute.next_attribute()) {
    const char* raw = attribute.name();
    if (raw[0] != 'x' || std::strncmp(raw, "xmlns", 5) != 0)
      continue;  // most attributes fail on the first byte
    const std::string_view name = raw;
    if (name.size() > 5 && name[5] != ':') continue;
    const std::string_view uri = attribute.value();
    const Ns ns = uri == kModelNamespace ? Ns::kModel
                  : uri == kDiNamespace  ? Ns::kDi
                  : uri == kDcNamespace  ? Ns::kDc
                  : uri.empty()          ? Ns::kNone
                                         : Ns::kOther;
    const std::string_view prefix = name.size() > 5 ? name.substr(6) : std::string_view();
    const auto [innermost, first] = innermost_.try_emplace(prefix, bindings_.size());
    bindings_.push_back({prefix, ns, first ? kNoBinding : innermost->second});
    innermost->second = bindings_.size() - 1;
  }
  const std::string_view qualified = node.name();
  const std::size_t colon = qualified.find(':');
  if (colon == std::string_view::npos) return {Resolve(node, {}), qualified};
  return {Resolve(node, qualified.substr(0, colon)), qualified.substr(colon + 1)};
}

void Scopes::Leave() {
  for (std::size_t i = bindings_.size(); i > marks_.back(); --i) {
    const Binding& binding = bindings_[i - 1];
    if (binding.hidden == kNoBinding)
      innermost_.erase(binding.prefix);
    else
      innermost_[binding.prefix] = binding.hidden;
  }
  bindings_.resize(marks_.back());
  marks_.pop_back();
}

Ns Scopes::Resolve(pugi::xml_node node, std::string_view prefix) const {
  const auto binding = innermost_.find(prefix);
  if (binding != innermost_.end()) return bindings_[binding->second].ns;
  if (prefix.empty()) return Ns::kNone;
  document_.Fail(node, "the namespace prefix \"" + std::string(prefix) + "\" is not declared");
}

}  // namespace bpmn
