#include "framework/platform_error.h"

namespace fx {

void ThrowLastErrorIf(bool failed, const wchar_t* what) {
  if (!failed) return;
  const DWORD error = ::GetLastError();
  throw PlatformError(HRESULT_FROM_WIN32(error), what);
}

}  // namespace fx
