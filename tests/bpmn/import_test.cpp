// The BPMN 2.0 mapping as a table: a BPMN snippet in, facts of the imported model out
// (stereotypes and tags, nesting, connector ends, diagram placements, warnings). Every model
// read here also passes the checks that every import must pass.
#include "bpmn/import.h"

#include <gtest/gtest.h>

#include "bpmn/import_fixture.h"

namespace {

using namespace bpmn_test;

struct ImportCase {
  const char* name;
  std::string xml;
  std::vector<std::string> facts;  // "SUBJECT: EXPECTED", see Shown
};

void PrintTo(const ImportCase& c, std::ostream* out) { *out << c.name; }

class BpmnImport : public testing::TestWithParam<ImportCase> {};

TEST_P(BpmnImport, ShowsTheFacts) {
  const bpmn::Import imported = Import(GetParam().xml);
  ExpectConsistent(imported.model, "test.bpmn");
  for (const std::string& fact : GetParam().facts) EXPECT_EQ(Fact(imported, fact), fact);
}

// Root elements that the snippets refer to.
const std::string kRoots =
    "<message id='M1' name='Order'/><message id='M2'/><error id='E1' errorCode='E-42'/>"
    "<timerEventDefinition id='TD'/><interface id='I'><operation id='Op' name='Quote'>"
    "<inMessageRef>M1</inMessageRef><outMessageRef>M2</outMessageRef></operation></interface>";

std::string Event(std::string_view kind, std::string_view id, std::string_view definitions,
                  std::string_view attributes = "") {
  return "<" + std::string(kind) + " id='" + std::string(id) + "'" + std::string(attributes) + ">" +
         std::string(definitions) + "</" + std::string(kind) + ">";
}

const std::string kEvents = Process(
    Event("intermediateThrowEvent", "None", "") +
    Event("startEvent", "Named", "<messageEventDefinition messageRef='M1'/>") +
    Event("intermediateCatchEvent", "Unnamed", "<messageEventDefinition messageRef='M2'/>") +
    Event("startEvent", "Date",
          "<timerEventDefinition><timeDate>2026-01-01</timeDate></timerEventDefinition>") +
    Event("intermediateCatchEvent", "Cycle",
          "<timerEventDefinition><timeCycle>R3/PT1H</timeCycle></timerEventDefinition>") +
    Event("startEvent", "Rule",
          "<conditionalEventDefinition><condition>stock &lt; 5</condition></conditionalEventDefinition>") +
    Event("intermediateThrowEvent", "Link", "<linkEventDefinition name='L'/>") +
    Event("endEvent", "Error", "<errorEventDefinition errorRef='E1'/>") +
    Event("endEvent", "Cancel", "<cancelEventDefinition/>") +
    Event("intermediateThrowEvent", "Compensate", "<compensateEventDefinition activityRef='T'/>") +
    Event("endEvent", "Terminate", "<terminateEventDefinition/>") +
    Event("startEvent", "Shared", "<eventDefinitionRef>TD</eventDefinitionRef>") +
    Event("startEvent", "Two", "<messageEventDefinition/><timerEventDefinition/>") +
    Event("startEvent", "Parallel", "<signalEventDefinition/>", " parallelMultiple='true'") +
    Event("endEvent", "Results", "<escalationEventDefinition/><signalEventDefinition/>") +
    Event("startEvent", "Undeclared", "<errorEventDefinition errorRef='E1'/>") + "<task id='T'/>" +
    Event("boundaryEvent", "Boundary", "<errorEventDefinition errorRef='E1'/>", " attachedToRef='T'"));

const std::string kActivities = Process(
    "<task id='Plain'/><userTask id='User' implementation='##unspecified'/><scriptTask id='Script'/>"
    "<manualTask id='Manual'/><businessRuleTask id='Rules'/><sendTask id='Send' messageRef='M1'/>"
    "<receiveTask id='Receive' messageRef='M2'/><serviceTask id='Other' implementation='external' "
    "messageRef='M1'/>"
    "<serviceTask id='Service' implementation='##WebService' operationRef='Op'/>"
    "<task id='Counted' startQuantity='3' isForCompensation='true'/>"
    "<subProcess id='Sub' triggeredByEvent='true'/><transaction id='Tx'/>"
    "<adHocSubProcess id='AdHoc' ordering='Sequential'><completionCondition>done</completionCondition>"
    "</adHocSubProcess><callActivity id='Call' calledElement='Billing'/>"
    "<task id='Loop'><standardLoopCharacteristics testBefore='true' loopMaximum='5'>"
    "<loopCondition>more</loopCondition></standardLoopCharacteristics></task>"
    "<task id='Many'><multiInstanceLoopCharacteristics isSequential='false' behavior='One'>"
    "<loopCardinality>3</loopCardinality><completionCondition>c</completionCondition>"
    "</multiInstanceLoopCharacteristics></task>"
    "<task id='Until'><multiInstanceLoopCharacteristics isSequential='true' behavior='Complex'>"
    "<completionCondition>all done</completionCondition><complexBehaviorDefinition><condition>k</condition>"
    "</complexBehaviorDefinition></multiInstanceLoopCharacteristics></task>");

INSTANTIATE_TEST_SUITE_P(
    Mapping, BpmnImport,
    testing::Values(
        ImportCase{
            "events",
            Definitions(kEvents + kRoots),
            {"None: IntermediateEvent; Trigger=None", "Named: StartEvent; Trigger=Message; Message=Order",
             "Unnamed: Message=M2",
             "Date: Trigger=Timer; TimeDate=2026-01-01; TimeCycle=", "Cycle: TimeCycle=R3/PT1H",
             "Rule: Trigger=Rule; RuleName=stock < 5", "Link: Trigger=Link; LinkId=L; ProcessRef=Process_1",
             "Error: EndEvent; Result=Error; ErrorCode=E-42", "Cancel: Result=Cancel",
             "Terminate: Result=Terminate", "Compensate: Trigger=Compensation; Activity=T",
             "Shared: Trigger=Timer", "Two: Trigger=Multiple; Triggers=Message,Timer",
             "Parallel: Trigger=Multiple; Triggers=Signal",
             "Results: Result=Multiple; Results=Escalation,Signal",
             "Undeclared: Trigger=Error; ErrorCode=<absent>",
             "Boundary: IntermediateEvent; base=ObjectNode; Trigger=Error; ErrorCode=E-42"}},
        ImportCase{
            "activities",
            Definitions(kActivities + kRoots),
            {"Plain: Activity; ActivityType=Task; TaskType=None; Implementation=Unspecified; "
             "StartQuantity=1; IsCompensation=false",
             "User: TaskType=User; Implementation=Unspecified", "Script: TaskType=Script",
             "Manual: TaskType=Manual", "Rules: TaskType=BusinessRule", "Send: TaskType=Send; Message=Order",
             "Receive: TaskType=Receive; Message=M2", "Other: Implementation=Other; Message=",
             "Service: TaskType=Service; Implementation=Web Service; WebService=Quote; InMessage=Order; "
             "OutMessage=M2",
             "Counted: StartQuantity=3; IsCompensation=true",
             "Sub: ActivityType=Sub-Process; SubProcessType=Embedded; TaskType=",
             "Tx: ActivityType=Sub-Process; IsATransaction=true; AdHoc=false",
             "AdHoc: AdHoc=true; AdHocCompletionCondition=done; AdHocOrdering=Sequential",
             "Call: SubProcessType=Independent; DiagramRef=Billing",
             "Loop: LoopType=Standard; LoopCondition=more; LoopMaximum=5; LoopTestTime=Before",
             "Many: LoopType=MultiInstance; MI_Ordering=Parallel; MI_Condition=3; MI_FlowCondition=One",
             "Until: MI_Ordering=Sequential; MI_Condition=all done; ComplexMI_FlowCondition=k"}},
        ImportCase{
            "gateways_and_artifacts",
            Definitions(Process(
                "<exclusiveGateway id='Xor'/><eventBasedGateway id='Event'/><inclusiveGateway id='Or'/>"
                "<parallelGateway id='And'/><complexGateway id='Complex'><activationCondition>two"
                "</activationCondition></complexGateway><dataObject id='D'/>"
                "<dataObjectReference id='Ref' dataObjectRef='D'><dataState name='approved'/>"
                "</dataObjectReference><dataStoreReference id='Store'/><group id='G'/>")),
            {"Xor: Gateway; GatewayType=XOR; XORType=Data", "Event: GatewayType=XOR; XORType=Event",
             "Or: GatewayType=OR; XORType=", "And: GatewayType=AND",
             "Complex: GatewayType=Complex; IncomingCondition=two",
             "Ref: DataObject; State=approved; RequiredForStart=true",
             "Store: DataObject; State=", "G: Group"}},
        // Default flows are named by their source, wherever the flow is listed.
        ImportCase{"sequence_flows",
                   Definitions(Process(
                       "<sequenceFlow id='Early' sourceRef='G' targetRef='B'/><exclusiveGateway id='G' "
                       "default='Early'/><task id='A' default='FromA'/><task id='B' default='Plain'/>"
                       "<sequenceFlow id='Plain' sourceRef='A' targetRef='B'/>"
                       "<sequenceFlow id='FromA' sourceRef='A' targetRef='G'/><sequenceFlow id='Prefixed' "
                       "sourceRef='x:A' targetRef='B'/>"
                       "<sequenceFlow id='Cond' sourceRef='G' targetRef='A'><conditionExpression>"
                       "<![CDATA[${a > 1}]]></conditionExpression></sequenceFlow>")),
                   {"Early: SequenceFlow; ends=G->B; ConditionType=Default; Quantity=1",
                    "Plain: ConditionType=None", "FromA: ConditionType=Default", "Prefixed: ends=A->B",
                    "Cond: ConditionType=Expression; ConditionExpression=${a > 1}"}},
        // Flow nodes lie in their pool or sub-process, lanes in their pool or parent lane,
        // boundary events on their activity (else in their container, with a warning).
        ImportCase{
            "containment",
            Definitions(
                "<collaboration id='C'><participant id='BlackBox'/><participant id='Pool' processRef='P'/>"
                "<textAnnotation id='Note'><text>remember</text></textAnnotation></collaboration>" +
                Process("<laneSet id='LS'><lane id='Lane'><flowNodeRef>Start</flowNodeRef><childLaneSet "
                        "id='CLS'><lane id='Inner'/></childLaneSet></lane></laneSet><startEvent id='Start'/>"
                        "<subProcess id='Sub'><task id='Inside'/><subProcess id='Deeper'><endEvent "
                        "id='DeepEnd'/></subProcess><boundaryEvent id='OnInside' attachedToRef='Inside'/>"
                        "<boundaryEvent id='Free'/>"
                        "</subProcess><boundaryEvent id='OnSub' attachedToRef='Sub'/><boundaryEvent "
                        "id='Loose' attachedToRef='Nowhere'/><boundaryEvent id='OnEvent' "
                        "attachedToRef='Start'/>",
                        "P") +
                Process("<task id='Orphan'/>", "Unpooled")),
            {"BlackBox: Pool; parent=-", "Pool: Pool; parent=-",
             "Note: TextAnnotation; parent=-; notes=remember", "Lane: Lane; parent=Pool",
             "Inner: parent=Lane", "Start: parent=Pool; base=", "Sub: parent=Pool", "Inside: parent=Sub",
             "Deeper: parent=Sub", "DeepEnd: parent=Deeper", "OnInside: parent=Inside",
             "OnSub: parent=Sub; base=ObjectNode", "Loose: parent=Pool", "OnEvent: parent=Pool",
             "Orphan: parent=-", "Free: parent=Sub",
             "warnings: test.bpmn: boundaryEvent \"Free\" is kept in its container: it has no attachedToRef\n"
             "test.bpmn: boundaryEvent \"Loose\" is kept in its container: its attachedToRef \"Nowhere\" "
             "names no activity that was read\n"
             "test.bpmn: boundaryEvent \"OnEvent\" is kept in its container: its attachedToRef \"Start\" "
             "names no activity that was read"}},
        // Ids follow document order; a data object shown by a reference is left out.
        ImportCase{
            "ids_and_packages",
            Definitions(
                Process("<dataObject id='Shown'/><task id='T' name='Check order'/>"
                        "<dataObject id='Alone'/><dataObjectReference id='Ref' dataObjectRef='Shown'/>"),
                " name='Orders'"),
            {"elements: 1:T 2:Alone 3:Ref", "T: name=Check order", "packages: 1:Model^0 2:Orders^1"}},
        // A process's data inputs and outputs become DataObject elements where a diagram draws
        // them; an activity's own do not.
        ImportCase{
            "process_data_inputs_and_outputs",
            Definitions("<collaboration id='C'><participant id='Pool' processRef='P'/></collaboration>" +
                        Process("<ioSpecification><dataInput id='In' name='Order'/><dataOutput id='Out'/>"
                                "<dataOutput id='Unseen'/><inputSet/><outputSet/></ioSpecification>"
                                "<subProcess id='Sub'><ioSpecification><dataInput id='SubIn'/>"
                                "</ioSpecification></subProcess><task id='T'><dataInputAssociation id='Feed'>"
                                "<sourceRef>In</sourceRef></dataInputAssociation></task>",
                                "P") +
                        "<bpmndi:BPMNDiagram><bpmndi:BPMNPlane><bpmndi:BPMNShape bpmnElement='In'/>"
                        "<bpmndi:BPMNShape bpmnElement='Out'/><bpmndi:BPMNShape bpmnElement='SubIn'/>"
                        "</bpmndi:BPMNPlane></bpmndi:BPMNDiagram>"),
            {"elements: 1:Pool 2:In 3:Out 4:Sub 5:T", "In: DataObject; parent=Pool; name=Order",
             "Feed: ends=In->T"}},
        // Ends are looked up in the whole file, the first of a repeated id winning; a connector
        // whose end names nothing read is left out with a warning.
        ImportCase{
            "connector_ends_and_warnings",
            Definitions(
                "<collaboration id='C'><participant id='P1' processRef='P'/><participant id='P2'/>"
                "<messageFlow id='MF' sourceRef='A' targetRef='P2' messageRef='M1'/>"
                "<messageFlow id='Lost' sourceRef='A' targetRef='Ghost'/></collaboration>" +
                Process("<task id='A'><dataOutputAssociation id='Out'><targetRef>Store</targetRef>"
                        "</dataOutputAssociation><dataInputAssociation id='In'><sourceRef>Store</sourceRef>"
                        "<targetRef>input_1</targetRef></dataInputAssociation><dataInputAssociation "
                        "id='NoSource'/></task>"
                        "<dataStoreReference id='Store'/><group id='A'/><boundaryEvent id='OnA' "
                        "attachedToRef='A'/>"
                        "<sequenceFlow id='Dangling' sourceRef='Missing' targetRef='A'/>"
                        "<association id='Assoc' sourceRef='A' targetRef='Store'/>",
                        "P") +
                kRoots),
            {"connectors: 1:MF 2:Out 3:In 4:Assoc", "MF: MessageFlow; Message=Order; ends=A->P2",
             "Out: Association; ends=A->Store", "In: ends=Store->A", "OnA: parent=A", "Assoc: ends=A->Store",
             "warnings: test.bpmn: the id \"A\" is used twice; references go to the first\n"
             "test.bpmn: messageFlow \"Lost\" is left out: its target \"Ghost\" names nothing that was read\n"
             "test.bpmn: dataInputAssociation \"NoSource\" is left out: it names no source\n"
             "test.bpmn: sequenceFlow \"Dangling\" is left out: its source \"Missing\" names nothing that "
             "was read"}},
        // An association end naming a dataObject or dataStore goes to a reference showing it: with
        // several, one on a diagram that draws the association, else the first.
        ImportCase{
            "ends_at_references",
            Definitions(
                "<dataStore id='DS'/>" +
                Process("<dataObject id='D'/><dataObjectReference id='R1' dataObjectRef='D'/>"
                        "<dataObjectReference id='R2' dataObjectRef='D'/><dataStoreReference id='SR' "
                        "dataStoreRef='DS'/><task id='A'><dataOutputAssociation id='Out'><targetRef>D"
                        "</targetRef></dataOutputAssociation></task><association id='Drawn' "
                        "sourceRef='A' targetRef='D'/><association id='Stored' sourceRef='DS' "
                        "targetRef='A'/>") +
                "<bpmndi:BPMNDiagram id='D1'><bpmndi:BPMNPlane><bpmndi:BPMNShape bpmnElement='R1'/>"
                "</bpmndi:BPMNPlane></bpmndi:BPMNDiagram><bpmndi:BPMNDiagram id='D2'><bpmndi:BPMNPlane>"
                "<bpmndi:BPMNShape bpmnElement='R2'/><bpmndi:BPMNEdge bpmnElement='Drawn'/>"
                "</bpmndi:BPMNPlane></bpmndi:BPMNDiagram>"),
            {"Out: ends=A->R1", "Drawn: ends=A->R2", "Stored: ends=SR->A", "warnings: "}},
        // Shapes place elements with their bounds; a shape of nothing read is left out with a warning.
        ImportCase{
            "diagrams",
            Definitions(
                Process("<exclusiveGateway id='G'/><task id='T'/><sequenceFlow id='F' sourceRef='G' "
                        "targetRef='T'/>",
                        "P") +
                "<bpmndi:BPMNDiagram id='D1' name='Main'><bpmndi:BPMNPlane bpmnElement='P'>"
                "<bpmndi:BPMNShape id='S1' bpmnElement='G' isMarkerVisible='true'><dc:Bounds x='10' y='20' "
                "width='50' height='50'/></bpmndi:BPMNShape><bpmndi:BPMNShape id='S2' "
                "bpmnElement='Nothing'><dc:Bounds x='0' y='0' width='1' height='1'/></bpmndi:BPMNShape>"
                "<bpmndi:BPMNEdge id='E' bpmnElement='F'/><bpmndi:BPMNShape id='S3' bpmnElement='T'>"
                "<dc:Bounds x='100.5' y='7' width='80' height='60'/></bpmndi:BPMNShape></bpmndi:BPMNPlane>"
                "</bpmndi:BPMNDiagram><bpmndi:BPMNDiagram id='D2'><bpmndi:BPMNPlane><bpmndi:BPMNShape "
                "bpmnElement='T'/></bpmndi:BPMNPlane></bpmndi:BPMNDiagram>"),
            {"diagrams: *D1 Main: G(10,20,50,50) T(100.5,7,80,60)\nD2 Diagram 2: T", "G: MarkerVisible=true",
             "warnings: test.bpmn: BPMNShape \"S2\" is left out: its element \"Nothing\" names nothing "
             "that was read"}},
        ImportCase{
            "no_diagram_interchange",
            Definitions(Process("<startEvent id='S'/><task id='T'/><subProcess id='Sub'><endEvent id='E'/>"
                                "</subProcess>")),
            {"diagrams: * Diagram 1: S T Sub E"}},
        // Names are matched by namespace URI, whatever the prefix; other namespaces and
        // extension elements are skipped.
        ImportCase{"namespaces_by_uri",
                   "<s:definitions xmlns:s='" + kModelNs +
                       "'><s:process id='P'><s:task id='T'/><x:task xmlns:x='urn:other' id='Foreign'/>"
                       "<s:extensionElements><s:task id='Hidden'/></s:extensionElements><task xmlns='" +
                       kModelNs +
                       "' id='Default'/><s:task xmlns:s='urn:other' id='Shadowed'/>"
                       "<s:task id='Restored'/></s:process></s:definitions>",
                   {"elements: 1:T 2:Default 3:Restored"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BpmnImport, PackageIsNamedAfterTheFileNotItsFolder) {
  const bpmn::Import imported = Import(Definitions(Process("")), "/models/shipping.bpmn");
  EXPECT_EQ(Fact(imported, "packages"), "packages: 1:Model^0 2:shipping.bpmn^1");
}

TEST(BpmnImport, BpmnPathsByExtension) {
  const std::pair<const char*, bool> paths[] = {
      {"a/b.bpmn", true},     {"b.bpmn2", true}, {"x.bpmn20.xml", true},     {"B.BPMN", true},
      {"orders.json", false}, {"bpmn", false},   {"x.bpmn/model.kvm", false}};
  for (const auto& [path, bpmn] : paths) EXPECT_EQ(bpmn::IsBpmnPath(path), bpmn) << path;
}

}  // namespace
