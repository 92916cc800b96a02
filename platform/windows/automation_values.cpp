// Automation values on Windows: host::Variant to and from VARIANT, and failures to and from
// HRESULT with EXCEPINFO.
#include "platform/windows/automation_values.h"

#include <cstdio>
#include <new>
#include <utility>

#include "platform/text.h"

namespace platform::windows {

namespace {

[[noreturn]] void ThrowUnsupported(VARTYPE type) {
  char code[16];
  std::snprintf(code, sizeof code, "0x%04X", static_cast<unsigned>(type));
  throw host::Error(host::ErrorKind::kTypeMismatch,
                    std::string("type mismatch: automation values of type ") + code + " are not supported");
}

[[noreturn]] void ThrowDoesNotFit(const char* type) {
  throw host::Error(host::ErrorKind::kTypeMismatch,
                    std::string("type mismatch: the value does not fit a by-reference ") + type);
}

// A one-dimensional array of strings, or of variants that hold strings.
host::StringArray FromSafeArray(SAFEARRAY* array, VARTYPE element_type) {
  host::StringArray items;
  if (array == nullptr) return items;
  if (SafeArrayGetDim(array) != 1) ThrowUnsupported(VT_ARRAY | element_type);
  LONG lower = 0;
  LONG upper = -1;
  SafeArrayGetLBound(array, 1, &lower);
  SafeArrayGetUBound(array, 1, &upper);
  for (LONG i = lower; i <= upper; ++i) {
    if (element_type == VT_BSTR) {
      BSTR item = nullptr;
      if (FAILED(SafeArrayGetElement(array, &i, &item))) ThrowUnsupported(VT_ARRAY | element_type);
      items.push_back(FromBstr(item));
      SysFreeString(item);
      continue;
    }
    VariantHolder item;
    if (FAILED(SafeArrayGetElement(array, &i, &item.get())) || item.get().vt != VT_BSTR) {
      ThrowUnsupported(VT_ARRAY | element_type);
    }
    items.push_back(FromBstr(item.get().bstrVal));
  }
  return items;
}

SAFEARRAY* ToSafeArray(const host::StringArray& items) {
  SAFEARRAY* array = SafeArrayCreateVector(VT_BSTR, 0, static_cast<ULONG>(items.size()));
  if (array == nullptr) throw std::bad_alloc();
  for (LONG i = 0; i < static_cast<LONG>(items.size()); ++i) {
    BSTR item = ToBstr(items[i]);
    const HRESULT stored = SafeArrayPutElement(array, &i, item);  // copies the string
    SysFreeString(item);
    if (FAILED(stored)) {
      SafeArrayDestroy(array);
      throw std::bad_alloc();
    }
  }
  return array;
}

IDispatch* ToDispatch(const std::shared_ptr<host::Object>& object, const ObjectBridge& objects) {
  if (!object) return nullptr;
  if (!objects.to_dispatch) {
    throw host::Error(host::ErrorKind::kTypeMismatch, "type mismatch: this side passes no objects");
  }
  return objects.to_dispatch(object);
}

std::shared_ptr<host::Object> FromDispatch(IDispatch* dispatch, const ObjectBridge& objects) {
  if (dispatch == nullptr) return nullptr;
  if (!objects.from_dispatch) {
    throw host::Error(host::ErrorKind::kTypeMismatch, "type mismatch: this side takes no objects");
  }
  return objects.from_dispatch(dispatch);
}

// The referenced value of a by-reference VARIANT, as a plain one that borrows its contents.
VARIANT Dereferenced(const VARIANT& value) {
  VARIANT plain;
  VariantInit(&plain);
  plain.vt = value.vt & ~VT_BYREF;
  switch (plain.vt) {
    case VT_BOOL:
      plain.boolVal = *value.pboolVal;
      break;
    case VT_I2:
      plain.iVal = *value.piVal;
      break;
    case VT_I4:
      plain.lVal = *value.plVal;
      break;
    case VT_R8:
      plain.dblVal = *value.pdblVal;
      break;
    case VT_BSTR:
      plain.bstrVal = *value.pbstrVal;
      break;
    case VT_DISPATCH:
      plain.pdispVal = *value.ppdispVal;
      break;
    default:
      if ((plain.vt & VT_ARRAY) == 0) ThrowUnsupported(value.vt);
      plain.parray = *value.pparray;
  }
  return plain;
}

std::int16_t ToShort(const host::Variant& value) {
  const std::int32_t wide = host::ToLong(value);
  if (wide < -32768 || wide > 32767)
    throw host::Error(host::ErrorKind::kOverflow, "value out of the 16-bit range");
  return static_cast<std::int16_t>(wide);
}

double ToDouble(const host::Variant& value) {
  if (const auto* d = std::get_if<double>(&value)) return *d;
  if (std::holds_alternative<std::int16_t>(value) || std::holds_alternative<std::int32_t>(value)) {
    return host::ToLong(value);
  }
  ThrowDoesNotFit("double");
}

}  // namespace

std::u16string FromBstr(BSTR text) {
  if (text == nullptr) return {};
  return {reinterpret_cast<const char16_t*>(text), SysStringLen(text)};
}

BSTR ToBstr(std::u16string_view text) {
  BSTR result =
      SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()), static_cast<UINT>(text.size()));
  if (result == nullptr) throw std::bad_alloc();
  return result;
}

host::Variant FromVariant(const VARIANT& value, const ObjectBridge& objects) {
  if (value.vt == (VT_VARIANT | VT_BYREF)) return FromVariant(*value.pvarVal, objects);
  if (value.vt & VT_BYREF) return FromVariant(Dereferenced(value), objects);
  switch (value.vt) {
    case VT_EMPTY:
    case VT_NULL:
      return {};
    case VT_BOOL:
      return value.boolVal != VARIANT_FALSE;
    case VT_I2:
      return static_cast<std::int16_t>(value.iVal);
    case VT_I4:
      return static_cast<std::int32_t>(value.lVal);
    case VT_R8:
      return value.dblVal;
    case VT_BSTR:
      return FromBstr(value.bstrVal);
    case VT_DISPATCH:
      return FromDispatch(value.pdispVal, objects);
    case VT_ARRAY | VT_BSTR:
    case VT_ARRAY | VT_VARIANT:
      return FromSafeArray(value.parray, value.vt & ~VT_ARRAY);
    default:
      ThrowUnsupported(value.vt);
  }
}

void ToVariant(const host::Variant& value, VARIANT& out, const ObjectBridge& objects) {
  struct Visitor {
    VARIANT& out;
    const ObjectBridge& objects;
    void operator()(std::monostate) const { out.vt = VT_EMPTY; }
    void operator()(bool b) const {
      out.vt = VT_BOOL;
      out.boolVal = b ? VARIANT_TRUE : VARIANT_FALSE;
    }
    void operator()(std::int16_t v) const {
      out.vt = VT_I2;
      out.iVal = v;
    }
    void operator()(std::int32_t v) const {
      out.vt = VT_I4;
      out.lVal = v;
    }
    void operator()(double v) const {
      out.vt = VT_R8;
      out.dblVal = v;
    }
    void operator()(const std::u16string& s) const {
      out.bstrVal = ToBstr(s);
      out.vt = VT_BSTR;
    }
    void operator()(const host::StringArray& items) const {
      out.parray = ToSafeArray(items);
      out.vt = VT_ARRAY | VT_BSTR;
    }
    void operator()(const std::shared_ptr<host::Object>& object) const {
      out.pdispVal = ToDispatch(object, objects);
      out.vt = VT_DISPATCH;
    }
  };
  std::visit(Visitor{out, objects}, value);
}

void StoreByRef(const host::Variant& value, VARIANT& by_ref, const ObjectBridge& objects) {
  if ((by_ref.vt & VT_BYREF) == 0) return;
  switch (by_ref.vt & ~VT_BYREF) {
    case VT_VARIANT: {
      VARIANT converted;
      VariantInit(&converted);
      ToVariant(value, converted, objects);
      VariantClear(by_ref.pvarVal);
      *by_ref.pvarVal = converted;
      return;
    }
    case VT_BSTR: {
      const auto* text = std::get_if<std::u16string>(&value);
      if (text == nullptr) ThrowDoesNotFit("string");
      BSTR converted = ToBstr(*text);
      SysFreeString(*by_ref.pbstrVal);
      *by_ref.pbstrVal = converted;
      return;
    }
    case VT_I4:
      *by_ref.plVal = host::ToLong(value);
      return;
    case VT_I2:
      *by_ref.piVal = ToShort(value);
      return;
    case VT_BOOL: {
      const auto* flag = std::get_if<bool>(&value);
      if (flag == nullptr) ThrowDoesNotFit("Boolean");
      *by_ref.pboolVal = *flag ? VARIANT_TRUE : VARIANT_FALSE;
      return;
    }
    case VT_R8:
      *by_ref.pdblVal = ToDouble(value);
      return;
    case VT_DISPATCH: {
      if (!std::holds_alternative<std::monostate>(value) &&
          !std::holds_alternative<std::shared_ptr<host::Object>>(value)) {
        ThrowDoesNotFit("object");
      }
      const auto* object = std::get_if<std::shared_ptr<host::Object>>(&value);
      IDispatch* converted = object ? ToDispatch(*object, objects) : nullptr;
      if (*by_ref.ppdispVal) (*by_ref.ppdispVal)->Release();
      *by_ref.ppdispVal = converted;
      return;
    }
    case VT_ARRAY | VT_BSTR: {
      const auto* items = std::get_if<host::StringArray>(&value);
      if (items == nullptr) ThrowDoesNotFit("string array");
      SAFEARRAY* converted = ToSafeArray(*items);
      if (*by_ref.pparray) SafeArrayDestroy(*by_ref.pparray);
      *by_ref.pparray = converted;
      return;
    }
    default:
      ThrowUnsupported(by_ref.vt);
  }
}

namespace {

struct KindCode {
  host::ErrorKind kind;
  HRESULT code;
};

// The automation error numbers of the failure kinds, as 0x800A0000 + number.
constexpr KindCode kKindCodes[] = {
    {host::ErrorKind::kOverflow, static_cast<HRESULT>(0x800A0006)},
    {host::ErrorKind::kTypeMismatch, static_cast<HRESULT>(0x800A000D)},
    {host::ErrorKind::kIndex, static_cast<HRESULT>(0x800A0009)},
    {host::ErrorKind::kNullObject, static_cast<HRESULT>(0x800A005B)},
    {host::ErrorKind::kResource, static_cast<HRESULT>(0x800A0146)},
    // The dispatch runtime's own codes for the same failures.
    {host::ErrorKind::kOverflow, DISP_E_OVERFLOW},
    {host::ErrorKind::kTypeMismatch, DISP_E_TYPEMISMATCH},
    {host::ErrorKind::kIndex, DISP_E_BADINDEX},
};

std::string CodeText(HRESULT code) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(code));
  return text;
}

}  // namespace

HRESULT ResultCodeOf(host::ErrorKind kind) {
  for (const auto& entry : kKindCodes) {
    if (entry.kind == kind) return entry.code;
  }
  return E_FAIL;
}

host::ErrorKind ErrorKindOf(HRESULT code) {
  for (const auto& entry : kKindCodes) {
    if (entry.code == code) return entry.kind;
  }
  return host::ErrorKind::kHost;
}

void FillException(EXCEPINFO& info, const CallError& error, std::u16string_view source) {
  info = EXCEPINFO{};
  info.bstrSource = ToBstr(source);
  info.bstrDescription = ToBstr(FromUtf8(error.message));
  info.scode = ResultCodeOf(error.kind);
}

CallError ErrorOf(HRESULT code, EXCEPINFO* info) {
  if (code != DISP_E_EXCEPTION || info == nullptr) {
    return {ErrorKindOf(code), "the automation call failed with " + CodeText(code)};
  }
  if (info->pfnDeferredFillIn) info->pfnDeferredFillIn(info);
  const HRESULT scode = info->scode != 0 ? info->scode : static_cast<HRESULT>(0x800A0000 + info->wCode);
  CallError error{ErrorKindOf(scode), ToUtf8(FromBstr(info->bstrDescription))};
  if (error.message.empty()) error.message = "the automation call failed with " + CodeText(scode);
  for (BSTR* text : {&info->bstrSource, &info->bstrDescription, &info->bstrHelpFile}) {
    SysFreeString(std::exchange(*text, nullptr));
  }
  return error;
}

}  // namespace platform::windows
