#include "file_io.h"

#include <cerrno>
#include <cstdio>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace norix::tools::lfu {
namespace {

std::string Describe(const std::string& what, const std::string& path) {
  return what + " " + path + ": " + std::generic_category().message(errno);
}

bool WriteAll(int fd, std::span<const std::uint8_t> bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t wrote = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (wrote < 0 && errno == EINTR) {
      continue;
    }
    if (wrote <= 0) {
      return false;
    }
    done += static_cast<std::size_t>(wrote);
  }
  return true;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path, std::size_t limit,
                                                       std::string& error) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    error = Describe("cannot open", path);
    return std::nullopt;
  }
  struct stat info {};
  std::optional<std::vector<std::uint8_t>> result;
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    error = "not a regular file: " + path;
  } else if (static_cast<unsigned long long>(info.st_size) > limit) {
    error = path + " is larger than " + std::to_string(limit) + " bytes";
  } else {
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(info.st_size));
    std::size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t got = ::read(fd, bytes.data() + done, bytes.size() - done);
      if (got < 0 && errno == EINTR) {
        continue;
      }
      if (got <= 0) {
        break;
      }
      done += static_cast<std::size_t>(got);
    }
    if (done == bytes.size()) {
      result = std::move(bytes);
    } else {
      error = "cannot read all of " + path;
    }
  }
  ::close(fd);
  return result;
}

bool WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes,
                         std::string& error) {
  std::string temporary = path + ".XXXXXX";
  const int fd = ::mkstemp(temporary.data());
  if (fd < 0) {
    error = Describe("cannot create a temporary file beside", path);
    return false;
  }
  bool ok = WriteAll(fd, bytes) && ::fchmod(fd, 0644) == 0 && ::fsync(fd) == 0;
  if (!ok) {
    error = Describe("cannot write", temporary);
  }
  if (::close(fd) != 0 && ok) {
    error = Describe("cannot write", temporary);
    ok = false;
  }
  if (ok && ::rename(temporary.c_str(), path.c_str()) != 0) {
    error = Describe("cannot rename the temporary file to", path);
    ok = false;
  }
  if (!ok) {
    ::unlink(temporary.c_str());
  }
  return ok;
}

}  // namespace norix::tools::lfu
