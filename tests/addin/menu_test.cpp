// The menu tree and the click dispatch.
#include "addin_fixture.h"

namespace {

using Strings = std::vector<std::u16string>;

struct MenuCase {
  const char* name;
  std::u16string menu_name;
  std::int32_t build;
  bool technology_loaded;
  host::Variant expected;
};

class MenuTree : public AddinTest, public testing::WithParamInterface<MenuCase> {};

TEST_P(MenuTree, OffersTheItemsOfTheBuildAndTechnologyState) {
  auto model = SmallModel();
  model.host.build = GetParam().build;
  if (GetParam().technology_loaded) model.technologies = {u"BPMN"};
  StartSession(model);
  EXPECT_EQ(Menu(GetParam().menu_name), GetParam().expected);
  EXPECT_TRUE(ui_->message_boxes.empty());
}

const Strings kLoadedMenu = {u"&Unload",      u"-", u"&Show Profile", u"&Hide Profile", u"-",
                             u"&New Diagram", u"-", u"&Help",         u"&About"};

INSTANTIATE_TEST_SUITE_P(
    States, MenuTree,
    testing::Values(MenuCase{"TopLevelIsOneString", u"", 1300, false, std::u16string(u"-&BPMN Technology")},
                    MenuCase{"TopLevelWhateverTheBuild", u"", 100, true,
                             std::u16string(u"-&BPMN Technology")},
                    MenuCase{"Build794OffersHelpAndAboutOnly", u"-&BPMN Technology", 794, true,
                             Strings{u"&Help", u"&About"}},
                    MenuCase{"Build795NotLoaded", u"-&BPMN Technology", 795, false,
                             Strings{u"&Load", u"-", u"&Help", u"&About"}},
                    MenuCase{"Build795Loaded", u"-&BPMN Technology", 795, true, kLoadedMenu}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(AddinTest, AnUnknownMenuNameShowsItAndReturnsNothing) {
  for (const std::u16string name : {u"-&bpmn technology", u"&BPMN Technology", u"Tools"}) {
    ui_->Clear();
    EXPECT_EQ(Menu(name), host::Variant{});
    ASSERT_EQ(ui_->message_boxes.size(), 1u);
    EXPECT_EQ(ui_->message_boxes[0].text, u"MenuName=" + name);
    EXPECT_EQ(ui_->message_boxes[0].title, u"Tarrow Technology for BPMN");
    EXPECT_EQ(ui_->message_boxes[0].style, 48);
  }
}

TEST_F(AddinTest, AnUnknownItemShowsItAndRunsNothing) {
  for (const std::u16string item : {u"Load", u"&load", u"&Export to BPEL", u""}) {
    ui_->Clear();
    Click(item);
    EXPECT_EQ(MessageTexts(), Strings{u"ItemName=" + item});
  }
  EXPECT_FALSE(host_->HasTechnology(u"BPMN"));
  EXPECT_TRUE(host_->bpel_exports().empty());
}

TEST_F(AddinTest, ClickingLoadInstallsTheTechnologyAndShowsItsProfile) {
  Click(u"&Load");
  EXPECT_TRUE(host_->HasTechnology(u"BPMN"));
  ASSERT_EQ(host_->profile_calls().size(), 1u);
  EXPECT_TRUE(host_->profile_calls()[0].visible);
  EXPECT_EQ(Menu(u"-&BPMN Technology"), host::Variant(kLoadedMenu));
}

TEST_F(AddinTest, ShowAndHideProfileSetTheVisibilityOfTheWholeTechnology) {
  Click(u"&Hide Profile");
  Click(u"&Show Profile");
  ASSERT_EQ(host_->profile_calls().size(), 2u);
  EXPECT_EQ(host_->profile_calls()[0].technology, u"BPMN");
  EXPECT_EQ(host_->profile_calls()[0].profile, u"");
  EXPECT_FALSE(host_->profile_calls()[0].visible);
  EXPECT_TRUE(host_->profile_calls()[1].visible);
}

TEST_F(AddinTest, ExportToBpelIsRunAlthoughNoMenuOffersIt) {
  host_->OpenDiagram(std::nullopt);
  Click(u"E&xport to BPEL");
  EXPECT_EQ(host_->bpel_exports().size(), 1u);
  EXPECT_TRUE(ui_->message_boxes.empty());
}

TEST_F(AddinTest, EachAboutClickOpensItsOwnDialogWithTheLoadedTexts) {
  Click(u"&About");
  Click(u"&About");
  ASSERT_EQ(ui_->dialogs.size(), 2u);
  for (const auto& dialog : ui_->dialogs) {
    EXPECT_EQ(dialog.form, "frmAbout");
    EXPECT_EQ(dialog.caption, u"Tarrow Technology for BPMN - About");
    using Texts = std::vector<std::pair<std::string, std::u16string>>;
    EXPECT_EQ(dialog.controls, (Texts{{"lblTitle", u"Tarrow Technology for BPMN"},
                                      {"lblVersion", u"Version 1.3"},
                                      {"cmdOK", u"&OK"}}));
  }
}

TEST_F(AddinTest, HelpOpensTheFileBesideTheComponentAtItsContext) {
  Click(u"&Help");
  ASSERT_EQ(ui_->help.size(), 1u);
  // The component here is the test program itself: its folder, then two backslashes.
  EXPECT_EQ(ui_->help[0].file, std::string(ORBELT_BINARY_DIR) + "\\\\Kelvo_BPMN.chm");
  EXPECT_EQ(ui_->help[0].command, 15u);
  EXPECT_EQ(ui_->help[0].data, 1000u);
}

}  // namespace
