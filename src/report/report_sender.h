// The report sender: every event goes out as two HTTP GET requests, one to the report endpoint
// and one analytics hit, each on a short-lived worker thread of its own; nothing waits, queues
// or retries, and a request that fails is lost silently. The functions run on the UI thread;
// the workers touch nothing but the URL they were given and the settings' shared channel.
#pragma once

#include <windows.h>

#include <string>

#include "report/report_settings.h"

namespace report {

// Sets the version, source ID, tracking ID and report URL in this order, then applies the
// scheme switch.
void InitReport(ReportSettings& settings, const std::wstring& version,
                const std::wstring& source_id, const std::wstring& tracking_id,
                const std::wstring& report_url, bool use_https);

// Replaces every "http://" by "https://" (use_https) or every "https://" by "http://" in the
// report URL and in the analytics base URL.
void ApplySchemeSwitch(ReportSettings& settings, bool use_https);

// Opens the shared session on first use, then starts the report request's worker, draws the
// next value of the C runtime's generator for the hit's z and starts the hit's worker. Returns
// at once. When the session cannot be opened the event is lost (z is still drawn, so later
// events carry the values they always would); the next event tries again.
void StartReport(ReportSettings& settings, const std::wstring& action, const std::wstring& label);

// StartReport with both arguments escaped (EscapeReportText).
void StartReportZh(ReportSettings& settings, const std::wstring& action, const std::wstring& label);

// Looks at the count of reports in progress up to kReportWaitLooks times, sleeping step_ms
// after each look; after a look that finds none it sleeps once more and stops. Returns the
// number of sleeps: 1 when nothing is in progress, kReportWaitLooks at most.
constexpr int kReportWaitLooks = 10;
constexpr DWORD kReportWaitStepMs = 1000;
int WaitForReports(const ReportSettings& settings, DWORD step_ms);

// What the main window's construction does to the process's report values: the uninstall entry
// of product_name, the tracking ID "UA-13579246-2", the main window's report endpoint and the
// scheme switch to plain "http://".
void ApplyMainWindowReportValues(ReportSettings& settings, const std::wstring& product_name);

}  // namespace report
