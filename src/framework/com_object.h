// The IUnknown part of the COM objects we implement: an atomic reference count that deletes the
// object at zero, and QueryInterface from the table of interfaces named in the template
// arguments (IUnknown always answers). Objects start with one reference, owned by the creator.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <atomic>

namespace fx {

template <class Interface, const IID&... kInterfaces>
class ComObject : public Interface {
 public:
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    static const IID* const kTable[] = {&IID_IUnknown, &kInterfaces...};
    for (const IID* known : kTable) {
      if (iid == *known) {
        *out = static_cast<Interface*>(this);
        AddRef();
        return S_OK;
      }
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG n = --refs_;
    if (n == 0) delete this;
    return n;
  }

 protected:
  ComObject() = default;
  virtual ~ComObject() = default;

 private:
  std::atomic<ULONG> refs_{1};
};

// An IDispatch without type information.
template <const IID&... kInterfaces>
class DispatchObjectBase : public ComObject<IDispatch, IID_IDispatch, kInterfaces...> {
 public:
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
    if (info) *info = nullptr;
    return E_NOTIMPL;
  }
};

}  // namespace fx
