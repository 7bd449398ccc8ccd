// The registry's content in memory: keys with their values and subkeys.
// Key and value names compare without regard to ASCII case and keep the case
// they were created with, as the registry does; letters outside ASCII compare
// exactly.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry/registry_types.h"

namespace norix::platform::registry {

[[nodiscard]] bool NamesEqual(std::string_view a, std::string_view b) noexcept;
[[nodiscard]] bool NameLess(std::string_view a, std::string_view b) noexcept;

struct RegValue {
  std::string name;  // "" is the key's default value ("@" in the store file)
  DWORD type = REG_SZ;
  // text: a REG_SZ string, held without its terminating NUL. Otherwise the
  // value's bytes exactly as stored (a file may hold REG_SZ as hex(1) bytes).
  std::string data;
  bool text = true;

  [[nodiscard]] static RegValue Text(std::string name, std::string text);
  [[nodiscard]] static RegValue Bytes(std::string name, DWORD type, std::string bytes);

  bool operator==(const RegValue&) const = default;
};

struct KeyNode {
  std::string name;
  std::vector<RegValue> values;  // in the order they were first set: enumeration order
  std::vector<KeyNode> subkeys;  // sorted by NameLess: enumeration order

  [[nodiscard]] const KeyNode* FindSubkey(std::string_view subkey) const noexcept;
  [[nodiscard]] KeyNode* FindSubkey(std::string_view subkey) noexcept;
  // The subkey of that name, created if missing. Adding a subkey moves its
  // siblings: references to them do not survive the call.
  KeyNode& AddSubkey(std::string_view subkey);

  [[nodiscard]] const RegValue* FindValue(std::string_view value) const noexcept;
  // Replaces the value of the same name where it stands (keeping the stored
  // name's case), or appends it.
  void SetValue(RegValue value);
  // False when there was no such value.
  bool DeleteValue(std::string_view value);

  bool operator==(const KeyNode&) const = default;
};

// Whether the store file can hold a key of this name: 1 to 255 characters,
// none of them a backslash, line break or NUL.
[[nodiscard]] bool IsStorableKeyName(std::string_view name) noexcept;

// The parts of a key path: "System\\CurrentControlSet" gives {"System",
// "CurrentControlSet"}, "" gives none. nullopt when a part is empty (a
// leading, trailing or doubled backslash).
[[nodiscard]] std::optional<std::vector<std::string>> SplitKeyPath(std::string_view path);

// The key at `path` below `from`, or null.
[[nodiscard]] const KeyNode* FindKey(const KeyNode& from, std::span<const std::string> path);
[[nodiscard]] KeyNode* FindKey(KeyNode& from, std::span<const std::string> path);
// The key at `path` below `from`, created with every missing key on the way.
KeyNode& CreateKey(KeyNode& from, std::span<const std::string> path);

}  // namespace norix::platform::registry
