// The page window chain: CBaseDHtmlDlg (a borderless layered page window with the window
// methods) <- CBaseDHtmlPgDlg (the scripted page dialog with the service catalogue) <- the
// main window CCorvane. Every page window comes from dialog template 104, stays fully
// transparent until its page has been set up, and hands its own dispatch object to its page
// as window.external. UI thread only.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "framework/html_dialog.h"

constexpr UINT IDD_PAGE_WINDOW = 104;
constexpr UINT_PTR kOpacityTimer = 1;

class CBaseDHtmlDlg : public fx::HtmlDialog {
 public:
  CBaseDHtmlDlg(const std::wstring& page, const std::wstring& element, HWND parent);

  static const fx::DispatchTable kDispatch;
  const fx::DispatchTable* GetDispatchTable() const override;
  static const fx::MessageTable kMessages;
  const fx::MessageTable* GetMessageTable() const override;

  // The window methods of the script interface.
  void MinWindow();
  void MaxWindow();
  virtual int CloseWindow(int code);
  void Show(bool show);
  void Hide();
  void CenterOnParent();
  void CenterOnScreen();
  void Move(int x, int y);
  void SetSize(int cx, int cy);
  void SetWindowRound(int radius, int dx, int dy);
  void SetTransparent(int alpha);
  virtual int NewInstance(bool modal, const std::wstring& page, const std::wstring& element);
  virtual void DrapAndDrop();

  // Sets the window region to m_rcElement.
  void ApplyElementRegion();
  // Shapes, sizes, centres (first time) and titles the window for a completed document.
  void SetupDocument(IDispatch* frame, const std::wstring& url);

  std::wstring m_strElement;
  // The shaping element in page (= window) coordinates; all zero until a document completes.
  RECT m_rcElement{};
  std::wstring m_strTitle;
  int m_nDocComplete = 0;

 protected:
  BOOL CanAccessExternal() override;
  void OnOK() override {}
  void OnCancel() override {}
  HRESULT ShowContextMenu(DWORD menu_id, const POINT& at) override;
  void OnDocumentComplete(IDispatch* frame, const std::wstring& url) override;

  LRESULT OnCreate(WPARAM, LPARAM);
  LRESULT OnTimer(WPARAM, LPARAM);

  // Opens a window of class T as NewInstance describes.
  template <class T>
  int OpenInstance(bool modal, const std::wstring& page, const std::wstring& element);

 private:
  static const fx::MessageEntry kMessageEntries[];
  std::vector<std::unique_ptr<fx::PageElement>> FindElements(IDispatch* frame, int kind,
                                                             const std::wstring& key);
};

template <class T>
int CBaseDHtmlDlg::OpenInstance(bool modal, const std::wstring& page, const std::wstring& element) {
  if (modal) {
    T window(page, element, hwnd());
    return static_cast<int>(window.DoModal());
  }
  auto* window = new T(page, element, hwnd());
  // The window active now becomes the owner, normally the calling page's own window; with no
  // active window the new window has no owner.
  if (!window->Create(::GetActiveWindow())) {
    delete window;
    return 0;
  }
  window->set_auto_delete(true);
  ::ShowWindow(window->hwnd(), SW_SHOW);
  return 0;
}
