// Damaged and hostile upgrade files: every one must end in one of the
// layout's messages (or a cut that lies inside the file), never in a crash or
// a read outside the image. The sanitizer build checks the reads.
#include <random>
#include <set>

#include <gtest/gtest.h>

#include "upgrade/cut_and_verify.h"
#include "upgrade/section_search.h"
#include "upgrade/upgrade_file_messages.h"
#include "upgrade/upgrade_header.h"
#include "upgrade_test_files.h"

namespace norix::upgrade::testing {
namespace {

struct LayoutCase {
  const char* name;
  LayoutChoiceFlags flags;
  bool largeFlash;
  std::set<int> messages;  // what this layout may answer
};

const std::vector<LayoutCase>& Layouts() {
  static const std::vector<LayoutCase> layouts{
      {"modem", {}, false, {kMsgFileDamaged, kMsgNotForYourModem, kMsgInvalidFile}},
      {"modemLarge", {}, true, {kMsgFileDamaged, kMsgNotForYourModem, kMsgInvalidFile}},
      {"komet", {true, false, false, true, true}, false, {kMsgInvalidFile}},
      {"solano", {true, false, false, false, true}, false, {kMsgInvalidFile}},
  };
  return layouts;
}

// Cuts and verifies like the progress page does (rescue transfer, so that the
// large flash flag stays as given). Returns the message.
int CutAndVerify(const std::vector<std::uint8_t>& file, const LayoutCase& layout) {
  UpgradeImage image = MakeUpgradeImage(file);
  image.largeFlash = layout.largeFlash;
  const auto result = CutAndVerifyImage(image, {layout.flags, 2, true}, nullptr);
  if (result.ok()) {
    // Accepted: the sections lie inside the file.
    EXPECT_FALSE(FirmwareSection(image).empty());
    EXPECT_LE(image.loaderStart, image.loaderEnd);
    EXPECT_LE(image.loaderEnd, image.size);
  } else {
    EXPECT_TRUE(layout.messages.count(result.messageId) != 0)
        << layout.name << " gave " << result.messageId << ": " << result.reason;
  }
  return result.messageId;
}

// Firmware of 0x01 bytes: any truncation of it changes the checksum.
std::vector<std::uint8_t> Ones(std::size_t count) { return std::vector<std::uint8_t>(count, 1); }

TEST(HostileFiles, EveryTruncationOfAModemFileIsRefused) {
  auto recipe = ModemRecipe(0, 0);
  recipe.loader = Ones(40);
  recipe.firmware = Ones(60);
  const auto file = Build(recipe);
  for (const auto& layout : {Layouts()[0], Layouts()[1]}) {
    for (std::size_t n = 0; n < file.size(); ++n) {
      const std::vector<std::uint8_t> prefix(file.begin(),
                                             file.begin() + static_cast<std::ptrdiff_t>(n));
      EXPECT_NE(CutAndVerify(prefix, layout), 0) << layout.name << " cut at " << n;
    }
  }
  EXPECT_EQ(CutAndVerify(file, Layouts()[0]), 0);
}

TEST(HostileFiles, EveryTruncationOfASolanoFileIsRefused) {
  auto recipe = SolanoRecipe(0);
  recipe.firmware = Ones(60);
  const auto file = Build(recipe);
  for (std::size_t n = 0; n < file.size(); ++n) {
    const std::vector<std::uint8_t> prefix(file.begin(),
                                           file.begin() + static_cast<std::ptrdiff_t>(n));
    EXPECT_NE(CutAndVerify(prefix, Layouts()[3]), 0) << "cut at " << n;
  }
  EXPECT_EQ(CutAndVerify(file, Layouts()[3]), 0);
}

TEST(HostileFiles, KometFileTruncatedInItsBootCodeKeepsTheFirmware) {
  auto recipe = KometRecipe(0, 30);
  recipe.firmware = Ones(60);
  const auto file = Build(recipe);
  const std::size_t bootStart = *FindSectionData(file, kFileTwo, 0);
  for (std::size_t n = 0; n < file.size(); ++n) {
    const std::vector<std::uint8_t> prefix(file.begin(),
                                           file.begin() + static_cast<std::ptrdiff_t>(n));
    const int message = CutAndVerify(prefix, Layouts()[2]);
    // The boot code carries no checksum of its own: a cut in it still
    // leaves whole, verified firmware.
    // A cut right before the "[FileTwo]" line is a whole file without boot code.
    const bool whole = n >= bootStart || n == bootStart - kFileTwo.size() - 4;
    EXPECT_EQ(message == 0, whole) << "cut at " << n;
  }
}

std::string RandomLineEnd(std::mt19937& engine) {
  static const char* const kEnds[] = {"\r\n", "\n", "\r", "", "\n\r\n"};
  return kEnds[engine() % 5];
}

TEST(HostileFiles, GarbageWithSectionHeadersInOddPlaces) {
  std::mt19937 engine(2024);
  const std::string_view headers[] = {kFileOne, kFileTwo, kFileThree, "[fileone]", "[FILETWO]"};
  for (int round = 0; round < 400; ++round) {
    const std::size_t size = engine() % 600;
    auto file = SeededBytes(static_cast<std::uint32_t>(round), size);
    const int insertions = static_cast<int>(engine() % 6);
    for (int i = 0; i < insertions; ++i) {
      const std::string piece = std::string(headers[engine() % 5]) + RandomLineEnd(engine);
      const std::size_t at = file.empty() ? 0 : engine() % (file.size() + 1);
      file.insert(file.begin() + static_cast<std::ptrdiff_t>(at), piece.begin(), piece.end());
    }
    if (engine() % 2 == 0) {
      const std::string head = "[Product]\r\nFileChecksum=" + RandomLineEnd(engine);
      file.insert(file.begin(), head.begin(), head.end());
    }
    for (const auto& layout : Layouts()) {
      CutAndVerify(file, layout);
    }
    (void)ParseUpgradeHeader(file);
  }
}

TEST(HostileFiles, SectionHeadersAtTheVeryEnd) {
  for (const std::string_view tail :
       {"[FileOne]", "[FileOne]\r", "[FileOne]\r\n", "[FileOne]\r\nx\r\n[FileTwo]",
        "[FileOne]\r\nx\r\n[FileTwo]\r\n",
        "[FileOne]\r\nxy\r\n[FileTwo]\r\nfw\r\n[FileThree]\r\n"}) {
    const auto file =
        Bytes("[Product]\r\nFileChecksum=0000\r\nModemChecksum2=1\r\n" + std::string(tail));
    for (const auto& layout : Layouts()) {
      EXPECT_NE(CutAndVerify(file, layout), 0) << layout.name << " with " << tail;
    }
  }
}

TEST(HostileFiles, BigFileWithSectionsInOddPlaces) {
  // Above 800000 bytes "[FileThree]" is searched: put it right behind
  // "[FileTwo]", at the very end, and nowhere.
  const std::string head = "[Product]\r\nFileChecksum=0000\r\nModemChecksum2=1\r\n[FileOne]\r\nL";
  const std::string filler(kFileThreeThreshold, '\x01');
  for (const std::string& body :
       {"\r\n[FileTwo]\r\n[FileThree]\r\n" + filler, "\r\n[FileTwo]\r\n" + filler + "[FileThree]",
        "\r\n[FileTwo]\r\n" + filler + "[FileThree]\r\n", "\r\n[FileTwo]\r\n" + filler}) {
    for (const auto& layout : Layouts()) {
      CutAndVerify(Bytes(head + body), layout);
    }
  }
}

}  // namespace
}  // namespace norix::upgrade::testing
