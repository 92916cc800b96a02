// The content of a host model as plain data: what a kelvo-model/1 file holds, what the BPMN
// 2.0 import produces and what `orbelt convert` writes. The live model (kelvo::Model) is built
// from it after validation.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kelvo {

// The name of a tagged value. A model holds many tags under few names (every element of a
// stereotype carries all the tags it declares), so copies of a name share one immutable string:
// copying a tag copies a pointer to its name, not the text. It converts to and from the string
// both ways, so that it reads and is written like the string it names.
class TagName {
 public:
  TagName() = default;
  // NOLINTBEGIN(google-explicit-constructor)
  TagName(std::u16string text) : text_(std::make_shared<const std::u16string>(std::move(text))) {}
  TagName(const char16_t* text) : TagName(std::u16string(text)) {}
  operator const std::u16string&() const { return str(); }
  operator std::u16string_view() const { return str(); }
  // NOLINTEND(google-explicit-constructor)

  const std::u16string& str() const { return text_ ? *text_ : kEmpty; }
  friend bool operator==(const TagName& name, std::u16string_view text) { return name.str() == text; }

 private:
  static inline const std::u16string kEmpty;
  std::shared_ptr<const std::u16string> text_;
};

struct Tag {
  TagName name;
  std::u16string value;
};

struct HostSettings {
  std::int32_t build = 1300;
  std::u16string model_location = u"model.kvm";
};

struct PackageData {
  std::int32_t id = 0;
  std::u16string name;
  std::int32_t parent = 0;
};

struct ElementData {
  std::int32_t id = 0;
  std::int32_t package = 0;
  std::int32_t parent = 0;
  std::u16string name;
  std::u16string key;  // shown in reports; empty means the decimal id
  std::u16string stereotype;
  std::u16string metatype;   // equal to the stereotype when left empty by the file
  std::u16string base_type;  // derived from the stereotype when left empty by the file
  std::u16string notes;
  std::vector<Tag> tags;
};

struct ConnectorData {
  std::int32_t id = 0;
  std::int32_t source = 0;
  std::int32_t target = 0;
  std::u16string stereotype;
  std::u16string name;
  std::u16string key;
  std::vector<Tag> tags;
};

struct Bounds {
  double x = 0, y = 0, width = 0, height = 0;
};

struct DiagramData {
  std::int32_t id = 0;
  std::int32_t package = 0;
  std::int32_t parent = 0;
  std::u16string name;
  std::u16string key;  // the diagram's id in the file it was imported from; not kept in model files
  std::u16string type = u"BPMN::BPMN";
  std::vector<std::int32_t> placements;
  std::vector<std::optional<Bounds>> bounds;  // parallel to placements where known (imports), else empty
};

struct ModelData {
  HostSettings host;
  std::vector<std::u16string> technologies;
  std::vector<PackageData> packages;
  std::vector<ElementData> elements;
  std::vector<ConnectorData> connectors;
  std::vector<DiagramData> diagrams;
  std::optional<std::int32_t> selected_package;
  std::optional<std::int32_t> active_diagram;
};

}  // namespace kelvo
