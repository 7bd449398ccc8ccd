// The line service's state: applications, open lines, calls and unclaimed
// comm handles, kept in one process-wide table (like the handle tables of the
// window layer) so that handles work from any thread and an open line holds
// its device against every other open in the process.
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <map>
#include <mutex>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/comm/serial_port.h"
#include "platform/comm/traced_port.h"
#include "platform/telephony/line_api.h"
#include "platform/window/message_loop.h"
#include "platform/window/thread_queue.h"

namespace norix::platform::telephony {

namespace {

// The provider info names the port, so that a listing can show it without
// opening the line.
constexpr std::string_view kProviderInfo = "Serial modem line on ";
constexpr DWORD kMaxRate = 115200;
constexpr std::string_view kDataModemClass = "comm/datamodem";
constexpr std::string_view kPortNameClass = "comm/datamodem/portname";

// The callback of one application, shared with the deliveries queued on its
// thread, so that a delivery that runs after lineShutdown finds no callback.
struct Delivery {
  std::recursive_mutex mutex;
  LINECALLBACK callback;  // empty once the application has shut down
  // Queued callbacks are fire-and-forget; their completions need a queue to
  // complete on, and this one is never waited on.
  std::shared_ptr<window::ThreadQueue> completionSink = std::make_shared<window::ThreadQueue>(0);
};

struct App {
  std::vector<LineDevice> devices;
  std::shared_ptr<comm::PortTrace> trace;  // null: the ports are not traced
  PortOpener openPort;  // the directory's at lineInitialize
  window::ThreadId thread = 0;
  std::shared_ptr<Delivery> delivery;
  LONG lastRequest = 0;
  std::map<DWORD, comm::PortOpenFailure> portFailures;  // by device, from the last try
};

struct Line {
  HLINEAPP app = 0;
  DWORD deviceId = 0;
  std::string portIdentity;          // the opened port's path, resolved
  std::unique_ptr<comm::Port> port;  // until a comm handle takes it over
  DWORD commHandle = 0;              // the last handle made for this line
  DWORD_PTR instance = 0;
  HCALL call = 0;
};

struct Call {
  HLINE line = 0;
  DWORD state = LINECALLSTATE_IDLE;
};

struct CommHandle {
  HLINE line = 0;
  std::unique_ptr<comm::Port> port;
};

// A callback message waiting to be handed to an application's thread.
struct Notice {
  window::ThreadId thread = 0;
  std::shared_ptr<Delivery> delivery;
  DWORD_PTR device = 0;
  DWORD message = 0;
  DWORD_PTR instance = 0;
  DWORD_PTR param1 = 0;
  DWORD_PTR param2 = 0;
  DWORD_PTR param3 = 0;
};

LONG OpenErrorToLineErr(int error) {
  switch (error) {
    case EBUSY:
      return LINEERR_ALLOCATED;
    case ENOENT:
    case ENODEV:
    case ENXIO:
      return LINEERR_NODEVICE;
    default:
      return LINEERR_OPERATIONFAILED;
  }
}

}  // namespace

class LineService {
 public:
  static LineService& Instance() {
    static auto* const service = new LineService;  // deliberately never destroyed
    return *service;
  }

  LONG Initialize(HLINEAPP* lineApp, const LineDirectory& directory, LINECALLBACK callback,
                  DWORD* numDevs) {
    if (lineApp == nullptr || numDevs == nullptr || !callback) {
      return LINEERR_INVALPOINTER;
    }
    App app;
    app.devices = directory.Collect();
    app.trace = directory.PortTrace();
    app.openPort = directory.Opener();
    app.thread = window::GetCurrentThreadId();
    app.delivery = std::make_shared<Delivery>();
    app.delivery->callback = std::move(callback);
    const std::lock_guard lock(mutex_);
    const HLINEAPP handle = NextHandle();
    *numDevs = static_cast<DWORD>(app.devices.size());
    apps_.emplace(handle, std::move(app));
    *lineApp = handle;
    return 0;
  }

  LONG Shutdown(HLINEAPP lineApp) {
    std::shared_ptr<Delivery> delivery;
    {
      const std::lock_guard lock(mutex_);
      const auto app = apps_.find(lineApp);
      if (app == apps_.end()) {
        return LINEERR_INVALAPPHANDLE;
      }
      std::vector<HLINE> lines;
      for (const auto& [handle, line] : lines_) {
        if (line.app == lineApp) {
          lines.push_back(handle);
        }
      }
      for (const HLINE line : lines) {
        CloseLocked(line);
      }
      delivery = app->second.delivery;
      apps_.erase(app);
    }
    const std::lock_guard lock(delivery->mutex);
    delivery->callback = nullptr;
    return 0;
  }

  LONG Negotiate(HLINEAPP lineApp, DWORD deviceId, DWORD low, DWORD high, DWORD* version,
                 LINEEXTENSIONID* extensionId) {
    const std::lock_guard lock(mutex_);
    const LineDevice* device = nullptr;
    if (const LONG error = FindDevice(lineApp, deviceId, device); error != 0) {
      return error;
    }
    if (version == nullptr || extensionId == nullptr) {
      return LINEERR_INVALPOINTER;
    }
    *extensionId = LINEEXTENSIONID{};
    const DWORD agreed = std::min(high, device->apiHigh);
    if (low > high || agreed < std::max(low, device->apiLow)) {
      return LINEERR_INCOMPATIBLEAPIVERSION;
    }
    *version = agreed;
    return 0;
  }

  LONG GetDevCaps(HLINEAPP lineApp, DWORD deviceId, DWORD apiVersion, DWORD extVersion,
                  LineDevCaps* caps) {
    const std::lock_guard lock(mutex_);
    const LineDevice* device = nullptr;
    if (const LONG error = FindDevice(lineApp, deviceId, device); error != 0) {
      return error;
    }
    if (const LONG error = CheckVersions(*device, apiVersion, extVersion); error != 0) {
      return error;
    }
    if (caps == nullptr) {
      return LINEERR_INVALPOINTER;
    }
    if (caps->TotalSize() < LineDevCaps::kFixedSize) {
      return LINEERR_STRUCTURETOOSMALL;
    }
    const std::vector<std::byte> provider = AsciiPart(std::string(kProviderInfo) + device->port);
    const std::vector<std::byte> name = AsciiPart(device->name);
    std::vector<std::byte> devSpecific;
    if (device->driverKey) {
      // {contents, offset of the key text from the start of the part, key}
      const std::vector<std::byte> key = AsciiPart(*device->driverKey);
      devSpecific.resize(8);
      const DWORD contents = 1;
      const DWORD keyOffset = 8;
      std::memcpy(devSpecific.data(), &contents, sizeof contents);
      std::memcpy(devSpecific.data() + 4, &keyOffset, sizeof keyOffset);
      devSpecific.insert(devSpecific.end(), key.begin(), key.end());
    }
    const DWORD needed = LineDevCaps::kFixedSize +
                         static_cast<DWORD>(provider.size() + name.size() + devSpecific.size());
    caps->Clear();
    caps->SetField(VarRecord::kNeededSize, needed);
    caps->SetField(LineDevCaps::kPermanentLineId, deviceId + 1);
    caps->SetField(LineDevCaps::kStringFormat, STRINGFORMAT_ASCII);
    caps->SetField(LineDevCaps::kAddressModes, LINEADDRESSMODE_ADDRESSID);
    caps->SetField(LineDevCaps::kNumAddresses, 1);
    caps->SetField(LineDevCaps::kBearerModes, LINEBEARERMODE_VOICE | LINEBEARERMODE_PASSTHROUGH);
    caps->SetField(LineDevCaps::kMaxRate, kMaxRate);
    caps->SetField(LineDevCaps::kMediaModes, LINEMEDIAMODE_DATAMODEM);
    DWORD used = LineDevCaps::kFixedSize;
    if (needed <= caps->TotalSize()) {
      const auto put = [&](const std::vector<std::byte>& part, std::size_t sizeField) {
        if (!part.empty()) {
          caps->SetField(sizeField, static_cast<DWORD>(part.size()));
          caps->SetField(sizeField + 4, caps->PutPart(used, part));
        }
      };
      put(provider, LineDevCaps::kProviderInfoSize);
      put(name, LineDevCaps::kLineNameSize);
      put(devSpecific, LineDevCaps::kDevSpecificSize);
    }
    caps->SetField(VarRecord::kUsedSize, used);
    return 0;
  }

  LONG Open(HLINEAPP lineApp, DWORD deviceId, HLINE* lineOut, DWORD apiVersion, DWORD extVersion,
            DWORD_PTR instance, DWORD privileges, DWORD mediaModes) {
    const std::lock_guard lock(mutex_);
    const LineDevice* device = nullptr;
    if (const LONG error = FindDevice(lineApp, deviceId, device); error != 0) {
      return error;
    }
    if (const LONG error = CheckVersions(*device, apiVersion, extVersion); error != 0) {
      return error;
    }
    if (lineOut == nullptr) {
      return LINEERR_INVALPOINTER;
    }
    if (privileges != LINECALLPRIVILEGE_NONE && privileges != LINECALLPRIVILEGE_MONITOR &&
        privileges != LINECALLPRIVILEGE_OWNER) {
      return LINEERR_INVALPRIVSELECT;
    }
    if (mediaModes != 0 && (mediaModes & ~LINEMEDIAMODE_DATAMODEM) != 0) {
      return LINEERR_INVALMEDIAMODE;
    }
    comm::PortOpenFailure& failure = apps_.at(lineApp).portFailures[deviceId];
    failure = {};
    const std::string identity = ResolvePortPath(device->port);
    for (const auto& [handle, line] : lines_) {
      if (line.portIdentity == identity) {
        failure = {comm::OpenFailure::InUse,
                   "cannot open " + device->port + ": another open line of this program holds it"};
        return LINEERR_ALLOCATED;
      }
    }
    comm::OpenPortResult opened = apps_.at(lineApp).openPort(device->port);
    if (!opened.port) {
      failure = {opened.failure, std::move(opened.message)};
      return OpenErrorToLineErr(opened.error);
    }
    Line line;
    line.app = lineApp;
    line.deviceId = deviceId;
    line.portIdentity = identity;
    line.port = comm::TracePort(std::move(opened.port), apps_.at(lineApp).trace);
    line.instance = instance;
    const HLINE handle = NextHandle();
    lines_.emplace(handle, std::move(line));
    *lineOut = handle;
    return 0;
  }

  LONG Close(HLINE line) {
    const std::lock_guard lock(mutex_);
    if (lines_.find(line) == lines_.end()) {
      return LINEERR_INVALLINEHANDLE;
    }
    CloseLocked(line);
    return 0;
  }

  LONG MakeCall(HLINE lineHandle, HCALL* callOut, const LINECALLPARAMS* params) {
    Notice reply;
    Notice state;
    LONG request = 0;
    {
      const std::lock_guard lock(mutex_);
      const auto line = lines_.find(lineHandle);
      if (line == lines_.end()) {
        return LINEERR_INVALLINEHANDLE;
      }
      if (callOut == nullptr) {
        return LINEERR_INVALPOINTER;
      }
      if (params != nullptr && params->dwTotalSize < sizeof(LINECALLPARAMS)) {
        return LINEERR_INVALCALLPARAMS;
      }
      if (params == nullptr || params->dwBearerMode != LINEBEARERMODE_PASSTHROUGH) {
        return LINEERR_BEARERMODEUNAVAIL;
      }
      if (params->dwMediaMode != 0 && (params->dwMediaMode & ~LINEMEDIAMODE_DATAMODEM) != 0) {
        return LINEERR_INVALMEDIAMODE;
      }
      if (line->second.call != 0) {
        return LINEERR_CALLUNAVAIL;
      }
      const HCALL call = NextHandle();
      calls_.emplace(call, Call{lineHandle, LINECALLSTATE_CONNECTED});
      line->second.call = call;
      *callOut = call;
      request = NextRequest(line->second.app);
      reply = MakeNotice(line->second, 0, LINE_REPLY, static_cast<DWORD_PTR>(request), 0, 0);
      state = MakeNotice(line->second, call, LINE_CALLSTATE, LINECALLSTATE_CONNECTED, 0,
                         LINECALLPRIVILEGE_OWNER);
    }
    Deliver(reply);
    Deliver(state);
    return request;
  }

  LONG Drop(HCALL callHandle) {
    Notice reply;
    Notice state;
    LONG request = 0;
    {
      const std::lock_guard lock(mutex_);
      const auto call = calls_.find(callHandle);
      if (call == calls_.end()) {
        return LINEERR_INVALCALLHANDLE;
      }
      if (call->second.state == LINECALLSTATE_IDLE) {
        return LINEERR_INVALCALLSTATE;
      }
      call->second.state = LINECALLSTATE_IDLE;
      Line& line = lines_.at(call->second.line);
      request = NextRequest(line.app);
      reply = MakeNotice(line, 0, LINE_REPLY, static_cast<DWORD_PTR>(request), 0, 0);
      state = MakeNotice(line, callHandle, LINE_CALLSTATE, LINECALLSTATE_IDLE, 0, 0);
    }
    Deliver(reply);
    Deliver(state);
    return request;
  }

  LONG Deallocate(HCALL callHandle) {
    const std::lock_guard lock(mutex_);
    const auto call = calls_.find(callHandle);
    if (call == calls_.end()) {
      return LINEERR_INVALCALLHANDLE;
    }
    if (call->second.state != LINECALLSTATE_IDLE) {
      return LINEERR_INVALCALLSTATE;
    }
    lines_.at(call->second.line).call = 0;
    calls_.erase(call);
    return 0;
  }

  LONG GetId(HLINE lineHandle, DWORD addressId, HCALL callHandle, DWORD select, VarString* record,
             const char* deviceClass) {
    const std::lock_guard lock(mutex_);
    if (select == LINECALLSELECT_CALL) {
      const auto call = calls_.find(callHandle);
      if (call == calls_.end()) {
        return LINEERR_INVALCALLHANDLE;
      }
      lineHandle = call->second.line;
    } else if (select == LINECALLSELECT_ADDRESS) {
      if (addressId != 0) {
        return LINEERR_INVALCALLSELECT;
      }
    } else if (select != LINECALLSELECT_LINE) {
      return LINEERR_INVALCALLSELECT;
    }
    const auto found = lines_.find(lineHandle);
    if (found == lines_.end()) {
      return LINEERR_INVALLINEHANDLE;
    }
    Line& line = found->second;
    if (record == nullptr || deviceClass == nullptr) {
      return LINEERR_INVALPOINTER;
    }
    const std::string_view wanted = deviceClass;
    if (wanted != kDataModemClass && wanted != kPortNameClass) {
      return LINEERR_INVALDEVICECLASS;
    }
    if (record->TotalSize() < VarString::kFixedSize) {
      return LINEERR_STRUCTURETOOSMALL;
    }
    const LineDevice& device = apps_.at(line.app).devices.at(line.deviceId);
    const bool wantsHandle = wanted == kDataModemClass;
    const std::vector<std::byte> text = AsciiPart(wantsHandle ? device.name : device.port);
    const DWORD stringSize = static_cast<DWORD>(text.size()) + (wantsHandle ? 4U : 0U);
    const DWORD needed = VarString::kFixedSize + stringSize;
    record->Clear();
    record->SetField(VarRecord::kNeededSize, needed);
    record->SetField(VarString::kStringFormat,
                     wantsHandle ? STRINGFORMAT_BINARY : STRINGFORMAT_ASCII);
    DWORD used = VarString::kFixedSize;
    if (needed <= record->TotalSize()) {
      std::vector<std::byte> string;
      if (wantsHandle) {
        DWORD handle = 0;
        if (const LONG error = CommHandleFor(found->first, line, handle); error != 0) {
          record->Clear();
          return error;
        }
        string.resize(4);
        std::memcpy(string.data(), &handle, sizeof handle);
      }
      string.insert(string.end(), text.begin(), text.end());
      record->SetField(VarString::kStringSize, stringSize);
      record->SetField(VarString::kStringOffset, record->PutPart(used, string));
    }
    record->SetField(VarRecord::kUsedSize, used);
    return 0;
  }

  comm::PortOpenFailure LastPortFailure(HLINEAPP lineApp, DWORD deviceId) {
    const std::lock_guard lock(mutex_);
    const auto app = apps_.find(lineApp);
    if (app == apps_.end()) {
      return {};
    }
    const auto failure = app->second.portFailures.find(deviceId);
    return failure != app->second.portFailures.end() ? failure->second : comm::PortOpenFailure{};
  }

  std::unique_ptr<comm::Port> Claim(DWORD handle) {
    const std::lock_guard lock(mutex_);
    const auto found = commHandles_.find(handle);
    if (found == commHandles_.end()) {
      return nullptr;
    }
    std::unique_ptr<comm::Port> port = std::move(found->second.port);
    commHandles_.erase(found);
    return port;
  }

 private:
  LineService() = default;

  std::uintptr_t NextHandle() { return ++lastHandle_; }

  LONG NextRequest(HLINEAPP lineApp) {
    App& app = apps_.at(lineApp);
    app.lastRequest = app.lastRequest == std::numeric_limits<LONG>::max() ? 1 : app.lastRequest + 1;
    return app.lastRequest;
  }

  LONG FindDevice(HLINEAPP lineApp, DWORD deviceId, const LineDevice*& device) const {
    const auto app = apps_.find(lineApp);
    if (app == apps_.end()) {
      return LINEERR_INVALAPPHANDLE;
    }
    if (deviceId >= app->second.devices.size()) {
      return LINEERR_BADDEVICEID;
    }
    device = &app->second.devices[deviceId];
    return 0;
  }

  static LONG CheckVersions(const LineDevice& device, DWORD apiVersion, DWORD extVersion) {
    if (apiVersion < device.apiLow || apiVersion > device.apiHigh) {
      return LINEERR_INCOMPATIBLEAPIVERSION;
    }
    return extVersion == 0 ? 0 : LINEERR_INCOMPATIBLEEXTVERSION;
  }

  // The handle of the line's unclaimed port, or a new one: for the port
  // opened with the line, or, once that was claimed, for a fresh open.
  LONG CommHandleFor(HLINE lineHandle, Line& line, DWORD& handle) {
    if (line.commHandle != 0 && commHandles_.count(line.commHandle) != 0) {
      handle = line.commHandle;
      return 0;
    }
    std::unique_ptr<comm::Port> port = std::move(line.port);
    if (!port) {
      const App& app = apps_.at(line.app);
      comm::OpenPortResult opened = app.openPort(app.devices.at(line.deviceId).port);
      comm::PortOpenFailure& failure = apps_.at(line.app).portFailures[line.deviceId];
      failure = {opened.failure, std::move(opened.message)};
      if (!opened.port) {
        return opened.error == EBUSY ? LINEERR_RESOURCEUNAVAIL : OpenErrorToLineErr(opened.error);
      }
      port = comm::TracePort(std::move(opened.port), apps_.at(line.app).trace);
    }
    ++lastCommHandle_;
    if (lastCommHandle_ == 0) {
      ++lastCommHandle_;
    }
    handle = lastCommHandle_;
    line.commHandle = handle;
    commHandles_.emplace(handle, CommHandle{lineHandle, std::move(port)});
    return 0;
  }

  void CloseLocked(HLINE lineHandle) {
    const auto line = lines_.find(lineHandle);
    if (line->second.call != 0) {
      calls_.erase(line->second.call);
    }
    std::erase_if(commHandles_, [&](const auto& entry) { return entry.second.line == lineHandle; });
    lines_.erase(line);
  }

  Notice MakeNotice(const Line& line, DWORD_PTR device, DWORD message, DWORD_PTR param1,
                    DWORD_PTR param2, DWORD_PTR param3) const {
    const App& app = apps_.at(line.app);
    return Notice{app.thread, app.delivery, device, message, line.instance, param1, param2, param3};
  }

  // Queues the callback on the application's thread; it runs when that
  // thread next takes or waits for messages. Called without the lock.
  static void Deliver(const Notice& notice) {
    const auto queue = window::FindThreadQueue(notice.thread);
    if (!queue) {
      return;  // the thread has ended: nobody is there to be told
    }
    auto completion = std::make_shared<window::Completion>(notice.delivery->completionSink);
    queue->Send(
        window::kNullHwnd,
        [notice]() -> window::LRESULT {
          const std::lock_guard lock(notice.delivery->mutex);
          if (notice.delivery->callback) {
            const LINECALLBACK callback = notice.delivery->callback;
            callback(notice.device, notice.message, notice.instance, notice.param1, notice.param2,
                     notice.param3);
          }
          return 0;
        },
        std::move(completion));
  }

  std::mutex mutex_;
  std::uintptr_t lastHandle_ = 0x1000;
  DWORD lastCommHandle_ = 0;
  std::map<HLINEAPP, App> apps_;
  std::map<HLINE, Line> lines_;
  std::map<HCALL, Call> calls_;
  std::map<DWORD, CommHandle> commHandles_;
};

LONG lineInitialize(HLINEAPP* lineApp, const LineDirectory& directory, LINECALLBACK callback,
                    const char* /*appName*/, DWORD* numDevs) {
  return LineService::Instance().Initialize(lineApp, directory, std::move(callback), numDevs);
}

LONG lineShutdown(HLINEAPP lineApp) { return LineService::Instance().Shutdown(lineApp); }

LONG lineNegotiateAPIVersion(HLINEAPP lineApp, DWORD deviceID, DWORD apiLowVersion,
                             DWORD apiHighVersion, DWORD* apiVersion,
                             LINEEXTENSIONID* extensionID) {
  return LineService::Instance().Negotiate(lineApp, deviceID, apiLowVersion, apiHighVersion,
                                           apiVersion, extensionID);
}

LONG lineGetDevCaps(HLINEAPP lineApp, DWORD deviceID, DWORD apiVersion, DWORD extVersion,
                    LineDevCaps* lineDevCaps) {
  return LineService::Instance().GetDevCaps(lineApp, deviceID, apiVersion, extVersion, lineDevCaps);
}

LONG lineOpen(HLINEAPP lineApp, DWORD deviceID, HLINE* line, DWORD apiVersion, DWORD extVersion,
              DWORD_PTR callbackInstance, DWORD privileges, DWORD mediaModes,
              const LINECALLPARAMS* /*callParams*/) {
  return LineService::Instance().Open(lineApp, deviceID, line, apiVersion, extVersion,
                                      callbackInstance, privileges, mediaModes);
}

LONG lineClose(HLINE line) { return LineService::Instance().Close(line); }

LONG lineMakeCall(HLINE line, HCALL* call, const char* /*destAddress*/, DWORD /*countryCode*/,
                  const LINECALLPARAMS* callParams) {
  return LineService::Instance().MakeCall(line, call, callParams);
}

LONG lineDrop(HCALL call, const char* /*userUserInfo*/, DWORD /*size*/) {
  return LineService::Instance().Drop(call);
}

LONG lineDeallocateCall(HCALL call) { return LineService::Instance().Deallocate(call); }

LONG lineGetID(HLINE line, DWORD addressID, HCALL call, DWORD select, VarString* deviceID,
               const char* deviceClass) {
  return LineService::Instance().GetId(line, addressID, call, select, deviceID, deviceClass);
}

comm::PortOpenFailure LastPortFailure(HLINEAPP lineApp, DWORD deviceID) {
  return LineService::Instance().LastPortFailure(lineApp, deviceID);
}

std::unique_ptr<comm::Port> ClaimCommPort(DWORD commHandle) {
  return LineService::Instance().Claim(commHandle);
}

}  // namespace norix::platform::telephony
