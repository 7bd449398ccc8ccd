// Byte layer on the product's port: speed, framing and time-outs, writing text
// and command lines, reading lines, blocks and bytes. Every call blocks the
// calling thread; none shows anything to the user. A null port fails every
// call the way a broken port would.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/comm/port.h"

namespace norix::link {

using platform::comm::Port;

// No read call waits longer than this, whatever the port's time-outs say.
inline constexpr std::chrono::milliseconds kReadWaitLimit{8000};
// ReadLine keeps at most this many characters of a line.
inline constexpr std::size_t kLineCapacity = 1023;
// ReadBlock reads at most this many bytes in one call.
inline constexpr std::size_t kBlockCapacity = 1535;

// Time-outs that ConfigurePort sets.
inline constexpr std::uint32_t kDefaultReadInterval = 100;
inline constexpr std::uint32_t kDefaultReadMultiplier = 10;
inline constexpr std::uint32_t kDefaultReadConstant = 1000;
inline constexpr std::uint32_t kDefaultWriteMultiplier = 1;
inline constexpr std::uint32_t kDefaultWriteConstant = 2000;

// Reads up to buffer.size() bytes. True when the read completed (possibly
// with 0 bytes); false on failure, abort, or when kReadWaitLimit passed.
[[nodiscard]] bool PortRead(Port* port, std::span<std::uint8_t> buffer, std::size_t& bytesRead);

// True when the write completed; `written` tells how much of it went out.
[[nodiscard]] bool PortWrite(Port* port, std::span<const std::uint8_t> data, std::size_t& written);

// Writes the text; returns the bytes written, 0 on failure.
std::size_t WriteText(Port* port, std::string_view text);

// Writes the command, then CR as a second write. Returns the bytes written
// including the CR, or the failed first write's count (0).
std::size_t WriteLine(Port* port, std::string_view command);

// ReadLine takes at most this many bytes in one call.
inline constexpr std::size_t kLineRunLimit = 4 * (kLineCapacity + 1);

// Reads one line a byte at a time. Blank lines are skipped, the returned line
// keeps its CR LF, a line cut off by the read time-out is discarded (0, empty
// text), and a longer line is cut to its first kLineCapacity characters. A
// stream without a line feed ends the read after kLineRunLimit bytes; what
// was kept of it (without a line end) is the line. On a failed read returns
// 0 and leaves `line` as it was.
std::size_t ReadLine(Port* port, std::string& line);

// One read of up to maxCount (at most kBlockCapacity) bytes. Returns the
// count; `text` gets the bytes up to the first zero byte. On failure or when
// nothing came returns 0; on failure `text` is left as it was.
std::size_t ReadBlock(Port* port, std::string& text, std::size_t maxCount);
// ReadBlock that tells a failed read (none, `text` left as it was) from one
// that completed with nothing (0).
[[nodiscard]] std::optional<std::size_t> TryReadBlock(Port* port, std::string& text,
                                                      std::size_t maxCount);

// ReadBlock up to 20 times, a tenth of a second apart, until something comes.
std::size_t ReadBlockPatiently(Port* port, std::string& text, std::size_t maxCount);

// Whether the bytes read so far hold everything the reader waits for.
using BlockComplete = std::function<bool(std::string_view bytes)>;

// TryReadBlock that also ends as soon as `complete` holds for the bytes read
// so far, instead of waiting out the read interval after the last of them;
// what follows stays on the port. It takes the bytes one at a time, each
// with what is left of the port's time-outs (the total for the block, the
// interval after a byte), and puts the time-outs back. A port without a
// read interval (or with one of the return-at-once settings) gets the plain
// TryReadBlock. When kReadWaitLimit passes after some bytes came, those are
// the block.
[[nodiscard]] std::optional<std::size_t> TryReadBlockUntil(Port* port, std::string& text,
                                                           std::size_t maxCount,
                                                           const BlockComplete& complete);

// ReadBlockPatiently over TryReadBlockUntil.
std::size_t ReadBlockPatientlyUntil(Port* port, std::string& text, std::size_t maxCount,
                                    const BlockComplete& complete);

// The next byte as a signed character value, -1 when none came (a 0xFF byte
// also reads as -1).
int ReadByte(Port* port);

// The next byte, waiting as the port's time-outs say but at most
// `waitLimit` (longer than kReadWaitLimit for slow time-outs); none when no
// byte came, the read failed or the limit passed. A received 0xFF is a byte.
[[nodiscard]] std::optional<std::uint8_t> ReadRawByte(
    Port* port, std::chrono::milliseconds waitLimit = kReadWaitLimit);

// Speed, 8N1, CTS output flow control on, RTS handshake, and the default
// time-outs (read constant 1000 ms).
void ConfigurePort(Port* port, std::uint32_t speed);

// Speed and 8N1; flow control stays as it is. Returns 0.
std::uint32_t SetPortSpeed(Port* port, std::uint32_t speed);

// Switches CTS output flow control (and the RTS handshake that goes with it)
// on or off; speed and framing stay.
void SetCtsFlow(Port* port, bool on);

// Sets interval 100, read multiplier 10, read constant c, write multiplier 1,
// write constant 2000; returns the previous read constant for restoring.
std::uint32_t SetReadTimeout(Port* port, std::uint32_t constant);
// Sets the read multiplier and constant, the other time-outs stay; returns
// the whole record as it was, for RestoreTimeouts.
platform::comm::CommTimeouts SetReadTotals(Port* port, std::uint32_t multiplier,
                                           std::uint32_t constant);
// Puts back a record that one of the setters returned.
void RestoreTimeouts(Port* port, const platform::comm::CommTimeouts& timeouts);
// The time-outs in force; all 0 when they cannot be read.
[[nodiscard]] platform::comm::CommTimeouts CurrentTimeouts(Port* port);
// Replace one value, return the previous one.
std::uint32_t SetReadInterval(Port* port, std::uint32_t interval);
std::uint32_t SetWriteTimeout(Port* port, std::uint32_t constant);

// Any combination of platform::comm::kPurgeRxAbort, kPurgeRxClear, kPurgeTxClear.
void DiscardInput(Port* port, std::uint32_t actions);

// Sleeps n tenths of a second.
void WaitTenths(std::uint32_t n);

}  // namespace norix::link
