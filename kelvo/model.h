// The live host model: the host/ objects over a validated ModelData, as the add-in reads them.
//
// Every object is created once, when the model is built, and owned by the model through a
// shared_ptr; a member read neither allocates nor searches: strings are returned by reference,
// ids resolve through a dense or hashed index, and the collections an object hands out are
// objects of its own, built once (handing one out copies a shared_ptr).
//
// The model changes only where the host's members change it: a ModelCollection's CreateItem adds
// a diagram, Diagram.PresetProperty and Diagram.Save are recorded on the diagram.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "host/objects.h"
#include "kelvo/host_calls.h"
#include "kelvo/input.h"
#include "kelvo/model_data.h"

namespace kelvo {

// The element-level derivations of a model file.
std::u16string DefaultBaseType(std::u16string_view stereotype);

// Maps 32-bit ids to dense positions: a direct table when the ids are compact, a hash map
// otherwise. Lookups are constant time.
class IdIndex {
 public:
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  // `ids` must be unique. Returns the position of the first duplicate, or kNone.
  std::size_t Build(const std::vector<std::int32_t>& ids);
  void Add(std::int32_t id, std::size_t position);
  std::size_t Find(std::int32_t id) const {
    if (dense_) {
      const std::int64_t offset = static_cast<std::int64_t>(id) - base_;
      if (offset < 0 || offset >= static_cast<std::int64_t>(table_.size())) return kNone;
      return table_[static_cast<std::size_t>(offset)];
    }
    const auto it = map_.find(id);
    return it == map_.end() ? kNone : it->second;
  }

 private:
  bool dense_ = true;
  std::int64_t base_ = 0;
  std::vector<std::size_t> table_;
  std::unordered_map<std::int32_t, std::size_t> map_;
};

// Handing out the objects that the model and the host own. The one lifetime rule: these
// pointers count no reference, so handing one out and dropping it again costs no atomic
// operation (which pays on the millions of member reads of a validation run, docs/benchmark.md),
// and so they must not outlive their owner, as no object of a real host outlives the event call
// that fetched it. The model owns its objects for as long as the host session lives.

// A pointer to `object` in the shape of a shared_ptr, owning nothing.
template <class T>
std::shared_ptr<T> Unowned(T& object) {
  return std::shared_ptr<T>(std::shared_ptr<void>(), &object);
}

// `owned` as a reference to its interface I; unset for null.
template <class I, class T>
host::Ref<I> Lend(T* owned) {
  if (!owned) return {};
  return host::Ref<I>(Unowned<I>(*owned));
}
template <class I, class T>
host::Ref<I> Lend(const std::shared_ptr<T>& owned) {
  return Lend<I>(owned.get());
}

// Fails a collection read past its end. Kept out of line so that the members the checks read
// millions of times stay small leaf functions.
[[noreturn]] void ThrowIndexOutOfRange(std::int32_t index);

// A collection over a fixed list of objects, built once.
template <class I>
class ListCollection final : public host::Collection<I> {
 public:
  ListCollection() = default;
  explicit ListCollection(std::vector<std::shared_ptr<I>> items) : items_(std::move(items)) {}
  std::int32_t Count() override { return static_cast<std::int32_t>(items_.size()); }
  host::Ref<I> GetAt(std::int32_t index) override {
    if (index < 0 || static_cast<std::size_t>(index) >= items_.size()) {
      ThrowIndexOutOfRange(index);
    }
    return Lend<I>(items_[static_cast<std::size_t>(index)]);
  }
  std::vector<std::shared_ptr<I>>& items() { return items_; }
  const std::vector<std::shared_ptr<I>>& items() const { return items_; }

 private:
  std::vector<std::shared_ptr<I>> items_;
};

// A tagged value of an element (I = host::TaggedValue) or of a connector (I = host::ConnectorTag):
// the name shared model-wide, the value a view of the tag in the object's data, which lives as
// long as the object. A scan for a tag by name then reads only names that are hot in the cache.
template <class I>
class TagObject final : public I {
 public:
  TagObject(const std::u16string* name, const std::u16string* value) : name_(name), value_(value) {}
  const std::u16string& Name() override {
    CountHostCall();
    return *name_;
  }
  const std::u16string& Value() override {
    CountHostCall();
    return *value_;
  }

 private:
  const std::u16string* name_;
  const std::u16string* value_;
};

// A collection whose objects it holds side by side in one block, built once; scans over it stay
// in few cache lines. Used for tagged values and diagram placements.
template <class I, class Object>
class BlockCollection final : public host::Collection<I> {
 public:
  explicit BlockCollection(std::vector<Object> objects) : objects_(std::move(objects)) {}
  std::int32_t Count() override { return static_cast<std::int32_t>(objects_.size()); }
  host::Ref<I> GetAt(std::int32_t index) override {
    if (index < 0 || static_cast<std::size_t>(index) >= objects_.size()) {
      ThrowIndexOutOfRange(index);
    }
    return host::Ref<I>(Unowned<I>(objects_[static_cast<std::size_t>(index)]));
  }

 private:
  std::vector<Object> objects_;
};

template <class I>
using TagCollection = BlockCollection<I, TagObject<I>>;

// The tagged values of an element or connector, viewed in `tags`, which must outlive the
// collection. Tag names are shared strings already (a stereotype's defaults share theirs).
template <class I>
TagCollection<I> MakeTagCollection(const std::vector<Tag>& tags) {
  std::vector<TagObject<I>> objects;
  objects.reserve(tags.size());
  for (const auto& tag : tags) objects.emplace_back(&tag.name.str(), &tag.value);
  return TagCollection<I>(std::move(objects));
}

class Model;
class DiagramObject;

// The diagrams of a package (those not nested in an element) or of an element.
class DiagramCollection final : public host::ModelCollection {
 public:
  DiagramCollection(Model* model, std::int32_t package, std::int32_t parent)
      : model_(model), package_(package), parent_(parent) {}
  std::int16_t ItemCount() override;
  // Adds a diagram to the model at once, in this collection's package and parent.
  host::Ref<host::Diagram> CreateItem(const std::u16string& name, const std::u16string& type) override;
  void Reload() override {
    CountHostCall();
    ++reloads_;
  }

  const std::vector<std::shared_ptr<DiagramObject>>& items() const { return items_; }
  int reloads() const { return reloads_; }

 private:
  friend class Model;
  Model* model_;
  std::int32_t package_;
  std::int32_t parent_;
  std::vector<std::shared_ptr<DiagramObject>> items_;
  int reloads_ = 0;
};

class ElementObject final : public host::Element {
 public:
  ElementObject(ElementData data, Model* model);

  std::int32_t Id() override {
    CountHostCall();
    return id_;
  }
  std::int32_t ParentId() override {
    CountHostCall();
    return parent_;
  }
  const std::u16string& StereotypeName() override {
    CountHostCall();
    return *stereotype_;
  }
  const std::u16string& MetaTypeName() override {
    CountHostCall();
    return *metatype_;
  }
  const std::u16string& BaseType() override {
    CountHostCall();
    return *base_type_;
  }
  host::Ref<host::Collection<host::TaggedValue>> Tags() override {
    CountHostCall();
    return Lend<host::Collection<host::TaggedValue>>(&parts_->tags);
  }
  host::Ref<host::Collection<host::Connector>> ConnectorList() override {
    CountHostCall();
    return Lend<host::Collection<host::Connector>>(&parts_->connectors);
  }
  host::Ref<host::Collection<host::Element>> Children() override {
    CountHostCall();
    return Lend<host::Collection<host::Element>>(&parts_->children);
  }
  host::Ref<host::Collection<host::Element>> NestedElements() override {
    CountHostCall();
    return Lend<host::Collection<host::Element>>(&parts_->children);
  }
  host::Ref<host::ModelCollection> OwnedDiagrams() override {
    CountHostCall();
    return Lend<host::ModelCollection>(&parts_->diagrams);
  }

  // The element as the model holds it, with the derived values filled in (metatype, base type,
  // key).
  const ElementData& data() const { return parts_->data; }
  const std::vector<std::shared_ptr<host::Connector>>& connectors() const {
    return parts_->connectors.items();
  }
  const std::vector<std::shared_ptr<host::Element>>& children() const { return parts_->children.items(); }
  const DiagramCollection& owned_diagrams() const { return parts_->diagrams; }

 private:
  friend class Model;
  // The element's data and its collections, in one allocation.
  struct Parts {
    Parts(ElementData element, Model* model);
    ElementData data;
    TagCollection<host::TaggedValue> tags;
    ListCollection<host::Connector> connectors;
    ListCollection<host::Element> children;
    DiagramCollection diagrams;
  };
  // The members the checks read sit in the object itself, the names shared model-wide, and
  // everything else behind one pointer: a scan over many elements reads one small record of
  // each, packed closely in the model's block.
  std::int32_t id_;
  std::int32_t parent_;
  const std::u16string* stereotype_;
  const std::u16string* metatype_;
  const std::u16string* base_type_;
  std::unique_ptr<Parts> parts_;
};

class ConnectorObject final : public host::Connector {
 public:
  ConnectorObject(ConnectorData data, Model* model);

  std::int32_t SourceId() override {
    CountHostCall();
    return source_;
  }
  std::int32_t TargetId() override {
    CountHostCall();
    return target_;
  }
  const std::u16string& StereotypeName() override {
    CountHostCall();
    return *stereotype_;
  }
  host::Ref<host::Collection<host::ConnectorTag>> Tags() override {
    CountHostCall();
    return Lend<host::Collection<host::ConnectorTag>>(&parts_->tags);
  }

  const ConnectorData& data() const { return parts_->data; }

 private:
  struct Parts {
    explicit Parts(ConnectorData connector);
    ConnectorData data;
    TagCollection<host::ConnectorTag> tags;
  };
  std::int32_t source_;
  std::int32_t target_;
  const std::u16string* stereotype_;
  std::unique_ptr<Parts> parts_;
};

class PlacementObject final : public host::DiagramPlacement {
 public:
  explicit PlacementObject(std::int32_t element) : element_(element) {}
  std::int32_t PlacedElementId() override {
    CountHostCall();
    return element_;
  }

 private:
  std::int32_t element_;
};

class DiagramObject final : public host::Diagram {
 public:
  explicit DiagramObject(DiagramData data);

  std::int32_t Id() override {
    CountHostCall();
    return data_.id;
  }
  void SetPresetProperty(std::int32_t value) override {
    CountHostCall();
    preset_property_ = value;
  }
  bool Save() override {
    CountHostCall();
    ++saves_;
    return true;
  }
  host::Ref<host::Collection<host::DiagramPlacement>> Placements() override {
    CountHostCall();
    return Lend<host::Collection<host::DiagramPlacement>>(placements_);
  }

  const DiagramData& data() const { return data_; }
  std::optional<std::int32_t> preset_property() const { return preset_property_; }
  int saves() const { return saves_; }

 private:
  DiagramData data_;
  std::shared_ptr<BlockCollection<host::DiagramPlacement, PlacementObject>> placements_;
  std::optional<std::int32_t> preset_property_;
  int saves_ = 0;
};

class PackageObject final : public host::Package {
 public:
  PackageObject(PackageData data, Model* model);
  const std::u16string& Name() override {
    CountHostCall();
    return data_.name;
  }
  std::int32_t ParentId() override {
    CountHostCall();
    return data_.parent;
  }
  host::Ref<host::ModelCollection> Diagrams() override {
    CountHostCall();
    return Lend<host::ModelCollection>(diagrams_);
  }

  const PackageData& data() const { return data_; }
  const DiagramCollection& diagrams() const { return *diagrams_; }

 private:
  friend class Model;
  PackageData data_;
  std::shared_ptr<DiagramCollection> diagrams_;
};

// The live model. Build it with Model::Build; it is not copyable (its objects point back to it
// to add diagrams).
class Model {
 public:
  // Validates `data` and builds the live objects. Throws InputError naming the offending item
  // ("elements[3] (id 12)": a duplicate id, a missing reference, a parent cycle).
  static std::unique_ptr<Model> Build(ModelData data);
  // Only the checks of Build: throws InputError, builds nothing.
  static void Validate(const ModelData& data);

  Model(const Model&) = delete;
  Model& operator=(const Model&) = delete;

  // All objects in model (file) order; diagrams created later follow the model's own.
  const std::vector<std::shared_ptr<PackageObject>>& packages() const { return packages_; }
  const std::vector<std::shared_ptr<ElementObject>>& elements() const { return elements_; }
  const std::vector<std::shared_ptr<ConnectorObject>>& connectors() const { return connectors_; }
  const std::vector<std::shared_ptr<DiagramObject>>& diagrams() const { return diagrams_; }

  // Constant-time lookups; nullptr when the model lacks the id. Elements and connectors come
  // straight out of their blocks: Repository.ElementById is the host's hottest member.
  PackageObject* FindPackage(std::int32_t id) const { return Lookup(packages_, package_index_, id); }
  ElementObject* FindElement(std::int32_t id) const { return Lookup(element_objects_, element_index_, id); }
  ConnectorObject* FindConnector(std::int32_t id) const {
    return Lookup(connector_objects_, connector_index_, id);
  }
  DiagramObject* FindDiagram(std::int32_t id) const { return Lookup(diagrams_, diagram_index_, id); }

  // One copy of each stereotype, metatype and base type name for the whole model; the address
  // stays valid as long as the model.
  const std::u16string* Intern(const std::u16string& name) { return &*names_.insert(name).first; }

  // Adds a diagram (the effect of ModelCollection.CreateItem): a fresh id above every diagram id
  // so far, placed in `package` and nested in element `parent` (0: directly in the package).
  std::shared_ptr<DiagramObject> AddDiagram(std::int32_t package, std::int32_t parent, std::u16string name,
                                            std::u16string type);

  // The model's content as data again (the session's state, kept by the host, left out), diagrams
  // added since included, derived values filled in.
  ModelData ToData() const;

 private:
  Model() = default;
  // The object at `id`'s position in a list of owned pointers or in a block of objects.
  template <class T>
  static T* Address(const std::shared_ptr<T>& owned) {
    return owned.get();
  }
  template <class T>
  static T* Address(T& object) {
    return &object;
  }
  template <class List>
  static auto Lookup(List& list, const IdIndex& index, std::int32_t id) -> decltype(Address(list.front())) {
    const std::size_t position = index.Find(id);
    return position == IdIndex::kNone ? nullptr : Address(list[position]);
  }

  std::unordered_set<std::u16string> names_;

  std::vector<std::shared_ptr<PackageObject>> packages_;
  // Elements and connectors lie side by side in one block each, their cold data elsewhere, so that
  // a scan over a large model touches few cache lines; the pointer lists refer into the blocks.
  // Mutable because a lookup on a const model still hands out objects that callers call through.
  mutable std::vector<ElementObject> element_objects_;
  mutable std::vector<ConnectorObject> connector_objects_;
  std::vector<std::shared_ptr<ElementObject>> elements_;
  std::vector<std::shared_ptr<ConnectorObject>> connectors_;
  std::vector<std::shared_ptr<DiagramObject>> diagrams_;
  IdIndex package_index_, element_index_, connector_index_, diagram_index_;
  std::int32_t max_diagram_id_ = 0;
};

}  // namespace kelvo
