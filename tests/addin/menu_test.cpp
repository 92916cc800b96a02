// The menu tree and the click dispatch, beyond what the golden shell sessions pin.
#include "addin_fixture.h"

namespace {

using Strings = std::vector<std::u16string>;

// Older builds are shown in the golden sessions; 795 is the first build offered the commands.
TEST_F(AddinTest, Build795IsTheFirstOfferedTheTechnologyCommands) {
  auto model = SmallModel();
  model.host.build = 795;
  StartSession(model);
  EXPECT_EQ(Menu(u"-&BPMN Technology"), host::Variant(Strings{u"&Load", u"-", u"&Help", u"&About"}));
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

TEST_F(AddinTest, HelpOpensTheFileBesideTheComponentAtItsContext) {
  Click(u"&Help");
  ASSERT_EQ(ui_->help.size(), 1u);
  // The component here is the test program itself: its folder, then two backslashes.
  EXPECT_EQ(ui_->help[0].file, std::string(ORBELT_BINARY_DIR) + "\\\\Kelvo_BPMN.chm");
  EXPECT_EQ(ui_->help[0].command, 15u);
  EXPECT_EQ(ui_->help[0].data, 1000u);
}

}  // namespace
