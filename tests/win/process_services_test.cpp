// Folder and process services against Wine's shell folders and real child processes
// (tests/fixtures/child_exit.cpp).
#include "services/process_services.h"

#include <windows.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "fixtures/message_box_watcher.h"
#include "framework/owner.h"
#include "host/scripted_page_dialog.h"
#include "services/folder_services.h"

namespace {

std::wstring OwnProgramPath() {
  wchar_t path[MAX_PATH * 4] = {};
  ::GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path)));
  return path;
}

std::wstring ParentOf(const std::wstring& path) { return path.substr(0, path.rfind(L'\\')); }

// The fixture program lies in the fixtures folder beside the test programs' folder.
std::wstring ChildExitPath() {
  const std::wstring relative = ParentOf(OwnProgramPath()) + L"\\..\\fixtures\\child_exit.exe";
  wchar_t full[MAX_PATH * 4] = {};
  ::GetFullPathNameW(relative.c_str(), static_cast<DWORD>(std::size(full)), full, nullptr);
  return full;
}

fx::UniqueBstr Bstr(const std::wstring& s) {
  return fx::UniqueBstr(::SysAllocStringLen(s.data(), static_cast<UINT>(s.size())));
}

// Running copies of child_exit.exe that this process started.
std::vector<DWORD> RunningChildren() {
  std::vector<DWORD> found;
  fx::UniqueHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot || snapshot.get() == INVALID_HANDLE_VALUE) {
    snapshot.release();
    return found;
  }
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more;
       more = ::Process32NextW(snapshot.get(), &entry)) {
    if (entry.th32ParentProcessID == ::GetCurrentProcessId() &&
        ::lstrcmpiW(entry.szExeFile, L"child_exit.exe") == 0) {
      found.push_back(entry.th32ProcessID);
    }
  }
  return found;
}

// Ends every running child; returns how many there were. A child that was only being ended
// when the snapshot was taken counts as gone.
size_t EndRunningChildren() {
  size_t ended = 0;
  for (DWORD id : RunningChildren()) {
    fx::UniqueHandle child(::OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, id));
    if (!child || ::WaitForSingleObject(child.get(), 0) == WAIT_OBJECT_0) continue;
    ::TerminateProcess(child.get(), 1);
    ::WaitForSingleObject(child.get(), 10000);
    ++ended;
  }
  return ended;
}

class ProcessServicesTest : public ::testing::Test {
 protected:
  void TearDown() override { EndRunningChildren(); }

  int RunAndWait(const std::wstring& file, const std::wstring& parameters, int timeout_ms) {
    const fx::UniqueBstr f = Bstr(file);
    const fx::UniqueBstr p = Bstr(parameters);
    return services::ShellExecuteAndWait(window_, L"ignored", f.get(), p.get(), SW_HIDE,
                                         timeout_ms);
  }

  CBaseDHtmlPgDlg window_{L"x.html", L".container", nullptr};
};

TEST_F(ProcessServicesTest, ShellExecuteAndWaitReturnsTheExitCodeOr999AfterKilling) {
  ASSERT_NE(::GetFileAttributesW(ChildExitPath().c_str()), INVALID_FILE_ATTRIBUTES)
      << "child_exit.exe missing";
  struct Case {
    const wchar_t* parameters;  // exit code, run time in ms (-1: until ended)
    int timeout_ms;
    int expected;
  } cases[] = {
      {L"0 0", -1, 0},
      {L"42 200", -1, 42},
      {L"5 0", 60000, 5},
      // Every bit of the exit code reaches the script.
      {L"3221225477 0", -1, static_cast<int>(0xC0000005u)},
      // A time-out of 0 does not wait at all.
      {L"7 -1", 0, 999},
      {L"7 -1", 200, 999},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.parameters)) + " timeout " +
                 std::to_string(c.timeout_ms));
    EXPECT_EQ(RunAndWait(ChildExitPath(), c.parameters, c.timeout_ms), c.expected);
    // A program that outlived its time-out was ended, not left running.
    EXPECT_EQ(EndRunningChildren(), 0u);
  }
}

TEST_F(ProcessServicesTest, ShellExecuteAndWaitWithoutAProcessNeverWaits) {
  // The failure is a result, never a box of the shell's (the watcher would close one).
  fixtures::MessageBoxWatcher boxes;
  const std::wstring missing = ParentOf(OwnProgramPath()) + L"\\no-such-program.exe";
  // Even an unlimited wait returns: there is no handle to wait on.
  EXPECT_EQ(RunAndWait(missing, L"", -1), services::kNoProcessExitCode);
  EXPECT_EQ(RunAndWait(missing, L"", 0), services::kNoProcessExitCode);
  EXPECT_EQ(services::ShellExecuteAndWait(window_, L"", nullptr, nullptr, SW_HIDE, -1),
            services::kNoProcessExitCode);
  EXPECT_NE(services::kNoProcessExitCode, services::kTimedOutExitCode);
  EXPECT_TRUE(boxes.seen().empty());
}

TEST_F(ProcessServicesTest, ShellExecuteStartsWithoutWaitingOrGivesTheErrorValue) {
  const fx::UniqueBstr child = Bstr(ChildExitPath());
  const fx::UniqueBstr forever = Bstr(L"0 -1");
  EXPECT_GT(services::ShellExecute(window_, child.get(), forever.get()), 32);
  // The program runs on after the call (and the helper that checks the other tests sees it).
  EXPECT_EQ(EndRunningChildren(), 1u);

  const fx::UniqueBstr missing = Bstr(ParentOf(OwnProgramPath()) + L"\\no-such-program.exe");
  EXPECT_EQ(services::ShellExecute(window_, missing.get(), nullptr), SE_ERR_FNF);
  EXPECT_LE(services::ShellExecute(window_, nullptr, nullptr), 32);
}

TEST_F(ProcessServicesTest, ProgramLocationAndCommandLine) {
  const std::wstring directory = services::GetAppCurrentPath(window_);
  ASSERT_FALSE(directory.empty());
  EXPECT_NE(directory.back(), L'\\');
  EXPECT_EQ(
      ::lstrcmpiW((directory + L"\\process_services_test.exe").c_str(), OwnProgramPath().c_str()),
      0)
      << directory;
  EXPECT_NE(services::GetCommandLine(window_).find(L"process_services_test"), std::wstring::npos);
  services::SetProcessWorkingSetSize(window_);  // has no result; must simply return
}

// Calls a service without parameters through the window's dispatch object, by name.
std::wstring CallByName(CBaseDHtmlPgDlg& window, const wchar_t* name) {
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  DISPID id = DISPID_UNKNOWN;
  if (FAILED(window.dispatch()->GetIDsOfNames(IID_NULL, names, 1, 0, &id))) return L"<unknown>";
  DISPPARAMS none{};
  fx::UniqueVariant result;
  if (FAILED(window.dispatch()->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &none, result.put(),
                                       nullptr, nullptr)) ||
      result->vt != VT_BSTR) {
    return L"<failed>";
  }
  return result->bstrVal ? result->bstrVal : L"<null>";
}

TEST_F(ProcessServicesTest, EachFolderServiceReportsItsOwnFolder) {
  const struct {
    const wchar_t* name;
    int csidl;
  } folders[] = {
      {L"GetCommonAppDataPath", 0x23},    {L"GetCommonDesktopPath", 0x19},
      {L"GetCommonDocumentsPath", 0x2E},  {L"GetCommonStartMenuPath", 0x16},
      {L"GetCommonStartupPath", 0x18},    {L"GetCommonProgramFilesPath", 0x2B},
      {L"GetUserAppDataPath", 0x1A},      {L"GetUserLocalAppDataPath", 0x1C},
      {L"GetUserDesktopPath", 0x10},      {L"GetUserDocumentsPath", 0x05},
      {L"GetUserStartMenuPath", 0x0B},    {L"GetUserStartupPath", 0x07},
      {L"GetUserProgramFilesPath", 0x26}, {L"GetSystemPath", 0x25},
      {L"GetWindowsPath", 0x24},
  };
  for (const auto& folder : folders) {
    wchar_t expected[MAX_PATH] = {};
    ::SHGetSpecialFolderPathW(nullptr, expected, folder.csidl, FALSE);
    EXPECT_EQ(CallByName(window_, folder.name), expected)
        << testing::PrintToString(std::wstring(folder.name));
  }
  // The two program-files services are easily confused: the common-files folder lies inside
  // the program files folder.
  const std::wstring program_files = services::GetUserProgramFilesPath(window_);
  const std::wstring common_files = services::GetCommonProgramFilesPath(window_);
  ASSERT_FALSE(program_files.empty());
  EXPECT_NE(common_files, program_files);
  EXPECT_EQ(common_files.rfind(program_files + L"\\", 0), 0u) << common_files;
  // Paths come as the platform gives them: no separator added.
  EXPECT_NE(services::GetWindowsPath(window_).back(), L'\\');
}

// Moves a folder out of the way for the test and back afterwards.
class FolderAway {
 public:
  explicit FolderAway(std::wstring path) : path_(std::move(path)), away_(path_ + L".away") {
    moved_ = ::MoveFileW(path_.c_str(), away_.c_str()) != FALSE;
  }
  ~FolderAway() {
    if (moved_) {
      ::RemoveDirectoryW(path_.c_str());  // in case something recreated it
      ::MoveFileW(away_.c_str(), path_.c_str());
    }
  }
  bool moved() const { return moved_; }

 private:
  std::wstring path_;
  std::wstring away_;
  bool moved_ = false;
};

TEST_F(ProcessServicesTest, AMissingFolderIsNotCreated) {
  const std::wstring startup = services::GetUserStartupPath(window_);
  ASSERT_FALSE(startup.empty());
  FolderAway away(startup);
  ASSERT_TRUE(away.moved()) << "could not move " << testing::PrintToString(startup);
  EXPECT_EQ(services::GetUserStartupPath(window_), L"");
  EXPECT_EQ(::GetFileAttributesW(startup.c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
