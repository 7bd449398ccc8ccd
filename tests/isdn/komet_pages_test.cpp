// The KOMET II's MSN page and local setting page over a pty: read, changed
// and written with the exact commands, what is kept when something could
// not be read, and the local numbers' two modes.
#include <gtest/gtest.h>

#include "isdn/komet_local_page.h"
#include "isdn/komet_msn_page.h"
#include "isdn_session.h"

namespace norix::isdn::testing {
namespace {

constexpr int kMsnSuccess = 2077;
constexpr int kLocalSuccess = 2218;

struct MsnView {
  std::string number;
  bool adapter;
  bool tel1;
  bool tel2;
  int ringing;
  bool operator==(const MsnView&) const = default;
};

MsnView Row(W::HeadlessHost& host, W::HWND page, std::size_t slot) {
  const KometMsnRowIds& ids = kKometMsnRowIds[slot];
  return {host.Text(page, ids.field), host.IsChecked(page, ids.adapterBox),
          host.IsChecked(page, ids.tel1Box), host.IsChecked(page, ids.tel2Box),
          host.Selection(page, ids.ringing)};
}

// Every slot "AT&Z*n=" in order, with the writes of `written` (slot, lines)
// in place of its erase.
Lines MsnWrites(const std::vector<std::pair<std::size_t, Lines>>& written) {
  Lines lines;
  for (std::size_t slot = 0; slot < kKometMsnRowIds.size(); ++slot) {
    bool found = false;
    for (const auto& [at, commands] : written) {
      if (at == slot) {
        lines.insert(lines.end(), commands.begin(), commands.end());
        found = true;
      }
    }
    if (!found) {
      lines.push_back("AT&Z*" + std::to_string(slot) + "=");
    }
  }
  return lines;
}

TEST(KometMsnPageTest, ReadsSidesAndRingingTypesAndWritesTheAttributeValues) {
  IsdnSession komet("komet2", kKometLine,
                    Presets({"AT&Z*0=111", "AT&Z*P0=66", "AT&Z*3=5551234", "AT&Z*P3=160"}));
  auto& host = komet.Host();
  std::size_t mark = komet.Mark();
  W::HWND page = komet.Open(resources::kKometMsnPage);
  ASSERT_NE(page, W::kNullHwnd);
  EXPECT_EQ(komet.Since(mark), (Lines{"AT&Z*0?", "AT&Z*P0?", "AT&Z*1?", "AT&Z*2?", "AT&Z*3?",
                                      "AT&Z*P3?", "AT&Z*4?", "AT&Z*5?", "AT&Z*6?", "AT&Z*7?"}));
  EXPECT_FALSE(host.IsVisible(page, kKometWaitTextId));
  EXPECT_TRUE(host.IsVisible(page, kKometMsnRowIds[7].ringing));
  EXPECT_EQ(Row(host, page, 0), (MsnView{"111", false, true, false, 2}));
  EXPECT_EQ(Row(host, page, 3), (MsnView{"5551234", true, false, true, 0}));
  EXPECT_EQ(Row(host, page, 1), (MsnView{"", false, false, false, 0}));

  // Row 1 emptied: its slot is erased, no attribute sent. Row 2 gets a
  // number ringing TEL#1 with "Type 3": 64 + 2.
  ASSERT_TRUE(host.ReplaceText(page, kKometMsnRowIds[0].field, ""));
  ASSERT_TRUE(host.Type(page, kKometMsnRowIds[1].field, "222"));
  ASSERT_TRUE(host.Click(page, kKometMsnRowIds[1].tel1Box));
  ASSERT_TRUE(host.SelectItem(page, kKometMsnRowIds[1].ringing, 2));
  mark = komet.Mark();
  EXPECT_EQ(komet.Ok(page), komet.Text(kMsnSuccess));
  EXPECT_EQ(komet.Since(mark),
            MsnWrites({{1, {"AT&Z*1=222", "AT&Z*P1=66"}}, {3, {"AT&Z*3=5551234", "AT&Z*P3=160"}}}));

  page = komet.Open(resources::kKometMsnPage);
  EXPECT_EQ(Row(host, page, 0), (MsnView{"", false, false, false, 0}));
  EXPECT_EQ(Row(host, page, 1), (MsnView{"222", false, true, false, 2}));
  EXPECT_TRUE(komet.Session().Quit());
}

// An unanswered number query leaves its slot alone; an attribute that
// could not be read is written only once the user changed the row, and then
// without a ringing type the user never chose.
TEST(KometMsnPageTest, WhatCouldNotBeReadIsWrittenOnlyWhenChanged) {
  IsdnSession komet(
      "komet2", kKometLine,
      Presets({"AT&Z*3=5551234", "AT&Z*P3=161", "AT&Z*5=999"}, {"AT&Z*P3?"}, {"AT&Z*5?"}));
  auto& host = komet.Host();
  const W::HWND page = komet.Open(resources::kKometMsnPage);
  ASSERT_NE(page, W::kNullHwnd);
  EXPECT_EQ(komet.AnswerOn(page), komet.Text(kUnreadSettingsText));
  EXPECT_EQ(Row(host, page, 3), (MsnView{"5551234", false, false, false, -1}));
  EXPECT_EQ(Row(host, page, 5), (MsnView{"", false, false, false, -1}));

  std::size_t mark = komet.Mark();
  EXPECT_EQ(komet.Ok(page), komet.Text(kMsnSuccess));
  Lines unchanged = MsnWrites({{3, {"AT&Z*3=5551234"}}, {5, {}}});
  EXPECT_EQ(komet.Since(mark), unchanged);

  const W::HWND again = komet.Open(resources::kKometMsnPage);
  EXPECT_EQ(komet.AnswerOn(again), komet.Text(kUnreadSettingsText));
  ASSERT_TRUE(host.Click(again, kKometMsnRowIds[3].tel1Box));
  mark = komet.Mark();
  EXPECT_EQ(komet.Ok(again), komet.Text(kMsnSuccess));
  EXPECT_EQ(komet.Since(mark), MsnWrites({{3, {"AT&Z*3=5551234", "AT&Z*P3=64"}}, {5, {}}}));
  EXPECT_TRUE(komet.Session().Quit());
}

struct LocalView {
  std::string number;
  bool tel1;
  bool tel2;
  int ringing;
  bool operator==(const LocalView&) const = default;
};

LocalView Local(W::HeadlessHost& host, W::HWND page, std::size_t slot) {
  const LocalRowIds& ids = kLocalRowIds[slot];
  return {host.Text(page, ids.field), host.IsChecked(page, ids.tel1),
          host.IsChecked(page, ids.tel2), host.Selection(page, ids.ringing)};
}

Lines LocalReads() {
  Lines lines{"AT&Z#L?"};
  for (std::size_t slot = 0; slot < kLocalRowIds.size(); ++slot) {
    lines.push_back("AT&Z#" + std::to_string(slot) + "?");
    lines.push_back("AT&Z#P" + std::to_string(slot) + "?");
  }
  return lines;
}

TEST(KometLocalPageTest, TwoDigitModeChecksLengthsAndWritesPrefixAndPartner) {
  IsdnSession komet("komet2", kKometLine, Presets({"AT&Z#P4=97"}));
  auto& host = komet.Host();
  std::size_t mark = komet.Mark();
  const W::HWND page = komet.Open(resources::kKometLocalPage);
  ASSERT_NE(page, W::kNullHwnd);
  EXPECT_EQ(komet.Since(mark), LocalReads());
  EXPECT_EQ(host.Text(page, kLocalHeadingId), komet.Text(2328));
  EXPECT_FALSE(host.IsVisible(page, kSecondPrefixId));
  EXPECT_TRUE(host.IsVisible(page, kFirstTwoDigitLine));
  EXPECT_FALSE(host.IsVisible(page, kFirstOneDigitLine));
  EXPECT_EQ(host.Selection(page, kFirstPrefixId), 0);  // "#"
  EXPECT_EQ(Local(host, page, 0), (LocalView{"11", true, false, 0}));
  EXPECT_EQ(Local(host, page, 4), (LocalView{"22", true, true, 1}));  // both ports ring

  // Digits only, two of them.
  ASSERT_TRUE(host.ReplaceText(page, kLocalRowIds[0].field, "7x"));
  EXPECT_EQ(host.Text(page, kLocalRowIds[0].field), "7");
  mark = komet.Mark();
  EXPECT_EQ(komet.Ok(page), komet.Text(2224));
  EXPECT_EQ(komet.Since(mark), Lines{});

  ASSERT_TRUE(WaitForInput(komet.Session(), page));
  ASSERT_TRUE(host.Type(page, kLocalRowIds[0].field, "1"));
  ASSERT_TRUE(host.SelectItem(page, kFirstPrefixId, "*"));
  mark = komet.Mark();
  EXPECT_EQ(komet.Ok(page), komet.Text(kLocalSuccess));
  EXPECT_EQ(komet.Since(mark),
            (Lines{"AT&Z#0=71", "AT&Z#P0=64", "AT&Z#1=12", "AT&Z#P1=64", "AT&Z#2=13", "AT&Z#P2=64",
                   "AT&Z#3=21", "AT&Z#P3=32", "AT&Z#4=22", "AT&Z#P4=97", "AT&Z#5=23", "AT&Z#P5=32",
                   "AT&Z#L=*", "AT*S10=,#"}));
  EXPECT_TRUE(komet.Session().Quit());
}

TEST(KometLocalPageTest, OneDigitModeShowsDefaultDigitsAndBothPrefixes) {
  IsdnSession komet("komet2", kKometLine, Presets({"AT&Z#L=#,*", "AT&Z#2=17", "AT&Z#5="}));
  auto& host = komet.Host();
  const W::HWND page = komet.Open(resources::kKometLocalPage);
  ASSERT_NE(page, W::kNullHwnd);
  EXPECT_EQ(host.Text(page, kLocalHeadingId), komet.Text(2211));
  EXPECT_TRUE(host.IsVisible(page, kSecondPrefixId));
  EXPECT_FALSE(host.IsVisible(page, kFirstTwoDigitLine));
  EXPECT_TRUE(host.IsVisible(page, kFirstOneDigitLine));
  EXPECT_EQ(host.Selection(page, kSecondPrefixId), 1);  // "*"
  // Stored numbers of two digits show as the rows' default digits.
  for (std::size_t slot = 0; slot < 5; ++slot) {
    EXPECT_EQ(Local(host, page, slot).number, std::to_string(slot + 1));
  }

  const std::size_t mark = komet.Mark();
  EXPECT_EQ(komet.Ok(page), komet.Text(kLocalSuccess));
  EXPECT_EQ(komet.Since(mark),
            (Lines{"AT&Z#0=1", "AT&Z#P0=64", "AT&Z#1=2", "AT&Z#P1=64", "AT&Z#2=3", "AT&Z#P2=64",
                   "AT&Z#3=4", "AT&Z#P3=32", "AT&Z#4=5", "AT&Z#P4=32", "AT&Z#5=", "AT&Z#L=#,*",
                   "AT*S10=,#"}));
  EXPECT_TRUE(komet.Session().Quit());
}

Lines LocalRowWrites() {
  return {"AT&Z#0=11", "AT&Z#P0=64", "AT&Z#1=12", "AT&Z#P1=64", "AT&Z#2=13", "AT&Z#P2=64",
          "AT&Z#3=21", "AT&Z#P3=32", "AT&Z#4=22", "AT&Z#P4=32", "AT&Z#5=23", "AT&Z#P5=32"};
}

// A prefix that could not be read is written only once the user chose one.
TEST(KometLocalPageTest, UnreadPrefixIsWrittenOnlyWhenChosen) {
  IsdnSession komet("komet2", kKometLine, Presets({}, {"AT&Z#L?"}));
  auto& host = komet.Host();
  W::HWND page = komet.Open(resources::kKometLocalPage);
  ASSERT_NE(page, W::kNullHwnd);
  EXPECT_EQ(komet.AnswerOn(page), komet.Text(kPrefixUnreadText));
  EXPECT_EQ(host.Text(page, kLocalHeadingId), komet.Text(kLocalHeadingText));
  EXPECT_EQ(host.Selection(page, kFirstPrefixId), -1);
  std::size_t mark = komet.Mark();
  EXPECT_EQ(komet.Ok(page), komet.Text(kLocalSuccess));
  EXPECT_EQ(komet.Since(mark), LocalRowWrites());

  page = komet.Open(resources::kKometLocalPage);
  EXPECT_EQ(komet.AnswerOn(page), komet.Text(kPrefixUnreadText));
  ASSERT_TRUE(host.SelectItem(page, kFirstPrefixId, "*"));
  mark = komet.Mark();
  EXPECT_EQ(komet.Ok(page), komet.Text(kLocalSuccess));
  Lines withPrefix = LocalRowWrites();
  withPrefix.insert(withPrefix.end(), {"AT&Z#L=*", "AT*S10=,#"});
  EXPECT_EQ(komet.Since(mark), withPrefix);
  EXPECT_TRUE(komet.Session().Quit());
}

// A refused write is named, nothing after it is sent, the page keeps the
// user's choice, and a new reading shows what the adapter kept.
TEST(KometLocalPageTest, RefusedWriteIsNamedAndTheAdapterKeepsItsValue) {
  IsdnSession komet("komet2", kKometLine, Presets({}, {"AT&Z#P1="}));
  auto& host = komet.Host();
  W::HWND page = komet.Open(resources::kKometLocalPage);
  ASSERT_NE(page, W::kNullHwnd);
  ASSERT_TRUE(host.Click(page, kLocalRowIds[1].tel2));
  const std::size_t mark = komet.Mark();
  const std::string name = komet.Text(kLocalPortName, komet.Text(kLocalNumberName, "2"));
  EXPECT_EQ(komet.Ok(page), komet.Text(kWriteRefusedText, name));
  EXPECT_EQ(komet.Since(mark), (Lines{"AT&Z#0=11", "AT&Z#P0=64", "AT&Z#1=12", "AT&Z#P1=32"}));
  EXPECT_TRUE(host.IsChecked(page, kLocalRowIds[1].tel2));

  komet.Cancel(page);
  page = komet.Open(resources::kKometLocalPage);
  EXPECT_EQ(Local(host, page, 1), (LocalView{"12", true, false, 0}));
  EXPECT_TRUE(komet.Session().Quit());
}

}  // namespace
}  // namespace norix::isdn::testing
