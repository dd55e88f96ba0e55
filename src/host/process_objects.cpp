// The process-wide objects of the client, built in one translation unit so their order is the
// order of the members below, and with a priority that builds them before the application
// object (and so destroys them after it).
#include "host/process_objects.h"

#include "framework/text.h"
#include "host/page_rules.h"

namespace host {
namespace {

std::wstring ProgramDirectory() {
  wchar_t path[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  return fx::ToWide(GetParentDirectory(fx::AsU16(path)));
}

struct ProcessObjects {
  std::wstring page_base_directory = ProgramDirectory();
  TrayState tray;
};

ProcessObjects g_objects __attribute__((init_priority(1000)));

}  // namespace

std::wstring& PageBaseDirectory() { return g_objects.page_base_directory; }
TrayState& Tray() { return g_objects.tray; }

}  // namespace host
