#include "host/page_window.h"

const fx::MessageEntry CBaseDHtmlDlg::kMessageEntries[] = {
    fx::On<&CBaseDHtmlDlg::OnCreate>(WM_CREATE),
};
const fx::MessageTable CBaseDHtmlDlg::kMessages =
    fx::MakeMessageTable(&fx::HtmlDialog::kMessages, kMessageEntries);

const fx::DispatchTable CBaseDHtmlDlg::kDispatch = {&fx::HtmlDialog::kDispatch, nullptr, 0};

CBaseDHtmlDlg::CBaseDHtmlDlg(const std::wstring& page, const std::wstring& element, HWND parent)
    : fx::HtmlDialog(IDD_PAGE_WINDOW, parent), m_strElement(element) {
  set_url(page);
}

const fx::DispatchTable* CBaseDHtmlDlg::GetDispatchTable() const { return &kDispatch; }
const fx::MessageTable* CBaseDHtmlDlg::GetMessageTable() const { return &kMessages; }

BOOL CBaseDHtmlDlg::CanAccessExternal() { return TRUE; }

LRESULT CBaseDHtmlDlg::OnCreate(WPARAM, LPARAM) {
  if (Default() == -1) return -1;
  EnableExternal();
  return 0;
}
