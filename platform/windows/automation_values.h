// Automation values on Windows, shared by the module's side and the host's side of a late-bound
// call: host::Variant to and from VARIANT, UTF-16 strings to and from BSTR, and failures to and
// from HRESULT with EXCEPINFO, so that a failure crosses the boundary with its kind and message.
#pragma once

// clang-format off
#include <windows.h>
#include <oaidl.h>
// clang-format on

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "host/error.h"
#include "host/objects.h"
#include "host/variant.h"
#include "platform/component.h"

namespace platform::windows {

// How host objects cross a call: each side decides how one of its objects becomes an IDispatch
// (the host serves its model objects, the module would serve none) and what an IDispatch that
// arrives becomes (the module adapts it to the host interfaces).
struct ObjectBridge {
  // Returns a pointer the caller owns (AddRef'd); null for an unset object.
  std::function<IDispatch*(const std::shared_ptr<host::Object>&)> to_dispatch;
  // Takes its own reference; null for a null pointer.
  std::function<std::shared_ptr<host::Object>(IDispatch*)> from_dispatch;
};

std::u16string FromBstr(BSTR text);
// A new BSTR the caller owns; throws std::bad_alloc when out of memory.
BSTR ToBstr(std::u16string_view text);

// The value of `value`, looking through VT_BYREF and VT_VARIANT|VT_BYREF. Arrays of strings
// (or of variants holding strings) become StringArray. Unsupported types fail with a type
// mismatch naming the VARTYPE.
host::Variant FromVariant(const VARIANT& value, const ObjectBridge& objects);
// Writes `value` into `out`, which must be empty (VariantInit'd); the caller owns the result. A
// StringArray becomes a zero-based SAFEARRAY of BSTR.
void ToVariant(const host::Variant& value, VARIANT& out, const ObjectBridge& objects);
// Writes `value` back through a by-reference argument, converting to the referenced type
// (VT_BSTR, VT_I4, VT_I2, VT_BOOL, VT_R8, VT_DISPATCH, VT_ARRAY|VT_BSTR or VT_VARIANT); a value
// that does not fit the referenced type fails with a type mismatch, a number out of its range with
// an overflow. A plain (not by-reference) argument is left.
void StoreByRef(const host::Variant& value, VARIANT& by_ref, const ObjectBridge& objects);

// The HRESULT that stands for a failure kind, and back; an HRESULT of no known kind is kHost.
HRESULT ResultCodeOf(host::ErrorKind kind);
host::ErrorKind ErrorKindOf(HRESULT code);

// Fills an EXCEPINFO (source, description, scode) for a failed call. The caller returns
// DISP_E_EXCEPTION.
void FillException(EXCEPINFO& info, const CallError& error, std::u16string_view source);
// The failure of a call that returned `code`; `info` is read (and its strings freed) when the
// code is DISP_E_EXCEPTION. Other codes get a message of their own naming the code.
CallError ErrorOf(HRESULT code, EXCEPINFO* info);

// Owns a VARIANT and clears it when it goes.
class VariantHolder {
 public:
  VariantHolder() { VariantInit(&value_); }
  ~VariantHolder() { VariantClear(&value_); }
  VariantHolder(const VariantHolder&) = delete;
  VariantHolder& operator=(const VariantHolder&) = delete;
  VARIANT& get() { return value_; }

 private:
  VARIANT value_;
};

}  // namespace platform::windows
