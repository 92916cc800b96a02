// Builds host models in tests without writing JSON: packages, elements, connectors, tags and
// diagrams with ids handed out in order (elements from 10, connectors from 100, diagrams from 1),
// then the live host session over them. Header-only, so that test programs that do not link
// kelvo can still share tests/support/.
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
    data_.packages.push_back({next_package_, std::move(name), parent});
    return next_package_++;
  }

  // An element of `stereotype`; the model derives metatype and base type unless set through
  // element(). `parent` is the containing element, 0 for none.
  std::int32_t Element(std::u16string stereotype, std::u16string name = {}, std::int32_t parent = 0,
                       std::int32_t package = kProcessPackage) {
    kelvo::ElementData& e = data_.elements.emplace_back();
    e.id = next_element_++;
    e.package = package;
    e.parent = parent;
    e.name = std::move(name);
    e.stereotype = std::move(stereotype);
    return e.id;
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
    kelvo::ConnectorData& c = data_.connectors.emplace_back();
    c.id = next_connector_++;
    c.source = source;
    c.target = target;
    c.stereotype = std::move(stereotype);
    c.tags = std::move(tags);
    return c.id;
  }

  // A diagram placing `placements`; the first diagram becomes the active one.
  std::int32_t Diagram(std::u16string name, std::vector<std::int32_t> placements = {},
                       std::int32_t package = kProcessPackage) {
    kelvo::DiagramData& d = data_.diagrams.emplace_back();
    d.id = next_diagram_++;
    d.package = package;
    d.name = std::move(name);
    d.placements = std::move(placements);
    if (!data_.active_diagram) data_.active_diagram = d.id;
    return d.id;
  }

  // The host session over the model (throws kelvo::InputError for an inconsistent model).
  std::shared_ptr<kelvo::Host> Host(kelvo::HostOptions options = {}) const {
    return kelvo::Host::Create(data_, options);
  }

 private:
  kelvo::ModelData data_;
  std::int32_t next_package_ = 3;
  std::int32_t next_element_ = 10;
  std::int32_t next_connector_ = 100;
  std::int32_t next_diagram_ = 1;
};

}  // namespace test_support
