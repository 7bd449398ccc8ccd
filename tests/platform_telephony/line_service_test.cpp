// The line calls over devices served on ptys: versions, capabilities with
// their needed sizes, exclusive opens, the pass-through call with its
// asynchronous replies, and the hand-over of the port.
#include <algorithm>
#include <array>
#include <chrono>
#include <cstring>
#include <mutex>
#include <sstream>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/comm/pty_line.h"
#include "platform/comm/serial_port.h"
#include "platform/telephony/line_api.h"
#include "platform/window/message_loop.h"
#include "platform_telephony/message_loop_thread.h"

namespace norix::platform::telephony {
namespace {

struct Received {
  DWORD_PTR device = 0;
  DWORD message = 0;
  DWORD_PTR instance = 0;
  DWORD_PTR param1 = 0;
  DWORD_PTR param2 = 0;
  DWORD_PTR param3 = 0;
  std::thread::id thread;
};

// What the callback was given, from whichever thread it ran on.
class Recorder {
 public:
  LINECALLBACK Callback() {
    return [this](DWORD_PTR device, DWORD message, DWORD_PTR instance, DWORD_PTR p1, DWORD_PTR p2,
                  DWORD_PTR p3) {
      const std::lock_guard lock(mutex_);
      received_.push_back({device, message, instance, p1, p2, p3, std::this_thread::get_id()});
    };
  }
  std::vector<Received> Take() {
    const std::lock_guard lock(mutex_);
    return std::exchange(received_, {});
  }

 private:
  std::mutex mutex_;
  std::vector<Received> received_;
};

// Runs what the line service queued for the calling thread.
void Pump() {
  window::Message message;
  while (window::PeekMessage(message, window::PM_REMOVE)) {
  }
}

std::string Text(std::span<const std::byte> bytes) {
  std::string text;
  for (const std::byte b : bytes) {
    text.push_back(static_cast<char>(b));
  }
  return text;
}

LINECALLPARAMS PassThrough() {
  LINECALLPARAMS params;
  params.dwTotalSize = sizeof params;
  params.dwBearerMode = LINEBEARERMODE_PASSTHROUGH;
  params.dwMediaMode = LINEMEDIAMODE_DATAMODEM;
  params.dwCallParamFlags = LINECALLPARAMFLAGS_IDLE;
  params.dwAddressMode = LINEADDRESSMODE_ADDRESSID;
  return params;
}

// Three devices on ptys: a 1.3-1.4 one with a driver key, a 1.3-only one,
// and one whose port does not exist.
class LineCalls : public ::testing::Test {
 protected:
  void SetUp() override {
    for (auto& pty : ptys) {
      pty = comm::OpenPtyLine();
      ASSERT_NE(pty.device, nullptr) << pty.message;
    }
    ASSERT_EQ(directory.AddLine({"NORIX Corvid 560V USB", ptys[0].slavePath, kApiVersion13,
                                 kApiVersion14, std::string("Modem\\0003")}),
              "");
    ASSERT_EQ(directory.AddLine({"NORIX Old", ptys[1].slavePath, kApiVersion13, kApiVersion13, {}}),
              "");
    ASSERT_EQ(directory.AddLine(
                  {"NORIX Gone", "/dev/norix-no-such-port", kApiVersion13, kApiVersion14, {}}),
              "");
  }
  void TearDown() override {
    if (app != 0) {
      EXPECT_EQ(lineShutdown(app), 0);
    }
  }

  void Initialise() {
    DWORD count = 0;
    ASSERT_EQ(lineInitialize(&app, directory, recorder.Callback(), "test", &count), 0);
    ASSERT_NE(app, 0U);
    ASSERT_EQ(count, 3U);
  }

  HLINE Open(DWORD device) {
    HLINE line = 0;
    EXPECT_EQ(lineOpen(app, device, &line, kApiVersion14, 0, 7, LINECALLPRIVILEGE_NONE,
                       LINEMEDIAMODE_DATAMODEM, nullptr),
              0);
    return line;
  }

  LONG TryOpen(DWORD device, DWORD version = kApiVersion14) {
    HLINE line = 0;
    return lineOpen(app, device, &line, version, 0, 0, LINECALLPRIVILEGE_NONE,
                    LINEMEDIAMODE_DATAMODEM, nullptr);
  }

  std::array<comm::PtyLine, 2> ptys;
  std::ostringstream diagnostics;
  LineDirectory directory{LineSources{}, diagnostics};
  Recorder recorder;
  HLINEAPP app = 0;
};

TEST_F(LineCalls, NegotiatesWithinEachDevicesVersions) {
  Initialise();
  DWORD version = 0;
  LINEEXTENSIONID extension;
  extension.dwExtensionID0 = 5;
  EXPECT_EQ(lineNegotiateAPIVersion(app, 0, kApiVersion13, kApiVersion14, &version, &extension), 0);
  EXPECT_EQ(version, kApiVersion14);
  EXPECT_EQ(extension.dwExtensionID0, 0U);
  EXPECT_EQ(lineNegotiateAPIVersion(app, 1, kApiVersion13, kApiVersion14, &version, &extension), 0);
  EXPECT_EQ(version, kApiVersion13);
  EXPECT_EQ(lineNegotiateAPIVersion(app, 1, kApiVersion14, kApiVersion14, &version, &extension),
            LINEERR_INCOMPATIBLEAPIVERSION);
  EXPECT_EQ(lineNegotiateAPIVersion(app, 0, kApiVersion14, kApiVersion13, &version, &extension),
            LINEERR_INCOMPATIBLEAPIVERSION);
  EXPECT_EQ(lineNegotiateAPIVersion(app, 3, kApiVersion13, kApiVersion14, &version, &extension),
            LINEERR_BADDEVICEID);
  EXPECT_EQ(lineNegotiateAPIVersion(app + 1, 0, kApiVersion13, kApiVersion14, &version, &extension),
            LINEERR_INVALAPPHANDLE);
  EXPECT_EQ(lineNegotiateAPIVersion(app, 0, kApiVersion13, kApiVersion14, nullptr, &extension),
            LINEERR_INVALPOINTER);
}

TEST_F(LineCalls, InitialiseRefusesMissingPointers) {
  DWORD count = 0;
  HLINEAPP handle = 0;
  EXPECT_EQ(lineInitialize(&handle, directory, nullptr, "test", &count), LINEERR_INVALPOINTER);
  EXPECT_EQ(lineInitialize(nullptr, directory, recorder.Callback(), "test", &count),
            LINEERR_INVALPOINTER);
  EXPECT_EQ(lineShutdown(handle), LINEERR_INVALAPPHANDLE);
}

TEST_F(LineCalls, CapabilitiesReportTheSizeTheyNeed) {
  Initialise();
  LineDevCaps tiny(LineDevCaps::kFixedSize - 1);
  EXPECT_EQ(lineGetDevCaps(app, 0, kApiVersion14, 0, &tiny), LINEERR_STRUCTURETOOSMALL);

  LineDevCaps caps(LineDevCaps::kFixedSize);
  ASSERT_EQ(lineGetDevCaps(app, 0, kApiVersion14, 0, &caps), 0);
  EXPECT_GT(caps.NeededSize(), caps.TotalSize());
  EXPECT_EQ(caps.UsedSize(), LineDevCaps::kFixedSize);
  EXPECT_TRUE(caps.LineName().empty());
  EXPECT_EQ(caps.StringFormat(), STRINGFORMAT_ASCII);

  caps.Resize(caps.NeededSize());
  ASSERT_EQ(lineGetDevCaps(app, 0, kApiVersion14, 0, &caps), 0);
  EXPECT_EQ(caps.UsedSize(), caps.NeededSize());
  EXPECT_EQ(Text(caps.LineName()), std::string("NORIX Corvid 560V USB") + '\0');
  EXPECT_EQ(Text(caps.ProviderInfo()), "Serial modem line on " + ptys[0].slavePath + '\0');
  const auto devSpecific = caps.DevSpecific();
  ASSERT_GE(devSpecific.size(), 8U);
  EXPECT_NE(ReadDword(devSpecific, 0), 0U);
  EXPECT_EQ(Text(devSpecific.subspan(ReadDword(devSpecific, 4))),
            std::string("Modem\\0003") + '\0');

  LineDevCaps noKey(2000);
  ASSERT_EQ(lineGetDevCaps(app, 1, kApiVersion13, 0, &noKey), 0);
  EXPECT_TRUE(noKey.DevSpecific().empty());
  EXPECT_EQ(lineGetDevCaps(app, 1, kApiVersion14, 0, &noKey), LINEERR_INCOMPATIBLEAPIVERSION);
  EXPECT_EQ(lineGetDevCaps(app, 0, kApiVersion14, 1, &noKey), LINEERR_INCOMPATIBLEEXTVERSION);
}

TEST_F(LineCalls, OpenFailsWithAllocatedWhileThePortIsHeld) {
  Initialise();
  {
    // Another program holds the port (the exclusive open is per tty).
    comm::OpenPortResult other = comm::OpenSerialPort(ptys[0].slavePath);
    ASSERT_NE(other.port, nullptr) << other.message;
    EXPECT_EQ(TryOpen(0), LINEERR_ALLOCATED);
    // Why, as the port said it.
    const comm::PortOpenFailure failure = LastPortFailure(app, 0);
    EXPECT_EQ(failure.kind, comm::OpenFailure::InUse);
    EXPECT_EQ(failure.message.rfind(
                  "cannot open " + ptys[0].slavePath + ": Device or resource busy (", 0),
              0U)
        << failure.message;
  }
  const HLINE line = Open(0);
  ASSERT_NE(line, 0U);
  EXPECT_EQ(LastPortFailure(app, 0).kind, comm::OpenFailure::None);
  EXPECT_EQ(TryOpen(0), LINEERR_ALLOCATED);  // a second open in this program
  EXPECT_EQ(LastPortFailure(app, 0).message,
            "cannot open " + ptys[0].slavePath + ": another open line of this program holds it");
  EXPECT_EQ(comm::OpenSerialPort(ptys[0].slavePath).error, EBUSY);
  EXPECT_EQ(lineClose(line), 0);
  EXPECT_EQ(lineClose(line), LINEERR_INVALLINEHANDLE);
  const HLINE again = Open(0);
  EXPECT_NE(again, 0U);
  EXPECT_NE(again, line);

  EXPECT_EQ(TryOpen(2), LINEERR_NODEVICE);
  EXPECT_EQ(LastPortFailure(app, 2).kind, comm::OpenFailure::Gone);
  EXPECT_EQ(LastPortFailure(app, 3).kind, comm::OpenFailure::None);  // no such device
  EXPECT_EQ(TryOpen(1), LINEERR_INCOMPATIBLEAPIVERSION);
  EXPECT_EQ(TryOpen(1, kApiVersion13), 0);
  EXPECT_EQ(TryOpen(3), LINEERR_BADDEVICEID);
}

TEST_F(LineCalls, CallRepliesComeThroughTheMessageQueueAndThePortIsHandedOver) {
  Initialise();
  const HLINE line = Open(0);
  ASSERT_NE(line, 0U);
  const LINECALLPARAMS params = PassThrough();
  HCALL call = 0;
  const LONG request = lineMakeCall(line, &call, nullptr, 0, &params);
  ASSERT_GT(request, 0);
  EXPECT_NE(call, 0U);
  EXPECT_TRUE(recorder.Take().empty());  // nothing runs until the thread takes its messages
  Pump();
  auto received = recorder.Take();
  ASSERT_EQ(received.size(), 2U);
  EXPECT_EQ(received[0].message, LINE_REPLY);
  EXPECT_EQ(received[0].param1, static_cast<DWORD_PTR>(request));
  EXPECT_EQ(received[0].param2, 0U);
  EXPECT_EQ(received[1].message, LINE_CALLSTATE);
  EXPECT_EQ(received[1].device, call);
  EXPECT_EQ(received[1].param1, LINECALLSTATE_CONNECTED);
  EXPECT_EQ(received[1].instance, 7U);

  HCALL second = 0;
  EXPECT_EQ(lineMakeCall(line, &second, nullptr, 0, &params), LINEERR_CALLUNAVAIL);
  LINECALLPARAMS voice = params;
  voice.dwBearerMode = LINEBEARERMODE_VOICE;
  EXPECT_EQ(lineMakeCall(line, &second, "123", 0, &voice), LINEERR_BEARERMODEUNAVAIL);
  EXPECT_EQ(lineMakeCall(line, &second, "123", 0, nullptr), LINEERR_BEARERMODEUNAVAIL);

  // The handle needs more room than the fixed part: nothing is handed out.
  VarString small(VarString::kFixedSize);
  ASSERT_EQ(lineGetID(line, 0, 0, LINECALLSELECT_LINE, &small, "comm/datamodem"), 0);
  EXPECT_GT(small.NeededSize(), small.TotalSize());
  EXPECT_TRUE(small.String().empty());

  VarString id(small.NeededSize());
  ASSERT_EQ(lineGetID(line, 0, 0, LINECALLSELECT_LINE, &id, "comm/datamodem"), 0);
  EXPECT_EQ(id.StringFormat(), STRINGFORMAT_BINARY);
  const DWORD handle = ReadDword(id.String());
  EXPECT_NE(handle, 0U);
  EXPECT_EQ(Text(id.String().subspan(4)), std::string("NORIX Corvid 560V USB") + '\0');
  VarString byCall(100);
  ASSERT_EQ(lineGetID(0, 0, call, LINECALLSELECT_CALL, &byCall, "comm/datamodem"), 0);
  EXPECT_EQ(ReadDword(byCall.String()), handle);  // not claimed yet: the same handle

  std::unique_ptr<comm::Port> port = ClaimCommPort(handle);
  ASSERT_NE(port, nullptr);
  EXPECT_EQ(ClaimCommPort(handle), nullptr);
  const std::array<std::uint8_t, 3> bytes{'A', 'T', '\r'};
  EXPECT_EQ(port->Write(bytes).count, 3U);
  std::array<std::uint8_t, 8> got{};
  EXPECT_EQ(ptys[0].device->Receive(got, std::chrono::milliseconds(1000)), 3);
  // While the claimed port is held no second handle can be made.
  EXPECT_EQ(lineGetID(line, 0, 0, LINECALLSELECT_LINE, &byCall, "comm/datamodem"),
            LINEERR_RESOURCEUNAVAIL);
  VarString portName(200);
  ASSERT_EQ(lineGetID(line, 0, 0, LINECALLSELECT_LINE, &portName, "comm/datamodem/portname"), 0);
  EXPECT_EQ(Text(portName.String()), ptys[0].slavePath + '\0');
  EXPECT_EQ(lineGetID(line, 0, 0, LINECALLSELECT_LINE, &portName, "wave/out"),
            LINEERR_INVALDEVICECLASS);

  EXPECT_EQ(lineDeallocateCall(call), LINEERR_INVALCALLSTATE);
  const LONG drop = lineDrop(call, nullptr, 0);
  ASSERT_GT(drop, request);
  EXPECT_EQ(lineDrop(call, nullptr, 0), LINEERR_INVALCALLSTATE);
  Pump();
  received = recorder.Take();
  ASSERT_EQ(received.size(), 2U);
  EXPECT_EQ(received[0].param1, static_cast<DWORD_PTR>(drop));
  EXPECT_EQ(received[1].param1, LINECALLSTATE_IDLE);
  EXPECT_EQ(lineDeallocateCall(call), 0);
  EXPECT_EQ(lineDeallocateCall(call), LINEERR_INVALCALLHANDLE);
  EXPECT_EQ(lineClose(line), 0);
}

TEST_F(LineCalls, UnclaimedHandleIsReleasedWithTheLine) {
  Initialise();
  const HLINE line = Open(0);
  VarString id(200);
  ASSERT_EQ(lineGetID(line, 0, 0, LINECALLSELECT_LINE, &id, "comm/datamodem"), 0);
  const DWORD handle = ReadDword(id.String());
  EXPECT_EQ(lineClose(line), 0);
  EXPECT_EQ(ClaimCommPort(handle), nullptr);
  EXPECT_NE(comm::OpenSerialPort(ptys[0].slavePath).port, nullptr);
}

TEST_F(LineCalls, ShutdownClosesLinesAndSilencesQueuedCallbacks) {
  Initialise();
  const HLINE line = Open(0);
  const LINECALLPARAMS params = PassThrough();
  HCALL call = 0;
  ASSERT_GT(lineMakeCall(line, &call, nullptr, 0, &params), 0);
  ASSERT_EQ(lineShutdown(app), 0);
  app = 0;
  Pump();
  EXPECT_TRUE(recorder.Take().empty());
  EXPECT_EQ(lineClose(line), LINEERR_INVALLINEHANDLE);
  EXPECT_EQ(lineDrop(call, nullptr, 0), LINEERR_INVALCALLHANDLE);
  EXPECT_NE(comm::OpenSerialPort(ptys[0].slavePath).port, nullptr);
}

TEST_F(LineCalls, CallbacksRunOnTheInitialisingThreadWhatEverThreadCalls) {
  testing::MessageLoopThread main;
  main.Run([this] { Initialise(); });
  const HLINE line = Open(0);
  const LINECALLPARAMS params = PassThrough();
  HCALL call = 0;
  const LONG request = lineMakeCall(line, &call, nullptr, 0, &params);
  ASSERT_GT(request, 0);
  std::vector<Received> received;
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (received.size() < 2 && std::chrono::steady_clock::now() < end) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    for (const Received& r : recorder.Take()) {
      received.push_back(r);
    }
  }
  ASSERT_EQ(received.size(), 2U);
  EXPECT_EQ(received[0].message, LINE_REPLY);
  EXPECT_EQ(received[0].param1, static_cast<DWORD_PTR>(request));
  for (const Received& r : received) {
    EXPECT_EQ(r.thread, main.Id());
  }
  main.Run([this] {
    EXPECT_EQ(lineShutdown(app), 0);
    app = 0;
  });
}

}  // namespace
}  // namespace norix::platform::telephony
