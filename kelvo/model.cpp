#include "kelvo/model.h"

#include <algorithm>
#include <limits>

namespace kelvo {

namespace {

template <class T>
std::string Item(const char* list, std::size_t position, const T& data) {
  return std::string(list) + "[" + std::to_string(position) + "] (id " + std::to_string(data.id) + ")";
}

template <class T>
std::vector<std::int32_t> IdsOf(const std::vector<T>& list) {
  std::vector<std::int32_t> ids;
  ids.reserve(list.size());
  for (const auto& item : list) ids.push_back(item.id);
  return ids;
}

template <class T>
void BuildIndex(IdIndex& index, const std::vector<T>& list, const char* name) {
  const std::size_t duplicate = index.Build(IdsOf(list));
  if (duplicate != IdIndex::kNone) {
    throw InputError::AtItem(Item(name, duplicate, list[duplicate]),
                             "duplicate id " + std::to_string(list[duplicate].id));
  }
}

// Reports the first parent cycle among `list` (parent ids resolved through `index`).
template <class T>
void CheckParentCycles(const std::vector<T>& list, const IdIndex& index, const char* name) {
  // 0: not visited, 1: on the current path, 2: known to reach a root.
  std::vector<char> state(list.size(), 0);
  std::vector<std::size_t> path;
  for (std::size_t start = 0; start < list.size(); ++start) {
    std::size_t at = start;
    path.clear();
    while (at != IdIndex::kNone && state[at] == 0) {
      state[at] = 1;
      path.push_back(at);
      at = list[at].parent == 0 ? IdIndex::kNone : index.Find(list[at].parent);
    }
    if (at != IdIndex::kNone && state[at] == 1) {
      std::string cycle;
      const auto from = std::find(path.begin(), path.end(), at);
      for (auto it = from; it != path.end(); ++it) cycle += std::to_string(list[*it].id) + " -> ";
      cycle += std::to_string(list[at].id);
      throw InputError::AtItem(Item(name, at, list[at]), "parent cycle " + cycle);
    }
    for (const std::size_t p : path) state[p] = 2;
  }
}

}  // namespace

std::u16string DefaultBaseType(std::u16string_view stereotype) {
  struct Row {
    std::u16string_view stereotype, base_type;
  };
  static constexpr Row kRows[] = {
      {u"StartEvent", u"Event"},         {u"IntermediateEvent", u"Event"},
      {u"EndEvent", u"Event"},           {u"Activity", u"Activity"},
      {u"BusinessProcess", u"Activity"}, {u"Gateway", u"Decision"},
      {u"Pool", u"ActivityPartition"},   {u"Lane", u"ActivityPartition"},
      {u"DataObject", u"Artifact"},      {u"TextAnnotation", u"Artifact"},
      {u"Group", u"SysBoundary"},        {u"Message", u"Class"},
      {u"Participant", u"Class"},        {u"Rule", u"Class"},
      {u"Transaction", u"Class"},        {u"WebService", u"Class"},
      {u"Property", u"Attribute"},
  };
  for (const auto& row : kRows) {
    if (row.stereotype == stereotype) return std::u16string(row.base_type);
  }
  return {};
}

// --- IdIndex -------------------------------------------------------------------------------

std::size_t IdIndex::Build(const std::vector<std::int32_t>& ids) {
  table_.clear();
  map_.clear();
  dense_ = true;
  base_ = 0;
  if (ids.empty()) return kNone;
  const auto [lo, hi] = std::minmax_element(ids.begin(), ids.end());
  const std::int64_t span = static_cast<std::int64_t>(*hi) - *lo + 1;
  dense_ = span <= static_cast<std::int64_t>(ids.size()) * 4 + 64;
  if (dense_) {
    base_ = *lo;
    table_.assign(static_cast<std::size_t>(span), kNone);
  } else {
    map_.reserve(ids.size());
  }
  for (std::size_t i = 0; i < ids.size(); ++i) {
    if (Find(ids[i]) != kNone) return i;
    Add(ids[i], i);
  }
  return kNone;
}

void IdIndex::Add(std::int32_t id, std::size_t position) {
  if (dense_) {
    if (table_.empty()) base_ = id;
    const std::int64_t offset = static_cast<std::int64_t>(id) - base_;
    if (offset >= 0 && offset < static_cast<std::int64_t>(table_.size())) {
      table_[static_cast<std::size_t>(offset)] = position;
      return;
    }
    if (offset >= 0 && offset < static_cast<std::int64_t>(table_.size()) + 1024) {
      table_.resize(static_cast<std::size_t>(offset) + 1, kNone);
      table_[static_cast<std::size_t>(offset)] = position;
      return;
    }
    // The id lies far outside the table: switch to hashing.
    for (std::size_t i = 0; i < table_.size(); ++i) {
      if (table_[i] != kNone)
        map_.emplace(static_cast<std::int32_t>(base_ + static_cast<std::int64_t>(i)), table_[i]);
    }
    table_.clear();
    dense_ = false;
  }
  map_[id] = position;
}

void ThrowIndexOutOfRange(std::int32_t index) {
  throw host::Error(host::ErrorKind::kIndex, "collection index " + std::to_string(index) + " out of range");
}

// --- objects -------------------------------------------------------------------------------

namespace {

std::u16string DecimalId(std::int32_t id) {
  const std::string text = std::to_string(id);
  return {text.begin(), text.end()};
}

}  // namespace

ElementObject::Parts::Parts(ElementData element, Model* model)
    : data(std::move(element)),
      tags(MakeTagCollection<host::TaggedValue>(data.tags)),
      diagrams(model, data.package, data.id) {}

ElementObject::ElementObject(ElementData data, Model* model)
    : parts_(std::make_unique<Parts>(std::move(data), model)) {
  ElementData& d = parts_->data;
  if (d.metatype.empty()) d.metatype = d.stereotype;
  if (d.base_type.empty()) d.base_type = DefaultBaseType(d.stereotype);
  if (d.key.empty()) d.key = DecimalId(d.id);
  id_ = d.id;
  parent_ = d.parent;
  stereotype_ = model->Intern(d.stereotype);
  metatype_ = model->Intern(d.metatype);
  base_type_ = model->Intern(d.base_type);
}

ConnectorObject::Parts::Parts(ConnectorData connector)
    : data(std::move(connector)), tags(MakeTagCollection<host::ConnectorTag>(data.tags)) {}

ConnectorObject::ConnectorObject(ConnectorData data, Model* model)
    : parts_(std::make_unique<Parts>(std::move(data))) {
  ConnectorData& d = parts_->data;
  if (d.key.empty()) d.key = DecimalId(d.id);
  source_ = d.source;
  target_ = d.target;
  stereotype_ = model->Intern(d.stereotype);
}

DiagramObject::DiagramObject(DiagramData data)
    : data_(std::move(data)),
      placements_(std::make_shared<BlockCollection<host::DiagramPlacement, PlacementObject>>(
          std::vector<PlacementObject>(data_.placements.begin(), data_.placements.end()))) {}

PackageObject::PackageObject(PackageData data, Model* model)
    : data_(std::move(data)), diagrams_(std::make_shared<DiagramCollection>(model, data_.id, 0)) {}

std::int16_t DiagramCollection::ItemCount() {
  CountHostCall();
  if (items_.size() > static_cast<std::size_t>(std::numeric_limits<std::int16_t>::max())) {
    throw host::Error(
        host::ErrorKind::kOverflow,
        "ModelCollection.ItemCount: " + std::to_string(items_.size()) + " items do not fit a 16-bit count");
  }
  return static_cast<std::int16_t>(items_.size());
}

host::Ref<host::Diagram> DiagramCollection::CreateItem(const std::u16string& name,
                                                       const std::u16string& type) {
  CountHostCall();
  return Lend<host::Diagram>(model_->AddDiagram(package_, parent_, name, type));
}

// --- Model ---------------------------------------------------------------------------------

void Model::Validate(const ModelData& data) {
  IdIndex packages;
  IdIndex elements;
  IdIndex connectors;
  IdIndex diagrams;
  BuildIndex(packages, data.packages, "packages");
  BuildIndex(elements, data.elements, "elements");
  BuildIndex(connectors, data.connectors, "connectors");
  BuildIndex(diagrams, data.diagrams, "diagrams");

  const auto missing = [](const std::string& item, const char* what, const char* kind, std::int32_t id) {
    return InputError::AtItem(item,
                              std::string(what) + " " + kind + " " + std::to_string(id) + " does not exist");
  };
  for (std::size_t i = 0; i < data.packages.size(); ++i) {
    const auto& p = data.packages[i];
    if (p.parent != 0 && packages.Find(p.parent) == IdIndex::kNone) {
      throw missing(Item("packages", i, p), "parent", "package", p.parent);
    }
  }
  for (std::size_t i = 0; i < data.elements.size(); ++i) {
    const auto& e = data.elements[i];
    if (packages.Find(e.package) == IdIndex::kNone)
      throw missing(Item("elements", i, e), "its", "package", e.package);
    if (e.parent != 0 && elements.Find(e.parent) == IdIndex::kNone) {
      throw missing(Item("elements", i, e), "parent", "element", e.parent);
    }
  }
  for (std::size_t i = 0; i < data.connectors.size(); ++i) {
    const auto& c = data.connectors[i];
    if (elements.Find(c.source) == IdIndex::kNone)
      throw missing(Item("connectors", i, c), "source", "element", c.source);
    if (elements.Find(c.target) == IdIndex::kNone)
      throw missing(Item("connectors", i, c), "target", "element", c.target);
  }
  for (std::size_t i = 0; i < data.diagrams.size(); ++i) {
    const auto& d = data.diagrams[i];
    if (packages.Find(d.package) == IdIndex::kNone)
      throw missing(Item("diagrams", i, d), "its", "package", d.package);
    if (d.parent != 0 && elements.Find(d.parent) == IdIndex::kNone) {
      throw missing(Item("diagrams", i, d), "parent", "element", d.parent);
    }
    for (std::size_t k = 0; k < d.placements.size(); ++k) {
      if (elements.Find(d.placements[k]) == IdIndex::kNone) {
        throw missing(Item("diagrams", i, d) + ".placements[" + std::to_string(k) + "]", "placed", "element",
                      d.placements[k]);
      }
    }
    if (!d.bounds.empty() && d.bounds.size() != d.placements.size()) {
      throw InputError::AtItem(Item("diagrams", i, d), std::to_string(d.bounds.size()) + " bounds for " +
                                                           std::to_string(d.placements.size()) +
                                                           " placements");
    }
  }
  if (data.selected_package && packages.Find(*data.selected_package) == IdIndex::kNone) {
    throw missing("selectedPackage", "the", "package", *data.selected_package);
  }
  if (data.active_diagram && diagrams.Find(*data.active_diagram) == IdIndex::kNone) {
    throw missing("activeDiagram", "the", "diagram", *data.active_diagram);
  }
  CheckParentCycles(data.packages, packages, "packages");
  CheckParentCycles(data.elements, elements, "elements");
}

std::unique_ptr<Model> Model::Build(ModelData data) {
  Validate(data);
  std::unique_ptr<Model> model(new Model());
  Model& m = *model;

  m.package_index_.Build(IdsOf(data.packages));
  m.element_index_.Build(IdsOf(data.elements));
  m.connector_index_.Build(IdsOf(data.connectors));
  m.diagram_index_.Build(IdsOf(data.diagrams));
  m.packages_.reserve(data.packages.size());
  for (auto& p : data.packages) m.packages_.push_back(std::make_shared<PackageObject>(std::move(p), &m));
  // Reserved in full: the pointer lists refer into these blocks, which must never move.
  m.element_objects_.reserve(data.elements.size());
  m.elements_.reserve(data.elements.size());
  for (auto& e : data.elements)
    m.elements_.push_back(Unowned(m.element_objects_.emplace_back(std::move(e), &m)));
  m.connector_objects_.reserve(data.connectors.size());
  m.connectors_.reserve(data.connectors.size());
  for (auto& c : data.connectors) {
    m.connectors_.push_back(Unowned(m.connector_objects_.emplace_back(std::move(c), &m)));
  }
  m.diagrams_.reserve(data.diagrams.size());
  for (auto& d : data.diagrams) {
    m.max_diagram_id_ = std::max(m.max_diagram_id_, d.id);
    m.diagrams_.push_back(std::make_shared<DiagramObject>(std::move(d)));
  }

  // Children and nested elements: in file order.
  for (const auto& element : m.elements_) {
    if (element->parent_ != 0) m.FindElement(element->parent_)->parts_->children.items().push_back(element);
  }
  // Connector lists: every connector at either end, in file order, a self-loop once.
  for (const auto& connector : m.connectors_) {
    const auto& c = connector->data();
    m.FindElement(c.source)->parts_->connectors.items().push_back(connector);
    if (c.target != c.source) m.FindElement(c.target)->parts_->connectors.items().push_back(connector);
  }
  for (const auto& diagram : m.diagrams_) {
    const auto& d = diagram->data();
    if (d.parent != 0) {
      m.FindElement(d.parent)->parts_->diagrams.items_.push_back(diagram);
    } else {
      m.FindPackage(d.package)->diagrams_->items_.push_back(diagram);
    }
  }
  return model;
}

std::shared_ptr<DiagramObject> Model::AddDiagram(std::int32_t package, std::int32_t parent,
                                                 std::u16string name, std::u16string type) {
  if (max_diagram_id_ == std::numeric_limits<std::int32_t>::max()) {
    throw host::Error(host::ErrorKind::kHost, "ModelCollection.CreateItem: no diagram id left");
  }
  DiagramData data;
  data.id = max_diagram_id_ = std::max(max_diagram_id_, 0) + 1;
  data.package = package;
  data.parent = parent;
  data.name = std::move(name);
  data.type = std::move(type);
  auto diagram = std::make_shared<DiagramObject>(std::move(data));
  diagram_index_.Add(diagram->data().id, diagrams_.size());
  diagrams_.push_back(diagram);
  if (parent != 0) {
    FindElement(parent)->parts_->diagrams.items_.push_back(diagram);
  } else {
    FindPackage(package)->diagrams_->items_.push_back(diagram);
  }
  return diagram;
}

ModelData Model::ToData() const {
  ModelData data;
  for (const auto& p : packages_) data.packages.push_back(p->data());
  for (const auto& e : elements_) data.elements.push_back(e->data());
  for (const auto& c : connectors_) data.connectors.push_back(c->data());
  for (const auto& d : diagrams_) data.diagrams.push_back(d->data());
  return data;
}

}  // namespace kelvo
