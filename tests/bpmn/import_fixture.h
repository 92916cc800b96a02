// Shared by the BPMN import tests: a small technology declaring the stereotypes and tags the
// import fills, documents wrapped in BPMN definitions, and lookups into the imported model.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "bpmn/document.h"
#include "bpmn/import.h"
#include "kelvo/input.h"
#include "platform/text.h"

namespace bpmn_test {

// Each stereotype with its tags as "Name=default", in declared order. Some defaults differ from
// what a file gives, so a test can tell a default kept from a value read.
inline kelvo::Technology SmallTechnology() {
  const std::vector<std::pair<std::u16string, std::vector<std::u16string>>> stereotypes = {
      {u"Activity",
       {u"ActivityType=Task",
        u"AdHoc=false",
        u"AdHocCompletionCondition=",
        u"AdHocOrdering=Parallel",
        u"Categories=",
        u"ComplexMI_FlowCondition=",
        u"DiagramRef=",
        u"Implementation=Unspecified",
        u"IsATransaction=false",
        u"IsCompensation=false",
        u"LoopCondition=",
        u"LoopMaximum=",
        u"LoopTestTime=After",
        u"LoopType=None",
        u"MI_Condition=",
        u"MI_FlowCondition=All",
        u"MI_Ordering=Sequential",
        u"StartQuantity=1",
        u"Status=None",
        u"SubProcessType=Embedded",
        u"TaskType=None",
        u"Message=",
        u"InMessage=",
        u"OutMessage=",
        u"WebService="}},
      {u"StartEvent",
       {u"Categories=", u"LinkId=", u"TimeCycle=", u"TimeDate=", u"Trigger=None", u"Triggers=", u"RuleName=",
        u"Message=", u"ProcessRef="}},
      {u"IntermediateEvent",
       {u"Categories=", u"ErrorCode=", u"LinkId=", u"TimeCycle=", u"TimeDate=", u"Trigger=Message",
        u"Triggers=", u"RuleName=", u"Message=", u"ProcessRef=", u"Activity="}},
      {u"EndEvent",
       {u"Categories=", u"ErrorCode=", u"LinkId=", u"Result=None", u"Results=", u"Message=", u"ProcessRef=",
        u"Activity="}},
      {u"Gateway",
       {u"Categories=", u"GatewayType=XOR", u"IncomingCondition=", u"MarkerVisible=false", u"XORType=Data"}},
      {u"SequenceFlow", {u"ConditionExpression=", u"ConditionType=None", u"Quantity=1"}},
      {u"MessageFlow", {u"Categories=", u"Message="}},
      {u"Association", {u"Categories="}},
      {u"Pool", {u"Categories=", u"Process="}},
      {u"Lane", {u"Categories=", u"ParentLane="}},
      {u"DataObject", {u"Categories=", u"RequiredForStart=true", u"State="}},
      {u"Group", {u"Categories="}},
      {u"TextAnnotation", {u"Categories="}},
  };
  kelvo::Technology technology;
  technology.id = u"BPMN";
  technology.profiles.emplace_back();
  for (const auto& [name, tags] : stereotypes) {
    kelvo::Stereotype stereotype;
    stereotype.name = name;
    stereotype.metatype = name;
    for (const std::u16string& tag : tags) {
      const std::size_t equals = tag.find(u'=');
      stereotype.tags.push_back({tag.substr(0, equals), u"", u"", tag.substr(equals + 1)});
    }
    technology.profiles.back().stereotypes.push_back(std::move(stereotype));
  }
  return technology;
}

inline const kelvo::Technology& Small() {
  static const kelvo::Technology technology = SmallTechnology();
  return technology;
}

// A definitions element in the BPMN namespace (prefix bpmn) with DI and DC bound, around `body`.
inline const std::string kModelNs(bpmn::kModelNamespace);

inline std::string Definitions(std::string_view body, std::string_view attributes = "") {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<bpmn:definitions xmlns:bpmn=\"" + kModelNs +
         "\" xmlns:bpmndi=\"" + std::string(bpmn::kDiNamespace) + "\" xmlns:dc=\"" +
         std::string(bpmn::kDcNamespace) + "\" id=\"Definitions_1\"" + std::string(attributes) +
         ">\n" + std::string(body) + "\n</bpmn:definitions>\n";
}

inline std::string Process(std::string_view body, std::string_view id = "Process_1") {
  return "<bpmn:process id=\"" + std::string(id) + "\">" + std::string(body) + "</bpmn:process>";
}

inline bpmn::Import Import(const std::string& xml, const kelvo::Technology& technology = Small()) {
  return bpmn::ImportText(xml, "test.bpmn", technology);
}

inline std::string U8(std::u16string_view text) { return platform::ToUtf8(text); }
inline std::u16string U16(std::string_view text) { return platform::FromUtf8(text); }

inline const kelvo::ElementData* FindByKey(const kelvo::ModelData& model, std::string_view key) {
  const std::u16string wanted = U16(key);
  const auto found = std::find_if(model.elements.begin(), model.elements.end(),
                                  [&](const kelvo::ElementData& element) { return element.key == wanted; });
  return found == model.elements.end() ? nullptr : &*found;
}

inline const kelvo::ConnectorData* FindConnector(const kelvo::ModelData& model, std::string_view key) {
  const std::u16string wanted = U16(key);
  const auto found =
      std::find_if(model.connectors.begin(), model.connectors.end(),
                   [&](const kelvo::ConnectorData& connector) { return connector.key == wanted; });
  return found == model.connectors.end() ? nullptr : &*found;
}

// The value of the last tag of that name (the one that wins), or "<absent>".
inline std::string TagOf(const std::vector<kelvo::Tag>& tags, std::string_view name) {
  const std::u16string wanted = U16(name);
  std::string value = "<absent>";
  for (const kelvo::Tag& tag : tags)
    if (tag.name == wanted) value = U8(tag.value);
  return value;
}

}  // namespace bpmn_test
