#include "framework/thread.h"

#include <process.h>

#include <memory>

namespace fx {
namespace {

unsigned __stdcall ThreadEntry(void* parameter) {
  std::unique_ptr<std::function<void()>> body(static_cast<std::function<void()>*>(parameter));
  try {
    (*body)();
  } catch (...) {
    // A worker reports its failures through its own messages; nothing more to do here.
  }
  return 0;
}

}  // namespace

UniqueHandle StartThread(std::function<void()> body) {
  auto owned = std::make_unique<std::function<void()>>(std::move(body));
  const uintptr_t handle =
      ::_beginthreadex(nullptr, 0 /*stack_size*/, &ThreadEntry, owned.get(), 0, nullptr);
  if (!handle) return UniqueHandle();
  owned.release();  // the thread owns the body now
  return UniqueHandle(reinterpret_cast<HANDLE>(handle));
}

}  // namespace fx
