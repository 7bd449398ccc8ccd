#include "device/msn_exchange.h"

#include <algorithm>
#include <string>

#include "link/port_io.h"
#include "platform/ascii/ascii_text.h"

namespace norix::device {

namespace {

bool AllDigits(std::string_view text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return platform::ascii::IsDigit(c); });
}

}  // namespace

std::string_view ReplyLineText(std::string_view reply) {
  const std::size_t cr = reply.rfind('\r');
  return cr == std::string_view::npos ? reply : reply.substr(0, cr);
}

SlotReading ClassifySlotReply(link::AtResult result, std::string_view reply,
                              std::size_t maxDigits) {
  if (result != link::AtResult::Ok) {
    return {};
  }
  const std::string_view text = ReplyLineText(reply);
  if (text.starts_with("OK")) {
    return {SlotState::kEmpty, {}};
  }
  if (IsNumberText(text, maxDigits)) {
    return {SlotState::kNumber, std::string(text)};
  }
  return {};
}

link::AtResult SendSettingCommand(platform::comm::Port* port, std::string_view command,
                                  std::string& reply) {
  link::DiscardInput(port, platform::comm::kPurgeRxClear);
  return link::SendAtCommand(port, command, reply);
}

SlotReading ReadNumberSlot(platform::comm::Port* port, std::string_view stem,
                           std::size_t maxDigits) {
  std::string reply;
  const link::AtResult result = SendSettingCommand(port, std::string(stem) + "?", reply);
  return ClassifySlotReply(result, reply, maxDigits);
}

link::AtResult WriteNumberSlot(platform::comm::Port* port, std::string_view stem,
                               std::string_view digits) {
  std::string reply;
  return SendSettingCommand(port, std::string(stem) + "=" + std::string(digits), reply);
}

bool IsNumberText(std::string_view text, std::size_t maxDigits) {
  return text.size() <= maxDigits && AllDigits(text);
}

}  // namespace norix::device
