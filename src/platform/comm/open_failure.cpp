#include "platform/comm/open_failure.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <system_error>

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace norix::platform::comm {
namespace {

namespace fs = std::filesystem;

// Enough for the group and user records of nearly every system; the calls
// that need more say ERANGE and get a larger buffer.
constexpr std::size_t kRecordBuffer = 4096;
constexpr std::size_t kRecordBufferLimit = 1U << 20U;

// The whole of a small file; /proc files tell no size, so it is read in
// chunks up to the end (at most kSmallFileLimit bytes).
std::string ReadSmallFile(const fs::path& file) {
  constexpr std::size_t kChunk = 4096;
  constexpr std::size_t kSmallFileLimit = 1U << 20U;
  std::ifstream in(file, std::ios::binary);
  std::string text;
  while (in && text.size() < kSmallFileLimit) {
    const std::size_t had = text.size();
    text.resize(had + kChunk);
    in.read(text.data() + had, static_cast<std::streamsize>(kChunk));
    text.resize(had + static_cast<std::size_t>(in.gcount()));
  }
  return text;
}

std::optional<long> ParseDecimal(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\n");
  const auto last = text.find_last_not_of(" \t\n\0", std::string_view::npos, 4);
  if (first == std::string_view::npos) {
    return std::nullopt;
  }
  text = text.substr(first, last - first + 1);
  long value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc{} || end != text.data() + text.size() || value <= 0) {
    return std::nullopt;
  }
  return value;
}

std::string GroupName(gid_t gid) {
  std::vector<char> buffer(kRecordBuffer);
  group record{};
  group* found = nullptr;
  while (getgrgid_r(gid, &record, buffer.data(), buffer.size(), &found) == ERANGE &&
         buffer.size() < kRecordBufferLimit) {
    buffer.resize(buffer.size() * 2);
  }
  return found != nullptr ? std::string(found->gr_name) : std::to_string(gid);
}

bool ProcessHasGroup(gid_t gid) {
  if (getegid() == gid) {
    return true;
  }
  const int count = getgroups(0, nullptr);
  if (count <= 0) {
    return false;
  }
  std::vector<gid_t> groups(static_cast<std::size_t>(count));
  const int got = getgroups(count, groups.data());
  groups.resize(static_cast<std::size_t>(std::max(got, 0)));
  return std::find(groups.begin(), groups.end(), gid) != groups.end();
}

// The groups the group database gives the user now; a session started
// before the user joined one does not have it yet.
bool UserListedInGroup(gid_t gid) {
  std::vector<char> buffer(kRecordBuffer);
  passwd record{};
  passwd* found = nullptr;
  while (getpwuid_r(geteuid(), &record, buffer.data(), buffer.size(), &found) == ERANGE &&
         buffer.size() < kRecordBufferLimit) {
    buffer.resize(buffer.size() * 2);
  }
  if (found == nullptr) {
    return false;
  }
  int count = 64;
  std::vector<gid_t> groups(static_cast<std::size_t>(count));
  if (getgrouplist(found->pw_name, found->pw_gid, groups.data(), &count) < 0) {
    groups.resize(static_cast<std::size_t>(count));
    if (getgrouplist(found->pw_name, found->pw_gid, groups.data(), &count) < 0) {
      return false;
    }
  }
  groups.resize(static_cast<std::size_t>(count));
  return std::find(groups.begin(), groups.end(), gid) != groups.end();
}

void GatherAccessFacts(const std::string& path, OpenFailureFacts& facts) {
  struct stat status {};
  if (stat(path.c_str(), &status) != 0) {
    return;
  }
  // Only a group that may read and write the device is worth joining.
  constexpr mode_t kGroupReadWrite = S_IRGRP | S_IWGRP;
  if ((status.st_mode & kGroupReadWrite) != kGroupReadWrite) {
    return;
  }
  facts.deviceGroup = GroupName(status.st_gid);
  facts.processInGroup = ProcessHasGroup(status.st_gid);
  facts.userListedInGroup = UserListedInGroup(status.st_gid);
}

// The process holding a flock() or POSIX lock on the device, from lines like
//   "1: FLOCK  ADVISORY  WRITE 4242 00:05:1234 0 EOF"
// (pid, then the major and minor device of the file system in hex and the
// inode). Waiters ("1: -> FLOCK ...") hold nothing.
std::optional<long> PidFromProcLocks(const fs::path& locks, const struct stat& device) {
  std::istringstream lines(ReadSmallFile(locks));
  for (std::string line; std::getline(lines, line);) {
    std::istringstream words(line);
    std::vector<std::string> word{std::istream_iterator<std::string>(words),
                                  std::istream_iterator<std::string>()};
    if (word.size() < 6 || word[1] == "->") {
      continue;
    }
    unsigned fsMajor = 0;
    unsigned fsMinor = 0;
    unsigned long inode = 0;
    char colon1 = 0;
    char colon2 = 0;
    std::istringstream where(word[5]);
    where >> std::hex >> fsMajor >> colon1 >> fsMinor >> colon2 >> std::dec >> inode;
    if (!where || colon1 != ':' || colon2 != ':') {
      continue;
    }
    if (fsMajor == major(device.st_dev) && fsMinor == minor(device.st_dev) &&
        inode == device.st_ino) {
      if (const auto pid = ParseDecimal(word[4])) {
        return pid;
      }
    }
  }
  return std::nullopt;
}

// The UUCP lock file of the device ("LCK..ttyUSB0"): the owner's pid in
// ASCII, or as a binary int in old ones. A file whose process has ended is
// left over and names nobody.
std::optional<long> PidFromLockFiles(const FactSources& sources, const fs::path& device) {
  for (const fs::path& dir : sources.lockDirs) {
    const std::string text = ReadSmallFile(dir / ("LCK.." + device.filename().string()));
    std::optional<long> pid = ParseDecimal(text);
    if (!pid && text.size() == sizeof(int)) {
      int binary = 0;
      std::copy(text.begin(), text.end(), reinterpret_cast<char*>(&binary));
      pid = binary > 0 ? std::optional<long>(binary) : std::nullopt;
    }
    std::error_code error;
    if (pid && fs::exists(sources.proc / std::to_string(*pid), error)) {
      return pid;
    }
  }
  return std::nullopt;
}

// A process with the device among its open files. Only the processes this
// one may look into are seen: all of them for root, the user's own else.
std::optional<long> PidWithOpenFile(const fs::path& proc, const fs::path& device) {
  std::error_code error;
  for (fs::directory_iterator process(proc, error), end; !error && process != end;
       process.increment(error)) {
    const auto pid = ParseDecimal(process->path().filename().string());
    if (!pid) {
      continue;
    }
    std::error_code fdError;
    for (fs::directory_iterator fd(process->path() / "fd", fdError), fdEnd; !fdError && fd != fdEnd;
         fd.increment(fdError)) {
      std::error_code linkError;
      if (fs::read_symlink(fd->path(), linkError) == device) {
        return pid;
      }
    }
  }
  return std::nullopt;
}

std::string HolderText(const fs::path& proc, long pid) {
  std::string name = ReadSmallFile(proc / std::to_string(pid) / "comm");
  while (!name.empty() && (name.back() == '\n' || name.back() == ' ')) {
    name.pop_back();
  }
  const std::string process = "process " + std::to_string(pid);
  return name.empty() ? process : name + ", " + process;
}

void FindHolder(const std::string& path, const FactSources& sources, OpenFailureFacts& facts) {
  std::error_code error;
  const fs::path device = fs::canonical(path, error);  // a by-id link names the tty
  struct stat status {};
  if (error || stat(device.c_str(), &status) != 0) {
    return;
  }
  std::optional<long> pid = PidFromProcLocks(sources.proc / "locks", status);
  if (!pid) {
    pid = PidFromLockFiles(sources, device);
  }
  if (!pid) {
    pid = PidWithOpenFile(sources.proc, device);
  }
  if (pid && *pid == static_cast<long>(getpid())) {
    facts.holder = "this program itself (process " + std::to_string(*pid) + ")";
    facts.heldByThisProcess = true;
  } else if (pid) {
    facts.holder = HolderText(sources.proc, *pid);
  }
}

}  // namespace

OpenFailure ClassifyOpenError(int error) {
  switch (error) {
    case 0:
      return OpenFailure::None;
    case EACCES:
    case EPERM:
      return OpenFailure::NoAccess;
    case EBUSY:
      return OpenFailure::InUse;
    case ENOENT:
    case ENODEV:
    case ENXIO:
      return OpenFailure::Gone;
    default:
      return OpenFailure::Other;
  }
}

OpenFailureFacts GatherOpenFailureFacts(const std::string& path, int error,
                                        const FactSources& sources) {
  OpenFailureFacts facts;
  switch (ClassifyOpenError(error)) {
    case OpenFailure::NoAccess:
      GatherAccessFacts(path, facts);
      break;
    case OpenFailure::InUse:
      FindHolder(path, sources, facts);
      break;
    default:
      break;
  }
  return facts;
}

std::string DescribeOpenFailure(const std::string& path, int error, const OpenFailureFacts& facts) {
  std::string message = "cannot open " + path + ": " + std::generic_category().message(error);
  std::string fix;
  switch (ClassifyOpenError(error)) {
    case OpenFailure::NoAccess:
      if (!facts.deviceGroup.empty() && !facts.processInGroup) {
        const std::string& group = facts.deviceGroup;
        fix = facts.userListedInGroup ? "the user is in group " + group +
                                            ", but this session began before: log out and in again"
                                      : "the user is not in group " + group +
                                            ", which may use the device: sudo usermod -aG " +
                                            group + " $USER, then log in again";
      }
      break;
    case OpenFailure::InUse:
      fix = facts.holder.empty()
                ? "another program holds the port; ModemManager or a terminal program often "
                  "does: end it or tell it to leave the port alone, and try again"
                : "in use by " + facts.holder +
                      (facts.heldByThisProcess ? "" : ": end it and try again");
      break;
    case OpenFailure::Gone:
      fix = "the device is not there: check that the product is plugged in and switched on";
      break;
    default:
      break;
  }
  if (!fix.empty()) {
    message += " (" + fix + ")";
  }
  return message;
}

}  // namespace norix::platform::comm
