// The host session's own state: technologies, selection, open diagram, rule registrations and
// the attribution of violations.
#include "kelvo/host.h"

#include <gtest/gtest.h>

#include <set>

#include "support/model_builder.h"

namespace {

using test_support::ModelBuilder;

TEST(HostTechnologies, ADocumentThatDoesNotParseIsRefused) {
  auto host = ModelBuilder().Host();
  EXPECT_FALSE(host->InstallTechnology(u"<not a technology/>"));
  EXPECT_FALSE(host->HasTechnology(u"BPMN"));
}

TEST(HostTechnologies, RemovingNeedsALoadedTechnologyAndAWillingHost) {
  ModelBuilder b;
  b.data().technologies = {u"BPMN", u"Other"};
  auto host = b.Host();
  EXPECT_TRUE(host->HasTechnology(u"BPMN"));
  EXPECT_FALSE(host->HasTechnology(u"bpmn"));
  EXPECT_EQ(host->InstalledTechnology(u"BPMN"), nullptr);  // loaded before the session: no document
  EXPECT_TRUE(host->RemoveTechnology(u"BPMN"));
  EXPECT_FALSE(host->HasTechnology(u"BPMN"));
  EXPECT_FALSE(host->RemoveTechnology(u"BPMN"));
  EXPECT_TRUE(host->HasTechnology(u"Other"));

  auto refusing = b.Host({.refuse_install = false, .refuse_remove = true});
  EXPECT_FALSE(refusing->RemoveTechnology(u"BPMN"));
  EXPECT_TRUE(refusing->HasTechnology(u"BPMN"));
}

TEST(HostState, SelectionAndOpenDiagramStartFromTheModel) {
  ModelBuilder b;
  const auto first = b.Diagram(u"First");
  const auto second = b.Diagram(u"Second");
  b.data().selected_package = ModelBuilder::kProcessPackage;
  auto host = b.Host();
  EXPECT_EQ(host->SelectedPackage()->Name(), u"Process");
  EXPECT_EQ(host->ActiveDiagram()->Id(), first);
  host->ShowDiagram(second);
  EXPECT_EQ(host->ActiveDiagram()->Id(), second);
  EXPECT_THROW(host->ShowDiagram(77), host::Error);
  EXPECT_THROW(host->SelectPackage(77), host::Error);
  host->SelectPackage(std::nullopt);
  EXPECT_FALSE(host->SelectedPackage());
}

TEST(HostState, CreatedDiagramsGetFreshIdsAndJoinTheirCollection) {
  ModelBuilder b;
  const auto sub = b.Element(u"Activity");
  b.Diagram(u"First");
  auto host = b.Host();
  auto package = host->model().FindPackage(ModelBuilder::kProcessPackage);
  EXPECT_EQ(package->Diagrams()->CreateItem(u"Orders", u"BPMN::BPMN")->Id(), 2);
  EXPECT_EQ(host->ElementById(sub)->OwnedDiagrams()->CreateItem(u"Inside", u"BPMN::BPMN")->Id(), 3);
  EXPECT_EQ(package->Diagrams()->ItemCount(), 2);  // not the element's
  const auto diagrams = host->model().ToData().diagrams;
  ASSERT_EQ(diagrams.size(), 3u);
  EXPECT_EQ(diagrams[2].name, u"Inside");
  EXPECT_EQ(diagrams[2].type, u"BPMN::BPMN");
  EXPECT_EQ(diagrams[2].parent, sub);
  EXPECT_EQ(diagrams[2].package, ModelBuilder::kProcessPackage);
  host->ShowDiagram(3);  // a created diagram can be opened like any other
  EXPECT_EQ(host->ActiveDiagram()->Id(), 3);
}

// Rule names outliving the registration list are checked by the validation run tests.
TEST(HostRules, EachRegistrationGetsItsOwnIdAndNamesFindTheFirst) {
  auto host = ModelBuilder().Host();
  auto service = host->ValidationService();
  const auto category = service->AddRuleCategory(u"Rules");
  const auto a = service->AddRule(category, 0, u"Alpha");
  const auto b = service->AddRule(category, 0, u"Beta");
  const auto a2 = service->AddRule(category, 0, u"Alpha");
  EXPECT_EQ((std::set<std::u16string>{a, b, a2}).size(), 3u);
  EXPECT_EQ(host->FirstRuleIdNamed(u"Alpha"), a);
  EXPECT_EQ(host->FirstRuleIdNamed(u"Gamma"), std::nullopt);
  EXPECT_EQ(host->RuleName(u"nothing"), nullptr);
}

TEST(HostRules, ViolationsBelongToTheRunInProgress) {
  auto host = ModelBuilder().Host();
  auto service = host->ValidationService();
  service->ReportViolation(u"r", 0, u"outside");
  host->BeginRun(kelvo::RunObject::Element(10));
  service->ReportViolation(u"r", 1, u"inside");
  host->EndRun();
  const auto violations = host->TakeViolations();
  ASSERT_EQ(violations.size(), 2u);
  EXPECT_EQ(violations[0].object.kind, kelvo::RunObject::Kind::kNone);
  EXPECT_EQ(violations[1].object, kelvo::RunObject::Element(10));
  EXPECT_EQ(violations[1].level, 1);
  EXPECT_TRUE(host->violations().empty());
}

TEST(HostRules, TheLateBoundExportIsRecordedWithTheOpenDiagram) {
  ModelBuilder b;
  const auto diagram = b.Diagram(u"D");
  auto host = b.Host();
  std::vector<host::Variant> none;
  host->ValidationService()->InvokeByName(u"ExportDiagramToBPEL", none);
  std::vector<host::Variant> one{std::int32_t{1}};
  EXPECT_THROW(host->ValidationService()->InvokeByName(u"ExportDiagramToBPEL", one), host::Error);
  EXPECT_THROW(host->ValidationService()->InvokeByName(u"Export", none), host::Error);
  ASSERT_EQ(host->bpel_exports().size(), 1u);
  EXPECT_EQ(host->bpel_exports()[0], diagram);
}

}  // namespace
