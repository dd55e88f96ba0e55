#include "network/main_window.h"

const fx::DispatchTable CCorvane::kDispatch = {&CBaseDHtmlPgDlg::kDispatch, nullptr, 0};

CCorvane::CCorvane(const std::wstring& page, const std::wstring& element, HWND parent)
    : CBaseDHtmlPgDlg(page, element, parent) {}

const fx::DispatchTable* CCorvane::GetDispatchTable() const { return &kDispatch; }
