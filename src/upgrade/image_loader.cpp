#include "upgrade/image_loader.h"

#include <algorithm>
#include <cerrno>
#include <new>
#include <span>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace norix::upgrade {
namespace {

// Closes the descriptor when the scope ends.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  FileDescriptor(FileDescriptor&&) = delete;
  FileDescriptor& operator=(FileDescriptor&&) = delete;
  ~FileDescriptor() {
    if (fd_ >= 0) {
      ::close(fd_);
    }
  }
  [[nodiscard]] int get() const { return fd_; }

 private:
  int fd_;
};

// O_NONBLOCK keeps a pipe from blocking the open; it is refused right after.
int OpenForReading(const std::string& path) {
  return ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
}

bool IsRegularFile(int fd, std::size_t& size) {
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < 0) {
    return false;
  }
  size = static_cast<std::size_t>(info.st_size);
  return true;
}

// Reads until `buffer` is full or the file ends; the count read.
std::size_t ReadFully(int fd, std::span<std::uint8_t> buffer) {
  std::size_t done = 0;
  while (done < buffer.size()) {
    const ssize_t got = ::read(fd, buffer.data() + done, buffer.size() - done);
    if (got < 0 && errno == EINTR) {
      continue;
    }
    if (got <= 0) {
      break;
    }
    done += static_cast<std::size_t>(got);
  }
  return done;
}

}  // namespace

std::string_view LoadFailureText(LoadImageStatus status) {
  switch (status) {
    case LoadImageStatus::Loaded:
      return {};
    case LoadImageStatus::OpenFailed:
      return "File open failed.";
    case LoadImageStatus::SizeFailed:
      return "GetFileSize failed!";
    case LoadImageStatus::AllocFailed:
      return "GlobalAlloc failed!";
    case LoadImageStatus::ReadFailed:
      return "ReadFile failed!";
  }
  return {};
}

LoadImageResult LoadImage(const std::string& path) {
  LoadImageResult result;
  const FileDescriptor file(OpenForReading(path));
  struct stat info {};
  if (file.get() < 0 || ::fstat(file.get(), &info) != 0 || S_ISDIR(info.st_mode) ||
      S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode)) {
    result.status = LoadImageStatus::OpenFailed;
    return result;
  }
  std::size_t size = 0;
  if (!IsRegularFile(file.get(), size)) {
    result.status = LoadImageStatus::SizeFailed;
    return result;
  }
  if (size > kMaxImageSize) {
    result.status = LoadImageStatus::AllocFailed;
    return result;
  }
  std::vector<std::uint8_t> bytes;
  try {
    bytes.resize(size + kImageSpareBytes, 0);
  } catch (const std::bad_alloc&) {
    result.status = LoadImageStatus::AllocFailed;
    return result;
  }
  if (ReadFully(file.get(), std::span<std::uint8_t>(bytes).first(size)) != size) {
    result.status = LoadImageStatus::ReadFailed;
    return result;
  }
  result.image.path = path;
  result.image.bytes = std::move(bytes);
  result.image.size = size;
  result.status = LoadImageStatus::Loaded;
  return result;
}

UpgradeHeader ReadUpgradeHeaderFile(const std::string& path) {
  const FileDescriptor file(OpenForReading(path));
  std::size_t size = 0;
  if (file.get() < 0 || !IsRegularFile(file.get(), size)) {
    return {};
  }
  std::vector<std::uint8_t> head(std::min(size, kHeaderReadLimit));
  head.resize(ReadFully(file.get(), head));
  return ParseUpgradeHeader(head);
}

}  // namespace norix::upgrade
