// Host values and references: the automation conversion to 32-bit integers, and Ref.
#include <gtest/gtest.h>

#include <limits>

#include "host/objects.h"

namespace {

struct Conversion {
  const char* name;
  host::Variant value;
  std::int32_t expected;
};

class ToLongConverts : public testing::TestWithParam<Conversion> {};

TEST_P(ToLongConverts, ToTheExpectedNumber) {
  EXPECT_EQ(host::ToLong(GetParam().value), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Values, ToLongConverts,
                         testing::Values(Conversion{"Empty", host::Variant{}, 0},
                                         Conversion{"True", true, -1},
                                         Conversion{"Short", std::int16_t{-7}, -7},
                                         Conversion{"Long", std::int32_t{123456}, 123456},
                                         Conversion{"DoubleRoundsHalfToEven", 2.5, 2},
                                         Conversion{"DoubleRoundsUp", 2.6, 3},
                                         Conversion{"Digits", std::u16string(u"42"), 42},
                                         Conversion{"SignedDigits", std::u16string(u"-42"), -42},
                                         Conversion{"BlanksAround", std::u16string(u"  17 "), 17},
                                         Conversion{"Largest", std::u16string(u"2147483647"),
                                                    std::numeric_limits<std::int32_t>::max()}),
                         [](const auto& info) { return std::string(info.param.name); });

struct Failure {
  const char* name;
  host::Variant value;
  host::ErrorKind kind;
};

class ToLongFails : public testing::TestWithParam<Failure> {};

TEST_P(ToLongFails, WithTheRightKind) {
  try {
    host::ToLong(GetParam().value);
    FAIL() << "no error";
  } catch (const host::Error& e) {
    EXPECT_EQ(e.kind(), GetParam().kind);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Values, ToLongFails,
    testing::Values(Failure{"Letters", std::u16string(u"twelve"), host::ErrorKind::kTypeMismatch},
                    Failure{"EmptyText", std::u16string(u""), host::ErrorKind::kTypeMismatch},
                    Failure{"TrailingWord", std::u16string(u"12 apples"), host::ErrorKind::kTypeMismatch},
                    Failure{"Array", host::StringArray{u"1"}, host::ErrorKind::kTypeMismatch},
                    Failure{"TooLargeText", std::u16string(u"2147483648"), host::ErrorKind::kOverflow},
                    Failure{"TooLargeDouble", 1e12, host::ErrorKind::kOverflow}),
    [](const auto& info) { return std::string(info.param.name); });

// A collection that exists only as long as a reference holds it, as a host's wrapper would.
class Numbers final : public host::Collection<host::DiagramPlacement> {
 public:
  class Placement final : public host::DiagramPlacement {
   public:
    explicit Placement(std::int32_t id) : id_(id) {}
    std::int32_t PlacedElementId() override { return id_; }

   private:
    std::int32_t id_;
  };
  std::int32_t Count() override { return 3; }
  host::Ref<host::DiagramPlacement> GetAt(std::int32_t index) override {
    return host::Ref<host::DiagramPlacement>(std::make_shared<Placement>(index + 1));
  }
};

host::Ref<host::Collection<host::DiagramPlacement>> FreshCollection() {
  return host::Ref<host::Collection<host::DiagramPlacement>>(std::make_shared<Numbers>());
}

TEST(Ref, ACollectionReferenceIsWalkedFrontToBack) {
  std::vector<std::int32_t> ids;
  for (const auto& placement : FreshCollection()) ids.push_back(placement->PlacedElementId());
  EXPECT_EQ(ids, (std::vector<std::int32_t>{1, 2, 3}));
}

// Using a member, or walking a collection, through an unset reference is an error that names the
// interface.
TEST(Ref, UnsetReferencesAreNullObjectErrors) {
  host::Ref<host::ConnectorTag> unset;
  EXPECT_FALSE(unset);
  try {
    unset->Name();
    FAIL() << "no error";
  } catch (const host::Error& e) {
    EXPECT_EQ(e.kind(), host::ErrorKind::kNullObject);
    EXPECT_NE(std::string(e.what()).find("ConnectorTag"), std::string::npos);
  }
  host::Ref<host::Collection<host::DiagramPlacement>> collection;
  EXPECT_THROW(
      {
        for (const auto& placement : collection) (void)placement;
      },
      host::Error);
}

}  // namespace
