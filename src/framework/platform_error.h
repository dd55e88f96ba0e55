// The one exception type that may reach page script: a platform failure inside a script
// method (out of memory, a file error). The dispatch layer turns it into DISP_E_EXCEPTION
// after the method's own cleanup has run; everything else reports failures as results.
#pragma once

#include <windows.h>

#include <string>

namespace fx {

class PlatformError {
 public:
  PlatformError(HRESULT code, std::wstring description)
      : code_(code), description_(std::move(description)) {}
  HRESULT code() const noexcept { return code_; }
  const std::wstring& description() const noexcept { return description_; }

 private:
  HRESULT code_;
  std::wstring description_;
};

// Throws PlatformError(E_OUTOFMEMORY) when p is null.
template <class T>
T* ThrowIfNull(T* p) {
  if (!p) throw PlatformError(E_OUTOFMEMORY, L"Out of memory.");
  return p;
}

// Throws PlatformError with the last-error code when the condition holds. Call it on the line
// right after the platform call that set the code.
void ThrowLastErrorIf(bool failed, const wchar_t* what);

}  // namespace fx
