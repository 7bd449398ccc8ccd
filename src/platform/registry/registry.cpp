#include "platform/registry/registry.h"

#include <cstring>
#include <iostream>
#include <utility>

namespace norix::platform::registry {

namespace {

constexpr std::string_view kMachineHive = "HKEY_LOCAL_MACHINE";
constexpr std::size_t kMaxValueName = 16383;

// The data a reader gets: a REG_SZ string with its terminating NUL.
std::string ReadableData(const RegValue& value) {
  return value.text ? value.data + '\0' : value.data;
}

DWORD SizeOf(std::size_t n) { return static_cast<DWORD>(n); }

// Copies `data` to the caller's buffer as RegQueryValueEx describes.
LSTATUS CopyData(const std::string& data, void* buffer, DWORD* bufferSize) {
  if (buffer == nullptr) {
    if (bufferSize != nullptr) *bufferSize = SizeOf(data.size());
    return ERROR_SUCCESS;
  }
  if (bufferSize == nullptr) return ERROR_INVALID_PARAMETER;
  const DWORD room = *bufferSize;
  *bufferSize = SizeOf(data.size());
  if (room < data.size()) return ERROR_MORE_DATA;
  std::memcpy(buffer, data.data(), data.size());
  return ERROR_SUCCESS;
}

// Whether a name and its NUL fit the caller's buffer; copies it if so.
LSTATUS CopyName(const std::string& name, char* buffer, DWORD* bufferSize) {
  if (buffer == nullptr || bufferSize == nullptr) return ERROR_INVALID_PARAMETER;
  if (*bufferSize < name.size() + 1) {
    *bufferSize = SizeOf(name.size() + 1);
    return ERROR_MORE_DATA;
  }
  std::memcpy(buffer, name.data(), name.size());
  buffer[name.size()] = '\0';
  *bufferSize = SizeOf(name.size());
  return ERROR_SUCCESS;
}

bool AllStorable(const KeyNode& key) {
  for (const KeyNode& subkey : key.subkeys) {
    if (!IsStorableKeyName(subkey.name) || !AllStorable(subkey)) return false;
  }
  return true;
}

bool TreeStorable(const KeyNode& root) {
  for (const KeyNode& hive : root.subkeys) {
    if (!IsHiveName(hive.name) || !AllStorable(hive)) return false;
  }
  return true;
}

std::vector<std::string> Joined(const std::vector<std::string>& base,
                                const std::vector<std::string>& parts) {
  std::vector<std::string> path = base;
  path.insert(path.end(), parts.begin(), parts.end());
  return path;
}

}  // namespace

Registry::Registry(std::string storePath, std::string messagePrefix)
    : path_(std::move(storePath)),
      prefix_(messagePrefix.empty() ? std::string() : std::move(messagePrefix) + ": ") {
  const std::lock_guard lock(mutex_);
  Load(ReadWholeFile(path_, kStoreSizeLimit));
  ReportProblems();
}

std::vector<StoreProblem> Registry::Problems() {
  const std::lock_guard lock(mutex_);
  Refresh();
  return problems_;
}

std::string Registry::LastWriteError() {
  const std::lock_guard lock(mutex_);
  return lastWriteError_;
}

void Registry::Refresh() {
  if (StampOf(path_) == stamp_) return;
  Load(ReadWholeFile(path_, kStoreSizeLimit));
  ReportProblems();
}

void Registry::Load(const FileContent& content) {
  switch (content.status) {
    case FileContent::Status::Missing:
      root_ = KeyNode{};
      problems_.clear();
      stamp_.reset();
      return;
    case FileContent::Status::Failed:
      root_ = KeyNode{};
      problems_ = {StoreProblem{path_, 0, "cannot use the store: " + content.error}};
      stamp_ = StampOf(path_);
      return;
    case FileContent::Status::Read: {
      ParsedStore parsed = ParseRegText(content.text, path_);
      root_ = std::move(parsed.root);
      problems_ = std::move(parsed.problems);
      stamp_ = content.stamp;
      return;
    }
  }
}

void Registry::ReportProblems() {
  if (!problems_.empty() && problems_ != reported_) {
    std::string text = prefix_ + "the registry store cannot be read cleanly:\n";
    for (const StoreProblem& problem : problems_) text += problem.Text() + '\n';
    text += prefix_ + "the program uses what it could read and changes nothing in " + path_ +
            " until it is mended\n";
    std::cerr << text << std::flush;
  }
  reported_ = problems_;
}

void Registry::ReportWriteFailure(const std::string& error) {
  lastWriteError_ = error;
  std::cerr << prefix_ + "cannot change the registry store: " + error + '\n' << std::flush;
}

LSTATUS Registry::Resolve(HKEY key, REGSAM needed, const OpenKey*& open) const {
  static const OpenKey kMachine{{std::string(kMachineHive)}, KEY_ALL_ACCESS};
  if (key == HKEY_LOCAL_MACHINE) {
    open = &kMachine;
  } else {
    const auto it = handles_.find(static_cast<std::uint32_t>(key));
    if (it == handles_.end()) return ERROR_INVALID_HANDLE;
    open = &it->second;
  }
  return (open->access & needed) == needed ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

const KeyNode* Registry::Find(const std::vector<std::string>& path) const {
  static const KeyNode kEmptyHive{};
  const KeyNode* key = FindKey(root_, path);
  // A hive always exists, even before anything is stored below it.
  if (key == nullptr && path.size() == 1 && IsHiveName(path.front())) return &kEmptyHive;
  return key;
}

HKEY Registry::AddHandle(std::vector<std::string> path, REGSAM access) {
  const std::uint32_t id = nextHandle_++;
  handles_.emplace(id, OpenKey{std::move(path), access});
  return HKEY{id};
}

LSTATUS Registry::Commit(const std::function<LSTATUS(KeyNode& root)>& change) {
  std::string error = MakeFolders(FolderOf(path_));
  std::optional<FileLock> fileLock;
  if (error.empty()) fileLock = FileLock::Acquire(path_ + ".lock", error);
  if (!fileLock) {
    ReportWriteFailure(error);
    return ERROR_REGISTRY_IO_FAILED;
  }
  // Another program may have changed the file since it was last read: apply
  // the change to what it holds now.
  Load(ReadWholeFile(path_, kStoreSizeLimit));
  ReportProblems();
  if (!problems_.empty()) return ERROR_REGISTRY_CORRUPT;
  KeyNode next = root_;
  const LSTATUS status = change(next);
  if (status != ERROR_SUCCESS) return status;
  if (!TreeStorable(next)) return ERROR_INVALID_PARAMETER;
  if (next == root_) return ERROR_SUCCESS;
  error = WriteFileAtomically(path_, FormatRegText(next));
  if (!error.empty()) {
    ReportWriteFailure(error);
    return ERROR_REGISTRY_IO_FAILED;
  }
  root_ = std::move(next);
  stamp_ = StampOf(path_);
  return ERROR_SUCCESS;
}

LSTATUS Registry::Modify(const std::function<LSTATUS(KeyNode& root)>& change) {
  const std::lock_guard lock(mutex_);
  return Commit(change);
}

KeyNode Registry::Snapshot() {
  const std::lock_guard lock(mutex_);
  Refresh();
  return root_;
}

LSTATUS Registry::RegOpenKeyEx(HKEY key, std::string_view subKey, DWORD /*options*/,
                               REGSAM samDesired, HKEY* result) {
  if (result == nullptr) return ERROR_INVALID_PARAMETER;
  *result = HKEY{};
  const std::lock_guard lock(mutex_);
  const OpenKey* base = nullptr;
  if (const LSTATUS status = Resolve(key, 0, base); status != ERROR_SUCCESS) return status;
  const std::optional<std::vector<std::string>> parts = SplitKeyPath(subKey);
  if (!parts) return ERROR_BAD_PATHNAME;
  Refresh();
  if (Find(base->path) == nullptr) return ERROR_KEY_DELETED;
  std::vector<std::string> path = Joined(base->path, *parts);
  if (Find(path) == nullptr) return ERROR_FILE_NOT_FOUND;
  *result = AddHandle(std::move(path), samDesired);
  return ERROR_SUCCESS;
}

LSTATUS Registry::RegCreateKeyEx(HKEY key, std::string_view subKey, std::string_view /*className*/,
                                 DWORD options, REGSAM samDesired, HKEY* result,
                                 DWORD* disposition) {
  if (result == nullptr || options != REG_OPTION_NON_VOLATILE) return ERROR_INVALID_PARAMETER;
  *result = HKEY{};
  const std::lock_guard lock(mutex_);
  const OpenKey* base = nullptr;
  if (const LSTATUS status = Resolve(key, 0, base); status != ERROR_SUCCESS) return status;
  const std::optional<std::vector<std::string>> parts = SplitKeyPath(subKey);
  if (!parts) return ERROR_BAD_PATHNAME;
  for (const std::string& part : *parts) {
    if (!IsStorableKeyName(part)) return ERROR_INVALID_PARAMETER;
  }
  std::vector<std::string> path = Joined(base->path, *parts);
  Refresh();
  DWORD outcome = REG_OPENED_EXISTING_KEY;
  if (Find(path) == nullptr) {
    if ((base->access & KEY_CREATE_SUB_KEY) == 0) return ERROR_ACCESS_DENIED;
    const LSTATUS status = Commit([&](KeyNode& root) {
      if (base->path.size() > 1 && FindKey(root, base->path) == nullptr) return ERROR_KEY_DELETED;
      if (FindKey(root, path) == nullptr) outcome = REG_CREATED_NEW_KEY;
      CreateKey(root, path);
      return ERROR_SUCCESS;
    });
    if (status != ERROR_SUCCESS) return status;
  }
  if (disposition != nullptr) *disposition = outcome;
  *result = AddHandle(std::move(path), samDesired);
  return ERROR_SUCCESS;
}

LSTATUS Registry::RegCloseKey(HKEY key) {
  if (key == HKEY_LOCAL_MACHINE) return ERROR_SUCCESS;
  const std::lock_guard lock(mutex_);
  return handles_.erase(static_cast<std::uint32_t>(key)) == 1 ? ERROR_SUCCESS
                                                              : ERROR_INVALID_HANDLE;
}

LSTATUS Registry::RegQueryValueEx(HKEY key, std::string_view valueName, DWORD* type, void* data,
                                  DWORD* dataSize) {
  const std::lock_guard lock(mutex_);
  const OpenKey* open = nullptr;
  if (const LSTATUS status = Resolve(key, KEY_QUERY_VALUE, open); status != ERROR_SUCCESS) {
    return status;
  }
  Refresh();
  const KeyNode* node = Find(open->path);
  if (node == nullptr) return ERROR_KEY_DELETED;
  const RegValue* value = node->FindValue(valueName);
  if (value == nullptr) return ERROR_FILE_NOT_FOUND;
  if (type != nullptr) *type = value->type;
  return CopyData(ReadableData(*value), data, dataSize);
}

LSTATUS Registry::RegSetValueEx(HKEY key, std::string_view valueName, DWORD type, const void* data,
                                DWORD dataSize) {
  if ((data == nullptr && dataSize != 0) || valueName.size() > kMaxValueName) {
    return ERROR_INVALID_PARAMETER;
  }
  const std::string_view bytes(static_cast<const char*>(data), data == nullptr ? 0 : dataSize);
  RegValue value;
  switch (type) {
    case REG_SZ:
      value =
          RegValue::Text(std::string(valueName), std::string(bytes.substr(0, bytes.find('\0'))));
      break;
    case REG_DWORD:
      if (bytes.size() != 4) return ERROR_INVALID_PARAMETER;
      value = RegValue::Bytes(std::string(valueName), type, std::string(bytes));
      break;
    case REG_BINARY:
      value = RegValue::Bytes(std::string(valueName), type, std::string(bytes));
      break;
    default:
      return ERROR_INVALID_PARAMETER;
  }
  const std::lock_guard lock(mutex_);
  const OpenKey* open = nullptr;
  if (const LSTATUS status = Resolve(key, KEY_SET_VALUE, open); status != ERROR_SUCCESS) {
    return status;
  }
  return Commit([&](KeyNode& root) {
    KeyNode* node =
        open->path.size() == 1 ? &CreateKey(root, open->path) : FindKey(root, open->path);
    if (node == nullptr) return ERROR_KEY_DELETED;
    node->SetValue(std::move(value));
    return ERROR_SUCCESS;
  });
}

LSTATUS Registry::RegDeleteValue(HKEY key, std::string_view valueName) {
  const std::lock_guard lock(mutex_);
  const OpenKey* open = nullptr;
  if (const LSTATUS status = Resolve(key, KEY_SET_VALUE, open); status != ERROR_SUCCESS) {
    return status;
  }
  return Commit([&](KeyNode& root) {
    KeyNode* node = FindKey(root, open->path);
    if (node == nullptr)
      return Find(open->path) != nullptr ? ERROR_FILE_NOT_FOUND : ERROR_KEY_DELETED;
    return node->DeleteValue(valueName) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
  });
}

LSTATUS Registry::RegEnumValue(HKEY key, DWORD index, char* valueName, DWORD* valueNameSize,
                               DWORD* type, void* data, DWORD* dataSize) {
  const std::lock_guard lock(mutex_);
  const OpenKey* open = nullptr;
  if (const LSTATUS status = Resolve(key, KEY_QUERY_VALUE, open); status != ERROR_SUCCESS) {
    return status;
  }
  Refresh();
  const KeyNode* node = Find(open->path);
  if (node == nullptr) return ERROR_KEY_DELETED;
  if (index >= node->values.size()) return ERROR_NO_MORE_ITEMS;
  const RegValue& value = node->values[index];
  const std::string readable = ReadableData(value);
  const LSTATUS named = CopyName(value.name, valueName, valueNameSize);
  if (named == ERROR_INVALID_PARAMETER) return named;
  if (type != nullptr) *type = value.type;
  if (named == ERROR_MORE_DATA) {
    if (dataSize != nullptr) *dataSize = SizeOf(readable.size());
    return named;
  }
  return CopyData(readable, data, dataSize);
}

LSTATUS Registry::RegEnumKeyEx(HKEY key, DWORD index, char* name, DWORD* nameSize) {
  const std::lock_guard lock(mutex_);
  const OpenKey* open = nullptr;
  if (const LSTATUS status = Resolve(key, KEY_ENUMERATE_SUB_KEYS, open); status != ERROR_SUCCESS) {
    return status;
  }
  Refresh();
  const KeyNode* node = Find(open->path);
  if (node == nullptr) return ERROR_KEY_DELETED;
  if (index >= node->subkeys.size()) return ERROR_NO_MORE_ITEMS;
  return CopyName(node->subkeys[index].name, name, nameSize);
}

}  // namespace norix::platform::registry
