#include "sim/line_assembler.h"

#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

namespace norix::sim {
namespace {

using Event = LineAssembler::Event;

// Feeds the bytes and returns the completed lines, "<overflow>" appended to
// lines that lost characters and "A/" for repeats.
std::vector<std::string> Lines(LineAssembler& assembler, std::string_view bytes,
                               const LineEditCharacters& chars = {}) {
  std::vector<std::string> lines;
  for (const char c : bytes) {
    const Event event = assembler.Feed(static_cast<std::uint8_t>(c), chars);
    if (event == Event::Completed) {
      std::string line = assembler.TakeLine();
      lines.push_back(assembler.Overflowed() ? line + "<overflow>" : line);
    } else if (event == Event::Repeat) {
      lines.emplace_back("A/");
    }
  }
  return lines;
}

TEST(LineAssemblerTest, EditsAndIgnoresLikeACommandBuffer) {
  LineAssembler assembler;
  // Backspace takes back the last character, also on an empty line; line
  // feeds, control bytes and bytes above 0x7E are dropped.
  EXPECT_EQ(Lines(assembler, "\bATX\bI3\r\nAT\x01\x7F\xC3Z\r\r"),
            (std::vector<std::string>{"ATI3", "ATZ", ""}));
}

TEST(LineAssemblerTest, EchoesCommandCharactersButNotIgnoredBytes) {
  LineAssembler assembler;
  const LineEditCharacters chars;
  EXPECT_TRUE(LineAssembler::Echoed(assembler.Feed('A', chars)));
  EXPECT_TRUE(LineAssembler::Echoed(assembler.Feed('\b', chars)));
  EXPECT_FALSE(LineAssembler::Echoed(assembler.Feed('\b', chars)));  // nothing left to erase
  EXPECT_FALSE(LineAssembler::Echoed(assembler.Feed('\n', chars)));
  EXPECT_TRUE(LineAssembler::Echoed(assembler.Feed('\r', chars)));
}

TEST(LineAssemblerTest, OverlongLineKeepsItsBeginningAndIsMarked) {
  LineAssembler assembler(6);
  EXPECT_EQ(Lines(assembler, "ATS7=30\rATI3\r"),
            (std::vector<std::string>{"ATS7=3<overflow>", "ATI3"}));
}

TEST(LineAssemblerTest, RepeatOnlyForABareA) {
  LineAssembler assembler;
  EXPECT_EQ(Lines(assembler, "A/a/"), (std::vector<std::string>{"A/", "A/"}));
  EXPECT_EQ(Lines(assembler, "BA/\r"), (std::vector<std::string>{"BA/"}));
}

TEST(LineAssemblerTest, FollowsChangedLineCharacters) {
  LineAssembler assembler;
  const LineEditCharacters chars{'@', '\n', '#'};
  EXPECT_EQ(Lines(assembler, "ATI3#4\r@", chars), (std::vector<std::string>{"ATI4"}));
}

}  // namespace
}  // namespace norix::sim
