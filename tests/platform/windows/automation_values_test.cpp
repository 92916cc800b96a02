// Automation values and failures crossing a late-bound call on Windows.
#include "platform/windows/automation_values.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using platform::windows::VariantHolder;

const platform::windows::ObjectBridge kNoObjects;

struct Value {
  const char* name;
  host::Variant value;
  VARTYPE type;  // as it crosses
};

class AutomationValue : public testing::TestWithParam<Value> {};

// A value converts to its automation type and back unchanged, and a by-reference argument of
// that type (plain or a VARIANT*) takes it on write-back.
TEST_P(AutomationValue, CrossesPlainAndByReference) {
  VariantHolder plain;
  platform::windows::ToVariant(GetParam().value, plain.get(), kNoObjects);
  EXPECT_EQ(plain.get().vt, GetParam().type);
  EXPECT_EQ(platform::windows::FromVariant(plain.get(), kNoObjects), GetParam().value);

  VariantHolder referenced;  // starts as another value of the same type
  VariantCopy(&referenced.get(), &plain.get());
  VARIANT by_ref;
  by_ref.vt = VT_BYREF | GetParam().type;
  by_ref.byref = &referenced.get().lVal;  // the union's storage: every member starts there
  VariantHolder boxed;
  VARIANT by_variant;
  by_variant.vt = VT_BYREF | VT_VARIANT;
  by_variant.pvarVal = &boxed.get();
  for (VARIANT* target : {&by_ref, &by_variant}) {
    platform::windows::StoreByRef(GetParam().value, *target, kNoObjects);
    EXPECT_EQ(platform::windows::FromVariant(*target, kNoObjects), GetParam().value);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Values, AutomationValue,
    testing::Values(Value{"Long", std::int32_t{-70000}, VT_I4}, Value{"Short", std::int16_t{-7}, VT_I2},
                    Value{"True", true, VT_BOOL}, Value{"False", false, VT_BOOL}, Value{"Double", 2.5, VT_R8},
                    Value{"Text", std::u16string(u"Pr\u00FCfung \U0001F4E6"), VT_BSTR},
                    Value{"EmptyText", std::u16string(), VT_BSTR},
                    Value{"Strings", host::StringArray{u"&Load", u"-", u""}, VT_ARRAY | VT_BSTR}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AutomationValue, WriteBackRejectsValuesThatDoNotFitTheReference) {
  BSTR text = nullptr;
  VARIANT by_ref;
  by_ref.vt = VT_BYREF | VT_BSTR;
  by_ref.pbstrVal = &text;
  EXPECT_THROW(platform::windows::StoreByRef(std::int32_t{1}, by_ref, kNoObjects), host::Error);
  VARIANT plain;
  plain.vt = VT_I4;
  plain.lVal = 5;  // not by reference: left as it is
  platform::windows::StoreByRef(std::int32_t{6}, plain, kNoObjects);
  EXPECT_EQ(plain.lVal, 5);
}

// Each failure kind crosses as DISP_E_EXCEPTION with its own code and the message unchanged.
TEST(AutomationFailure, KeepsKindAndMessage) {
  for (const auto kind :
       {host::ErrorKind::kHost, host::ErrorKind::kOverflow, host::ErrorKind::kNullObject,
        host::ErrorKind::kTypeMismatch, host::ErrorKind::kIndex, host::ErrorKind::kResource}) {
    SCOPED_TRACE(std::string(host::ToString(kind)));
    EXCEPINFO info;
    platform::windows::FillException(info,
                                     {kind,
                                      "Rechnung pr\xC3\xBC"
                                      "fen"},
                                     u"Orbelt");
    EXPECT_EQ(platform::windows::FromBstr(info.bstrSource), u"Orbelt");
    const platform::CallError error = platform::windows::ErrorOf(DISP_E_EXCEPTION, &info);
    EXPECT_EQ(error.kind, kind);
    EXPECT_EQ(error.message,
              "Rechnung pr\xC3\xBC"
              "fen");
    EXPECT_EQ(info.bstrDescription, nullptr);
  }
  EXPECT_EQ(platform::windows::ResultCodeOf(host::ErrorKind::kTypeMismatch),
            static_cast<HRESULT>(0x800A000D));
  EXPECT_EQ(platform::windows::ErrorOf(DISP_E_MEMBERNOTFOUND, nullptr).kind, host::ErrorKind::kHost);
}

}  // namespace
