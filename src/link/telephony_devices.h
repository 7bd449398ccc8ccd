// The telephony context: the maker's line devices, and the port of the chosen
// one obtained from the line service (open the line, place a pass-through
// data call, ask for the "comm/datamodem" handle), configured and checked with
// "AT".
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "link/modem_context.h"
#include "platform/comm/port.h"
#include "platform/telephony/line_directory.h"

namespace norix::link {

// How long WaitForReply waits for a LINE_REPLY.
inline constexpr std::chrono::milliseconds kReplyWaitLimit{2000};
// The read constant a checked port keeps after the "AT" check.
inline constexpr std::uint32_t kOpenPortReadConstant = 2000;
// "AT" attempts when a port is checked: PC Card modems ("marlin" in the line
// name) take longer to wake up than the others.
inline constexpr int kAtAttemptsMarlin = 5;
inline constexpr int kAtAttempts = 2;
// Bounds on retries after errors the line service should not give: the
// exact version negotiation, lineOpen (with a tenth of a second between
// attempts) and lineGetID.
inline constexpr int kNegotiateAttempts = 3;
inline constexpr int kLineOpenAttempts = 3;
inline constexpr int kGetIdAttempts = 3;

// Where the program's line devices come from: the folder of its lines.conf
// files ($XDG_CONFIG_HOME/norix/lines.conf, /etc/norix/lines.conf) and the
// word the name of a USB serial device of the maker carries.
inline constexpr std::string_view kConfigFolder = "norix";
inline constexpr std::string_view kUsbNameWord = "NORIX";

// The line sources of this user's environment (LineSources::FromEnvironment
// with the two above).
[[nodiscard]] platform::telephony::LineSources ProductLineSources();

// Runs on the thread whose message loop will run the line callbacks (the
// main thread): initialises the line service with `lines` and lists the
// devices whose names mark them as the maker's and that support API version
// 1.4. Null when the service cannot be initialised or lists no such device.
[[nodiscard]] std::unique_ptr<ModemContext> OpenContext(
    const platform::telephony::LineDirectory& lines);

// Closes a port that is still open, shuts the line service down and frees
// the context. Null is accepted.
void CloseContext(std::unique_ptr<ModemContext> context);

// Opens the port of context.currentDeviceId (closing one that is still
// open). The caller sets currentDeviceId and, for the "AT" attempts,
// selectedIndex first. Quick mode stops once the port is obtained; otherwise
// the port is configured at `speed`, checked with "AT" (each attempt waits
// the 1000 ms read constant), given the 2000 ms read constant and asked for
// "AT+GCI?" support. Returns the port, or null after undoing everything when
// any step failed; context.portFailure tells why when the port itself could
// not be opened, context.checkHeardOther whether the failed check received
// bytes that were no final result code. Blocks the calling thread: up to 2 s for the call reply,
// and about 2 s (5 s for a PC Card modem) for a silent product.
platform::comm::Port* OpenDevicePort(ModemContext& context, std::uint32_t speed, bool quick);

// The registry key of the modem driver of line device `device`, as the
// device reports it, without opening it; none when it reports none.
[[nodiscard]] std::optional<std::string> DeviceDriverKey(const ModemContext& context,
                                                         std::uint32_t device);

// Writes context.portFailure to standard error ("norix: NORIX Corvid 560
// Voice: cannot open /dev/ttyUSB0: ..."); nothing when the last
// OpenDevicePort got its port. The message box the user sees keeps its text.
void ReportPortFailure(const ModemContext& context);

// Drops and frees the call, closes the line, forgets the driver key and
// closes the port; clears the GCI and port-from-telephony flags. Waits up to
// 2 s for the drop's reply.
void CloseDevicePort(ModemContext& context);

// Waits up to kReplyWaitLimit for the LINE_REPLY of request `requestId`
// while messages sent from other threads run (the line callbacks, a page
// close). Posted messages, window and thread messages alike, are kept and
// posted again in their order when the wait ends, so a page's input never
// runs in the middle of its port work.
// Returns the reply's result, LINEERR_OPERATIONFAILED after the time limit,
// or `requestId` itself when it is not positive (an error code or 0).
std::int32_t WaitForReply(ModemContext& context, std::int32_t requestId);

// The line name from its bytes in the capabilities record. A name whose last
// byte is not its terminator loses that byte; a properly terminated one gets
// the first "corvid" written "Corvid".
[[nodiscard]] std::string TakeLineName(std::span<const std::byte> nameBytes);

// A maker's device: the name begins with "NORIX" or "solano 1280", in any case.
[[nodiscard]] bool IsMakersDevice(std::string_view name);

}  // namespace norix::link
