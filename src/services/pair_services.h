// The pair-store services of the scripted page dialog: every page window of the process reads
// and writes the same store. UI thread only.
#pragma once

#include <string>

class CBaseDHtmlPgDlg;

namespace services {

// The value stored under key; empty when none.
std::wstring GetPair(CBaseDHtmlPgDlg& window, const std::wstring& key);
// Stores value under key, replacing any earlier value.
void InsertPair(CBaseDHtmlPgDlg& window, const std::wstring& key, const std::wstring& value);

}  // namespace services
