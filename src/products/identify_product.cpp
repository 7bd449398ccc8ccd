#include "products/identify_product.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "device/ident_record.h"
#include "link/port_io.h"

namespace norix::products {

namespace {

constexpr std::size_t kFirstBlock = 50;
constexpr std::size_t kReplyBlock = 256;
constexpr std::size_t kEchoOnlyBelow = 12;  // "ATI3\r" and little more: the reply is still coming
constexpr std::size_t kEnoughBytes = 8;     // more than 7 bytes end the attempts
constexpr std::size_t kForeignReply = 15;   // a reply this long without "NORIX" is foreign
constexpr std::size_t kLoaderBlock = 60;
constexpr std::size_t kNameLineLimit = 255;
constexpr int kRestReads = 4;

bool Contains(std::string_view text, std::string_view word) {
  return text.find(word) != std::string_view::npos;
}

// The reply up to the first control or non-ASCII character, at most
// kNameLineLimit characters.
std::string PrintablePrefix(std::string_view text) {
  std::size_t end = 0;
  while (end < text.size() && end < kNameLineLimit) {
    const auto c = static_cast<unsigned char>(text[end]);
    if (c < 32 || c >= 128) {
      break;
    }
    ++end;
  }
  return std::string(text.substr(0, end));
}

// One block read that replaces `text`; a read that brings nothing leaves it empty.
std::size_t ReadInto(platform::comm::Port* port, std::string& text, std::size_t maxCount) {
  text.clear();
  return link::ReadBlock(port, text, maxCount);
}

// The rest of an answer whose final result code has not come yet: read off
// the port, so that the next exchange reads its own answer. Bounded by a few
// reads of the port's time-outs.
void TakeRestOfAnswer(platform::comm::Port* port) {
  std::string rest;
  for (int read = 0; read < kRestReads; ++read) {
    std::string block;
    if (link::ReadBlock(port, block, kReplyBlock) == 0) {
      return;
    }
    rest += block;
    if (Contains(rest, "OK\r") || Contains(rest, "ERROR")) {
      return;
    }
  }
}

// Asks "AT" of a flash loader at `speed`; the reply replaces `text`. False
// when the port failed (nothing written, or the read failed): no answer at
// this speed, but no proof of silence either.
bool AskLoader(platform::comm::Port* port, std::uint32_t speed, std::string& text) {
  link::SetPortSpeed(port, speed);
  text.clear();
  return link::WriteText(port, "AT\r") != 0 &&
         link::TryReadBlock(port, text, kLoaderBlock).has_value();
}

// The probe itself, at 9600 bit/s with CTS flow control off. May return an
// empty text, which stands for "No Modem Detected".
std::string Probe(platform::comm::Port* port) {
  // A product with echo on answers "ATI3" like this, possibly in two parts
  // when the echo comes before the product has looked the text up:
  //   "ATI3\r" "\r\nNORIX Netrunner 56000 Voice V1.10\r\n\r\nOK\r\n"
  std::string text(device::kNoModemDetected);
  std::size_t count = 0;
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (link::WriteText(port, "ATI3\r") == 0) {
      break;
    }
    count = ReadInto(port, text, kFirstBlock);
    if (count < kEchoOnlyBelow && text.starts_with("ATI3")) {
      count = ReadInto(port, text, kReplyBlock);
    }
    if (count >= kEnoughBytes) {
      break;
    }
  }

  if (Contains(text, "OK")) {
    const auto norix = text.find("NORIX");
    if (norix == std::string::npos) {
      return text;  // a complete answer that names no product of ours: kept as it came
    }
    return PrintablePrefix(std::string_view(text).substr(norix));
  }
  if (const auto norix = text.find("NORIX"); norix != std::string::npos) {
    // Our product, but its "OK" has not come yet: take the name line only if
    // it is complete.
    const std::string_view line = std::string_view(text).substr(norix);
    const auto cr = line.find('\r');
    if (cr == std::string_view::npos) {
      return {};
    }
    std::string name(line.substr(0, cr));
    TakeRestOfAnswer(port);
    return name;
  }
  if (count >= kForeignReply) {
    return std::string(device::kUnknownModem);
  }

  // Nothing usable at 9600 bit/s: a product with damaged firmware has only its
  // flash loader, which talks at 57600 or 115200 bit/s. Loader answers:
  //   solano 1280: "...Are You sure..."   KOMET II: "...Do You really want..."
  //   analogue modem: "\r\nOK\r\n"
  // A loader that stays silent at 57600 bit/s is not there; a port that
  // failed at that speed has not said so, and the other speed is asked.
  if (AskLoader(port, 57600, text) && text.empty()) {
    return text;
  }
  if (Contains(text, "Are You sure")) {
    return std::string(device::kSolanoRescueMode);
  }
  if (Contains(text, "Do You really want")) {
    return std::string(device::kKometRescueMode);
  }
  if (Contains(text, "OK")) {
    return std::string(device::kModemRescueMode);
  }
  (void)AskLoader(port, 115200, text);
  if (Contains(text, "OK")) {
    return std::string(device::kModemRescueMode);
  }
  // Whatever else came is no identification: a product that answers "ERROR"
  // to everything, or noise, is nothing usable.
  return std::string(device::kNoModemDetected);
}

}  // namespace

std::string IdentifyProduct(platform::comm::Port* port) {
  if (port == nullptr) {
    return std::string(device::kNoModemDetected);
  }
  link::SetPortSpeed(port, 9600);
  link::SetCtsFlow(port, false);
  std::string text = Probe(port);
  link::SetCtsFlow(port, true);
  if (text.empty()) {
    return std::string(device::kNoModemDetected);
  }
  text.resize(std::min(text.size(), device::kIdentTextCapacity));
  return text;
}

}  // namespace norix::products
