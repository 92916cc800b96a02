// The one list of the host members that the add-in uses. Everything that names them is made from
// it: the interface declarations in host/objects.h, the known-member table below (which checks
// the member names of injected faults) and the stand-in's tracing wrappers. Adding a member to a
// list here is all it takes; the stand-in's model objects must then implement it.
//
// Each object's members are a list X(kind, result, member, (parameters), (arguments)):
// - kind: `read` (a property read, traced `Object.Member`), `call` (traced `Object.Member(...)`),
//   `write` (a property write, traced `Object.Member=value`, declared as the function
//   SetMember), `late` (reached by name only, through Object::InvokeByName; no declaration);
// - result and parameters as declared, and the arguments: the parameter names, as the wrappers
//   forward them.
// Types are written with their namespace, since the lists are expanded outside `host` too.
#pragma once

#include <algorithm>
#include <cstddef>
#include <span>
#include <string_view>

namespace host {

// The kinds are named as the member lists below write them.
enum class MemberKind { read, call, write, late };  // NOLINT(readability-identifier-naming)

}  // namespace host

// clang-format off
#define HOST_REPOSITORY_MEMBERS(X)                                                                           \
  X(call,  host::Ref<host::Element>,           ElementById,       (std::int32_t id), (id))                   \
  /* An unset reference when the host has no such connector. */                                              \
  X(call,  host::Ref<host::Connector>,         ConnectorById,     (std::int32_t id), (id))                   \
  X(call,  host::Ref<host::ValidationService>, ValidationService, (), ())                                    \
  X(read,  std::int32_t,                       HostBuild,         (), ())                                    \
  X(read,  const std::u16string&,              ModelLocation,     (), ())                                    \
  X(call,  bool,                               HasTechnology,     (const std::u16string& id), (id))          \
  X(call,  bool,                               InstallTechnology,                                            \
    (const std::u16string& document), (document))                                                            \
  X(call,  bool,                               RemoveTechnology,  (const std::u16string& id), (id))          \
  X(call,  void,                               SetProfileVisible,                                            \
    (const std::u16string& id, const std::u16string& profile, bool visible), (id, profile, visible))         \
  X(read,  host::Ref<host::Package>,           SelectedPackage,   (), ())                                    \
  X(read,  host::Ref<host::Diagram>,           ActiveDiagram,     (), ())                                    \
  X(call,  void,                               ShowDiagram,       (std::int32_t id), (id))

#define HOST_ELEMENT_MEMBERS(X)                                                                              \
  X(read,  std::int32_t,                                   Id,             (), ())                           \
  X(read,  std::int32_t,                                   ParentId,       (), ())                           \
  X(read,  const std::u16string&,                          StereotypeName, (), ())                           \
  X(read,  const std::u16string&,                          MetaTypeName,   (), ())                           \
  X(read,  const std::u16string&,                          BaseType,       (), ())                           \
  X(read,  host::Ref<host::Collection<host::TaggedValue>>, Tags,           (), ())                           \
  X(read,  host::Ref<host::Collection<host::Connector>>,   ConnectorList,  (), ())                           \
  X(read,  host::Ref<host::Collection<host::Element>>,     Children,       (), ())                           \
  X(read,  host::Ref<host::Collection<host::Element>>,     NestedElements, (), ())                           \
  X(read,  host::Ref<host::ModelCollection>,               OwnedDiagrams,  (), ())

#define HOST_CONNECTOR_MEMBERS(X)                                                                            \
  X(read,  std::int32_t,                                    SourceId,       (), ())                          \
  X(read,  std::int32_t,                                    TargetId,       (), ())                          \
  X(read,  const std::u16string&,                           StereotypeName, (), ())                          \
  X(read,  host::Ref<host::Collection<host::ConnectorTag>>, Tags,           (), ())

// The members of a tagged value, an element's (TaggedValue) or a connector's (ConnectorTag).
#define HOST_TAG_MEMBERS(X)                                                                                  \
  X(read,  const std::u16string&, Name,  (), ())                                                             \
  X(read,  const std::u16string&, Value, (), ())

#define HOST_VALIDATION_SERVICE_MEMBERS(X)                                                                   \
  X(call,  std::u16string, AddRuleCategory,     (const std::u16string& name), (name))                        \
  X(call,  std::u16string, AddRule,                                                                          \
    (const std::u16string& category_id, std::int32_t kind, const std::u16string& name),                      \
    (category_id, kind, name))                                                                               \
  X(call,  void,           ReportViolation,                                                                  \
    (const std::u16string& host_rule_id, std::int32_t level, const std::u16string& message),                 \
    (host_rule_id, level, message))                                                                          \
  X(late,  host::Variant,  ExportDiagramToBPEL, (), ())

#define HOST_PACKAGE_MEMBERS(X)                                                                              \
  X(read,  const std::u16string&,            Name,     (), ())                                               \
  X(read,  std::int32_t,                     ParentId, (), ())                                               \
  X(read,  host::Ref<host::ModelCollection>, Diagrams, (), ())

// A collection of diagrams that can grow.
#define HOST_MODEL_COLLECTION_MEMBERS(X)                                                                     \
  X(read,  std::int16_t,             ItemCount,  (), ())                                                     \
  X(call,  host::Ref<host::Diagram>, CreateItem,                                                             \
    (const std::u16string& name, const std::u16string& type), (name, type))                                  \
  X(call,  void,                     Reload,     (), ())

#define HOST_DIAGRAM_MEMBERS(X)                                                                              \
  X(read,  std::int32_t,                                        Id,             (), ())                      \
  X(write, void,                                                PresetProperty,                              \
    (std::int32_t value), (value))                                                                           \
  X(call,  bool,                                                Save,           (), ())                      \
  X(read,  host::Ref<host::Collection<host::DiagramPlacement>>, Placements,     (), ())

#define HOST_DIAGRAM_PLACEMENT_MEMBERS(X)                                                                    \
  X(read,  std::int32_t, PlacedElementId, (), ())

#define HOST_INFO_BAG_MEMBERS(X)                                                                             \
  X(call,  host::Ref<host::InfoItem>, Entry, (std::int16_t index), (index))

#define HOST_INFO_ITEM_MEMBERS(X)                                                                            \
  X(read,  host::Variant, Value, (), ())

// Every host object by its interface name, with its list of members.
#define HOST_OBJECTS(X)                                                                                      \
  X(Repository,        HOST_REPOSITORY_MEMBERS)                                                              \
  X(Element,           HOST_ELEMENT_MEMBERS)                                                                 \
  X(Connector,         HOST_CONNECTOR_MEMBERS)                                                               \
  X(TaggedValue,       HOST_TAG_MEMBERS)                                                                     \
  X(ConnectorTag,      HOST_TAG_MEMBERS)                                                                     \
  X(ValidationService, HOST_VALIDATION_SERVICE_MEMBERS)                                                      \
  X(Package,           HOST_PACKAGE_MEMBERS)                                                                 \
  X(ModelCollection,   HOST_MODEL_COLLECTION_MEMBERS)                                                        \
  X(Diagram,           HOST_DIAGRAM_MEMBERS)                                                                 \
  X(DiagramPlacement,  HOST_DIAGRAM_PLACEMENT_MEMBERS)                                                       \
  X(InfoBag,           HOST_INFO_BAG_MEMBERS)                                                                \
  X(InfoItem,          HOST_INFO_ITEM_MEMBERS)
// clang-format on

// The C++ function of an early-bound member: the member itself, Set<member> for a write.
#define HOST_FUNCTION(kind, member) HOST_FUNCTION_##kind(member)
#define HOST_FUNCTION_read(member) member
#define HOST_FUNCTION_call(member) member
#define HOST_FUNCTION_write(member) Set##member

// Expands to its arguments for an early-bound member, to nothing for a late-bound one.
#define HOST_IF_EARLY_BOUND(kind, ...) HOST_IF_EARLY_BOUND_##kind(__VA_ARGS__)
#define HOST_IF_EARLY_BOUND_read(...) __VA_ARGS__
#define HOST_IF_EARLY_BOUND_call(...) __VA_ARGS__
#define HOST_IF_EARLY_BOUND_write(...) __VA_ARGS__
#define HOST_IF_EARLY_BOUND_late(...)

// The declaration of a member in its interface. The result type and the parameter list cannot be
// parenthesised: they are spliced into a declaration.
// NOLINTBEGIN(bugprone-macro-parentheses)
#define HOST_DECLARE_MEMBER(kind, result, member, parameters, arguments) \
  HOST_IF_EARLY_BOUND(kind, virtual result HOST_FUNCTION(kind, member) parameters = 0;)
// NOLINTEND(bugprone-macro-parentheses)

namespace host {

namespace members_internal {

// The member names of each object, then the objects with their member names.
#define HOST_MEMBER_NAME(kind, result, member, parameters, arguments) #member,
#define HOST_MEMBER_NAMES(object, members) \
  inline constexpr std::string_view k##object##Members[] = {members(HOST_MEMBER_NAME)};
HOST_OBJECTS(HOST_MEMBER_NAMES)

struct KnownObject {
  std::string_view name;
  std::span<const std::string_view> members;
};
#define HOST_KNOWN_OBJECT(object, members) KnownObject{#object, k##object##Members},
inline constexpr KnownObject kKnownObjects[] = {HOST_OBJECTS(HOST_KNOWN_OBJECT)};
#undef HOST_KNOWN_OBJECT
#undef HOST_MEMBER_NAMES
#undef HOST_MEMBER_NAME

}  // namespace members_internal

// Whether `name` ("Object.Member", e.g. "Repository.ActiveDiagram",
// "ValidationService.ExportDiagramToBPEL") names a host member that the add-in can use.
constexpr bool IsKnownMember(std::string_view name) {
  const std::size_t dot = name.find('.');
  if (dot == std::string_view::npos) return false;
  const std::string_view object = name.substr(0, dot);
  const std::string_view member = name.substr(dot + 1);
  return std::ranges::any_of(members_internal::kKnownObjects, [&](const auto& known) {
    return known.name == object && std::ranges::find(known.members, member) != known.members.end();
  });
}

}  // namespace host
