#include "services/process_services.h"

#include <shellapi.h>

#include "framework/application.h"
#include "framework/owner.h"
#include "framework/text.h"
#include "host/page_rules.h"
#include "host/scripted_page_dialog.h"

namespace services {
namespace {

// A null script string means the same as an empty one; the shell calls get a valid string.
const wchar_t* OrEmpty(BSTR s) { return s ? s : L""; }

}  // namespace

std::wstring GetCommandLine(CBaseDHtmlPgDlg&) { return ::GetCommandLineW(); }

std::wstring GetAppCurrentPath(CBaseDHtmlPgDlg&) {
  return fx::ToWide(host::GetParentDirectory(fx::AsU16(fx::ProgramPath())));
}

int ShellExecute(CBaseDHtmlPgDlg&, BSTR file, BSTR parameters) {
  const HINSTANCE result =
      ::ShellExecuteW(/*hwnd=*/nullptr, L"open", OrEmpty(file), OrEmpty(parameters),
                      /*lpDirectory=*/nullptr, SW_SHOW);
  return static_cast<int>(reinterpret_cast<INT_PTR>(result));
}

int ShellExecuteAndWait(CBaseDHtmlPgDlg&, const std::wstring&, BSTR file, BSTR parameters,
                        int show_command, int timeout_ms) {
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof(info);
  // No service shows a message for a failure of its own: without SEE_MASK_FLAG_NO_UI the
  // shell would put up its own error box and freeze the calling page until it is closed.
  info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
  info.lpFile = OrEmpty(file);
  info.lpParameters = OrEmpty(parameters);
  info.nShow = show_command;
  if (!::ShellExecuteExW(&info)) return kNoProcessExitCode;
  const fx::UniqueHandle process(info.hProcess);
  // A file handed to a program that was already running leaves nothing to wait for.
  if (!process) return kNoProcessExitCode;

  // -1 is INFINITE.
  const DWORD waited = ::WaitForSingleObject(process.get(), static_cast<DWORD>(timeout_ms));
  if (waited == WAIT_TIMEOUT) {
    ::TerminateProcess(process.get(), /*uExitCode=*/0);
    return kTimedOutExitCode;
  }
  DWORD exit_code = 0;
  if (waited != WAIT_OBJECT_0 || !::GetExitCodeProcess(process.get(), &exit_code)) {
    return kNoProcessExitCode;
  }
  return static_cast<int>(exit_code);
}

void SetProcessWorkingSetSize(CBaseDHtmlPgDlg&) {
  ::SetProcessWorkingSetSize(::GetCurrentProcess(), static_cast<SIZE_T>(-1),
                             static_cast<SIZE_T>(-1));
}

}  // namespace services
