// The updater's entry: the application object.
#include <windows.h>
#include <commctrl.h>

#include "framework/application.h"
#include "framework/owner.h"
#include "updater/update_dialog.h"

class CUpdateApp : public fx::Application {
 protected:
  BOOL InitInstance() override;
};

BOOL CUpdateApp::InitInstance() {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
  ::InitCommonControlsEx(&controls);
  fx::Application::InitInstance();

  int count = 0;
  fx::UniqueLocal args(reinterpret_cast<HLOCAL>(::CommandLineToArgvW(::GetCommandLineW(), &count)));
  if (!args || count < 6) return FALSE;
  auto* argv = reinterpret_cast<wchar_t**>(args.get());
  CUpdateDlg dialog(argv[1], argv[2], argv[3], argv[4], argv[5]);
  dialog.DoModal();
  return FALSE;
}

CUpdateApp theApp;

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  fx::ComScope com;
  return theApp.Run();
}
