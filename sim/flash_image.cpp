#include "sim/flash_image.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace norix::sim {
namespace {

constexpr std::string_view kLoaderMark = "NXLOADER";
constexpr std::string_view kFirmwareMark = "NXFIRMWR";
constexpr std::string_view kBootMark = "NORIX BOOT";
constexpr std::size_t kLoaderCrcSize = 4;
constexpr std::size_t kMaxIdentification = 200;

bool BeginsWith(std::span<const std::uint8_t> bytes, std::string_view mark) {
  if (bytes.size() < mark.size()) {
    return false;
  }
  for (std::size_t i = 0; i < mark.size(); ++i) {
    if (bytes[i] != static_cast<std::uint8_t>(mark[i])) {
      return false;
    }
  }
  return true;
}

std::uint32_t Little32(std::span<const std::uint8_t> bytes) {
  return static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8U) |
         (static_cast<std::uint32_t>(bytes[2]) << 16U) |
         (static_cast<std::uint32_t>(bytes[3]) << 24U);
}

std::optional<LoaderMode> ModeOf(std::uint8_t byte) {
  switch (byte) {
    case '*':
      return LoaderMode::RawStar;
    case '1':
      return LoaderMode::RawDigit;
    case 'X':
      return LoaderMode::Xmodem;
    default:
      return std::nullopt;
  }
}

}  // namespace

std::optional<std::size_t> LoaderLength(std::span<const std::uint8_t> head) {
  if (head.size() < kLoaderHeaderSize || !BeginsWith(head, kLoaderMark) || !ModeOf(head[8])) {
    return std::nullopt;
  }
  const std::size_t length = Little32(head.subspan(10, 4));
  if (length < kLoaderHeaderSize + kLoaderCrcSize || length > kMaxFirmwareLength) {
    return std::nullopt;
  }
  return length;
}

std::optional<LoaderMode> CheckLoader(std::span<const std::uint8_t> loader) {
  const auto length = LoaderLength(loader);
  if (!length || loader.size() != *length) {
    return std::nullopt;
  }
  const std::size_t covered = *length - kLoaderCrcSize;
  if (Crc32(loader.first(covered)) != Little32(loader.subspan(covered, kLoaderCrcSize))) {
    return std::nullopt;
  }
  return ModeOf(loader[8]);
}

std::optional<FirmwareHeader> ReadFirmwareHeader(std::span<const std::uint8_t> head,
                                                 bool& complete) {
  complete = false;
  if (head.size() < kFirmwareHeaderSize) {
    // A wrong mark is known as soon as its bytes are in.
    complete =
        !BeginsWith(head, kFirmwareMark.substr(0, std::min(head.size(), kFirmwareMark.size())));
    return std::nullopt;
  }
  const std::size_t identLength = head[9];
  FirmwareHeader header;
  header.target = static_cast<char>(head[8]);
  header.length = Little32(head.subspan(10, 4));
  if (!BeginsWith(head, kFirmwareMark) || identLength == 0 || identLength > kMaxIdentification ||
      header.length < kFirmwareHeaderSize + identLength || header.length > kMaxFirmwareLength) {
    complete = true;
    return std::nullopt;
  }
  if (head.size() < kFirmwareHeaderSize + identLength) {
    return std::nullopt;
  }
  complete = true;
  for (const std::uint8_t byte : head.subspan(kFirmwareHeaderSize, identLength)) {
    if (byte < 0x20 || byte > 0x7E) {
      return std::nullopt;
    }
    header.identification.push_back(static_cast<char>(byte));
  }
  return header;
}

std::optional<std::uint16_t> BootCodeVersion(std::span<const std::uint8_t> code) {
  if (code.size() < kBootMark.size() + 2 || !BeginsWith(code, kBootMark)) {
    return std::nullopt;
  }
  return static_cast<std::uint16_t>(code[kBootMark.size()] |
                                    (static_cast<unsigned>(code[kBootMark.size() + 1]) << 8U));
}

std::string FirmwareChecksum(std::span<const std::uint8_t> bytes) {
  unsigned sum = 0;
  for (const std::uint8_t byte : bytes) {
    sum += static_cast<unsigned>(static_cast<int>(static_cast<std::int8_t>(byte)));
  }
  std::array<char, 8> text{};
  static_cast<void>(std::snprintf(text.data(), text.size(), "%04X", sum & 0xFFFFU));
  return text.data();
}

std::uint32_t Crc32(std::span<const std::uint8_t> bytes) {
  std::uint32_t crc = 0xFFFFFFFFU;
  for (const std::uint8_t byte : bytes) {
    crc ^= byte;
    for (int bit = 0; bit < 8; ++bit) {
      crc = (crc & 1U) != 0 ? (crc >> 1U) ^ 0xEDB88320U : crc >> 1U;
    }
  }
  return crc ^ 0xFFFFFFFFU;
}

std::string_view IdentificationVersion(std::string_view identification) {
  const std::size_t at = identification.rfind(" V");
  if (at == std::string_view::npos || at + 2 >= identification.size()) {
    return {};
  }
  return identification.substr(at + 1);
}

std::uint32_t VersionNumber(std::string_view identification) {
  const std::string_view version = IdentificationVersion(identification);
  // "V" digits "." digits
  std::uint32_t major = 0;
  std::uint32_t minor = 0;
  std::size_t at = 1;
  for (; at < version.size() && version[at] >= '0' && version[at] <= '9'; ++at) {
    major = major * 10 + static_cast<std::uint32_t>(version[at] - '0');
  }
  if (at == 1 || at >= version.size() || version[at] != '.') {
    return 0;
  }
  for (++at; at < version.size() && version[at] >= '0' && version[at] <= '9'; ++at) {
    minor = minor * 10 + static_cast<std::uint32_t>(version[at] - '0');
  }
  return major * 100 + minor;
}

}  // namespace norix::sim
