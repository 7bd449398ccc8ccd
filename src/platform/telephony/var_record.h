// Variable-size records as the line service hands them out: a fixed part of
// 32-bit fields followed by variable parts, each addressed by a size and an
// offset from the start of the record. The caller chooses the total size; the
// service fills in the fixed part, writes the variable parts when they all
// fit, and reports in the needed size how large the record must be to hold
// them. A caller that gets a needed size above the total size grows the
// record to it and asks again.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>
#include <vector>

#include "platform/telephony/line_types.h"

namespace norix::platform::telephony {

class VarRecord {
 public:
  // Field offsets shared by every record.
  static constexpr std::size_t kTotalSize = 0;
  static constexpr std::size_t kNeededSize = 4;
  static constexpr std::size_t kUsedSize = 8;

  [[nodiscard]] DWORD TotalSize() const { return Field(kTotalSize); }
  [[nodiscard]] DWORD NeededSize() const { return Field(kNeededSize); }
  [[nodiscard]] DWORD UsedSize() const { return Field(kUsedSize); }

  // Reallocates the record with `totalSize` zero-filled bytes.
  void Resize(DWORD totalSize);

  // The 32-bit field at a byte offset of the fixed part; 0 outside the record.
  [[nodiscard]] DWORD Field(std::size_t offset) const;
  void SetField(std::size_t offset, DWORD value);

  // The bytes of a variable part; empty when size or offset is 0 or the part
  // does not lie within the used size.
  [[nodiscard]] std::span<const std::byte> Part(DWORD size, DWORD offset) const;

  [[nodiscard]] std::span<const std::byte> Bytes() const { return bytes_; }

 protected:
  explicit VarRecord(DWORD totalSize) { Resize(totalSize); }

  // For the service: zeroes everything but the total size.
  void Clear();
  // For the service: appends a variable part at `used` and returns its
  // offset; the record must have room (checked by the caller through the
  // needed size).
  DWORD PutPart(DWORD& used, std::span<const std::byte> data);

  friend class LineService;

 private:
  std::vector<std::byte> bytes_;
};

// An ASCII text as a variable part: its bytes and a terminating zero.
std::vector<std::byte> AsciiPart(std::string_view text);

// The capabilities of a line device (lineGetDevCaps).
class LineDevCaps : public VarRecord {
 public:
  static constexpr std::size_t kProviderInfoSize = 12;
  static constexpr std::size_t kProviderInfoOffset = 16;
  static constexpr std::size_t kPermanentLineId = 20;
  static constexpr std::size_t kLineNameSize = 24;
  static constexpr std::size_t kLineNameOffset = 28;
  static constexpr std::size_t kStringFormat = 32;
  static constexpr std::size_t kAddressModes = 36;
  static constexpr std::size_t kNumAddresses = 40;
  static constexpr std::size_t kBearerModes = 44;
  static constexpr std::size_t kMaxRate = 48;
  static constexpr std::size_t kMediaModes = 52;
  static constexpr std::size_t kDevSpecificSize = 56;
  static constexpr std::size_t kDevSpecificOffset = 60;
  static constexpr DWORD kFixedSize = 64;

  explicit LineDevCaps(DWORD totalSize) : VarRecord(totalSize) {}

  [[nodiscard]] DWORD LineNameSize() const { return Field(kLineNameSize); }
  [[nodiscard]] DWORD LineNameOffset() const { return Field(kLineNameOffset); }
  [[nodiscard]] DWORD StringFormat() const { return Field(kStringFormat); }
  [[nodiscard]] std::span<const std::byte> LineName() const {
    return Part(LineNameSize(), LineNameOffset());
  }
  [[nodiscard]] std::span<const std::byte> ProviderInfo() const {
    return Part(Field(kProviderInfoSize), Field(kProviderInfoOffset));
  }
  // The modem driver's part: a non-zero first 32-bit word when it holds the
  // driver key, then the offset of the key text from the start of the part.
  [[nodiscard]] std::span<const std::byte> DevSpecific() const {
    return Part(Field(kDevSpecificSize), Field(kDevSpecificOffset));
  }
};

// A variable-size string (lineGetID).
class VarString : public VarRecord {
 public:
  static constexpr std::size_t kStringFormat = 12;
  static constexpr std::size_t kStringSize = 16;
  static constexpr std::size_t kStringOffset = 20;
  static constexpr DWORD kFixedSize = 24;

  explicit VarString(DWORD totalSize) : VarRecord(totalSize) {}

  [[nodiscard]] DWORD StringFormat() const { return Field(kStringFormat); }
  [[nodiscard]] std::span<const std::byte> String() const {
    return Part(Field(kStringSize), Field(kStringOffset));
  }
};

// Reads a 32-bit word from the start of `bytes`; 0 when fewer than 4 bytes.
DWORD ReadDword(std::span<const std::byte> bytes, std::size_t offset = 0);

}  // namespace norix::platform::telephony
