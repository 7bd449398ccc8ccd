// The store file on disk: where it lives, reading it whole, replacing it
// atomically, and the lock that serialises writers across processes.
#pragma once

#include <cstddef>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

#include <sys/types.h>

namespace norix::platform::registry {

// A store file of this user at `relativePath` below the user's
// configuration folder: $XDG_CONFIG_HOME/<relativePath>, or
// ~/.config/<relativePath> when XDG_CONFIG_HOME is unset, empty or not an
// absolute path. The program names the file ("<program>/registry.reg").
// Reads the environment: call it before starting threads.
[[nodiscard]] std::string DefaultStorePath(std::string_view relativePath);

// The same choice from given values (either may be absent); the home folder
// falls back to the password database's entry for this user.
[[nodiscard]] std::string StorePathFor(std::optional<std::string_view> xdgConfigHome,
                                       std::optional<std::string_view> home,
                                       std::string_view relativePath);

// What identifies one version of a file. Every write replaces the file with
// a new one, so a changed stamp means the content must be read again.
struct FileStamp {
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  std::timespec modified{};
  std::timespec changed{};

  [[nodiscard]] bool operator==(const FileStamp& other) const noexcept;
};

// The stamp of the file at `path`; nullopt when there is none (or it cannot
// be examined).
[[nodiscard]] std::optional<FileStamp> StampOf(const std::string& path);

struct FileContent {
  enum class Status { Read, Missing, Failed };
  Status status = Status::Missing;
  std::string text;
  FileStamp stamp;    // Read: of the file the text came from
  std::string error;  // Failed: what went wrong, e.g. "cannot read it: Permission denied"
};

// Reads a whole file of at most `limit` bytes (a larger one fails).
[[nodiscard]] FileContent ReadWholeFile(const std::string& path, std::size_t limit);

// Creates the folder and any missing parents (mode 0700). Empty on success,
// else what went wrong.
[[nodiscard]] std::string MakeFolders(const std::string& folder);

// Replaces the file at `path` with `content` so that the file holds either
// the old or the new content whatever happens: a temporary file in the same
// folder, written and fsynced, renamed over the old one, then the folder
// fsynced. The file keeps its permissions (a new one gets 0600). Empty on
// success, else what went wrong. A failure before the rename leaves the old
// file untouched and no temporary file behind; a failure to flush the folder
// after the rename is reported as well, though the new content is then in
// place (it may not survive a power cut).
[[nodiscard]] std::string WriteFileAtomically(const std::string& path, std::string_view content);

// The folder part of a path ("." when it has none).
[[nodiscard]] std::string FolderOf(const std::string& path);

// An exclusive flock on a lock file, held until destruction. Locks taken
// through separate FileLock objects exclude each other, in one process or
// several.
class FileLock {
 public:
  // Blocks (sleeping) until the lock is free; a writer holds it for the
  // milliseconds of one read-modify-write. nullopt with `error` set when the
  // lock file cannot be opened or locked.
  [[nodiscard]] static std::optional<FileLock> Acquire(const std::string& path, std::string& error);

  FileLock(FileLock&& other) noexcept;
  FileLock& operator=(FileLock&& other) noexcept;
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  ~FileLock();

 private:
  explicit FileLock(int fd) noexcept : fd_(fd) {}
  int fd_ = -1;
};

}  // namespace norix::platform::registry
