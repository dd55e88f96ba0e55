#include "updater/update_dialog.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlwapi.h>

#include "framework/application.h"
#include "framework/owner.h"
#include "framework/text.h"
#include "services/registry_key.h"
#include "updater/file_digest.h"
#include "updater/update_rules.h"

namespace {

constexpr DWORD kTempPathChars = 1024;
constexpr DWORD kProfileChars = 1024;
constexpr DWORD kClosePauseMs = 1000;
// Long enough to read the status line before the window goes.
constexpr DWORD kUpToDatePauseMs = 1000;
// The uninstall command may be longer than the page services' registry strings: up to 1023
// characters and a NUL.
constexpr DWORD kUninstallCommandBytes = 2048;
constexpr LPARAM kProgressRange = MAKELPARAM(0, 100);

const wchar_t kUninstallRoot[] =
    L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const wchar_t kUninstallValue[] = L"UninstallString";
const wchar_t kSection[] = L"Update";
const wchar_t kStatusDownloading[] = L"正在下载安装程序。。。";
const wchar_t kStatusClosingClient[] = L"正在结束当前运行的版本。。。";
const wchar_t kStatusInstalling[] = L"正在安装新版本。。。";
const wchar_t kStatusUpToDate[] = L"当前已是最新版本。";
const wchar_t kFailureText[] = L"更新失败：无法下载最新版本。";

constexpr std::int32_t kStageDescription = 2;
constexpr std::int32_t kStageInstaller = 3;
constexpr std::int32_t kStageInstall = 4;

// The procedure's process-wide strings. UI thread only; each is set before it is used.
std::wstring g_strWorkFolder;     // temporary folder + product key
std::wstring g_strInstallerUrl;   // "InstallUrl" of the description file
std::wstring g_strInstallerName;  // its text after the last "/"

std::wstring TempPath() {
  wchar_t buffer[kTempPathChars];
  const DWORD n = ::GetTempPathW(kTempPathChars, buffer);
  return n > 0 && n < kTempPathChars ? std::wstring(buffer, n) : std::wstring();
}

void CreateFolderLevels(const std::wstring& folder) {
  // Levels that exist already fail harmlessly; a level that cannot be made shows up later as a
  // target file that cannot be created.
  for (const std::u16string& level : updater::FolderLevels(fx::AsU16(folder))) {
    ::CreateDirectoryW(fx::ToWide(level).c_str(), nullptr /* security */);
  }
}

std::wstring ReadUninstallCommand(const std::wstring& product_key) {
  CBaseRegKey key;
  std::wstring command;
  if (key.Open(kUninstallRoot + product_key)) {
    key.QueryString(kUninstallValue, command, kUninstallCommandBytes);
  }
  return command;
}

bool CanOpenForReading(const std::wstring& path) {
  return static_cast<bool>(fx::UniqueFile(
      ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr /* security */, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)));
}

std::wstring ReadProfileValue(const std::wstring& file, const wchar_t* key,
                              const wchar_t* default_text) {
  wchar_t buffer[kProfileChars] = {};
  const DWORD n =
      ::GetPrivateProfileStringW(kSection, key, default_text, buffer, kProfileChars, file.c_str());
  return std::wstring(buffer, n);
}

// A value of section "Update"; empty when the file cannot be opened or has no such key.
std::wstring ReadUpdateValue(const std::wstring& file, const wchar_t* key) {
  if (!CanOpenForReading(file)) return {};
  return ReadProfileValue(file, key, L"");
}

// A value of section "Update"; nothing when the file cannot be opened or has no such key, so
// that a key present with an empty value is told from a missing one.
std::optional<std::wstring> ReadPresentUpdateValue(const std::wstring& file, const wchar_t* key) {
  if (!CanOpenForReading(file)) return std::nullopt;
  // The reader hands out its default only for a missing key: the key is missing when each of
  // two different defaults comes back.
  std::wstring first = ReadProfileValue(file, key, L"0");
  if (first != L"0") return first;
  if (ReadProfileValue(file, key, L"1") == L"1") return std::nullopt;
  return first;
}

// The installer, held open so that nobody can change it until the handle is closed, when its
// SHA-256 digest is the one the description names; no handle when the file cannot be read or
// the digest differs (a malformed expected value never matches).
fx::UniqueFile OpenVerifiedInstaller(const std::wstring& path, const std::wstring& expected_hex) {
  fx::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ,
                                    nullptr /* security */, OPEN_EXISTING,
                                    FILE_FLAG_SEQUENTIAL_SCAN, nullptr /* template */));
  if (!file) return {};
  const std::optional<updater::Sha256Digest> digest = updater::Sha256OfFile(file.get());
  if (!digest || !updater::DigestMatchesHex(fx::AsU16(expected_hex), *digest)) return {};
  return file;
}

std::wstring EffectiveVersion(const std::wstring& app_version) {
  return fx::ToWide(updater::EffectiveVersion(fx::AsU16(app_version)));
}

std::wstring ApplicationName() {
  const fx::Application* app = fx::Application::Current();
  return app && !app->name().empty() ? app->name() : fx::ProgramName();
}

}  // namespace

const fx::MessageEntry CUpdateDlg::kMessageEntries[] = {
    fx::On<&CUpdateDlg::OnSysCommand>(WM_SYSCOMMAND),
    fx::On<&CUpdateDlg::OnPaint>(WM_PAINT),
    fx::On<&CUpdateDlg::OnQueryDragIcon>(WM_QUERYDRAGICON),
    fx::On<&CUpdateDlg::OnUpdateNotify>(WM_UPDATE_NOTIFY),
};
const fx::MessageTable CUpdateDlg::kMessages =
    fx::MakeMessageTable(&fx::Dialog::kMessages, kMessageEntries);

CUpdateDlg::CUpdateDlg(const std::wstring& url, const std::wstring& product_key,
                       const std::wstring& version_file, const std::wstring& client_title,
                       const std::wstring& display_name, HWND parent)
    : fx::Dialog(IDD_UPDATE, parent),
      m_hIcon(::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_UPDATE))),
      m_strUrl(url),
      m_strProductKey(product_key),
      m_strVersionFile(version_file),
      m_strClientTitle(client_title),
      m_strTitle(L"「" + display_name + L"」升级程序"),
      m_pStage(std::make_shared<updater::DownloadLink>()) {}

CUpdateDlg::~CUpdateDlg() { m_pStage->window_gone = true; }

const fx::MessageTable* CUpdateDlg::GetMessageTable() const { return &kMessages; }

BOOL CUpdateDlg::OnInitDialog() {
  fx::Dialog::OnInitDialog();
  m_hwndProgress = ::GetDlgItem(hwnd(), IDC_PROGRESS);
  m_hwndStatus = ::GetDlgItem(hwnd(), IDC_STATUS);
  ::SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
  ::SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
  ::SetWindowTextW(hwnd(), m_strTitle.c_str());
  Prepare();
  return TRUE;
}

LRESULT CUpdateDlg::OnSysCommand(WPARAM, LPARAM) { return Default(); }

LRESULT CUpdateDlg::OnPaint(WPARAM, LPARAM) { return Default(); }

LRESULT CUpdateDlg::OnQueryDragIcon(WPARAM, LPARAM) { return reinterpret_cast<LRESULT>(m_hIcon); }

LRESULT CUpdateDlg::OnUpdateNotify(WPARAM report, LPARAM percent) {
  switch (report) {
    case updater::kReportFailed:
      OnDownloadFailed();
      break;
    case updater::kReportProgress:
      ::SendMessageW(m_hwndProgress, PBM_SETPOS, static_cast<WPARAM>(percent), 0);
      break;
    case kStageDescription:
      OnDescriptionArrived();
      break;
    case kStageInstaller:
      OnInstallerArrived();
      break;
    default:
      break;
  }
  return 0;
}

void CUpdateDlg::OnOK() { CloseByHand(); }

void CUpdateDlg::OnCancel() { CloseByHand(); }

void CUpdateDlg::CloseByHand() {
  if (!m_bEnding) RequestQuit(kExitClosedByHand);
  fx::Dialog::OnCancel();
}

void CUpdateDlg::OnWindowGone() {
  // A download still under way must not report to a window that no longer exists.
  m_pStage->window_gone = true;
}

void CUpdateDlg::RequestQuit(int code) {
  m_bEnding = true;
  ::PostQuitMessage(code);
}

void CUpdateDlg::SetStatus(const wchar_t* text) {
  ::SetWindowTextW(m_hwndStatus, text);
  // The steps that follow keep the thread busy: show the text now.
  ::UpdateWindow(hwnd());
}

void CUpdateDlg::Prepare() {
  m_pStage->stage = kStageDescription;
  g_strWorkFolder = TempPath() + m_strProductKey;
  CreateFolderLevels(g_strWorkFolder);
  m_strInstallDir = fx::ToWide(
      updater::InstallDirectoryFromCommand(fx::AsU16(ReadUninstallCommand(m_strProductKey))));
  // Whatever the description URL ends in, the file is kept under one name.
  m_strIniFile = g_strWorkFolder + L"\\Update.ini";
  m_strTarget = m_strIniFile;
  StartDownload();
}

void CUpdateDlg::StartDownload() {
  ::SendMessageW(m_hwndProgress, PBM_SETRANGE, 0, kProgressRange);
  ::SendMessageW(m_hwndProgress, PBM_SETPOS, 0, 0);
  updater::DownloadRequest request;
  request.window = hwnd();
  request.url = m_strUrl;
  request.target = m_strTarget;
  request.agent = ApplicationName();
  request.link = m_pStage;
  // Without a worker no report would ever come and the dialog would wait for nothing.
  if (!updater::StartDownloadWorker(std::move(request))) {
    ::PostMessageW(hwnd(), WM_UPDATE_NOTIFY, updater::kReportFailed, 0);
  }
}

void CUpdateDlg::OnDescriptionArrived() {
  ::SendMessageW(m_hwndProgress, PBM_SETPOS, 100, 0);
  g_strInstallerUrl = ReadUpdateValue(m_strIniFile, L"InstallUrl");
  g_strInstallerName = fx::ToWide(updater::FileNameFromUrl(fx::AsU16(g_strInstallerUrl)));
  m_strNewVersion = EffectiveVersion(ReadUpdateValue(m_strIniFile, L"AppVersion"));
  const std::wstring version_file = m_strInstallDir + L"\\" + m_strVersionFile;
  const bool installed_known = CanOpenForReading(version_file);
  m_strOldVersion = EffectiveVersion(
      ReadUpdateValue(installed_known ? version_file : m_strIniFile, L"AppVersion"));
  // Only the installed copy's own file says what is installed; without it there is nothing to
  // compare and whatever the description offers is installed.
  if (installed_known &&
      updater::CompareVersions(fx::AsU16(m_strNewVersion), fx::AsU16(m_strOldVersion)) <= 0) {
    EndUpToDate();
    return;
  }
  m_strInstallerSha256 = ReadPresentUpdateValue(m_strIniFile, L"InstallSha256");
  SetStatus(kStatusDownloading);
  m_pStage->stage = kStageInstaller;
  m_strUrl = g_strInstallerUrl;
  m_strTarget = g_strWorkFolder + L"\\" + g_strInstallerName;
  StartDownload();
}

void CUpdateDlg::OnInstallerArrived() {
  const std::wstring installer = g_strWorkFolder + L"\\" + g_strInstallerName;
  // Held until the installer has ended, so the file that runs is the file that was checked.
  fx::UniqueFile verified;
  if (m_strInstallerSha256) {
    verified = OpenVerifiedInstaller(installer, *m_strInstallerSha256);
    // An installer other than the one described is as good as none: nothing is run.
    if (!verified) {
      OnDownloadFailed();
      return;
    }
  }
  m_bEnding = true;
  m_pStage->stage = kStageInstall;
  // An empty title would match some unrelated untitled window.
  HWND client = m_strClientTitle.empty()
                    ? nullptr
                    : ::FindWindowW(nullptr /* any class */, m_strClientTitle.c_str());
  if (client) {
    // The client passes the request on to its page, which decides; it is not forced.
    ::PostMessageW(client, WM_CLOSE, 0, 0);
    SetStatus(kStatusClosingClient);
    ::Sleep(kClosePauseMs);
  }
  SetStatus(kStatusInstalling);

  SHELLEXECUTEINFOW run = {};
  run.cbSize = sizeof run;
  run.fMask = SEE_MASK_NOCLOSEPROCESS;
  run.lpFile = installer.c_str();
  run.lpParameters = L"";
  run.nShow = SW_SHOW;
  // An installer that cannot be started is not reported: the client is restarted as it is.
  if (::ShellExecuteExW(&run)) {
    const fx::UniqueHandle process(run.hProcess);
    if (process) ::WaitForSingleObject(process.get(), INFINITE);
  }

  const std::wstring client_program = m_strInstallDir + L"\\" + m_strProductKey + L".exe";
  if (::PathFileExistsW(client_program.c_str())) {
    // The program ends right after this call: the launch must be complete when it returns, or
    // the shell may still be starting the client as the process goes (SEE_MASK_NOASYNC).
    SHELLEXECUTEINFOW client = {};
    client.cbSize = sizeof client;
    client.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    client.lpVerb = L"open";
    client.lpFile = client_program.c_str();
    client.lpParameters = L"";
    client.nShow = SW_SHOW;
    ::ShellExecuteExW(&client);
  }
  RequestQuit(kExitInstalled);
}

void CUpdateDlg::EndUpToDate() {
  // Nothing is downloaded, installed or closed; the line is shown for a moment, then the
  // program ends.
  m_bEnding = true;
  SetStatus(kStatusUpToDate);
  ::Sleep(kUpToDatePauseMs);
  RequestQuit(kExitUpToDate);
}

void CUpdateDlg::OnDownloadFailed() {
  // Closing the window while the message is shown does not change the outcome.
  m_bEnding = true;
  fx::AppMessageBox(kFailureText);
  RequestQuit(kExitDownloadFailed);
}
