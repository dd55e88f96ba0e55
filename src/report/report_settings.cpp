#include "report/report_settings.h"

#include <array>

#include "framework/owner.h"
#include "framework/text.h"
#include "report/report_rules.h"
#include "services/registry_key.h"

// The endpoint hosts come from the build (cmake/windows.cmake), so test and production builds
// can point the reports elsewhere without a code change.
#if !defined(MIRAVOLT_REPORT_HOST) || !defined(MIRAVOLT_MAIN_REPORT_HOST) || \
    !defined(MIRAVOLT_ANALYTICS_HOST)
#error "the report endpoint hosts are set by cmake/windows.cmake"
#endif

namespace report {
namespace {

constexpr wchar_t kFallbackInstallDate[] = L"1990-04-12";
constexpr wchar_t kUninstallKey[] =
    L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

// The adapter list is read into room for this many records and no more.
constexpr std::size_t kAdapterRecords = 16;

}  // namespace

std::wstring CreationDateOfFile(const std::wstring& path) {
  const fx::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ,
                                          nullptr /*security*/, OPEN_EXISTING, 0 /*attributes*/,
                                          nullptr /*template*/));
  if (!file) return kFallbackInstallDate;
  FILETIME created{};
  SYSTEMTIME utc{};
  SYSTEMTIME local{};
  if (!::GetFileTime(file.get(), &created, nullptr /*last access*/, nullptr /*last write*/) ||
      !::FileTimeToSystemTime(&created, &utc) ||
      !::SystemTimeToTzSpecificLocalTime(nullptr /*current time zone*/, &utc, &local)) {
    return kFallbackInstallDate;
  }
  return fx::ToWide(FormatInstallDate(local.wYear, local.wMonth, local.wDay));
}

ReportSettings::ReportSettings()
    : m_strVersion(L"1.0"),
      m_pChannel(std::make_shared<ReportChannel>()),
      m_strSourceID(L"0"),
      m_strReportUrl(DefaultReportUrl()),
      m_strTrackingID(L"UA-13579246-1"),
      m_strAnalyticsUrl(DefaultAnalyticsUrl()) {
  m_strInstallDate = InstallDateOfProgram();
  // Without a qualifying adapter the ID keeps its value.
  std::wstring client_id = ClientIdOfMachine();
  if (!client_id.empty()) m_strClientID = std::move(client_id);
}

std::wstring DefaultReportUrl() { return L"http://" MIRAVOLT_REPORT_HOST L"/report"; }
std::wstring MainWindowReportUrl() { return L"http://" MIRAVOLT_MAIN_REPORT_HOST L"/report"; }
std::wstring DefaultAnalyticsUrl() { return L"http://" MIRAVOLT_ANALYTICS_HOST; }

std::wstring InstallDateOfProgram() {
  wchar_t path[MAX_PATH] = {};
  // A path cut at MAX_PATH names no file and gives the fallback date.
  ::GetModuleFileNameW(nullptr /*this program*/, path, MAX_PATH);
  return CreationDateOfFile(path);
}

std::wstring ClientIdOfMachine() {
  std::array<IP_ADAPTER_INFO, kAdapterRecords> adapters;
  ULONG size = sizeof adapters;
  const DWORD result = ::GetAdaptersInfo(adapters.data(), &size);
  return ClientIdFromAdapterList(result, adapters.data());
}

std::wstring ClientIdFromAdapterList(DWORD result, const IP_ADAPTER_INFO* first) {
  // A list that did not fit (or was not written at all) leaves the buffer unfilled.
  if (result != ERROR_SUCCESS) return std::wstring();
  for (const IP_ADAPTER_INFO* adapter = first; adapter; adapter = adapter->Next) {
    // The first six bytes, whatever the address length says.
    HardwareAddress address{};
    for (std::size_t i = 0; i < address.size(); ++i) address[i] = adapter->Address[i];
    std::u16string client_id = ClientIdFromAddress(address);
    if (!client_id.empty()) return fx::ToWide(client_id);
  }
  return std::wstring();
}

void LoadUninstallEntry(ReportSettings& settings, const std::wstring& product_name) {
  CBaseRegKey key;
  // A key that cannot be opened reads as missing values.
  key.Open(kUninstallKey + product_name);
  std::wstring setup_name;
  std::wstring version;
  key.QueryString(L"SourceID", setup_name);
  key.QueryString(L"DisplayVersion", version);
  settings.m_strVersion = std::move(version);
  settings.m_strSourceID = fx::ToWide(SourceIdFromSetupName(fx::AsU16(setup_name)));
}

}  // namespace report
