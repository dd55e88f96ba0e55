// The main window: the scripted page dialog with the network methods.
#pragma once

#include "host/scripted_page_dialog.h"

class CCorvane : public CBaseDHtmlPgDlg {
 public:
  CCorvane(const std::wstring& page, const std::wstring& element, HWND parent);

  static const fx::DispatchTable kDispatch;
  const fx::DispatchTable* GetDispatchTable() const override;
};
