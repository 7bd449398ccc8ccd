#include "platform/registry/key_tree.h"

#include <algorithm>
#include <utility>

#include "platform/ascii/ascii_text.h"

namespace norix::platform::registry {

bool NamesEqual(std::string_view a, std::string_view b) noexcept {
  return ascii::EqualNoCase(a, b);
}

bool NameLess(std::string_view a, std::string_view b) noexcept {
  // Ordered as the capitals are, so '_' sorts after the letters.
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return static_cast<unsigned char>(ascii::ToUpper(x)) <
           static_cast<unsigned char>(ascii::ToUpper(y));
  });
}

RegValue RegValue::Text(std::string name, std::string text) {
  return RegValue{std::move(name), REG_SZ, std::move(text), true};
}

RegValue RegValue::Bytes(std::string name, DWORD type, std::string bytes) {
  return RegValue{std::move(name), type, std::move(bytes), false};
}

const KeyNode* KeyNode::FindSubkey(std::string_view subkey) const noexcept {
  const auto it =
      std::lower_bound(subkeys.begin(), subkeys.end(), subkey,
                       [](const KeyNode& k, std::string_view n) { return NameLess(k.name, n); });
  return it != subkeys.end() && NamesEqual(it->name, subkey) ? &*it : nullptr;
}

KeyNode* KeyNode::FindSubkey(std::string_view subkey) noexcept {
  return const_cast<KeyNode*>(std::as_const(*this).FindSubkey(subkey));
}

KeyNode& KeyNode::AddSubkey(std::string_view subkey) {
  const auto it =
      std::lower_bound(subkeys.begin(), subkeys.end(), subkey,
                       [](const KeyNode& k, std::string_view n) { return NameLess(k.name, n); });
  if (it != subkeys.end() && NamesEqual(it->name, subkey)) return *it;
  return *subkeys.insert(it, KeyNode{std::string(subkey), {}, {}});
}

const RegValue* KeyNode::FindValue(std::string_view value) const noexcept {
  const auto it = std::find_if(values.begin(), values.end(),
                               [&](const RegValue& v) { return NamesEqual(v.name, value); });
  return it != values.end() ? &*it : nullptr;
}

void KeyNode::SetValue(RegValue value) {
  const auto it = std::find_if(values.begin(), values.end(),
                               [&](const RegValue& v) { return NamesEqual(v.name, value.name); });
  if (it == values.end()) {
    values.push_back(std::move(value));
    return;
  }
  value.name = std::move(it->name);
  *it = std::move(value);
}

bool KeyNode::DeleteValue(std::string_view value) {
  const auto it = std::find_if(values.begin(), values.end(),
                               [&](const RegValue& v) { return NamesEqual(v.name, value); });
  if (it == values.end()) return false;
  values.erase(it);
  return true;
}

bool IsStorableKeyName(std::string_view name) noexcept {
  constexpr std::size_t kMaxKeyName = 255;
  return !name.empty() && name.size() <= kMaxKeyName &&
         name.find_first_of(std::string_view("\\\r\n\0", 4)) == std::string_view::npos;
}

std::optional<std::vector<std::string>> SplitKeyPath(std::string_view path) {
  std::vector<std::string> parts;
  if (path.empty()) return parts;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = path.find('\\', start);
    const std::string_view part =
        path.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    if (part.empty()) return std::nullopt;
    parts.emplace_back(part);
    if (end == std::string_view::npos) return parts;
    start = end + 1;
  }
}

const KeyNode* FindKey(const KeyNode& from, std::span<const std::string> path) {
  const KeyNode* key = &from;
  for (const std::string& part : path) {
    key = key->FindSubkey(part);
    if (key == nullptr) return nullptr;
  }
  return key;
}

KeyNode* FindKey(KeyNode& from, std::span<const std::string> path) {
  return const_cast<KeyNode*>(FindKey(std::as_const(from), path));
}

KeyNode& CreateKey(KeyNode& from, std::span<const std::string> path) {
  KeyNode* key = &from;
  for (const std::string& part : path) key = &key->AddSubkey(part);
  return *key;
}

}  // namespace norix::platform::registry
