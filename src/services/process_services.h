// Process services of the scripted page dialog: the program's own location and command line,
// starting programs (with or without waiting for them) and trimming the working set.
// UI thread only; ShellExecuteAndWait blocks the calling window while it waits.
#pragma once

// The platform header first: GetCommandLine and ShellExecute are its macro names, and every
// file that sees these declarations must spell them the same way.
#include <windows.h>
#include <oaidl.h>

#include <string>

class CBaseDHtmlPgDlg;

namespace services {

// ShellExecuteAndWait's result when there is no process to wait for: the start failed, or the
// file went to a program that was already running.
constexpr int kNoProcessExitCode = -1;
// ShellExecuteAndWait's result after a time-out (the program was ended).
constexpr int kTimedOutExitCode = 999;

// The process's whole command line, as the process received it.
std::wstring GetCommandLine(CBaseDHtmlPgDlg& window);
// The directory of the program file without a trailing backslash ("C:" for a program in a
// drive root).
std::wstring GetAppCurrentPath(CBaseDHtmlPgDlg& window);
// Opens file with the "open" verb; the platform's instance value: above 32 on success, else
// its error code.
int ShellExecute(CBaseDHtmlPgDlg& window, BSTR file, BSTR parameters);
// Starts file with its default verb and the show command, waits up to timeout_ms (-1: without
// limit). Returns the program's exit code, kTimedOutExitCode after ending a program that
// outlived the time-out, or kNoProcessExitCode when no process was started.
int ShellExecuteAndWait(CBaseDHtmlPgDlg& window, const std::wstring& unused, BSTR file,
                        BSTR parameters, int show_command, int timeout_ms);
// Asks the system to take as many pages as it can out of the working set; never fails.
void SetProcessWorkingSetSize(CBaseDHtmlPgDlg& window);

}  // namespace services
