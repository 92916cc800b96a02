// The contract of the checks with the host, as the stand-in's interceptor traces it: a tag
// lookup reads every tag (the last match wins), values are read afresh on every run, the
// validation service is fetched anew for each report, and a host failure in mid-check ends the
// run and keeps the reports made before it.
#include <algorithm>

#include "rules_fixture.h"

namespace rules_test {
namespace {

using Lines = std::vector<std::string>;

// The Participant lookup reads every name and the value of each match; the last match, filled,
// wins. Nothing read is kept for the next run.
TEST(HostCalls, TagLookupReadsEveryTagAfreshOnEachRun) {
  Model model = Model().Add(10, u"Pool", {{u"Participant", u""}, {u"Other", u"x"}, {u"Participant", u"p"}});
  Session session(model.data());
  const Lines expected{"Element.MetaTypeName", "Element.MetaTypeName", "Element.MetaTypeName",
                       "Element.Tags",         "TaggedValue.Name",     "TaggedValue.Value",
                       "TaggedValue.Name",     "TaggedValue.Name",     "TaggedValue.Value"};
  for (int run = 1; run <= 2; ++run) {
    EXPECT_EQ(session.RunElement("Rule_09", 10), Lines{}) << "run " << run;
    EXPECT_EQ(session.TakeTrace(), expected) << "run " << run;
  }
}

TEST(HostCalls, MissingConnectorEndsTheRunAtTheFetch) {
  Session session(Model().data());
  EXPECT_EQ(session.RunConnector("Rule_01", 999), Lines{});
  EXPECT_EQ(session.TakeTrace(), Lines{"Repository.ConnectorById(999)"});
}

// During an announced run the first End Event of a container walks the open diagram's
// placements and later ones reuse its answer; once the run has ended, each event walks again.
TEST(HostCalls, AnnouncedRunWalksThePlacementsOnce) {
  Session session(Model().Add(10, u"StartEvent").Add(11, u"EndEvent").Add(12, u"EndEvent").data());
  const auto placements_read = [&] {
    const Lines trace = session.TakeTrace();
    return std::count(trace.begin(), trace.end(), "DiagramPlacement.PlacedElementId");
  };
  session.rules().BeginValidationRun(session.repository());
  session.RunElement("Rule_06", 11);
  EXPECT_EQ(placements_read(), 3);
  session.RunElement("Rule_06", 12);
  EXPECT_EQ(placements_read(), 0);
  session.rules().EndValidationRun(session.repository());
  session.RunElement("Rule_06", 12);
  EXPECT_EQ(placements_read(), 3);
}

// A host failure ends the run; the reports made before it stay (the golden validation session
// shows it for a failing second report).
struct FaultCase {
  std::string name;
  Model model;
  std::string rule;
  kelvo::Fault fault;
  Lines reports_before;
};
std::ostream& operator<<(std::ostream& out, const FaultCase& c) { return out << c.name; }

class HostFaults : public testing::TestWithParam<FaultCase> {};

TEST_P(HostFaults, EndTheRunAndKeepEarlierReports) {
  Session session(Model(GetParam().model).data(), {GetParam().fault});
  std::u16string rule = session.HostId(GetParam().rule);
  try {
    session.rules().RunElementRule(session.repository(), rule, session.Element(10));
    FAIL() << "the run went on past the failure";
  } catch (const host::Error& error) {
    EXPECT_EQ(error.kind(), host::ErrorKind::kHost);
  }
  EXPECT_EQ(session.TakeReports(), GetParam().reports_before);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HostFaults,
    testing::Values(
        FaultCase{"fresh_service_for_each_report",
                  Model().Add(10, u"IntermediateEvent", {{u"Trigger", u"Link"}}),
                  "Rule_05",
                  // Registration fetched the service twice; the third fetch is for the second report.
                  {"Repository.ValidationService", 4},
                  {Report(151, "Rule_05", 1)}},
        FaultCase{"placed_element_fetch_fails",
                  Model().Add(10, u"StartEvent").Add(11, u"Gateway"),
                  "Rule_04",
                  {"Repository.ElementById", 1},
                  {Report(128, "Rule_04", 0)}}),
    [](const testing::TestParamInfo<FaultCase>& info) { return info.param.name; });

}  // namespace
}  // namespace rules_test
