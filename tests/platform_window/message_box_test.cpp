// Message boxes and the open-file dialog block the asking thread until the
// host answers; answers are checked against the box's buttons; a host that
// goes away releases the waiting threads.
#include "platform/window/message_box.h"

#include <future>
#include <thread>

#include <gtest/gtest.h>

#include "dialog_fixture.h"

namespace norix::platform::window::testing {
namespace {

TEST(MessageBoxStyles, ButtonsAndDefaultButton) {
  EXPECT_EQ(MessageBoxButtons(MB_OK | MB_ICONEXCLAMATION), (std::vector<int>{IDOK}));
  EXPECT_EQ(MessageBoxButtons(MB_OKCANCEL), (std::vector<int>{IDOK, IDCANCEL}));
  EXPECT_EQ(MessageBoxButtons(0x24), (std::vector<int>{IDYES, IDNO}));
  EXPECT_EQ(MessageBoxButtons(0x0F), std::vector<int>{});
  EXPECT_EQ(MessageBoxDefaultButton(0x24), IDYES);
  EXPECT_EQ(MessageBoxDefaultButton(0x124), IDNO);
  EXPECT_EQ(MessageBoxDefaultButton(MB_OK | MB_DEFBUTTON3), IDOK) << "beyond the buttons";
}

TEST_F(DialogTest, MessageBoxBlocksTheWorkerUntilAnswered) {
  DialogThread page(desktop_, kPage, {});
  const HWND owner = host_.WaitForDialog(kPage, kLong);
  ASSERT_NE(owner, kNullHwnd);
  std::promise<ThreadId> workerId;
  auto answer = std::async(std::launch::async, [&] {
    workerId.set_value(GetCurrentThreadId());
    return MessageBox(owner, "Your modem is not responding properly.\nWould you like to try again?",
                      "NORIX message", 0x124 | MB_TASKMODAL);
  });
  const ThreadId worker = workerId.get_future().get();
  const auto shown = host_.WaitForMessageBox(kLong);
  ASSERT_TRUE(shown);
  EXPECT_EQ(shown->text, "Your modem is not responding properly.\nWould you like to try again?");
  EXPECT_EQ(shown->caption, "NORIX message");
  EXPECT_EQ(shown->owner, owner);
  EXPECT_EQ(shown->thread, worker);
  EXPECT_EQ(shown->buttons, (std::vector<int>{IDYES, IDNO}));
  EXPECT_EQ(answer.wait_for(kShort), std::future_status::timeout) << "the worker must wait";
  EXPECT_FALSE(host_.Click(owner, kNext)) << "the owner takes no input while the box is up";

  EXPECT_FALSE(host_.AnswerMessageBox(IDOK, kShort)) << "a Yes/No box has no OK";
  EXPECT_EQ(host_.PendingMessageBoxCount(), 1U);
  const auto answered = host_.AnswerMessageBox(IDNO, kLong);
  ASSERT_TRUE(answered);
  EXPECT_EQ(answered->caption, "NORIX message");
  EXPECT_EQ(answer.get(), IDNO);
  EXPECT_TRUE(host_.Click(owner, kNext));

  const auto history = host_.MessageBoxes();
  ASSERT_EQ(history.size(), 1U);
  EXPECT_EQ(history[0].answer, IDNO);
}

TEST_F(DialogTest, APageWaitingInAMessageBoxKeepsItsPostedMessages) {
  MessageLog log;
  DialogThread page(desktop_, kPage, LoggingProc(log, [](HWND hwnd, UINT message, WPARAM, LPARAM) {
                      if (message == WM_APP) {
                        const int button =
                            MessageBox(hwnd, "Nationality code setup was successful.",
                                       "NORIX message", MB_ICONEXCLAMATION);
                        PostMessage(hwnd, WM_APP + 1, static_cast<WPARAM>(button), 0);
                      }
                      return LRESULT{0};
                    }));
  const HWND hwnd = page.WaitHandle();
  ASSERT_TRUE(PostMessage(hwnd, WM_APP, 0, 0));
  ASSERT_TRUE(host_.WaitForMessageBox(kLong));
  ASSERT_TRUE(PostMessage(hwnd, WM_APP + 2, 0, 0));
  EXPECT_FALSE(log.WaitForMessage(WM_APP + 2, kShort)) << "posted messages wait for the box";
  ASSERT_TRUE(host_.AnswerMessageBox(IDOK, kLong));
  const auto after = log.WaitForMessage(WM_APP + 1, kLong);
  ASSERT_TRUE(after);
  EXPECT_EQ(after->wParam, static_cast<WPARAM>(IDOK));
  EXPECT_TRUE(log.WaitForMessage(WM_APP + 2, kLong));
}

TEST_F(DialogTest, BadMessageBoxRequestsReturn0WithoutShowing) {
  EXPECT_EQ(MessageBox(kNullHwnd, "text", "caption", MB_OK), 0) << "no owner, no desktop";
  EXPECT_EQ(MessageBox(desktop_, kNullHwnd, "text", "caption", 0x0F), 0) << "unknown buttons";
  EXPECT_EQ(host_.MessageBoxes().size(), 0U);
}

TEST_F(DialogTest, AutoAnswerRecordsEveryBox) {
  host_.SetMessageBoxAutoAnswer([](const MessageBoxInfo& box) -> std::optional<int> {
    if (box.text == "ask me") {
      return std::nullopt;
    }
    return box.buttons.back();
  });
  EXPECT_EQ(MessageBox(desktop_, kNullHwnd, "first", "c", MB_OK), IDOK);
  EXPECT_EQ(MessageBox(desktop_, kNullHwnd, "second", "c", MB_YESNO), IDNO);
  auto asked = std::async(std::launch::async,
                          [this] { return MessageBox(desktop_, kNullHwnd, "ask me", "c", MB_OK); });
  ASSERT_TRUE(host_.AnswerMessageBox(IDOK, kLong));
  EXPECT_EQ(asked.get(), IDOK);
  const auto history = host_.MessageBoxes();
  ASSERT_EQ(history.size(), 3U);
  EXPECT_EQ(history[0].text, "first");
  EXPECT_EQ(history[1].answer, IDNO);
  EXPECT_EQ(history[2].answer, IDOK);
}

TEST(HeadlessHostLifetime, AGoneHostReleasesWaitingThreads) {
  TemplateRegistry templates;
  auto host = std::make_unique<HeadlessHost>();
  Desktop desktop(*host, templates);
  auto box = std::async(std::launch::async, [&desktop] {
    return MessageBox(desktop, kNullHwnd, "Upgrading. Please wait ...", "c", MB_OK);
  });
  auto file = std::async(std::launch::async,
                         [&desktop] { return GetOpenFileName(desktop, OpenFileName{}); });
  ASSERT_TRUE(host->WaitForMessageBox(kLong));
  ASSERT_TRUE(host->WaitForFileDialog(kLong));
  host.reset();
  EXPECT_EQ(box.get(), 0);
  EXPECT_EQ(file.get(), std::nullopt);
}

TEST_F(DialogTest, OpenFileDialogAddsTheDefaultExtension) {
  DialogThread page(desktop_, kPage, {});
  const HWND owner = host_.WaitForDialog(kPage, kLong);
  OpenFileName request;
  request.owner = owner;
  request.title = "Open";
  request.filters = {{"Upgrade files (*.lfu)", "*.lfu"}};
  request.defaultExtension = "lfu";
  request.initialDir = "/tmp/upgrades";
  request.fileName = "corvid.lfu";

  auto chosen = std::async(std::launch::async, [request] { return GetOpenFileName(request); });
  ASSERT_TRUE(host_.WaitForFileDialog(kLong));
  EXPECT_FALSE(IsWindowEnabled(owner));
  const auto asked = host_.AnswerFileDialog("/tmp/upgrades/v140", kLong);
  ASSERT_TRUE(asked);
  EXPECT_EQ(asked->request.title, "Open");
  EXPECT_EQ(asked->request.filters.at(0).patterns, "*.lfu");
  EXPECT_EQ(asked->request.initialDir, "/tmp/upgrades");
  EXPECT_EQ(chosen.get(), "/tmp/upgrades/v140.lfu");
  EXPECT_TRUE(IsWindowEnabled(owner));

  chosen = std::async(std::launch::async, [request] { return GetOpenFileName(request); });
  ASSERT_TRUE(host_.AnswerFileDialog("/tmp/a.dir/file.LFU", kLong));
  EXPECT_EQ(chosen.get(), "/tmp/a.dir/file.LFU") << "an extension is kept as chosen";

  chosen = std::async(std::launch::async, [request] { return GetOpenFileName(request); });
  ASSERT_TRUE(host_.AnswerFileDialog(std::nullopt, kLong));
  EXPECT_EQ(chosen.get(), std::nullopt);

  EXPECT_EQ(AddDefaultExtension("/tmp/a.dir/file", ".lfu"), "/tmp/a.dir/file.lfu");
  EXPECT_EQ(AddDefaultExtension("/tmp/", "lfu"), "/tmp/");
  EXPECT_EQ(GetOpenFileName(OpenFileName{}), std::nullopt) << "no owner";
}

}  // namespace
}  // namespace norix::platform::window::testing
