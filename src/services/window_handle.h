// Window handles cross the script interface as 32-bit integers. Only the low 32 bits of a
// window handle are significant on either pointer width, and the platform takes a handle
// back sign-extended, so a value that a page got from one service works in another on 64-bit
// Windows too.
#pragma once

#include <windows.h>

namespace services {

inline int HandleToScript(HWND window) {
  return static_cast<int>(reinterpret_cast<INT_PTR>(window));
}

inline HWND HandleFromScript(int value) { return (HWND)(INT_PTR)value; }

}  // namespace services
