// The BPMN 2.0 mapping: stereotypes and tags of events, activities, gateways and flows;
// containment; data objects; dropped connectors; diagrams; defaults from the technology.
#include "bpmn/import.h"

#include <gtest/gtest.h>

#include "bpmn/import_fixture.h"

namespace {

using namespace bpmn_test;

struct TagCase {
  const char* name;
  std::string body;   // process content; the element under test has id "X"
  std::string extra;  // root elements after the process
  std::string stereotype;
  std::vector<std::pair<std::string, std::string>> tags;
};

void PrintTo(const TagCase& c, std::ostream* out) { *out << c.name; }

class ElementTags : public testing::TestWithParam<TagCase> {};

TEST_P(ElementTags, ReadsStereotypeAndTags) {
  const TagCase& c = GetParam();
  const bpmn::Import imported = Import(Definitions(Process(c.body) + c.extra));
  const kelvo::ElementData* element = FindByKey(imported.model, "X");
  ASSERT_NE(element, nullptr);
  EXPECT_EQ(U8(element->stereotype), c.stereotype);
  for (const auto& [tag, value] : c.tags) EXPECT_EQ(TagOf(element->tags, tag), value) << tag;
}

const std::string kMessages =
    "<bpmn:message id=\"M1\" name=\"Order\"/><bpmn:message id=\"M2\"/>"
    "<bpmn:error id=\"E1\" errorCode=\"E-42\"/><bpmn:timerEventDefinition id=\"TD\"/>";

INSTANTIATE_TEST_SUITE_P(
    Events, ElementTags,
    testing::Values(
        TagCase{"start_none", "<bpmn:startEvent id=\"X\"/>", "", "StartEvent", {{"Trigger", "None"}}},
        TagCase{"intermediate_none_overrides_default",
                "<bpmn:intermediateThrowEvent id=\"X\"/>",
                "",
                "IntermediateEvent",
                {{"Trigger", "None"}}},
        TagCase{
            "message_named",
            "<bpmn:startEvent id=\"X\"><bpmn:messageEventDefinition messageRef=\"M1\"/></bpmn:startEvent>",
            kMessages,
            "StartEvent",
            {{"Trigger", "Message"}, {"Message", "Order"}}},
        TagCase{"message_unnamed_gives_id",
                "<bpmn:intermediateCatchEvent id=\"X\"><bpmn:messageEventDefinition "
                "messageRef=\"M2\"/></bpmn:intermediateCatchEvent>",
                kMessages,
                "IntermediateEvent",
                {{"Trigger", "Message"}, {"Message", "M2"}}},
        TagCase{
            "timer_date",
            "<bpmn:startEvent id=\"X\"><bpmn:timerEventDefinition><bpmn:timeDate>2026-01-01</bpmn:timeDate>"
            "</bpmn:timerEventDefinition></bpmn:startEvent>",
            "",
            "StartEvent",
            {{"Trigger", "Timer"}, {"TimeDate", "2026-01-01"}, {"TimeCycle", ""}}},
        TagCase{"timer_cycle",
                "<bpmn:intermediateCatchEvent id=\"X\"><bpmn:timerEventDefinition><bpmn:timeCycle>R3/PT1H"
                "</bpmn:timeCycle></bpmn:timerEventDefinition></bpmn:intermediateCatchEvent>",
                "",
                "IntermediateEvent",
                {{"Trigger", "Timer"}, {"TimeCycle", "R3/PT1H"}}},
        TagCase{"conditional_is_rule",
                "<bpmn:startEvent id=\"X\"><bpmn:conditionalEventDefinition><bpmn:condition>stock &lt; 5"
                "</bpmn:condition></bpmn:conditionalEventDefinition></bpmn:startEvent>",
                "",
                "StartEvent",
                {{"Trigger", "Rule"}, {"RuleName", "stock < 5"}}},
        TagCase{"link_names_process",
                "<bpmn:intermediateThrowEvent id=\"X\"><bpmn:linkEventDefinition name=\"L\"/>"
                "</bpmn:intermediateThrowEvent>",
                "",
                "IntermediateEvent",
                {{"Trigger", "Link"}, {"LinkId", "L"}, {"ProcessRef", "Process_1"}}},
        TagCase{"error_end_code",
                "<bpmn:endEvent id=\"X\"><bpmn:errorEventDefinition errorRef=\"E1\"/></bpmn:endEvent>",
                kMessages,
                "EndEvent",
                {{"Result", "Error"}, {"ErrorCode", "E-42"}}},
        TagCase{"cancel_end",
                "<bpmn:endEvent id=\"X\"><bpmn:cancelEventDefinition/></bpmn:endEvent>",
                "",
                "EndEvent",
                {{"Result", "Cancel"}}},
        TagCase{"compensate_activity",
                "<bpmn:intermediateThrowEvent id=\"X\"><bpmn:compensateEventDefinition activityRef=\"T\"/>"
                "</bpmn:intermediateThrowEvent>",
                "",
                "IntermediateEvent",
                {{"Trigger", "Compensation"}, {"Activity", "T"}}},
        TagCase{"terminate_end",
                "<bpmn:endEvent id=\"X\"><bpmn:terminateEventDefinition/></bpmn:endEvent>",
                "",
                "EndEvent",
                {{"Result", "Terminate"}}},
        TagCase{"signal_unknown_to_rules",
                "<bpmn:startEvent id=\"X\"><bpmn:signalEventDefinition/></bpmn:startEvent>",
                "",
                "StartEvent",
                {{"Trigger", "Signal"}}},
        TagCase{"escalation_end",
                "<bpmn:endEvent id=\"X\"><bpmn:escalationEventDefinition/></bpmn:endEvent>",
                "",
                "EndEvent",
                {{"Result", "Escalation"}}},
        TagCase{"two_definitions_multiple",
                "<bpmn:startEvent id=\"X\"><bpmn:messageEventDefinition/><bpmn:timerEventDefinition/>"
                "</bpmn:startEvent>",
                "",
                "StartEvent",
                {{"Trigger", "Multiple"}, {"Triggers", "Message,Timer"}}},
        TagCase{"parallel_multiple_single_definition",
                "<bpmn:startEvent id=\"X\" "
                "parallelMultiple=\"true\"><bpmn:signalEventDefinition/></bpmn:startEvent>",
                "",
                "StartEvent",
                {{"Trigger", "Multiple"}, {"Triggers", "Signal"}}},
        TagCase{"end_multiple_results",
                "<bpmn:endEvent "
                "id=\"X\"><bpmn:messageEventDefinition/><bpmn:signalEventDefinition/></bpmn:endEvent>",
                "",
                "EndEvent",
                {{"Result", "Multiple"}, {"Results", "Message,Signal"}}},
        TagCase{"shared_definition_by_ref",
                "<bpmn:startEvent "
                "id=\"X\"><bpmn:eventDefinitionRef>TD</bpmn:eventDefinitionRef></bpmn:startEvent>",
                kMessages,
                "StartEvent",
                {{"Trigger", "Timer"}}},
        TagCase{"boundary_is_intermediate",
                "<bpmn:task id=\"T\"/><bpmn:boundaryEvent id=\"X\" "
                "attachedToRef=\"T\"><bpmn:errorEventDefinition "
                "errorRef=\"E1\"/></bpmn:boundaryEvent>",
                kMessages,
                "IntermediateEvent",
                {{"Trigger", "Error"}, {"ErrorCode", "E-42"}}}),
    [](const auto& info) { return std::string(info.param.name); });

const std::string kOperation =
    "<bpmn:interface id=\"I\"><bpmn:operation id=\"Op\" "
    "name=\"Quote\"><bpmn:inMessageRef>M1</bpmn:inMessageRef>"
    "<bpmn:outMessageRef>M2</bpmn:outMessageRef></bpmn:operation></bpmn:interface>";

INSTANTIATE_TEST_SUITE_P(
    Activities, ElementTags,
    testing::Values(
        TagCase{"plain_task",
                "<bpmn:task id=\"X\"/>",
                "",
                "Activity",
                {{"ActivityType", "Task"},
                 {"TaskType", "None"},
                 {"Implementation", "Unspecified"},
                 {"StartQuantity", "1"},
                 {"IsCompensation", "false"}}},
        TagCase{"user_task", "<bpmn:userTask id=\"X\"/>", "", "Activity", {{"TaskType", "User"}}},
        TagCase{"script_task", "<bpmn:scriptTask id=\"X\"/>", "", "Activity", {{"TaskType", "Script"}}},
        TagCase{"manual_task", "<bpmn:manualTask id=\"X\"/>", "", "Activity", {{"TaskType", "Manual"}}},
        TagCase{"business_rule_task",
                "<bpmn:businessRuleTask id=\"X\"/>",
                "",
                "Activity",
                {{"TaskType", "BusinessRule"}}},
        TagCase{"send_task_message",
                "<bpmn:sendTask id=\"X\" messageRef=\"M1\"/>",
                kMessages,
                "Activity",
                {{"TaskType", "Send"}, {"Message", "Order"}}},
        TagCase{"service_task_operation",
                "<bpmn:serviceTask id=\"X\" implementation=\"##WebService\" operationRef=\"Op\"/>",
                kMessages + kOperation,
                "Activity",
                {{"TaskType", "Service"},
                 {"Implementation", "Web Service"},
                 {"WebService", "Quote"},
                 {"InMessage", "Order"},
                 {"OutMessage", "M2"}}},
        TagCase{"other_implementation",
                "<bpmn:serviceTask id=\"X\" implementation=\"external\"/>",
                "",
                "Activity",
                {{"Implementation", "Other"}}},
        TagCase{"quantity_and_compensation",
                "<bpmn:task id=\"X\" startQuantity=\"3\" isForCompensation=\"true\"/>",
                "",
                "Activity",
                {{"StartQuantity", "3"}, {"IsCompensation", "true"}}},
        TagCase{"sub_process",
                "<bpmn:subProcess id=\"X\" triggeredByEvent=\"true\"/>",
                "",
                "Activity",
                {{"ActivityType", "Sub-Process"}, {"SubProcessType", "Embedded"}, {"TaskType", "None"}}},
        TagCase{"ad_hoc",
                "<bpmn:adHocSubProcess id=\"X\" ordering=\"Sequential\"><bpmn:completionCondition>done"
                "</bpmn:completionCondition></bpmn:adHocSubProcess>",
                "",
                "Activity",
                {{"ActivityType", "Sub-Process"},
                 {"AdHoc", "true"},
                 {"AdHocCompletionCondition", "done"},
                 {"AdHocOrdering", "Sequential"}}},
        TagCase{"transaction",
                "<bpmn:transaction id=\"X\"/>",
                "",
                "Activity",
                {{"ActivityType", "Sub-Process"}, {"IsATransaction", "true"}, {"AdHoc", "false"}}},
        TagCase{
            "call_activity",
            "<bpmn:callActivity id=\"X\" calledElement=\"Billing\"/>",
            "",
            "Activity",
            {{"ActivityType", "Sub-Process"}, {"SubProcessType", "Independent"}, {"DiagramRef", "Billing"}}},
        TagCase{
            "standard_loop",
            "<bpmn:task id=\"X\"><bpmn:standardLoopCharacteristics testBefore=\"true\" loopMaximum=\"5\">"
            "<bpmn:loopCondition>more</bpmn:loopCondition></bpmn:standardLoopCharacteristics></bpmn:task>",
            "",
            "Activity",
            {{"LoopType", "Standard"},
             {"LoopCondition", "more"},
             {"LoopMaximum", "5"},
             {"LoopTestTime", "Before"}}},
        TagCase{"multi_instance_cardinality",
                "<bpmn:task id=\"X\"><bpmn:multiInstanceLoopCharacteristics isSequential=\"false\" "
                "behavior=\"One\">"
                "<bpmn:loopCardinality>3</bpmn:loopCardinality><bpmn:completionCondition>c</"
                "bpmn:completionCondition>"
                "</bpmn:multiInstanceLoopCharacteristics></bpmn:task>",
                "",
                "Activity",
                {{"LoopType", "MultiInstance"},
                 {"MI_Ordering", "Parallel"},
                 {"MI_Condition", "3"},
                 {"MI_FlowCondition", "One"}}},
        TagCase{
            "multi_instance_completion_complex",
            "<bpmn:task id=\"X\"><bpmn:multiInstanceLoopCharacteristics isSequential=\"true\" "
            "behavior=\"Complex\"><bpmn:completionCondition>all done</bpmn:completionCondition>"
            "<bpmn:complexBehaviorDefinition><bpmn:condition>k</bpmn:condition></"
            "bpmn:complexBehaviorDefinition>"
            "</bpmn:multiInstanceLoopCharacteristics></bpmn:task>",
            "",
            "Activity",
            {{"MI_Ordering", "Sequential"}, {"MI_Condition", "all done"}, {"ComplexMI_FlowCondition", "k"}}}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    GatewaysAndArtifacts, ElementTags,
    testing::Values(
        TagCase{"exclusive",
                "<bpmn:exclusiveGateway id=\"X\"/>",
                "",
                "Gateway",
                {{"GatewayType", "XOR"}, {"XORType", "Data"}, {"MarkerVisible", "false"}}},
        TagCase{"event_based",
                "<bpmn:eventBasedGateway id=\"X\"/>",
                "",
                "Gateway",
                {{"GatewayType", "XOR"}, {"XORType", "Event"}}},
        TagCase{"inclusive", "<bpmn:inclusiveGateway id=\"X\"/>", "", "Gateway", {{"GatewayType", "OR"}}},
        TagCase{"parallel", "<bpmn:parallelGateway id=\"X\"/>", "", "Gateway", {{"GatewayType", "AND"}}},
        TagCase{"complex_activation",
                "<bpmn:complexGateway id=\"X\"><bpmn:activationCondition>two</bpmn:activationCondition>"
                "</bpmn:complexGateway>",
                "",
                "Gateway",
                {{"GatewayType", "Complex"}, {"IncomingCondition", "two"}}},
        TagCase{"data_reference_state",
                "<bpmn:dataObject id=\"D\"/><bpmn:dataObjectReference id=\"X\" dataObjectRef=\"D\">"
                "<bpmn:dataState name=\"approved\"/></bpmn:dataObjectReference>",
                "",
                "DataObject",
                {{"State", "approved"}, {"RequiredForStart", "true"}}},
        TagCase{
            "data_store_reference", "<bpmn:dataStoreReference id=\"X\"/>", "", "DataObject", {{"State", ""}}},
        TagCase{"group", "<bpmn:group id=\"X\"/>", "", "Group", {{"Categories", ""}}}),
    [](const auto& info) { return std::string(info.param.name); });

struct FlowCase {
  const char* name;
  std::string nodes;
  std::string flow;
  std::string condition_type;
  std::string expression;
};

void PrintTo(const FlowCase& c, std::ostream* out) { *out << c.name; }

class SequenceFlows : public testing::TestWithParam<FlowCase> {};

TEST_P(SequenceFlows, ConditionTypeAndExpression) {
  const FlowCase& c = GetParam();
  const bpmn::Import imported = Import(Definitions(Process(c.nodes + c.flow)));
  const kelvo::ConnectorData* flow = FindConnector(imported.model, "F");
  ASSERT_NE(flow, nullptr);
  EXPECT_EQ(U8(flow->stereotype), "SequenceFlow");
  EXPECT_EQ(TagOf(flow->tags, "ConditionType"), c.condition_type);
  EXPECT_EQ(TagOf(flow->tags, "ConditionExpression"), c.expression);
}

INSTANTIATE_TEST_SUITE_P(
    Conditions, SequenceFlows,
    testing::Values(
        FlowCase{"plain", "<bpmn:task id=\"A\"/><bpmn:task id=\"B\"/>",
                 "<bpmn:sequenceFlow id=\"F\" sourceRef=\"A\" targetRef=\"B\"/>", "None", ""},
        FlowCase{"expression", "<bpmn:exclusiveGateway id=\"A\"/><bpmn:task id=\"B\"/>",
                 "<bpmn:sequenceFlow id=\"F\" sourceRef=\"A\" targetRef=\"B\"><bpmn:conditionExpression>"
                 "<![CDATA[${a > 1}]]></bpmn:conditionExpression></bpmn:sequenceFlow>",
                 "Expression", "${a > 1}"},
        FlowCase{"default_of_gateway", "<bpmn:exclusiveGateway id=\"A\" default=\"F\"/><bpmn:task id=\"B\"/>",
                 "<bpmn:sequenceFlow id=\"F\" sourceRef=\"A\" targetRef=\"B\"/>", "Default", ""},
        FlowCase{"default_of_activity_flow_first", "<bpmn:task id=\"A\" default=\"F\"/><bpmn:task id=\"B\"/>",
                 "<bpmn:sequenceFlow id=\"F\" sourceRef=\"A\" targetRef=\"B\"/>", "Default", ""},
        FlowCase{"default_named_by_other_node", "<bpmn:task id=\"A\"/><bpmn:task id=\"B\" default=\"F\"/>",
                 "<bpmn:sequenceFlow id=\"F\" sourceRef=\"A\" targetRef=\"B\"/>", "None", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BpmnImport, FlowListedBeforeItsSourceStillGetsDefault) {
  const auto imported =
      Import(Definitions(Process("<bpmn:sequenceFlow id=\"F\" sourceRef=\"A\" targetRef=\"B\"/>"
                                 "<bpmn:exclusiveGateway id=\"A\" default=\"F\"/><bpmn:task id=\"B\"/>")));
  const kelvo::ConnectorData* flow = FindConnector(imported.model, "F");
  ASSERT_NE(flow, nullptr);
  EXPECT_EQ(TagOf(flow->tags, "ConditionType"), "Default");
  EXPECT_EQ(flow->source, FindByKey(imported.model, "A")->id);
  EXPECT_EQ(flow->target, FindByKey(imported.model, "B")->id);
}

// Containment: the parent of each element, by key ("" for none).
TEST(BpmnImport, ContainmentFollowsPoolsSubProcessesAndAttachment) {
  const std::string xml = Definitions(
      "<bpmn:collaboration id=\"C\"><bpmn:participant id=\"BlackBox\"/><bpmn:participant id=\"Pool\" "
      "processRef=\"P\"/>"
      "<bpmn:textAnnotation "
      "id=\"Note\"><bpmn:text>remember</bpmn:text></bpmn:textAnnotation></bpmn:collaboration>" +
      Process("<bpmn:laneSet id=\"LS\"><bpmn:lane id=\"Lane\"><bpmn:flowNodeRef>Start</bpmn:flowNodeRef>"
              "<bpmn:childLaneSet id=\"CLS\"><bpmn:lane "
              "id=\"Inner\"/></bpmn:childLaneSet></bpmn:lane></bpmn:laneSet>"
              "<bpmn:startEvent id=\"Start\"/>"
              "<bpmn:subProcess id=\"Sub\"><bpmn:task id=\"Inside\"/>"
              "<bpmn:subProcess id=\"Deeper\"><bpmn:endEvent id=\"DeepEnd\"/></bpmn:subProcess>"
              "<bpmn:boundaryEvent id=\"OnInside\" attachedToRef=\"Inside\"/></bpmn:subProcess>"
              "<bpmn:boundaryEvent id=\"OnSub\" attachedToRef=\"Sub\"/>"
              "<bpmn:boundaryEvent id=\"Loose\" attachedToRef=\"Nowhere\"/>"
              "<bpmn:boundaryEvent id=\"OnEvent\" attachedToRef=\"Start\"/>",
              "P") +
      Process("<bpmn:task id=\"Orphan\"/>", "Unpooled"));
  const kelvo::ModelData model = Import(xml).model;
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"BlackBox", ""},       {"Pool", ""},     {"Note", ""},      {"Lane", "Pool"},    {"Inner", "Lane"},
      {"Start", "Pool"},      {"Sub", "Pool"},  {"Inside", "Sub"}, {"Deeper", "Sub"},   {"DeepEnd", "Deeper"},
      {"OnInside", "Inside"}, {"OnSub", "Sub"}, {"Loose", "Pool"}, {"OnEvent", "Pool"}, {"Orphan", ""}};
  for (const auto& [key, parent] : expected) {
    const kelvo::ElementData* element = FindByKey(model, key);
    ASSERT_NE(element, nullptr) << key;
    const std::int32_t parent_id = parent.empty() ? 0 : FindByKey(model, parent)->id;
    EXPECT_EQ(element->parent, parent_id) << key;
  }
  EXPECT_EQ(U8(FindByKey(model, "OnSub")->base_type), "ObjectNode");
  EXPECT_EQ(U8(FindByKey(model, "OnInside")->base_type), "ObjectNode");
  EXPECT_EQ(U8(FindByKey(model, "Start")->base_type), "");
  EXPECT_EQ(U8(FindByKey(model, "Note")->notes), "remember");
  EXPECT_EQ(U8(FindByKey(model, "Pool")->stereotype), "Pool");
  EXPECT_EQ(U8(FindByKey(model, "Lane")->stereotype), "Lane");
}

TEST(BpmnImport, IdsFollowDocumentOrderAndSkipReferencedDataObjects) {
  const auto imported = Import(Definitions(
      Process(
          "<bpmn:dataObject id=\"Shown\"/><bpmn:task id=\"T\" name=\"Check order\"/>"
          "<bpmn:dataObject id=\"Alone\"/><bpmn:dataObjectReference id=\"Ref\" dataObjectRef=\"Shown\"/>"),
      " name=\"Orders\""));
  const kelvo::ModelData& model = imported.model;
  ASSERT_EQ(model.elements.size(), 3u);
  const std::vector<std::string> keys = {"T", "Alone", "Ref"};
  for (std::size_t i = 0; i < keys.size(); ++i) {
    EXPECT_EQ(U8(model.elements[i].key), keys[i]);
    EXPECT_EQ(model.elements[i].id, static_cast<std::int32_t>(i + 1));
    EXPECT_EQ(model.elements[i].package, 2);
  }
  EXPECT_EQ(U8(model.elements[0].name), "Check order");
  ASSERT_EQ(model.packages.size(), 2u);
  EXPECT_EQ(U8(model.packages[0].name), "Model");
  EXPECT_EQ(U8(model.packages[1].name), "Orders");
  EXPECT_EQ(model.packages[1].parent, model.packages[0].id);
}

TEST(BpmnImport, PackageNamedAfterFileWithoutDefinitionsName) {
  const auto imported = bpmn::ImportText(Definitions(Process("")), "/models/shipping.bpmn", Small());
  EXPECT_EQ(U8(imported.model.packages[1].name), "shipping.bpmn");
}

TEST(BpmnImport, ConnectorsWithUnknownEndsAreDroppedWithWarning) {
  const auto imported = Import(Definitions(
      "<bpmn:collaboration id=\"C\"><bpmn:participant id=\"P1\" processRef=\"P\"/><bpmn:participant "
      "id=\"P2\"/>"
      "<bpmn:messageFlow id=\"MF\" sourceRef=\"A\" targetRef=\"P2\" messageRef=\"M1\"/>"
      "<bpmn:messageFlow id=\"Lost\" sourceRef=\"A\" targetRef=\"Ghost\"/></bpmn:collaboration>" +
      Process(
          "<bpmn:task id=\"A\"><bpmn:dataOutputAssociation id=\"Out\"><bpmn:targetRef>Store</bpmn:targetRef>"
          "</bpmn:dataOutputAssociation><bpmn:dataInputAssociation id=\"In\"><bpmn:sourceRef>Store"
          "</bpmn:sourceRef><bpmn:targetRef>input_1</bpmn:targetRef></bpmn:dataInputAssociation></bpmn:task>"
          "<bpmn:dataStoreReference id=\"Store\"/>"
          "<bpmn:sequenceFlow id=\"Dangling\" sourceRef=\"Missing\" targetRef=\"A\"/>"
          "<bpmn:association id=\"Assoc\" sourceRef=\"A\" targetRef=\"Store\"/>",
          "P") +
      "<bpmn:message id=\"M1\" name=\"Invoice\"/>"));
  const kelvo::ModelData& model = imported.model;
  const std::vector<std::string> kept = {"MF", "Out", "In", "Assoc"};
  ASSERT_EQ(model.connectors.size(), kept.size());
  for (std::size_t i = 0; i < kept.size(); ++i) {
    EXPECT_EQ(U8(model.connectors[i].key), kept[i]);
    EXPECT_EQ(model.connectors[i].id, static_cast<std::int32_t>(i + 1));
  }
  EXPECT_EQ(TagOf(FindConnector(model, "MF")->tags, "Message"), "Invoice");
  EXPECT_EQ(FindConnector(model, "Out")->source, FindByKey(model, "A")->id);
  EXPECT_EQ(FindConnector(model, "Out")->target, FindByKey(model, "Store")->id);
  EXPECT_EQ(FindConnector(model, "In")->source, FindByKey(model, "Store")->id);
  EXPECT_EQ(FindConnector(model, "In")->target, FindByKey(model, "A")->id);
  EXPECT_EQ(U8(FindConnector(model, "Assoc")->stereotype), "Association");
  ASSERT_EQ(imported.warnings.size(), 2u);
  EXPECT_NE(imported.warnings[0].find("\"Lost\""), std::string::npos) << imported.warnings[0];
  EXPECT_NE(imported.warnings[0].find("\"Ghost\""), std::string::npos) << imported.warnings[0];
  EXPECT_NE(imported.warnings[1].find("\"Dangling\""), std::string::npos) << imported.warnings[1];
  EXPECT_EQ(imported.warnings[1].rfind("test.bpmn", 0), 0u) << imported.warnings[1];
}

const std::string kDiagrams =
    "<bpmndi:BPMNDiagram id=\"D1\" name=\"Main\"><bpmndi:BPMNPlane bpmnElement=\"P\">"
    "<bpmndi:BPMNShape id=\"S1\" bpmnElement=\"G\" isMarkerVisible=\"true\"><dc:Bounds x=\"10\" y=\"20\" "
    "width=\"50\" height=\"50\"/></bpmndi:BPMNShape>"
    "<bpmndi:BPMNShape id=\"S2\" bpmnElement=\"Nothing\"><dc:Bounds x=\"0\" y=\"0\" width=\"1\" "
    "height=\"1\"/>"
    "</bpmndi:BPMNShape><bpmndi:BPMNEdge id=\"E\" bpmnElement=\"F\"/>"
    "<bpmndi:BPMNShape id=\"S3\" bpmnElement=\"T\"><dc:Bounds x=\"100.5\" y=\"7\" width=\"80\" "
    "height=\"60\"/>"
    "</bpmndi:BPMNShape></bpmndi:BPMNPlane></bpmndi:BPMNDiagram>"
    "<bpmndi:BPMNDiagram id=\"D2\"><bpmndi:BPMNPlane><bpmndi:BPMNShape bpmnElement=\"T\"/></bpmndi:BPMNPlane>"
    "</bpmndi:BPMNDiagram>";

TEST(BpmnImport, DiagramsPlaceShapesWithBounds) {
  auto imported = Import(Definitions(
      Process(
          "<bpmn:exclusiveGateway id=\"G\"/><bpmn:task id=\"T\"/><bpmn:sequenceFlow id=\"F\" sourceRef=\"G\" "
          "targetRef=\"T\"/>",
          "P") +
      kDiagrams));
  const kelvo::ModelData& model = imported.model;
  ASSERT_EQ(model.diagrams.size(), 2u);
  const kelvo::DiagramData& main = model.diagrams[0];
  EXPECT_EQ(U8(main.name), "Main");
  EXPECT_EQ(U8(main.type), "BPMN::BPMN");
  EXPECT_EQ(main.package, 2);
  EXPECT_EQ(main.placements,
            (std::vector<std::int32_t>{FindByKey(model, "G")->id, FindByKey(model, "T")->id}));
  ASSERT_EQ(main.bounds.size(), 2u);
  ASSERT_TRUE(main.bounds[1].has_value());
  EXPECT_DOUBLE_EQ(main.bounds[1]->x, 100.5);
  EXPECT_DOUBLE_EQ(main.bounds[1]->height, 60);
  EXPECT_EQ(U8(model.diagrams[1].name), "Diagram 2");
  EXPECT_FALSE(model.diagrams[1].bounds[0].has_value());
  EXPECT_EQ(model.active_diagram, main.id);
  EXPECT_EQ(TagOf(FindByKey(model, "G")->tags, "MarkerVisible"), "true");
  EXPECT_EQ(U8(main.key), "D1");
  EXPECT_EQ(U8(model.diagrams[1].key), "D2");
}

TEST(BpmnImport, WithoutDiagramsOneDiagramPlacesEveryElement) {
  const kelvo::ModelData model =
      Import(
          Definitions(Process("<bpmn:startEvent id=\"S\"/><bpmn:task id=\"T\"/><bpmn:subProcess id=\"Sub\">"
                              "<bpmn:endEvent id=\"E\"/></bpmn:subProcess>")))
          .model;
  ASSERT_EQ(model.diagrams.size(), 1u);
  EXPECT_EQ(model.diagrams[0].placements, (std::vector<std::int32_t>{1, 2, 3, 4}));
  EXPECT_EQ(model.active_diagram, model.diagrams[0].id);
}

TEST(BpmnImport, EveryElementCarriesAllTagsOfItsStereotypeInDeclaredOrder) {
  kelvo::Technology technology = SmallTechnology();
  technology.profiles[0].stereotypes[0].tags[18].default_value = u"Ready";  // Activity Status
  const kelvo::ModelData model =
      Import(Definitions(
                 Process("<bpmn:task id=\"T\"/><bpmn:startEvent id=\"S\"/><bpmn:exclusiveGateway id=\"G\"/>"
                         "<bpmn:sequenceFlow id=\"F\" sourceRef=\"S\" targetRef=\"T\"/>")),
             technology)
          .model;
  for (const kelvo::ElementData& element : model.elements) {
    const kelvo::Stereotype* stereotype = technology.FindStereotype(element.stereotype);
    ASSERT_NE(stereotype, nullptr);
    ASSERT_EQ(element.tags.size(), stereotype->tags.size()) << U8(element.key);
    for (std::size_t i = 0; i < element.tags.size(); ++i)
      EXPECT_EQ(element.tags[i].name, stereotype->tags[i].name);
    EXPECT_EQ(element.metatype, stereotype->metatype);
  }
  EXPECT_EQ(TagOf(FindByKey(model, "T")->tags, "Status"), "Ready");
  EXPECT_EQ(TagOf(FindConnector(model, "F")->tags, "Quantity"), "1");
  EXPECT_EQ(model.technologies, (std::vector<std::u16string>{u"BPMN"}));
}

TEST(BpmnImport, UndeclaredTagsAreNotAdded) {
  kelvo::Technology technology = SmallTechnology();
  auto& start_tags = technology.profiles[0].stereotypes[1].tags;
  std::erase_if(start_tags, [](const kelvo::TagDefinition& tag) { return tag.name == u"TimeDate"; });
  const kelvo::ModelData model =
      Import(Definitions(Process("<bpmn:startEvent id=\"S\"><bpmn:timerEventDefinition><bpmn:timeDate>x"
                                 "</bpmn:timeDate></bpmn:timerEventDefinition></bpmn:startEvent>")),
             technology)
          .model;
  EXPECT_EQ(TagOf(model.elements[0].tags, "TimeDate"), "<absent>");
  EXPECT_EQ(TagOf(model.elements[0].tags, "Trigger"), "Timer");
}

// The same model written with different prefixes reads the same; a name that only looks like
// BPMN (another namespace) is skipped.
TEST(BpmnImport, NamespacesMatchByUriNotPrefix) {
  const std::string body =
      "<P:process id=\"P\"><P:task id=\"T\"/><x:task xmlns:x=\"urn:other\" id=\"Foreign\"/>"
      "<P:extensionElements><P:task id=\"Hidden\"/></P:extensionElements>"
      "<task xmlns=\"" +
      kModelNs + "\" id=\"Default\"/></P:process>";
  for (const std::string prefix : {"bpmn2", "semantic", "model"}) {
    std::string text = body;
    for (std::size_t at = text.find("P:"); at != std::string::npos; at = text.find("P:", at))
      text.replace(at, 2, prefix + ":");
    const std::string xml = "<" + prefix + ":definitions xmlns:" + prefix + "=\"" + kModelNs + "\">" + text +
                            "</" + prefix + ":definitions>";
    const kelvo::ModelData model = Import(xml).model;
    ASSERT_EQ(model.elements.size(), 2u) << prefix;
    EXPECT_EQ(U8(model.elements[0].key), "T") << prefix;
    EXPECT_EQ(U8(model.elements[1].key), "Default") << prefix;
  }
}

struct PathCase {
  const char* name;
  const char* path;
  bool bpmn;
};

void PrintTo(const PathCase& c, std::ostream* out) { *out << c.name; }

class BpmnPaths : public testing::TestWithParam<PathCase> {};

TEST_P(BpmnPaths, ByExtension) { EXPECT_EQ(bpmn::IsBpmnPath(GetParam().path), GetParam().bpmn); }

INSTANTIATE_TEST_SUITE_P(
    Extensions, BpmnPaths,
    testing::Values(PathCase{"bpmn", "a/b.bpmn", true}, PathCase{"bpmn2", "b.bpmn2", true},
                    PathCase{"xml_engine", "x.bpmn20.xml", true}, PathCase{"upper_case", "B.BPMN", true},
                    PathCase{"json_model", "orders.json", false}, PathCase{"no_extension", "bpmn", false},
                    PathCase{"bpmn_in_folder_only", "x.bpmn/model.kvm", false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
