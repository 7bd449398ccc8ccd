#include "link/port_io.h"

#include <algorithm>
#include <array>
#include <optional>
#include <thread>

#include "link/timeouts_keeper.h"

namespace norix::link {

namespace comm = platform::comm;

namespace {

constexpr std::uint8_t kCr = 13;
constexpr std::uint8_t kLf = 10;

}  // namespace

bool PortRead(Port* port, std::span<std::uint8_t> buffer, std::size_t& bytesRead) {
  bytesRead = 0;
  if (port == nullptr) {
    return false;
  }
  const comm::IoResult result = port->Read(buffer, kReadWaitLimit);
  if (!result.completed()) {
    return false;
  }
  bytesRead = result.count;
  return true;
}

bool PortWrite(Port* port, std::span<const std::uint8_t> data, std::size_t& written) {
  written = 0;
  if (port == nullptr) {
    return false;
  }
  const comm::IoResult result = port->Write(data);
  written = result.count;
  return result.completed();
}

std::size_t WriteText(Port* port, std::string_view text) {
  std::size_t written = 0;
  const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(text.data()),
                                            text.size());
  if (!PortWrite(port, bytes, written)) {
    return 0;
  }
  return written;
}

std::size_t WriteLine(Port* port, std::string_view command) {
  const std::size_t first = WriteText(port, command);
  if (first == 0) {
    return first;
  }
  return first + WriteText(port, "\r");
}

std::size_t ReadLine(Port* port, std::string& line) {
  std::array<std::uint8_t, kLineCapacity + 1> buffer{};
  std::size_t p = 0;
  for (std::size_t taken = 0;; ++taken) {
    if (taken == kLineRunLimit) {
      // Bytes keep coming without a line feed: what was kept is the line,
      // and the rest stays on the port for the caller to deal with.
      line.assign(reinterpret_cast<const char*>(buffer.data()), p);
      return p;
    }
    std::size_t got = 0;
    if (!PortRead(port, std::span(&buffer[p], 1), got)) {
      return 0;
    }
    if (got == 0) {
      // A line cut off by the time-out is not a line.
      line.clear();
      return 0;
    }
    const std::uint8_t byte = buffer[p];
    if (byte == kLf && buffer[0] == kCr) {
      // An empty line, or one that begins with CR: drop it and start over.
      p = 0;
      continue;
    }
    if (p < kLineCapacity) {
      ++p;
    }
    if (byte == kLf) {
      line.assign(reinterpret_cast<const char*>(buffer.data()), p);
      return p;
    }
  }
}

std::optional<std::size_t> TryReadBlock(Port* port, std::string& text, std::size_t maxCount) {
  std::array<std::uint8_t, kBlockCapacity + 1> buffer{};
  const std::size_t n = maxCount < kBlockCapacity ? maxCount : kBlockCapacity;
  std::size_t got = 0;
  if (!PortRead(port, std::span(buffer.data(), n), got)) {
    return std::nullopt;
  }
  // Handed on as a text: a zero byte in the data ends it.
  std::size_t length = 0;
  while (length < got && buffer[length] != 0) {
    ++length;
  }
  text.assign(reinterpret_cast<const char*>(buffer.data()), length);
  return got;
}

std::size_t ReadBlock(Port* port, std::string& text, std::size_t maxCount) {
  return TryReadBlock(port, text, maxCount).value_or(0);
}

namespace {

// Up to 20 reads, a tenth of a second apart, until one brings something.
template <typename Read>
std::size_t Patiently(Read read) {
  constexpr int kAttempts = 20;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    const std::size_t count = read();
    if ((count & 0xFFFFU) != 0) {
      return count;
    }
    WaitTenths(1);
  }
  return 0;
}

}  // namespace

std::size_t ReadBlockPatiently(Port* port, std::string& text, std::size_t maxCount) {
  return Patiently([&] { return ReadBlock(port, text, maxCount); });
}

namespace {

// Text up to the first zero byte, as ReadBlock hands a block on.
void AssignText(std::string& text, std::span<const std::uint8_t> bytes) {
  const auto zero = std::find(bytes.begin(), bytes.end(), std::uint8_t{0});
  text.assign(bytes.begin(), zero);
}

}  // namespace

std::optional<std::size_t> TryReadBlockUntil(Port* port, std::string& text, std::size_t maxCount,
                                             const BlockComplete& complete) {
  const comm::CommTimeouts usual = CurrentTimeouts(port);
  const bool interval = usual.readInterval != 0 && usual.readInterval != comm::kMaxTimeout &&
                        usual.readMultiplier != comm::kMaxTimeout;
  const std::size_t n = std::min(maxCount, kBlockCapacity);
  if (port == nullptr || !interval || n == 0) {
    return TryReadBlock(port, text, maxCount);
  }
  using Clock = std::chrono::steady_clock;
  using std::chrono::milliseconds;
  const Clock::time_point start = Clock::now();
  const Clock::time_point limit = start + kReadWaitLimit;
  const bool totals = usual.readMultiplier != 0 || usual.readConstant != 0;
  const Clock::time_point ownTotal =
      start + milliseconds(std::uint64_t{usual.readMultiplier} * n + usual.readConstant);
  // Nothing within the wait limit is a failed read, as in TryReadBlock.
  const bool limited = !totals || ownTotal > limit;
  const Clock::time_point total = limited ? limit : ownTotal;
  const TimeoutsKeeper keeper(port);
  std::array<std::uint8_t, kBlockCapacity> buffer{};
  std::size_t got = 0;
  Clock::time_point ends = total;  // the first byte may take the whole total
  while (got < n) {
    const auto left = std::chrono::ceil<milliseconds>(ends - Clock::now()).count();
    if (left <= 0) {
      break;
    }
    // Returns with the first byte there, or empty once `left` has passed.
    comm::CommTimeouts wait = usual;
    wait.readInterval = comm::kMaxTimeout;
    wait.readMultiplier = comm::kMaxTimeout;
    wait.readConstant = static_cast<std::uint32_t>(left);
    if (!port->SetTimeouts(wait)) {
      if (got == 0) {
        return TryReadBlock(port, text, maxCount);
      }
      break;
    }
    const comm::IoResult result = port->Read(std::span(&buffer[got], 1), kReadWaitLimit);
    if (!result.completed()) {
      if (got == 0) {
        return std::nullopt;
      }
      break;
    }
    if (result.count == 0) {
      break;
    }
    ++got;
    if (complete(std::string_view(reinterpret_cast<const char*>(buffer.data()), got))) {
      break;
    }
    ends = std::min(total, Clock::now() + milliseconds(usual.readInterval));
  }
  if (got == 0 && limited) {
    return std::nullopt;
  }
  AssignText(text, std::span(buffer.data(), got));
  return got;
}

std::size_t ReadBlockPatientlyUntil(Port* port, std::string& text, std::size_t maxCount,
                                    const BlockComplete& complete) {
  return Patiently([&] { return TryReadBlockUntil(port, text, maxCount, complete).value_or(0); });
}

int ReadByte(Port* port) {
  std::uint8_t byte = 0;
  std::size_t got = 0;
  if (!PortRead(port, std::span(&byte, 1), got) || got == 0) {
    return -1;
  }
  return static_cast<signed char>(byte);
}

std::optional<std::uint8_t> ReadRawByte(Port* port, std::chrono::milliseconds waitLimit) {
  if (port == nullptr) {
    return std::nullopt;
  }
  std::uint8_t byte = 0;
  const comm::IoResult result = port->Read(std::span(&byte, 1), waitLimit);
  if (!result.completed() || result.count == 0) {
    return std::nullopt;
  }
  return byte;
}

namespace {

void SetFraming(comm::CommState& state, std::uint32_t speed) {
  state.baudRate = speed;
  state.byteSize = 8;
  state.parity = comm::Parity::None;
  state.stopBits = comm::StopBits::One;
}

// Reads, changes and writes back the port's time-outs; returns the record as
// it was before. A port whose time-outs cannot be read stays as it is.
template <typename Change>
comm::CommTimeouts ChangeTimeouts(Port* port, Change change) {
  comm::CommTimeouts timeouts;
  if (port == nullptr || !port->GetTimeouts(timeouts)) {
    return {};
  }
  const comm::CommTimeouts previous = timeouts;
  change(timeouts);
  (void)port->SetTimeouts(timeouts);
  return previous;
}

}  // namespace

void ConfigurePort(Port* port, std::uint32_t speed) {
  comm::CommState state;
  if (port != nullptr && port->GetState(state)) {
    SetFraming(state, speed);
    state.outxCtsFlow = true;
    state.rtsControl = comm::RtsControl::Handshake;
    (void)port->SetState(state);
  }
  ChangeTimeouts(port, [](comm::CommTimeouts& t) {
    t = {kDefaultReadInterval, kDefaultReadMultiplier, kDefaultReadConstant,
         kDefaultWriteMultiplier, kDefaultWriteConstant};
  });
}

std::uint32_t SetPortSpeed(Port* port, std::uint32_t speed) {
  comm::CommState state;
  if (port != nullptr && port->GetState(state)) {
    SetFraming(state, speed);
    (void)port->SetState(state);
  }
  return 0;
}

void SetCtsFlow(Port* port, bool on) {
  comm::CommState state;
  if (port != nullptr && port->GetState(state)) {
    state.outxCtsFlow = on;
    state.rtsControl = on ? comm::RtsControl::Handshake : comm::RtsControl::Enable;
    (void)port->SetState(state);
  }
}

std::uint32_t SetReadTimeout(Port* port, std::uint32_t constant) {
  return ChangeTimeouts(port,
                        [constant](comm::CommTimeouts& t) {
                          t = {kDefaultReadInterval, kDefaultReadMultiplier, constant,
                               kDefaultWriteMultiplier, kDefaultWriteConstant};
                        })
      .readConstant;
}

comm::CommTimeouts SetReadTotals(Port* port, std::uint32_t multiplier, std::uint32_t constant) {
  return ChangeTimeouts(port, [multiplier, constant](comm::CommTimeouts& t) {
    t.readMultiplier = multiplier;
    t.readConstant = constant;
  });
}

void RestoreTimeouts(Port* port, const comm::CommTimeouts& timeouts) {
  ChangeTimeouts(port, [&timeouts](comm::CommTimeouts& t) { t = timeouts; });
}

comm::CommTimeouts CurrentTimeouts(Port* port) {
  comm::CommTimeouts timeouts;
  if (port == nullptr || !port->GetTimeouts(timeouts)) {
    return {};
  }
  return timeouts;
}

std::uint32_t SetReadInterval(Port* port, std::uint32_t interval) {
  return ChangeTimeouts(port, [interval](comm::CommTimeouts& t) { t.readInterval = interval; })
      .readInterval;
}

std::uint32_t SetWriteTimeout(Port* port, std::uint32_t constant) {
  return ChangeTimeouts(port, [constant](comm::CommTimeouts& t) { t.writeConstant = constant; })
      .writeConstant;
}

void DiscardInput(Port* port, std::uint32_t actions) {
  if (port != nullptr) {
    port->Purge(actions);
  }
}

void WaitTenths(std::uint32_t n) {
  std::this_thread::sleep_for(std::chrono::milliseconds(100) * n);
}

}  // namespace norix::link
