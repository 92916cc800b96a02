// The interceptor: trace lines as the transcript prints them, calls forwarded to the host, and
// faults injected by member name and call number.
#include "kelvo/interceptor.h"

#include <gtest/gtest.h>

#include "host/members.h"
#include "kelvo/host.h"
#include "support/model_builder.h"

namespace {

using namespace std::string_literals;
using test_support::ModelBuilder;
using Lines = std::vector<std::string>;

class InterceptorTest : public testing::Test {
 protected:
  // Element 10 "Go" with a tag, connected to element 11, both on diagram 1 in package 2.
  void Start(bool trace, std::vector<kelvo::Fault> faults = {}) {
    const std::int32_t start = builder_.Element(u"StartEvent", u"Go");
    const std::int32_t task = builder_.Element(u"Activity", u"Work");
    builder_.Tag(start, u"Trigger", u"None");
    builder_.Connector(start, task, u"SequenceFlow", {{u"ConditionType", u"None"}});
    builder_.Diagram(u"Process", {start, task});
    builder_.data().selected_package = ModelBuilder::kProcessPackage;
    host_ = builder_.Host();
    interceptor_.emplace(trace, std::move(faults));
    repository_ = interceptor_->Wrap(std::shared_ptr<host::Repository>(host_));
  }

  ModelBuilder builder_;
  std::shared_ptr<kelvo::Host> host_;
  std::optional<kelvo::Interceptor> interceptor_;
  std::shared_ptr<host::Repository> repository_;
};

// What the add-in does through the wrapped repository, checking what the host returned or did.
// Reads, writes and calls without arguments are pinned by the traced golden shell session.
struct Use {
  const char* name;
  void (*use)(host::Repository& repository, kelvo::Host& host);
  Lines trace;
};

class TracedUse : public InterceptorTest, public testing::WithParamInterface<Use> {};

TEST_P(TracedUse, ReachesTheHostAndIsTraced) {
  Start(true);
  GetParam().use(*repository_, *host_);
  EXPECT_EQ(interceptor_->TakeTrace(), GetParam().trace);
}

INSTANTIATE_TEST_SUITE_P(
    Uses, TracedUse,
    testing::Values(Use{"CallWithArguments",
                        [](host::Repository& r, kelvo::Host& host) {
                          r.SetProfileVisible(u"BPMN", u"", true);
                          const auto service = r.ValidationService();
                          service->ReportViolation(service->AddRule(u"{C}", 0, u"First"), 1, u"Broken");
                          EXPECT_EQ(host.violations().at(0).message, u"Broken");
                        },
                        {"Repository.SetProfileVisible(\"BPMN\", \"\", true)",
                         "Repository.ValidationService()", "ValidationService.AddRule(\"{C}\", 0, \"First\")",
                         "ValidationService.ReportViolation(\"{KV-RULE-0001}\", 1, \"Broken\")"}},
                    Use{"LateBoundCall",
                        [](host::Repository& r, kelvo::Host& host) {
                          std::vector<host::Variant> none;
                          r.ValidationService()->InvokeByName(u"ExportDiagramToBPEL", none);
                          EXPECT_EQ(host.bpel_exports().size(), 1u);
                        },
                        {"Repository.ValidationService()", "ValidationService.ExportDiagramToBPEL()"}},
                    // A walk lists the members read on the items, not Count and GetAt; a tag is named after
                    // its owner.
                    Use{"WalksAndTags",
                        [](host::Repository& r, kelvo::Host&) {
                          const auto element = r.ElementById(10);
                          for (const auto tag : element->Tags()) EXPECT_EQ(tag->Name(), u"Trigger");
                          for (const auto connector : element->ConnectorList()) {
                            for (const auto tag : connector->Tags()) EXPECT_EQ(tag->Value(), u"None");
                          }
                        },
                        {"Repository.ElementById(10)", "Element.Tags", "TaggedValue.Name",
                         "Element.ConnectorList", "Connector.Tags", "ConnectorTag.Value"}},
                    Use{"FailingCallsAndUnsetResults",
                        [](host::Repository& r, kelvo::Host& host) {
                          EXPECT_THROW(r.ElementById(999), host::Error);
                          EXPECT_FALSE(r.ConnectorById(999));
                          host.SelectPackage(std::nullopt);
                          EXPECT_FALSE(r.SelectedPackage());
                        },
                        {"Repository.ElementById(999)", "Repository.ConnectorById(999)",
                         "Repository.SelectedPackage"}}),
    [](const auto& info) { return std::string(info.param.name); });

struct Quoting {
  const char* name;
  std::u16string text;
  std::string written;
};

class TraceValueWrites : public testing::TestWithParam<Quoting> {};

TEST_P(TraceValueWrites, AJsonStringOrTheLength) {
  EXPECT_EQ(kelvo::TraceValue(GetParam().text), GetParam().written);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, TraceValueWrites,
    testing::Values(
        Quoting{"QuotesAndBackslashes", u"say \"hi\" \\ ok", R"("say \"hi\" \\ ok")"},
        Quoting{"ControlCharacters", u"\0\b\f\n\r\t\x1f\x7f"s, "\"\\u0000\\b\\f\\n\\r\\t\\u001f\x7f\""},
        Quoting{"NonAscii", u"Prüfung €\U0001F600", "\"Prüfung €\U0001F600\""},
        Quoting{"LoneSurrogates", u"a\xD800z\xDC00", "\"a\uFFFDz\uFFFD\""},
        Quoting{"SixtyFourCharacters", std::u16string(64, u'x'), '"' + std::string(64, 'x') + '"'},
        Quoting{"Longer", std::u16string(65, u'x'), "<string of 65 characters>"}),
    [](const auto& info) { return std::string(info.param.name); });

// The golden validation session shows the failure's kind and words; here the calls after it
// go through again, and every call is traced and counted.
TEST_F(InterceptorTest, TheNthCallOfAMemberFailsCountedOverTheSession) {
  Start(true, {{"Repository.HostBuild", 2}});
  EXPECT_EQ(repository_->HostBuild(), 1300);
  interceptor_->TakeTrace();  // a new step: the count goes on
  EXPECT_THROW(repository_->HostBuild(), host::Error);
  EXPECT_EQ(repository_->HostBuild(), 1300);
  EXPECT_EQ(interceptor_->TakeTrace(), (Lines{"Repository.HostBuild", "Repository.HostBuild"}));
  EXPECT_EQ(interceptor_->CallCount("Repository.HostBuild"), 3);
}

TEST_F(InterceptorTest, AFaultWithoutNthFailsEveryCallAndHasNoEffect) {
  Start(false, {{"ValidationService.AddRule", std::nullopt},
                {"Diagram.PresetProperty", std::nullopt},
                {"ValidationService.ExportDiagramToBPEL", std::nullopt}});
  auto service = repository_->ValidationService();
  EXPECT_THROW(service->AddRule(u"c", 0, u"First"), host::Error);
  EXPECT_THROW(service->AddRule(u"c", 0, u"Second"), host::Error);
  EXPECT_TRUE(host_->registered_rules().empty());
  EXPECT_THROW(repository_->ActiveDiagram()->SetPresetProperty(0), host::Error);
  EXPECT_FALSE(host_->model().FindDiagram(1)->preset_property());
  std::vector<host::Variant> none;
  EXPECT_THROW(service->InvokeByName(u"ExportDiagramToBPEL", none), host::Error);
  EXPECT_TRUE(host_->bpel_exports().empty());
  EXPECT_TRUE(interceptor_->TakeTrace().empty());  // tracing is off
}

TEST(KnownMembers, AreTheListedOnesByTheirHostNames) {
  for (const char* known : {"Repository.ActiveDiagram", "Diagram.PresetProperty", "TaggedValue.Value",
                            "ConnectorTag.Name", "ValidationService.ExportDiagramToBPEL", "InfoItem.Value"}) {
    EXPECT_TRUE(host::IsKnownMember(known)) << known;
  }
  for (const char* unknown : {"Repository.activeDiagram", "ActiveDiagram", "Diagram.SetPresetProperty",
                              "Element.Tags.Name", "Tag.Name", "Repository.", ".Id", ""}) {
    EXPECT_FALSE(host::IsKnownMember(unknown)) << unknown;
  }
}

}  // namespace
