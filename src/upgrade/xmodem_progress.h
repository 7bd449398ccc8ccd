// What an X-modem transfer shows while it runs: the progress bar and the
// remaining-time texts of the upgrade progress page. The sender calls these
// from its own thread; an implementation must not block for long.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace norix::upgrade {

// Controls of the progress page the transfer updates.
inline constexpr int kXmodemProgressBar = 1036;
inline constexpr int kXmodemTimeLabel = 1038;
inline constexpr int kXmodemTimeText = 1039;
// String 2038 "Estimated time remaining:", shown in kXmodemTimeLabel.
inline constexpr int kEstimatedTimeTextId = 2038;

class XmodemProgress {
 public:
  XmodemProgress() = default;
  XmodemProgress(const XmodemProgress&) = delete;
  XmodemProgress& operator=(const XmodemProgress&) = delete;
  XmodemProgress(XmodemProgress&&) = delete;
  XmodemProgress& operator=(XmodemProgress&&) = delete;
  virtual ~XmodemProgress() = default;

  // The progress bar: range 0 .. blocks, step 1, position 0.
  virtual void SetRange(int blocks) = 0;
  // Control `control` shows string number `textId` of the program's texts.
  virtual void SetItemText(int control, int textId) = 0;
  // Control `control` shows `text`.
  virtual void SetText(int control, std::string_view text) = 0;
  // Advances the progress bar by its step (posted: the page paints later).
  virtual void Step() = 0;
};

// Value the remaining-time rule starts from: larger than any estimate, so
// that the first estimate is always shown.
inline constexpr std::int64_t kRemainingTimeNotShown = std::int64_t{1} << 30;

// The remaining-time rule after block `done` (1 ..= blocks) of `blocks`,
// `elapsedSeconds` whole seconds after the start: the estimate is
// (blocks - done) * elapsed / done seconds. It is shown when it is not
// negative and is smaller than `lastShown` or differs from it by more than
// 10; then `lastShown` takes it and the text is returned: "mm:ss" once done
// is greater than a tenth of the blocks (integer division), "--:--" before.
// nullopt when the text stays as it is.
[[nodiscard]] std::optional<std::string> UpdateRemainingTime(std::int64_t blocks, std::int64_t done,
                                                             std::int64_t elapsedSeconds,
                                                             std::int64_t& lastShown);

}  // namespace norix::upgrade
