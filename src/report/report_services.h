// The usage-report services of the scripted page dialog: the identity values and the report
// sender, all on the process's one ReportSettings record. UI thread only.
#pragma once

#include <string>

class CBaseDHtmlPgDlg;

namespace services {

std::wstring GetVersion(CBaseDHtmlPgDlg& window);
// Computed anew at each call; reports carry the date computed at start.
std::wstring GetInstallDate(CBaseDHtmlPgDlg& window);
std::wstring GetSourceID(CBaseDHtmlPgDlg& window);
std::wstring GetClientID(CBaseDHtmlPgDlg& window);
void StartReportZh(CBaseDHtmlPgDlg& window, const std::wstring& action, const std::wstring& label);
void StartReport(CBaseDHtmlPgDlg& window, const std::wstring& action, const std::wstring& label);
void InitReport(CBaseDHtmlPgDlg& window, const std::wstring& version, const std::wstring& source_id,
                const std::wstring& tracking_id, const std::wstring& report_url, bool use_https);
// Sleeps in one-second steps while reports are in progress: one second at least, ten at most.
void ReportWait(CBaseDHtmlPgDlg& window);

}  // namespace services
