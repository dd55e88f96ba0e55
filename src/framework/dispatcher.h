// The one IDispatch that serves every dispatch table chain. It is a counted COM object of its
// own: the script engine may hold it longer than the object it dispatches for, so the owner
// detaches it when it goes (DispatchObject does that) and later calls fail cleanly.
// UI thread only.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <atomic>
#include <string>
#include <vector>

#include "framework/com_object.h"
#include "framework/dispatch_table.h"

namespace fx {

class Dispatcher final : public DispatchObjectBase<> {
 public:
  // Starts with one reference, owned by the caller.
  explicit Dispatcher(DispatchTarget& target) : target_(&target) {}

  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid,
                                          DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* exception, UINT* arg_error) override;

  // Cuts the link to the target: every later call fails with E_UNEXPECTED.
  void Detach() { target_ = nullptr; }

  // The DISPID of name by the lookup rules (case-insensitive under English rules, own table
  // first, then each base's), or DISPID_UNKNOWN.
  DISPID Lookup(const wchar_t* name);

 private:
  const DispatchEntry* EntryFor(DISPID id) const;

  DispatchTarget* target_;
  // Names already looked up, exactly as the script wrote them; bounded.
  struct CachedName {
    std::wstring name;
    DISPID id;
  };
  std::vector<CachedName> cache_;
};

// Owns the dispatcher of one object and detaches it when the object goes.
class DispatchObject {
 public:
  explicit DispatchObject(DispatchTarget& target) : dispatcher_(new Dispatcher(target)) {}
  DispatchObject(const DispatchObject&) = delete;
  DispatchObject& operator=(const DispatchObject&) = delete;
  ~DispatchObject() {
    dispatcher_->Detach();
    dispatcher_->Release();
  }
  // Not counted for the caller.
  Dispatcher* get() const { return dispatcher_; }

 private:
  Dispatcher* dispatcher_;
};

}  // namespace fx
