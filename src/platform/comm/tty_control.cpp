// The kernel's own termios2 definitions; <termios.h> must not be included here.
#include "platform/comm/tty_control.h"

#include <cerrno>

#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace norix::platform::comm {
namespace {

bool GetTermios(int fd, termios2& tio) { return ioctl(fd, TCGETS2, &tio) == 0; }

bool SetTermios(int fd, const termios2& tio) { return ioctl(fd, TCSETS2, &tio) == 0; }

tcflag_t SizeFlag(std::uint8_t byteSize) {
  switch (byteSize) {
    case 5:
      return CS5;
    case 6:
      return CS6;
    case 7:
      return CS7;
    default:
      return CS8;
  }
}

std::uint8_t SizeOf(tcflag_t cflag) {
  switch (cflag & CSIZE) {
    case CS5:
      return 5;
    case CS6:
      return 6;
    case CS7:
      return 7;
    default:
      return 8;
  }
}

tcflag_t ParityFlags(Parity parity) {
  switch (parity) {
    case Parity::Odd:
      return PARENB | PARODD;
    case Parity::Even:
      return PARENB;
    case Parity::Mark:
      return PARENB | CMSPAR | PARODD;
    case Parity::Space:
      return PARENB | CMSPAR;
    case Parity::None:
      break;
  }
  return 0;
}

Parity ParityOf(tcflag_t cflag) {
  if ((cflag & PARENB) == 0) {
    return Parity::None;
  }
  const bool odd = (cflag & PARODD) != 0;
  if ((cflag & CMSPAR) != 0) {
    return odd ? Parity::Mark : Parity::Space;
  }
  return odd ? Parity::Odd : Parity::Even;
}

bool ModemLineCall(int fd, unsigned long request, int bits) {
  if (ioctl(fd, request, &bits) == 0) {
    return true;
  }
  // A pty or other virtual tty has no modem lines to drive.
  return errno == ENOTTY || errno == EINVAL;
}

}  // namespace

bool MakeTtyRaw(int fd) {
  termios2 tio{};
  if (!GetTermios(fd, tio)) {
    return false;
  }
  tio.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL |
                                        IXON | IXOFF | IXANY | IUCLC | IMAXBEL | INPCK);
  tio.c_oflag &= ~static_cast<tcflag_t>(OPOST);
  tio.c_lflag &=
      ~static_cast<tcflag_t>(ECHO | ECHONL | ECHOE | ECHOK | ICANON | ISIG | IEXTEN | TOSTOP);
  tio.c_cflag |= CLOCAL | CREAD;
  tio.c_cc[VMIN] = 1;
  tio.c_cc[VTIME] = 0;
  return SetTermios(fd, tio);
}

bool ReadTtyState(int fd, CommState& state) {
  termios2 tio{};
  if (!GetTermios(fd, tio)) {
    return false;
  }
  CommState read;
  read.baudRate = tio.c_ospeed;
  read.byteSize = SizeOf(tio.c_cflag);
  read.parity = ParityOf(tio.c_cflag);
  if ((tio.c_cflag & CSTOPB) == 0) {
    read.stopBits = StopBits::One;
  } else {
    read.stopBits = read.byteSize == 5 ? StopBits::OneAndHalf : StopBits::Two;
  }
  read.outxCtsFlow = (tio.c_cflag & CRTSCTS) != 0;
  read.rtsControl = read.outxCtsFlow ? RtsControl::Handshake : RtsControl::Enable;
  state = read;
  return true;
}

bool WriteTtyState(int fd, const CommState& state) {
  termios2 tio{};
  if (!GetTermios(fd, tio)) {
    return false;
  }
  // BOTHER takes the speed from c_ospeed / c_ispeed as a plain number.
  tio.c_cflag &= ~static_cast<tcflag_t>(CBAUD | (CBAUD << IBSHIFT) | CSIZE | PARENB | PARODD |
                                        CMSPAR | CSTOPB | CRTSCTS);
  tio.c_cflag |= BOTHER | (BOTHER << IBSHIFT) | CLOCAL | CREAD;
  tio.c_ospeed = state.baudRate;
  tio.c_ispeed = state.baudRate;
  tio.c_cflag |= SizeFlag(state.byteSize) | ParityFlags(state.parity);
  if (state.stopBits != StopBits::One) {
    tio.c_cflag |= CSTOPB;  // with 5 data bits the UART sends 1.5 stop bits
  }
  if (state.outxCtsFlow || state.rtsControl == RtsControl::Handshake) {
    tio.c_cflag |= CRTSCTS;
  }
  return SetTermios(fd, tio);
}

bool SetRtsLine(int fd, bool on) { return ModemLineCall(fd, on ? TIOCMBIS : TIOCMBIC, TIOCM_RTS); }

bool FlushTtyInput(int fd) { return ioctl(fd, TCFLSH, TCIFLUSH) == 0; }

bool FlushTtyOutput(int fd) { return ioctl(fd, TCFLSH, TCOFLUSH) == 0; }

bool SetTtyExclusive(int fd, bool exclusive) {
  return ioctl(fd, exclusive ? TIOCEXCL : TIOCNXCL) == 0;
}

}  // namespace norix::platform::comm
