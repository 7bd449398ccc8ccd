// Settings of a tty through the kernel's termios2 interface, so that any
// speed can be set (14400 bit/s has no B-constant). Kept apart because the
// kernel's termios definitions and the C library's <termios.h> cannot share
// a translation unit.
#pragma once

#include "platform/comm/comm_types.h"

namespace norix::platform::comm {

// Raw bytes both ways: no echo, no CR/LF translation, no XON/XOFF, no signal
// characters; CLOCAL and CREAD. VMIN 1 and VTIME 0, so that a non-blocking
// read without data fails with EAGAIN and a read of 0 bytes means hang-up.
// False with errno set when the fd is not a tty or the call fails.
[[nodiscard]] bool MakeTtyRaw(int fd);

// The tty's speed (the exact output speed), framing and flow control. Linux
// has a single flag for CTS output flow and RTS handshake: when it is set the
// state reads as outxCtsFlow with RtsControl::Handshake, else RtsControl::Enable.
// On a pty master this reads the slave's settings.
[[nodiscard]] bool ReadTtyState(int fd, CommState& state);

// Sets speed, framing and flow control (CTS output flow or RTS handshake both
// switch the one CRTSCTS flag); the other settings stay. The state must be
// supported (IsSupportedCommState).
[[nodiscard]] bool WriteTtyState(int fd, const CommState& state);

// Drives RTS when no handshake owns it. True also when the device has no
// modem lines (a pty), as there is nothing to drive.
[[nodiscard]] bool SetRtsLine(int fd, bool on);

// Throw away what the tty has received and not yet read / what waits to be sent.
[[nodiscard]] bool FlushTtyInput(int fd);
[[nodiscard]] bool FlushTtyOutput(int fd);

// Exclusive mode (TIOCEXCL): further opens fail with EBUSY, except for root.
[[nodiscard]] bool SetTtyExclusive(int fd, bool exclusive);

}  // namespace norix::platform::comm
