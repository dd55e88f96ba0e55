// One move-only owner for every kind of resource handle, with one alias per kind.
// Close, free and release calls live in this header and nowhere else.
#pragma once

#include <windows.h>
#include <objbase.h>
#include <oleauto.h>
#include <wininet.h>
// After windows.h, whose types it uses.
#include <bcrypt.h>

#include <utility>

namespace fx {

// Owns one value of a resource kind described by Traits:
//   static T Invalid();  static void Close(T);
template <class Traits>
class Owner {
 public:
  using Value = typename Traits::Value;

  Owner() noexcept : value_(Traits::Invalid()) {}
  explicit Owner(Value value) noexcept : value_(value) {}
  Owner(const Owner&) = delete;
  Owner& operator=(const Owner&) = delete;
  Owner(Owner&& other) noexcept : value_(other.release()) {}
  Owner& operator=(Owner&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  ~Owner() { reset(); }

  Value get() const noexcept { return value_; }
  explicit operator bool() const noexcept { return value_ != Traits::Invalid(); }

  // Gives up ownership without closing.
  Value release() noexcept { return std::exchange(value_, Traits::Invalid()); }

  void reset(Value value = Traits::Invalid()) noexcept {
    Value old = std::exchange(value_, value);
    if (old != Traits::Invalid()) Traits::Close(old);
  }

  // Frees the current value and hands out the address for an out-parameter.
  Value* put() noexcept {
    reset();
    return &value_;
  }

 private:
  Value value_;
};

namespace traits {

template <class T, T kInvalid, void (*kClose)(T)>
struct Simple {
  using Value = T;
  static Value Invalid() noexcept { return kInvalid; }
  static void Close(Value v) noexcept { kClose(v); }
};

inline void CloseKernel(HANDLE h) { ::CloseHandle(h); }
inline void CloseKey(HKEY k) { ::RegCloseKey(k); }
inline void CloseInternet(HINTERNET h) { ::InternetCloseHandle(h); }
inline void CloseMenu(HMENU m) { ::DestroyMenu(m); }
inline void CloseIcon(HICON i) { ::DestroyIcon(i); }
inline void CloseRegion(HRGN r) { ::DeleteObject(r); }
inline void CloseModule(HMODULE m) { ::FreeLibrary(m); }
inline void FreeBstr(BSTR b) { ::SysFreeString(b); }
inline void FreeCoTask(void* p) { ::CoTaskMemFree(p); }
inline void FreeLocal(HLOCAL p) { ::LocalFree(p); }
inline void CloseAlgorithm(BCRYPT_ALG_HANDLE a) {
  ::BCryptCloseAlgorithmProvider(a, 0 /* flags */);
}
inline void DestroyHash(BCRYPT_HASH_HANDLE h) { ::BCryptDestroyHash(h); }

struct FileHandle {
  using Value = HANDLE;
  static Value Invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static void Close(Value v) noexcept { ::CloseHandle(v); }
};

struct FindHandle {
  using Value = HANDLE;
  static Value Invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static void Close(Value v) noexcept { ::FindClose(v); }
};

}  // namespace traits

using UniqueHandle = Owner<traits::Simple<HANDLE, nullptr, traits::CloseKernel>>;
using UniqueFile = Owner<traits::FileHandle>;
using UniqueKey = Owner<traits::Simple<HKEY, nullptr, traits::CloseKey>>;
using UniqueInternet = Owner<traits::Simple<HINTERNET, nullptr, traits::CloseInternet>>;
using UniqueFind = Owner<traits::FindHandle>;
using UniqueMenu = Owner<traits::Simple<HMENU, nullptr, traits::CloseMenu>>;
using UniqueIcon = Owner<traits::Simple<HICON, nullptr, traits::CloseIcon>>;
using UniqueRegion = Owner<traits::Simple<HRGN, nullptr, traits::CloseRegion>>;
using UniqueModule = Owner<traits::Simple<HMODULE, nullptr, traits::CloseModule>>;
using UniqueBstr = Owner<traits::Simple<BSTR, nullptr, traits::FreeBstr>>;
using UniqueCoTask = Owner<traits::Simple<void*, nullptr, traits::FreeCoTask>>;
using UniqueLocal = Owner<traits::Simple<HLOCAL, nullptr, traits::FreeLocal>>;
using UniqueAlgorithm = Owner<traits::Simple<BCRYPT_ALG_HANDLE, nullptr, traits::CloseAlgorithm>>;
using UniqueHash = Owner<traits::Simple<BCRYPT_HASH_HANDLE, nullptr, traits::DestroyHash>>;

// A VARIANT that is cleared when it goes out of scope.
class UniqueVariant {
 public:
  UniqueVariant() noexcept { ::VariantInit(&v_); }
  UniqueVariant(const UniqueVariant&) = delete;
  UniqueVariant& operator=(const UniqueVariant&) = delete;
  ~UniqueVariant() { ::VariantClear(&v_); }
  VARIANT* get() noexcept { return &v_; }
  const VARIANT* get() const noexcept { return &v_; }
  VARIANT* put() noexcept {
    ::VariantClear(&v_);
    return &v_;
  }
  VARIANT* operator->() noexcept { return &v_; }

 private:
  VARIANT v_;
};

// A counted COM interface pointer.
template <class T>
class ComPtr {
 public:
  ComPtr() noexcept = default;
  ComPtr(std::nullptr_t) noexcept {}
  // Takes an additional reference on p.
  static ComPtr Retain(T* p) noexcept {
    if (p) p->AddRef();
    ComPtr c;
    c.p_ = p;
    return c;
  }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ComPtr(ComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  ComPtr& operator=(ComPtr&& o) noexcept {
    if (this != &o) {
      reset();
      p_ = std::exchange(o.p_, nullptr);
    }
    return *this;
  }
  ~ComPtr() { reset(); }

  T* get() const noexcept { return p_; }
  T* operator->() const noexcept { return p_; }
  explicit operator bool() const noexcept { return p_ != nullptr; }
  T* release() noexcept { return std::exchange(p_, nullptr); }
  void reset() noexcept {
    if (T* old = std::exchange(p_, nullptr)) old->Release();
  }
  T** put() noexcept {
    reset();
    return &p_;
  }
  void** put_void() noexcept { return reinterpret_cast<void**>(put()); }

  // QueryInterface into another counted pointer; empty on failure.
  template <class U>
  ComPtr<U> As(REFIID iid) const noexcept {
    ComPtr<U> out;
    if (p_) p_->QueryInterface(iid, out.put_void());
    return out;
  }

 private:
  T* p_ = nullptr;
};

// Balances CoInitialize / OleInitialize on the calling thread.
class ComScope {
 public:
  ComScope() noexcept : hr_(::OleInitialize(nullptr)) {}
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;
  ~ComScope() {
    if (SUCCEEDED(hr_)) ::OleUninitialize();
  }
  HRESULT result() const noexcept { return hr_; }

 private:
  HRESULT hr_;
};

}  // namespace fx
