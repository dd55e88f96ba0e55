// The updater's dialog and procedure in process, against a loopback update server: the window
// and its controls, the update notification, the work folder and files, the failure message,
// the exit codes, and the installation step with a test installer and a stand-in client.
#include "updater/update_dialog.h"

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <cctype>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

#include "fixtures/file_bytes.h"
#include "fixtures/loopback_http_server.h"
#include "fixtures/message_box_watcher.h"
#include "fixtures/message_pump.h"
#include "framework/application.h"
#include "framework/owner.h"
#include "updater/file_digest.h"

namespace {

constexpr DWORD kTimeoutMs = 20000;
const wchar_t kFailureText[] = L"更新失败：无法下载最新版本。";
const wchar_t kUninstallKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

// Records what the window showed when it went away, for the runs that end inside DoModal.
class ObservedUpdateDlg : public CUpdateDlg {
 public:
  using CUpdateDlg::CUpdateDlg;
  std::wstring status_at_end;
  std::wstring title_at_end;
  int position_at_end = -1;

 protected:
  static const fx::MessageTable kMessages;
  const fx::MessageTable* GetMessageTable() const override { return &kMessages; }

 private:
  LRESULT OnDestroy(WPARAM, LPARAM) {
    wchar_t text[256] = {};
    ::GetDlgItemTextW(hwnd(), IDC_STATUS, text, 256);
    status_at_end = text;
    ::GetWindowTextW(hwnd(), text, 256);
    title_at_end = text;
    position_at_end =
        static_cast<int>(::SendDlgItemMessageW(hwnd(), IDC_PROGRESS, PBM_GETPOS, 0, 0));
    return Default();
  }
  static const fx::MessageEntry kEntries[];
};
const fx::MessageEntry ObservedUpdateDlg::kEntries[] = {
    fx::On<&ObservedUpdateDlg::OnDestroy>(WM_DESTROY),
};
const fx::MessageTable ObservedUpdateDlg::kMessages =
    fx::MakeMessageTable(&CUpdateDlg::kMessages, kEntries);

// The code of the quit request the run left behind; -1 when there is none.
int TakeQuitCode() {
  MSG msg;
  if (::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    return static_cast<int>(msg.wParam);
  }
  return -1;
}

// Runs the dialog modally and expects the one failure message, over the dialog, and the quit
// request with code 1.
void RunToTheFailureMessage(ObservedUpdateDlg& dialog) {
  fixtures::MessageBoxWatcher watcher;
  dialog.DoModal();
  EXPECT_EQ(TakeQuitCode(), kExitDownloadFailed);
  const auto boxes = watcher.seen();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, fx::ProgramName());
  EXPECT_EQ(boxes[0].text, kFailureText);
  EXPECT_EQ(boxes[0].owner_title, dialog.title());
}

bool IsFolder(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The first field of every line of a fixture log, one per line.
std::string LogKinds(const std::wstring& path) {
  const std::string text = fixtures::ReadFileBytes(path);
  std::string kinds;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(start, end - start);
    kinds += line.substr(0, line.find('\t')) + "\n";
    start = end + 1;
  }
  return kinds;
}

std::string Narrow(const std::wstring& s) { return std::string(s.begin(), s.end()); }

// The folder of the fixture programs, beside the test programs' folder.
std::wstring FixturePath(const wchar_t* name) {
  std::wstring path = fx::ProgramPath();
  path.resize(path.rfind(L'\\'));
  path.resize(path.rfind(L'\\'));
  return path + L"\\fixtures\\" + name;
}

void SetUninstallCommand(const std::wstring& product_key, const std::wstring& command) {
  fx::UniqueKey key;
  ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, (kUninstallKey + product_key).c_str(), 0, nullptr,
                              0, KEY_SET_VALUE, nullptr, key.put(), nullptr),
            ERROR_SUCCESS);
  const DWORD bytes = static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t));
  ASSERT_EQ(::RegSetValueExW(key.get(), L"UninstallString", 0, REG_SZ,
                             reinterpret_cast<const BYTE*>(command.c_str()), bytes),
            ERROR_SUCCESS);
}

// An installed copy for key: its uninstall entry names install_dir, whose version file holds
// version_file ("" for none).
void InstallCopy(const std::wstring& key, const std::wstring& install_dir,
                 const std::string& version_file) {
  // Parents too: the test may be the first to use the folder.
  ::SHCreateDirectoryExW(nullptr, install_dir.c_str(), nullptr);
  const std::wstring path = install_dir + L"\\version.ini";
  ::DeleteFileW(path.c_str());
  if (!version_file.empty()) fixtures::WriteFileBytes(path, version_file);
  SetUninstallCommand(key, install_dir + L"\\uninst.exe");
}

// The update server's answers: the description at "/updates/Update.ini", the installer at
// "/files/setup.exe" (404 without one) and 404 for anything else. Both are read when a request
// comes, so a test can write the description once it knows the server's URL.
fixtures::LoopbackHttpServer::Handler UpdateFiles(const std::string* description,
                                                  const std::string* installer) {
  return [description, installer](const fixtures::HttpRequestSeen& request) {
    fixtures::HttpResponse response;
    if (request.target == "/updates/Update.ini") {
      response.body = *description;
    } else if (installer && request.target == "/files/setup.exe") {
      response.body = *installer;
    } else {
      response.status = 404;
    }
    return response;
  };
}

class UpdateDialogTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(TakeQuitCode(), -1); }
  void TearDown() override { TakeQuitCode(); }

  // The application message box takes its caption from the application object.
  fx::Application app_;
};

TEST_F(UpdateDialogTest, TheTitleFramesTheDisplayNameWhole) {
  const struct {
    std::wstring display_name;
    std::wstring title;
  } cases[] = {
      {L"", L"「」升级程序"},
      {L"Miravolt Beta 2", L"「Miravolt Beta 2」升级程序"},
  };
  for (const auto& c : cases) {
    CUpdateDlg dialog(L"", L"", L"", L"", c.display_name);
    EXPECT_EQ(dialog.title(), c.title);
  }
}

TEST_F(UpdateDialogTest, WhileTheDescriptionDownloadsTheWindowShowsItsStateAndFollowsReports) {
  const std::wstring key = L"MiravoltUpdateTest\\held\\nested";
  SetUninstallCommand(key, L"C:\\Apps\\Miravolt\\uninst.exe");
  fixtures::LoopbackHttpServer server([](const fixtures::HttpRequestSeen&) {
    fixtures::HttpResponse response;
    response.body = "[Update]\r\n";
    response.hold_after = 0;
    return response;
  });
  fixtures::MessageBoxWatcher watcher;
  const std::wstring work = fixtures::TempFolder() + key;
  {
    CUpdateDlg dialog(server.Url(L"/updates/ver.txt"), key, L"version.ini", L"",
                      L"Miravolt Beta 2");
    ASSERT_TRUE(dialog.Create(nullptr));
    const HWND hwnd = dialog.hwnd();
    ASSERT_TRUE(server.WaitForRequests(1, kTimeoutMs));
    EXPECT_EQ(server.requests()[0].target, "/updates/ver.txt");

    wchar_t text[256] = {};
    ::GetWindowTextW(hwnd, text, 256);
    EXPECT_STREQ(text, L"「Miravolt Beta 2」升级程序");
    ::GetDlgItemTextW(hwnd, IDC_STATUS, text, 256);
    EXPECT_STREQ(text, L"正在检查最新版本。。。");
    const HICON icon = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_UPDATE));
    EXPECT_EQ(::SendMessageW(hwnd, WM_GETICON, ICON_BIG, 0), reinterpret_cast<LRESULT>(icon));
    EXPECT_EQ(::SendMessageW(hwnd, WM_GETICON, ICON_SMALL, 0), reinterpret_cast<LRESULT>(icon));
    EXPECT_EQ(::SendMessageW(hwnd, WM_QUERYDRAGICON, 0, 0), reinterpret_cast<LRESULT>(icon));
    PBRANGE range = {};
    ::SendDlgItemMessageW(hwnd, IDC_PROGRESS, PBM_GETRANGE, FALSE,
                          reinterpret_cast<LPARAM>(&range));
    EXPECT_EQ(range.iLow, 0);
    EXPECT_EQ(range.iHigh, 100);
    EXPECT_EQ(::SendDlgItemMessageW(hwnd, IDC_PROGRESS, PBM_GETPOS, 0, 0), 0);

    EXPECT_EQ(dialog.stage(), 2);
    EXPECT_EQ(dialog.description_file(), work + L"\\Update.ini");
    EXPECT_EQ(dialog.transfer_target(), work + L"\\Update.ini");
    EXPECT_EQ(dialog.install_directory(), L"C:\\Apps\\Miravolt");
    // Every level of a nested product key is created.
    EXPECT_TRUE(IsFolder(fixtures::TempFolder() + L"MiravoltUpdateTest"));
    EXPECT_TRUE(IsFolder(fixtures::TempFolder() + L"MiravoltUpdateTest\\held"));
    EXPECT_TRUE(IsFolder(work));

    EXPECT_EQ(::SendMessageW(hwnd, WM_UPDATE_NOTIFY, 1, 42), 0);
    EXPECT_EQ(::SendDlgItemMessageW(hwnd, IDC_PROGRESS, PBM_GETPOS, 0, 0), 42);
    // Reports the procedure does not know change nothing.
    for (WPARAM report : {WPARAM{4}, WPARAM{5}, WPARAM{0x7FFF}, ~WPARAM{0}}) {
      EXPECT_EQ(::SendMessageW(hwnd, WM_UPDATE_NOTIFY, report, 7), 0);
    }
    EXPECT_EQ(::SendDlgItemMessageW(hwnd, IDC_PROGRESS, PBM_GETPOS, 0, 0), 42);
    EXPECT_EQ(dialog.stage(), 2);
    EXPECT_TRUE(::IsWindow(hwnd));
    EXPECT_EQ(TakeQuitCode(), -1);
  }
  // The dialog is gone while its worker still waits for the body: the worker stops without
  // reporting to anyone.
  server.Release();
  EXPECT_TRUE(server.WaitForFinishedConnections(1, kTimeoutMs));
  fixtures::PumpMessagesFor(200);
  EXPECT_TRUE(watcher.seen().empty());
  EXPECT_EQ(TakeQuitCode(), -1);
}

TEST_F(UpdateDialogTest, AFailedDescriptionDownloadShowsTheMessageAndQuitsWithOne) {
  const std::wstring key = L"MiravoltUpdateTest\\missing";
  fixtures::LoopbackHttpServer server([](const fixtures::HttpRequestSeen&) {
    fixtures::HttpResponse response;
    response.status = 404;
    return response;
  });
  ObservedUpdateDlg dialog(server.Url(L"/updates/Update.ini"), key, L"version.ini", L"",
                           L"Miravolt");
  RunToTheFailureMessage(dialog);
  EXPECT_EQ(dialog.stage(), 2);
  EXPECT_EQ(dialog.status_at_end, L"正在检查最新版本。。。");
  // The status answer left an empty description file behind.
  EXPECT_TRUE(fixtures::PathExists(fixtures::TempFolder() + key + L"\\Update.ini"));
  EXPECT_EQ(fixtures::ReadFileBytes(fixtures::TempFolder() + key + L"\\Update.ini"), "");
}

TEST_F(UpdateDialogTest, TheInstallerIsFetchedIntoTheWorkFolderUnderTheLastSegmentOfItsUrl) {
  struct Case {
    const char* name;
    std::string install_path;  // "" for a description without "InstallUrl"
    std::wstring installer_name;
    std::string app_version;     // of the description file; "" for none
    std::string installed_file;  // the installed version file; "" for none
    std::wstring offered;
    std::wstring installed;
    bool installer_file_exists;  // the 404 answer leaves it empty
  };
  const Case cases[] = {
      {"plain name", "/files/setup.exe", L"setup.exe", "2.5", "[Update]\r\nAppVersion=1.7\r\n",
       L"2.5", L"1.7", true},
      // "?" cannot stand in a file name: the download fails once the answer is in.
      {"query part", "/files/setup.exe?v=2", L"setup.exe?v=2", "", "", L"1.0", L"1.0", false},
      // Without an installed version file the description stands for both.
      {"no version file", "/files/x/setup2.exe", L"setup2.exe", "3.0", "", L"3.0", L"3.0", true},
      {"no InstallUrl", "", L"", "", "", L"1.0", L"1.0", false},
  };
  int index = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::wstring key = L"MiravoltUpdateTest\\installer" + std::to_wstring(index++);
    const std::wstring work = fixtures::TempFolder() + key;
    InstallCopy(key, fixtures::TempFolder() + L"MiravoltUpdateTest\\Installed" + key.back(),
                c.installed_file);

    std::string description;
    fixtures::LoopbackHttpServer server([&](const fixtures::HttpRequestSeen& request) {
      fixtures::HttpResponse response;
      if (request.target == "/updates/ver.txt") {
        response.body = description;
      } else {
        response.status = 404;
      }
      return response;
    });
    description = "[Update]\r\n";
    if (!c.app_version.empty()) description += "AppVersion=" + c.app_version + "\r\n";
    const std::wstring installer_url =
        c.install_path.empty()
            ? L""
            : server.Url(std::wstring(c.install_path.begin(), c.install_path.end()));
    if (!c.install_path.empty()) description += "InstallUrl=" + Narrow(installer_url) + "\r\n";

    ObservedUpdateDlg dialog(server.Url(L"/updates/ver.txt"), key, L"version.ini", L"",
                             L"Miravolt");
    RunToTheFailureMessage(dialog);
    EXPECT_EQ(dialog.stage(), 3);
    EXPECT_EQ(dialog.status_at_end, L"正在下载安装程序。。。");
    // The description is stored as Update.ini whatever the URL called it.
    EXPECT_EQ(fixtures::ReadFileBytes(work + L"\\Update.ini"), description);
    EXPECT_FALSE(fixtures::PathExists(work + L"\\ver.txt"));
    EXPECT_EQ(dialog.transfer_url(), installer_url);
    EXPECT_EQ(dialog.transfer_target(), work + L"\\" + c.installer_name);
    EXPECT_EQ(dialog.offered_version(), c.offered);
    EXPECT_EQ(dialog.installed_version(), c.installed);
    if (!c.install_path.empty()) {
      const auto requests = server.requests();
      ASSERT_EQ(requests.size(), 2u);
      EXPECT_EQ(requests[1].target, c.install_path);
    }
    if (c.installer_file_exists) {
      EXPECT_TRUE(fixtures::PathExists(dialog.transfer_target()));
      EXPECT_EQ(fixtures::ReadFileBytes(dialog.transfer_target()), "");
    }
  }
}

TEST_F(UpdateDialogTest, ClosingTheWindowByHandQuitsWithItsOwnCode) {
  const struct {
    const char* name;
    UINT message;
    WPARAM wparam;
  } cases[] = {
      {"close box", WM_CLOSE, 0},
      {"Esc", WM_COMMAND, IDCANCEL},
      {"Enter", WM_COMMAND, IDOK},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fixtures::LoopbackHttpServer server([](const fixtures::HttpRequestSeen&) {
      fixtures::HttpResponse response;
      response.body = std::string(20000, 'x');
      response.hold_after = 0;
      return response;
    });
    fixtures::MessageBoxWatcher watcher;
    CUpdateDlg dialog(server.Url(L"/updates/Update.ini"), L"MiravoltUpdateTest\\closed",
                      L"version.ini", L"", L"Closed By Hand");
    // The user acts once the download is under way.
    std::thread user([&] {
      if (!server.WaitForRequests(1, kTimeoutMs)) return;
      HWND hwnd = ::FindWindowW(nullptr, L"「Closed By Hand」升级程序");
      ::PostMessageW(hwnd, c.message, c.wparam, 0);
    });
    dialog.DoModal();
    user.join();
    EXPECT_EQ(TakeQuitCode(), kExitClosedByHand);
    server.Release();
    EXPECT_TRUE(server.WaitForFinishedConnections(1, kTimeoutMs));
    fixtures::PumpMessagesFor(100);
    EXPECT_TRUE(watcher.seen().empty());
  }
}

// A top-level window of this thread standing in for the running client: it records WM_CLOSE
// and, like the client's pages may, ignores it.
class IgnoringClientWindow {
 public:
  explicit IgnoringClientWindow(const wchar_t* title) {
    WNDCLASSW window_class = {};
    window_class.lpfnWndProc = &Proc;
    window_class.hInstance = ::GetModuleHandleW(nullptr);
    window_class.lpszClassName = L"UpdateTestClient";
    ::RegisterClassW(&window_class);
    hwnd_ = ::CreateWindowExW(0, window_class.lpszClassName, title, WS_OVERLAPPED, 0, 0, 100, 50,
                              nullptr, nullptr, window_class.hInstance, nullptr);
  }
  IgnoringClientWindow(const IgnoringClientWindow&) = delete;
  IgnoringClientWindow& operator=(const IgnoringClientWindow&) = delete;
  ~IgnoringClientWindow() { ::DestroyWindow(hwnd_); }
  static int closes;

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_CLOSE) {
      ++closes;
      return 0;
    }
    return ::DefWindowProcW(hwnd, message, wparam, lparam);
  }
  HWND hwnd_;
};
int IgnoringClientWindow::closes = 0;

TEST_F(UpdateDialogTest, TheInstallationStepClosesTheClientRunsTheInstallerAndRestartsIt) {
  const std::wstring installer_program = FixturePath(L"test_installer.exe");
  const std::wstring client_program = FixturePath(L"stand_in_client.exe");
  ASSERT_TRUE(fixtures::PathExists(installer_program)) << Narrow(installer_program);
  ASSERT_TRUE(fixtures::PathExists(client_program)) << Narrow(client_program);
  const std::string installer_bytes = fixtures::ReadFileBytes(installer_program);

  const std::wstring log = fixtures::TempFolder() + L"MiravoltUpdateTest\\install.log";
  ::CreateDirectoryW((fixtures::TempFolder() + L"MiravoltUpdateTest").c_str(), nullptr);

  struct Case {
    const char* name;
    const wchar_t* client_title;  // a running client window with this title, or none
    bool client_installed;        // the client program lies in the install directory
    std::string expected_log;
  };
  const Case cases[] = {
      {"client running and installed", L"Miravolt Client Under Test", true,
       "installer\n"
       "client-started\n"},
      {"no client window, none installed", nullptr, false, "installer\n"},
  };
  int index = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::wstring key = L"MiravoltInstallTest" + std::to_wstring(index++);
    const std::wstring install_dir = fixtures::TempFolder() + L"MiravoltUpdateTest\\" + key;
    ::CreateDirectoryW(install_dir.c_str(), nullptr);
    ::DeleteFileW((install_dir + L"\\" + key + L".exe").c_str());
    if (c.client_installed) {
      ASSERT_TRUE(::CopyFileW(client_program.c_str(), (install_dir + L"\\" + key + L".exe").c_str(),
                              FALSE));
    }
    SetUninstallCommand(key, install_dir + L"\\uninst.exe");
    ::DeleteFileW(log.c_str());
    ::SetEnvironmentVariableW(L"MIRAVOLT_FIXTURE_LOG", log.c_str());
    ::SetEnvironmentVariableW(L"MIRAVOLT_INSTALLER_EXIT", L"5");

    std::string description;
    fixtures::LoopbackHttpServer server(UpdateFiles(&description, &installer_bytes));
    description = "[Update]\r\nInstallUrl=" + Narrow(server.Url(L"/files/setup.exe")) + "\r\n";

    IgnoringClientWindow::closes = 0;
    std::unique_ptr<IgnoringClientWindow> client;
    if (c.client_title) client = std::make_unique<IgnoringClientWindow>(c.client_title);
    fixtures::MessageBoxWatcher watcher;
    ObservedUpdateDlg dialog(server.Url(L"/updates/Update.ini"), key, L"version.ini",
                             c.client_title ? c.client_title : L"Miravolt No Such Window",
                             L"Miravolt");
    dialog.DoModal();

    // The installer's own exit code does not matter.
    EXPECT_EQ(TakeQuitCode(), kExitInstalled);
    EXPECT_TRUE(watcher.seen().empty());
    EXPECT_EQ(dialog.stage(), 4);
    EXPECT_EQ(dialog.status_at_end, L"正在安装新版本。。。");
    // The close request was posted once to the running client, which ignored it.
    fixtures::PumpMessagesFor(100);
    EXPECT_EQ(IgnoringClientWindow::closes, c.client_title ? 1 : 0);
    // The restarted client is not waited for: give it time to write its line.
    std::string written;
    const ULONGLONG deadline = ::GetTickCount64() + kTimeoutMs;
    while ((written = LogKinds(log)) != c.expected_log && ::GetTickCount64() < deadline) {
      ::Sleep(50);
    }
    EXPECT_EQ(written, c.expected_log);
  }
  ::SetEnvironmentVariableW(L"MIRAVOLT_FIXTURE_LOG", nullptr);
  ::SetEnvironmentVariableW(L"MIRAVOLT_INSTALLER_EXIT", nullptr);
}

TEST_F(UpdateDialogTest, AnOfferedVersionNotNewerThanTheInstalledOneInstallsNothing) {
  struct Case {
    const char* name;
    std::string offered;         // "AppVersion" of the description; "" for none
    std::string installed_file;  // the installed version file; "" for none
    bool up_to_date;
  };
  const Case cases[] = {
      {"1.2 offered, 1.10 installed", "1.2", "[Update]\r\nAppVersion=1.10\r\n", true},
      {"1.2.0 offered, 1.2 installed", "1.2.0", "[Update]\r\nAppVersion=1.2\r\n", true},
      // Both sides without a value count as 1.0.
      {"none offered, none installed", "", "[Update]\r\n", true},
      {"1.10 offered, 1.9 installed", "1.10", "[Update]\r\nAppVersion=1.9\r\n", false},
      {"2.0 offered, none installed", "2.0", "[Update]\r\n", false},
      // Nothing to compare: the description is followed as it stands.
      {"no installed version file", "0.1", "", false},
  };
  const wchar_t kClientTitle[] = L"Miravolt Up To Date Client";
  int index = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::wstring key = L"MiravoltUpdateTest\\version" + std::to_wstring(index++);
    const std::wstring work = fixtures::TempFolder() + key;
    InstallCopy(key, fixtures::TempFolder() + L"MiravoltUpdateTest\\VersionInstalled" + key.back(),
                c.installed_file);
    ::DeleteFileW((work + L"\\setup.exe").c_str());

    std::string description;
    fixtures::LoopbackHttpServer server(UpdateFiles(&description, nullptr));
    description = "[Update]\r\nInstallUrl=" + Narrow(server.Url(L"/files/setup.exe")) + "\r\n";
    if (!c.offered.empty()) description += "AppVersion=" + c.offered + "\r\n";

    IgnoringClientWindow::closes = 0;
    IgnoringClientWindow client(kClientTitle);
    ObservedUpdateDlg dialog(server.Url(L"/updates/Update.ini"), key, L"version.ini", kClientTitle,
                             L"Miravolt");
    if (c.up_to_date) {
      fixtures::MessageBoxWatcher watcher;
      dialog.DoModal();
      EXPECT_EQ(TakeQuitCode(), kExitUpToDate);
      EXPECT_TRUE(watcher.seen().empty());
      EXPECT_EQ(dialog.stage(), 2);
      EXPECT_EQ(dialog.status_at_end, L"当前已是最新版本。");
      EXPECT_EQ(dialog.position_at_end, 100);
      EXPECT_EQ(server.requests().size(), 1u);
      EXPECT_FALSE(fixtures::PathExists(work + L"\\setup.exe"));
    } else {
      // The installer download has begun (and fails on the server's 404).
      RunToTheFailureMessage(dialog);
      EXPECT_EQ(dialog.stage(), 3);
      const auto requests = server.requests();
      ASSERT_EQ(requests.size(), 2u);
      EXPECT_EQ(requests[1].target, "/files/setup.exe");
    }
    fixtures::PumpMessagesFor(100);
    EXPECT_EQ(IgnoringClientWindow::closes, 0);
  }
}

// Uppercase hexadecimal text of a digest.
std::string HexText(const updater::Sha256Digest& digest) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (const std::uint8_t byte : digest) {
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0xF];
  }
  return text;
}

TEST_F(UpdateDialogTest, TheInstallerRunsOnlyWhenItMatchesTheDescribedDigest) {
  const std::wstring installer_program = FixturePath(L"test_installer.exe");
  ASSERT_TRUE(fixtures::PathExists(installer_program)) << Narrow(installer_program);
  const std::string installer_bytes = fixtures::ReadFileBytes(installer_program);
  std::string right;
  {
    fx::UniqueFile file(::CreateFileW(installer_program.c_str(), GENERIC_READ, FILE_SHARE_READ,
                                      nullptr, OPEN_EXISTING, 0, nullptr));
    const std::optional<updater::Sha256Digest> digest = updater::Sha256OfFile(file.get());
    ASSERT_TRUE(digest.has_value());
    right = HexText(*digest);
  }
  std::string lower = right;
  for (char& ch : lower) ch = static_cast<char>(::tolower(static_cast<unsigned char>(ch)));
  std::string wrong = right;
  wrong[10] = wrong[10] == '0' ? '1' : '0';

  const std::wstring log = fixtures::TempFolder() + L"MiravoltUpdateTest\\digest.log";
  ::CreateDirectoryW((fixtures::TempFolder() + L"MiravoltUpdateTest").c_str(), nullptr);
  const wchar_t kClientTitle[] = L"Miravolt Digest Client";
  struct Case {
    const char* name;
    std::string line;  // the "InstallSha256" line of the description; "" for none
    bool installed;
  };
  const Case cases[] = {
      {"uppercase", "InstallSha256=" + right, true},
      {"lowercase", "InstallSha256=" + lower, true},
      {"another digest", "InstallSha256=" + wrong, false},
      {"one digit short", "InstallSha256=" + right.substr(1), false},
      {"present but empty", "InstallSha256=", false},
  };
  int index = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::wstring key = L"MiravoltUpdateTest\\digest" + std::to_wstring(index++);
    ::DeleteFileW(log.c_str());
    ::SetEnvironmentVariableW(L"MIRAVOLT_FIXTURE_LOG", log.c_str());

    std::string description;
    fixtures::LoopbackHttpServer server(UpdateFiles(&description, &installer_bytes));
    description = "[Update]\r\nInstallUrl=" + Narrow(server.Url(L"/files/setup.exe")) + "\r\n" +
                  c.line + "\r\n";

    IgnoringClientWindow::closes = 0;
    IgnoringClientWindow client(kClientTitle);
    ObservedUpdateDlg dialog(server.Url(L"/updates/Update.ini"), key, L"version.ini", kClientTitle,
                             L"Miravolt");
    if (c.installed) {
      fixtures::MessageBoxWatcher watcher;
      dialog.DoModal();
      EXPECT_EQ(TakeQuitCode(), kExitInstalled);
      EXPECT_TRUE(watcher.seen().empty());
      EXPECT_EQ(dialog.stage(), 4);
      fixtures::PumpMessagesFor(100);
      EXPECT_EQ(IgnoringClientWindow::closes, 1);
      EXPECT_EQ(LogKinds(log), "installer\n");
    } else {
      RunToTheFailureMessage(dialog);
      EXPECT_EQ(dialog.stage(), 3);
      EXPECT_EQ(dialog.status_at_end, L"正在下载安装程序。。。");
      fixtures::PumpMessagesFor(100);
      EXPECT_EQ(IgnoringClientWindow::closes, 0);
      EXPECT_EQ(LogKinds(log), "");
      // The rejected installer stays where it was downloaded.
      EXPECT_EQ(fixtures::ReadFileBytes(fixtures::TempFolder() + key + L"\\setup.exe"),
                installer_bytes);
    }
  }
  ::SetEnvironmentVariableW(L"MIRAVOLT_FIXTURE_LOG", nullptr);
}

TEST_F(UpdateDialogTest, UninstallCommandsUpTo1023CharactersNameTheInstallDirectory) {
  const std::wstring directory = L"C:\\Program Files\\Miravolt";
  // No backslash after the program name: the directory is what comes before it.
  const auto command = [&](std::size_t length) {
    std::wstring text = directory + L"\\uninst.exe /LOG=";
    text.resize(length, L'x');
    return text;
  };
  const struct {
    std::size_t length;
    std::wstring install_dir;
  } cases[] = {
      {1000, directory}, {1023, directory}, {1024, L""},  // does not fit: no uninstall command
  };
  fixtures::LoopbackHttpServer server([](const fixtures::HttpRequestSeen&) {
    fixtures::HttpResponse response;
    response.status = 404;
    return response;
  });
  for (const auto& c : cases) {
    SCOPED_TRACE(c.length);
    const std::wstring key = L"MiravoltUpdateTest\\long" + std::to_wstring(c.length);
    SetUninstallCommand(key, command(c.length));
    ObservedUpdateDlg dialog(server.Url(L"/updates/Update.ini"), key, L"version.ini", L"",
                             L"Miravolt");
    RunToTheFailureMessage(dialog);
    EXPECT_EQ(dialog.install_directory(), c.install_dir);
  }
}

}  // namespace
