// The host's automation objects as the add-in sees them. Only the members that the add-in
// uses are declared; the host stand-in implements them over its in-memory model, and a real
// host adapter would forward them to the host's own automation objects.
//
// The classes are written here, their members come from the lists in host/members.h: each class
// body expands its object's list into pure virtual functions (a write `Member` into
// `SetMember(value)`; late-bound members are reached through InvokeByName only).
//
// Strings are UTF-16. Element, connector, diagram and package ids are 32-bit signed, a parent
// id of 0 means "not nested". A failing member throws host::Error.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "host/error.h"
#include "host/members.h"
#include "host/ref.h"
#include "host/variant.h"

namespace host {

// The interface name of a host object as a template argument. Implicit, so that the argument can
// be written as a string literal.
template <std::size_t N>
struct InterfaceName {
  // NOLINTNEXTLINE(google-explicit-constructor)
  constexpr InterfaceName(const char (&name)[N]) { std::copy_n(name, N, text); }
  char text[N];
};

// Base of every host object: late binding by member name, as the automation dispatch
// interface offers it. Objects that support no late-bound member keep the default.
class Object {
 public:
  static constexpr const char* kInterfaceName = "Object";
  virtual ~Object() = default;
  virtual Variant InvokeByName(std::u16string_view member, std::vector<Variant>& args) {
    (void)args;
    throw Error(ErrorKind::kHost,
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

  class iterator {  // NOLINT(readability-identifier-naming): the name range-for and the standard library
                    // expect
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

// A tagged value: a name and its value. An element's tags and a connector's tags share this one
// interface under the two names the host gives them, and that traces and errors show.
template <InterfaceName kName>
class Tag : public Object {
 public:
  static constexpr const char* kInterfaceName = kName.text;
  HOST_TAG_MEMBERS(HOST_DECLARE_MEMBER)
};
using TaggedValue = Tag<"TaggedValue">;
using ConnectorTag = Tag<"ConnectorTag">;

class Connector : public Object {
 public:
  static constexpr const char* kInterfaceName = "Connector";
  HOST_CONNECTOR_MEMBERS(HOST_DECLARE_MEMBER)
};

class DiagramPlacement : public Object {
 public:
  static constexpr const char* kInterfaceName = "DiagramPlacement";
  HOST_DIAGRAM_PLACEMENT_MEMBERS(HOST_DECLARE_MEMBER)
};

class Diagram : public Object {
 public:
  static constexpr const char* kInterfaceName = "Diagram";
  HOST_DIAGRAM_MEMBERS(HOST_DECLARE_MEMBER)
};

class ModelCollection : public Object {
 public:
  static constexpr const char* kInterfaceName = "ModelCollection";
  HOST_MODEL_COLLECTION_MEMBERS(HOST_DECLARE_MEMBER)
};

class Element : public Object {
 public:
  static constexpr const char* kInterfaceName = "Element";
  HOST_ELEMENT_MEMBERS(HOST_DECLARE_MEMBER)
};

class Package : public Object {
 public:
  static constexpr const char* kInterfaceName = "Package";
  HOST_PACKAGE_MEMBERS(HOST_DECLARE_MEMBER)
};

// The host's validation framework.
class ValidationService : public Object {
 public:
  static constexpr const char* kInterfaceName = "ValidationService";
  HOST_VALIDATION_SERVICE_MEMBERS(HOST_DECLARE_MEMBER)
};

class InfoItem : public Object {
 public:
  static constexpr const char* kInterfaceName = "InfoItem";
  HOST_INFO_ITEM_MEMBERS(HOST_DECLARE_MEMBER)
};

class InfoBag : public Object {
 public:
  static constexpr const char* kInterfaceName = "InfoBag";
  HOST_INFO_BAG_MEMBERS(HOST_DECLARE_MEMBER)
};

class Repository : public Object {
 public:
  static constexpr const char* kInterfaceName = "Repository";
  HOST_REPOSITORY_MEMBERS(HOST_DECLARE_MEMBER)
};

}  // namespace host
