// The one telephony context of the program: the maker's line devices, the
// selected device, its open line, call and port, and what identification
// learnt about the product on it.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/comm/open_failure.h"
#include "platform/comm/port.h"
#include "platform/telephony/line_types.h"
#include "platform/window/messages.h"

namespace norix::link {

struct ModemListEntry {
  std::string name;  // the line device's name, after the name fix-up
  std::uint32_t lineDeviceId = 0;
};

// The replies of the telephony service's asynchronous requests. The line
// callback writes them on the thread that opened the context; the thread that
// waits in WaitForReply (usually a page thread) reads them. Guarded by mutex.
struct ReplyWaitState {
  struct Wait {
    std::int32_t requestId = 0;
    platform::window::ThreadId thread = 0;  // woken with a WM_NULL thread message
    bool arrived = false;
    std::int32_t result = platform::telephony::LINEERR_OPERATIONFAILED;
  };
  struct Reply {
    std::int32_t requestId = 0;
    std::int32_t result = 0;
  };
  std::mutex mutex;
  std::vector<Wait> waits;    // requests that threads are waiting for now
  std::deque<Reply> unowned;  // the latest replies that came while nobody waited for them
};

struct ModemContext {
  std::uint32_t lineDeviceCount = 0;  // line devices the telephony service reported
  std::uintptr_t lineApp = 0;         // from lineInitialize
  std::uint32_t currentDeviceId = 0;  // the device the open and negotiate calls work on
  std::int32_t selectedIndex = 0;     // index into devices, set by the product pages
  std::vector<ModemListEntry> devices;

  std::optional<std::string> driverKey;  // registry key of the open device's modem driver
  std::optional<platform::telephony::LINECALLPARAMS> callParams;  // of the pass-through call
  std::uintptr_t line = 0;                                        // from lineOpen, 0 when none
  std::uintptr_t call = 0;                                        // from lineMakeCall, 0 when none
  std::unique_ptr<platform::comm::Port> port;  // the product's port, null when closed
  bool gciSupport = false;                     // the product answered "AT+GCI?" with OK
  bool portFromTelephony = false;              // the open port came from lineGetID
  // Why the last OpenDevicePort got no port, the device named: "NORIX Corvid
  // 560 Voice: cannot open /dev/ttyUSB0: ...". Kind None when it got one.
  platform::comm::PortOpenFailure portFailure;
  // The last OpenDevicePort's "AT" check failed although bytes came that
  // were no final result code: something talks on the port that is no
  // command interpreter (a flash loader's prompt, a product at another
  // speed). Silence and "ERROR" leave it false.
  bool checkHeardOther = false;

  // Set by identification.
  std::string productName;                  // at most 49 characters; every page header shows it
  std::string internalModemVersion;         // text after the internal modem's "V", at most 19
  std::string internalModemVersionNumber;   // decimal text of major * 100 + minor, at most 19
  std::string firmwareVersion;              // text after the last "V" of the identification text
  std::uint16_t firmwareVersionNumber = 0;  // major * 100 + minor: V1.40 is 140

  ReplyWaitState replyWait;

  [[nodiscard]] platform::comm::Port* Port() const { return port.get(); }
  [[nodiscard]] std::uint32_t ProductCount() const {
    return static_cast<std::uint32_t>(devices.size());
  }
};

}  // namespace norix::link
