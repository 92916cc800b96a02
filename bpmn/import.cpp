// The BPMN 2.0 to host model mapping. One walk in document order creates elements and
// connectors (with their stereotype's tags and the file's values); what only the whole file
// can tell (pools of processes, boundary attachment, default flows, referenced data objects,
// drawn process data, connector ends, diagram placements) is settled afterwards, before ids
// are handed out.
#include "bpmn/import.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <unordered_map>

#include "bpmn/document.h"
#include "bpmn/id_table.h"
#include "kelvo/input.h"
#include "platform/text.h"

namespace bpmn {
namespace {

using kelvo::Bounds;
using kelvo::ConnectorData;
using kelvo::DiagramData;
using kelvo::ElementData;
using kelvo::ModelData;
using kelvo::Stereotype;
using kelvo::Tag;
using kelvo::TagDefinition;
using kelvo::Technology;

constexpr std::size_t kMaxValueBytes = std::size_t{1} << 20;
constexpr int kMaxDepth = 256;
constexpr std::size_t kNoIndex = IdTable::kAbsent;
constexpr std::size_t kLookAhead = 8;  // how many ids ahead loops of lookups prefetch
constexpr std::int32_t kModelPackage = 1;
constexpr std::int32_t kFilePackage = 2;

// The stereotypes the import creates, with their names in the technology.
enum class Stereo {
  kActivity,
  kStartEvent,
  kIntermediateEvent,
  kEndEvent,
  kGateway,
  kPool,
  kLane,
  kDataObject,
  kTextAnnotation,
  kGroup,
  kSequenceFlow,
  kMessageFlow,
  kAssociation,
  kCount
};
constexpr std::array<std::u16string_view, static_cast<std::size_t>(Stereo::kCount)> kStereotypeNames = {
    u"Activity",     u"StartEvent",  u"IntermediateEvent", u"EndEvent",       u"Gateway",
    u"Pool",         u"Lane",        u"DataObject",        u"TextAnnotation", u"Group",
    u"SequenceFlow", u"MessageFlow", u"Association"};

enum class Kind {
  kStartEvent,
  kIntermediateEvent,
  kBoundaryEvent,
  kEndEvent,
  kTask,
  kSubProcess,
  kAdHocSubProcess,
  kTransaction,
  kCallActivity,
  kGateway,
  kDataObject,
  kDataReference,
  kAnnotation,
  kGroup,
  kSequenceFlow,
  kAssociation,
  kLaneSet
};

// What each BPMN flow element or artifact becomes. For gateways, `first` and `second` are the
// GatewayType and XORType (or IncomingCondition's source for complex); for tasks `first` is the TaskType.
struct NodeKind {
  std::string_view local;
  Kind kind;
  std::u16string_view first = {};
  std::u16string_view second = {};
};
constexpr NodeKind kNodeKinds[] = {
    {"sequenceFlow", Kind::kSequenceFlow},
    {"task", Kind::kTask, u"None"},
    {"userTask", Kind::kTask, u"User"},
    {"serviceTask", Kind::kTask, u"Service"},
    {"sendTask", Kind::kTask, u"Send"},
    {"receiveTask", Kind::kTask, u"Receive"},
    {"manualTask", Kind::kTask, u"Manual"},
    {"scriptTask", Kind::kTask, u"Script"},
    {"businessRuleTask", Kind::kTask, u"BusinessRule"},
    {"startEvent", Kind::kStartEvent},
    {"endEvent", Kind::kEndEvent},
    {"intermediateCatchEvent", Kind::kIntermediateEvent},
    {"intermediateThrowEvent", Kind::kIntermediateEvent},
    {"boundaryEvent", Kind::kBoundaryEvent},
    {"exclusiveGateway", Kind::kGateway, u"XOR", u"Data"},
    {"parallelGateway", Kind::kGateway, u"AND"},
    {"inclusiveGateway", Kind::kGateway, u"OR"},
    {"eventBasedGateway", Kind::kGateway, u"XOR", u"Event"},
    {"complexGateway", Kind::kGateway, u"Complex"},
    {"subProcess", Kind::kSubProcess},
    {"adHocSubProcess", Kind::kAdHocSubProcess},
    {"transaction", Kind::kTransaction},
    {"callActivity", Kind::kCallActivity},
    {"dataObjectReference", Kind::kDataReference},
    {"dataStoreReference", Kind::kDataReference},
    {"dataObject", Kind::kDataObject},
    {"textAnnotation", Kind::kAnnotation},
    {"group", Kind::kGroup},
    {"association", Kind::kAssociation},
    {"laneSet", Kind::kLaneSet},
};

const NodeKind* FindNodeKind(std::string_view local) {
  for (const NodeKind& kind : kNodeKinds)
    if (kind.local == local) return &kind;
  return nullptr;
}

// Event definitions and the Trigger / Result value each gives.
struct DefinitionKind {
  std::string_view local;
  std::u16string_view value;
};
constexpr DefinitionKind kDefinitionKinds[] = {
    {"messageEventDefinition", u"Message"},
    {"timerEventDefinition", u"Timer"},
    {"conditionalEventDefinition", u"Rule"},
    {"linkEventDefinition", u"Link"},
    {"errorEventDefinition", u"Error"},
    {"cancelEventDefinition", u"Cancel"},
    {"compensateEventDefinition", u"Compensation"},
    {"terminateEventDefinition", u"Terminate"},
    {"signalEventDefinition", u"Signal"},
    {"escalationEventDefinition", u"Escalation"},
};

const DefinitionKind* FindDefinitionKind(std::string_view local) {
  for (const DefinitionKind& kind : kDefinitionKinds)
    if (kind.local == local) return &kind;
  return nullptr;
}

// Refs are ids; some writers qualify them with a namespace prefix, which is tried without.
std::size_t FindId(const IdTable& table, std::string_view ref) {
  const std::size_t found = table.Find(ref);
  const std::size_t colon = ref.rfind(':');
  if (found != IdTable::kAbsent || colon == std::string_view::npos) return found;
  return table.Find(ref.substr(colon + 1));
}

bool IsTrue(std::string_view value) { return value == "true" || value == "1"; }

// A coordinate; 0 when not a number.
double Number(std::string_view text) {
  double value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

// The bounds a dc:Bounds gives, a coordinate that is absent or not a number being 0. Its attributes
// are read in one pass, last to first, so that of a repeated attribute the first one counts.
Bounds ReadBounds(pugi::xml_node node) {
  Bounds bounds;
  for (pugi::xml_attribute attribute = node.last_attribute(); attribute;
       attribute = attribute.previous_attribute()) {
    const std::string_view name = attribute.name();
    double* coordinate = name == "x"        ? &bounds.x
                         : name == "y"      ? &bounds.y
                         : name == "width"  ? &bounds.width
                         : name == "height" ? &bounds.height
                                            : nullptr;
    if (coordinate) *coordinate = Number(attribute.value());
  }
  return bounds;
}

// A stereotype's name, metatype and every tag it declares with its default.
struct Template {
  std::u16string stereotype;
  std::u16string metatype;
  std::vector<Tag> tags;
};

std::array<Template, static_cast<std::size_t>(Stereo::kCount)> MakeTemplates(const Technology& technology) {
  std::array<Template, static_cast<std::size_t>(Stereo::kCount)> templates;
  for (std::size_t i = 0; i < templates.size(); ++i) {
    Template& entry = templates[i];
    entry.stereotype = kStereotypeNames[i];
    const Stereotype* stereotype = technology.FindStereotype(kStereotypeNames[i]);
    if (!stereotype) continue;
    entry.metatype = stereotype->metatype;
    for (const TagDefinition& tag : stereotype->tags) entry.tags.push_back({tag.name, tag.default_value});
  }
  return templates;
}

// Where a flow element lies: inside an element (a sub-process, or the parent lane of a lane),
// else directly in a process, whose pool is known only once the whole file is read.
struct Container {
  std::size_t element = kNoIndex;
  std::string_view process;
};

// What the import needs to know of an element beyond its model data.
struct PendingElement {
  Container container;
  std::string_view bpmn_id;
  std::string_view attached_to;     // boundary events only
  bool boundary = false;            // a boundaryEvent, placed on the activity it is attached to
  bool marker_from_shape = false;   // exclusive gateways take MarkerVisible from their shape
  bool shown_by_reference = false;  // a dataObject, left out when a reference shows it
  bool shown_when_drawn = false;    // a process data input or output, left out unless drawn
  bool activity = false;
  bool dropped = false;
};

// A connector end: a BPMN id still to look up, or an element already known.
struct End {
  std::string_view ref;
  std::size_t element = kNoIndex;
};

struct PendingConnector {
  Stereo stereo;
  std::string_view kind;
  std::string_view bpmn_id;
  End source;
  End target;
};

struct Shape {
  std::string_view id;
  std::string_view element;
  std::size_t element_index = kNoIndex;  // the pending element it names, once the whole file is read
  std::optional<Bounds> bounds;
  const char* marker_visible = nullptr;
};

struct PendingDiagram {
  std::u16string name;
  std::u16string key;
  std::vector<Shape> shapes;
  std::vector<std::string_view> edges;  // the connectors drawn, by BPMN id
};

struct Operation {
  std::string_view name;
  std::string_view in_message;
  std::string_view out_message;
};

struct EventDefinitionNode {
  pugi::xml_node node;
  const DefinitionKind* kind;
};

class Importer {
 public:
  Importer(const Document& document, const Technology& technology)
      : document_(document),
        scopes_(document),
        technology_(technology),
        templates_(MakeTemplates(technology)) {}

  Import Run();

 private:
  // Reading, in document order.
  void CollectRootElements(pugi::xml_node definitions);
  void ReserveForDrawing(pugi::xml_node diagram);
  void ReadCollaboration(pugi::xml_node collaboration);
  void ReadProcess(pugi::xml_node process);
  void ReadProcessData(pugi::xml_node io_specification, const Container& container);
  void ReadFlowElement(pugi::xml_node node, const NodeKind& kind, const Container& container, int depth);
  void ReadLanes(pugi::xml_node lane_set, const Container& container, int depth);
  void ReadEvent(pugi::xml_node node, std::size_t index, bool end, const Container& container);
  void ApplyEventDefinition(std::size_t index, const DefinitionKind& kind, pugi::xml_node definition,
                            const Container& container);
  void ReadActivity(pugi::xml_node node, const NodeKind& kind, std::size_t index, const Container& container,
                    int depth);
  void ReadActivityKind(pugi::xml_node node, const NodeKind& kind, std::size_t index);
  void ReadActivityAttributes(pugi::xml_node node, const NodeKind& kind, std::size_t index);
  void ReadLoop(pugi::xml_node loop, std::string_view local, std::size_t index);
  void ReadGateway(pugi::xml_node node, const NodeKind& kind, std::size_t index);
  std::size_t AddData(pugi::xml_node node, const Container& container);
  void RecordReference(pugi::xml_node reference, std::size_t index);
  void ReadDataAssociation(pugi::xml_node association, std::string_view local, std::size_t owner);
  void ReadDiagram(pugi::xml_node diagram);
  std::size_t AddElement(pugi::xml_node node, Stereo stereo, const Container& container);
  std::size_t AddConnector(pugi::xml_node node, Stereo stereo, std::string_view kind, End source, End target);
  void RecordDefault(pugi::xml_node node, std::size_t index);

  // Settling what the whole file tells.
  std::size_t FindElement(std::string_view ref) const;
  std::size_t Kept(std::size_t element) const;  // kNoIndex for a dropped element
  std::size_t ParentOf(const PendingElement& element);
  std::size_t AttachedActivity(const PendingElement& event);
  void ResolveDataObjects();
  void ResolveShapes();
  std::vector<bool> Drawn() const;
  void ResolveDefaults();
  std::size_t DrawnReference(std::string_view object, std::string_view connector) const;
  bool DrawnWith(std::size_t element, std::string_view connector) const;
  bool ResolveEnd(End& end, const PendingConnector& connector) const;
  Import Assemble(std::u16string package_name);
  std::vector<std::int32_t> AssembleElements();
  void AssembleConnectors(const std::vector<std::int32_t>& ids);
  void AssembleDiagrams(const std::vector<std::int32_t>& ids);

  // Calls visit(child, name) for each element child, with the child's namespace bindings in scope.
  template <class Visit>
  void ForEachChild(pugi::xml_node node, Visit&& visit) {
    for (pugi::xml_node child : node.children()) {
      if (child.type() != pugi::node_element) continue;
      const Scope scope(scopes_, child);
      visit(child, scope.name());
    }
  }
  // Calls visit(child) for each element child of that namespace and local name. A child whose
  // qualified name does not end with the local name is passed over without entering its scope.
  template <class Visit>
  void ForEachNamed(pugi::xml_node node, Ns ns, std::string_view local, Visit&& visit) {
    for (pugi::xml_node child : node.children()) {
      if (child.type() != pugi::node_element || !std::string_view(child.name()).ends_with(local)) continue;
      const Scope scope(scopes_, child);
      if (scope.name().ns == ns && scope.name().local == local) visit(child);
    }
  }

  // Values.
  std::u16string Text(std::string_view value) const;
  pugi::xml_node Child(pugi::xml_node node, std::string_view local);
  std::string_view ChildText(pugi::xml_node node, std::string_view local) {
    return Child(node, local).child_value();
  }
  std::u16string MessageName(std::string_view ref) const;
  static void SetTag(std::vector<Tag>& tags, std::u16string_view name, std::u16string_view value);
  void SetTag(std::size_t index, std::u16string_view name, std::u16string_view value) {
    SetTag(model_.elements[index].tags, name, value);
  }
  void Check(pugi::xml_node node, int depth) const;
  void Warn(std::string message) { warnings_.push_back(document_.file() + ": " + std::move(message)); }
  void WarnLeftOut(std::string_view kind, std::string_view id, const std::string& what, std::string_view ref);

  const Document& document_;
  Scopes scopes_;
  const Technology& technology_;
  std::array<Template, static_cast<std::size_t>(Stereo::kCount)> templates_;

  // The model being read; its elements and connectors lie parallel to these until assembled.
  ModelData model_;
  std::vector<PendingElement> elements_;
  std::vector<PendingConnector> connectors_;
  std::vector<PendingDiagram> diagrams_;
  std::vector<std::string> warnings_;

  IdTable element_by_id_;
  IdTable pool_of_process_;
  IdTable default_flows_;  // flow id -> element naming it
  // dataObject or dataStore id -> its list in shown_by_, the references that show it in document order
  IdTable references_;
  std::vector<std::vector<std::size_t>> shown_by_;
  std::unordered_map<std::string_view, std::string_view> message_names_;
  std::unordered_map<std::string_view, std::string_view> error_codes_;
  std::unordered_map<std::string_view, Operation> operations_;
  std::unordered_map<std::string_view, EventDefinitionNode> event_definitions_;
};

std::u16string Importer::Text(std::string_view value) const {
  if (value.size() > kMaxValueBytes)
    document_.Fail(document_.OffsetOf(value.data()),
                   "a value of " + std::to_string(value.size()) + " bytes exceeds the limit of 1 MiB");
  return platform::FromUtf8(value);
}

// The first child in the BPMN model namespace with this local name.
pugi::xml_node Importer::Child(pugi::xml_node node, std::string_view local) {
  pugi::xml_node first;
  ForEachNamed(node, Ns::kModel, local, [&](pugi::xml_node child) {
    if (!first) first = child;
  });
  return first;
}

std::u16string Importer::MessageName(std::string_view ref) const {
  const auto message = message_names_.find(ref);
  if (message == message_names_.end() || message->second.empty()) return Text(ref);
  return Text(message->second);
}

// Assigning in place keeps the default's storage; a tag the stereotype does not declare is not added.
// A stereotype declares each tag once.
void Importer::SetTag(std::vector<Tag>& tags, std::u16string_view name, std::u16string_view value) {
  const auto tag = std::ranges::find_if(tags, [name](const Tag& declared) { return declared.name == name; });
  if (tag != tags.end()) tag->value.assign(value);
}

// What names `ref` as its `what` (a connector end, a shape's element) is left out: `ref` is empty
// or names nothing that was read.
void Importer::WarnLeftOut(std::string_view kind, std::string_view id, const std::string& what,
                           std::string_view ref) {
  Warn(std::string(kind) + " \"" + std::string(id) + "\" is left out: " +
       (ref.empty() ? "it names no " + what
                    : "its " + what + " \"" + std::string(ref) + "\" names nothing that was read"));
}

void Importer::Check(pugi::xml_node node, int depth) const {
  if (depth > kMaxDepth)
    document_.Fail(node, "elements are nested deeper than " + std::to_string(kMaxDepth) + " levels");
}

Import Importer::Run() {
  const pugi::xml_node definitions = document_.Root();
  const Scope root(scopes_, definitions);
  if (root.name().ns != Ns::kModel || root.name().local != "definitions")
    document_.Fail(definitions, "not a BPMN 2.0 file: the root element is not BPMN 2.0 \"definitions\"");
  CollectRootElements(definitions);
  ForEachChild(definitions, [&](pugi::xml_node child, const Name& name) {
    if (name.ns == Ns::kModel && name.local == "collaboration") ReadCollaboration(child);
    if (name.ns == Ns::kModel && name.local == "process") ReadProcess(child);
    if (name.ns == Ns::kDi && name.local == "BPMNDiagram") ReadDiagram(child);
  });
  ResolveShapes();
  ResolveDataObjects();
  ResolveDefaults();
  const char* package_name = definitions.attribute("name").value();
  if (*package_name) return Assemble(Text(package_name));
  return Assemble(platform::FromUtf8(std::filesystem::path(document_.file()).filename().string()));
}

// Messages, errors, operations and shared event definitions are looked up by id from anywhere
// in the file, so they are gathered before the walk.
void Importer::CollectRootElements(pugi::xml_node definitions) {
  ForEachChild(definitions, [&](pugi::xml_node child, const Name& name) {
    if (name.ns == Ns::kDi && name.local == "BPMNDiagram") ReserveForDrawing(child);
    if (name.ns != Ns::kModel) return;
    const std::string_view id = child.attribute("id").value();
    if (name.local == "message") message_names_.emplace(id, child.attribute("name").value());
    if (name.local == "error") error_codes_.emplace(id, child.attribute("errorCode").value());
    if (const DefinitionKind* kind = FindDefinitionKind(name.local))
      event_definitions_.emplace(id, EventDefinitionNode{child, kind});
    if (name.local != "interface") return;
    ForEachNamed(child, Ns::kModel, "operation", [&](pugi::xml_node operation) {
      operations_.emplace(operation.attribute("id").value(),
                          Operation{operation.attribute("name").value(), ChildText(operation, "inMessageRef"),
                                    ChildText(operation, "outMessageRef")});
    });
  });
}

// A diagram draws nearly every element and connector, so its shapes and edges size the lists up
// front, with room for a few undrawn ones: growing lists this large one doubling at a time costs a
// good part of the import. Only the qualified names are looked at; this is a size hint.
void Importer::ReserveForDrawing(pugi::xml_node diagram) {
  std::size_t shapes = 0;
  std::size_t edges = 0;
  for (pugi::xml_node plane : diagram.children()) {
    for (pugi::xml_node drawn : plane.children()) {
      const std::string_view name = drawn.name();
      shapes += name.ends_with("BPMNShape") ? 1 : 0;
      edges += name.ends_with("BPMNEdge") ? 1 : 0;
    }
  }
  const auto reserve = [](auto& list, std::size_t drawn) {
    list.reserve(list.capacity() + drawn + drawn / 8);
  };
  reserve(model_.elements, shapes);
  reserve(elements_, shapes);
  reserve(model_.connectors, edges);
  reserve(connectors_, edges);
}

void Importer::ReadCollaboration(pugi::xml_node collaboration) {
  ForEachChild(collaboration, [&](pugi::xml_node child, const Name& name) {
    if (name.ns != Ns::kModel) return;
    if (name.local == "participant") {
      const std::size_t pool = AddElement(child, Stereo::kPool, Container{});
      const std::string_view process = child.attribute("processRef").value();
      if (!process.empty()) pool_of_process_.Insert(process, pool);
    } else if (name.local == "messageFlow") {
      const std::size_t flow =
          AddConnector(child, Stereo::kMessageFlow, name.local, End{child.attribute("sourceRef").value()},
                       End{child.attribute("targetRef").value()});
      const std::string_view message = child.attribute("messageRef").value();
      if (!message.empty()) SetTag(model_.connectors[flow].tags, u"Message", MessageName(message));
    } else if (const NodeKind* kind = FindNodeKind(name.local);
               kind && (kind->kind == Kind::kAssociation || kind->kind == Kind::kAnnotation ||
                        kind->kind == Kind::kGroup)) {
      ReadFlowElement(child, *kind, Container{}, 1);
    }
  });
}

// A process's flow elements, and the data inputs and outputs of its ioSpecification.
void Importer::ReadProcess(pugi::xml_node process) {
  const Container container{kNoIndex, process.attribute("id").value()};
  ForEachChild(process, [&](pugi::xml_node child, const Name& name) {
    if (name.ns != Ns::kModel) return;
    if (name.local == "ioSpecification") return ReadProcessData(child, container);
    if (const NodeKind* kind = FindNodeKind(name.local)) ReadFlowElement(child, *kind, container, 1);
  });
}

// A process's data inputs and outputs become DataObject elements where a diagram draws them, which
// only the whole file tells; an activity's own are not read.
void Importer::ReadProcessData(pugi::xml_node io_specification, const Container& container) {
  ForEachChild(io_specification, [&](pugi::xml_node child, const Name& name) {
    if (name.ns == Ns::kModel && (name.local == "dataInput" || name.local == "dataOutput"))
      elements_[AddData(child, container)].shown_when_drawn = true;
  });
}

void Importer::ReadFlowElement(pugi::xml_node node, const NodeKind& kind, const Container& container,
                               int depth) {
  switch (kind.kind) {
    case Kind::kStartEvent:
      return ReadEvent(node, AddElement(node, Stereo::kStartEvent, container), false, container);
    case Kind::kIntermediateEvent:
      return ReadEvent(node, AddElement(node, Stereo::kIntermediateEvent, container), false, container);
    case Kind::kBoundaryEvent: {
      const std::size_t index = AddElement(node, Stereo::kIntermediateEvent, container);
      model_.elements[index].base_type = u"ObjectNode";
      elements_[index].boundary = true;
      elements_[index].attached_to = node.attribute("attachedToRef").value();
      return ReadEvent(node, index, false, container);
    }
    case Kind::kEndEvent:
      return ReadEvent(node, AddElement(node, Stereo::kEndEvent, container), true, container);
    case Kind::kTask:
    case Kind::kSubProcess:
    case Kind::kAdHocSubProcess:
    case Kind::kTransaction:
    case Kind::kCallActivity: {
      const std::size_t index = AddElement(node, Stereo::kActivity, container);
      elements_[index].activity = true;
      return ReadActivity(node, kind, index, container, depth);
    }
    case Kind::kGateway:
      return ReadGateway(node, kind, AddElement(node, Stereo::kGateway, container));
    case Kind::kDataObject:
      elements_[AddData(node, container)].shown_by_reference = true;
      return;
    case Kind::kDataReference:
      return RecordReference(node, AddData(node, container));
    case Kind::kAnnotation:
      model_.elements[AddElement(node, Stereo::kTextAnnotation, container)].notes =
          Text(ChildText(node, "text"));
      return;
    case Kind::kGroup:
      AddElement(node, Stereo::kGroup, container);
      return;
    case Kind::kSequenceFlow: {
      const std::size_t flow =
          AddConnector(node, Stereo::kSequenceFlow, kind.local, End{node.attribute("sourceRef").value()},
                       End{node.attribute("targetRef").value()});
      const pugi::xml_node condition = Child(node, "conditionExpression");
      if (!condition) return;
      SetTag(model_.connectors[flow].tags, u"ConditionType", u"Expression");
      SetTag(model_.connectors[flow].tags, u"ConditionExpression", Text(condition.child_value()));
      return;
    }
    case Kind::kAssociation:
      AddConnector(node, Stereo::kAssociation, kind.local, End{node.attribute("sourceRef").value()},
                   End{node.attribute("targetRef").value()});
      return;
    case Kind::kLaneSet:
      return ReadLanes(node, container, depth + 1);
  }
}

// Lanes lie in their process's pool; a childLaneSet's lanes lie in their parent lane.
void Importer::ReadLanes(pugi::xml_node lane_set, const Container& container, int depth) {
  Check(lane_set, depth);
  ForEachNamed(lane_set, Ns::kModel, "lane", [&](pugi::xml_node lane) {
    const std::size_t index = AddElement(lane, Stereo::kLane, container);
    ForEachNamed(lane, Ns::kModel, "childLaneSet", [&](pugi::xml_node child) {
      ReadLanes(child, Container{index, container.process}, depth + 1);
    });
  });
}

void Importer::ReadEvent(pugi::xml_node node, std::size_t index, bool end, const Container& container) {
  std::u16string kinds;
  int count = 0;
  auto add = [&](const DefinitionKind& kind, pugi::xml_node definition) {
    if (count++ > 0) kinds += u',';
    kinds += kind.value;
    ApplyEventDefinition(index, kind, definition, container);
  };
  ForEachChild(node, [&](pugi::xml_node child, const Name& name) {
    if (name.ns != Ns::kModel) return;
    if (const DefinitionKind* kind = FindDefinitionKind(name.local)) {
      add(*kind, child);
    } else if (name.local == "eventDefinitionRef") {
      const auto shared = event_definitions_.find(child.child_value());
      if (shared != event_definitions_.end()) add(*shared->second.kind, shared->second.node);
    } else if (name.local == "dataInputAssociation" || name.local == "dataOutputAssociation") {
      ReadDataAssociation(child, name.local, index);
    }
  });
  const bool multiple = count > 1 || (count == 1 && IsTrue(node.attribute("parallelMultiple").value()));
  const std::u16string value = count == 0 ? u"None" : multiple ? u"Multiple" : kinds;
  SetTag(index, end ? u"Result" : u"Trigger", value);
  if (multiple) SetTag(index, end ? u"Results" : u"Triggers", kinds);
}

void Importer::ApplyEventDefinition(std::size_t index, const DefinitionKind& kind, pugi::xml_node definition,
                                    const Container& container) {
  const std::string_view local = kind.local;
  if (local == "messageEventDefinition") {
    const std::string_view message = definition.attribute("messageRef").value();
    if (!message.empty()) SetTag(index, u"Message", MessageName(message));
  } else if (local == "timerEventDefinition") {
    if (const pugi::xml_node date = Child(definition, "timeDate"))
      SetTag(index, u"TimeDate", Text(date.child_value()));
    if (const pugi::xml_node cycle = Child(definition, "timeCycle"))
      SetTag(index, u"TimeCycle", Text(cycle.child_value()));
  } else if (local == "conditionalEventDefinition") {
    SetTag(index, u"RuleName", Text(ChildText(definition, "condition")));
  } else if (local == "linkEventDefinition") {
    SetTag(index, u"LinkId", Text(definition.attribute("name").value()));
    SetTag(index, u"ProcessRef", Text(container.process));
  } else if (local == "errorEventDefinition") {
    const auto error = error_codes_.find(definition.attribute("errorRef").value());
    if (error != error_codes_.end()) SetTag(index, u"ErrorCode", Text(error->second));
  } else if (local == "compensateEventDefinition") {
    SetTag(index, u"Activity", Text(definition.attribute("activityRef").value()));
  }
}

void Importer::ReadActivity(pugi::xml_node node, const NodeKind& kind, std::size_t index,
                            const Container& container, int depth) {
  ReadActivityKind(node, kind, index);
  ReadActivityAttributes(node, kind, index);
  RecordDefault(node, index);

  const Container inner{index, container.process};
  const bool holds_elements = kind.kind != Kind::kTask && kind.kind != Kind::kCallActivity;
  if (holds_elements) Check(node, depth + 1);
  ForEachChild(node, [&](pugi::xml_node child, const Name& name) {
    if (name.ns != Ns::kModel) return;
    if (name.local == "standardLoopCharacteristics" || name.local == "multiInstanceLoopCharacteristics") {
      ReadLoop(child, name.local, index);
    } else if (name.local == "dataInputAssociation" || name.local == "dataOutputAssociation") {
      ReadDataAssociation(child, name.local, index);
    } else if (const NodeKind* nested = FindNodeKind(name.local); nested && holds_elements) {
      ReadFlowElement(child, *nested, inner, depth + 1);
    }
  });
}

// The tags that say what kind of activity it is.
void Importer::ReadActivityKind(pugi::xml_node node, const NodeKind& kind, std::size_t index) {
  const bool task = kind.kind == Kind::kTask;
  SetTag(index, u"ActivityType", task ? u"Task" : u"Sub-Process");
  if (task) SetTag(index, u"TaskType", kind.first);
  if (!task)
    SetTag(index, u"SubProcessType", kind.kind == Kind::kCallActivity ? u"Independent" : u"Embedded");
  if (kind.kind == Kind::kCallActivity)
    SetTag(index, u"DiagramRef", Text(node.attribute("calledElement").value()));
  if (kind.kind == Kind::kTransaction) SetTag(index, u"IsATransaction", u"true");
  if (kind.kind == Kind::kAdHocSubProcess) {
    SetTag(index, u"AdHoc", u"true");
    SetTag(index, u"AdHocCompletionCondition", Text(ChildText(node, "completionCondition")));
    if (const pugi::xml_attribute ordering = node.attribute("ordering"))
      SetTag(index, u"AdHocOrdering", Text(ordering.value()));
  }
}

// The tags every activity takes from its attributes, its messages and its operation.
void Importer::ReadActivityAttributes(pugi::xml_node node, const NodeKind& kind, std::size_t index) {
  const char* start_quantity = node.attribute("startQuantity").value();
  SetTag(index, u"StartQuantity", *start_quantity ? Text(start_quantity) : u"1");
  SetTag(index, u"IsCompensation", IsTrue(node.attribute("isForCompensation").value()) ? u"true" : u"false");
  const std::string_view implementation = node.attribute("implementation").value();
  SetTag(index, u"Implementation",
         implementation == "##WebService"                              ? u"Web Service"
         : implementation.empty() || implementation == "##unspecified" ? u"Unspecified"
                                                                       : u"Other");
  if (kind.first == u"Send" || kind.first == u"Receive") {
    const std::string_view message = node.attribute("messageRef").value();
    if (!message.empty()) SetTag(index, u"Message", MessageName(message));
  }
  if (const auto operation = operations_.find(node.attribute("operationRef").value());
      operation != operations_.end()) {
    const Operation& found = operation->second;
    SetTag(index, u"WebService", Text(found.name.empty() ? operation->first : found.name));
    if (!found.in_message.empty()) SetTag(index, u"InMessage", MessageName(found.in_message));
    if (!found.out_message.empty()) SetTag(index, u"OutMessage", MessageName(found.out_message));
  }
}

void Importer::ReadLoop(pugi::xml_node loop, std::string_view local, std::size_t index) {
  if (local == "standardLoopCharacteristics") {
    SetTag(index, u"LoopType", u"Standard");
    SetTag(index, u"LoopCondition", Text(ChildText(loop, "loopCondition")));
    SetTag(index, u"LoopMaximum", Text(loop.attribute("loopMaximum").value()));
    SetTag(index, u"LoopTestTime", IsTrue(loop.attribute("testBefore").value()) ? u"Before" : u"After");
    return;
  }
  SetTag(index, u"LoopType", u"MultiInstance");
  SetTag(index, u"MI_Ordering", IsTrue(loop.attribute("isSequential").value()) ? u"Sequential" : u"Parallel");
  const pugi::xml_node cardinality = Child(loop, "loopCardinality");
  SetTag(index, u"MI_Condition",
         Text(cardinality ? cardinality.child_value() : ChildText(loop, "completionCondition")));
  if (const pugi::xml_attribute behavior = loop.attribute("behavior"))
    SetTag(index, u"MI_FlowCondition", Text(behavior.value()));
  const pugi::xml_node complex = Child(loop, "complexBehaviorDefinition");
  if (complex) SetTag(index, u"ComplexMI_FlowCondition", Text(ChildText(complex, "condition")));
}

void Importer::ReadGateway(pugi::xml_node node, const NodeKind& kind, std::size_t index) {
  SetTag(index, u"GatewayType", kind.first);
  if (!kind.second.empty()) SetTag(index, u"XORType", kind.second);
  if (kind.first == u"Complex")
    SetTag(index, u"IncomingCondition", Text(ChildText(node, "activationCondition")));
  elements_[index].marker_from_shape = kind.second == u"Data";
  RecordDefault(node, index);
}

std::size_t Importer::AddData(pugi::xml_node node, const Container& container) {
  const std::size_t index = AddElement(node, Stereo::kDataObject, container);
  if (const pugi::xml_node state = Child(node, "dataState"))
    SetTag(index, u"State", Text(state.attribute("name").value()));
  return index;
}

// A reference shows the dataObject or dataStore it names, and association ends naming that go to it.
void Importer::RecordReference(pugi::xml_node reference, std::size_t index) {
  for (const char* attribute : {"dataObjectRef", "dataStoreRef"}) {
    const std::string_view shown = reference.attribute(attribute).value();
    if (shown.empty()) continue;
    if (references_.Insert(shown, shown_by_.size())) shown_by_.emplace_back();
    shown_by_[references_.Find(shown)].push_back(index);
  }
}

// Data flows into the owning activity or event from each sourceRef, and out of it to the targetRef.
void Importer::ReadDataAssociation(pugi::xml_node association, std::string_view local, std::size_t owner) {
  const End here{{}, owner};
  if (local == "dataOutputAssociation") {
    AddConnector(association, Stereo::kAssociation, local, here, End{ChildText(association, "targetRef")});
    return;
  }
  bool any = false;
  ForEachNamed(association, Ns::kModel, "sourceRef", [&](pugi::xml_node source) {
    AddConnector(association, Stereo::kAssociation, local, End{source.child_value()}, here);
    any = true;
  });
  if (!any) AddConnector(association, Stereo::kAssociation, local, End{}, here);
}

void Importer::ReadDiagram(pugi::xml_node diagram) {
  PendingDiagram pending;
  pending.name = Text(diagram.attribute("name").value());
  pending.key = Text(diagram.attribute("id").value());
  ForEachNamed(diagram, Ns::kDi, "BPMNPlane", [&](pugi::xml_node plane) {
    ForEachNamed(plane, Ns::kDi, "BPMNShape", [&](pugi::xml_node shape) {
      Shape& entry = pending.shapes.emplace_back();
      entry.id = shape.attribute("id").value();
      entry.element = shape.attribute("bpmnElement").value();
      if (const pugi::xml_attribute marker = shape.attribute("isMarkerVisible"))
        entry.marker_visible = marker.value();
      ForEachNamed(shape, Ns::kDc, "Bounds", [&](pugi::xml_node bounds) {
        entry.bounds = ReadBounds(bounds);
        const Bounds& b = *entry.bounds;
        // "nan" and "inf" parse as numbers, but no model file can hold them.
        if (!std::isfinite(b.x) || !std::isfinite(b.y) || !std::isfinite(b.width) || !std::isfinite(b.height))
          document_.Fail(bounds, "a coordinate of the bounds is not a finite number");
      });
    });
    ForEachNamed(plane, Ns::kDi, "BPMNEdge", [&](pugi::xml_node edge) {
      const std::string_view connector = edge.attribute("bpmnElement").value();
      if (!connector.empty()) pending.edges.push_back(connector);
    });
  });
  diagrams_.push_back(std::move(pending));
}

std::size_t Importer::AddElement(pugi::xml_node node, Stereo stereo, const Container& container) {
  const Template& entry = templates_[static_cast<std::size_t>(stereo)];
  const std::size_t index = elements_.size();
  PendingElement& element = elements_.emplace_back();
  element.bpmn_id = node.attribute("id").value();
  element.container = container;
  element_by_id_.Prefetch(element.bpmn_id);  // inserted below, once the slot has had time to load
  ElementData& data = model_.elements.emplace_back();
  data.package = kFilePackage;
  data.stereotype = entry.stereotype;
  data.metatype = entry.metatype;
  data.tags = entry.tags;
  data.key = Text(element.bpmn_id);
  data.name = Text(node.attribute("name").value());
  if (!element.bpmn_id.empty() && !element_by_id_.Insert(element.bpmn_id, index))
    Warn("the id \"" + std::string(element.bpmn_id) + "\" is used twice; references go to the first");
  return index;
}

std::size_t Importer::AddConnector(pugi::xml_node node, Stereo stereo, std::string_view kind, End source,
                                   End target) {
  const Template& entry = templates_[static_cast<std::size_t>(stereo)];
  const std::string_view bpmn_id = node.attribute("id").value();
  connectors_.push_back({stereo, kind, bpmn_id, source, target});
  ConnectorData& data = model_.connectors.emplace_back();
  data.stereotype = entry.stereotype;
  data.tags = entry.tags;
  data.key = Text(bpmn_id);
  data.name = Text(node.attribute("name").value());
  return connectors_.size() - 1;
}

void Importer::RecordDefault(pugi::xml_node node, std::size_t index) {
  const std::string_view flow = node.attribute("default").value();
  if (!flow.empty()) default_flows_.Insert(flow, index);
}

std::size_t Importer::FindElement(std::string_view ref) const { return Kept(FindId(element_by_id_, ref)); }

std::size_t Importer::Kept(std::size_t element) const {
  return element == kNoIndex || elements_[element].dropped ? kNoIndex : element;
}

std::size_t Importer::ParentOf(const PendingElement& element) {
  const std::size_t activity = element.boundary ? AttachedActivity(element) : kNoIndex;
  if (activity != kNoIndex) return activity;
  if (element.container.element != kNoIndex) return element.container.element;
  return pool_of_process_.Find(element.container.process);
}

// The activity a boundary event is attached to; kNoIndex, with a warning, when it names none, and
// the event stays in its container.
std::size_t Importer::AttachedActivity(const PendingElement& event) {
  const std::size_t activity = FindElement(event.attached_to);
  if (activity != kNoIndex && elements_[activity].activity) return activity;
  Warn("boundaryEvent \"" + std::string(event.bpmn_id) + "\" is kept in its container: " +
       (event.attached_to.empty() ? std::string("it has no attachedToRef")
                                  : "its attachedToRef \"" + std::string(event.attached_to) +
                                        "\" names no activity that was read"));
  return kNoIndex;
}

// A dataObject is shown through its references; it becomes an element only when none refers to it.
// A process data input or output becomes one only when a diagram draws it.
void Importer::ResolveDataObjects() {
  const std::vector<bool> drawn = Drawn();
  for (std::size_t i = 0; i < elements_.size(); ++i) {
    PendingElement& element = elements_[i];
    element.dropped = (element.shown_by_reference && references_.Find(element.bpmn_id) != IdTable::kAbsent) ||
                      (element.shown_when_drawn && !drawn[i]);
  }
}

// Each shape's element is looked up once; later steps test only whether it was dropped.
void Importer::ResolveShapes() {
  for (PendingDiagram& diagram : diagrams_) {
    std::vector<Shape>& shapes = diagram.shapes;
    for (std::size_t i = 0; i < shapes.size(); ++i) {
      if (i + kLookAhead < shapes.size()) element_by_id_.Prefetch(shapes[i + kLookAhead].element);
      shapes[i].element_index = FindElement(shapes[i].element);
    }
  }
}

// Whether some diagram places each pending element.
std::vector<bool> Importer::Drawn() const {
  std::vector<bool> drawn(elements_.size(), false);
  for (const PendingDiagram& diagram : diagrams_)
    for (const Shape& shape : diagram.shapes)
      if (shape.element_index != kNoIndex) drawn[shape.element_index] = true;
  return drawn;
}

void Importer::ResolveDefaults() {
  for (std::size_t i = 0; i < connectors_.size(); ++i) {
    const PendingConnector& connector = connectors_[i];
    if (connector.stereo != Stereo::kSequenceFlow) continue;
    const std::size_t naming = default_flows_.Find(connector.bpmn_id);
    if (naming == IdTable::kAbsent || FindElement(connector.source.ref) != naming) continue;
    SetTag(model_.connectors[i].tags, u"ConditionType", u"Default");
  }
}

// The reference that shows a dataObject or dataStore: with several, the first placed on a diagram
// that draws the connector, else the first.
std::size_t Importer::DrawnReference(std::string_view object, std::string_view connector) const {
  const std::size_t references = FindId(references_, object);
  if (references == IdTable::kAbsent) return kNoIndex;
  const std::vector<std::size_t>& shown_by = shown_by_[references];
  const auto drawn =
      std::ranges::find_if(shown_by, [&](std::size_t reference) { return DrawnWith(reference, connector); });
  return drawn == shown_by.end() ? shown_by.front() : *drawn;
}

// True when one diagram places the element and draws the connector.
bool Importer::DrawnWith(std::size_t element, std::string_view connector) const {
  return std::ranges::any_of(diagrams_, [&](const PendingDiagram& diagram) {
    return std::ranges::find(diagram.edges, connector) != diagram.edges.end() &&
           std::ranges::any_of(diagram.shapes,
                               [&](const Shape& shape) { return Kept(shape.element_index) == element; });
  });
}

// An association end that names a dataObject or dataStore shown by references goes to one of them.
bool Importer::ResolveEnd(End& end, const PendingConnector& connector) const {
  if (end.element == kNoIndex) end.element = FindElement(end.ref);
  if (end.element == kNoIndex && connector.stereo == Stereo::kAssociation)
    end.element = DrawnReference(end.ref, connector.bpmn_id);
  return end.element != kNoIndex;
}

Import Importer::Assemble(std::u16string package_name) {
  model_.host.model_location = platform::FromUtf8(document_.file());
  model_.technologies.push_back(technology_.id);
  model_.packages = {{kModelPackage, u"Model", 0}, {kFilePackage, std::move(package_name), kModelPackage}};
  model_.selected_package = kFilePackage;
  const std::vector<std::int32_t> ids = AssembleElements();
  AssembleConnectors(ids);
  AssembleDiagrams(ids);
  model_.active_diagram = model_.diagrams.front().id;
  return {std::move(model_), std::move(warnings_)};
}

// Hands out element ids in document order, skipping dropped elements, and removes those from the
// model; returns the id of each pending element (0 for a dropped one).
std::vector<std::int32_t> Importer::AssembleElements() {
  std::vector<std::int32_t> ids(elements_.size(), 0);
  std::int32_t next = 0;
  for (std::size_t i = 0; i < elements_.size(); ++i)
    if (!elements_[i].dropped) ids[i] = ++next;
  for (std::size_t i = 0; i < elements_.size(); ++i) {
    const std::size_t parent = ParentOf(elements_[i]);
    model_.elements[i].id = ids[i];
    model_.elements[i].parent = parent == kNoIndex ? 0 : ids[parent];
  }
  std::erase_if(model_.elements, [](const ElementData& element) { return element.id == 0; });
  return ids;
}

// Connectors whose ends name nothing that was read are left out, with a warning; the others are
// numbered in document order.
void Importer::AssembleConnectors(const std::vector<std::int32_t>& ids) {
  std::int32_t next = 0;
  for (std::size_t i = 0; i < connectors_.size(); ++i) {
    if (i + kLookAhead < connectors_.size()) {
      element_by_id_.Prefetch(connectors_[i + kLookAhead].source.ref);
      element_by_id_.Prefetch(connectors_[i + kLookAhead].target.ref);
    }
    PendingConnector& connector = connectors_[i];
    if (!ResolveEnd(connector.source, connector) || !ResolveEnd(connector.target, connector)) {
      const bool source = connector.source.element == kNoIndex;
      WarnLeftOut(connector.kind, connector.bpmn_id, source ? "source" : "target",
                  source ? connector.source.ref : connector.target.ref);
      continue;
    }
    ConnectorData& data = model_.connectors[i];
    data.id = ++next;
    data.source = ids[connector.source.element];
    data.target = ids[connector.target.element];
  }
  std::erase_if(model_.connectors, [](const ConnectorData& connector) { return connector.id == 0; });
}

// One diagram per BPMNDiagram; without any, one diagram placing every element.
void Importer::AssembleDiagrams(const std::vector<std::int32_t>& ids) {
  auto add = [&](std::u16string name, std::u16string key) -> DiagramData& {
    DiagramData& diagram = model_.diagrams.emplace_back();
    diagram.id = static_cast<std::int32_t>(model_.diagrams.size());
    diagram.package = kFilePackage;
    diagram.name =
        name.empty() ? u"Diagram " + platform::FromUtf8(std::to_string(diagram.id)) : std::move(name);
    diagram.key = std::move(key);
    return diagram;
  };
  for (PendingDiagram& pending : diagrams_) {
    DiagramData& diagram = add(std::move(pending.name), std::move(pending.key));
    for (const Shape& shape : pending.shapes) {
      const std::size_t element = Kept(shape.element_index);
      if (element == kNoIndex) {
        WarnLeftOut("BPMNShape", shape.id, "element", shape.element);
        continue;
      }
      diagram.placements.push_back(ids[element]);
      diagram.bounds.push_back(shape.bounds);
      if (!shape.marker_visible || !elements_[element].marker_from_shape) continue;
      SetTag(model_.elements[static_cast<std::size_t>(ids[element] - 1)].tags, u"MarkerVisible",
             IsTrue(shape.marker_visible) ? u"true" : u"false");
      elements_[element].marker_from_shape = false;
    }
  }
  if (!model_.diagrams.empty()) return;
  DiagramData& diagram = add({}, {});
  for (const ElementData& element : model_.elements) diagram.placements.push_back(element.id);
}

}  // namespace

Import ImportText(std::string bytes, const std::string& file, const Technology& technology) {
  const Document document(std::move(bytes), file);
  return Importer(document, technology).Run();
}

Import ImportFile(const std::string& path, const Technology& technology) {
  return ImportText(kelvo::ReadFile(path), path, technology);
}

bool IsBpmnPath(std::string_view path) {
  std::string extension = std::filesystem::path(path).extension().string();
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return extension == ".bpmn" || extension == ".bpmn2" || extension == ".xml";
}

}  // namespace bpmn
