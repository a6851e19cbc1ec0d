// Cost of the progress operations that a deletion makes once per ticked row, called from a
// worker thread while the window thread runs the modal loop: the status text and the step as
// two calls against SetStatusTextAndStep, in alternating blocks of the same run.
#include "ui/dialogs/dialog.h"
#include "ui/dialogs/progress_dlg.h"
#include "ui/resources/resource.h"

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

namespace {

constexpr UINT WM_WORKER_DONE = WM_APP + 1;
constexpr int kRowsPerBlock = 2000;
constexpr int kRounds = 5;

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration duration) {
  return std::chrono::duration<double>(duration).count();
}

class Host : public Dialog {
 public:
  Host() : Dialog(IDD_CLEANER_DIALOG) {}

 protected:
  bool OnInitDialog() override {
    progress_.Create(Handle());
    worker_ = std::thread([this] {
      Measure();
      PostMessageW(Handle(), WM_WORKER_DONE, 0, 0);
    });
    return true;
  }
  bool OnMessage(UINT message, WPARAM, LPARAM, INT_PTR&) override {
    if (message != WM_WORKER_DONE) return false;
    worker_.join();
    End(IDOK);
    return true;
  }

 private:
  double Block(bool combined, int round) {
    progress_.StartProgress(0, kRowsPerBlock, 1);
    const auto start = Clock::now();
    for (int row = 0; row < kRowsPerBlock; ++row) {
      const std::string path = "C:\\临时\\round" + std::to_string(round) + "\\file" +
                               std::to_string(row) + ".tmp";
      if (combined) {
        progress_.SetStatusTextAndStep(path);
      } else {
        progress_.SetStatusText(path);
        progress_.StepProgress();
      }
    }
    return Seconds(Clock::now() - start);
  }

  void Measure() {
    progress_.SetCaption("正在删除...");
    progress_.ShowProgressBar(true);
    progress_.ShowProgress();
    double separate = 0;
    double combined = 0;
    for (int round = 0; round < kRounds; ++round) {
      const double s = Block(false, round);
      const double c = Block(true, round);
      separate += s;
      combined += c;
      std::printf("round %d: two calls %.0f rows/s, one call %.0f rows/s, ratio %.2f\n", round,
                  kRowsPerBlock / s, kRowsPerBlock / c, s / c);
    }
    std::printf("total %d rows each: two calls %.3f ms/row, one call %.3f ms/row, ratio %.2f\n",
                kRowsPerBlock * kRounds, 1000 * separate / (kRowsPerBlock * kRounds),
                1000 * combined / (kRowsPerBlock * kRounds), separate / combined);
    std::fflush(stdout);
    progress_.HideProgress();
  }

  CProgressDlg progress_;
  std::thread worker_;
};

}  // namespace

int main() {
  Host host;
  host.DoModal(nullptr);
  return 0;
}
