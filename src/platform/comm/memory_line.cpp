#include "platform/comm/memory_line.h"

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <utility>

#include "platform/comm/byte_channel.h"
#include "platform/comm/comm_state_check.h"
#include "platform/comm/open_failure.h"
#include "platform/comm/timed_io.h"

namespace norix::platform::comm {
namespace {

// Like a driver's transmit buffer: a host write blocks (and its write
// time-out can pass) while the device end does not take the bytes.
constexpr std::size_t kHostOutputCapacity = 4096;

// Everything both ends share; one mutex and one condition variable for all
// waits, which are few and short-lived.
struct LineCore {
  std::mutex mutex;
  std::condition_variable changed;
  std::deque<std::uint8_t> toHost;
  std::deque<std::uint8_t> toDevice;
  bool hostClosed = false;
  // The host may open the line again after closing it: the device end then
  // waits for the next open instead of taking the close for the line's end.
  bool reopenable = false;
  bool deviceShut = false;
  bool readerWake = false;
  bool writerWake = false;
  CommState hostState;

  // Whether the host side sees the line as broken. On a reopenable line the
  // host side outlives the device: it then hears nothing, as a port whose
  // product is switched off.
  [[nodiscard]] bool Broken() const { return deviceShut && !reopenable; }
};

// Moves up to out.size() bytes from the front of `queue` into `out`.
std::size_t TakeFront(std::deque<std::uint8_t>& queue, std::span<std::uint8_t> out) {
  const std::size_t count = std::min(out.size(), queue.size());
  const auto end = queue.begin() + static_cast<std::ptrdiff_t>(count);
  std::copy(queue.begin(), end, out.begin());
  queue.erase(queue.begin(), end);
  return count;
}

template <typename Predicate>
void WaitUntil(LineCore& core, std::unique_lock<std::mutex>& lock, Deadline deadline,
               Predicate ready) {
  if (deadline == kNoDeadline) {
    core.changed.wait(lock, ready);
  } else {
    core.changed.wait_until(lock, deadline, ready);
  }
}

class HostChannel final : public ByteChannel {
 public:
  explicit HostChannel(std::shared_ptr<LineCore> core) : core_(std::move(core)) {}

  std::ptrdiff_t TakeReceived(std::span<std::uint8_t> buffer) override {
    const std::lock_guard lock(core_->mutex);
    const std::size_t count = TakeFront(core_->toHost, buffer);
    if (count == 0 && core_->Broken()) {
      return -1;
    }
    return static_cast<std::ptrdiff_t>(count);
  }

  std::ptrdiff_t PutOutgoing(std::span<const std::uint8_t> data) override {
    const std::lock_guard lock(core_->mutex);
    if (core_->Broken()) {
      return -1;
    }
    if (core_->deviceShut) {
      return static_cast<std::ptrdiff_t>(data.size());  // nobody listens
    }
    const std::size_t room = kHostOutputCapacity - core_->toDevice.size();
    const std::size_t count = std::min(room, data.size());
    core_->toDevice.insert(core_->toDevice.end(), data.begin(),
                           data.begin() + static_cast<std::ptrdiff_t>(count));
    if (count > 0) {
      core_->changed.notify_all();
    }
    return static_cast<std::ptrdiff_t>(count);
  }

  bool WaitReceivable(Deadline deadline) override {
    std::unique_lock lock(core_->mutex);
    WaitUntil(*core_, lock, deadline,
              [this] { return !core_->toHost.empty() || core_->readerWake || core_->Broken(); });
    core_->readerWake = false;
    return !core_->Broken();
  }

  bool WaitSendable(Deadline deadline) override {
    std::unique_lock lock(core_->mutex);
    WaitUntil(*core_, lock, deadline, [this] {
      return core_->toDevice.size() < kHostOutputCapacity || core_->writerWake || core_->Broken();
    });
    core_->writerWake = false;
    return !core_->Broken();
  }

  void WakeReader() override {
    const std::lock_guard lock(core_->mutex);
    core_->readerWake = true;
    core_->changed.notify_all();
  }

  void WakeWriter() override {
    const std::lock_guard lock(core_->mutex);
    core_->writerWake = true;
    core_->changed.notify_all();
  }

  bool DiscardReceived() override {
    const std::lock_guard lock(core_->mutex);
    core_->toHost.clear();
    return true;
  }

  bool DiscardUnsent() override {
    const std::lock_guard lock(core_->mutex);
    core_->toDevice.clear();
    core_->changed.notify_all();
    return true;
  }

 private:
  std::shared_ptr<LineCore> core_;
};

class MemoryHostPort final : public Port {
 public:
  MemoryHostPort(std::shared_ptr<LineCore> core, std::string name)
      : core_(std::move(core)), channel_(core_), io_(channel_), name_(std::move(name)) {}

  MemoryHostPort(const MemoryHostPort&) = delete;
  MemoryHostPort& operator=(const MemoryHostPort&) = delete;
  MemoryHostPort(MemoryHostPort&&) = delete;
  MemoryHostPort& operator=(MemoryHostPort&&) = delete;

  ~MemoryHostPort() override {
    const std::lock_guard lock(core_->mutex);
    core_->hostClosed = true;
    core_->changed.notify_all();
  }

  IoResult Read(std::span<std::uint8_t> buffer, std::chrono::milliseconds waitLimit) override {
    return io_.Read(buffer, waitLimit);
  }

  IoResult Write(std::span<const std::uint8_t> data) override { return io_.Write(data); }

  bool GetState(CommState& state) const override {
    const std::lock_guard lock(core_->mutex);
    state = core_->hostState;
    return true;
  }

  bool SetState(const CommState& state) override {
    if (!IsSupportedCommState(state)) {
      return false;
    }
    const std::lock_guard lock(core_->mutex);
    core_->hostState = state;
    return true;
  }

  bool GetTimeouts(CommTimeouts& timeouts) const override {
    timeouts = io_.Timeouts();
    return true;
  }

  bool SetTimeouts(const CommTimeouts& timeouts) override {
    io_.SetTimeouts(timeouts);
    return true;
  }

  bool Purge(std::uint32_t actions) override { return io_.Purge(actions); }

  std::string Name() const override { return name_; }

 private:
  std::shared_ptr<LineCore> core_;
  HostChannel channel_;
  TimedIo io_;
  std::string name_;
};

class MemoryDeviceEnd final : public DeviceEnd {
 public:
  explicit MemoryDeviceEnd(std::shared_ptr<LineCore> core) : core_(std::move(core)) {}

  MemoryDeviceEnd(const MemoryDeviceEnd&) = delete;
  MemoryDeviceEnd& operator=(const MemoryDeviceEnd&) = delete;
  MemoryDeviceEnd(MemoryDeviceEnd&&) = delete;
  MemoryDeviceEnd& operator=(MemoryDeviceEnd&&) = delete;

  ~MemoryDeviceEnd() override { Shutdown(); }

  std::ptrdiff_t Receive(std::span<std::uint8_t> buffer,
                         std::chrono::milliseconds timeout) override {
    std::unique_lock lock(core_->mutex);
    const auto ready = [this] {
      return !core_->toDevice.empty() || core_->deviceShut ||
             (core_->hostClosed && !core_->reopenable);
    };
    if (timeout.count() > 0) {
      core_->changed.wait_for(lock, timeout, ready);
    }
    if (core_->deviceShut) {
      return -1;
    }
    const std::size_t count = TakeFront(core_->toDevice, buffer);
    if (count > 0) {
      core_->changed.notify_all();  // room for a blocked host write
      return static_cast<std::ptrdiff_t>(count);
    }
    return (core_->hostClosed && !core_->reopenable && !buffer.empty()) ? -1 : 0;
  }

  bool Send(std::span<const std::uint8_t> data) override {
    const std::lock_guard lock(core_->mutex);
    if (core_->deviceShut) {
      return false;
    }
    if (core_->hostClosed) {
      // Nobody has the port open: the bytes go nowhere, as on a tty.
      return core_->reopenable;
    }
    core_->toHost.insert(core_->toHost.end(), data.begin(), data.end());
    core_->changed.notify_all();
    return true;
  }

  CommState HostState() const override {
    const std::lock_guard lock(core_->mutex);
    return core_->hostState;
  }

  void Shutdown() override {
    const std::lock_guard lock(core_->mutex);
    core_->deviceShut = true;
    core_->changed.notify_all();
  }

 private:
  std::shared_ptr<LineCore> core_;
};

// Opens the host side of a reopenable line.
OpenPortResult OpenHostEnd(const std::shared_ptr<LineCore>& core, const std::string& name) {
  {
    const std::lock_guard lock(core->mutex);
    if (!core->hostClosed) {
      // Held by another open of this process, as a tty held by it would be.
      OpenFailureFacts facts;
      facts.holder = "this program itself";
      facts.heldByThisProcess = true;
      return {nullptr, EBUSY, DescribeOpenFailure(name, EBUSY, facts), OpenFailure::InUse};
    }
    core->hostClosed = false;
    core->toHost.clear();
    core->toDevice.clear();
    core->readerWake = false;
    core->writerWake = false;
  }
  return {std::make_unique<MemoryHostPort>(core, name), 0, ""};
}

}  // namespace

MemoryLine MakeMemoryLine(const std::string& name) {
  auto core = std::make_shared<LineCore>();
  MemoryLine line;
  line.host = std::make_unique<MemoryHostPort>(core, name);
  line.device = std::make_unique<MemoryDeviceEnd>(std::move(core));
  return line;
}

ReopenableMemoryLine MakeReopenableMemoryLine(const std::string& name) {
  auto core = std::make_shared<LineCore>();
  core->hostClosed = true;
  core->reopenable = true;
  ReopenableMemoryLine line;
  line.device = std::make_unique<MemoryDeviceEnd>(core);
  line.open = [core = std::move(core), name] { return OpenHostEnd(core, name); };
  return line;
}

}  // namespace norix::platform::comm
