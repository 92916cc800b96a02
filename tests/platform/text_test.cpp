// Conversions at the edges of the system.
#include "platform/text.h"

#include <gtest/gtest.h>

namespace {

struct RoundTrip {
  const char* name;
  std::string utf8;
  std::u16string utf16;
};

class Utf8 : public testing::TestWithParam<RoundTrip> {};

TEST_P(Utf8, ConvertsBothWays) {
  EXPECT_EQ(platform::FromUtf8(GetParam().utf8), GetParam().utf16);
  EXPECT_EQ(platform::ToUtf8(GetParam().utf16), GetParam().utf8);
}

INSTANTIATE_TEST_SUITE_P(Texts, Utf8,
                         testing::Values(RoundTrip{"Ascii", "Order received", u"Order received"},
                                         RoundTrip{"Latin", "Rechnung kl\xC3\xA4ren",
                                                   u"Rechnung kl\u00E4ren"},
                                         RoundTrip{"ThreeBytes", "\xE2\x82\xAC 5", u"\u20AC 5"},
                                         RoundTrip{"SurrogatePair", "\xF0\x9F\x93\xA6", u"\U0001F4E6"},
                                         RoundTrip{"Empty", "", u""}),
                         [](const auto& info) { return std::string(info.param.name); });

struct Broken {
  const char* name;
  std::string utf8;
  std::u16string expected;
};

class BrokenUtf8 : public testing::TestWithParam<Broken> {};

TEST_P(BrokenUtf8, BecomesReplacementCharacters) {
  EXPECT_EQ(platform::FromUtf8(GetParam().utf8), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Texts, BrokenUtf8,
                         testing::Values(Broken{"LoneLatin1Byte", "kl\xE4ren", u"kl\uFFFDren"},
                                         Broken{"Overlong", "\xC0\xAF", u"\uFFFD\uFFFD"},
                                         Broken{"Truncated", "ab\xE2\x82", u"ab\uFFFD\uFFFD"},
                                         Broken{"EncodedSurrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Ansi, WidensEveryByteToTheCodeUnitOfTheSameValue) {
  const std::string bytes{'<', '\t', '\r', '\n', static_cast<char>(0xE4), static_cast<char>(0xFF)};
  EXPECT_EQ(platform::FromAnsi(bytes), (std::u16string{u'<', u'\t', u'\r', u'\n', 0xE4, 0xFF}));
}

TEST(Ansi, NarrowsLatin1AndReplacesWhatItCannotHold) {
  EXPECT_EQ(platform::ToAnsi(u"C:\\K\u00E4lvo\\\\Kelvo_BPMN.chm"), "C:\\K\xE4lvo\\\\Kelvo_BPMN.chm");
  EXPECT_EQ(platform::ToAnsi(u"\u20AC"), "?");
}

}  // namespace
