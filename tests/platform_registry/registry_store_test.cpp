// The store file behind the registry: what is written and read back, writes
// that fail, files that do not read cleanly, and writers in several threads
// and processes.
#include <csignal>
#include <filesystem>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/registry/registry.h"
#include "platform/registry/store_file.h"
#include "registry_test_support.h"

namespace norix::platform::registry {
namespace {

using test::ReadFile;
using test::WriteFile;

LSTATUS SetText(Registry& registry, std::string_view key, std::string_view name,
                std::string_view text) {
  HKEY handle{};
  LSTATUS status =
      registry.RegCreateKeyEx(HKEY_LOCAL_MACHINE, key, "", 0, KEY_ALL_ACCESS, &handle, nullptr);
  if (status != ERROR_SUCCESS) return status;
  status =
      registry.RegSetValueEx(handle, name, REG_SZ, text.data(), static_cast<DWORD>(text.size()));
  registry.RegCloseKey(handle);
  return status;
}

std::string Text(Registry& registry, std::string_view key, std::string_view name) {
  HKEY handle{};
  if (registry.RegOpenKeyEx(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &handle) != ERROR_SUCCESS) {
    return "#no key";
  }
  std::string buffer(512, '\0');
  DWORD size = static_cast<DWORD>(buffer.size());
  const LSTATUS status = registry.RegQueryValueEx(handle, name, nullptr, buffer.data(), &size);
  registry.RegCloseKey(handle);
  if (status != ERROR_SUCCESS) return "#" + std::to_string(status);
  buffer.resize(size - 1);
  return buffer;
}

std::set<std::string> FolderEntries(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

TEST(RegistryStore, ChangesReachTheFileAndANewInstance) {
  test::ScratchFolder folder;
  const std::string path = folder / "config/norix/registry.reg";
  {
    Registry registry(path);
    EXPECT_TRUE(registry.Problems().empty());
    ASSERT_EQ(SetText(registry, "System\\Modem", "InfPath", "a \"quoted\" C:\\path"),
              ERROR_SUCCESS);
    ASSERT_EQ(SetText(registry, "System\\Modem", "", "default"), ERROR_SUCCESS);
  }
  EXPECT_EQ(ReadFile(path),
            "Windows Registry Editor Version 5.00\n\n"
            "[HKEY_LOCAL_MACHINE]\n\n"
            "[HKEY_LOCAL_MACHINE\\System]\n\n"
            "[HKEY_LOCAL_MACHINE\\System\\Modem]\n"
            "\"InfPath\"=\"a \\\"quoted\\\" C:\\\\path\"\n"
            "@=\"default\"\n\n");
  struct stat st {};
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  ASSERT_EQ(stat((folder / "config/norix").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);

  ASSERT_EQ(chmod(path.c_str(), 0644), 0);
  Registry again(path);
  EXPECT_EQ(Text(again, "system\\modem", "infpath"), "a \"quoted\" C:\\path");
  ASSERT_EQ(SetText(again, "System\\Modem", "DriverDate", "3-14-2024"), ERROR_SUCCESS);
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0644u);  // a rewrite keeps the file's permissions
  EXPECT_EQ(FolderEntries(folder / "config/norix"),
            (std::set<std::string>{"registry.reg", "registry.reg.lock"}));
}

TEST(RegistryStore, ReadsSeeWhatAnotherInstanceWrote) {
  test::ScratchFolder folder;
  Registry first(folder / "registry.reg");
  Registry second(folder / "registry.reg");
  ASSERT_EQ(SetText(first, "K", "v", "1"), ERROR_SUCCESS);
  EXPECT_EQ(Text(second, "K", "v"), "1");
  ASSERT_EQ(SetText(second, "K", "v", "2"), ERROR_SUCCESS);
  EXPECT_EQ(Text(first, "K", "v"), "2");
}

TEST(RegistryStore, AChangeThatChangesNothingWritesNothing) {
  test::ScratchFolder folder;
  Registry registry(folder / "registry.reg");
  ASSERT_EQ(SetText(registry, "K", "v", "same"), ERROR_SUCCESS);
  const std::optional<FileStamp> before = StampOf(registry.StorePath());
  ASSERT_TRUE(before);
  ASSERT_EQ(SetText(registry, "K", "v", "same"), ERROR_SUCCESS);
  EXPECT_EQ(registry.Modify([](KeyNode&) { return ERROR_SUCCESS; }), ERROR_SUCCESS);
  EXPECT_EQ(StampOf(registry.StorePath()), before);
  EXPECT_EQ(registry.Modify([](KeyNode& root) {
    root.subkeys.clear();
    return ERROR_FILE_NOT_FOUND;
  }),
            ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(registry.Modify([](KeyNode& root) {
    root.AddSubkey("HKEY_ELSEWHERE");
    return ERROR_SUCCESS;
  }),
            ERROR_INVALID_PARAMETER);
  EXPECT_EQ(StampOf(registry.StorePath()), before);
  EXPECT_EQ(Text(registry, "K", "v"), "same");
}

// A write that fails half-way leaves the old file whole and no temporary
// file behind. The file size limit makes the write fail even for root, in a
// child process so that the limit does not outlive the test.
TEST(RegistryStore, AFailedWriteLeavesTheOldFileIntact) {
  test::ScratchFolder folder;
  const std::string path = folder / "registry.reg";
  {
    Registry registry(path);
    ASSERT_EQ(SetText(registry, "Big", "small", "old"), ERROR_SUCCESS);
  }
  const std::string before = ReadFile(path);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (std::signal(SIGXFSZ, SIG_IGN) == SIG_ERR) _exit(2);
    const rlimit limit{512, 512};
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(2);
    Registry registry(path);
    const LSTATUS status = SetText(registry, "Big", "large", std::string(4096, 'x'));
    const bool reported = !registry.LastWriteError().empty();
    const bool unchanged = Text(registry, "Big", "large") == "#2";
    _exit(status == ERROR_REGISTRY_IO_FAILED && reported && unchanged ? 0 : 1);
  }
  int wstatus = 0;
  ASSERT_EQ(waitpid(child, &wstatus, 0), child);
  ASSERT_TRUE(WIFEXITED(wstatus));
  EXPECT_EQ(WEXITSTATUS(wstatus), 0);
  EXPECT_EQ(ReadFile(path), before);
  EXPECT_EQ(FolderEntries(folder.Path()),
            (std::set<std::string>{"registry.reg", "registry.reg.lock"}));
}

TEST(RegistryStore, AReadOnlyFolderRefusesTheWriteAndKeepsTheFile) {
  if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
  test::ScratchFolder folder;
  const std::string path = folder / "registry.reg";
  Registry registry(path);
  ASSERT_EQ(SetText(registry, "K", "v", "old"), ERROR_SUCCESS);
  const std::string before = ReadFile(path);
  ASSERT_EQ(chmod(folder.Path().c_str(), 0500), 0);
  EXPECT_EQ(SetText(registry, "K", "v", "new"), ERROR_REGISTRY_IO_FAILED);
  EXPECT_FALSE(registry.LastWriteError().empty());
  EXPECT_EQ(Text(registry, "K", "v"), "old");
  ASSERT_EQ(chmod(folder.Path().c_str(), 0700), 0);
  EXPECT_EQ(ReadFile(path), before);
}

constexpr std::string_view kMalformed =
    "Windows Registry Editor Version 5.00\n"
    "\n"
    "[HKEY_LOCAL_MACHINE\\Driver]\n"
    "\"InfPath\"=\"kept.inf\"\n"
    "\"DriverDate\"=\"1-2-2003\n"
    "\n"
    "[HKEY_LOCAL_MACHINE\\Driver\\Init]\n"
    "\"1\"=\"AT<cr>\"\n";

TEST(RegistryStore, AMalformedFileIsReportedReadAsFarAsPossibleAndNeverWritten) {
  test::ScratchFolder folder;
  const std::string path = folder / "registry.reg";
  WriteFile(path, std::string(kMalformed));

  ::testing::internal::CaptureStderr();
  Registry registry(path, "prog");
  const std::string printed = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(printed.find(path + ":5: "), std::string::npos) << printed;
  // Each line of the program's own is led by the prefix it gave.
  EXPECT_TRUE(printed.starts_with("prog: the registry store cannot be read cleanly:\n")) << printed;
  EXPECT_NE(printed.find("\nprog: the program uses what it could read"), std::string::npos)
      << printed;
  const std::vector<StoreProblem> problems = registry.Problems();
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_EQ(problems.front().file, path);
  EXPECT_EQ(problems.front().line, 5u);

  EXPECT_EQ(Text(registry, "Driver", "InfPath"), "kept.inf");
  EXPECT_EQ(Text(registry, "Driver\\Init", "1"), "AT<cr>");
  EXPECT_EQ(Text(registry, "Driver", "DriverDate"), "#2");

  ::testing::internal::CaptureStderr();
  EXPECT_EQ(SetText(registry, "Driver", "DriverDate", "1-2-2003"), ERROR_REGISTRY_CORRUPT);
  EXPECT_EQ(SetText(registry, "Driver\\New", "v", "x"), ERROR_REGISTRY_CORRUPT);
  EXPECT_EQ(registry.Modify([](KeyNode&) { return ERROR_SUCCESS; }), ERROR_REGISTRY_CORRUPT);
  Registry second(path);
  EXPECT_EQ(SetText(second, "Driver", "InfPath", "other.inf"), ERROR_REGISTRY_CORRUPT);
  // Reported once per instance, not on every call.
  const std::string again = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(again.find(path + ":5: "), again.rfind(path + ":5: ")) << again;
  EXPECT_EQ(ReadFile(path), kMalformed);
  EXPECT_EQ(FolderEntries(folder.Path()),
            (std::set<std::string>{"registry.reg", "registry.reg.lock"}));

  // Once mended, the same instance writes again.
  std::string mended(kMalformed);
  mended.insert(mended.find("2003") + 4, "\"");
  WriteFile(path, mended);
  EXPECT_TRUE(registry.Problems().empty());
  EXPECT_EQ(SetText(registry, "Driver", "InfPath", "new.inf"), ERROR_SUCCESS);
  EXPECT_EQ(Text(second, "Driver", "DriverDate"), "1-2-2003");
  EXPECT_EQ(Text(second, "Driver", "InfPath"), "new.inf");
}

TEST(RegistryStore, AStoreThatIsNotAFileIsReportedAndLeftAlone) {
  test::ScratchFolder folder;
  const std::string path = folder / "registry.reg";
  ASSERT_EQ(mkdir(path.c_str(), 0700), 0);
  ::testing::internal::CaptureStderr();
  Registry registry(path);
  EXPECT_NE(::testing::internal::GetCapturedStderr().find("not a regular file"), std::string::npos);
  ASSERT_EQ(registry.Problems().size(), 1u);
  EXPECT_EQ(registry.Problems().front().line, 0u);
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(SetText(registry, "K", "v", "x"), ERROR_REGISTRY_CORRUPT);
  ::testing::internal::GetCapturedStderr();
  EXPECT_TRUE(std::filesystem::is_directory(path));
  EXPECT_TRUE(std::filesystem::is_empty(path));
}

// Each writer's values must all be in the file at the end: a writer that
// wrote what it had read earlier, instead of what the file holds now, would
// drop the other's values.
TEST(RegistryStore, WritersInTwoThreadsLoseNothing) {
  test::ScratchFolder folder;
  const std::string path = folder / "registry.reg";
  constexpr int kEach = 40;
  Registry first(path);
  Registry second(path);
  Registry& shared = first;
  const auto writer = [&](Registry& registry, const std::string& prefix) {
    for (int i = 0; i < kEach; ++i) {
      EXPECT_EQ(SetText(registry, "Shared", prefix + std::to_string(i), prefix), ERROR_SUCCESS);
    }
  };
  std::thread a(writer, std::ref(first), "a");
  std::thread b(writer, std::ref(second), "b");
  std::thread c(writer, std::ref(shared), "c");  // two threads on one instance
  a.join();
  b.join();
  c.join();
  Registry check(path);
  const KeyNode root = check.Snapshot();
  const KeyNode* key = FindKey(root, std::vector<std::string>{"HKEY_LOCAL_MACHINE", "Shared"});
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(key->values.size(), 3u * kEach);
}

TEST(RegistryStore, WritersInTwoProcessesLoseNothing) {
  test::ScratchFolder folder;
  const std::string path = folder / "registry.reg";
  constexpr int kEach = 25;
  std::vector<pid_t> children;
  for (const char* prefix : {"p", "q"}) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      Registry registry(path);
      for (int i = 0; i < kEach; ++i) {
        if (SetText(registry, "Shared", prefix + std::to_string(i), prefix) != ERROR_SUCCESS) {
          _exit(1);
        }
      }
      _exit(0);
    }
    children.push_back(child);
  }
  for (const pid_t child : children) {
    int wstatus = 0;
    ASSERT_EQ(waitpid(child, &wstatus, 0), child);
    EXPECT_TRUE(WIFEXITED(wstatus) && WEXITSTATUS(wstatus) == 0);
  }
  Registry check(path);
  EXPECT_TRUE(check.Problems().empty());
  const KeyNode root = check.Snapshot();
  const KeyNode* key = FindKey(root, std::vector<std::string>{"HKEY_LOCAL_MACHINE", "Shared"});
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(key->values.size(), 2u * kEach);
}

TEST(StorePath, XdgConfigHomeThenHome) {
  constexpr std::string_view kFile = "prog/store.reg";
  EXPECT_EQ(StorePathFor("/x/cfg", "/home/u", kFile), "/x/cfg/prog/store.reg");
  EXPECT_EQ(StorePathFor("/x/cfg/", "/home/u", kFile), "/x/cfg/prog/store.reg");
  EXPECT_EQ(StorePathFor("relative", "/home/u", kFile), "/home/u/.config/prog/store.reg");
  EXPECT_EQ(StorePathFor("", "/home/u/", kFile), "/home/u/.config/prog/store.reg");
  EXPECT_EQ(StorePathFor(std::nullopt, "/home/u", kFile), "/home/u/.config/prog/store.reg");
  EXPECT_TRUE(StorePathFor(std::nullopt, std::nullopt, kFile).ends_with("/.config/prog/store.reg"));
}

}  // namespace
}  // namespace norix::platform::registry
