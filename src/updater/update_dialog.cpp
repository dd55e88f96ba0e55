#include "updater/update_dialog.h"

#include <commctrl.h>

const fx::MessageEntry CUpdateDlg::kMessageEntries[] = {
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
      m_strTitle(L"「" + display_name + L"」升级程序") {}

const fx::MessageTable* CUpdateDlg::GetMessageTable() const { return &kMessages; }

BOOL CUpdateDlg::OnInitDialog() {
  fx::Dialog::OnInitDialog();
  m_progress = ::GetDlgItem(hwnd(), IDC_PROGRESS);
  m_status = ::GetDlgItem(hwnd(), IDC_STATUS);
  ::SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
  ::SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
  ::SetWindowTextW(hwnd(), m_strTitle.c_str());
  return TRUE;
}

LRESULT CUpdateDlg::OnQueryDragIcon(WPARAM, LPARAM) {
  return reinterpret_cast<LRESULT>(m_hIcon);
}

LRESULT CUpdateDlg::OnUpdateNotify(WPARAM wparam, LPARAM lparam) {
  if (wparam == 1) ::SendMessageW(m_progress, PBM_SETPOS, static_cast<WPARAM>(lparam), 0);
  return 0;
}
