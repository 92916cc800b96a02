// The technology, new-diagram and new-element commands against the host stand-in.
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
    testing::Values(LoadCase{"NoModelOpen", ModelWith(1300, u""), {}, {u"No Model Open!"}, false},
                    LoadCase{"NoModelOpenOnAnOldHost", ModelWith(700, u""), {}, {u"No Model Open!"}, false},
                    LoadCase{"Build794",
                             ModelWith(794, u"m.kvm"),
                             {},
                             {u"Add-in will only work with Kelvo 6.5 or later."},
                             false},
                    LoadCase{"Build795", ModelWith(795, u"m.kvm"), {}, {}, true},
                    LoadCase{"HostRefuses",
                             ModelWith(1300, u"m.kvm"),
                             {true, false},
                             {u"Unable to Load Technology File"},
                             false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(AddinTest, DoUnloadChecksOnlyThatAModelIsOpen) {
  auto model = ModelWith(700, u"m.kvm");
  model.technologies = {u"BPMN"};
  StartSession(model);
  addin_.DoUnload(Repository());
  EXPECT_FALSE(host_->HasTechnology(u"BPMN"));
  EXPECT_TRUE(ui_->message_boxes.empty());
  EXPECT_TRUE(host_->profile_calls().empty());
}

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

TEST_F(AddinTest, NewDiagramNeedsANonRootPackage) {
  host_->SelectPackage(std::nullopt);
  addin_.DoNewDiagram(Repository());
  host_->SelectPackage(1);
  addin_.DoNewDiagram(Repository());
  EXPECT_EQ(MessageTexts(),
            (Strings{u"No package selected",
                     u"You cannot add a new diagram or element directly under the project root "
                     u"node. Please create new diagrams and elements within other packages."}));
  EXPECT_TRUE(host_->model().diagrams().empty());
}

TEST_F(AddinTest, NewDiagramIsNamedAfterItsPackageAndOpenedEveryTime) {
  host_->SelectPackage(2);
  addin_.DoNewDiagram(Repository());
  addin_.DoNewDiagram(Repository());
  const auto& diagrams = host_->model().diagrams();
  ASSERT_EQ(diagrams.size(), 2u);
  for (const auto& diagram : diagrams) {
    EXPECT_EQ(diagram->data().name, u"Orders");
    EXPECT_EQ(diagram->data().type, u"BPMN::BPMN");
    EXPECT_EQ(diagram->data().package, 2);
    EXPECT_EQ(diagram->preset_property(), 0);
    EXPECT_EQ(diagram->saves(), 1);
  }
  EXPECT_EQ(host_->active_diagram(), diagrams[1]->data().id);
  EXPECT_EQ(host_->model().FindPackage(2)->diagrams().reloads(), 2);
  EXPECT_TRUE(ui_->message_boxes.empty());
}

struct NewElementCase {
  const char* name;
  std::vector<host::Variant> info;
  std::optional<host::ErrorKind> error;
};

class OnPostNewElement : public AddinTest, public testing::WithParamInterface<NewElementCase> {};

TEST_P(OnPostNewElement, LooksTheElementUpAndAnswersFalse) {
  const auto info = std::make_shared<kelvo::InfoBagObject>(GetParam().info);
  try {
    EXPECT_FALSE(addin_.Kelvo_OnPostNewElement(Repository(), host::Ref<host::InfoBag>(info)));
    EXPECT_FALSE(GetParam().error) << "no error";
  } catch (const host::Error& e) {
    ASSERT_TRUE(GetParam().error) << e.what();
    EXPECT_EQ(e.kind(), *GetParam().error);
  }
  EXPECT_TRUE(ui_->message_boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Entries, OnPostNewElement,
    testing::Values(NewElementCase{"IdAsNumber", {std::int32_t{10}}, std::nullopt},
                    NewElementCase{"IdAsDigits", {std::u16string(u"10")}, std::nullopt},
                    NewElementCase{
                        "OnlyTheFirstEntryCounts", {std::int32_t{10}, std::u16string(u"junk")}, std::nullopt},
                    NewElementCase{"NoEntry", {}, host::ErrorKind::kIndex},
                    NewElementCase{"NotANumber", {std::u16string(u"ten")}, host::ErrorKind::kTypeMismatch},
                    NewElementCase{"UnknownElement", {std::int32_t{99}}, host::ErrorKind::kHost}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
