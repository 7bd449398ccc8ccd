#include "platform/telephony/var_record.h"

#include <algorithm>
#include <cstring>

namespace norix::platform::telephony {

void VarRecord::Resize(DWORD totalSize) {
  bytes_.assign(totalSize, std::byte{0});
  SetField(kTotalSize, totalSize);
}

DWORD VarRecord::Field(std::size_t offset) const { return ReadDword(bytes_, offset); }

void VarRecord::SetField(std::size_t offset, DWORD value) {
  if (offset + sizeof value <= bytes_.size()) {
    std::memcpy(bytes_.data() + offset, &value, sizeof value);
  }
}

std::span<const std::byte> VarRecord::Part(DWORD size, DWORD offset) const {
  const std::size_t used = std::min<std::size_t>(UsedSize(), bytes_.size());
  if (size == 0 || offset == 0 || offset > used || size > used - offset) {
    return {};
  }
  return std::span<const std::byte>(bytes_).subspan(offset, size);
}

void VarRecord::Clear() {
  const DWORD total = TotalSize();
  std::fill(bytes_.begin(), bytes_.end(), std::byte{0});
  SetField(kTotalSize, total);
}

DWORD VarRecord::PutPart(DWORD& used, std::span<const std::byte> data) {
  const DWORD offset = used;
  std::copy(data.begin(), data.end(), bytes_.begin() + offset);
  used += static_cast<DWORD>(data.size());
  return offset;
}

std::vector<std::byte> AsciiPart(std::string_view text) {
  std::vector<std::byte> part(text.size() + 1, std::byte{0});
  std::memcpy(part.data(), text.data(), text.size());
  return part;
}

DWORD ReadDword(std::span<const std::byte> bytes, std::size_t offset) {
  DWORD value = 0;
  if (offset <= bytes.size() && bytes.size() - offset >= sizeof value) {
    std::memcpy(&value, bytes.data() + offset, sizeof value);
  }
  return value;
}

}  // namespace norix::platform::telephony
