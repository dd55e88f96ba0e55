// The client's entry: the application object and start-up.
#include <windows.h>
#include <commctrl.h>

#include "framework/application.h"
#include "framework/owner.h"
#include "network/main_window.h"

class CCorvaneApp : public fx::Application {
 public:
  const std::wstring m_strProductName = L"Miravolt";

 protected:
  BOOL InitInstance() override;
};

BOOL CCorvaneApp::InitInstance() {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
  ::InitCommonControlsEx(&controls);
  fx::Application::InitInstance();

  // Only one instance per user: a second start brings the first one's window forward.
  // The mutex handle is never closed; the mutex lives exactly as long as this process.
  HANDLE mutex = ::CreateMutexW(nullptr, TRUE /*bInitialOwner*/, L"Miravolt");
  const DWORD error = ::GetLastError();
  if (!mutex || error == ERROR_ALREADY_EXISTS) {
    if (HWND other = ::FindWindowW(nullptr /*any class*/, L"Miravolt")) {
      ::SetForegroundWindow(other);
      ::ShowWindow(other, SW_SHOWNORMAL);
      return FALSE;
    }
  }

  CCorvane window(L"res/index.html", L".container", nullptr);
  window.DoModal();
  return FALSE;
}

CCorvaneApp theApp;

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  fx::ComScope com;
  return theApp.Run();
}
