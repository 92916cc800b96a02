// The IUnknown part that every IDispatch of the platform shares: it answers for IUnknown,
// IDispatch and one interface id of its own, and the object deletes itself when its last
// reference goes.
#pragma once

// clang-format off
#include <windows.h>
#include <oaidl.h>
// clang-format on

#include <atomic>

namespace platform::windows {

class CountedDispatch : public IDispatch {
 public:
  explicit CountedDispatch(const IID& own_id) : own_id_(own_id) {}
  CountedDispatch(const CountedDispatch&) = delete;
  CountedDispatch& operator=(const CountedDispatch&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** out) override {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (!IsEqualIID(id, IID_IUnknown) && !IsEqualIID(id, IID_IDispatch) && !IsEqualIID(id, own_id_))
      return E_NOINTERFACE;
    *out = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

 protected:
  virtual ~CountedDispatch() = default;

 private:
  IID own_id_;
  std::atomic<ULONG> references_{1};
};

}  // namespace platform::windows
