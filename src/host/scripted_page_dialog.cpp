#include "host/scripted_page_dialog.h"

const fx::DispatchTable CBaseDHtmlPgDlg::kDispatch = {&CBaseDHtmlDlg::kDispatch, nullptr, 0};

CBaseDHtmlPgDlg::CBaseDHtmlPgDlg(const std::wstring& page, const std::wstring& element,
                                 HWND parent)
    : CBaseDHtmlDlg(page, element, parent) {}

const fx::DispatchTable* CBaseDHtmlPgDlg::GetDispatchTable() const { return &kDispatch; }
