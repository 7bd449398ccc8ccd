#include "flash_loader_peer.h"

#include <algorithm>
#include <chrono>
#include <span>

#include "sim/xmodem/xmodem_receiver.h"

namespace norix::upgrade::testing {

namespace {

using namespace std::chrono_literals;

constexpr std::size_t kChunk = 1024;
constexpr std::size_t kTrailing = 8;

bool StartsWith(const std::string& text, std::string_view prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

template <typename T>
const T& Turn(const std::vector<T>& items, std::size_t index) {
  return items[std::min(index, items.size() - 1)];
}

}  // namespace

FlashLoaderPeer::FlashLoaderPeer(platform::comm::DeviceEnd& device, LoaderScript script)
    : device_(device), script_(std::move(script)), thread_([this] { Run(); }) {}

FlashLoaderPeer::~FlashLoaderPeer() {
  quit_ = true;
  device_.Shutdown();
  thread_.join();
}

LoaderRecord FlashLoaderPeer::Record() const {
  const std::lock_guard lock(mutex_);
  return record_;
}

void FlashLoaderPeer::Send(const std::string& bytes) {
  device_.Send(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
}

bool FlashLoaderPeer::ReceiveExactly(std::size_t count, std::vector<std::uint8_t>& into) {
  std::vector<std::uint8_t> buffer(count);
  std::size_t have = 0;
  while (have < count && !quit_) {
    const std::ptrdiff_t got = device_.Receive(std::span(buffer).subspan(have), 50ms);
    if (got < 0) {
      return false;
    }
    have += static_cast<std::size_t>(got);
  }
  into.insert(into.end(), buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(have));
  return have == count;
}

void FlashLoaderPeer::Run() {
  std::string pending;
  while (!quit_) {
    std::uint8_t byte = 0;
    const std::ptrdiff_t got = device_.Receive(std::span(&byte, 1), 20ms);
    if (got < 0) {
      return;
    }
    if (got == 0 || byte == '\n') {
      continue;
    }
    if (byte != '\r') {
      pending.push_back(static_cast<char>(byte));
      continue;
    }
    const std::string line = pending;
    pending.clear();
    if (!Command(line)) {
      return;
    }
  }
}

std::string FlashLoaderPeer::Framed(const std::string& command, const std::string& value) const {
  const bool programmed = record_.programmed;
  std::vector<std::string> lines;
  if (command == "AT" || command == "AT&F" || command == "AT*N-" || command == "AT*N+" ||
      StartsWith(command, "AT%7")) {
    lines = {"OK"};
  } else if (command == "AT\\3") {
    lines = script_.at3.empty() ? std::vector<std::string>{"OK"}
                                : std::vector<std::string>{script_.at3, "OK"};
  } else if (command == "ATI3") {
    lines = {programmed ? script_.identAfter : script_.ident, "OK"};
  } else if (command == "ATI1") {
    lines = {programmed ? script_.checksumAfter : "0000", "OK"};
  } else if (command == "ATI4") {
    lines = {script_.relay ? "NORIX ISDN adapter" : "V90 modem", "OK"};
  } else if (command == "ATI7") {
    lines = {script_.ati7, "OK"};
  } else if (command == "ATI5") {
    lines = {value, "OK"};
  } else if (StartsWith(command, "ATI5*NC") || StartsWith(command, "ATI5+GCI=")) {
    lines = {script_.refuseCountry ? "ERROR" : "OK"};
  } else {
    lines = {"ERROR"};
  }
  std::string out = command + "\r";
  for (const std::string& line : lines) {
    out += "\r\n" + line + "\r\n";
  }
  return out;
}

bool FlashLoaderPeer::Command(const std::string& line) {
  {
    const std::lock_guard lock(mutex_);
    record_.commands.push_back(line);
  }
  if (line != "AT**") {
    const std::string value = line == "ATI5" ? Turn(script_.countries, country_++) : "";
    if (script_.relay && StartsWith(line, "AT!M")) {
      const std::string inner = line.substr(4);
      Send(line + "\r\r\nModem command: " + inner + "\r\n\r\nOK\r\n" + Framed(inner, value));
    } else {
      Send(Framed(line, value));
    }
    return true;
  }
  if (static_cast<int>(loaderRequest_) < script_.silentLoaderRequests) {
    ++loaderRequest_;
    return true;
  }
  const std::string answer =
      Turn(script_.loaderAnswers,
           loaderRequest_++ - static_cast<std::size_t>(script_.silentLoaderRequests));
  // Through the adapter the answer follows the echo on its line.
  Send(script_.relay ? "AT**\r" + answer + "\r\n" : "AT**\r\r\n" + answer + "\r\n");
  if (answer.find("Download initiated") == std::string::npos) {
    return true;
  }
  return TakeLoader();
}

bool FlashLoaderPeer::TakeLoader() {
  std::vector<std::uint8_t> loader;
  const bool whole = ReceiveExactly(script_.loaderBytes, loader);
  {
    const std::lock_guard lock(mutex_);
    record_.loader = loader;
    record_.programmed = false;
  }
  if (!whole) {
    return false;
  }
  std::string lines = script_.afterLoader;
  for (const std::string& line : script_.loaderLines) {
    lines += line + "\r\n";
  }
  Send(lines);
  if (script_.loaderLines.empty() ||
      script_.loaderLines.back().find("flash code") == std::string::npos) {
    return true;  // the loader refused: back to its commands
  }
  return script_.xmodem ? TakeXmodemFirmware() : TakeRawFirmware();
}

bool FlashLoaderPeer::TakeRawFirmware() {
  std::vector<std::uint8_t> firmware;
  std::size_t chunk = 0;
  const auto keep = [&] {
    const std::lock_guard lock(mutex_);
    record_.firmware = firmware;
    record_.chunksAcked = chunk;
  };
  while (script_.firmwareBytes - firmware.size() > kChunk) {
    if (!ReceiveExactly(kChunk, firmware)) {
      keep();
      return false;
    }
    ++chunk;
    if (chunk == script_.letterAfterChunk) {
      --chunk;
      keep();
      Send("Wrong device\r\n");
      return true;
    }
    if (chunk == script_.silentAfterChunk) {
      --chunk;
      keep();
      device_.Shutdown();
      return false;
    }
    Send(script_.ack);
  }
  const bool whole = ReceiveExactly(script_.firmwareBytes - firmware.size() + kTrailing, firmware);
  keep();
  if (!whole) {
    return false;
  }
  Final();
  return true;
}

bool FlashLoaderPeer::TakeXmodemFirmware() {
  sim::xmodem::ReceiverOptions options;
  options.startInterval = 100ms;
  const sim::xmodem::ReceiveResult result = sim::xmodem::ReceiveXmodem(device_, options);
  {
    const std::lock_guard lock(mutex_);
    record_.firmware = result.data;
  }
  if (result.end != sim::xmodem::ReceiveEnd::Completed) {
    return false;
  }
  Final();
  return true;
}

void FlashLoaderPeer::Final() {
  const std::string later = Turn(script_.finalLater, transfer_);
  const std::string line = Turn(script_.finalLines, transfer_++);
  if (line.empty()) {
    device_.Shutdown();
    return;
  }
  {
    const std::lock_guard lock(mutex_);
    record_.programmed = (line + later).find("successfully") != std::string::npos;
  }
  Send("..\r\n" + line + "\r\n");
  if (!later.empty()) {
    std::this_thread::sleep_for(100ms);
    Send(later);
  }
}

}  // namespace norix::upgrade::testing
