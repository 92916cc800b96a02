// A scanner that knows just enough of XML's grammar to find text, tags, attribute values,
// comments, CDATA sections, instructions and the DOCTYPE; where the text is cut short it stops
// and leaves the error to the parser.
#include "bpmn/well_formed.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <unordered_set>
#include <vector>

namespace bpmn {
namespace {

constexpr std::size_t kEnd = std::string_view::npos;
// Tags with up to this many attributes are checked for repeats pairwise, larger ones by hashing.
constexpr std::size_t kPairwiseAttributes = 16;
constexpr std::string_view kPredefinedEntities[] = {"lt", "gt", "amp", "apos", "quot"};

// Classes of the characters the scanner stops at, looked up in one table.
enum : std::uint8_t { kSpace = 1, kNameEnd = 2 };
constexpr std::array<std::uint8_t, 256> kClasses = [] {
  std::array<std::uint8_t, 256> classes{};
  for (const char c : std::string_view(" \t\r\n"))
    classes[static_cast<unsigned char>(c)] |= kSpace | kNameEnd;
  for (const char c : std::string_view("=>/?")) classes[static_cast<unsigned char>(c)] |= kNameEnd;
  return classes;
}();

// Bit 7 of each byte of `word` that equals `c`, up to the first such byte; bytes after it may be
// marked falsely, so only the lowest mark counts.
std::uint64_t Marks(std::uint64_t word, char c) {
  constexpr std::uint64_t kOnes = 0x0101010101010101;
  const std::uint64_t x = word ^ (kOnes * static_cast<unsigned char>(c));
  return (x - kOnes) & ~x & (kOnes * 0x80);
}

// The first control character other than tab, line feed and carriage return, which XML does not
// allow even written out, or kEnd. Eight bytes at a time: the marks of bytes below 0x20 include
// every line end, so a marked word is looked at byte by byte.
std::size_t FirstControlCharacter(std::string_view text) {
  constexpr std::uint64_t kOnes = 0x0101010101010101;
  const auto allowed = [](char c) {
    return static_cast<unsigned char>(c) >= 0x20 || c == '\t' || c == '\n' || c == '\r';
  };
  std::size_t at = 0;
  for (std::uint64_t word = 0; at + sizeof word <= text.size(); at += sizeof word) {
    std::memcpy(&word, text.data() + at, sizeof word);
    if (((word - kOnes * 0x20) & ~word & (kOnes * 0x80)) == 0) continue;
    for (std::size_t i = at; i < at + sizeof word; ++i)
      if (!allowed(text[i])) return i;
  }
  for (; at < text.size(); ++at)
    if (!allowed(text[at])) return at;
  return kEnd;
}

bool Is(char c, std::uint8_t classes) { return (kClasses[static_cast<unsigned char>(c)] & classes) != 0; }
bool IsSpace(char c) { return Is(c, kSpace); }

bool IsXmlCharacter(std::uint32_t c) {
  return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
         (c >= 0x10000 && c <= 0x10FFFF);
}

int DigitValue(char c, bool hex) {
  if (c >= '0' && c <= '9') return c - '0';
  if (!hex) return -1;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool SameLetters(std::string_view a, std::string_view b) {
  return std::ranges::equal(a, b, [](char x, char y) { return (x | 0x20) == (y | 0x20); });
}

[[noreturn]] void Refuse(std::size_t offset, std::string message) { throw Flaw{offset, std::move(message)}; }

[[noreturn]] void NotWellFormed(std::size_t offset, const std::string& message) {
  Refuse(offset, "not well-formed XML: " + message);
}

class Scanner {
 public:
  Scanner(std::string_view text, std::size_t start) : text_(text), start_(start) {}
  void Run();

 private:
  std::size_t Reference(std::size_t at) const;
  std::size_t Markup(std::size_t at);
  std::size_t Declaration(std::size_t at) const;
  std::size_t Instruction(std::size_t at) const;
  std::size_t Doctype(std::size_t at) const;
  std::size_t StartTag(std::size_t at);
  std::size_t Attribute(std::size_t at);
  std::size_t Value(std::size_t at) const;
  bool Repeated(std::string_view name);
  // The first position from `at` holding a character of `classes`, or the text's end.
  std::size_t Find(std::size_t at, std::uint8_t classes) const {
    while (at < text_.size() && !Is(text_[at], classes)) ++at;
    return at;
  }
  // The first "<", "&" or `quote` from `at`, or the text's end, eight bytes at a time: text and
  // values run long between these. The text holds no NUL, so a `quote` of 0 finds nothing.
  std::size_t FindStop(std::size_t at, char quote) const {
    for (std::uint64_t word = 0; at + sizeof word <= text_.size(); at += sizeof word) {
      std::memcpy(&word, text_.data() + at, sizeof word);
      const std::uint64_t marks = Marks(word, '<') | Marks(word, '&') | Marks(word, quote);
      if (marks) return at + static_cast<std::size_t>(std::countr_zero(marks)) / 8;
    }
    while (at < text_.size() && text_[at] != '<' && text_[at] != '&' && text_[at] != quote) ++at;
    return at;
  }
  std::size_t SkipSpace(std::size_t at) const {
    while (at < text_.size() && IsSpace(text_[at])) ++at;
    return at;
  }
  std::size_t After(std::size_t at, std::string_view terminator) const {
    const std::size_t found = text_.find(terminator, at);
    return found == kEnd ? kEnd : found + terminator.size();
  }

  std::string_view text_;
  std::size_t start_;
  int depth_ = 0;
  bool root_closed_ = false;
  std::vector<std::string_view> names_;  // the attribute names of the tag being read
  std::unordered_set<std::string_view> many_names_;
};

// Outside the root element only whitespace and markup; inside it every "&" starts a reference.
void Scanner::Run() {
  for (std::size_t at = start_; at != kEnd && at < text_.size();) {
    if (depth_ == 0) {
      at = SkipSpace(at);
      if (at == text_.size()) return;
      if (text_[at] != '<') NotWellFormed(at, "text outside the root element");
      at = Markup(at);
      continue;
    }
    at = FindStop(at, 0);
    if (at == text_.size()) return;
    at = text_[at] == '&' ? Reference(at) : Markup(at);
  }
}

// The reference starting with the "&" at `at`: a character that XML allows, or a predefined
// entity (no other can be declared, as entity declarations are refused). Returns what follows it.
std::size_t Scanner::Reference(std::size_t at) const {
  const std::size_t semicolon = text_.find(';', at);
  std::size_t end = at + 1;
  if (end < text_.size() && text_[end] == '#') {
    const bool hex = end + 1 < text_.size() && text_[end + 1] == 'x';
    end += hex ? 2 : 1;
    std::uint32_t value = 0;
    const std::size_t digits = end;
    for (int digit = 0; end < text_.size() && (digit = DigitValue(text_[end], hex)) >= 0; ++end)
      value = std::min<std::uint32_t>(value * (hex ? 16 : 10) + static_cast<std::uint32_t>(digit), 0x110000);
    if (end == digits || end != semicolon) NotWellFormed(at, "a \"&\" that starts no reference; write &amp;");
    if (!IsXmlCharacter(value))
      NotWellFormed(at, "the character reference \"" + std::string(text_.substr(at, end + 1 - at)) +
                            "\" names no XML character");
    return end + 1;
  }
  const std::string_view name = semicolon == kEnd ? std::string_view() : text_.substr(end, semicolon - end);
  if (name.empty() || std::ranges::any_of(name, [](char c) { return IsSpace(c) || c == '<' || c == '&'; }))
    NotWellFormed(at, "a \"&\" that starts no reference; write &amp;");
  if (std::ranges::find(kPredefinedEntities, name) == std::end(kPredefinedEntities))
    NotWellFormed(at, "the entity \"" + std::string(name) + "\" is not defined");
  return semicolon + 1;
}

// The markup starting with the "<" at `at`; returns what follows it, or kEnd where it is cut short.
std::size_t Scanner::Markup(std::size_t at) {
  const char kind = at + 1 < text_.size() ? text_[at + 1] : '\0';
  if (kind == '/') {
    if (--depth_ == 0) root_closed_ = true;
    const std::size_t close = text_.find('>', at);
    return close == kEnd ? kEnd : close + 1;
  }
  if (kind == '?') return Instruction(at);
  if (kind == '!') return Declaration(at);
  if (depth_ == 0 && root_closed_) NotWellFormed(at, "a second root element; a file holds one");
  return StartTag(at);
}

// A comment, a CDATA section or the DOCTYPE.
std::size_t Scanner::Declaration(std::size_t at) const {
  const std::string_view rest = text_.substr(at);
  if (rest.starts_with("<!--")) return After(at + 4, "-->");
  if (rest.starts_with("<![CDATA[")) {
    if (depth_ == 0) NotWellFormed(at, "text outside the root element");
    return After(at + 9, "]]>");
  }
  return rest.starts_with("<!DOCTYPE") ? Doctype(at) : kEnd;
}

// An instruction; the one named "xml" (in any letter case) is the declaration, which only the
// start of the file may hold.
std::size_t Scanner::Instruction(std::size_t at) const {
  const std::size_t end = Find(at + 2, kNameEnd);
  if (at != start_ && SameLetters(text_.substr(at + 2, end - at - 2), "xml"))
    NotWellFormed(at, "an XML declaration must open the file, and a file holds one");
  return After(end, "?>");
}

// Entity declarations and external subsets are refused outright: they are never resolved, and
// a file that needs them is not one this reader can represent faithfully.
std::size_t Scanner::Doctype(std::size_t at) const {
  const std::size_t begin = SkipSpace(at + 9);
  char quote = 0;
  bool subset = false;
  std::size_t end = begin;
  for (; end < text_.size(); ++end) {
    const char c = text_[end];
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == '[' || c == ']') {
      subset = c == '[';
    } else if (c == '>' && !subset) {
      break;
    }
  }
  const std::string_view doctype = text_.substr(begin, end - begin);
  if (doctype.find("<!ENTITY") != kEnd) Refuse(begin, "DOCTYPE with entity declarations is refused");
  const std::string_view head = doctype.substr(0, doctype.find('['));
  if (head.find("SYSTEM") != kEnd || head.find("PUBLIC") != kEnd)
    Refuse(begin, "DOCTYPE with an external subset is refused");
  return end == text_.size() ? kEnd : end + 1;
}

// A start tag or an empty element's tag, and its attributes.
std::size_t Scanner::StartTag(std::size_t at) {
  names_.clear();
  if (!many_names_.empty()) many_names_.clear();  // clearing costs the table's size even when empty
  for (at = Find(at + 1, kNameEnd); at != kEnd && at < text_.size();) {
    at = SkipSpace(at);
    if (at == text_.size()) return kEnd;
    const bool empty = text_[at] == '/' && at + 1 < text_.size() && text_[at + 1] == '>';
    if (text_[at] != '>' && !empty) {
      at = Attribute(at);
      continue;
    }
    if (!empty) ++depth_;
    root_closed_ = root_closed_ || (empty && depth_ == 0);
    return at + (empty ? 2 : 1);
  }
  return kEnd;
}

// One attribute: a name given once, a sound value, and no prefix bound to the empty namespace
// name. Returns what follows it.
std::size_t Scanner::Attribute(std::size_t at) {
  std::size_t end = Find(at, kNameEnd);
  const std::string_view name = text_.substr(at, end - at);
  end = SkipSpace(end);
  if (end >= text_.size() || text_[end] != '=') return kEnd;
  end = SkipSpace(end + 1);
  if (end >= text_.size() || (text_[end] != '"' && text_[end] != '\'')) return kEnd;
  if (Repeated(name)) NotWellFormed(at, "the attribute \"" + std::string(name) + "\" is given twice");
  if (name.starts_with("xmlns:") && end + 1 < text_.size() && text_[end + 1] == text_[end])
    NotWellFormed(at, "the prefix \"" + std::string(name.substr(6)) + "\" is bound to no namespace");
  return Value(end);
}

// The value quoted from `at`: no "<", and every "&" a reference. Returns what follows it.
std::size_t Scanner::Value(std::size_t at) const {
  const char quote = text_[at];
  for (at = FindStop(at + 1, quote); at < text_.size(); at = FindStop(at, quote)) {
    const char c = text_[at];
    if (c == quote) return at + 1;
    if (c == '<') NotWellFormed(at, "a \"<\" in an attribute value; write &lt;");
    at = Reference(at);
  }
  return kEnd;
}

// True when the tag being read has named an attribute `name` already.
bool Scanner::Repeated(std::string_view name) {
  if (names_.size() < kPairwiseAttributes) {
    const bool repeated = std::ranges::find(names_, name) != names_.end();
    names_.push_back(name);
    return repeated;
  }
  if (many_names_.empty()) many_names_.insert(names_.begin(), names_.end());
  return !many_names_.insert(name).second;
}

}  // namespace

void CheckWellFormed(std::string_view text, std::size_t start) {
  if (const std::size_t control = FirstControlCharacter(text); control != kEnd) {
    char code[8];
    std::snprintf(code, sizeof code, "U+%04X",
                  static_cast<unsigned>(static_cast<unsigned char>(text[control])));
    NotWellFormed(control, std::string("the control character ") + code + " is not allowed in XML");
  }
  Scanner(text, start).Run();
}

}  // namespace bpmn
