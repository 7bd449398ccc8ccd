// The X-modem receiver of the simulated flash loaders: asks for the transfer
// with 'C' (CRC) or NAK (checksum), takes 128- and 1024-byte blocks, checks
// numbers, complements and the CRC or checksum, answers ACK or NAK, takes a
// repeat of the block it acknowledged last as lost ACK, and ends at EOT. It
// keeps the data as received, fill of the last block included.
//
// Faults for tests: refuse a block n times, stay silent after a block n times
// (the block is taken; the sender's repeat then arrives as a duplicate), see a
// block corrupted in transit n times, cancel at a block, never start.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/comm/device_end.h"
#include "sim/xmodem/xmodem_wire.h"

namespace norix::sim::xmodem {

// A fault for block `block` (counted from 1 in the order of the transfer, not
// its wrapped number byte), applied to its first `times` arrivals.
struct BlockFault {
  std::size_t block = 0;
  int times = 1;
};

struct ReceiverOptions {
  BlockCheck check = BlockCheck::Crc;
  // The start byte is sent every startInterval until a block begins, at
  // most startTries times.
  std::chrono::milliseconds startInterval{1000};
  int startTries = 60;
  // Wait for the first byte of the next block or EOT; a silence this long
  // is answered with NAK.
  std::chrono::milliseconds blockWait{10000};
  // Wait for each further byte of a block.
  std::chrono::milliseconds byteWait{1000};
  // Quiet time that ends the draining of a broken block.
  std::chrono::milliseconds drainQuiet{50};
  // Errors in a row (bad blocks, silences) before the receiver gives up.
  int maxErrors = 10;

  bool noStart = false;               // never send the start byte
  std::vector<BlockFault> refuse;     // NAK an intact block
  std::vector<BlockFault> dropReply;  // take the block but send no answer
  std::vector<BlockFault> corrupt;    // a data byte arrives inverted
  std::size_t cancelAt = 0;           // answer this block with CAN CAN (0: never)
  int refuseEots = 0;                 // NAK the first n EOTs
  int ignoreEots = 0;                 // no answer to the first n EOTs (after the refused ones)
};

enum class ReceiveEnd : std::uint8_t {
  Completed,        // EOT acknowledged
  NoStart,          // no block began after the start bytes (or none were sent)
  Cancelled,        // the receiver cancelled (cancelAt, or a block out of sequence)
  SenderCancelled,  // the sender sent CAN
  TooManyErrors,    // maxErrors errors in a row
  LineClosed,       // the line was shut down
};

enum class FrameVerdict : std::uint8_t {
  Accepted,   // new block, taken and acknowledged
  Duplicate,  // repeat of the last block taken, acknowledged again
  Dropped,    // taken (or a duplicate), no answer sent
  Refused,    // intact but refused by a fault
  BadNumber,  // number and complement do not match
  BadCheck,   // CRC or checksum wrong
  Short,      // the block stopped before its end
  OutOfStep,  // neither the expected block nor a repeat: cancelled
  Cancelled,  // answered with CAN by cancelAt
};

struct FrameRecord {
  std::size_t block = 0;  // the sequence count it was taken as (0 when unknown)
  std::uint8_t header = 0;
  std::uint8_t number = 0;
  std::uint8_t complement = 0;
  std::size_t size = 0;  // data bytes (128 or 1024)
  FrameVerdict verdict = FrameVerdict::Accepted;
};

struct ReceiveResult {
  ReceiveEnd end = ReceiveEnd::LineClosed;
  std::vector<std::uint8_t> data;
  std::vector<FrameRecord> frames;  // every block that began, in order
  int startBytesSent = 0;
  int eotsSeen = 0;
  int naksSent = 0;
};

// Runs the receiver on the calling thread until the transfer ends, fails, or
// the line is shut down (which ends any wait at once).
[[nodiscard]] ReceiveResult ReceiveXmodem(platform::comm::DeviceEnd& line,
                                          const ReceiverOptions& options);

}  // namespace norix::sim::xmodem
