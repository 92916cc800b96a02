// The technology commands against the host stand-in, in the cases that the golden shell
// sessions do not play.
#include "addin_fixture.h"

namespace {

using Strings = std::vector<std::u16string>;

kelvo::ModelData ModelWith(std::int32_t build, std::u16string location) {
  auto model = AddinTest::SmallModel();
  model.host.build = build;
  model.host.model_location = std::move(location);
  return model;
}

struct LoadCase {
  const char* name;
  kelvo::ModelData model;
  kelvo::HostOptions options;
  Strings messages;
  bool installed;
};

class DoLoad : public AddinTest, public testing::WithParamInterface<LoadCase> {};

TEST_P(DoLoad, ChecksTheModelThenTheBuildThenHandsTheDocumentOver) {
  StartSession(GetParam().model, GetParam().options);
  addin_.DoLoad(Repository());
  EXPECT_EQ(MessageTexts(), GetParam().messages);
  EXPECT_EQ(host_->HasTechnology(u"BPMN"), GetParam().installed);
  // The profile is shown exactly when the technology went in.
  EXPECT_EQ(host_->profile_calls().size(), GetParam().installed ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DoLoad,
    testing::Values(LoadCase{"NoModelOpenOnAnOldHost", ModelWith(700, u""), {}, {u"No Model Open!"}, false},
                    LoadCase{"Build795", ModelWith(795, u"m.kvm"), {}, {}, true},
                    LoadCase{"HostRefuses",
                             ModelWith(1300, u"m.kvm"),
                             {true, false},
                             {u"Unable to Load Technology File"},
                             false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(AddinTest, DoUnloadReportsARefusalAndAMissingModel) {
  auto model = SmallModel();
  model.technologies = {u"BPMN"};
  StartSession(model, {false, true});
  addin_.DoUnload(Repository());
  EXPECT_TRUE(host_->HasTechnology(u"BPMN"));
  StartSession(ModelWith(1300, u""));
  addin_.DoUnload(Repository());
  EXPECT_EQ(MessageTexts(), (Strings{u"Unable to Unload Technology File", u"No Model Open!"}));
}

}  // namespace
