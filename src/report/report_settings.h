// ReportSettings: the identity values that every usage report carries and the report settings,
// in one process-wide record (TheReportSettings()). It is built by static initialisation before
// the application object and released at exit. The fields are read and written on the UI
// thread; report workers reach only the shared channel (session and count), through a
// reference of their own taken when they are started.
#pragma once

#include <windows.h>
#include <iphlpapi.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "http/internet.h"

namespace report {

// What the report workers share with the record. Every worker holds a reference, so a worker
// still running when the record is released at exit keeps the session and the count alive;
// the session closes when the last holder lets go.
struct ReportChannel {
  // Opened by the first report on the UI thread before any worker that uses it starts, and
  // never replaced afterwards, so workers read it without a lock.
  http::InternetSession session;
  // Report requests in progress: raised by each worker when it starts, lowered when it ends.
  std::atomic<std::int32_t> active{0};
};

class ReportSettings {
 public:
  // The fixed values, then the installation date, then the client ID.
  ReportSettings();
  ReportSettings(const ReportSettings&) = delete;
  ReportSettings& operator=(const ReportSettings&) = delete;

  std::wstring m_strVersion;
  std::shared_ptr<ReportChannel> m_pChannel;  // never null
  std::wstring m_strClientID;
  std::wstring m_strSourceID;
  std::wstring m_strReportUrl;
  std::wstring m_strTrackingID;
  std::wstring m_strAnalyticsUrl;  // scheme and host, no path, no trailing slash
  std::wstring m_strInstallDate;   // as computed at start; what reports carry
};

// The one record of the process (defined with the other process-wide objects).
ReportSettings& TheReportSettings();

// The report endpoints the build names (see cmake/windows.cmake).
std::wstring DefaultReportUrl();
std::wstring MainWindowReportUrl();
std::wstring DefaultAnalyticsUrl();

// A file's creation date (not its last-write date) in local time with the current time-zone
// settings, "%04d-%02d-%02d"; "1990-04-12" when the file cannot be opened or its time cannot be
// read or converted.
std::wstring CreationDateOfFile(const std::wstring& path);
// The creation date of the running program's file, computed anew at each call.
std::wstring InstallDateOfProgram();

// The client ID of the first listed adapter whose hardware address is not all zero; empty when
// there is none or the adapter list cannot be read (more adapters than the 16-record buffer
// holds included).
std::wstring ClientIdOfMachine();
// The same choice on a list that GetAdaptersInfo returned with result: nothing of the list is
// read unless result is ERROR_SUCCESS.
std::wstring ClientIdFromAdapterList(DWORD result, const IP_ADAPTER_INFO* first);

// The uninstall entry of a product, the key "Uninstall\<product_name>" below
// HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion, opened (and created when
// missing) with CBaseRegKey.
// Sets the version from "DisplayVersion" and the source ID derived from "SourceID"; both are
// set even when empty, so a missing entry or value leaves empty strings.
void LoadUninstallEntry(ReportSettings& settings, const std::wstring& product_name);

}  // namespace report
