// The driver init string store on the registry stand-in: where the protocol
// string goes among the driver's own init strings, what is read back, which
// previous string is recorded, and that a write reaches the store file
// whole or not at all.
#include "isdn/driver_init_store.h"

#include <csignal>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/registry/key_tree.h"
#include "platform/registry/registry.h"
#include "platform/registry/store_file.h"
#include "support/temp_dir.h"

namespace norix::isdn {
namespace {

namespace R = platform::registry;

const std::string kDriver = "System\\CurrentControlSet\\Services\\Class\\Modem\\0001";
const std::string kOtherDriver = "System\\CurrentControlSet\\Services\\Class\\Modem\\0002";
constexpr std::string_view kNew = "AT&B2%B7S161=5S162=30S163=48S164=30*CB1\\P1<cr>";

using Values = std::vector<std::pair<std::string, std::string>>;

class InitStoreTest : public ::testing::Test {
 protected:
  // A driver key with "Init" holding `init` and, when `marked`,
  // "InitPrevious" holding `previous`.
  void Seed(const std::string& driver, const Values& init, bool marked,
            const Values& previous = {}) {
    const auto path = R::SplitKeyPath("HKEY_LOCAL_MACHINE\\" + driver);
    ASSERT_EQ(registry_.Modify([&](R::KeyNode& root) {
      R::KeyNode& key = R::CreateKey(root, *path);
      R::KeyNode& values = key.AddSubkey("Init");
      for (const auto& [name, text] : init) values.SetValue(R::RegValue::Text(name, text));
      if (marked) {
        R::KeyNode& mark = key.AddSubkey("InitPrevious");
        for (const auto& [name, text] : previous) mark.SetValue(R::RegValue::Text(name, text));
      }
      return R::ERROR_SUCCESS;
    }),
              R::ERROR_SUCCESS);
  }

  // The values of `subkey` below the driver key; nullopt when it is missing.
  std::optional<Values> ValuesOf(const std::string& subkey) {
    const R::KeyNode root = registry_.Snapshot();
    const auto path = R::SplitKeyPath("HKEY_LOCAL_MACHINE\\" + kDriver + "\\" + subkey);
    const R::KeyNode* key = R::FindKey(root, *path);
    if (key == nullptr) return std::nullopt;
    Values values;
    for (const R::RegValue& value : key->values) values.emplace_back(value.name, value.data);
    return values;
  }

  norix::testing::TempDir dir_;
  std::string path_ = (dir_.Path() / "registry.reg").string();
  R::Registry registry_{path_};
};

struct WriteCase {
  const char* name;
  Values init;
  bool marked;
  Values initAfter;
  Values previousAfter;
};

class InitStoreWriteTest : public InitStoreTest, public ::testing::WithParamInterface<WriteCase> {};

TEST_P(InitStoreWriteTest, PutsTheStringAfterTheDriversOwnAndReadsItBack) {
  const WriteCase& c = GetParam();
  Seed(kDriver, c.init, c.marked, {{"1", "old"}});
  InitStringStore store;
  ReadInitString(&registry_, kDriver, store);
  EXPECT_EQ(store.current, c.marked && !c.init.empty() ? c.init.back().second : "");
  store.previous = "AT&B2%B0\\P1<cr>";
  ASSERT_EQ(WriteInitString(&registry_, kDriver, kNew, store), InitStoreResult::kWritten);
  EXPECT_EQ(ValuesOf("Init"), c.initAfter);
  EXPECT_EQ(ValuesOf("InitPrevious"), c.previousAfter);
  InitStringStore again;
  ReadInitString(&registry_, kDriver, again);
  EXPECT_EQ(again.current, kNew);
}

const std::string kNewText(kNew);

INSTANTIATE_TEST_SUITE_P(
    InitStore, InitStoreWriteTest,
    ::testing::Values(
        // The first write adds the next value and an empty "InitPrevious".
        WriteCase{"FirstWrite",
                  {{"1", "AT<cr>"}, {"2", "ATZ<cr>"}},
                  false,
                  {{"1", "AT<cr>"}, {"2", "ATZ<cr>"}, {"3", kNewText}},
                  {}},
        // Later writes replace the last value and record the previous string.
        WriteCase{"LaterWrite",
                  {{"1", "AT<cr>"}, {"2", "ATZ<cr>"}, {"3", "AT&B2%B0\\P1<cr>"}},
                  true,
                  {{"1", "AT<cr>"}, {"2", "ATZ<cr>"}, {"3", kNewText}},
                  {{"1", "AT&B2%B0\\P1<cr>"}}},
        // The next free number, not the count plus one: "3" is the driver's.
        WriteCase{"GapInNames",
                  {{"1", "AT<cr>"}, {"3", "ATZ<cr>"}},
                  false,
                  {{"1", "AT<cr>"}, {"3", "ATZ<cr>"}, {"4", kNewText}},
                  {}},
        WriteCase{"TenthValue",
                  {{"1", "A"},
                   {"2", "B"},
                   {"3", "C"},
                   {"4", "D"},
                   {"5", "E"},
                   {"6", "F"},
                   {"7", "G"},
                   {"8", "H"},
                   {"9", "I"}},
                  false,
                  {{"1", "A"},
                   {"2", "B"},
                   {"3", "C"},
                   {"4", "D"},
                   {"5", "E"},
                   {"6", "F"},
                   {"7", "G"},
                   {"8", "H"},
                   {"9", "I"},
                   {"10", kNewText}},
                  {}},
        WriteCase{"MarkedButEmpty", {}, true, {{"1", kNewText}}, {{"1", "AT&B2%B0\\P1<cr>"}}}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST_F(InitStoreTest, ThePreviousStringIsThatOfTheLastOpeningOnTheSameDevice) {
  Seed(kDriver, {{"1", "AT<cr>"}}, false);
  Seed(kOtherDriver, {{"1", "AT<cr>"}, {"2", "AT&B0%B2\\P3<cr>"}}, true);
  InitStringStore store;
  // Two openings with a write each: the second records the first's string.
  KeepPrevious(store, kDriver);
  ReadInitString(&registry_, kDriver, store);
  ASSERT_EQ(WriteInitString(&registry_, kDriver, "AT&B2%B0\\P1<cr>", store),
            InitStoreResult::kWritten);
  KeepPrevious(store, kDriver);
  ReadInitString(&registry_, kDriver, store);
  ASSERT_EQ(WriteInitString(&registry_, kDriver, kNew, store), InitStoreResult::kWritten);
  EXPECT_EQ(ValuesOf("InitPrevious"), (Values{{"1", "AT&B2%B0\\P1<cr>"}}));

  // Another device: its own string is read, and this device's is not its
  // previous one.
  KeepPrevious(store, kOtherDriver);
  EXPECT_EQ(store.previous, "");
  ReadInitString(&registry_, kOtherDriver, store);
  EXPECT_EQ(store.current, "AT&B0%B2\\P3<cr>");

  // Back to a device the store has not written yet: nothing of the other
  // device's string is left to decode.
  ReadInitString(&registry_, "System\\NoSuchDriver", store);
  EXPECT_EQ(store.current, "");
  ReadInitString(nullptr, kDriver, store);
  EXPECT_EQ(store.current, "");
}

TEST_F(InitStoreTest, NothingOutsideAnExistingDriverKeyIsWritten) {
  Seed(kDriver, {{"1", "AT<cr>"}}, false);
  const std::string before = R::ReadWholeFile(path_, 1 << 20).text;
  InitStringStore store;
  for (const std::optional<std::string>& key :
       {std::optional<std::string>(kOtherDriver), std::optional<std::string>(),
        std::optional<std::string>("System\\\\Doubled")}) {
    EXPECT_EQ(WriteInitString(&registry_, key, kNew, store), InitStoreResult::kNoDriver);
  }
  EXPECT_EQ(WriteInitString(nullptr, kDriver, kNew, store), InitStoreResult::kNoDriver);
  EXPECT_EQ(R::ReadWholeFile(path_, 1 << 20).text, before);
  EXPECT_EQ(store.current, "");
}

// The store file may grow by what the new "Init" value needs and no more,
// so a store that wrote its two changes one after the other would write the
// first and fail on "InitPrevious". The file size limit makes the write fail
// even for root, in a child process so that it does not outlive the test.
TEST_F(InitStoreTest, AWriteFailingHalfWayLeavesTheStoreFileUnchanged) {
  const std::string old = "AT&B2%B0\\P1<cr>";
  Seed(kDriver, {{"1", "AT<cr>"}, {"2", old}}, true);
  const std::string before = R::ReadWholeFile(path_, 1 << 20).text;
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (std::signal(SIGXFSZ, SIG_IGN) == SIG_ERR) _exit(2);
    const rlim_t room = before.size() + kNew.size() - old.size();
    const rlimit limit{room, room};
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(2);
    R::Registry registry(path_);
    InitStringStore store;
    ReadInitString(&registry, kDriver, store);
    store.previous = "AT&B0%B2\\P3<cr>";
    const InitStoreResult result = WriteInitString(&registry, kDriver, kNew, store);
    _exit(result == InitStoreResult::kFailed && store.current == old ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(R::ReadWholeFile(path_, 1 << 20).text, before);
}

TEST_F(InitStoreTest, DriverStringsComeInTheOrderOfTheirNumbersAndTheProtocolApart) {
  Seed(kDriver, {{"2", "ATZ<cr>"}, {"10", "ATS7=60<cr>"}, {"1", "AT<cr>"}, {"3", "AT&B0\\P1<cr>"}},
       true);
  const auto strings = ReadDriverInitStrings(registry_, kDriver);
  ASSERT_TRUE(strings);
  EXPECT_EQ(strings->driver, (std::vector<std::string>{"AT<cr>", "ATZ<cr>", "ATS7=60<cr>"}));
  EXPECT_EQ(strings->protocol, "AT&B0\\P1<cr>");
  EXPECT_FALSE(ReadDriverInitStrings(registry_, kOtherDriver));
}

}  // namespace
}  // namespace norix::isdn
