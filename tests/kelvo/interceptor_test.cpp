// The interceptor: trace lines as the transcript prints them, and faults injected by member name
// and call number.
#include <gtest/gtest.h>

#include "kelvo/host.h"
#include "kelvo/interceptor.h"
#include "support/model_builder.h"

namespace {

using test_support::ModelBuilder;
using Lines = std::vector<std::string>;

class InterceptorTest : public testing::Test {
 protected:
  void Start(bool trace, std::vector<kelvo::Fault> faults = {}) {
    start_ = builder_.Element(u"StartEvent", u"Go");
    task_ = builder_.Element(u"Activity", u"Work");
    builder_.Tag(start_, u"Trigger", u"None");
    builder_.Connector(start_, task_, u"SequenceFlow", {{u"ConditionType", u"None"}});
    builder_.Connector(task_, start_, u"SequenceFlow");
    builder_.Diagram(u"Process", {start_, task_});
    builder_.data().selected_package = ModelBuilder::kProcessPackage;
    host_ = builder_.Host();
    interceptor_.emplace(trace, std::move(faults));
    repository_ = interceptor_->Wrap(std::shared_ptr<host::Repository>(host_));
  }

  ModelBuilder builder_;
  std::int32_t start_ = 0, task_ = 0;
  std::shared_ptr<kelvo::Host> host_;
  std::optional<kelvo::Interceptor> interceptor_;
  std::shared_ptr<host::Repository> repository_;
};

TEST_F(InterceptorTest, ReadsCallsAndWritesAreWrittenAsTheTranscriptShowsThem) {
  Start(true);
  repository_->HostBuild();
  repository_->HasTechnology(u"BPMN");
  repository_->SetProfileVisible(u"BPMN", u"", true);
  auto package = repository_->SelectedPackage();
  package->ParentId();
  auto diagram = package->Diagrams()->CreateItem(package->Name(), u"BPMN::BPMN");
  diagram->SetPresetProperty(0);
  diagram->Save();
  package->Diagrams()->Reload();
  repository_->ShowDiagram(diagram->Id());
  EXPECT_EQ(interceptor_->TakeTrace(),
            (Lines{"Repository.HostBuild", "Repository.HasTechnology(\"BPMN\")",
                   "Repository.SetProfileVisible(\"BPMN\", \"\", true)", "Repository.SelectedPackage", "Package.ParentId",
                   "Package.Diagrams", "Package.Name", "ModelCollection.CreateItem(\"Process\", \"BPMN::BPMN\")",
                   "Diagram.PresetProperty=0", "Diagram.Save()", "Package.Diagrams", "ModelCollection.Reload()",
                   "Diagram.Id", "Repository.ShowDiagram(2)"}));
  EXPECT_EQ(host_->active_diagram(), 2);
  EXPECT_EQ(host_->model().FindDiagram(2)->preset_property(), 0);
  EXPECT_TRUE(interceptor_->TakeTrace().empty());
}

TEST_F(InterceptorTest, AWalkListsTheMembersReadOnItemsButNotCountOrGetAt) {
  Start(true);
  auto element = repository_->ElementById(task_);
  auto connectors = element->ConnectorList();
  // As the add-in does: the collection is held while it is walked.
  for (auto connector : *connectors) {
    connector->TargetId();
    auto tags = connector->Tags();
    for (auto tag : *tags) tag->Value();
  }
  auto tags = element->Tags();
  for (auto tag : *tags) tag->Name();
  auto children = element->Children();
  for (auto child : *children) child->Id();
  auto placements = repository_->ActiveDiagram()->Placements();
  for (auto placement : *placements) placement->PlacedElementId();
  EXPECT_EQ(interceptor_->TakeTrace(),
            (Lines{"Repository.ElementById(11)", "Element.ConnectorList", "Connector.TargetId", "Connector.Tags",
                   "ConnectorTag.Value", "Connector.TargetId", "Connector.Tags", "Element.Tags", "Element.Children",
                   "Repository.ActiveDiagram", "Diagram.Placements", "DiagramPlacement.PlacedElementId",
                   "DiagramPlacement.PlacedElementId"}));
}

TEST_F(InterceptorTest, StringsAreJsonQuotedAndLongOnesCounted) {
  Start(true);
  repository_->HasTechnology(u"say \"hi\"\n");
  repository_->HasTechnology(std::u16string(64, u'x'));
  repository_->InstallTechnology(std::u16string(65, u'x'));
  repository_->HasTechnology(u"Prüfung");
  const Lines trace = interceptor_->TakeTrace();
  ASSERT_EQ(trace.size(), 4u);
  EXPECT_EQ(trace[0], "Repository.HasTechnology(\"say \\\"hi\\\"\\n\")");
  EXPECT_EQ(trace[1], "Repository.HasTechnology(\"" + std::string(64, 'x') + "\")");
  EXPECT_EQ(trace[2], "Repository.InstallTechnology(<string of 65 characters>)");
  EXPECT_EQ(trace[3], "Repository.HasTechnology(\"Prüfung\")");
}

TEST_F(InterceptorTest, ValidationServiceCallsAndTheLateBoundExport) {
  Start(true);
  auto service = repository_->ValidationService();
  const auto category = service->AddRuleCategory(u"Rules");
  const auto rule = service->AddRule(category, 0, u"First");
  service->ReportViolation(rule, 1, u"Broken");
  std::vector<host::Variant> none;
  repository_->ValidationService()->InvokeByName(u"ExportDiagramToBPEL", none);
  EXPECT_EQ(interceptor_->TakeTrace(),
            (Lines{"Repository.ValidationService()", "ValidationService.AddRuleCategory(\"Rules\")",
                   "ValidationService.AddRule(\"{KV-CAT-0001}\", 0, \"First\")",
                   "ValidationService.ReportViolation(\"{KV-RULE-0001}\", 1, \"Broken\")",
                   "Repository.ValidationService()", "ValidationService.ExportDiagramToBPEL()"}));
  EXPECT_EQ(host_->bpel_exports().size(), 1u);
  EXPECT_EQ(host_->violations().size(), 1u);
}

TEST_F(InterceptorTest, InfoBagEntriesAndValues) {
  Start(true);
  auto bag = interceptor_->Wrap(std::make_shared<kelvo::InfoBagObject>(std::vector<host::Variant>{std::int32_t{10}}));
  EXPECT_EQ(host::ToLong(bag->Entry(0)->Value()), 10);
  EXPECT_THROW(bag->Entry(1), host::Error);
  EXPECT_EQ(interceptor_->TakeTrace(), (Lines{"InfoBag.Entry(0)", "InfoItem.Value", "InfoBag.Entry(1)"}));
}

TEST_F(InterceptorTest, AFailingCallIsListedToo) {
  Start(true);
  EXPECT_THROW(repository_->ElementById(999), host::Error);
  EXPECT_FALSE(repository_->ConnectorById(999));
  EXPECT_EQ(interceptor_->TakeTrace(), (Lines{"Repository.ElementById(999)", "Repository.ConnectorById(999)"}));
}

TEST_F(InterceptorTest, TheNthCallOfAMemberFailsCountedOverTheSession) {
  Start(true, {{"Repository.HostBuild", 2}});
  EXPECT_EQ(repository_->HostBuild(), 1300);
  interceptor_->TakeTrace();  // a new step: the count goes on
  try {
    repository_->HostBuild();
    FAIL() << "the second call went through";
  } catch (const host::Error& e) {
    EXPECT_EQ(e.kind(), host::ErrorKind::host);
    EXPECT_NE(std::string(e.what()).find("Repository.HostBuild"), std::string::npos);
  }
  EXPECT_EQ(repository_->HostBuild(), 1300);
  EXPECT_EQ(interceptor_->TakeTrace(), (Lines{"Repository.HostBuild", "Repository.HostBuild"}));
  EXPECT_EQ(interceptor_->CallCount("Repository.HostBuild"), 3);
}

TEST_F(InterceptorTest, AFaultWithoutNthFailsEveryCallAndHasNoEffect) {
  Start(false, {{"ValidationService.AddRule", std::nullopt},
                {"ValidationService.ReportViolation", 1},
                {"Diagram.PresetProperty", std::nullopt},
                {"ValidationService.ExportDiagramToBPEL", std::nullopt}});
  auto service = repository_->ValidationService();
  EXPECT_THROW(service->AddRule(u"c", 0, u"First"), host::Error);
  EXPECT_THROW(service->AddRule(u"c", 0, u"Second"), host::Error);
  EXPECT_TRUE(host_->registered_rules().empty());
  EXPECT_THROW(service->ReportViolation(u"r", 0, u"one"), host::Error);
  service->ReportViolation(u"r", 0, u"two");
  ASSERT_EQ(host_->violations().size(), 1u);
  EXPECT_EQ(host_->violations()[0].message, u"two");
  EXPECT_THROW(repository_->ActiveDiagram()->SetPresetProperty(0), host::Error);
  EXPECT_FALSE(host_->model().FindDiagram(1)->preset_property());
  std::vector<host::Variant> none;
  EXPECT_THROW(service->InvokeByName(u"ExportDiagramToBPEL", none), host::Error);
  EXPECT_TRUE(host_->bpel_exports().empty());
  EXPECT_TRUE(interceptor_->TakeTrace().empty());  // tracing is off
}

TEST_F(InterceptorTest, UnsetObjectsStayUnset) {
  builder_.data().active_diagram.reset();
  Start(true);
  host_->OpenDiagram(std::nullopt);
  host_->SelectPackage(std::nullopt);
  EXPECT_FALSE(repository_->ActiveDiagram());
  EXPECT_FALSE(repository_->SelectedPackage());
}

TEST(InterceptorMembers, KnowsTheHostMembersByName) {
  EXPECT_TRUE(host::IsKnownMember("Repository.ActiveDiagram"));
  EXPECT_TRUE(host::IsKnownMember("ValidationService.ExportDiagramToBPEL"));
  EXPECT_TRUE(host::IsKnownMember("Diagram.PresetProperty"));
  EXPECT_FALSE(host::IsKnownMember("Repository.activeDiagram"));
  EXPECT_FALSE(host::IsKnownMember("ActiveDiagram"));
}

}  // namespace
