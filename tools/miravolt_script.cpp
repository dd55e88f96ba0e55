// miravolt-script: runs a JScript file in one hidden page window of the client with the
// script-only browser, so page logic can be exercised against the real native services
// without a browser.
//   miravolt-script.exe [--class main|page|base] FILE.js
// Exit codes: 0 the script ended normally; 1 an error escaped it (reported on standard error
// as "script error 0x%08X: description"); 2 usage error or unreadable file.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "framework/application.h"
#include "framework/browser_script.h"
#include "framework/dispatcher.h"
#include "framework/owner.h"
#include "framework/script_rules.h"
#include "framework/text.h"
#include "host/page_window.h"
#include "host/scripted_page_dialog.h"
#include "network/main_window.h"

namespace {

// The host's own global functions: print(text) and pump(ms).
class HostFunctions : public fx::DispatchTarget {
 public:
  static const fx::DispatchTable kDispatch;
  const fx::DispatchTable* GetDispatchTable() const override { return &kDispatch; }
  IDispatch* dispatch() { return dispatcher_.get(); }

  void Print(const std::wstring& text) {
    const std::string utf8 = fx::ToUtf8(text) + "\n";
    std::fwrite(utf8.data(), 1, utf8.size(), stdout);
    std::fflush(stdout);
  }

  // Runs the message loop for ms milliseconds (negative counts as 0).
  void Pump(int ms) {
    const ULONGLONG deadline = ::GetTickCount64() + (ms > 0 ? ms : 0);
    for (;;) {
      MSG msg;
      while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
          ::PostQuitMessage(static_cast<int>(msg.wParam));
          return;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
      }
      const ULONGLONG now = ::GetTickCount64();
      if (now >= deadline) return;
      ::MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(deadline - now), QS_ALLINPUT,
                                    MWMO_INPUTAVAILABLE);
    }
  }

 private:
  fx::DispatchObject dispatcher_{*this};
};

const fx::DispatchEntry kHostEntries[] = {
    fx::Method<&HostFunctions::Print>(L"print"),
    fx::Method<&HostFunctions::Pump>(L"pump"),
};
const fx::DispatchTable HostFunctions::kDispatch = fx::MakeDispatchTable(nullptr, kHostEntries);

HostFunctions* g_host = nullptr;  // lives for the whole run of main

void WriteError(const std::wstring& line) {
  const std::string utf8 = fx::ToUtf8(line) + "\n";
  std::fwrite(utf8.data(), 1, utf8.size(), stderr);
  std::fflush(stderr);
}

// UTF-8 (with or without a byte-order mark) or UTF-16LE with its mark.
bool ReadScript(const std::wstring& path, std::wstring* text) {
  fx::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  std::string bytes;
  char buffer[8192];
  DWORD got = 0;
  while (::ReadFile(file.get(), buffer, sizeof(buffer), &got, nullptr) && got > 0) {
    bytes.append(buffer, got);
  }
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
      static_cast<unsigned char>(bytes[1]) == 0xFE) {
    text->assign(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / 2);
    return true;
  }
  if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.erase(0, 3);
  *text = fx::FromUtf8(bytes);
  return true;
}

std::unique_ptr<fx::HtmlDialog> NewWindow(fx::WindowClass kind, const std::wstring& page) {
  switch (kind) {
    case fx::WindowClass::kPage:
      return std::make_unique<CBaseDHtmlPgDlg>(page, L".container", nullptr);
    case fx::WindowClass::kBase:
      return std::make_unique<CBaseDHtmlDlg>(page, L".container", nullptr);
    case fx::WindowClass::kMain:
      break;
  }
  return std::make_unique<CCorvane>(page, L".container", nullptr);
}

int RunScriptFile(const fx::ScriptCommandLine& line) {
  std::wstring source;
  const std::wstring path = fx::ToWide(line.file);
  if (!ReadScript(path, &source)) {
    WriteError(L"miravolt-script: cannot read " + path);
    return 2;
  }
  HostFunctions host;
  g_host = &host;
  std::unique_ptr<fx::HtmlDialog> window = NewWindow(line.window_class, path);
  if (!window->Create(nullptr) || !window->browser()) {
    WriteError(L"miravolt-script: cannot create the page window or its script engine");
    g_host = nullptr;
    return 1;
  }
  auto* browser = static_cast<fx::ScriptBrowser*>(window->browser());
  const HRESULT hr = browser->engine().Execute(source);
  int code = 0;
  if (FAILED(hr)) {
    const auto& failure = browser->engine().failure();
    const std::wstring description = failure ? failure->description : std::wstring();
    WriteError(
        fx::ToWide(fx::FormatScriptError(static_cast<std::uint32_t>(hr), fx::AsU16(description))));
    code = 1;
  }
  window.reset();
  g_host = nullptr;
  return code;
}

}  // namespace

namespace fx {
std::unique_ptr<Browser> NewBrowser() {
  auto browser = std::make_unique<ScriptBrowser>();
  if (g_host) browser->AddGlobalObject(L"miravoltScriptHost", g_host->dispatch());
  return browser;
}
}  // namespace fx

int wmain(int argc, wchar_t** argv) {
  std::vector<std::u16string> args;
  for (int i = 1; i < argc; ++i) args.push_back(fx::ToU16(argv[i]));
  const auto line = fx::ParseScriptCommandLine(args);
  if (!line) {
    WriteError(L"usage: miravolt-script [--class main|page|base] FILE.js");
    return 2;
  }
  fx::ComScope com;
  return RunScriptFile(*line);
}
