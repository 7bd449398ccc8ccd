#include "platform/telephony/serial_by_id.h"

#include <algorithm>

#include "platform/ascii/ascii_text.h"

namespace norix::platform::telephony {

namespace {

// The modem driver key of a USB device, named after its by-id link so that it
// stays the same from run to run; backslashes would split the key path.
std::string UsbDriverKey(std::string linkName) {
  std::replace(linkName.begin(), linkName.end(), '\\', '_');
  return std::string(kUsbDriverKeyPath) + '\\' + linkName;
}

// Removes a trailing "-<tag><digits>" such as "-port0" or "-if00".
void DropSuffix(std::string_view& text, std::string_view tag) {
  const auto dash = text.rfind('-');
  if (dash == std::string_view::npos) {
    return;
  }
  const std::string_view suffix = text.substr(dash + 1);
  if (suffix.size() > tag.size() && suffix.substr(0, tag.size()) == tag &&
      std::all_of(suffix.begin() + static_cast<std::ptrdiff_t>(tag.size()), suffix.end(),
                  platform::ascii::IsDigit)) {
    text = text.substr(0, dash);
  }
}

int HexValue(char c) {
  if (platform::ascii::IsDigit(c)) {
    return c - '0';
  }
  const char lower = platform::ascii::ToLower(c);
  return lower >= 'a' && lower <= 'f' ? lower - 'a' + 10 : -1;
}

std::string DecodeEscapes(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x') {
      const int high = HexValue(text[i + 2]);
      const int low = HexValue(text[i + 3]);
      if (high >= 0 && low >= 0) {
        const char decoded = static_cast<char>(high * 16 + low);
        // A control character would spoil the name; show it as a blank.
        out.push_back(static_cast<unsigned char>(decoded) < 0x20 ? ' ' : decoded);
        i += 3;
        continue;
      }
    }
    out.push_back(text[i]);
  }
  return out;
}

bool LooksLikeSerialNumber(std::string_view word) {
  return word.size() >= 6 && std::all_of(word.begin(), word.end(), platform::ascii::IsAlnum) &&
         std::any_of(word.begin(), word.end(), platform::ascii::IsDigit);
}

}  // namespace

std::string ReadableNameFromById(std::string_view linkName) {
  std::string_view text = linkName;
  for (const std::string_view bus : {"usb-", "pci-", "platform-"}) {
    if (text.substr(0, bus.size()) == bus) {
      text.remove_prefix(bus.size());
      break;
    }
  }
  DropSuffix(text, "port");
  DropSuffix(text, "if");

  std::vector<std::string_view> words;
  while (!text.empty()) {
    const auto underscore = text.find('_');
    const std::string_view word = text.substr(0, underscore);
    if (!word.empty()) {
      words.push_back(word);
    }
    text = underscore == std::string_view::npos ? std::string_view{} : text.substr(underscore + 1);
  }
  if (words.size() >= 2 && LooksLikeSerialNumber(words.back())) {
    words.pop_back();
  }
  std::string name;
  for (const std::string_view word : words) {
    if (!name.empty()) {
      name += ' ';
    }
    name += DecodeEscapes(word);
  }
  return name.empty() ? std::string(linkName) : name;
}

std::vector<LineDevice> ScanSerialById(const std::filesystem::path& dir, std::string_view word) {
  std::vector<std::filesystem::path> links;
  std::error_code error;
  for (std::filesystem::directory_iterator it(dir, error), end; !error && it != end;
       it.increment(error)) {
    const std::string fileName = it->path().filename().string();
    std::error_code typeError;
    if (platform::ascii::ContainsNoCase(fileName, word) &&
        std::filesystem::is_character_file(it->path(), typeError)) {
      links.push_back(it->path());
    }
  }
  std::sort(links.begin(), links.end());
  std::vector<LineDevice> devices;
  for (const auto& link : links) {
    LineDevice device;
    device.name = ReadableNameFromById(link.filename().string());
    device.port = link.string();
    if (!CheckLineDevice(device).empty()) {
      continue;
    }
    // A key the line service cannot report (too long) leaves the device without one.
    device.driverKey = UsbDriverKey(link.filename().string());
    if (!CheckLineDevice(device).empty()) {
      device.driverKey.reset();
    }
    devices.push_back(std::move(device));
  }
  return devices;
}

}  // namespace norix::platform::telephony
