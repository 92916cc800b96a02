// Host objects served through IDispatch: members answer by name with the host's values, a failing
// member reaches the caller with its kind and message, and the host gets its own objects back.
// clang-format off
#include <windows.h>
#include <oleauto.h>
// clang-format on

#include "platform/windows/host_dispatch.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using platform::windows::HostObjectBridge;
using platform::windows::ServeHostObject;

class Placement : public host::DiagramPlacement {
 public:
  std::int32_t PlacedElementId() override { return 12; }
};

class Placements : public host::Collection<host::DiagramPlacement> {
 public:
  std::int32_t Count() override { return 2; }
  host::Ref<host::DiagramPlacement> GetAt(std::int32_t index) override {
    if (index != 1) throw host::Error(host::ErrorKind::kIndex, "no placement " + std::to_string(index));
    return std::shared_ptr<host::DiagramPlacement>(std::make_shared<Placement>());
  }
};

class Diagram : public host::Diagram {
 public:
  std::int32_t Id() override { return 7; }
  void SetPresetProperty(std::int32_t value) override { preset = value; }
  bool Save() override { return true; }
  host::Ref<host::Collection<host::DiagramPlacement>> Placements() override {
    return std::shared_ptr<host::Collection<host::DiagramPlacement>>(std::make_shared<::Placements>());
  }
  std::int32_t preset = 0;
};

struct Outcome {
  HRESULT code;
  host::Variant value;
  EXCEPINFO exception;
};

Outcome Call(IDispatch& object, const wchar_t* member, WORD flags, std::vector<VARIANT> args = {}) {
  std::wstring name(member);
  LPOLESTR names[] = {name.data()};
  DISPID id = 0;
  Outcome outcome{object.GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), {}, {}};
  if (FAILED(outcome.code)) return outcome;
  DISPID put = DISPID_PROPERTYPUT;
  DISPPARAMS params{args.data(), flags == DISPATCH_PROPERTYPUT ? &put : nullptr,
                    static_cast<UINT>(args.size()), flags == DISPATCH_PROPERTYPUT ? 1u : 0u};
  platform::windows::VariantHolder result;
  outcome.code = object.Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, &result.get(),
                               &outcome.exception, nullptr);
  if (SUCCEEDED(outcome.code))
    outcome.value = platform::windows::FromVariant(result.get(), HostObjectBridge());
  return outcome;
}

VARIANT Long(std::int32_t value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = value;
  return v;
}

IDispatch& Served(const host::Variant& value) {
  return *ServeHostObject(std::get<std::shared_ptr<host::Object>>(value));  // leaked: the test ends
}

TEST(HostDispatch, MembersAnswerWithTheHostValues) {
  auto diagram = std::make_shared<Diagram>();
  IDispatch* served = ServeHostObject(diagram);
  EXPECT_EQ(Call(*served, L"Id", DISPATCH_PROPERTYGET).value, host::Variant(std::int32_t{7}));
  EXPECT_EQ(Call(*served, L"Save", DISPATCH_METHOD).value, host::Variant(true));
  EXPECT_EQ(Call(*served, L"PresetProperty", DISPATCH_PROPERTYPUT, {Long(5)}).code, S_OK);
  EXPECT_EQ(diagram->preset, 5);
  const host::Variant placements = Call(*served, L"Placements", DISPATCH_PROPERTYGET).value;
  EXPECT_EQ(Call(Served(placements), L"Count", DISPATCH_PROPERTYGET).value, host::Variant(std::int32_t{2}));
  const host::Variant placement = Call(Served(placements), L"GetAt", DISPATCH_METHOD, {Long(1)}).value;
  EXPECT_EQ(Call(Served(placement), L"PlacedElementId", DISPATCH_PROPERTYGET).value,
            host::Variant(std::int32_t{12}));
  // The host gets back the very object it served.
  EXPECT_EQ(platform::windows::ServedHostObject(served), diagram);
  served->Release();
}

TEST(HostDispatch, FailuresKeepTheirKindAndMessage) {
  IDispatch* served = ServeHostObject(std::make_shared<Diagram>());
  const host::Variant placements = Call(*served, L"Placements", DISPATCH_PROPERTYGET).value;
  Outcome failed = Call(Served(placements), L"GetAt", DISPATCH_METHOD, {Long(4)});
  ASSERT_EQ(failed.code, DISP_E_EXCEPTION);
  const platform::CallError error = platform::windows::ErrorOf(failed.code, &failed.exception);
  EXPECT_EQ(error.kind, host::ErrorKind::kIndex);
  EXPECT_EQ(error.message, "no placement 4");
  EXPECT_EQ(Call(*served, L"Remove", DISPATCH_METHOD).code, DISP_E_UNKNOWNNAME);
  EXPECT_EQ(Call(*served, L"Id", DISPATCH_PROPERTYPUT, {Long(1)}).code, DISP_E_MEMBERNOTFOUND);
  served->Release();
}

}  // namespace
