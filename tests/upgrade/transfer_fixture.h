// What the transfer tests share: a clock whose pauses take no time, a view
// that records what the progress page would show and answers message boxes
// as told, and a modem on an in-memory line with a cut upgrade image.
#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "device/selection_state.h"
#include "flash_loader_peer.h"
#include "link/port_io.h"
#include "platform/comm/memory_line.h"
#include "platform/window/messages.h"
#include "upgrade/file_layout.h"
#include "upgrade/transfer_clock.h"
#include "upgrade/upgrade_view.h"
#include "upgrade_test_files.h"

namespace norix::upgrade::testing {

namespace W = platform::window;

// Virtual time: pauses add to it at once; each reading of the seconds
// advances it by `tick` seconds.
class FakeClock final : public TransferClock {
 public:
  explicit FakeClock(std::int64_t tick = 0) : tick_(tick) {}
  bool Pause(std::chrono::milliseconds duration) override {
    pausedMs_ += duration.count();
    return !stop_;
  }
  [[nodiscard]] std::int64_t NowSeconds() override {
    now_ += tick_;
    return now_ + pausedMs_ / 1000;
  }
  [[nodiscard]] bool StopRequested() const override { return stop_; }
  // The simulated product answers at once: silence is known after 1 s.
  [[nodiscard]] std::chrono::milliseconds AnswerWait(
      std::chrono::milliseconds wait) const override {
    return std::min(wait, std::chrono::milliseconds(1000));
  }
  void AnswerWaitRanOut(std::chrono::milliseconds wait) override {
    pausedMs_ += (wait - AnswerWait(wait)).count();
  }
  void Stop() { stop_ = true; }
  [[nodiscard]] std::chrono::milliseconds Paused() const {
    return std::chrono::milliseconds(pausedMs_.load());
  }

 private:
  std::int64_t tick_;
  std::int64_t now_ = 0;
  std::atomic<std::int64_t> pausedMs_{0};
  std::atomic<bool> stop_{false};
};

class RecordingView final : public UpgradeView {
 public:
  void SetRange(int blocks) override { ranges.push_back(blocks); }
  void SetItemText(int control, int textId) override {
    if (control == kProgressStatusId) {
      statuses.push_back(textId);
    }
  }
  void SetText(int control, std::string_view text) override {
    if (control == kXmodemTimeText && !text.empty()) {
      times.emplace_back(text);
    }
  }
  void Step() override { ++steps; }
  int Message(int textId, W::UINT style) override {
    messages.push_back(textId);
    if (const auto answer = answers.find(textId); answer != answers.end()) {
      return answer->second;
    }
    return (style & 0xFU) == W::MB_YESNO ? W::IDYES : W::IDOK;
  }
  int MessageText(std::string_view text, W::UINT /*style*/) override {
    texts.emplace_back(text);
    return W::IDOK;
  }
  [[nodiscard]] std::string Text(int textId) const override {
    return std::to_string(textId) + ": %s";
  }

  std::map<int, int> answers;  // the button for a text; else OK or Yes
  std::vector<int> ranges;
  std::vector<int> statuses;
  std::vector<std::string> times;
  std::vector<int> messages;
  std::vector<std::string> texts;
  int steps = 0;
};

// A modem on an in-memory line, the port set up as the pages leave it.
struct ModemOnLine {
  explicit ModemOnLine(LoaderScript script) {
    auto line = platform::comm::MakeMemoryLine("upgrade");
    host = std::move(line.host);
    device = std::move(line.device);
    link::ConfigurePort(host.get(), 57600);
    peer = std::make_unique<FlashLoaderPeer>(*device, std::move(script));
  }
  std::unique_ptr<platform::comm::Port> host;
  std::unique_ptr<platform::comm::DeviceEnd> device;
  std::unique_ptr<FlashLoaderPeer> peer;
};

// A modem file with sections of these sizes, cut by the modem layout.
inline UpgradeImage CutModemImage(std::size_t loader, std::size_t firmware) {
  UpgradeImage image = MakeUpgradeImage(Build(ModemRecipe(loader, firmware)));
  image.modemChecksum = "3A7F";
  const CutResult cut = CutImage(image, FileLayout::Modem);
  EXPECT_TRUE(cut.ok()) << cut.reason;
  return image;
}

}  // namespace norix::upgrade::testing
