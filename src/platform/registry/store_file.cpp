#include "platform/registry/store_file.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace norix::platform::registry {

namespace {

std::string ErrnoText(int error) { return std::strerror(error); }  // NOLINT(concurrency-mt-unsafe)

std::optional<std::string_view> Environment(const char* name) {
  // Read before any other thread exists (see DefaultStorePath).
  const char* value = std::getenv(name);  // NOLINT(concurrency-mt-unsafe)
  if (value == nullptr) return std::nullopt;
  return std::string_view(value);
}

std::string HomeFromPasswordDatabase() {
  passwd entry{};
  passwd* found = nullptr;
  std::vector<char> buffer(16384);
  if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr ||
      found->pw_dir == nullptr) {
    return "/";
  }
  return found->pw_dir;
}

FileStamp StampFrom(const struct stat& st) {
  return FileStamp{st.st_dev, st.st_ino, st.st_size, st.st_mtim, st.st_ctim};
}

int CloseKeepingErrno(int fd) {
  const int saved = errno;
  const int rc = close(fd);
  errno = saved;
  return rc;
}

bool WriteAll(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t n = write(fd, data.data(), data.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

}  // namespace

std::string StorePathFor(std::optional<std::string_view> xdgConfigHome,
                         std::optional<std::string_view> home, std::string_view relativePath) {
  std::string config;
  if (xdgConfigHome && xdgConfigHome->starts_with('/')) {
    config = std::string(*xdgConfigHome);
  } else {
    config = home && home->starts_with('/') ? std::string(*home) : HomeFromPasswordDatabase();
    if (!config.ends_with('/')) config += '/';
    config += ".config";
  }
  if (!config.ends_with('/')) config += '/';
  return config + std::string(relativePath);
}

std::string DefaultStorePath(std::string_view relativePath) {
  return StorePathFor(Environment("XDG_CONFIG_HOME"), Environment("HOME"), relativePath);
}

bool FileStamp::operator==(const FileStamp& other) const noexcept {
  return device == other.device && inode == other.inode && size == other.size &&
         modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec &&
         changed.tv_sec == other.changed.tv_sec && changed.tv_nsec == other.changed.tv_nsec;
}

std::optional<FileStamp> StampOf(const std::string& path) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) return std::nullopt;
  return StampFrom(st);
}

FileContent ReadWholeFile(const std::string& path, std::size_t limit) {
  FileContent content;
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT) return content;
    content.status = FileContent::Status::Failed;
    content.error = "cannot open it: " + ErrnoText(errno);
    return content;
  }
  struct stat st {};
  const auto fail = [&](std::string error) {
    CloseKeepingErrno(fd);
    content.status = FileContent::Status::Failed;
    content.text.clear();
    content.error = std::move(error);
    return content;
  };
  if (fstat(fd, &st) != 0) return fail("cannot examine it: " + ErrnoText(errno));
  if (!S_ISREG(st.st_mode)) return fail("it is not a regular file");
  if (static_cast<std::size_t>(st.st_size) > limit) {
    return fail("it is larger than " + std::to_string(limit) + " bytes");
  }
  char chunk[65536];
  while (true) {
    const ssize_t n = read(fd, chunk, sizeof chunk);
    if (n < 0) {
      if (errno == EINTR) continue;
      return fail("cannot read it: " + ErrnoText(errno));
    }
    if (n == 0) break;
    content.text.append(chunk, static_cast<std::size_t>(n));
    if (content.text.size() > limit) {
      return fail("it is larger than " + std::to_string(limit) + " bytes");
    }
  }
  close(fd);
  content.status = FileContent::Status::Read;
  content.stamp = StampFrom(st);
  return content;
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string MakeFolders(const std::string& folder) {
  struct stat st {};
  if (stat(folder.c_str(), &st) == 0) {
    return S_ISDIR(st.st_mode) ? std::string() : folder + " is not a folder";
  }
  const std::string parent = FolderOf(folder);
  if (parent != folder) {
    std::string error = MakeFolders(parent);
    if (!error.empty()) return error;
  }
  if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
    return "cannot create the folder " + folder + ": " + ErrnoText(errno);
  }
  return {};
}

std::string WriteFileAtomically(const std::string& path, std::string_view content) {
  const std::string folder = FolderOf(path);
  std::string temporary = path + ".XXXXXX";
  const int fd = mkostemp(temporary.data(), O_CLOEXEC);
  if (fd < 0) return "cannot create a temporary file beside " + path + ": " + ErrnoText(errno);
  const auto fail = [&](const std::string& what, bool open) {
    const int error = errno;
    if (open) close(fd);
    unlink(temporary.c_str());
    return what + " " + temporary + ": " + ErrnoText(error);
  };
  struct stat old {};
  if (stat(path.c_str(), &old) == 0 && fchmod(fd, old.st_mode & 07777) != 0) {
    return fail("cannot set the permissions of", true);
  }
  if (!WriteAll(fd, content)) return fail("cannot write", true);
  if (fsync(fd) != 0) return fail("cannot flush", true);
  if (close(fd) != 0) return fail("cannot close", false);
  if (rename(temporary.c_str(), path.c_str()) != 0) {
    return fail("cannot rename to " + path + " the file", false);
  }
  // The rename is durable only once the folder is flushed. A file system
  // that cannot flush folders (EINVAL) keeps it as durable as it can.
  const int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir < 0) return "cannot open the folder " + folder + " to flush it: " + ErrnoText(errno);
  if (fsync(dir) != 0 && errno != EINVAL) {
    std::string error = "cannot flush the folder " + folder + ": " + ErrnoText(errno);
    close(dir);
    return error;
  }
  close(dir);
  return {};
}

std::optional<FileLock> FileLock::Acquire(const std::string& path, std::string& error) {
  const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) {
    error = "cannot open the lock file " + path + ": " + ErrnoText(errno);
    return std::nullopt;
  }
  while (flock(fd, LOCK_EX) != 0) {
    if (errno == EINTR) continue;
    error = "cannot lock " + path + ": " + ErrnoText(errno);
    close(fd);
    return std::nullopt;
  }
  return FileLock(fd);
}

FileLock::FileLock(FileLock&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) close(fd_);
    fd_ = std::exchange(other.fd_, -1);
  }
  return *this;
}

FileLock::~FileLock() {
  if (fd_ >= 0) close(fd_);
}

}  // namespace norix::platform::registry
