// The registry: keys below HKEY_LOCAL_MACHINE with their values, kept in a
// store file in the format of registry exports (reg_text.h), with the calls
// the program makes in their own terms.
//
// Every change is written to the file at once and atomically: under an
// exclusive lock on "<store>.lock" the file is read again, the change is
// applied to what it holds and the result replaces the file (store_file.h).
// So two Registry objects on one file, in one process or two, never lose
// each other's changes. Reads see the file as it is now: a change another
// instance wrote is picked up by the next call.
//
// A store file that does not read cleanly is reported, on stderr with file
// and line (each message line led by the prefix the program gives) and
// through Problems(), and is never written: the registry offers
// what it could read, and every change is refused with
// ERROR_REGISTRY_CORRUPT until the file is mended (the next change reads it
// again). Refusing is safer than writing a new file beside a kept copy of the
// bad one, which would drop the unreadable lines from the live store.
//
// Differences from the platform's registry, on purpose:
// - A REG_SZ string always reads back with its terminating NUL (counted in
//   the size), whether or not the writer passed one, so a reader's buffer
//   never holds an unterminated string.
// - Key classes are accepted and not kept (the file format has no place for
//   them); volatile keys are refused.
// - Names compare without regard to ASCII case only.
//
// All calls may be made from any thread; each one blocks at most for a read
// of the store file, or for a change, until the lock is free and the file is
// written (milliseconds).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/registry/key_tree.h"
#include "platform/registry/reg_text.h"
#include "platform/registry/registry_types.h"
#include "platform/registry/store_file.h"

namespace norix::platform::registry {

// A store file larger than this is refused as a whole.
inline constexpr std::size_t kStoreSizeLimit = std::size_t{16} * 1024 * 1024;

class Registry {
 public:
  // Reads the store file at `storePath` (see DefaultStorePath()); a missing
  // file is an empty store, created by the first change. Messages on stderr
  // begin with `messagePrefix` and ": " (the program's name), or with
  // nothing when it is empty.
  explicit Registry(std::string storePath, std::string messagePrefix = {});
  Registry(const Registry&) = delete;
  Registry& operator=(const Registry&) = delete;
  Registry(Registry&&) = delete;
  Registry& operator=(Registry&&) = delete;
  ~Registry() = default;

  [[nodiscard]] const std::string& StorePath() const noexcept { return path_; }

  // What could not be read in the store file as last read; empty when it
  // read cleanly (or does not exist).
  [[nodiscard]] std::vector<StoreProblem> Problems();
  // Why the last change that failed with ERROR_REGISTRY_IO_FAILED failed.
  [[nodiscard]] std::string LastWriteError();

  // Opens `subKey` below `key` ("" opens `key` again) with the rights in
  // `samDesired`. ERROR_FILE_NOT_FOUND when it does not exist,
  // ERROR_BAD_PATHNAME when the path has an empty part. `options` is not
  // used. *result is HKEY{} on failure.
  [[nodiscard]] LSTATUS RegOpenKeyEx(HKEY key, std::string_view subKey, DWORD options,
                                     REGSAM samDesired, HKEY* result);

  // Opens `subKey` below `key`, creating it and every missing key on the way
  // (which needs KEY_CREATE_SUB_KEY on `key`). *disposition, when given, is
  // REG_CREATED_NEW_KEY or REG_OPENED_EXISTING_KEY. `options` must be
  // REG_OPTION_NON_VOLATILE. A key name may not hold a line break or NUL or
  // exceed 255 characters (ERROR_INVALID_PARAMETER).
  [[nodiscard]] LSTATUS RegCreateKeyEx(HKEY key, std::string_view subKey,
                                       std::string_view className, DWORD options, REGSAM samDesired,
                                       HKEY* result, DWORD* disposition);

  // Releases a handle. Closing HKEY_LOCAL_MACHINE does nothing.
  LSTATUS RegCloseKey(HKEY key);

  // Reads the value `valueName` ("" is the default value); needs
  // KEY_QUERY_VALUE. *type, when given, gets the type. With `data` null,
  // *dataSize gets the size the data needs. Otherwise *dataSize is the
  // buffer's size in bytes: the data is copied and *dataSize set to its size,
  // or, when it does not fit, nothing is copied, *dataSize gets the size
  // needed and the result is ERROR_MORE_DATA.
  [[nodiscard]] LSTATUS RegQueryValueEx(HKEY key, std::string_view valueName, DWORD* type,
                                        void* data, DWORD* dataSize);

  // Sets a value; needs KEY_SET_VALUE. REG_SZ takes the text up to the first
  // NUL within `dataSize` bytes (the NUL may be left out); REG_DWORD takes
  // exactly 4 bytes; REG_BINARY any. Other types: ERROR_INVALID_PARAMETER. A
  // new value goes after the key's other values in enumeration order.
  [[nodiscard]] LSTATUS RegSetValueEx(HKEY key, std::string_view valueName, DWORD type,
                                      const void* data, DWORD dataSize);

  // Removes a value; needs KEY_SET_VALUE. ERROR_FILE_NOT_FOUND when absent.
  [[nodiscard]] LSTATUS RegDeleteValue(HKEY key, std::string_view valueName);

  // The value at `index` (0 upward, in the order values were first set);
  // needs KEY_QUERY_VALUE. ERROR_NO_MORE_ITEMS past the last one. The name
  // goes to `valueName`, a buffer of *valueNameSize characters: on success
  // *valueNameSize is the name's length without its NUL; when the name and
  // its NUL do not fit, nothing is copied, *valueNameSize is set to the
  // buffer size needed and the result is ERROR_MORE_DATA. `type`, `data` and
  // `dataSize` work as for RegQueryValueEx (the name is copied when only the
  // data does not fit).
  [[nodiscard]] LSTATUS RegEnumValue(HKEY key, DWORD index, char* valueName, DWORD* valueNameSize,
                                     DWORD* type, void* data, DWORD* dataSize);

  // The subkey name at `index` (0 upward, in name order without regard to
  // case); needs KEY_ENUMERATE_SUB_KEYS. Name buffer as for RegEnumValue.
  [[nodiscard]] LSTATUS RegEnumKeyEx(HKEY key, DWORD index, char* name, DWORD* nameSize);

  // Applies `change` to the store's content (the root's subkeys are the
  // hives, as in reg_text.h) and writes the result as one change: either all
  // of it reaches the file or none. A result other than ERROR_SUCCESS from
  // `change` writes nothing and is returned. Key names the change creates
  // must pass IsStorableKeyName and hives IsHiveName
  // (ERROR_INVALID_PARAMETER otherwise). Nothing is written when the content
  // did not change.
  [[nodiscard]] LSTATUS Modify(const std::function<LSTATUS(KeyNode& root)>& change);

  // The store's content as the file holds it now.
  [[nodiscard]] KeyNode Snapshot();

 private:
  struct OpenKey {
    std::vector<std::string> path;  // from the hive down
    REGSAM access = 0;
  };

  // All of these run with mutex_ held.
  void Refresh();
  void Load(const FileContent& content);
  void ReportProblems();
  void ReportWriteFailure(const std::string& error);
  [[nodiscard]] LSTATUS Resolve(HKEY key, REGSAM needed, const OpenKey*& open) const;
  [[nodiscard]] const KeyNode* Find(const std::vector<std::string>& path) const;
  [[nodiscard]] LSTATUS Commit(const std::function<LSTATUS(KeyNode& root)>& change);
  [[nodiscard]] HKEY AddHandle(std::vector<std::string> path, REGSAM access);

  std::mutex mutex_;
  const std::string path_;
  const std::string prefix_;  // of every message line: "<program>: ", or ""
  KeyNode root_;                        // the content as last read or written
  std::vector<StoreProblem> problems_;  // of the file as last read
  std::optional<FileStamp> stamp_;      // of the file root_ came from; nullopt: none
  std::vector<StoreProblem> reported_;  // the problems last written to stderr
  std::string lastWriteError_;
  std::unordered_map<std::uint32_t, OpenKey> handles_;
  std::uint32_t nextHandle_ = 1;
};

}  // namespace norix::platform::registry
