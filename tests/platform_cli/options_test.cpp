// The option parser every program uses: what it hands to the handler, what
// it leaves as operands, and what it refuses.
#include "platform/cli/options.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

namespace norix::platform::cli {
namespace {

enum Key : int { kSpeed = 's', kPace = 0x200, kList };
constexpr std::array<Option, 5> kOptions{{
    kHelpOption,
    kVersionOption,
    {"speed", 's', true, kSpeed},
    {"pace", '\0', false, kPace},
    {"list", '\0', false, kList},
}};

struct Outcome {
  std::vector<std::string> seen;  // "key=value" per option, in order
  std::vector<std::string> operands;
  std::string error;
};

// Parses with a handler that records every option; --list takes the words
// after it that begin with "m".
Outcome Parse(std::vector<std::string_view> arguments) {
  Outcome outcome;
  const auto parsed = ParseCommandLine(
      arguments, kOptions, [&](int key, const std::string& value, Following& following) {
        std::string entry = std::to_string(key) + "=" + value;
        if (key == kList) {
          while (auto word = following.TakeIf([](std::string_view w) { return w[0] == 'm'; })) {
            entry += "," + *word;
          }
        }
        outcome.seen.push_back(entry);
        return value == "bad" ? std::string("--speed is bad") : std::string();
      });
  outcome.operands = parsed.operands;
  outcome.error = parsed.error;
  return outcome;
}

std::string Seen(int key, const std::string& value) { return std::to_string(key) + "=" + value; }

TEST(OptionsTest, OptionsAndOperandsInAnyOrder) {
  struct Case {
    std::vector<std::string_view> arguments;
    std::vector<std::string> seen;
    std::vector<std::string> operands;
  };
  const std::vector<Case> cases = {
      {{}, {}, {}},
      {{"dk"}, {}, {"dk"}},
      {{"/dev/pts/3", "--speed", "9600", "AT"}, {Seen(kSpeed, "9600")}, {"/dev/pts/3", "AT"}},
      {{"--speed=115200", "x"}, {Seen(kSpeed, "115200")}, {"x"}},
      {{"-s", "300", "-h"}, {Seen(kSpeed, "300"), Seen(kHelpKey, "")}, {}},
      {{"-s2400"}, {Seen(kSpeed, "2400")}, {}},
      // A value may begin with "-"; the handler judges it.
      {{"--speed", "-5"}, {Seen(kSpeed, "-5")}, {}},
      {{"--speed="}, {Seen(kSpeed, "")}, {}},
      {{"a", "--version", "b", "--pace"}, {Seen(kVersionKey, ""), Seen(kPace, "")}, {"a", "b"}},
      // "--" ends the options; a lone "-" is an operand.
      {{"-", "--", "--pace", "-h"}, {}, {"-", "--pace", "-h"}},
      // The words an option takes are not operands; the others keep their order.
      {{"x", "--list", "m1", "m2", "y", "m3"}, {Seen(kList, ",m1,m2")}, {"x", "y", "m3"}},
      {{"--list", "--pace", "m1"}, {Seen(kList, ""), Seen(kPace, "")}, {"m1"}},
  };
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const Outcome outcome = Parse(cases[i].arguments);
    EXPECT_EQ(outcome.error, "") << "case " << i;
    EXPECT_EQ(outcome.seen, cases[i].seen) << "case " << i;
    EXPECT_EQ(outcome.operands, cases[i].operands) << "case " << i;
  }
}

TEST(OptionsTest, RefusedCommandLinesSayWhy) {
  struct Case {
    std::vector<std::string_view> arguments;
    std::string error;
  };
  const std::vector<Case> cases = {
      {{"--fast"}, "unknown option --fast"},
      {{"x", "--fast=1"}, "unknown option --fast"},
      {{"-x"}, "unknown option -x"},
      {{"--speed"}, "--speed needs a value"},
      {{"AT", "-s"}, "-s needs a value"},
      {{"--pace=1"}, "--pace takes no value"},
      // Written in full only: "--spe" would change meaning with a "--spell".
      {{"--spe", "9600"}, "unknown option --spe"},
      {{"--spe=9600"}, "unknown option --spe"},
      {{"--pa"}, "unknown option --pa"},
      // The handler's own text ends the parse.
      {{"--speed", "bad", "--fast"}, "--speed is bad"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Parse(c.arguments).error, c.error) << c.arguments.front();
  }
}

TEST(OptionsTest, VersionTextNamesTheProgramAndTheProject) {
  EXPECT_TRUE(VersionText("norix-at").starts_with("norix-at (NORIX Config) "));
  EXPECT_EQ(VersionText("norix-at").find('\n'), std::string::npos);
}

}  // namespace
}  // namespace norix::platform::cli
