// Waiting for line replies across threads: the context belongs to a main
// thread that runs a message loop, and a page thread waits for the reply that
// the main thread's callback hands over.
#include <chrono>
#include <future>
#include <sstream>
#include <thread>

#include <gtest/gtest.h>

#include "link/telephony_devices.h"
#include "platform/comm/pty_line.h"
#include "platform/telephony/line_api.h"
#include "platform/window/message_loop.h"
#include "platform/window/thread_queue.h"
#include "platform_telephony/message_loop_thread.h"

namespace norix::link {
namespace {

namespace tapi = platform::telephony;
namespace window = platform::window;
using std::chrono::milliseconds;

long long MsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration_cast<milliseconds>(std::chrono::steady_clock::now() - start).count();
}

// The next message of the calling thread's queue, passing over the wake-up
// WM_NULL that a reply may leave behind.
bool NextMessage(window::Message& message) {
  while (window::PeekMessage(message, window::PM_REMOVE)) {
    if (message.message != window::WM_NULL) {
      return true;
    }
  }
  return false;
}

// Runs `work` on a new thread, as a page would, and waits for it to end.
void OnPageThread(const std::function<void()>& work) { std::thread(work).join(); }

class ReplyWait : public ::testing::Test {
 protected:
  void SetUp() override {
    pty = platform::comm::OpenPtyLine();
    ASSERT_NE(pty.device, nullptr) << pty.message;
    ASSERT_EQ(directory.AddLine({"NORIX Corvid", pty.slavePath, tapi::kApiVersion14,
                                 tapi::kApiVersion14, std::nullopt}),
              "");
    main.Run([this] { context = OpenContext(directory); });
    ASSERT_NE(context, nullptr);
  }
  void TearDown() override {
    main.Run([this] { CloseContext(std::move(context)); });
  }

  // Opens the line and places the call by hand; returns the request id.
  tapi::LONG PlaceCall() {
    tapi::HLINE line = 0;
    EXPECT_EQ(tapi::lineOpen(context->lineApp, 0, &line, tapi::kApiVersion14, 0, 0,
                             tapi::LINECALLPRIVILEGE_NONE, tapi::LINEMEDIAMODE_DATAMODEM, nullptr),
              0);
    context->line = line;
    tapi::LINECALLPARAMS params;
    params.dwTotalSize = sizeof params;
    params.dwBearerMode = tapi::LINEBEARERMODE_PASSTHROUGH;
    params.dwMediaMode = tapi::LINEMEDIAMODE_DATAMODEM;
    tapi::HCALL call = 0;
    const tapi::LONG request = tapi::lineMakeCall(line, &call, nullptr, 0, &params);
    context->call = call;
    return request;
  }

  platform::comm::PtyLine pty;
  std::ostringstream diagnostics;
  tapi::LineDirectory directory{tapi::LineSources{}, diagnostics};
  testing::MessageLoopThread main;
  std::unique_ptr<ModemContext> context;
};

TEST_F(ReplyWait, PageThreadGetsTheReplyThatTheMainLoopDelivers) {
  OnPageThread([this] {
    const tapi::LONG request = PlaceCall();
    ASSERT_GT(request, 0);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(WaitForReply(*context, request), 0);
    EXPECT_LT(MsSince(start), 1000);
    CloseDevicePort(*context);
  });
}

TEST_F(ReplyWait, QuickOpenAndCloseFromAPageThread) {
  OnPageThread([this] {
    const auto start = std::chrono::steady_clock::now();
    ASSERT_NE(OpenDevicePort(*context, 57600, true), nullptr);
    CloseDevicePort(*context);
    EXPECT_LT(MsSince(start), 1000);  // neither wait ran into its time limit
  });
}

TEST_F(ReplyWait, GivesUpAfterTwoSecondsWhileTheMainThreadIsBusy) {
  std::promise<void> busyNow;
  std::promise<void> release;
  std::thread busy([&] {
    main.Run([&] {
      busyNow.set_value();
      release.get_future().wait();
    });
  });
  busyNow.get_future().wait();
  OnPageThread([this] {
    const tapi::LONG request = PlaceCall();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(WaitForReply(*context, request), tapi::LINEERR_OPERATIONFAILED);
    EXPECT_GE(MsSince(start), 2000);
    EXPECT_LT(MsSince(start), 3000);
  });
  release.set_value();
  busy.join();
  OnPageThread([this] { CloseDevicePort(*context); });
}

TEST_F(ReplyWait, ReplyThatCameBeforeTheWaitIsNotLost) {
  OnPageThread([this] {
    const tapi::LONG request = PlaceCall();
    main.Run([] {});  // the main loop has run the callback by now
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(WaitForReply(*context, request), 0);
    EXPECT_LT(MsSince(start), 100);
    CloseDevicePort(*context);
  });
}

// Nothing posted to the page runs inside the wait, its own input (Esc, a
// click on a window message) included: all of it comes back in its order.
TEST_F(ReplyWait, PostedMessagesAndQuitOutliveTheWait) {
  OnPageThread([this] {
    const window::ThreadId self = window::GetCurrentThreadId();
    const window::Message input{window::HWND{0x4711}, window::WM_COMMAND, 2, 0};
    ASSERT_TRUE(window::CurrentThreadQueue()->Post(input));
    ASSERT_TRUE(window::PostThreadMessage(self, window::WM_APP + 5, 1, 2));
    window::PostQuitMessage(3);
    EXPECT_EQ(WaitForReply(*context, PlaceCall()), 0);
    window::Message message;
    ASSERT_TRUE(NextMessage(message));
    EXPECT_EQ(message, input);
    ASSERT_TRUE(NextMessage(message));
    EXPECT_EQ(message, (window::Message{window::kNullHwnd, window::WM_APP + 5, 1, 2}));
    ASSERT_TRUE(NextMessage(message));
    EXPECT_EQ(message.message, window::WM_QUIT);
    EXPECT_EQ(message.wParam, 3U);
    CloseDevicePort(*context);
  });
}

TEST_F(ReplyWait, NotPositiveIdsAreReturnedAtOnce) {
  EXPECT_EQ(WaitForReply(*context, tapi::LINEERR_INVALLINEHANDLE), tapi::LINEERR_INVALLINEHANDLE);
  EXPECT_EQ(WaitForReply(*context, 0), 0);
}

}  // namespace
}  // namespace norix::link
