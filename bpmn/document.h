// The XML side of the BPMN import: a file's bytes brought to UTF-8 and parsed in place, the
// guards against hostile files, positions for error messages, and element names resolved by
// namespace URI rather than by prefix.
#pragma once

#include <cstddef>
#include <cstdint>
#include <pugixml.hpp>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace bpmn {

// The namespace URIs of BPMN 2.0 files: the model, its diagram interchange and the bounds.
inline constexpr std::string_view kModelNamespace = "http://www.omg.org/spec/BPMN/20100524/MODEL";
inline constexpr std::string_view kDiNamespace = "http://www.omg.org/spec/BPMN/20100524/DI";
inline constexpr std::string_view kDcNamespace = "http://www.omg.org/spec/DD/20100524/DC";

// The namespaces the import reads; everything else is kOther (or kNone without a namespace).
enum class Ns : std::uint8_t { kNone, kOther, kModel, kDi, kDc };

struct Name {
  Ns ns = Ns::kNone;
  std::string_view local;
};

// A parsed file. Strings handed out (node names and values) live as long as the document.
class Document {
 public:
  // Throws kelvo::InputError when the bytes are not a well-formed, safe XML document in a known encoding.
  Document(std::string bytes, std::string file);
  Document(const Document&) = delete;
  Document& operator=(const Document&) = delete;

  pugi::xml_node Root() const { return xml_.document_element(); }
  const std::string& file() const { return file_; }

  [[noreturn]] void Fail(std::size_t offset, const std::string& message) const;
  [[noreturn]] void Fail(pugi::xml_node node, const std::string& message) const;
  // Where a node or a value handed out by this document starts.
  std::size_t OffsetOf(pugi::xml_node node) const;
  std::size_t OffsetOf(const char* text) const;

 private:
  std::string file_;
  std::string buffer_;
  pugi::xml_document xml_;
};

// The namespace bindings in scope along the path being walked. Enter a node before reading
// its name; leave it when done with its subtree.
class Scopes {
 public:
  explicit Scopes(const Document& document) : document_(document) {}
  Name Enter(pugi::xml_node node);
  void Leave();

 private:
  static constexpr std::size_t kNoBinding = static_cast<std::size_t>(-1);
  struct Binding {
    std::string_view prefix;  // empty for the default namespace
    Ns ns;
    std::size_t hidden;  // the binding of the same prefix that this one hides, or kNoBinding
  };
  Ns Resolve(pugi::xml_node node, std::string_view prefix) const;

  const Document& document_;
  std::vector<Binding> bindings_;
  // Each prefix's innermost binding, so that a lookup does not grow with the bindings in scope.
  std::unordered_map<std::string_view, std::size_t> innermost_;
  std::vector<std::size_t> marks_;
};

// Enters a node for the lifetime of the guard.
class Scope {
 public:
  Scope(Scopes& scopes, pugi::xml_node node) : scopes_(scopes), name_(scopes.Enter(node)) {}
  ~Scope() { scopes_.Leave(); }
  Scope(const Scope&) = delete;
  Scope& operator=(const Scope&) = delete;
  const Name& name() const { return name_; }

 private:
  Scopes& scopes_;
  Name name_;
};

}  // namespace bpmn
