// The error info of failing entry points over the platform's per-thread error-info object, so
// that what the module sets the host takes, whichever side's code runs.
// clang-format off
#include <windows.h>
#include <oleauto.h>
// clang-format on

#include <string>

#include "platform/component.h"
#include "platform/text.h"
#include "platform/windows/automation_values.h"

namespace platform {

void SetErrorInfo(std::string description) {
  if (description.empty()) {
    ::SetErrorInfo(0, nullptr);
    return;
  }
  ICreateErrorInfo* created = nullptr;
  if (FAILED(CreateErrorInfo(&created))) return;
  std::u16string wide = FromUtf8(description);
  created->SetDescription(reinterpret_cast<LPOLESTR>(wide.data()));
  created->SetSource(const_cast<LPOLESTR>(L"Orbelt"));
  IErrorInfo* info = nullptr;
  if (SUCCEEDED(created->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info)))) {
    ::SetErrorInfo(0, info);
    info->Release();
  }
  created->Release();
}

std::string TakeErrorInfo() {
  IErrorInfo* info = nullptr;
  if (::GetErrorInfo(0, &info) != S_OK || info == nullptr) return {};
  BSTR description = nullptr;
  info->GetDescription(&description);
  info->Release();
  std::string text = ToUtf8(windows::FromBstr(description));
  SysFreeString(description);
  return text;
}

}  // namespace platform
