// The store file's text: round trips, what a hand-edited file may hold, and
// the lines that cannot be read.
#include "platform/registry/reg_text.h"

#include <string>
#include <string_view>

#include <gtest/gtest.h>

namespace norix::platform::registry {
namespace {

constexpr std::string_view kDriver = R"(Windows Registry Editor Version 5.00

[HKEY_LOCAL_MACHINE]

[HKEY_LOCAL_MACHINE\System]

[HKEY_LOCAL_MACHINE\System\Modem]
"InfPath"="norix-sim.inf"
"DriverDate"="3-14-2024"
@="default"
"Path"="C:\\Drivers\\\"new\""
"Empty"=""
"Count"=dword:0000001f
"Blob"=hex:01,02,ff
"Multi"=hex(7):41,00,00,00

[HKEY_LOCAL_MACHINE\System\Modem\Init]
"1"="AT<cr>"

)";

const KeyNode& Key(const KeyNode& root, std::initializer_list<std::string> path) {
  const std::vector<std::string> parts(path);
  const KeyNode* key = FindKey(root, parts);
  EXPECT_NE(key, nullptr);
  static const KeyNode kNone;
  return key != nullptr ? *key : kNone;
}

TEST(RegText, ReadsAnExportAndWritesItBackUnchanged) {
  const ParsedStore parsed = ParseRegText(kDriver, "store.reg");
  ASSERT_TRUE(parsed.problems.empty()) << parsed.problems.front().Text();
  const KeyNode& modem = Key(parsed.root, {"HKEY_LOCAL_MACHINE", "System", "Modem"});
  ASSERT_EQ(modem.values.size(), 8u);
  EXPECT_EQ(modem.values[0], RegValue::Text("InfPath", "norix-sim.inf"));
  EXPECT_EQ(modem.values[2], RegValue::Text("", "default"));
  EXPECT_EQ(modem.values[3], RegValue::Text("Path", R"(C:\Drivers\"new")"));
  EXPECT_EQ(modem.values[4], RegValue::Text("Empty", ""));
  EXPECT_EQ(modem.values[5], RegValue::Bytes("Count", REG_DWORD, std::string("\x1f\0\0\0", 4)));
  EXPECT_EQ(modem.values[6], RegValue::Bytes("Blob", REG_BINARY, "\x01\x02\xff"));
  EXPECT_EQ(modem.values[7], RegValue::Bytes("Multi", REG_MULTI_SZ, std::string("A\0\0\0", 4)));
  EXPECT_EQ(Key(parsed.root, {"HKEY_LOCAL_MACHINE", "System", "Modem", "Init"}).values.at(0).data,
            "AT<cr>");
  EXPECT_EQ(FormatRegText(parsed.root), kDriver);
}

TEST(RegText, AnyTreeSurvivesARoundTrip) {
  KeyNode root;
  KeyNode& machine = root.AddSubkey("HKEY_LOCAL_MACHINE");
  for (int i = 0; i < 120; ++i) {
    KeyNode& key = machine.AddSubkey("Key " + std::to_string(i) + (i % 2 ? "]odd[" : ""));
    key.SetValue(
        RegValue::Text("n" + std::to_string(i), std::string(static_cast<std::size_t>(i), 'x')));
    key.AddSubkey("Empty child");
  }
  KeyNode& odd = machine.AddSubkey("Odd");
  odd.SetValue(RegValue::Text("", ""));
  odd.SetValue(RegValue::Text("quote\"back\\slash", "line\nbreak\r\nand \\\" both"));
  odd.SetValue(RegValue::Text("@", "named like the default"));
  odd.SetValue(RegValue::Text("=", "; not a comment"));
  odd.SetValue(RegValue::Text("tab\tand high \xC3\xA6", "\t\xC3\xB8 \x7f"));
  std::string bytes;
  for (int i = 0; i < 300; ++i) bytes += static_cast<char>(i);
  odd.SetValue(RegValue::Bytes("long", REG_BINARY, bytes));
  odd.SetValue(RegValue::Bytes("empty", REG_BINARY, ""));
  odd.SetValue(RegValue::Bytes("short dword", REG_DWORD, "\x01\x02"));
  odd.SetValue(RegValue::Bytes("qword", REG_QWORD, std::string(8, '\xee')));
  odd.SetValue(RegValue::Bytes("sz as bytes", REG_SZ, std::string("h\0i\0\0\0", 6)));
  odd.SetValue(RegValue::Bytes("big type", 0x12345678, std::string(1, '\0')));
  root.AddSubkey("HKEY_CURRENT_USER").AddSubkey("Other hive");

  const std::string text = FormatRegText(root);
  const ParsedStore parsed = ParseRegText(text, "store.reg");
  ASSERT_TRUE(parsed.problems.empty()) << parsed.problems.front().Text();
  EXPECT_EQ(parsed.root, root);
  EXPECT_EQ(FormatRegText(parsed.root), text);
}

TEST(RegText, LongHexDataContinuesOnShortLines) {
  KeyNode root;
  root.AddSubkey("HKEY_LOCAL_MACHINE")
      .SetValue(RegValue::Bytes("b", REG_BINARY, std::string(100, 'A')));
  const std::string text = FormatRegText(root);
  std::size_t lines = 0;
  std::size_t start = 0;
  for (std::size_t end = text.find('\n'); end != std::string::npos; end = text.find('\n', start)) {
    EXPECT_LE(end - start, 80u) << text.substr(start, end - start);
    start = end + 1;
    ++lines;
  }
  EXPECT_GT(lines, 6u);
  EXPECT_NE(text.find(",\\\n  41,"), std::string::npos);
}

TEST(RegText, AcceptsWhatHandEditedFilesHold) {
  const std::string text =
      "\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n"
      "\r\n"
      "; a comment\r\n"
      "[hkey_local_machine\\System]\r\n"
      "\"A\" = \"1\"\r\n"
      "  \"B\"=DWORD:1F\r\n"
      "\"C\"=hex:01, 02,\\\r\n"
      "    03\r\n"
      "\r\n"
      "Windows Registry Editor Version 5.00\r\n"
      "[HKEY_LOCAL_MACHINE\\SYSTEM]\r\n"
      "\"a\"=\"2\"\r\n"
      "\"\"=\"empty name is the default\"";
  const ParsedStore parsed = ParseRegText(text, "f");
  ASSERT_TRUE(parsed.problems.empty()) << parsed.problems.front().Text();
  const KeyNode& system = Key(parsed.root, {"HKEY_LOCAL_MACHINE", "system"});
  EXPECT_EQ(parsed.root.subkeys.at(0).name, "HKEY_LOCAL_MACHINE");
  EXPECT_EQ(system.name, "System");
  ASSERT_EQ(system.values.size(), 4u);
  EXPECT_EQ(system.values[0], RegValue::Text("A", "2"));  // the later line wins, keeping the name
  EXPECT_EQ(system.values[1].data, std::string("\x1f\0\0\0", 4));
  EXPECT_EQ(system.values[2].data, "\x01\x02\x03");
  EXPECT_EQ(system.values[3], RegValue::Text("", "empty name is the default"));
}

TEST(RegText, EmptyTextIsACleanEmptyStore) {
  for (const std::string_view text : {"", "\n\n  \n", "Windows Registry Editor Version 5.00\n"}) {
    const ParsedStore parsed = ParseRegText(text, "f");
    EXPECT_TRUE(parsed.problems.empty()) << text;
    EXPECT_TRUE(parsed.root.subkeys.empty());
  }
  EXPECT_EQ(FormatRegText(KeyNode{}), "Windows Registry Editor Version 5.00\n\n");
}

struct BadLine {
  std::string body;  // after the header and a good key line with one good value
  std::size_t line;  // the line reported
  std::string message;
};

class RegTextBadLine : public ::testing::TestWithParam<BadLine> {};

TEST_P(RegTextBadLine, IsReportedWithItsLineAndTheRestIsRead) {
  const std::string text =
      std::string(kRegFileHeader) + "\n\n[HKEY_LOCAL_MACHINE\\Good]\n\"kept\"=\"yes\"\n" +
      std::string(GetParam().body) + "\n[HKEY_LOCAL_MACHINE\\After]\n\"also\"=\"kept\"\n";
  const ParsedStore parsed = ParseRegText(text, "/home/u/.config/norix/registry.reg");
  ASSERT_EQ(parsed.problems.size(), 1u) << text;
  const StoreProblem& problem = parsed.problems.front();
  EXPECT_EQ(problem.line, GetParam().line);
  EXPECT_NE(problem.message.find(GetParam().message), std::string::npos) << problem.message;
  EXPECT_EQ(problem.Text().rfind(
                "/home/u/.config/norix/registry.reg:" + std::to_string(GetParam().line) + ": ", 0),
            0u);
  EXPECT_EQ(Key(parsed.root, {"HKEY_LOCAL_MACHINE", "Good"}).values.front().data, "yes");
  EXPECT_EQ(Key(parsed.root, {"HKEY_LOCAL_MACHINE", "After"}).values.front().data, "kept");
}

INSTANTIATE_TEST_SUITE_P(
    Lines, RegTextBadLine,
    ::testing::Values(BadLine{"\"open\"=\"no end", 5, "closing quote"},
                      BadLine{"\"x\"=\"C:\\Windows\"", 5, "unknown escape"},
                      BadLine{"\"x\"=\"a\" trailing", 5, "after the closing quote"},
                      BadLine{"\"x\"", 5, "no \"=\""}, BadLine{"\"x\"=dword:123456789", 5, "dword"},
                      BadLine{"\"x\"=dword:", 5, "dword"},
                      BadLine{"\"x\"=hex:01,zz", 5, "\"zz\" is not a hex byte"},
                      BadLine{"\"x\"=hex:01,", 5, "is not a hex byte"},
                      BadLine{"\"x\"=hex(q):01", 5, "hex(type)"},
                      BadLine{"\"x\"=hex;01", 5, "\":\""}, BadLine{"\"x\"=-", 5, "deletion"},
                      BadLine{"\"x\"=42", 5, "neither a string"},
                      BadLine{"stray text", 5, "neither a key"},
                      // A bad key line is reported once; its values are left out.
                      BadLine{"[HKEY_LOCAL_MACHINE\\Bad\n\"lost\"=\"1\"", 5, "closing \"]\""},
                      BadLine{"[HKEY_LOCAL_MACHINE\\A\\\\B]\n\"lost\"=\"1\"", 5, "empty key name"},
                      BadLine{"[HKEY_LOCAL_MACHINE\\A] x", 5, "text after"},
                      BadLine{"[-HKEY_LOCAL_MACHINE\\Good]", 5, "deletion"},
                      BadLine{"[HKEY_NOWHERE\\A]\n\"lost\"=\"1\"", 5, "not a registry hive"},
                      BadLine{"\n\n\"x\"=hex:01,\\\n  zz", 7, "not a hex byte"},
                      // What a damaged file said comes out escaped and cut, never raw.
                      BadLine{"[\x1b]0;\x9b\x07\\A]", 5, "\"\\x1b]0;\\x9b\\x07\" is not"},
                      BadLine{"\"x\"=hex:" + std::string(300, 'q'), 5,
                              "\"" + std::string(60, 'q') + "...\" is not a hex byte"}));

TEST(RegText, WholeFileProblems) {
  const ParsedStore utf16 = ParseRegText(std::string("\xFF\xFEW\0i\0", 6), "f");
  ASSERT_EQ(utf16.problems.size(), 1u);
  EXPECT_EQ(utf16.problems.front().line, 0u);
  EXPECT_EQ(utf16.problems.front().Text(), "f: the file is UTF-16 text; save it as UTF-8");

  const ParsedStore noHeader =
      ParseRegText("REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\A]\n\"v\"=\"1\"\n", "f");
  ASSERT_EQ(noHeader.problems.size(), 1u);
  EXPECT_EQ(noHeader.problems.front().line, 1u);
  EXPECT_EQ(Key(noHeader.root, {"HKEY_LOCAL_MACHINE", "A"}).values.size(), 1u);

  const ParsedStore orphan =
      ParseRegText("Windows Registry Editor Version 5.00\n\"v\"=\"1\"\n\"w\"=\"2\"\n", "f");
  ASSERT_EQ(orphan.problems.size(), 2u);
  EXPECT_EQ(orphan.problems[0].message, "value before any key line");

  const ParsedStore cut = ParseRegText(
      "Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\A]\n\"v\"=hex:01,\\", "f");
  ASSERT_EQ(cut.problems.size(), 1u);
  EXPECT_NE(cut.problems.front().message.find("past the end"), std::string::npos);
}

}  // namespace
}  // namespace norix::platform::registry
