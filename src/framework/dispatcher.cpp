#include "framework/dispatcher.h"

#include <new>

#include "framework/owner.h"

#ifndef DISPID_THIS
#define DISPID_THIS (-613)
#endif

namespace fx {
namespace {

constexpr LCID kEnglishUnitedStates = 1033;
constexpr std::size_t kCacheLimit = 128;

VARTYPE VarTypeOf(Kind kind) {
  switch (kind) {
    case Kind::kBstr:
      return VT_BSTR;
    case Kind::kI4:
      return VT_I4;
    case Kind::kBool:
      return VT_BOOL;
    case Kind::kNone:
      break;
  }
  return VT_EMPTY;
}

// The exception record names the platform's own failure code; the call itself fails with
// DISP_E_EXCEPTION.
void FillException(EXCEPINFO* exception, HRESULT code, const std::wstring& description) {
  if (!exception) return;
  *exception = EXCEPINFO{};
  exception->scode = code;
  exception->bstrDescription =
      ::SysAllocStringLen(description.data(), static_cast<UINT>(description.size()));
}

std::wstring DescribeFailure(HRESULT code, const std::wstring& text) {
  wchar_t hex[16];
  ::wsprintfW(hex, L"0x%08X", static_cast<unsigned>(code));
  return text + L" (" + hex + L")";
}

}  // namespace

DISPID Dispatcher::Lookup(const wchar_t* name) {
  for (const CachedName& cached : cache_) {
    if (cached.name == name) return cached.id;
  }
  DISPID id = DISPID_UNKNOWN;
  int steps = 0;
  for (const DispatchTable* table = target_ ? target_->GetDispatchTable() : nullptr;
       table && id == DISPID_UNKNOWN; table = table->base, ++steps) {
    for (std::size_t i = 0; i < table->count; ++i) {
      if (::CompareStringW(kEnglishUnitedStates, NORM_IGNORECASE, name, -1, table->entries[i].name,
                           -1) == CSTR_EQUAL) {
        id = ComposeDispId(static_cast<int>(i) + 1, steps);
        break;
      }
    }
  }
  if (cache_.size() >= kCacheLimit) cache_.clear();
  cache_.push_back({name, id});
  return id;
}

HRESULT Dispatcher::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  if (!names || !ids) return E_POINTER;
  if (count == 0) return S_OK;
  try {
    ids[0] = names[0] ? Lookup(names[0]) : DISPID_UNKNOWN;
  } catch (...) {
    return E_OUTOFMEMORY;
  }
  // No method has named parameters.
  for (UINT i = 1; i < count; ++i) ids[i] = DISPID_UNKNOWN;
  return ids[0] == DISPID_UNKNOWN || count > 1 ? DISP_E_UNKNOWNNAME : S_OK;
}

const DispatchEntry* Dispatcher::EntryFor(DISPID id) const {
  const auto parts = SplitDispId(id);
  if (!parts || !target_) return nullptr;
  const DispatchTable* table = target_->GetDispatchTable();
  for (int step = 0; table && step < parts->steps; ++step) table = table->base;
  if (!table || static_cast<std::size_t>(parts->position) > table->count) return nullptr;
  return &table->entries[parts->position - 1];
}

HRESULT Dispatcher::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                           EXCEPINFO* exception, UINT* arg_error) {
  if (!target_) return E_UNEXPECTED;
  const DispatchEntry* entry = EntryFor(id);
  if (!entry) return DISP_E_MEMBERNOTFOUND;
  if (!(flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET))) return DISP_E_MEMBERNOTFOUND;
  if (!params) return E_INVALIDARG;

  // A method call may carry the "this" object as a named argument; nothing else is named.
  for (UINT i = 0; i < params->cNamedArgs; ++i) {
    if (params->rgdispidNamedArgs[i] != DISPID_THIS) return DISP_E_NONAMEDARGS;
  }
  const UINT given = params->cArgs - params->cNamedArgs;
  if (given > entry->param_count) return DISP_E_BADPARAMCOUNT;
  if (given < entry->param_count) return DISP_E_PARAMNOTOPTIONAL;

  // Arguments in declaration order. A string argument that already is a string is used as
  // the script passed it (null stays null); everything else is converted by the platform.
  VARIANT args[kMaxParams];
  UniqueVariant converted[kMaxParams];
  for (UINT i = 0; i < given; ++i) {
    // Positional arguments come last in rgvarg, in reverse order.
    const UINT source = params->cArgs - 1 - i;
    const VARIANT* value = &params->rgvarg[source];
    if (value->vt == (VT_BYREF | VT_VARIANT) && value->pvarVal) value = value->pvarVal;
    if (entry->params[i] == Kind::kBstr && value->vt == VT_BSTR) {
      args[i] = *value;
      continue;
    }
    const HRESULT hr = ::VariantChangeType(converted[i].get(), const_cast<VARIANT*>(value), 0,
                                           VarTypeOf(entry->params[i]));
    if (FAILED(hr)) {
      if (arg_error) *arg_error = source;
      return hr;
    }
    args[i] = *converted[i].get();
  }

  VARIANT* out = result;
  UniqueVariant discard;
  if (!out) out = discard.get();
  ::VariantInit(out);
  // The method may end the target's life (a window closing itself): nothing of the target is
  // touched after the call, and the busy count lets the owner defer freeing it.
  DispatchTarget& target = *target_;
  ++target.calls_in_progress_;
  struct Leave {
    DispatchTarget& target;
    ~Leave() { --target.calls_in_progress_; }
  } leave{target};
  try {
    entry->invoke(target, args, out);
  } catch (const PlatformError& error) {
    ::VariantClear(out);
    FillException(exception, error.code(), DescribeFailure(error.code(), error.description()));
    return DISP_E_EXCEPTION;
  } catch (const std::bad_alloc&) {
    ::VariantClear(out);
    FillException(exception, E_OUTOFMEMORY, DescribeFailure(E_OUTOFMEMORY, L"Out of memory."));
    return DISP_E_EXCEPTION;
  } catch (...) {
    ::VariantClear(out);
    FillException(exception, E_UNEXPECTED, DescribeFailure(E_UNEXPECTED, L"Unexpected failure."));
    return DISP_E_EXCEPTION;
  }
  return S_OK;
}

}  // namespace fx
