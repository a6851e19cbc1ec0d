#include "ui/dialogs/dialog.h"
#include "ui/resources/resource.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

// A modeless dialog on the main window's template, enough to exercise the layer itself.
class ProbeDialog : public Dialog {
 public:
  ProbeDialog() : Dialog(IDD_CLEANER_DIALOG) {}
};

}  // namespace

TEST(Dialog, RunsWorkOnTheWindowThreadFromAWorker) {
  ProbeDialog dialog;
  ASSERT_TRUE(dialog.Create(nullptr));
  const DWORD windowThread = GetCurrentThreadId();
  DWORD ranOn = 0;
  std::atomic<bool> done{false};
  std::thread worker([&] {
    dialog.RunOnWindowThread([&] { ranOn = GetCurrentThreadId(); });
    done = true;
  });
  MSG message;
  while (!done) {
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  worker.join();
  EXPECT_EQ(ranOn, windowThread);
}
