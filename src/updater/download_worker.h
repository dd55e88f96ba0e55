// One download of the updater: an HTTP GET on a worker thread of its own, the body written to
// a local file, progress and the outcome reported to a window with the update notification.
// The worker never touches a dialog object: it works on copies taken when it starts and on the
// link it shares with the dialog, and talks back only through sent and posted messages.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

namespace updater {

// The update notification. wParam: kReportFailed (posted), kReportProgress with the percentage
// in lParam (sent, so the worker waits until the bar has moved), or the stage whose download
// is done (posted).
constexpr UINT WM_UPDATE_NOTIFY = WM_USER + 1;
constexpr WPARAM kReportFailed = 0;
constexpr WPARAM kReportProgress = 1;

// What a dialog shares with the workers it starts. A worker may outlive the dialog (the user
// can close the window mid-download and the process ends only afterwards), so both own it.
struct DownloadLink {
  // The dialog's stage; a worker reads it once, when its download has ended, for the done
  // report.
  std::atomic<std::int32_t> stage{0};
  // Set when the dialog's window is destroyed: a worker stops at its next chunk and reports
  // nothing more.
  std::atomic<bool> window_gone{false};
};

struct DownloadRequest {
  HWND window = nullptr;  // receives the reports
  std::wstring url;       // http or https
  std::wstring target;    // created (emptied when it exists) once the response has arrived
  std::wstring agent;     // user-agent text of the session: the application name
  std::shared_ptr<DownloadLink> link;
};

// Starts a worker thread for the request; it ends with exactly one done or failed report
// unless the window has gone first. Returns false when no thread could be started: then
// nothing will be reported.
bool StartDownloadWorker(DownloadRequest request);

}  // namespace updater
