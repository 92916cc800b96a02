// Pool and Lane checks: a Pool's Participant, and a Lane's container or parent tags.
#include "rules_fixture.h"

namespace rules_test {
namespace {

constexpr std::int32_t kLane = 10;

// A lane whose direct parent is element 20 of `parent_stereotype` (none when empty).
Model Lane(Tags tags, const char16_t* parent_stereotype = nullptr) {
  Model model;
  if (!parent_stereotype) return model.Add(kLane, u"Lane", std::move(tags));
  return model.Add(30, u"Pool")
      .Add(20, parent_stereotype, {}, {.parent = 30})
      .Add(kLane, u"Lane", std::move(tags), {.parent = 20});
}

const std::vector<CheckCase> kCases = {
    {"not_a_swimlane", Model().Add(kLane, u"Activity"), {}},
    {"pool_without_participant_209", Model().Add(kLane, u"Pool"), {Report(209, "Rule_09", 1)}},
    {"pool_with_participant", Model().Add(kLane, u"Pool", {{u"Participant", u"p"}}), {}},
    {"metatype_decides_not_stereotype",
     Model().Add(kLane, u"Group", {}, {.metatype = u"Pool"}),
     {Report(209, "Rule_09", 1)}},
    {"pool_stereotype_of_other_metatype", Model().Add(kLane, u"Pool", {}, {.metatype = u"Class"}), {}},
    {"lane_in_pool", Model().Add(20, u"Pool").Add(kLane, u"Lane", {}, {.parent = 20}), {}},
    {"lane_in_lane", Lane({}, u"Lane"), {}},
    {"lane_in_package_210", Lane({}), {Report(210, "Rule_09", 0)}},
    {"lane_naming_parent_pool", Lane({{u"ParentPool", u"p"}}), {}},
    {"lane_naming_parent_lane_only", Lane({{u"ParentLane", u"l"}}), {}},
    {"lane_in_activity_inside_pool_210", Lane({}, u"Activity"), {Report(210, "Rule_09", 0)}},
};

INSTANTIATE_TEST_SUITE_P(Swimlane, RuleChecks, Rows("Rule_09", kCases), CaseName);

}  // namespace
}  // namespace rules_test
