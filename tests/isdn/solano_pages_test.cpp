// The subscriber number pages of the solano adapters over a pty: the MSN
// setting page of an adapter without a telephone port and the Telephone
// setting page of one with it, read, changed and written with the exact
// commands, and what they do when the adapter refuses, stays silent or
// cannot be read.
#include <gtest/gtest.h>

#include "isdn/msn_setting_page.h"
#include "isdn/telephone_setting_page.h"
#include "isdn_session.h"

namespace norix::isdn::testing {
namespace {

constexpr int kSuccess = 2077;

Lines Fields(W::HeadlessHost& host, W::HWND page) {
  Lines fields;
  for (const int id : kMsnFieldIds) {
    fields.push_back(host.Text(page, id));
  }
  return fields;
}

TEST(MsnSettingPageTest, ReadsChangesAndWritesTheThreeSlots) {
  IsdnSession adapter("solano1280i", kSolanoLine, Presets({"AT&Z*0=4711", "AT&Z*2=0401234"}));
  auto& host = adapter.Host();
  std::size_t mark = adapter.Mark();
  W::HWND page = adapter.Open(resources::kMsnSettingPage);
  ASSERT_NE(page, W::kNullHwnd);
  EXPECT_EQ(adapter.Since(mark), (Lines{"AT&Z*0?", "AT&Z*2?", "AT&Z*4?"}));
  EXPECT_EQ(Fields(host, page), (Lines{"4711", "0401234", ""}));
  EXPECT_EQ(host.Text(page, kMsnWarningTextId), adapter.Text(2078));

  // Digits only: the letter is refused as it is typed.
  ASSERT_TRUE(host.Type(page, kMsnFieldIds[2], "12a3"));
  EXPECT_EQ(host.Text(page, kMsnFieldIds[2]), "123");
  ASSERT_TRUE(host.ReplaceText(page, kMsnFieldIds[1], ""));
  mark = adapter.Mark();
  EXPECT_EQ(adapter.Ok(page), adapter.Text(kSuccess));
  EXPECT_EQ(adapter.Since(mark), (Lines{"AT&Z*0=4711", "AT&Z*2=", "AT&Z*4=123"}));

  page = adapter.Open(resources::kMsnSettingPage);
  EXPECT_EQ(Fields(host, page), (Lines{"4711", "", "123"}));
  EXPECT_TRUE(adapter.Session().Quit());
}

struct FailureCase {
  const char* name;
  bool silent;
  int text;
};

class MsnWriteFailureTest : public ::testing::TestWithParam<FailureCase> {};

// The failed write is named, nothing after it is sent, the page keeps the
// input, and a new reading shows what the adapter holds.
TEST_P(MsnWriteFailureTest, NamesTheSettingAndKeepsThePage) {
  const Lines fault{"AT&Z*2="};
  IsdnSession adapter("solano1280mi", kSolanoModemLine,
                      Presets({"AT&Z*0=111"}, GetParam().silent ? Lines{} : fault,
                              GetParam().silent ? fault : Lines{}));
  auto& host = adapter.Host();
  W::HWND page = adapter.Open(resources::kMsnSettingPage);
  ASSERT_NE(page, W::kNullHwnd);
  ASSERT_TRUE(host.Type(page, kMsnFieldIds[1], "222"));
  ASSERT_TRUE(host.Type(page, kMsnFieldIds[2], "333"));
  const std::size_t mark = adapter.Mark();
  EXPECT_EQ(adapter.Ok(page), adapter.Text(GetParam().text, "MSN#2"));
  EXPECT_EQ(adapter.Since(mark), (Lines{"AT&Z*0=111", "AT&Z*2=222"}));
  EXPECT_TRUE(W::IsWindow(page));
  EXPECT_EQ(Fields(host, page), (Lines{"111", "222", "333"}));

  adapter.Cancel(page);
  page = adapter.Open(resources::kMsnSettingPage);
  EXPECT_EQ(Fields(host, page), (Lines{"111", "", ""}));
  EXPECT_TRUE(adapter.Session().Quit());
}

INSTANTIATE_TEST_SUITE_P(Writes, MsnWriteFailureTest,
                         ::testing::Values(FailureCase{"Error", false, kWriteRefusedText},
                                           FailureCase{"Silence", true, kWriteUnansweredText}),
                         [](const auto& test) { return std::string(test.param.name); });

// A slot that could not be read shows empty and OK leaves it alone; a field
// whose text is not a number (set past the typing filter, as a paste could)
// stops OK before anything is sent.
TEST(MsnSettingPageTest, UnreadSlotIsKeptAndForeignTextIsRefused) {
  IsdnSession adapter("solano1280i", kSolanoLine,
                      Presets({"AT&Z*0=111", "AT&Z*2=999"}, {"AT&Z*2?"}));
  auto& host = adapter.Host();
  const W::HWND page = adapter.Open(resources::kMsnSettingPage);
  ASSERT_NE(page, W::kNullHwnd);
  EXPECT_EQ(adapter.AnswerOn(page), adapter.Text(kUnreadSettingsText));
  EXPECT_EQ(Fields(host, page), (Lines{"111", "", ""}));

  ASSERT_TRUE(W::SetDlgItemText(page, kMsnFieldIds[0], "111;ATZ"));
  std::size_t mark = adapter.Mark();
  EXPECT_EQ(adapter.Ok(page), adapter.Text(kBadNumberText, "MSN#1"));
  EXPECT_EQ(adapter.Since(mark), Lines{});

  ASSERT_TRUE(W::SetDlgItemText(page, kMsnFieldIds[0], "111"));
  mark = adapter.Mark();
  EXPECT_EQ(adapter.Ok(page), adapter.Text(kSuccess));
  EXPECT_EQ(adapter.Since(mark), (Lines{"AT&Z*0=111", "AT&Z*4="}));
  EXPECT_TRUE(adapter.Session().Quit());
}

struct TelephoneView {
  std::string number;
  bool adapter;
  bool port;
  bool operator==(const TelephoneView&) const = default;
};

std::vector<TelephoneView> Rows(W::HeadlessHost& host, W::HWND page) {
  std::vector<TelephoneView> rows;
  rows.reserve(kTelephoneRowIds.size());
  for (const TelephoneRowIds& ids : kTelephoneRowIds) {
    rows.push_back({host.Text(page, ids.field), host.IsChecked(page, ids.adapterBox),
                    host.IsChecked(page, ids.portBox)});
  }
  return rows;
}

TEST(TelephoneSettingPageTest, ReadsRowsAndGivesOutSlotsRowByRow) {
  IsdnSession adapter("solano1280i-ab", kSolanoLine,
                      Presets({"AT&Z*0=111", "AT&Z*1=111", "AT&Z*3=222"}));
  auto& host = adapter.Host();
  std::size_t mark = adapter.Mark();
  W::HWND page = adapter.Open(resources::kTelephoneSettingPage);
  ASSERT_NE(page, W::kNullHwnd);
  EXPECT_EQ(adapter.Since(mark),
            (Lines{"AT&Z*0?", "AT&Z*2?", "AT&Z*4?", "AT&Z*1?", "AT&Z*3?", "AT&Z*5?"}));
  EXPECT_EQ(
      Rows(host, page),
      (std::vector<TelephoneView>{
          {"111", true, true}, {"222", false, true}, {"", false, false}, {"", false, false}}));
  EXPECT_TRUE(host.IsEnabled(page, kTelephoneRowIds[2].portBox));

  // Three ticks on a side disable its fourth box; unticking one enables it.
  for (std::size_t row = 1; row < 3; ++row) {
    ASSERT_TRUE(host.Click(page, kTelephoneRowIds[row].adapterBox));
  }
  EXPECT_TRUE(host.WaitForEnabled(page, kTelephoneRowIds[3].adapterBox, false, kPageWait));
  ASSERT_TRUE(host.Click(page, kTelephoneRowIds[1].adapterBox));
  EXPECT_TRUE(host.WaitForEnabled(page, kTelephoneRowIds[3].adapterBox, true, kPageWait));

  // "Adapter" on rows 1 and 3, "A/B port 1" on row 2.
  ASSERT_TRUE(host.Click(page, kTelephoneRowIds[0].portBox));
  ASSERT_TRUE(host.Type(page, kTelephoneRowIds[2].field, "333"));
  mark = adapter.Mark();
  EXPECT_EQ(adapter.Ok(page), adapter.Text(kSuccess));
  EXPECT_EQ(adapter.Since(mark),
            (Lines{"AT&Z*0=111", "AT&Z*1=222", "AT&Z*2=333", "AT&Z*3=", "AT&Z*4=", "AT&Z*5="}));

  page = adapter.Open(resources::kTelephoneSettingPage);
  EXPECT_EQ(
      Rows(host, page),
      (std::vector<TelephoneView>{
          {"111", true, false}, {"333", true, false}, {"222", false, true}, {"", false, false}}));
  EXPECT_TRUE(adapter.Session().Quit());
}

// A port slot that cannot be read keeps its number: it is neither given out
// nor erased, and OK refuses when the ticked rows need it.
TEST(TelephoneSettingPageTest, UnreadSlotIsKeptAndCountsAsUsed) {
  IsdnSession adapter("solano1280i-ab", kSolanoLine,
                      Presets({"AT&Z*1=555", "AT&Z*3=666", "AT&Z*5=777"}, {"AT&Z*3?"}));
  auto& host = adapter.Host();
  const W::HWND page = adapter.Open(resources::kTelephoneSettingPage);
  ASSERT_NE(page, W::kNullHwnd);
  EXPECT_EQ(adapter.AnswerOn(page), adapter.Text(kNumbersKeptText));
  EXPECT_EQ(
      Rows(host, page),
      (std::vector<TelephoneView>{
          {"555", false, true}, {"777", false, true}, {"", false, false}, {"", false, false}}));

  ASSERT_TRUE(host.Type(page, kTelephoneRowIds[2].field, "888"));
  ASSERT_TRUE(host.Click(page, kTelephoneRowIds[2].portBox));
  std::size_t mark = adapter.Mark();
  EXPECT_EQ(adapter.Ok(page), adapter.Text(kSideFullText, adapter.Text(2071)));
  EXPECT_EQ(adapter.Since(mark), Lines{});

  ASSERT_TRUE(WaitForInput(adapter.Session(), page));
  ASSERT_TRUE(host.Click(page, kTelephoneRowIds[2].portBox));
  mark = adapter.Mark();
  EXPECT_EQ(adapter.Ok(page), adapter.Text(kSuccess));
  EXPECT_EQ(adapter.Since(mark),
            (Lines{"AT&Z*1=555", "AT&Z*5=777", "AT&Z*0=", "AT&Z*2=", "AT&Z*4="}));
  EXPECT_TRUE(adapter.Session().Quit());
}

// Firmware before V1.40: row 1 alone, nothing read, the side left unticked
// erased first.
TEST(TelephoneSettingPageTest, OldFirmwareWritesRowOneOnTheFirstSlots) {
  IsdnSession adapter("solano1280i-old", kSolanoLine);
  auto& host = adapter.Host();
  const std::size_t opened = adapter.Mark();
  const W::HWND page = adapter.Open(resources::kTelephoneSettingPage, 0);
  ASSERT_NE(page, W::kNullHwnd);
  EXPECT_EQ(adapter.Since(opened), Lines{});
  EXPECT_FALSE(host.IsVisible(page, kTelephoneRowIds[1].field));

  ASSERT_TRUE(host.Type(page, kTelephoneRowIds[0].field, "4711"));
  EXPECT_EQ(adapter.Ok(page), adapter.Text(2072));  // no side ticked
  ASSERT_TRUE(WaitForInput(adapter.Session(), page));
  ASSERT_TRUE(host.Click(page, kTelephoneRowIds[0].portBox));
  const std::size_t mark = adapter.Mark();
  EXPECT_EQ(adapter.Ok(page), adapter.Text(kSuccess));
  EXPECT_EQ(adapter.Since(mark), (Lines{"AT&Z*0=", "AT&Z*1=4711"}));
  EXPECT_TRUE(adapter.Session().Quit());
}

}  // namespace
}  // namespace norix::isdn::testing
