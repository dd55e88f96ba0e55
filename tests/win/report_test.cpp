// Usage reports against the prefix's real WinInet, registry, adapters and files: the requests of
// one event as a loopback server receives them, the wait for reports in progress, the uninstall
// entry, the client ID and the installation date.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <gtest/gtest.h>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "fixtures/loopback_socket.h"
#include "framework/dispatcher.h"
#include "host/scripted_page_dialog.h"
#include "report/report_rules.h"
#include "report/report_sender.h"
#include "report/report_services.h"
#include "report/report_settings.h"

namespace {

// An HTTP server on 127.0.0.1 with an ephemeral port that records the request line of every
// connection. It answers 204 at once, or holds every connection unanswered until it stops. It
// stops when destroyed, after kMaxConnections connections or after kLifetimeMs.
class RequestLineServer {
 public:
  enum class Mode { kAnswer, kHold };
  static constexpr int kMaxConnections = 32;
  static constexpr ULONGLONG kLifetimeMs = 60000;

  explicit RequestLineServer(Mode mode) : mode_(mode) {
    WSADATA data;
    started_ = ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
    listener_ = fixtures::ListenOnLoopback(16, &port_);
    if (listener_ == INVALID_SOCKET) return;
    thread_ = std::thread([this] { Serve(); });
  }
  RequestLineServer(const RequestLineServer&) = delete;
  RequestLineServer& operator=(const RequestLineServer&) = delete;
  ~RequestLineServer() {
    Stop();
    if (started_) ::WSACleanup();
  }

  // Ends the serving thread and closes every connection it holds.
  void Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    if (listener_ != INVALID_SOCKET) ::closesocket(listener_);
    listener_ = INVALID_SOCKET;
  }

  unsigned short port() const { return port_; }
  std::wstring Base() const { return L"http://127.0.0.1:" + std::to_wstring(port_); }

  bool WaitForRequests(std::size_t count, DWORD timeout_ms) {
    std::unique_lock<std::mutex> lock(mutex_);
    return seen_.wait_for(lock, std::chrono::milliseconds(timeout_ms),
                          [&] { return lines_.size() >= count; });
  }

  std::vector<std::string> RequestLines() {
    std::lock_guard<std::mutex> lock(mutex_);
    return lines_;
  }

 private:
  static bool Readable(SOCKET socket, long timeout_ms) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(socket, &set);
    timeval tv{timeout_ms / 1000, (timeout_ms % 1000) * 1000};
    return ::select(0, &set, nullptr, nullptr, &tv) == 1;
  }

  // The request head up to its blank line, at most 16 KiB, read for at most two seconds.
  std::string ReadHead(SOCKET client) {
    std::string head;
    const ULONGLONG deadline = ::GetTickCount64() + 2000;
    char buffer[1024];
    while (head.find("\r\n\r\n") == std::string::npos && head.size() < 16384 &&
           ::GetTickCount64() < deadline && !stop_) {
      if (!Readable(client, 50)) continue;
      const int got = ::recv(client, buffer, sizeof buffer, 0);
      if (got <= 0) break;
      head.append(buffer, got);
    }
    return head;
  }

  void Serve() {
    std::vector<SOCKET> held;
    const ULONGLONG deadline = ::GetTickCount64() + kLifetimeMs;
    int connections = 0;
    while (!stop_ && connections < kMaxConnections && ::GetTickCount64() < deadline) {
      if (!Readable(listener_, 50)) continue;
      const SOCKET client = ::accept(listener_, nullptr, nullptr);
      if (client == INVALID_SOCKET) continue;
      ++connections;
      const std::string head = ReadHead(client);
      {
        std::lock_guard<std::mutex> lock(mutex_);
        lines_.push_back(head.substr(0, head.find("\r\n")));
      }
      seen_.notify_all();
      if (mode_ == Mode::kHold) {
        held.push_back(client);
        continue;
      }
      static const char kAnswer[] = "HTTP/1.0 204 No Content\r\nContent-Length: 0\r\n\r\n";
      ::send(client, kAnswer, sizeof kAnswer - 1, 0);
      ::shutdown(client, SD_SEND);
      ::closesocket(client);
    }
    // Held until the test lets go (or the server's time is up).
    while (!stop_ && ::GetTickCount64() < deadline) ::Sleep(20);
    for (SOCKET client : held) ::closesocket(client);
  }

  const Mode mode_;
  bool started_ = false;
  SOCKET listener_ = INVALID_SOCKET;
  unsigned short port_ = 0;
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::condition_variable seen_;
  std::vector<std::string> lines_;
  std::thread thread_;
};

// Whether the count of reports in progress reached 0 within timeout_ms.
bool WaitUntilIdle(const report::ReportSettings& settings, DWORD timeout_ms) {
  const ULONGLONG deadline = ::GetTickCount64() + timeout_ms;
  while (settings.m_pChannel->active != 0) {
    if (::GetTickCount64() >= deadline) return false;
    ::Sleep(10);
  }
  return true;
}

// Settings whose values are known and whose endpoints are the server.
void PointAt(report::ReportSettings& settings, const RequestLineServer& server) {
  settings.m_strReportUrl = server.Base() + L"/report";
  settings.m_strAnalyticsUrl = server.Base();
  settings.m_strTrackingID = L"UA-13579246-1";
  settings.m_strVersion = L"2.0.1";
  settings.m_strSourceID = L"1024";
  settings.m_strClientID = L"5E4D3C2B1A00";
  settings.m_strInstallDate = L"2009-03-07";
}

std::string ReportLine(const std::string& action, const std::string& label) {
  return "GET /report?a=" + action + "&v=2.0.1&s=1024&p=" + label + "&c=5E4D3C2B1A00 HTTP/1.0";
}

std::string HitLine(const std::string& action, const std::string& label, int z) {
  return "GET /collect?v=1&tid=UA-13579246-1&cid=5E4D3C2B1A00&t=event&ec=client&ea=" + action +
         "&el=" + label + "&z=" + std::to_string(z) +
         "&de=UTF-8&cd1=1024&cd2=2.0.1&cd3=2009-03-07 HTTP/1.0";
}

std::vector<std::string> Sorted(std::vector<std::string> lines) {
  std::sort(lines.begin(), lines.end());
  return lines;
}

TEST(ReportSenderTest, EachEventSendsTheReportAndTheHitWithTheRuntimeSequence) {
  RequestLineServer server(RequestLineServer::Mode::kAnswer);
  ASSERT_NE(server.port(), 0);
  report::ReportSettings settings;
  PointAt(settings, server);

  // A thread of its own starts with the generator's state of a new run.
  std::thread ui([&] {
    report::StartReport(settings, L"open", L"main");
    report::StartReport(settings, L"click", L"menu");
    report::StartReport(settings, L"close", L"main");
  });
  ui.join();

  ASSERT_TRUE(server.WaitForRequests(6, 20000));
  EXPECT_EQ(Sorted(server.RequestLines()), Sorted({
                                               ReportLine("open", "main"),
                                               ReportLine("click", "menu"),
                                               ReportLine("close", "main"),
                                               HitLine("open", "main", 41),
                                               HitLine("click", "menu", 18467),
                                               HitLine("close", "main", 6334),
                                           }));
  EXPECT_TRUE(WaitUntilIdle(settings, 20000));
}

TEST(ReportSenderTest, OnlyTheEscapingVariantEscapesItsArguments) {
  RequestLineServer server(RequestLineServer::Mode::kAnswer);
  ASSERT_NE(server.port(), 0);
  report::ReportSettings settings;
  PointAt(settings, server);

  report::StartReport(settings, L"a&b=1", L"x");
  ASSERT_TRUE(server.WaitForRequests(2, 20000));
  report::StartReportZh(settings, L"a b&c=1%2", L"\u4e2d\u6587");
  ASSERT_TRUE(server.WaitForRequests(4, 20000));

  std::vector<std::string> reports;
  for (const std::string& line : server.RequestLines()) {
    if (line.rfind("GET /report?", 0) == 0) reports.push_back(line);
  }
  EXPECT_EQ(Sorted(reports), Sorted({
                                 // Sent as it is: the receiving side sees a broken query.
                                 ReportLine("a&b=1", "x"),
                                 ReportLine("a%20b%26c%3d1%2", "%e4%b8%ad%e6%96%87"),
                             }));
  EXPECT_TRUE(WaitUntilIdle(settings, 20000));
}

TEST(ReportSenderTest, InitReportSetsTheValuesAndSwitchesBothSchemes) {
  const struct {
    const wchar_t* report_url;
    const wchar_t* analytics_url;
    bool use_https;
    const wchar_t* expected_report_url;
    const wchar_t* expected_analytics_url;
  } cases[] = {
      {L"http://r.test/report", L"http://a.test", true, L"https://r.test/report",
       L"https://a.test"},
      {L"https://r.test/report", L"https://a.test", false, L"http://r.test/report",
       L"http://a.test"},
      {L"https://r.test/report", L"http://a.test", true, L"https://r.test/report",
       L"https://a.test"},
      {L"http://r.test/report", L"https://a.test", false, L"http://r.test/report",
       L"http://a.test"},
  };
  for (const auto& c : cases) {
    report::ReportSettings settings;
    settings.m_strAnalyticsUrl = c.analytics_url;
    report::InitReport(settings, L"3.1", L"77", L"UA-1-2", c.report_url, c.use_https);
    EXPECT_EQ(settings.m_strVersion, L"3.1");
    EXPECT_EQ(settings.m_strSourceID, L"77");
    EXPECT_EQ(settings.m_strTrackingID, L"UA-1-2");
    EXPECT_EQ(settings.m_strReportUrl, c.expected_report_url);
    EXPECT_EQ(settings.m_strAnalyticsUrl, c.expected_analytics_url);
  }

  // With plain http both requests of the next event reach a plain server.
  RequestLineServer server(RequestLineServer::Mode::kAnswer);
  ASSERT_NE(server.port(), 0);
  report::ReportSettings settings;
  PointAt(settings, server);
  const std::wstring https_base = L"https://127.0.0.1:" + std::to_wstring(server.port());
  settings.m_strAnalyticsUrl = https_base;
  report::InitReport(settings, L"2.0.1", L"1024", L"UA-13579246-1", https_base + L"/report", false);
  report::StartReport(settings, L"go", L"now");
  ASSERT_TRUE(server.WaitForRequests(2, 20000));
  const std::vector<std::string> lines = Sorted(server.RequestLines());
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1], ReportLine("go", "now"));
  EXPECT_EQ(lines[0].rfind("GET /collect?v=1&tid=UA-13579246-1&", 0), 0u) << lines[0];
  EXPECT_TRUE(WaitUntilIdle(settings, 20000));
}

TEST(ReportSenderTest, WaitLooksOnceWhenIdleAndAtMostTenTimesWhileRequestsHang) {
  report::ReportSettings idle;
  EXPECT_EQ(report::WaitForReports(idle, 10), 1);

  RequestLineServer server(RequestLineServer::Mode::kHold);
  ASSERT_NE(server.port(), 0);
  report::ReportSettings settings;
  PointAt(settings, server);
  report::StartReport(settings, L"hang", L"x");
  // Each worker raises the count before it connects, so both are counted by now.
  ASSERT_TRUE(server.WaitForRequests(2, 20000));
  EXPECT_EQ(settings.m_pChannel->active, 2);
  EXPECT_EQ(report::WaitForReports(settings, 10), report::kReportWaitLooks);

  server.Stop();
  EXPECT_TRUE(WaitUntilIdle(settings, 30000));
  EXPECT_EQ(report::WaitForReports(settings, 10), 1);
}

TEST(ReportSenderTest, ReportWaitServiceReturnsWithNothingInProgress) {
  CBaseDHtmlPgDlg window(L"a.html", L".container", nullptr);
  ASSERT_EQ(report::TheReportSettings().m_pChannel->active, 0);
  services::ReportWait(window);
  SUCCEED();
}

TEST(ReportSenderTest, WorkersStillRunningAtReleaseKeepTheSessionUntilTheyEnd) {
  RequestLineServer server(RequestLineServer::Mode::kHold);
  ASSERT_NE(server.port(), 0);
  auto settings = std::make_unique<report::ReportSettings>();
  PointAt(*settings, server);
  report::StartReport(*settings, L"exit", L"x");
  ASSERT_TRUE(server.WaitForRequests(2, 20000));

  const std::weak_ptr<report::ReportChannel> channel = settings->m_pChannel;
  settings.reset();  // what process exit does to the record
  const std::shared_ptr<report::ReportChannel> still = channel.lock();
  ASSERT_TRUE(still);
  EXPECT_NE(still->session.get(), nullptr);
  EXPECT_EQ(still->active, 2);

  server.Stop();
  const ULONGLONG deadline = ::GetTickCount64() + 30000;
  while (still->active != 0 && ::GetTickCount64() < deadline) ::Sleep(10);
  EXPECT_EQ(still->active, 0);
}

// A key of its own below the machine's uninstall entries, removed afterwards.
class UninstallEntryTest : public ::testing::Test {
 protected:
  static constexpr wchar_t kProduct[] = L"MiravoltReportTest";
  static constexpr wchar_t kSubKey[] =
      L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\MiravoltReportTest";

  void SetUp() override { ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, kSubKey); }
  void TearDown() override { ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, kSubKey); }

  void Store(const wchar_t* name, const wchar_t* text) {
    fx::UniqueKey key;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kSubKey, 0, nullptr, 0, KEY_WRITE, nullptr,
                                key.put(), nullptr),
              ERROR_SUCCESS);
    const DWORD bytes = static_cast<DWORD>((wcslen(text) + 1) * sizeof(wchar_t));
    ASSERT_EQ(
        ::RegSetValueExW(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), bytes),
        ERROR_SUCCESS);
  }
};

TEST_F(UninstallEntryTest, VersionAndSourceIdComeFromTheEntryEvenWhenEmpty) {
  const struct {
    const wchar_t* source;   // null: no value
    const wchar_t* version;  // null: no value
    const wchar_t* expected_source;
    const wchar_t* expected_version;
  } cases[] = {
      {L"setup_1024", L"2.3.4", L"1024", L"2.3.4"},
      {L"ch_9", nullptr, L"9", L""},
      {L"D:\\down\\setup", L"1.0", L"0", L"1.0"},
      {nullptr, nullptr, L"", L""},
  };
  for (const auto& c : cases) {
    SetUp();
    if (c.source) Store(L"SourceID", c.source);
    if (c.version) Store(L"DisplayVersion", c.version);
    report::ReportSettings settings;
    report::LoadUninstallEntry(settings, kProduct);
    EXPECT_EQ(settings.m_strSourceID, c.expected_source) << (c.source ? c.source : L"(none)");
    EXPECT_EQ(settings.m_strVersion, c.expected_version) << (c.source ? c.source : L"(none)");
  }
  // The entry is opened in create mode: a missing one now exists.
  fx::UniqueKey key;
  EXPECT_EQ(::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSubKey, 0, KEY_READ, key.put()), ERROR_SUCCESS);
}

TEST_F(UninstallEntryTest, MainWindowValuesReplaceWhatInitReportSet) {
  Store(L"SourceID", L"pkg_A7x-9");
  Store(L"DisplayVersion", L"5.0");
  report::ReportSettings settings;
  report::InitReport(settings, L"9.9", L"x", L"UA-0", L"https://elsewhere/report", true);
  report::ApplyMainWindowReportValues(settings, kProduct);
  EXPECT_EQ(settings.m_strVersion, L"5.0");
  EXPECT_EQ(settings.m_strSourceID, L"A7x");
  EXPECT_EQ(settings.m_strTrackingID, L"UA-13579246-2");
  EXPECT_EQ(settings.m_strReportUrl, report::MainWindowReportUrl());
  EXPECT_EQ(settings.m_strAnalyticsUrl, report::DefaultAnalyticsUrl());
}

TEST(ReportSettingsTest, TheProcessRecordStartsWithItsDefaults) {
  const report::ReportSettings& settings = report::TheReportSettings();
  EXPECT_EQ(settings.m_strVersion, L"1.0");
  EXPECT_EQ(settings.m_strSourceID, L"0");
  EXPECT_EQ(settings.m_strTrackingID, L"UA-13579246-1");
  EXPECT_EQ(settings.m_strReportUrl, report::DefaultReportUrl());
  EXPECT_EQ(settings.m_strAnalyticsUrl, report::DefaultAnalyticsUrl());
  EXPECT_EQ(settings.m_strInstallDate, report::InstallDateOfProgram());
  EXPECT_EQ(settings.m_strClientID, report::ClientIdOfMachine());
  EXPECT_EQ(settings.m_pChannel->session.get(), nullptr);

  // Both report endpoints have the form "http://" + host + "/report", with different hosts.
  for (const std::wstring& url : {report::DefaultReportUrl(), report::MainWindowReportUrl()}) {
    EXPECT_EQ(url.rfind(L"http://", 0), 0u);
    EXPECT_EQ(url.substr(url.size() - 7), L"/report");
    EXPECT_EQ(url.find(L'/', 7), url.size() - 7);
  }
  EXPECT_NE(report::DefaultReportUrl(), report::MainWindowReportUrl());
  const std::wstring analytics = report::DefaultAnalyticsUrl();
  EXPECT_EQ(analytics.rfind(L"http://", 0), 0u);
  EXPECT_EQ(analytics.find(L'/', 7), std::wstring::npos);
}

// Adapter records linked as GetAdaptersInfo links them.
struct AdapterList {
  explicit AdapterList(std::initializer_list<report::HardwareAddress> addresses)
      : records(addresses.size()) {
    std::size_t i = 0;
    for (const report::HardwareAddress& address : addresses) {
      std::fill(std::begin(records[i].Address), std::end(records[i].Address), BYTE{0x77});
      std::copy(address.begin(), address.end(), records[i].Address);
      records[i].AddressLength = 0;  // never consulted
      records[i].Next = i + 1 < records.size() ? &records[i + 1] : nullptr;
      ++i;
    }
  }
  std::vector<IP_ADAPTER_INFO> records;
};

TEST(ClientIdTest, TheFirstAdapterWithAnAddressNamesTheMachine) {
  const AdapterList list({{0, 0, 0, 0, 0, 0},
                          {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E},
                          {0x11, 0x22, 0x33, 0x44, 0x55, 0x66}});
  EXPECT_EQ(report::ClientIdFromAdapterList(ERROR_SUCCESS, list.records.data()), L"5E4D3C2B1A00");

  const AdapterList none({{0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0}});
  EXPECT_EQ(report::ClientIdFromAdapterList(ERROR_SUCCESS, none.records.data()), L"");

  // A list that did not fit the buffer is not read, whatever the buffer holds.
  EXPECT_EQ(report::ClientIdFromAdapterList(ERROR_BUFFER_OVERFLOW, list.records.data()), L"");
  EXPECT_EQ(report::ClientIdFromAdapterList(ERROR_NO_DATA, list.records.data()), L"");
}

TEST(ClientIdTest, TheMachineIdIsTwelveUpperCaseDigitsOrEmpty) {
  const std::wstring id = report::ClientIdOfMachine();
  if (!id.empty()) {
    EXPECT_EQ(id.size(), 12u) << id;
    EXPECT_EQ(id.find_first_not_of(L"0123456789ABCDEF"), std::wstring::npos) << id;
    EXPECT_NE(id, L"000000000000");
  }
  CBaseDHtmlPgDlg window(L"a.html", L".container", nullptr);
  EXPECT_EQ(services::GetClientID(window), report::TheReportSettings().m_strClientID);
}

// Sets a file's creation, last-access and last-write times (UTC).
void SetFileTimes(const std::wstring& path, const SYSTEMTIME& created, const SYSTEMTIME& written) {
  const fx::UniqueFile file(
      ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, 0, nullptr));
  ASSERT_TRUE(file);
  FILETIME created_time;
  FILETIME written_time;
  ASSERT_TRUE(::SystemTimeToFileTime(&created, &created_time));
  ASSERT_TRUE(::SystemTimeToFileTime(&written, &written_time));
  ASSERT_TRUE(::SetFileTime(file.get(), &created_time, &written_time, &written_time));
}

TEST(InstallDateTest, TheCreationDateInLocalTime) {
  wchar_t directory[MAX_PATH];
  ASSERT_NE(::GetTempPathW(MAX_PATH, directory), 0u);
  const std::wstring path = std::wstring(directory) + L"miravolt_report_install_date.tmp";
  const SYSTEMTIME created{2008, 6, 0, 15, 12, 0, 0, 0};
  const SYSTEMTIME written{2015, 1, 0, 20, 12, 0, 0, 0};
  SetFileTimes(path, created, written);
  // A file system without creation times of its own (Wine on Linux) reports another time in
  // their place; the last-write time then stands in for the creation time too.
  WIN32_FILE_ATTRIBUTE_DATA attributes{};
  ASSERT_TRUE(::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &attributes));
  SYSTEMTIME reported{};
  ::FileTimeToSystemTime(&attributes.ftCreationTime, &reported);
  if (reported.wYear != created.wYear) SetFileTimes(path, created, created);
  const std::wstring date = report::CreationDateOfFile(path);
  ::DeleteFileW(path.c_str());

  // Noon UTC is the same calendar day in every zone less than twelve hours from UTC.
  TIME_ZONE_INFORMATION zone;
  ::GetTimeZoneInformation(&zone);
  if (zone.Bias > -10 * 60 && zone.Bias < 10 * 60) {
    EXPECT_EQ(date, L"2008-06-15");
  } else {
    EXPECT_EQ(date.substr(0, 8), L"2008-06-") << date;
  }

  EXPECT_EQ(report::CreationDateOfFile(path), L"1990-04-12");
  EXPECT_EQ(report::CreationDateOfFile(L""), L"1990-04-12");

  const std::wstring program_date = report::InstallDateOfProgram();
  EXPECT_NE(program_date, L"1990-04-12");
  CBaseDHtmlPgDlg window(L"a.html", L".container", nullptr);
  EXPECT_EQ(services::GetInstallDate(window), program_date);
}

TEST(ReportCatalogueTest, TheEightServicesOpenTheCatalogueAndAnswerByName) {
  const wchar_t* const names[] = {L"GetVersion",  L"GetInstallDate", L"GetSourceID",
                                  L"GetClientID", L"StartReportZh",  L"StartReport",
                                  L"InitReport",  L"ReportWait"};
  const fx::DispatchTable& table = CBaseDHtmlPgDlg::kDispatch;
  ASSERT_GE(table.count, std::size(names));
  for (std::size_t i = 0; i < std::size(names); ++i) {
    EXPECT_STREQ(table.entries[i].name, names[i]) << "position " << i + 1;
  }

  CBaseDHtmlPgDlg window(L"a.html", L".container", nullptr);
  fx::DispatchObject dispatch(window);
  report::TheReportSettings().m_strVersion = L"4.5.6";
  const DISPID id = dispatch.get()->Lookup(L"getversion");
  ASSERT_NE(id, DISPID_UNKNOWN);
  DISPPARAMS none{};
  fx::UniqueVariant result;
  ASSERT_EQ(dispatch.get()->Invoke(id, IID_NULL, 1033, DISPATCH_METHOD, &none, result.get(),
                                   nullptr, nullptr),
            S_OK);
  ASSERT_EQ(result->vt, VT_BSTR);
  EXPECT_STREQ(result->bstrVal, L"4.5.6");
}

TEST(ReportCatalogueTest, TheServicesReportWithTheProcessRecord) {
  RequestLineServer server(RequestLineServer::Mode::kAnswer);
  ASSERT_NE(server.port(), 0);
  report::ReportSettings& settings = report::TheReportSettings();
  PointAt(settings, server);
  CBaseDHtmlPgDlg window(L"a.html", L".container", nullptr);
  services::InitReport(window, L"2.0.1", L"1024", L"UA-13579246-1", server.Base() + L"/report",
                       false);
  EXPECT_EQ(services::GetVersion(window), L"2.0.1");
  EXPECT_EQ(services::GetSourceID(window), L"1024");

  // A thread of its own starts with the generator's state of a new run.
  bool sent = false;
  std::thread ui([&] {
    services::StartReportZh(window, L"\u4e2d", L"a b");
    if (!server.WaitForRequests(2, 20000)) return;
    services::StartReport(window, L"x", L"y");
    sent = server.WaitForRequests(4, 20000);
  });
  ui.join();
  ASSERT_TRUE(sent);
  const std::vector<std::string> lines = Sorted(server.RequestLines());
  EXPECT_EQ(lines, Sorted({ReportLine("%e4%b8%ad", "a%20b"), ReportLine("x", "y"),
                           HitLine("%e4%b8%ad", "a%20b", 41), HitLine("x", "y", 18467)}));
  services::ReportWait(window);
  EXPECT_TRUE(WaitUntilIdle(settings, 20000));
}

}  // namespace
