// The client's process-wide objects that the page host owns. They are built before the
// application object and destroyed after it (see process_objects.cpp for the order).
// UI thread only.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "framework/owner.h"

namespace host {

// The directory against which relative page names are resolved: the program directory at
// start, then the directory of the last completed page that is not a module resource.
std::wstring& PageBaseDirectory();

// The tray values shared by the scripted windows and the tray services.
struct TrayState {
  NOTIFYICONDATAW record{};
  bool shown = false;
  fx::UniqueMenu menu;
  HICON window_icon = nullptr;  // a shared resource icon: never destroyed
};
TrayState& Tray();

}  // namespace host
