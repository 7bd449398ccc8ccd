#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "link/link_fixture.h"
#include "resources/resource_ids.h"
#include "utilities_session.h"

namespace norix::utilities::testing {
namespace {

class ProductInfoPageTest : public UtilitiesSession {
 protected:
  // Opens the page and waits until it shows the driver date (set last but
  // one, after every exchange).
  W::HWND OpenPage() {
    Run(resources::kProductInformationPage);
    const W::HWND page = WaitPage(resources::kProductInformationTemplate);
    EXPECT_NE(page, W::kNullHwnd);
    EXPECT_TRUE(
        host_.WaitUntil([&] { return !host_.Text(page, kProgramVersionId).empty(); }, kWait));
    return page;
  }
  [[nodiscard]] long Count(const std::string& command) const {
    const std::vector<std::string> all = product_->Commands();
    return std::count(all.begin(), all.end(), command);
  }
};

TEST_F(ProductInfoPageTest, ModemShowsNameReleaseDriverAndDateInTheShortOrder) {
  Attach("netrunner56k");
  SeedDriver("norix56k.inf", "3-14-2024");
  program_.frame.versionText = "2.5";
  const std::size_t before = CommandCount();
  const W::HWND page = OpenPage();
  EXPECT_EQ(CommandsFrom(before), (std::vector<std::string>{"AT+GMR?"}));
  EXPECT_EQ(host_.Text(page, kProductNameId), "NORIX Netrunner 56000 Voice ");
  EXPECT_EQ(host_.Text(page, kReleaseId), "1.10");
  EXPECT_EQ(host_.Text(page, kDateId), "12  March  1999 ");
  EXPECT_EQ(host_.Text(page, kDriverFileId), "norix56k.inf");
  EXPECT_EQ(host_.Text(page, kDriverDateId), "3-14-2024");
  EXPECT_EQ(host_.Text(page, kProgramVersionId), Text(2003) + " V2.5");
  EXPECT_EQ(host_.Text(page, kProductNameLabelId), Text(2030));
  EXPECT_EQ(host_.Text(page, kReleaseLabelId), Text(2032));
  EXPECT_EQ(host_.Text(page, kDateLabelId), Text(2028));
  EXPECT_EQ(host_.Text(page, kDriverLabelId), Text(2029));
  EXPECT_EQ(host_.Text(page, kTestLineId), Text(2031));
  EXPECT_EQ(host_.Text(page, kIsdnColumnHeadingId), "");
  EXPECT_EQ(host_.Text(page, kModemDateId), "");
  EXPECT_EQ(program_.productInfo.firmwareDate, "12  March  1999 ");

  ASSERT_TRUE(host_.Click(page, resources::kBackArrowId));
  EXPECT_NE(WaitPage(resources::kMainMenuTemplate), W::kNullHwnd);
  Quit();
}

TEST_F(ProductInfoPageTest, EmptyShortOrderUsesTheLongOrderAndAMissingDateIsABlank) {
  program_.frame.profile = platform::profile::UserProfile({1, "", "MMMM d, yyyy"});
  Attach("netrunner33k6");
  SeedDriver("norix336.inf", "");
  const std::size_t before = CommandCount();
  const W::HWND page = OpenPage();
  EXPECT_EQ(CommandsFrom(before), (std::vector<std::string>{"AT#REV?"}));
  EXPECT_EQ(host_.Text(page, kDateId), "August  15  1997 ");
  EXPECT_EQ(host_.Text(page, kDriverFileId), "norix336.inf");
  EXPECT_EQ(host_.Text(page, kDriverDateId), " ");
  Quit();
}

TEST_F(ProductInfoPageTest, AdapterWithInternalModemShowsBothColumns) {
  Attach("solano1280mi");
  ASSERT_TRUE(program_.product.features.internalModem);
  const std::string modemVersion = program_.frame.context->internalModemVersion;
  const std::size_t before = CommandCount();
  const W::HWND page = OpenPage();
  EXPECT_TRUE(host_.WaitUntil([&] { return !host_.Text(page, kModemDateId).empty(); }, kWait));
  ASSERT_FALSE(program_.frame.context->gciSupport);
  EXPECT_EQ(CommandsFrom(before), (std::vector<std::string>{"AT?DATE", "AT#REV?"}));
  // Column 1 is the adapter's own date, column 2 the modem part's.
  EXPECT_EQ(host_.Text(page, kDateId), "15  Mar  2000 ");
  EXPECT_EQ(host_.Text(page, kModemDateId), "10  February  1999 ");
  EXPECT_EQ(host_.Text(page, kIsdnColumnHeadingId), Text(2050));
  EXPECT_EQ(host_.Text(page, kModemColumnHeadingId), Text(2067));
  EXPECT_FALSE(modemVersion.empty());
  EXPECT_TRUE(modemVersion.starts_with(host_.Text(page, kModemReleaseId)));
  EXPECT_FALSE(host_.Text(page, kModemReleaseId).ends_with("\n"));
  EXPECT_TRUE(program_.product.features.isdnAdapter);
  Quit();
}

TEST_F(ProductInfoPageTest, LineTestOnAModemWithDialTone) {
  Attach("netrunner56k");
  const W::HWND page = OpenPage();
  ASSERT_TRUE(host_.Click(page, kTestLineId));
  // A second press and '<' while the test runs are ignored.
  EXPECT_TRUE(host_.WaitForEnabled(page, kTestLineId, false, kWait));
  static_cast<void>(host_.Click(page, kTestLineId));
  ASSERT_TRUE(host_.Click(page, resources::kBackArrowId));
  const auto box = host_.WaitForMessageBox(kWait);
  ASSERT_TRUE(box);
  const auto outcomeCame = std::chrono::steady_clock::now();
  EXPECT_EQ(AnswerBox(), Text(2098));
  EXPECT_EQ(launches_.load(), 1);  // '<' did not leave the page
  EXPECT_EQ(Count("ATDT"), 1);
  EXPECT_EQ(Count("AT+VOL=8"), 1);
  EXPECT_EQ(product_->Commands().back(), "AT&F");
  // "Test line" comes back about four seconds after the outcome.
  EXPECT_FALSE(host_.IsEnabled(page, kTestLineId));
  EXPECT_TRUE(host_.WaitForEnabled(page, kTestLineId, true, kWait));
  EXPECT_GE(::norix::testing::Since(outcomeCame), 3500ms);

  // A second test: the rest timer of the first one must not free the
  // button (or '<') while it runs.
  ASSERT_TRUE(host_.Click(page, kTestLineId));
  EXPECT_TRUE(host_.WaitForEnabled(page, kTestLineId, false, kWait));
  EXPECT_FALSE(host_.WaitForEnabled(page, kTestLineId, true, 5000ms));
  EXPECT_EQ(AnswerBox(), Text(2098));
  EXPECT_EQ(Count("ATDT"), 2);
  // The page takes input again once the box has gone.
  EXPECT_TRUE(host_.WaitUntil([&] { return W::IsWindowEnabled(page); }, kWait));
  ASSERT_TRUE(host_.Click(page, resources::kBackArrowId));
  EXPECT_NE(WaitPage(resources::kMainMenuTemplate), W::kNullHwnd);
  Quit();
}

TEST_F(ProductInfoPageTest, LineTestResultTextsOfModems) {
  sim::ProductOptions noDialTone;
  noDialTone.dialTone = false;
  Attach("netrunner33k6", noDialTone);
  const W::HWND page = OpenPage();
  ASSERT_TRUE(host_.Click(page, kTestLineId));
  EXPECT_EQ(AnswerBox(), Text(2199));
  EXPECT_EQ(Count("AT#VOL=8"), 1);
  Quit();
}

TEST_F(ProductInfoPageTest, LineTestOfAUsbModemMentionsTheLoudspeaker) {
  Attach("usb560");
  const W::HWND page = OpenPage();
  ASSERT_TRUE(host_.Click(page, kTestLineId));
  EXPECT_EQ(AnswerBox(), Text(2097));
  Quit();
}

TEST_F(ProductInfoPageTest, LineTestOfAnAdapterWithInternalModemAlwaysReportsCompletion) {
  Attach("solano1280mi");
  const W::HWND page = OpenPage();
  ASSERT_TRUE(host_.Click(page, kTestLineId));
  EXPECT_EQ(AnswerBox(), Text(2053));
  EXPECT_EQ(Count("ATDM"), 1);
  EXPECT_EQ(Count("ATH"), 0);
  Quit();
}

TEST_F(ProductInfoPageTest, LineTestOfAnIsdnAdapterWithAndWithoutALine) {
  Attach("solano1280i");
  ASSERT_FALSE(program_.product.features.internalModem);
  const W::HWND page = OpenPage();
  ASSERT_TRUE(host_.Click(page, kTestLineId));
  EXPECT_EQ(AnswerBox(), Text(2054));
  EXPECT_EQ(Count("ATDT1"), 1);
  EXPECT_EQ(Count("ATH"), 1);
  Quit();
}

TEST_F(ProductInfoPageTest, LineTestOfAKometWithoutALine) {
  sim::ProductOptions noLine;
  noLine.dialTone = false;
  Attach("komet2", noLine);
  ASSERT_TRUE(program_.product.features.komet);
  const W::HWND page = OpenPage();
  ASSERT_TRUE(host_.Click(page, kTestLineId));
  EXPECT_EQ(AnswerBox(), Text(2200));
  EXPECT_EQ(Count("ATE0X4S7=3"), 1);
  EXPECT_EQ(Count("ATD"), 1);
  EXPECT_EQ(Count("ATH"), 0);
  Quit();
}

TEST_F(ProductInfoPageTest, EscDuringALineTestQuitsSoonAndResetsTheProduct) {
  Attach("netrunner56k");
  const W::HWND page = OpenPage();
  const std::size_t lines = product_->Transcript().size();
  ASSERT_TRUE(host_.Click(page, kTestLineId));
  // "AT*K0", the set-up, the volume query and setting, and the dial command.
  ASSERT_TRUE(product_->WaitForLines(lines + 5, kWait));
  const auto start = std::chrono::steady_clock::now();
  Quit();
  EXPECT_LT(::norix::testing::Since(start), 4000ms);
  EXPECT_EQ(product_->Commands().back(), "AT&F");
  EXPECT_EQ(host_.MessageBoxes().size(), 0U);
}

}  // namespace
}  // namespace norix::utilities::testing
