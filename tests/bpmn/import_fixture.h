// Shared by the BPMN import tests: a small technology declaring the stereotypes and tags the
// import fills, BPMN definitions around a snippet, the checks every imported model must pass,
// and facts of an import as text, so that tables can list them.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

#include "bpmn/document.h"
#include "bpmn/import.h"
#include "kelvo/input.h"
#include "platform/text.h"

namespace bpmn_test {

inline std::string U8(std::u16string_view text) { return platform::ToUtf8(text); }

inline std::u16string U16(std::string_view text) { return platform::FromUtf8(text); }

inline std::vector<std::string> Split(std::string_view text, std::string_view separator) {
  std::vector<std::string> parts;
  for (std::size_t at = 0, end = 0; at <= text.size(); at = end + separator.size()) {
    end = std::min(text.find(separator, at), text.size());
    parts.emplace_back(text.substr(at, end - at));
  }
  return parts;
}

// Each stereotype with its tags as "Name=default", in declared order. Where the import writes a
// value whatever the file says, the default is empty, so a value written tells from a default kept.
inline kelvo::Technology SmallTechnology() {
  const std::pair<const char*, const char*> stereotypes[] = {
      {"Activity",
       "ActivityType= AdHoc=false AdHocCompletionCondition= AdHocOrdering=Parallel Categories= "
       "ComplexMI_FlowCondition= DiagramRef= Implementation= IsATransaction=false IsCompensation= "
       "LoopCondition= LoopMaximum= LoopTestTime=After LoopType=None MI_Condition= MI_FlowCondition=All "
       "MI_Ordering=Sequential StartQuantity= Status=None SubProcessType= TaskType= Message= InMessage= "
       "OutMessage= WebService="},
      {"StartEvent",
       "Categories= LinkId= TimeCycle= TimeDate= Trigger= Triggers= RuleName= Message= ProcessRef="},
      {"IntermediateEvent",
       "Categories= ErrorCode= LinkId= TimeCycle= TimeDate= Trigger=Message Triggers= RuleName= Message= "
       "ProcessRef= Activity="},
      {"EndEvent", "Categories= ErrorCode= LinkId= Result= Results= Message= ProcessRef= Activity="},
      {"Gateway", "Categories= GatewayType= IncomingCondition= MarkerVisible=false XORType="},
      {"SequenceFlow", "ConditionExpression= ConditionType=None Quantity=1"},
      {"MessageFlow", "Categories= Message="},
      {"Association", "Categories="},
      {"Pool", "Categories= Process="},
      {"Lane", "Categories= ParentLane="},
      {"DataObject", "Categories= RequiredForStart=true State="},
      {"Group", "Categories="},
      {"TextAnnotation", "Categories="},
  };
  kelvo::Technology technology;
  technology.id = u"BPMN";
  technology.profiles.emplace_back();
  for (const auto& [name, tags] : stereotypes) {
    kelvo::Stereotype& stereotype = technology.profiles.back().stereotypes.emplace_back();
    stereotype.name = stereotype.metatype = U16(name);
    for (const std::string& tag : Split(tags, " ")) {
      const std::size_t equals = tag.find('=');
      stereotype.tags.push_back({U16(tag.substr(0, equals)), u"", u"", U16(tag.substr(equals + 1))});
    }
  }
  return technology;
}

inline const kelvo::Technology& Small() {
  static const kelvo::Technology technology = SmallTechnology();
  return technology;
}

inline const std::string kModelNs(bpmn::kModelNamespace);

// Definitions with the BPMN model as the default namespace and bpmndi / dc bound, around `body`.
inline std::string Definitions(std::string_view body, std::string_view attributes = "") {
  return "<?xml version='1.0' encoding='UTF-8'?>\n<definitions xmlns='" + kModelNs + "' xmlns:bpmndi='" +
         std::string(bpmn::kDiNamespace) + "' xmlns:dc='" + std::string(bpmn::kDcNamespace) + "' id='D'" +
         std::string(attributes) + ">\n" + std::string(body) + "\n</definitions>\n";
}

inline std::string Process(std::string_view body, std::string_view id = "Process_1") {
  return "<process id='" + std::string(id) + "'>" + std::string(body) + "</process>";
}

inline bpmn::Import Import(const std::string& xml, const std::string& file = "test.bpmn") {
  return bpmn::ImportText(xml, file, Small());
}

// What every import must give: dense ids in document order; parents, connector ends and
// placements that exist; everything in the file's package; and each element and connector with
// exactly the tags its stereotype declares, in declared order.
inline void ExpectConsistent(const kelvo::ModelData& model, const std::string& file) {
  SCOPED_TRACE(file);
  std::unordered_set<std::int32_t> ids;
  for (std::size_t i = 0; i < model.elements.size(); ++i) {
    ASSERT_EQ(model.elements[i].id, static_cast<std::int32_t>(i + 1));
    ids.insert(model.elements[i].id);
  }
  auto expect_declared = [](const std::u16string& stereotype, const std::vector<kelvo::Tag>& tags) {
    const kelvo::Stereotype* declared = Small().FindStereotype(stereotype);
    ASSERT_NE(declared, nullptr) << U8(stereotype);
    ASSERT_EQ(tags.size(), declared->tags.size()) << U8(stereotype);
    for (std::size_t i = 0; i < tags.size(); ++i) EXPECT_EQ(tags[i].name, declared->tags[i].name);
  };
  for (const kelvo::ElementData& element : model.elements) {
    SCOPED_TRACE(U8(element.key));
    EXPECT_TRUE(element.parent == 0 || (ids.contains(element.parent) && element.parent != element.id));
    EXPECT_EQ(element.package, model.selected_package);
    EXPECT_EQ(element.metatype, element.stereotype);
    expect_declared(element.stereotype, element.tags);
  }
  for (const kelvo::ConnectorData& connector : model.connectors) {
    SCOPED_TRACE(U8(connector.key));
    EXPECT_TRUE(ids.contains(connector.source) && ids.contains(connector.target));
    expect_declared(connector.stereotype, connector.tags);
  }
  ASSERT_FALSE(model.diagrams.empty());
  for (const kelvo::DiagramData& diagram : model.diagrams) {
    EXPECT_EQ(diagram.package, model.selected_package);
    for (std::int32_t placed : diagram.placements) EXPECT_TRUE(ids.contains(placed));
  }
  EXPECT_EQ(U8(model.host.model_location), file);
}

// The items, each as text, joined by `separator`.
template <class Items, class Text>
std::string Join(const Items& items, Text text, std::string_view separator = " ") {
  std::string joined;
  for (const auto& item : items) joined += (joined.empty() ? "" : std::string(separator)) + text(item);
  return joined;
}

// The shortest text that reads back as the same value: 100.5, 7.
inline std::string Number(double value) {
  char text[32];
  return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}

// The key of the element with that id; "-" for none.
inline std::string KeyOf(const kelvo::ModelData& model, std::int32_t id) {
  const auto found = std::ranges::find(model.elements, id, &kelvo::ElementData::id);
  return found == model.elements.end() ? "-" : U8(found->key);
}

// The value of the tag of that name, or "<absent>".
inline std::string TagOf(const std::vector<kelvo::Tag>& tags, std::string_view name) {
  std::string value = "<absent>";
  for (const kelvo::Tag& tag : tags)
    if (U8(tag.name) == name) value = U8(tag.value);
  return value;
}

// "[*]key name: placed(x,y,width,height) ...", the star marking the active diagram.
inline std::string DiagramText(const kelvo::ModelData& model, const kelvo::DiagramData& diagram) {
  std::string text =
      (diagram.id == model.active_diagram ? "*" : "") + U8(diagram.key) + " " + U8(diagram.name) + ":";
  for (std::size_t i = 0; i < diagram.placements.size(); ++i) {
    text += " " + KeyOf(model, diagram.placements[i]);
    if (i >= diagram.bounds.size() || !diagram.bounds[i]) continue;
    const kelvo::Bounds& bounds = *diagram.bounds[i];
    text += "(" + Join(std::vector{bounds.x, bounds.y, bounds.width, bounds.height}, Number, ",") + ")";
  }
  return text;
}

// A field of an element or connector by name, else the value of its tag so named.
inline std::string FieldOf(const kelvo::ModelData& model, const kelvo::ElementData& element,
                           std::string_view field) {
  if (field == "parent") return KeyOf(model, element.parent);
  if (field == "base") return U8(element.base_type);
  if (field == "notes") return U8(element.notes);
  if (field == "name") return U8(element.name);
  return TagOf(element.tags, field);
}

inline std::string FieldOf(const kelvo::ModelData& model, const kelvo::ConnectorData& connector,
                           std::string_view field) {
  if (field == "ends") return KeyOf(model, connector.source) + "->" + KeyOf(model, connector.target);
  return TagOf(connector.tags, field);
}

// The parts of an element or connector that `parts` names, separated by "; ": a part without
// "=" stands for the stereotype, "FIELD=..." for that field (see FieldOf) or tag.
template <class Object>
std::string PartsOf(const kelvo::ModelData& model, const Object& object, std::string_view parts) {
  return Join(
      Split(parts, "; "),
      [&](const std::string& part) {
        const std::size_t equals = part.find('=');
        if (equals == std::string::npos) return U8(object.stereotype);
        return part.substr(0, equals + 1) + FieldOf(model, object, part.substr(0, equals));
      },
      "; ");
}

// What the import shows of `subject`, in the form of `expected`: "elements" and "connectors"
// (id:key of each, in order), "packages" (id:name^parent of each), "diagrams" and "warnings"
// (one a line), else the parts of the element or connector keyed so.
inline std::string Shown(const bpmn::Import& imported, std::string_view subject, std::string_view expected) {
  const kelvo::ModelData& model = imported.model;
  auto id_key = [](const auto& item) { return std::to_string(item.id) + ":" + U8(item.key); };
  if (subject == "elements") return Join(model.elements, id_key);
  if (subject == "connectors") return Join(model.connectors, id_key);
  if (subject == "packages")
    return Join(model.packages, [](const kelvo::PackageData& package) {
      return std::to_string(package.id) + ":" + U8(package.name) + "^" + std::to_string(package.parent);
    });
  if (subject == "diagrams")
    return Join(
        model.diagrams, [&](const kelvo::DiagramData& diagram) { return DiagramText(model, diagram); }, "\n");
  if (subject == "warnings") return Join(imported.warnings, std::identity(), "\n");
  const std::u16string key = U16(subject);
  if (const auto element = std::ranges::find(model.elements, key, &kelvo::ElementData::key);
      element != model.elements.end())
    return PartsOf(model, *element, expected);
  const auto connector = std::ranges::find(model.connectors, key, &kelvo::ConnectorData::key);
  return connector == model.connectors.end() ? "<nothing so keyed>" : PartsOf(model, *connector, expected);
}

// A fact "SUBJECT: EXPECTED" as the import shows it.
inline std::string Fact(const bpmn::Import& imported, std::string_view fact) {
  const std::size_t colon = std::min(fact.find(": "), fact.size());
  const std::string_view subject = fact.substr(0, colon);
  return std::string(subject) + ": " +
         Shown(imported, subject, fact.substr(std::min(colon + 2, fact.size())));
}

}  // namespace bpmn_test
