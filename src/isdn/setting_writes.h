// What the ISDN number pages share: their texts of our own, the setting
// commands of an OK sent in order with every answer examined, and message
// boxes whose text names the setting concerned. Sending blocks the page's
// thread for one exchange per command (up to the port's read time-outs when
// the adapter is silent); message boxes block it until the user answers.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "link/at_exchange.h"
#include "platform/comm/port.h"
#include "platform/window/messages.h"
#include "shell/frame.h"

namespace norix::isdn {

// Texts of the messages these pages add: failures named, what is kept.
inline constexpr int kWriteRefusedText = 2460;     // "...did not store %s..."
inline constexpr int kWriteUnansweredText = 2461;  // "...did not answer when %s was written..."
inline constexpr int kUnreadSettingsText = 2462;   // fields left empty, kept unless changed
inline constexpr int kBadNumberText = 2463;        // "The number in %s ..."
inline constexpr int kSideFullText = 2464;         // "The numbers ticked for %s need..."
inline constexpr int kRemovedNumberName = 2465;    // "the number removed from %s"
inline constexpr int kKometSidesName = 2466;       // "the sides and ringing type of %s"
inline constexpr int kLocalNumberName = 2467;      // "local number %s"
inline constexpr int kLocalPortName = 2468;        // "the port and ringing type of %s"
inline constexpr int kLocalPrefixName = 2469;      // "the local dial prefix"
inline constexpr int kPrefixUnreadText = 2470;     // the prefix could not be read
inline constexpr int kNumbersKeptText = 2471;      // numbers not shown are kept
inline constexpr int kLocalHeadingText = 2472;     // heading when the digit count is unknown

// The system's texts the pages show.
inline constexpr int kMsnSuccessText = 2077;  // "MSN configuration successful."

// One command of an OK and the name of the setting it stores, as the
// failure message calls it ("MSN#2").
struct SettingWrite {
  std::string command;
  std::string name;
};

struct WriteFailure {
  std::size_t index = 0;  // of the write that failed; the later ones were not sent
  link::AtResult result = link::AtResult::NoReply;
};

// Sends the writes in order, each after discarding waiting input, and stops
// at the first that the adapter does not answer with OK.
[[nodiscard]] std::optional<WriteFailure> SendSettingWrites(platform::comm::Port* port,
                                                            std::span<const SettingWrite> writes);

// `text` with its one "%s" replaced by `argument` ("%%" gives "%").
[[nodiscard]] std::string FillText(std::string_view text, std::string_view argument);

// Text `textId` of the frame's texts with `argument` in its "%s".
[[nodiscard]] std::string TextWith(const shell::Frame& frame, int textId,
                                   std::string_view argument);

// A message box with `text`, the message caption and the exclamation icon,
// task-modal, as the pages' other messages.
int ShowText(shell::Frame& frame, platform::window::HWND page, const std::string& text);

// Tells which setting the adapter did not store and why: text 2461 when it
// did not answer, 2460 for any other answer.
void ShowWriteFailure(shell::Frame& frame, platform::window::HWND page, const SettingWrite& write,
                      link::AtResult result);

// The row name of the MSN pages: "MSN#1" for row 0.
[[nodiscard]] std::string MsnName(std::size_t row);

}  // namespace norix::isdn
