#include "link/telephony_devices.h"

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <utility>
#include <vector>

#include "link/at_exchange.h"
#include "link/port_io.h"
#include "platform/ascii/ascii_text.h"
#include "platform/comm/forwarding_port.h"
#include "platform/telephony/line_api.h"
#include "platform/window/message_loop.h"
#include "platform/window/thread_queue.h"

namespace norix::link {

namespace tapi = platform::telephony;
namespace window = platform::window;

namespace {

constexpr char kAppName[] = "Tivano";
constexpr tapi::DWORD kDevCapsStartSize = 1264;
constexpr tapi::DWORD kDeviceIdStartSize = 1048;
// The service asks for a larger capabilities record at most once per change
// of its contents; more rounds than this mean it misbehaves.
constexpr int kDevCapsAttempts = 4;
// Replies nobody waited for are kept this long in case their wait is about
// to begin.
constexpr std::size_t kUnownedRepliesKept = 16;

// The debugger line of the original system; shown on stderr when
// NORIX_DEBUG is set.
void DebugOutput(const char* text) {
  static const bool enabled =
      std::getenv("NORIX_DEBUG") != nullptr;  // NOLINT(concurrency-mt-unsafe)
  if (enabled) {
    std::cerr << text << std::flush;
  }
}

void OnLineReply(ReplyWaitState& state, std::int32_t requestId, std::int32_t result) {
  const std::lock_guard lock(state.mutex);
  for (ReplyWaitState::Wait& wait : state.waits) {
    if (wait.requestId == requestId && !wait.arrived) {
      wait.arrived = true;
      wait.result = result;
      // Wakes the waiting thread from its message wait.
      window::PostThreadMessage(wait.thread, window::WM_NULL, 0, 0);
      return;
    }
  }
  // The wait for it has not begun yet (the reply can overtake the return of
  // the request on another thread) or has given up already.
  state.unowned.push_back({requestId, result});
  if (state.unowned.size() > kUnownedRepliesKept) {
    state.unowned.pop_front();
  }
}

void LineCallback(ModemContext& context, tapi::DWORD message, tapi::DWORD_PTR param1,
                  tapi::DWORD_PTR param2) {
  if (message == tapi::LINE_REPLY) {
    OnLineReply(context.replyWait, static_cast<std::int32_t>(param1),
                static_cast<std::int32_t>(static_cast<tapi::DWORD>(param2)));
    return;
  }
  DebugOutput("lineCallbackFunc message ignored\n");
}

// Negotiates exactly version 1.4 for the current device. Errors other than
// "incompatible" are retried a few times.
tapi::LONG NegotiateExact14(const ModemContext& context) {
  tapi::LONG result = tapi::LINEERR_OPERATIONFAILED;
  for (int attempt = 0; attempt < kNegotiateAttempts; ++attempt) {
    tapi::DWORD version = 0;
    tapi::LINEEXTENSIONID extension;
    result =
        tapi::lineNegotiateAPIVersion(context.lineApp, context.currentDeviceId, tapi::kApiVersion14,
                                      tapi::kApiVersion14, &version, &extension);
    if (result == 0 || result == tapi::LINEERR_INCOMPATIBLEAPIVERSION) {
      break;
    }
  }
  return result;
}

// Gets the capabilities, growing the record to the size the service needs.
tapi::LONG GetDevCaps(tapi::HLINEAPP app, tapi::DWORD device, tapi::DWORD version,
                      tapi::LineDevCaps& caps) {
  for (int attempt = 0; attempt < kDevCapsAttempts; ++attempt) {
    const tapi::LONG result = tapi::lineGetDevCaps(app, device, version, 0, &caps);
    if (result != 0 || caps.NeededSize() <= caps.TotalSize()) {
      return result;
    }
    caps.Resize(caps.NeededSize());
  }
  return tapi::LINEERR_STRUCTURETOOSMALL;
}

// The driver key from the device-specific part: {non-zero word, offset of
// the key text from the start of the part, ...}.
std::optional<std::string> DriverKeyFrom(std::span<const std::byte> part) {
  if (tapi::ReadDword(part, 0) == 0) {
    return std::nullopt;
  }
  const tapi::DWORD offset = tapi::ReadDword(part, 4);
  if (offset < 8 || offset >= part.size()) {
    return std::nullopt;
  }
  std::string key;
  for (const std::byte b : part.subspan(offset)) {
    if (b == std::byte{0}) {
      break;
    }
    key.push_back(static_cast<char>(b));
  }
  return key;
}

tapi::LINECALLPARAMS PassThroughCallParams() {
  tapi::LINECALLPARAMS params;
  params.dwTotalSize = sizeof(tapi::LINECALLPARAMS);
  params.dwBearerMode = tapi::LINEBEARERMODE_PASSTHROUGH;
  params.dwMediaMode = tapi::LINEMEDIAMODE_DATAMODEM;
  params.dwCallParamFlags = tapi::LINECALLPARAMFLAGS_IDLE;
  params.dwAddressMode = tapi::LINEADDRESSMODE_ADDRESSID;
  return params;
}

// lineOpen until it succeeds or says the device is held by someone else.
bool OpenLine(ModemContext& context) {
  for (int attempt = 0; attempt < kLineOpenAttempts; ++attempt) {
    if (attempt > 0) {
      WaitTenths(1);
    }
    tapi::HLINE line = 0;
    const tapi::LONG result =
        tapi::lineOpen(context.lineApp, context.currentDeviceId, &line, tapi::kApiVersion14, 0, 0,
                       tapi::LINECALLPRIVILEGE_NONE, tapi::LINEMEDIAMODE_DATAMODEM, nullptr);
    if (result == 0) {
      context.line = line;
      return true;
    }
    if (result == tapi::LINEERR_ALLOCATED) {
      return false;
    }
  }
  return false;
}

// Why the line service could not open the current device's port, with the
// device's name in front.
platform::comm::PortOpenFailure PortFailureOf(const ModemContext& context) {
  platform::comm::PortOpenFailure failure =
      tapi::LastPortFailure(context.lineApp, context.currentDeviceId);
  if (failure.kind == platform::comm::OpenFailure::None) {
    return failure;
  }
  const auto device = std::find_if(
      context.devices.begin(), context.devices.end(),
      [&](const ModemListEntry& entry) { return entry.lineDeviceId == context.currentDeviceId; });
  if (device != context.devices.end()) {
    failure.message = device->name + ": " + failure.message;
  }
  return failure;
}

// The "comm/datamodem" handle of the open line, redeemed for its port.
std::unique_ptr<platform::comm::Port> GetLinePort(const ModemContext& context) {
  tapi::VarString id(kDeviceIdStartSize);
  for (int attempt = 0; attempt < kGetIdAttempts; ++attempt) {
    const tapi::LONG result =
        tapi::lineGetID(context.line, 0, 0, tapi::LINECALLSELECT_LINE, &id, "comm/datamodem");
    if (result != 0) {
      continue;
    }
    if (id.NeededSize() > id.TotalSize()) {
      id.Resize(id.NeededSize());
      continue;
    }
    const auto string = id.String();
    if (string.size() < sizeof(tapi::DWORD)) {
      return nullptr;
    }
    return tapi::ClaimCommPort(tapi::ReadDword(string));
  }
  return nullptr;
}

// The product's port during the "AT" check: counts what comes in, so that a
// check that failed can tell silence from an answer it did not understand.
class CountingPort final : public platform::comm::ForwardingPort {
 public:
  using ForwardingPort::ForwardingPort;

  [[nodiscard]] std::size_t Received() const { return received_; }

  [[nodiscard]] platform::comm::IoResult Read(std::span<std::uint8_t> buffer,
                                              std::chrono::milliseconds waitLimit) override {
    const platform::comm::IoResult result = Inner().Read(buffer, waitLimit);
    received_ += result.count;
    return result;
  }

 private:
  std::size_t received_ = 0;
};

int AtAttemptsFor(const ModemContext& context) {
  const auto index = context.selectedIndex;
  if (index >= 0 && static_cast<std::size_t>(index) < context.devices.size() &&
      platform::ascii::ContainsNoCase(context.devices[static_cast<std::size_t>(index)].name,
                                      "marlin")) {
    return kAtAttemptsMarlin;
  }
  return kAtAttempts;
}

}  // namespace

std::string TakeLineName(std::span<const std::byte> nameBytes) {
  std::string name;
  name.reserve(nameBytes.size());
  for (const std::byte b : nameBytes) {
    name.push_back(static_cast<char>(b));
  }
  if (name.empty()) {
    return name;
  }
  const bool terminated = name.back() == '\0';
  name.resize(std::min(name.find('\0'), name.size() - (terminated ? 0 : 1)));
  if (terminated) {
    if (const auto corvid = name.find("corvid"); corvid != std::string::npos) {
      name[corvid] = 'C';
    }
  }
  return name;
}

bool IsMakersDevice(std::string_view name) {
  return platform::ascii::StartsWithNoCase(name, "NORIX") ||
         platform::ascii::StartsWithNoCase(name, "solano 1280");
}

platform::telephony::LineSources ProductLineSources() {
  return platform::telephony::LineSources::FromEnvironment(std::string(kConfigFolder),
                                                           std::string(kUsbNameWord));
}

std::unique_ptr<ModemContext> OpenContext(const tapi::LineDirectory& lines) {
  auto context = std::make_unique<ModemContext>();
  ModemContext* const raw = context.get();
  tapi::HLINEAPP app = 0;
  tapi::DWORD count = 0;
  const tapi::LONG result = tapi::lineInitialize(
      &app, lines,
      [raw](tapi::DWORD_PTR, tapi::DWORD message, tapi::DWORD_PTR, tapi::DWORD_PTR param1,
            tapi::DWORD_PTR param2,
            tapi::DWORD_PTR) { LineCallback(*raw, message, param1, param2); },
      kAppName, &count);
  if (result != 0) {
    return nullptr;
  }
  context->lineApp = app;
  context->lineDeviceCount = count;

  tapi::LineDevCaps caps(kDevCapsStartSize);
  for (tapi::DWORD device = 0; device < count; ++device) {
    tapi::DWORD version = 0;
    tapi::LINEEXTENSIONID extension;
    if (tapi::lineNegotiateAPIVersion(app, device, tapi::kApiVersion13, tapi::kApiVersion14,
                                      &version, &extension) != 0 ||
        GetDevCaps(app, device, version, caps) != 0) {
      continue;
    }
    std::string name;
    if (caps.LineNameSize() != 0 && caps.LineNameOffset() != 0 &&
        caps.StringFormat() == tapi::STRINGFORMAT_ASCII) {
      name = TakeLineName(caps.LineName());
    }
    if (name.empty() || !IsMakersDevice(name)) {
      continue;
    }
    context->currentDeviceId = device;
    if (NegotiateExact14(*context) == 0) {
      context->devices.push_back({std::move(name), device});
    }
  }
  if (context->devices.empty()) {
    tapi::lineShutdown(app);
    return nullptr;
  }
  return context;
}

void CloseContext(std::unique_ptr<ModemContext> context) {
  if (!context) {
    return;
  }
  CloseDevicePort(*context);
  context->devices.clear();
  if (context->lineApp != 0) {
    tapi::lineShutdown(context->lineApp);
    context->lineApp = 0;
  }
}

std::optional<std::string> DeviceDriverKey(const ModemContext& context, std::uint32_t device) {
  tapi::LineDevCaps caps(kDevCapsStartSize);
  if (GetDevCaps(context.lineApp, device, tapi::kApiVersion14, caps) != 0) {
    return std::nullopt;
  }
  return DriverKeyFrom(caps.DevSpecific());
}

platform::comm::Port* OpenDevicePort(ModemContext& context, std::uint32_t speed, bool quick) {
  // One device port at a time: whatever an earlier open left is released.
  CloseDevicePort(context);
  context.portFailure = {};
  context.checkHeardOther = false;

  if (NegotiateExact14(context) != 0) {
    return nullptr;
  }
  {
    tapi::LineDevCaps caps(kDevCapsStartSize);
    if (GetDevCaps(context.lineApp, context.currentDeviceId, tapi::kApiVersion14, caps) == 0) {
      context.driverKey = DriverKeyFrom(caps.DevSpecific());
    }
  }
  if (!OpenLine(context)) {
    context.portFailure = PortFailureOf(context);
    CloseDevicePort(context);
    return nullptr;
  }

  context.callParams = PassThroughCallParams();
  tapi::HCALL call = 0;
  const tapi::LONG request =
      tapi::lineMakeCall(context.line, &call, nullptr, 0, &*context.callParams);
  if (request < 0) {
    CloseDevicePort(context);
    return nullptr;
  }
  WaitForReply(context, request);  // the call's outcome shows in the port that follows
  context.call = call;

  context.port = GetLinePort(context);
  if (!context.port) {
    context.portFailure = PortFailureOf(context);
    CloseDevicePort(context);
    return nullptr;
  }
  context.portFromTelephony = true;
  platform::comm::Port* const port = context.port.get();
  if (quick) {
    return port;
  }

  ConfigurePort(port, speed);
  AtResult result = AtResult::NoReply;
  std::string reply;
  CountingPort counted(*port);
  for (int attempt = AtAttemptsFor(context); attempt > 0 && result == AtResult::NoReply;
       --attempt) {
    result = SendAtCommand(&counted, "AT", reply);
  }
  if (result != AtResult::Ok) {
    CloseDevicePort(context);
    context.checkHeardOther = result == AtResult::NoReply && counted.Received() > 0;
    return nullptr;
  }
  SetReadTimeout(port, kOpenPortReadConstant);
  context.gciSupport = QueryGciSupport(port) == 1;
  return port;
}

void ReportPortFailure(const ModemContext& context) {
  if (context.portFailure.kind != platform::comm::OpenFailure::None) {
    std::cerr << "norix: " + context.portFailure.message + '\n' << std::flush;
  }
}

void CloseDevicePort(ModemContext& context) {
  // The line and call are released whether or not a port came out of them,
  // so that a failed open does not keep the device allocated.
  if (context.call != 0) {
    WaitForReply(context, tapi::lineDrop(context.call, nullptr, 0));
    tapi::lineDeallocateCall(context.call);
    context.call = 0;
  }
  context.callParams.reset();
  if (context.line != 0) {
    tapi::lineClose(context.line);
    context.line = 0;
  }
  context.driverKey.reset();
  context.port.reset();
  context.portFromTelephony = false;
  context.gciSupport = false;
}

std::int32_t WaitForReply(ModemContext& context, std::int32_t requestId) {
  if (requestId <= 0) {
    return requestId;
  }
  ReplyWaitState& state = context.replyWait;
  const window::ThreadId thread = window::GetCurrentThreadId();
  {
    const std::lock_guard lock(state.mutex);
    const auto early = std::find_if(state.unowned.begin(), state.unowned.end(),
                                    [&](const auto& r) { return r.requestId == requestId; });
    if (early != state.unowned.end()) {
      const std::int32_t result = early->result;
      state.unowned.erase(early);
      return result;
    }
    state.waits.push_back({requestId, thread, false, tapi::LINEERR_OPERATIONFAILED});
  }

  const auto deadline = std::chrono::steady_clock::now() + kReplyWaitLimit;
  // Everything posted to this thread while it waits is kept for later: a
  // page's own input (Esc, a click) must not run in the middle of the port
  // work that waits here. Messages sent from other threads (the line
  // callbacks, the navigator's close) still run in the wait.
  std::vector<window::Message> kept;
  std::optional<int> quitCode;
  std::int32_t result = tapi::LINEERR_OPERATIONFAILED;
  for (;;) {
    {
      const std::lock_guard lock(state.mutex);
      const auto wait = std::find_if(state.waits.begin(), state.waits.end(), [&](const auto& w) {
        return w.requestId == requestId && w.thread == thread;
      });
      const bool arrived = wait->arrived;
      if (arrived || std::chrono::steady_clock::now() >= deadline) {
        result = wait->result;
        state.waits.erase(wait);
        break;
      }
    }
    if (!window::MsgWaitForMessage(deadline)) {
      continue;
    }
    window::Message message;
    if (!window::PeekMessage(message, window::PM_REMOVE)) {
      continue;
    }
    if (message.hwnd == window::kNullHwnd && message.message == window::WM_QUIT) {
      quitCode = static_cast<int>(message.wParam);
    } else if (message.hwnd != window::kNullHwnd || message.message != window::WM_NULL) {
      kept.push_back(message);
    }
  }
  // In front of what was posted after the wait ended, so the order holds.
  window::CurrentThreadQueue()->PutBack(kept);
  if (quitCode) {
    window::PostQuitMessage(*quitCode);
  }
  return result;
}

}  // namespace norix::link
