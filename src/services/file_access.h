// How the file services and the configuration-file accessor open and search files: an open
// shares nothing, so it fails while another program holds the file; a name of 260 characters
// or more is refused before the platform sees it. Depends on no window class.
#pragma once

#include <windows.h>

#include <string>

#include "framework/owner.h"

namespace services {

// Opens path (a NUL-terminated name) with no sharing; an invalid owner on failure, for a
// directory, and for a name of 260 characters or more.
fx::UniqueFile OpenFileUnshared(const wchar_t* path, DWORD access, DWORD disposition);

// Starts a search for a name that may hold "*" and "?"; an invalid owner when nothing is found
// or the name has 260 characters or more.
fx::UniqueFind StartNameSearch(const std::wstring& name, WIN32_FIND_DATAW& found);

// True when a search for the name finds any file or directory.
bool NameSearchFinds(const std::wstring& name);

}  // namespace services
