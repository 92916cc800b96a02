// Builds host models in tests without writing JSON: packages, elements, connectors, tags and
// diagrams with ids handed out in order, then the live host session over them.
//
//   test_support::ModelBuilder b;                 // packages 1 "Model" (root) and 2 "Process"
//   auto start = b.Element(u"StartEvent", u"Order received");
//   auto task = b.Element(u"Activity", u"Check order");
//   b.Tag(task, u"ActivityType", u"Task");
//   b.Connector(start, task, u"SequenceFlow");
//   auto host = b.Host();                         // kelvo::Host, the add-in's Repository
//   auto element = host->ElementById(start);
//
// Header-only, so test programs that do not link kelvo can still share tests/support/.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "kelvo/host.h"
#include "kelvo/model_data.h"

namespace test_support {

class ModelBuilder {
 public:
  static constexpr std::int32_t kRootPackage = 1;
  static constexpr std::int32_t kProcessPackage = 2;

  // Starts with the root package 1 "Model" and package 2 "Process" inside it; elements and
  // diagrams go into package 2 unless told otherwise.
  ModelBuilder() {
    data_.packages.push_back({kRootPackage, u"Model", 0});
    data_.packages.push_back({kProcessPackage, u"Process", kRootPackage});
  }

  kelvo::ModelData& data() { return data_; }

  std::int32_t Package(std::u16string name, std::int32_t parent = kRootPackage) {
    const std::int32_t id = next_package_++;
    data_.packages.push_back({id, std::move(name), parent});
    return id;
  }

  // An element of `stereotype` (metatype and base type derived by the model unless set through
  // element()). `parent` is the containing element, 0 for none.
  std::int32_t Element(std::u16string stereotype, std::u16string name = {}, std::int32_t parent = 0,
                       std::int32_t package = kProcessPackage) {
    kelvo::ElementData e;
    e.id = next_element_++;
    e.package = package;
    e.parent = parent;
    e.name = std::move(name);
    e.stereotype = std::move(stereotype);
    data_.elements.push_back(std::move(e));
    return data_.elements.back().id;
  }
  kelvo::ElementData& element(std::int32_t id) {
    for (auto& e : data_.elements) {
      if (e.id == id) return e;
    }
    throw std::out_of_range("no element " + std::to_string(id));
  }
  ModelBuilder& Tag(std::int32_t element_id, std::u16string name, std::u16string value) {
    element(element_id).tags.push_back({std::move(name), std::move(value)});
    return *this;
  }

  std::int32_t Connector(std::int32_t source, std::int32_t target, std::u16string stereotype,
                         std::vector<kelvo::Tag> tags = {}) {
    kelvo::ConnectorData c;
    c.id = next_connector_++;
    c.source = source;
    c.target = target;
    c.stereotype = std::move(stereotype);
    c.tags = std::move(tags);
    data_.connectors.push_back(std::move(c));
    return data_.connectors.back().id;
  }
  kelvo::ConnectorData& connector(std::int32_t id) {
    for (auto& c : data_.connectors) {
      if (c.id == id) return c;
    }
    throw std::out_of_range("no connector " + std::to_string(id));
  }

  // A diagram placing `placements`; the first diagram becomes the active one.
  std::int32_t Diagram(std::u16string name, std::vector<std::int32_t> placements = {},
                       std::int32_t package = kProcessPackage) {
    kelvo::DiagramData d;
    d.id = next_diagram_++;
    d.package = package;
    d.name = std::move(name);
    d.placements = std::move(placements);
    data_.diagrams.push_back(std::move(d));
    if (!data_.active_diagram) data_.active_diagram = data_.diagrams.back().id;
    return data_.diagrams.back().id;
  }
  // A diagram placing every element so far.
  std::int32_t DiagramOfAll(std::u16string name = u"Process") {
    std::vector<std::int32_t> all;
    for (const auto& e : data_.elements) all.push_back(e.id);
    return Diagram(std::move(name), std::move(all));
  }

  // The host session over the model (throws kelvo::ModelError for an inconsistent model).
  std::shared_ptr<kelvo::Host> Host(kelvo::HostOptions options = {}) const { return kelvo::Host::Create(data_, options); }

 private:
  kelvo::ModelData data_;
  std::int32_t next_package_ = 3;
  std::int32_t next_element_ = 10;
  std::int32_t next_connector_ = 100;
  std::int32_t next_diagram_ = 1;
};

}  // namespace test_support
