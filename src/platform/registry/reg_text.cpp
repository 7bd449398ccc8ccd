#include "platform/registry/reg_text.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <utility>

#include "platform/ascii/ascii_text.h"
#include "platform/ascii/quoted_text.h"

namespace norix::platform::registry {

namespace {

constexpr std::array<std::string_view, 5> kHives = {"HKEY_LOCAL_MACHINE", "HKEY_CURRENT_USER",
                                                    "HKEY_CLASSES_ROOT", "HKEY_USERS",
                                                    "HKEY_CURRENT_CONFIG"};

constexpr std::size_t kHexLineLimit = 77;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimmedLeft(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  return s;
}

std::string_view TrimmedRight(std::string_view s) {
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

std::string_view Trimmed(std::string_view s) { return TrimmedRight(TrimmedLeft(s)); }

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// 1 to `maxDigits` hex digits, nothing else.
std::optional<std::uint32_t> HexNumber(std::string_view s, std::size_t maxDigits) {
  if (s.empty() || s.size() > maxDigits) return std::nullopt;
  std::uint32_t n = 0;
  for (const char c : s) {
    const int d = HexDigit(c);
    if (d < 0) return std::nullopt;
    n = n * 16 + static_cast<std::uint32_t>(d);
  }
  return n;
}

// The text lines of a file: split at LF, a CR before the LF dropped.
std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

// Reads one quoted string at the start of `s` (which starts with '"') and
// removes it from `s`. nullopt with `error` set when it is not one.
std::optional<std::string> TakeQuoted(std::string_view& s, std::string& error) {
  std::string out;
  std::size_t i = 1;
  while (i < s.size()) {
    const char c = s[i++];
    if (c == '"') {
      s.remove_prefix(i);
      return out;
    }
    if (c != '\\') {
      out += c;
      continue;
    }
    if (i == s.size()) break;
    switch (s[i++]) {
      case '\\':
        out += '\\';
        break;
      case '"':
        out += '"';
        break;
      case 'n':
        out += '\n';
        break;
      case 'r':
        out += '\r';
        break;
      default:
        error = "unknown escape " + ascii::QuotedText("\\" + std::string(1, s[i - 1])) +
                " in a string (write a backslash as \"\\\\\")";
        return std::nullopt;
    }
  }
  error = "string without its closing quote";
  return std::nullopt;
}

void AppendQuoted(std::string& out, std::string_view s) {
  out += '"';
  for (const char c : s) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '"':
        out += "\\\"";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      default:
        out += c;
    }
  }
  out += '"';
}

// "01,02,ff" (blanks allowed around each byte; empty gives no bytes).
std::optional<std::string> HexBytes(std::string_view list, std::string& error) {
  std::string bytes;
  list = Trimmed(list);
  if (list.empty()) return bytes;
  while (true) {
    const std::size_t comma = list.find(',');
    const std::string_view item = Trimmed(list.substr(0, comma));
    const std::optional<std::uint32_t> byte = HexNumber(item, 2);
    if (!byte) {
      error = ascii::QuotedText(item) + " is not a hex byte";
      return std::nullopt;
    }
    bytes += static_cast<char>(*byte);
    if (comma == std::string_view::npos) return bytes;
    list.remove_prefix(comma + 1);
  }
}

class Parser {
 public:
  Parser(std::string_view text, std::string_view file) : file_(file), lines_(Lines(text)) {}

  ParsedStore Run() {
    if (text_starts_utf16()) {
      Problem(0, "the file is UTF-16 text; save it as UTF-8");
      return std::move(result_);
    }
    bool headerSeen = false;
    for (index_ = 0; index_ < lines_.size(); ++index_) {
      std::string_view line = lines_[index_];
      if (index_ == 0 && line.starts_with("\xEF\xBB\xBF")) line.remove_prefix(3);
      line = Trimmed(line);
      if (line.empty()) continue;
      if (!headerSeen) {
        headerSeen = true;
        if (line == kRegFileHeader) continue;
        Problem(index_ + 1, "the first line is not \"" + std::string(kRegFileHeader) + "\"");
        if (!line.starts_with('[')) continue;
      }
      // Exports pasted one after another repeat the header.
      if (line.starts_with(';') || line == kRegFileHeader) continue;
      if (line.starts_with('[')) {
        KeyLine(line);
      } else if (line.starts_with('"') || line.starts_with('@')) {
        ValueLine(line);
      } else {
        Problem(index_ + 1, "neither a key, a value nor a comment");
      }
    }
    return std::move(result_);
  }

 private:
  bool text_starts_utf16() const {
    if (lines_.empty()) return false;
    const std::string_view first = lines_.front();
    return first.starts_with("\xFF\xFE") || first.starts_with("\xFE\xFF");
  }

  void Problem(std::size_t line, std::string message) {
    result_.problems.push_back(StoreProblem{std::string(file_), line, std::move(message)});
  }

  void KeyLine(std::string_view line) {
    key_ = nullptr;
    keyBad_ = true;
    const std::size_t close = line.rfind(']');
    if (close == std::string_view::npos) {
      Problem(index_ + 1, "key line without its closing \"]\"");
      return;
    }
    if (close + 1 != line.size()) {
      Problem(index_ + 1, "text after the key line's closing \"]\"");
      return;
    }
    const std::string_view path = line.substr(1, close - 1);
    if (path.starts_with('-')) {
      Problem(index_ + 1, "key deletion \"[-...]\" belongs in an import file, not in the store");
      return;
    }
    std::optional<std::vector<std::string>> parts = SplitKeyPath(path);
    if (!parts || parts->empty()) {
      Problem(index_ + 1, "empty key name in " + ascii::QuotedText(path));
      return;
    }
    const auto hive = std::find_if(kHives.begin(), kHives.end(), [&](std::string_view h) {
      return NamesEqual(h, parts->front());
    });
    if (hive == kHives.end()) {
      Problem(index_ + 1, ascii::QuotedText(parts->front()) + " is not a registry hive");
      return;
    }
    parts->front() = std::string(*hive);
    key_ = &CreateKey(result_.root, *parts);
    keyBad_ = false;
  }

  void ValueLine(std::string_view line) {
    if (key_ == nullptr) {
      // Values of a key line that could not be read were reported with it.
      if (!keyBad_) Problem(index_ + 1, "value before any key line");
      return;
    }
    const std::size_t lineNumber = index_ + 1;
    std::string error;
    std::string name;
    if (line.starts_with('@')) {
      line.remove_prefix(1);
    } else {
      std::optional<std::string> quoted = TakeQuoted(line, error);
      if (!quoted) {
        Problem(lineNumber, "value name: " + error);
        return;
      }
      name = std::move(*quoted);
    }
    line = TrimmedLeft(line);
    if (!line.starts_with('=')) {
      Problem(lineNumber, "no \"=\" after the value name");
      return;
    }
    line = TrimmedLeft(line.substr(1));
    std::optional<RegValue> value = ValueData(std::move(name), line, error);
    if (!value) {
      Problem(lineNumber, error);
      return;
    }
    key_->SetValue(std::move(*value));
  }

  std::optional<RegValue> ValueData(std::string name, std::string_view data, std::string& error) {
    if (data.starts_with('"')) {
      std::optional<std::string> text = TakeQuoted(data, error);
      if (!text) return std::nullopt;
      if (!Trimmed(data).empty()) {
        error = "text after the closing quote of the value";
        return std::nullopt;
      }
      return RegValue::Text(std::move(name), std::move(*text));
    }
    if (ascii::StartsWithNoCase(data, "dword:")) {
      const std::optional<std::uint32_t> n = HexNumber(Trimmed(data.substr(6)), 8);
      if (!n) {
        error = "dword value is not 1 to 8 hex digits";
        return std::nullopt;
      }
      std::string bytes;
      for (int shift = 0; shift < 32; shift += 8) bytes += static_cast<char>((*n >> shift) & 0xFF);
      return RegValue::Bytes(std::move(name), REG_DWORD, std::move(bytes));
    }
    if (ascii::StartsWithNoCase(data, "hex")) {
      data.remove_prefix(3);
      DWORD type = REG_BINARY;
      if (data.starts_with('(')) {
        const std::size_t close = data.find(')');
        const std::optional<std::uint32_t> n = close == std::string_view::npos
                                                   ? std::nullopt
                                                   : HexNumber(data.substr(1, close - 1), 8);
        if (!n) {
          error = "hex(type) without a hex type number";
          return std::nullopt;
        }
        type = *n;
        data.remove_prefix(close + 1);
      }
      if (!data.starts_with(':')) {
        error = "no \":\" after \"hex\"";
        return std::nullopt;
      }
      std::optional<std::string> list = HexList(data.substr(1), error);
      if (!list) return std::nullopt;
      std::optional<std::string> bytes = HexBytes(*list, error);
      if (!bytes) return std::nullopt;
      return RegValue::Bytes(std::move(name), type, std::move(*bytes));
    }
    if (Trimmed(data) == "-") {
      error = "value deletion \"=-\" belongs in an import file, not in the store";
      return std::nullopt;
    }
    error = "value data is neither a string, dword nor hex";
    return std::nullopt;
  }

  // The hex list of a value, joined with its continuation lines (a line
  // ending in "\" continues on the next).
  std::optional<std::string> HexList(std::string_view first, std::string& error) {
    std::string list;
    std::string_view part = TrimmedRight(first);
    while (part.ends_with('\\')) {
      part.remove_suffix(1);
      list += part;
      if (index_ + 1 == lines_.size()) {
        error = "hex data continues past the end of the file";
        return std::nullopt;
      }
      part = Trimmed(lines_[++index_]);
    }
    list += part;
    return list;
  }

  std::string_view file_;
  std::vector<std::string_view> lines_;
  std::size_t index_ = 0;
  ParsedStore result_;
  KeyNode* key_ = nullptr;  // the key of the last key line, null when none or bad
  bool keyBad_ = false;     // the last key line could not be read
};

void AppendValue(std::string& out, const RegValue& value) {
  std::size_t lineStart = out.size();
  if (value.name.empty()) {
    out += '@';
  } else {
    AppendQuoted(out, value.name);
  }
  out += '=';
  if (value.text) {
    AppendQuoted(out, value.data);
  } else if (value.type == REG_DWORD && value.data.size() == 4) {
    std::uint32_t n = 0;
    for (std::size_t i = 4; i-- > 0;) n = n << 8 | static_cast<std::uint8_t>(value.data[i]);
    constexpr std::string_view kDigits = "0123456789abcdef";
    out += "dword:";
    for (int shift = 28; shift >= 0; shift -= 4) out += kDigits[(n >> shift) & 0xF];
  } else {
    constexpr std::string_view kDigits = "0123456789abcdef";
    if (value.type == REG_BINARY) {
      out += "hex:";
    } else {
      out += "hex(";
      std::string type;
      DWORD t = value.type;
      do {
        type.insert(type.begin(), kDigits[t & 0xF]);
        t >>= 4;
      } while (t != 0);
      out += type + "):";
    }
    for (std::size_t i = 0; i < value.data.size(); ++i) {
      const auto byte = static_cast<std::uint8_t>(value.data[i]);
      out += kDigits[byte >> 4];
      out += kDigits[byte & 0xF];
      if (i + 1 == value.data.size()) break;
      out += ',';
      if (out.size() - lineStart >= kHexLineLimit) {
        out += "\\\n  ";
        lineStart = out.size() - 2;
      }
    }
  }
  out += '\n';
}

void AppendKey(std::string& out, const KeyNode& key, const std::string& path) {
  out += '[';
  out += path;
  out += "]\n";
  for (const RegValue& value : key.values) AppendValue(out, value);
  out += '\n';
  for (const KeyNode& subkey : key.subkeys) AppendKey(out, subkey, path + '\\' + subkey.name);
}

}  // namespace

std::string StoreProblem::Text() const {
  if (line == 0) return file + ": " + message;
  return file + ':' + std::to_string(line) + ": " + message;
}

bool IsHiveName(std::string_view name) noexcept {
  for (const std::string_view hive : kHives) {
    if (NamesEqual(hive, name)) return true;
  }
  return false;
}

ParsedStore ParseRegText(std::string_view text, std::string_view file) {
  return Parser(text, file).Run();
}

std::string FormatRegText(const KeyNode& root) {
  std::string out(kRegFileHeader);
  out += "\n\n";
  for (const KeyNode& hive : root.subkeys) AppendKey(out, hive, hive.name);
  return out;
}

}  // namespace norix::platform::registry
