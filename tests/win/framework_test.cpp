// The framework layer on real windows: the application message box, dialogs from templates
// with chained message tables, the modal loop's result, worker threads.
#include <atomic>
#include <gtest/gtest.h>
#include <vector>

#include "fixtures/message_box_watcher.h"
#include "framework/application.h"
#include "framework/dialog.h"
#include "framework/thread.h"

namespace {

constexpr UINT kTemplate = 104;
constexpr UINT WM_BASE_ONLY = WM_APP + 1;
constexpr UINT WM_BOTH = WM_APP + 2;

class BaseDialog : public fx::Dialog {
 public:
  using fx::Dialog::Dialog;
  static const fx::MessageTable kMessages;
  const fx::MessageTable* GetMessageTable() const override { return &kMessages; }
  std::vector<UINT> seen;
  bool saw_create = false;

 protected:
  LRESULT OnCreate(WPARAM, LPARAM) {
    saw_create = true;
    return Default();
  }
  LRESULT OnBaseOnly(WPARAM w, LPARAM) {
    seen.push_back(WM_BASE_ONLY);
    return static_cast<LRESULT>(w) + 1;
  }
  LRESULT OnBoth(WPARAM, LPARAM) {
    seen.push_back(WM_BOTH);
    return 10;
  }

 private:
  static const fx::MessageEntry kEntries[];
};
const fx::MessageEntry BaseDialog::kEntries[] = {
    fx::On<&BaseDialog::OnCreate>(WM_CREATE),
    fx::On<&BaseDialog::OnBaseOnly>(WM_BASE_ONLY),
    fx::On<&BaseDialog::OnBoth>(WM_BOTH),
};
const fx::MessageTable BaseDialog::kMessages =
    fx::MakeMessageTable(&fx::Dialog::kMessages, BaseDialog::kEntries);

class DerivedDialog : public BaseDialog {
 public:
  using BaseDialog::BaseDialog;
  static const fx::MessageTable kMessages;
  const fx::MessageTable* GetMessageTable() const override { return &kMessages; }
  int commands = 0;

 protected:
  LRESULT OnBothHere(WPARAM, LPARAM) {
    seen.push_back(WM_BOTH + 1000);
    return 20;
  }
  BOOL OnInitDialog() override {
    initialised = true;
    return fx::Dialog::OnInitDialog();
  }
  BOOL OnCommand(WPARAM w, LPARAM l) override {
    ++commands;
    return fx::Dialog::OnCommand(w, l);
  }

 public:
  bool initialised = false;

 private:
  static const fx::MessageEntry kEntries[];
};
const fx::MessageEntry DerivedDialog::kEntries[] = {
    fx::On<&DerivedDialog::OnBothHere>(WM_BOTH),
};
const fx::MessageTable DerivedDialog::kMessages =
    fx::MakeMessageTable(&BaseDialog::kMessages, DerivedDialog::kEntries);

TEST(Framework, MessageTablesChainToTheBaseAndSeeCreation) {
  DerivedDialog dialog(kTemplate, nullptr);
  ASSERT_TRUE(dialog.Create(nullptr));
  EXPECT_TRUE(dialog.saw_create);
  EXPECT_TRUE(dialog.initialised);
  // The derived table answers first; the base table answers what the derived one lacks.
  EXPECT_EQ(::SendMessageW(dialog.hwnd(), WM_BOTH, 0, 0), 20);
  EXPECT_EQ(::SendMessageW(dialog.hwnd(), WM_BASE_ONLY, 4, 0), 5);
  const std::vector<UINT> expected = {WM_BOTH + 1000, WM_BASE_ONLY};
  EXPECT_EQ(dialog.seen, expected);
  // A modeless dialog is not ended by OK.
  ::SendMessageW(dialog.hwnd(), WM_COMMAND, IDOK, 0);
  EXPECT_EQ(dialog.commands, 1);
  EXPECT_TRUE(::IsWindow(dialog.hwnd()));
}

// Ends the first modal dialog it finds with the given code.
struct ModalEnder {
  static INT_PTR code;
  static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
    HWND active = ::GetActiveWindow();
    if (!active) return;
    ::KillTimer(nullptr, id);
    ::EndDialog(active, code);
  }
};
INT_PTR ModalEnder::code = 0;

TEST(Framework, ModalLoopReturnsTheEndCode) {
  DerivedDialog dialog(kTemplate, nullptr);
  ModalEnder::code = 42;
  ::SetTimer(nullptr, 0, 50, &ModalEnder::Tick);
  EXPECT_EQ(dialog.DoModal(), 42);
  EXPECT_FALSE(dialog.in_modal_loop());
  EXPECT_EQ(dialog.hwnd(), nullptr);
}

TEST(Framework, ModalDialogFromAMissingTemplateFails) {
  DerivedDialog dialog(9999, nullptr);
  EXPECT_EQ(dialog.DoModal(), -1);
  EXPECT_FALSE(dialog.Create(nullptr));
}

TEST(Framework, ApplicationMessageBoxNamesTheProgram) {
  fixtures::MessageBoxWatcher watcher;
  EXPECT_EQ(fx::AppMessageBox(L"找不到指定元素"), IDOK);
  const auto boxes = watcher.WaitFor(1, 5000);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, L"framework_test");
  EXPECT_EQ(boxes[0].text, L"找不到指定元素");
  EXPECT_EQ(fx::ProgramName(), L"framework_test");
}

TEST(Framework, WorkerThreadsRunAndSwallowExceptions) {
  std::atomic<int> ran{0};
  fx::UniqueHandle worker = fx::StartThread([&] { ran = 1; });
  ASSERT_TRUE(worker);
  EXPECT_EQ(::WaitForSingleObject(worker.get(), 10000), WAIT_OBJECT_0);
  EXPECT_EQ(ran.load(), 1);
  fx::UniqueHandle thrower = fx::StartThread([] { throw 5; });
  ASSERT_TRUE(thrower);
  EXPECT_EQ(::WaitForSingleObject(thrower.get(), 10000), WAIT_OBJECT_0);
}

}  // namespace
