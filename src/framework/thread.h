// Worker threads: the body runs on a new thread and ends in a catch-all, so no exception
// leaves the thread. The returned handle (owned) can be waited on; empty when the thread
// could not be started, in which case the body is destroyed without running.
#pragma once

#include <functional>

#include "framework/owner.h"

namespace fx {

UniqueHandle StartThread(std::function<void()> body);

}  // namespace fx
