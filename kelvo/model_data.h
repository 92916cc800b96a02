// The content of a host model as plain data: what a kelvo-model/1 file holds, what the BPMN
// 2.0 import produces and what `orbelt convert` writes. The live model (kelvo::Model) is built
// from it after validation.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kelvo {

struct Tag {
  std::u16string name;
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
