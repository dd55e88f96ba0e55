// The process-wide objects of the client, built in one translation unit so their order is the
// order of the members below, and with a priority that builds them before the application
// object (and so destroys them after it).
#include "host/process_objects.h"

#include "framework/text.h"
#include "host/page_rules.h"
#include "http/http_file.h"
#include "report/report_settings.h"
#include "services/pair_store.h"

namespace host {
namespace {

std::wstring ProgramDirectory() {
  wchar_t path[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  return fx::ToWide(GetParentDirectory(fx::AsU16(path)));
}

// Removes the tray icon at exit if one is still shown.
struct TrayExitAction {
  TrayState* tray;
  ~TrayExitAction() {
    if (tray->shown) {
      ::Shell_NotifyIconW(NIM_DELETE, &tray->record);
      tray->shown = false;
    }
  }
};

// In the order they are built; they are destroyed in reverse.
struct ProcessObjects {
  std::wstring page_base_directory = ProgramDirectory();
  report::ReportSettings report_settings;
  PairStore pair_store;
  TrayState tray;
  TrayExitAction tray_exit{&tray};
  CBaseHttpFile http_file;
};

ProcessObjects g_objects __attribute__((init_priority(1000)));

}  // namespace

std::wstring& PageBaseDirectory() { return g_objects.page_base_directory; }
TrayState& Tray() { return g_objects.tray; }

}  // namespace host

report::ReportSettings& report::TheReportSettings() { return host::g_objects.report_settings; }
PairStore& ThePairStore() { return host::g_objects.pair_store; }
CBaseHttpFile& TheHttpFile() { return host::g_objects.http_file; }
