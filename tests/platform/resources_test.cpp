// The module's resources as the add-in reads them.
#include "platform/resources.h"

#include <gtest/gtest.h>

#include "host/error.h"

namespace {

struct Text {
  const char* name;
  std::int32_t id;
  std::u16string expected;
};

class StringTable : public testing::TestWithParam<Text> {};

TEST_P(StringTable, HoldsTheText) {
  EXPECT_EQ(platform::LoadStringResource(GetParam().id), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, StringTable,
    testing::Values(
        Text{"FirstId", 101, u"-&BPMN Technology"}, Text{"MessageTitle", 218, u"Tarrow Technology for BPMN"},
        Text{"DoubledQuotes", 221,
             u"If Implementation is set to \"Web Service\" then WebService must be referenced."},
        Text{"LongestText", 110,
             u"You cannot add a new diagram or element directly under the project root node. Please create "
             u"new diagrams and elements within other packages."},
        Text{"LastId", 222, u"Version 1.3"}),
    [](const auto& info) { return std::string(info.param.name); });

void ExpectResourceError(const std::function<void()>& read) {
  try {
    read();
    FAIL() << "no error";
  } catch (const host::Error& e) {
    EXPECT_EQ(e.kind(), host::ErrorKind::kResource);
  }
}

TEST(StringTable, AnIdWithoutTextIsAResourceError) {
  ExpectResourceError([] { platform::LoadStringResource(109); });
  ExpectResourceError([] { platform::LoadStringResource(0); });
}

TEST(BinaryResources, AreFoundByTypeAndIdOnly) {
  ExpectResourceError([] { platform::LoadBinaryResource("TECHFILE", 102); });
  ExpectResourceError([] { platform::LoadBinaryResource("techfile", 101); });
}

}  // namespace
