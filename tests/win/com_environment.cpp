// Every Windows test program runs its tests on an OLE-initialised main thread, as the
// programs do.
#include <gtest/gtest.h>

#include "framework/owner.h"

namespace {
class ComEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { com_ = std::make_unique<fx::ComScope>(); }
  void TearDown() override { com_.reset(); }

 private:
  std::unique_ptr<fx::ComScope> com_;
};
const auto* const kCom = ::testing::AddGlobalTestEnvironment(new ComEnvironment);
}  // namespace
