#include "sim/xmodem/xmodem_receiver.h"

#include <array>
#include <span>
#include <utility>

#include "sim/xmodem/byte_reader.h"

namespace norix::sim::xmodem {
namespace {

// Counts how often each fault of a list has been applied.
class FaultList {
 public:
  explicit FaultList(const std::vector<BlockFault>& faults)
      : faults_(faults), used_(faults.size(), 0) {}

  // True (and counted) when block `block` has this fault left.
  bool Take(std::size_t block) {
    for (std::size_t i = 0; i < faults_.size(); ++i) {
      if (faults_[i].block == block && used_[i] < faults_[i].times) {
        ++used_[i];
        return true;
      }
    }
    return false;
  }

 private:
  const std::vector<BlockFault>& faults_;
  std::vector<int> used_;
};

class Receiver {
 public:
  Receiver(platform::comm::DeviceEnd& line, const ReceiverOptions& options)
      : line_(line),
        options_(options),
        reader_(line),
        refuse_(options.refuse),
        drop_(options.dropReply),
        corrupt_(options.corrupt) {}

  ReceiveResult Run() {
    if (options_.noStart) {
      return Finish(StaySilent());
    }
    for (;;) {
      if (!started_) {
        if (result_.startBytesSent >= options_.startTries) {
          return Finish(ReceiveEnd::NoStart);
        }
        ++result_.startBytesSent;
        if (!SendByte(StartByte())) {
          return Finish(ReceiveEnd::LineClosed);
        }
      }
      std::uint8_t header = 0;
      const ReadStatus status =
          reader_.Next(header, started_ ? options_.blockWait : options_.startInterval);
      if (status == ReadStatus::Closed) {
        return Finish(ReceiveEnd::LineClosed);
      }
      if (status == ReadStatus::TimedOut) {
        if (started_ && !Complain()) {
          return Finish(end_);
        }
        continue;
      }
      switch (header) {
        case kSoh:
        case kStx:
          started_ = true;
          if (!TakeBlock(header)) {
            return Finish(end_);
          }
          break;
        case kEot:
          started_ = true;
          if (AnswerEot()) {
            return Finish(end_);
          }
          break;
        case kCan:
          return Finish(ReceiveEnd::SenderCancelled);
        default:
          // Noise between blocks: wait for quiet, then ask again.
          if (reader_.Drain(options_.drainQuiet) == ReadStatus::Closed) {
            return Finish(ReceiveEnd::LineClosed);
          }
          if (started_ && !Complain()) {
            return Finish(end_);
          }
          break;
      }
    }
  }

 private:
  [[nodiscard]] std::uint8_t StartByte() const {
    return options_.check == BlockCheck::Crc ? kCrcStart : kNak;
  }

  // Waits as long as a receiver would have asked, answering nothing.
  ReceiveEnd StaySilent() {
    for (int i = 0; i < options_.startTries; ++i) {
      std::uint8_t ignored = 0;
      if (reader_.Next(ignored, options_.startInterval) == ReadStatus::Closed) {
        return ReceiveEnd::LineClosed;
      }
    }
    return ReceiveEnd::NoStart;
  }

  bool SendByte(std::uint8_t byte) {
    const std::array<std::uint8_t, 1> bytes{byte};
    return line_.Send(bytes);
  }

  // Asks for the block again after an error; false when the receiver gives
  // up (end_ says why).
  bool Complain() {
    if (++errors_ >= options_.maxErrors) {
      const std::array<std::uint8_t, 2> cancel{kCan, kCan};
      line_.Send(cancel);
      end_ = ReceiveEnd::TooManyErrors;
      return false;
    }
    ++result_.naksSent;
    // Until the first block is in, the start byte also tells the mode again.
    if (!SendByte(expected_ == 1 ? StartByte() : kNak)) {
      end_ = ReceiveEnd::LineClosed;
      return false;
    }
    return true;
  }

  // Reads the rest of a block and answers it; false when the transfer ends.
  bool TakeBlock(std::uint8_t header) {
    const std::size_t size = header == kStx ? kLongBlock : kShortBlock;
    const std::size_t checkSize = CheckSize(options_.check);
    std::array<std::uint8_t, kMaxBlockRest> frame{};
    const std::span<std::uint8_t> rest(frame.data(), 2 + size + checkSize);
    std::size_t got = 0;
    const ReadStatus status = reader_.Fill(rest, options_.byteWait, got);
    if (status == ReadStatus::Closed) {
      end_ = ReceiveEnd::LineClosed;
      return false;
    }
    FrameRecord& record = result_.frames.emplace_back();
    record.header = header;
    record.number = frame[0];
    record.complement = frame[1];
    record.size = size;
    if (status == ReadStatus::TimedOut) {
      record.verdict = FrameVerdict::Short;
      return Complain();
    }
    if (static_cast<unsigned>(record.number) + record.complement != 0xFFU) {
      record.verdict = FrameVerdict::BadNumber;
      if (reader_.Drain(options_.drainQuiet) == ReadStatus::Closed) {
        end_ = ReceiveEnd::LineClosed;
        return false;
      }
      return Complain();
    }

    bool isNew = false;
    if (record.number == (expected_ & 0xFFU)) {
      record.block = expected_;
      isNew = true;
    } else if (expected_ > 1 && record.number == ((expected_ - 1) & 0xFFU)) {
      record.block = expected_ - 1;
    } else {
      record.verdict = FrameVerdict::OutOfStep;
      return Cancel();
    }

    const std::span<std::uint8_t> data = rest.subspan(2, size);
    if (corrupt_.Take(record.block)) {
      data[size / 2] = static_cast<std::uint8_t>(~data[size / 2]);
    }
    if (!CheckMatches(data, rest.subspan(2 + size, checkSize), options_.check)) {
      record.verdict = FrameVerdict::BadCheck;
      return Complain();
    }
    if (isNew && options_.cancelAt == record.block) {
      record.verdict = FrameVerdict::Cancelled;
      return Cancel();
    }
    if (refuse_.Take(record.block)) {
      record.verdict = FrameVerdict::Refused;
      return Complain();
    }
    errors_ = 0;
    if (isNew) {
      result_.data.insert(result_.data.end(), data.begin(), data.end());
      ++expected_;
    }
    if (drop_.Take(record.block)) {
      record.verdict = FrameVerdict::Dropped;
      return true;
    }
    record.verdict = isNew ? FrameVerdict::Accepted : FrameVerdict::Duplicate;
    if (!SendByte(kAck)) {
      end_ = ReceiveEnd::LineClosed;
      return false;
    }
    return true;
  }

  // True when the transfer is over (end_ says how).
  bool AnswerEot() {
    const int seen = ++result_.eotsSeen;
    if (seen <= options_.refuseEots) {
      ++result_.naksSent;
      if (!SendByte(kNak)) {
        end_ = ReceiveEnd::LineClosed;
        return true;
      }
      return false;
    }
    if (seen <= options_.refuseEots + options_.ignoreEots) {
      return false;
    }
    end_ = SendByte(kAck) ? ReceiveEnd::Completed : ReceiveEnd::LineClosed;
    return true;
  }

  bool Cancel() {
    const std::array<std::uint8_t, 2> cancel{kCan, kCan};
    line_.Send(cancel);
    end_ = ReceiveEnd::Cancelled;
    return false;
  }

  ReceiveResult Finish(ReceiveEnd end) {
    result_.end = end;
    return std::move(result_);
  }

  platform::comm::DeviceEnd& line_;
  const ReceiverOptions& options_;
  ByteReader reader_;
  FaultList refuse_;
  FaultList drop_;
  FaultList corrupt_;
  ReceiveResult result_;
  ReceiveEnd end_ = ReceiveEnd::LineClosed;
  std::size_t expected_ = 1;
  int errors_ = 0;
  bool started_ = false;
};

}  // namespace

ReceiveResult ReceiveXmodem(platform::comm::DeviceEnd& line, const ReceiverOptions& options) {
  Receiver receiver(line, options);
  return receiver.Run();
}

}  // namespace norix::sim::xmodem
