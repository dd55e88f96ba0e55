// The updater's progress dialog (template 102): a progress bar, one status line, and the
// update procedure it carries out, driven by the update notification through which its
// download workers report. UI thread only; the object must outlive its window.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "framework/dialog.h"
#include "updater/download_worker.h"

constexpr UINT IDD_UPDATE = 102;
constexpr UINT IDC_PROGRESS = 1000;
constexpr UINT IDC_STATUS = 1001;
constexpr UINT IDI_UPDATE = 128;
using updater::WM_UPDATE_NOTIFY;

// Exit codes of the updater. The procedure ends with kExitInstalled after the installation
// step, kExitUpToDate when the installed copy is as new as the one offered, or
// kExitDownloadFailed after the failure message; a window closed by hand before that ends with
// kExitClosedByHand, so a caller never takes an abandoned update for a done one.
constexpr int kExitInstalled = 0;
constexpr int kExitUpToDate = 0;
constexpr int kExitDownloadFailed = 1;
constexpr int kExitClosedByHand = 2;

class CUpdateDlg : public fx::Dialog {
 public:
  CUpdateDlg(const std::wstring& url, const std::wstring& product_key,
             const std::wstring& version_file, const std::wstring& client_title,
             const std::wstring& display_name, HWND parent = nullptr);
  ~CUpdateDlg() override;

  const std::wstring& title() const { return m_strTitle; }
  const std::wstring& transfer_url() const { return m_strUrl; }
  const std::wstring& transfer_target() const { return m_strTarget; }
  const std::wstring& description_file() const { return m_strIniFile; }
  const std::wstring& install_directory() const { return m_strInstallDir; }
  const std::wstring& offered_version() const { return m_strNewVersion; }
  const std::wstring& installed_version() const { return m_strOldVersion; }
  int stage() const { return m_pStage->stage; }

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;
  void OnWindowGone() override;
  static const fx::MessageTable kMessages;
  const fx::MessageTable* GetMessageTable() const override;

 private:
  LRESULT OnSysCommand(WPARAM, LPARAM);
  LRESULT OnPaint(WPARAM, LPARAM);
  LRESULT OnQueryDragIcon(WPARAM, LPARAM);
  LRESULT OnUpdateNotify(WPARAM, LPARAM);
  static const fx::MessageEntry kMessageEntries[];

  // The procedure, one operation per step of the update.
  void Prepare();
  void StartDownload();
  void OnDescriptionArrived();
  void OnInstallerArrived();
  void OnDownloadFailed();
  void EndUpToDate();
  void SetStatus(const wchar_t* text);
  void CloseByHand();
  void RequestQuit(int code);

  HICON m_hIcon;                  // shared resource icon: never destroyed
  std::wstring m_strUrl;          // transfer URL: what the next download fetches
  std::wstring m_strTarget;       // transfer target: where the next download writes
  std::wstring m_strProductKey;   // argument 2
  std::wstring m_strVersionFile;  // argument 3, relative to the install directory
  std::wstring m_strClientTitle;  // argument 4
  std::wstring m_strTitle;        // from argument 5
  std::wstring m_strIniFile;      // the downloaded update description file
  std::wstring m_strInstallDir;   // from the uninstall command
  std::wstring m_strNewVersion;   // offered: "AppVersion" of the description file
  std::wstring m_strOldVersion;   // installed: "AppVersion" of the installed version file
  // "InstallSha256" of the description file when it has that key: the installer must match it.
  std::optional<std::wstring> m_strInstallerSha256;
  HWND m_hwndProgress = nullptr;
  HWND m_hwndStatus = nullptr;
  // The stage (2 description, 3 installer, 4 installation), kept in the link the download
  // workers share so that a worker can read it when its download ends.
  const std::shared_ptr<updater::DownloadLink> m_pStage;
  // The procedure has chosen the exit code; closing the window by hand no longer changes it.
  bool m_bEnding = false;
};
