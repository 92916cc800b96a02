// The host's automation objects as the add-in sees them. Only the members that the add-in
// uses are declared; the host stand-in implements them over its in-memory model, and a real
// host adapter would forward them to the host's own automation objects.
//
// Strings are UTF-16. Element, connector, diagram and package ids are 32-bit signed, a parent
// id of 0 means "not nested". A failing member throws host::Error.
#pragma once

#include <cstdint>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "host/error.h"
#include "host/ref.h"
#include "host/variant.h"

namespace host {

// Base of every host object: late binding by member name, as the automation dispatch
// interface offers it. Objects that support no late-bound member keep the default.
class Object {
 public:
  static constexpr const char* kInterfaceName = "Object";
  virtual ~Object() = default;
  virtual Variant InvokeByName(std::u16string_view member, std::vector<Variant>& args) {
    (void)args;
    throw Error(ErrorKind::host,
                "object does not support the member " + std::string(member.begin(), member.end()));
  }
};

// A host collection, walked front to back by index.
template <class T>
class Collection : public Object {
 public:
  static constexpr const char* kInterfaceName = "Collection";
  virtual std::int32_t Count() = 0;
  virtual Ref<T> GetAt(std::int32_t index) = 0;

  class iterator {
   public:
    using iterator_category = std::input_iterator_tag;
    using value_type = Ref<T>;
    using difference_type = std::ptrdiff_t;
    iterator(Collection* owner, std::int32_t index) : owner_(owner), index_(index) {}
    Ref<T> operator*() const { return owner_->GetAt(index_); }
    iterator& operator++() {
      ++index_;
      return *this;
    }
    bool operator==(const iterator& other) const { return index_ == other.index_; }

   private:
    Collection* owner_;
    std::int32_t index_;
  };
  // The count is taken once when the walk starts; the add-in never changes a collection while
  // walking it.
  iterator begin() { return iterator(this, 0); }
  iterator end() { return iterator(this, Count()); }
};

class TaggedValue : public Object {
 public:
  static constexpr const char* kInterfaceName = "TaggedValue";
  virtual const std::u16string& Name() = 0;
  virtual const std::u16string& Value() = 0;
};

class ConnectorTag : public Object {
 public:
  static constexpr const char* kInterfaceName = "ConnectorTag";
  virtual const std::u16string& Name() = 0;
  virtual const std::u16string& Value() = 0;
};

class Connector : public Object {
 public:
  static constexpr const char* kInterfaceName = "Connector";
  virtual std::int32_t SourceId() = 0;
  virtual std::int32_t TargetId() = 0;
  virtual const std::u16string& StereotypeName() = 0;
  virtual Ref<Collection<ConnectorTag>> Tags() = 0;
};

class DiagramPlacement : public Object {
 public:
  static constexpr const char* kInterfaceName = "DiagramPlacement";
  virtual std::int32_t PlacedElementId() = 0;
};

class Diagram : public Object {
 public:
  static constexpr const char* kInterfaceName = "Diagram";
  virtual std::int32_t Id() = 0;
  virtual void SetPresetProperty(std::int32_t value) = 0;
  virtual bool Save() = 0;
  virtual Ref<Collection<DiagramPlacement>> Placements() = 0;
};

// A collection of diagrams that can grow.
class ModelCollection : public Object {
 public:
  static constexpr const char* kInterfaceName = "ModelCollection";
  virtual std::int16_t ItemCount() = 0;
  virtual Ref<Diagram> CreateItem(const std::u16string& name, const std::u16string& type) = 0;
  virtual void Reload() = 0;
};

class Element : public Object {
 public:
  static constexpr const char* kInterfaceName = "Element";
  virtual std::int32_t Id() = 0;
  virtual std::int32_t ParentId() = 0;
  virtual const std::u16string& StereotypeName() = 0;
  virtual const std::u16string& MetaTypeName() = 0;
  virtual const std::u16string& BaseType() = 0;
  virtual Ref<Collection<TaggedValue>> Tags() = 0;
  virtual Ref<Collection<Connector>> ConnectorList() = 0;
  virtual Ref<Collection<Element>> Children() = 0;
  virtual Ref<Collection<Element>> NestedElements() = 0;
  virtual Ref<ModelCollection> OwnedDiagrams() = 0;
};

class Package : public Object {
 public:
  static constexpr const char* kInterfaceName = "Package";
  virtual const std::u16string& Name() = 0;
  virtual std::int32_t ParentId() = 0;
  virtual Ref<ModelCollection> Diagrams() = 0;
};

// The host's validation framework. ExportDiagramToBPEL is reached by name only, through
// InvokeByName.
class ValidationService : public Object {
 public:
  static constexpr const char* kInterfaceName = "ValidationService";
  virtual std::u16string AddRuleCategory(const std::u16string& name) = 0;
  virtual std::u16string AddRule(const std::u16string& category_id, std::int32_t kind,
                                 const std::u16string& name) = 0;
  virtual void ReportViolation(const std::u16string& host_rule_id, std::int32_t level,
                               const std::u16string& message) = 0;
};

class InfoItem : public Object {
 public:
  static constexpr const char* kInterfaceName = "InfoItem";
  virtual Variant Value() = 0;
};

class InfoBag : public Object {
 public:
  static constexpr const char* kInterfaceName = "InfoBag";
  virtual Ref<InfoItem> Entry(std::int16_t index) = 0;
};

class Repository : public Object {
 public:
  static constexpr const char* kInterfaceName = "Repository";
  virtual Ref<Element> ElementById(std::int32_t id) = 0;
  // Returns an unset reference when the host has no such connector.
  virtual Ref<Connector> ConnectorById(std::int32_t id) = 0;
  virtual Ref<host::ValidationService> ValidationService() = 0;
  virtual std::int32_t HostBuild() = 0;
  virtual const std::u16string& ModelLocation() = 0;
  virtual bool HasTechnology(const std::u16string& id) = 0;
  virtual bool InstallTechnology(const std::u16string& document) = 0;
  virtual bool RemoveTechnology(const std::u16string& id) = 0;
  virtual void SetProfileVisible(const std::u16string& id, const std::u16string& profile, bool visible) = 0;
  virtual Ref<Package> SelectedPackage() = 0;
  virtual Ref<Diagram> ActiveDiagram() = 0;
  virtual void ShowDiagram(std::int32_t id) = 0;
};

}  // namespace host
