// Static dispatch tables: the script-visible methods of a class, one array per class, chained
// explicitly to the base class's table. A table line names the method and binds the member
// function; the value kinds come from the member function's signature:
//   std::wstring  BSTR, copied up to its first NUL (a null string as empty)
//   BSTR          BSTR handed over unchanged (may be null, may hold NULs)
//   int           I4
//   bool          BOOL (delivered as 0 or 1; a result becomes false or true)
//   void          no result (the script receives undefined)
// The bound function is a member function or a free function taking the object first.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <cstddef>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>

#include "framework/platform_error.h"
#include "framework/script_rules.h"
#include "framework/text.h"

namespace fx {

enum class Kind : unsigned char { kNone, kBstr, kI4, kBool };

class DispatchTarget;

// Calls the bound method with arguments already converted to their declared kinds (in
// declaration order) and stores its result. May throw PlatformError.
using Invoker = void (*)(DispatchTarget& self, VARIANT* args, VARIANT* result);

constexpr std::size_t kMaxParams = 8;

struct DispatchEntry {
  const wchar_t* name;
  Kind result;
  Kind params[kMaxParams];
  std::size_t param_count;
  Invoker invoke;
};

struct DispatchTable {
  const DispatchTable* base;  // null for the last table of the chain
  const DispatchEntry* entries;
  std::size_t count;
};

// A class whose objects answer script calls through their dispatch table chain.
class DispatchTarget {
 public:
  virtual const DispatchTable* GetDispatchTable() const = 0;
  // True while a script call into this object runs (possibly nested).
  bool in_script_call() const { return calls_in_progress_ > 0; }

 protected:
  ~DispatchTarget() = default;

 private:
  friend class Dispatcher;
  int calls_in_progress_ = 0;
};

namespace detail {

template <class T>
struct Param;
template <>
struct Param<std::wstring> {
  static constexpr Kind kKind = Kind::kBstr;
  static std::wstring From(const VARIANT& v) {
    return ToWide(CopyUpToNul(reinterpret_cast<const char16_t*>(v.bstrVal),
                              v.bstrVal ? ::SysStringLen(v.bstrVal) : 0));
  }
};
template <>
struct Param<BSTR> {
  static constexpr Kind kKind = Kind::kBstr;
  static BSTR From(const VARIANT& v) { return v.bstrVal; }
};
template <>
struct Param<int> {
  static constexpr Kind kKind = Kind::kI4;
  static int From(const VARIANT& v) { return static_cast<int>(v.lVal); }
};
template <>
struct Param<bool> {
  static constexpr Kind kKind = Kind::kBool;
  static bool From(const VARIANT& v) { return v.boolVal != VARIANT_FALSE; }
};

template <class R>
struct Result;
template <>
struct Result<void> {
  static constexpr Kind kKind = Kind::kNone;
};
template <>
struct Result<std::wstring> {
  static constexpr Kind kKind = Kind::kBstr;
  static void Store(const std::wstring& s, VARIANT* out) {
    // Exactly the string's length; an empty string is an empty BSTR, never null.
    BSTR b = ThrowIfNull(::SysAllocStringLen(s.data(), static_cast<UINT>(s.size())));
    out->vt = VT_BSTR;
    out->bstrVal = b;
  }
};
template <>
struct Result<int> {
  static constexpr Kind kKind = Kind::kI4;
  static void Store(int value, VARIANT* out) {
    out->vt = VT_I4;
    out->lVal = value;
  }
};
template <>
struct Result<bool> {
  static constexpr Kind kKind = Kind::kBool;
  static void Store(bool value, VARIANT* out) {
    out->vt = VT_BOOL;
    out->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  }
};

// Converts each argument to its parameter type, calls, and stores the result by its kind.
template <class R, class... A, class Call, std::size_t... I>
void CallWithArguments(Call&& call, VARIANT* args, VARIANT* result, std::index_sequence<I...>) {
  if constexpr (std::is_void_v<R>) {
    call(Param<std::decay_t<A>>::From(args[I])...);
    (void)result;
  } else {
    Result<std::decay_t<R>>::Store(call(Param<std::decay_t<A>>::From(args[I])...), result);
  }
}

template <class C, class R, class... A>
struct Signature {
  static_assert(sizeof...(A) <= kMaxParams, "too many script parameters");
  static_assert(std::is_base_of_v<DispatchTarget, C>, "the class must be a DispatchTarget");

  static constexpr DispatchEntry Entry(const wchar_t* name, Invoker invoke) {
    return {name,
            Result<std::decay_t<R>>::kKind,
            {Param<std::decay_t<A>>::kKind...},
            sizeof...(A),
            invoke};
  }
};

template <auto Method>
struct Binding;

template <class C, class R, class... A, R (C::*Method)(A...)>
struct Binding<Method> : Signature<C, R, A...> {
  static void Invoke(DispatchTarget& self, VARIANT* args, VARIANT* result) {
    C& object = static_cast<C&>(self);
    CallWithArguments<R, A...>(
        [&object](auto&&... values) -> R {
          return (object.*Method)(std::forward<decltype(values)>(values)...);
        },
        args, result, std::index_sequence_for<A...>{});
  }
};

// A free function whose first parameter is the object: the service code of a class can live
// in files of its own.
template <class C, class R, class... A, R (*Function)(C&, A...)>
struct Binding<Function> : Signature<C, R, A...> {
  static void Invoke(DispatchTarget& self, VARIANT* args, VARIANT* result) {
    C& object = static_cast<C&>(self);
    CallWithArguments<R, A...>(
        [&object](auto&&... values) -> R {
          return Function(object, std::forward<decltype(values)>(values)...);
        },
        args, result, std::index_sequence_for<A...>{});
  }
};

}  // namespace detail

// One table line: fx::Method<&CMyDlg::MoveFile>(L"MoveFile"), or with a service function
// fx::Method<&services::MoveFile>(L"MoveFile") whose first parameter is CMyDlg&.
template <auto M>
constexpr DispatchEntry Method(const wchar_t* name) {
  return detail::Binding<M>::Entry(name, &detail::Binding<M>::Invoke);
}

template <std::size_t N>
constexpr DispatchTable MakeDispatchTable(const DispatchTable* base,
                                          const DispatchEntry (&entries)[N]) {
  return {base, entries, N};
}

}  // namespace fx
