// The updater's progress dialog (template 102): a progress bar, one status line, and the
// update notification through which the download worker reports. UI thread only.
#pragma once

#include <string>

#include "framework/dialog.h"

constexpr UINT IDD_UPDATE = 102;
constexpr UINT IDC_PROGRESS = 1000;
constexpr UINT IDC_STATUS = 1001;
constexpr UINT IDI_UPDATE = 128;
constexpr UINT WM_UPDATE_NOTIFY = WM_USER + 1;

class CUpdateDlg : public fx::Dialog {
 public:
  CUpdateDlg(const std::wstring& url, const std::wstring& product_key,
             const std::wstring& version_file, const std::wstring& client_title,
             const std::wstring& display_name, HWND parent = nullptr);

  const std::wstring& title() const { return m_strTitle; }

 protected:
  BOOL OnInitDialog() override;
  static const fx::MessageTable kMessages;
  const fx::MessageTable* GetMessageTable() const override;

 private:
  LRESULT OnQueryDragIcon(WPARAM, LPARAM);
  LRESULT OnUpdateNotify(WPARAM, LPARAM);
  static const fx::MessageEntry kMessageEntries[];

  HICON m_hIcon;  // shared resource icon: never destroyed
  std::wstring m_strUrl;
  std::wstring m_strTarget;
  std::wstring m_strProductKey;
  std::wstring m_strVersionFile;
  std::wstring m_strClientTitle;
  std::wstring m_strTitle;
  HWND m_progress = nullptr;
  HWND m_status = nullptr;
  int m_nStage = 0;
};
