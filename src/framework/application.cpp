#include "framework/application.h"

#include "framework/script_rules.h"
#include "framework/text.h"

namespace fx {
namespace {
Application* g_application = nullptr;  // set while the one application object exists
}  // namespace

std::wstring ProgramPath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

std::wstring ProgramName() { return ToWide(ProgramNameFromPath(AsU16(ProgramPath()))); }

Application::Application() { g_application = this; }

Application::~Application() {
  if (g_application == this) g_application = nullptr;
}

Application* Application::Current() { return g_application; }

BOOL Application::InitInstance() { return TRUE; }

int Application::ExitInstance() {
  MSG msg;
  if (::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    return static_cast<int>(msg.wParam);
  }
  return quit_code_;
}

int Application::Run() {
  name_ = ProgramName();
  if (!InitInstance()) return ExitInstance();
  MSG msg;
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  quit_code_ = static_cast<int>(msg.wParam);
  return ExitInstance();
}

int AppMessageBox(const std::wstring& text) {
  if (const Application* app = Application::Current()) return app->MessageBox(text);
  return Application::ShowMessage(ProgramName(), text);
}

int Application::MessageBox(const std::wstring& text) const {
  return ShowMessage(name_.empty() ? ProgramName() : name_, text);
}

int Application::ShowMessage(const std::wstring& caption, const std::wstring& text) {
  return ::MessageBoxW(::GetActiveWindow(), text.c_str(), caption.c_str(),
                       MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace fx
