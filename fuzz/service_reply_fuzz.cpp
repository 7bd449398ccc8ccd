// Reads arbitrary bytes as the KOMET II's reply lines to a provider service
// query: whatever comes, the parts taken fit their fields, a part counts as
// read only when taken and whole, and taken codes begin with a key.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "services/provider_service_records.h"
#include "services/service_reply.h"

namespace {

bool IsKey(char c) { return c == '*' || c == '#'; }

void Check(bool holds) {
  if (!holds) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace norix::services;
  // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): bytes as text
  const std::string_view line(reinterpret_cast<const char*>(data), size);
  for (const bool withNumber : {false, true}) {
    const ActivationReply reply = ParseActivationReply(line, withNumber);
    Check(reply.digits.size() <= kDigitsLength && reply.number.size() <= kNumberLength);
    Check(!reply.codesRead || reply.codesTaken);
    Check(!reply.codesTaken || IsKey(reply.prefix));
    Check(!reply.codesRead ||
          (IsKey(reply.suffix) && OnlyCharacters(reply.digits, kDialCharacters)));
    Check(!reply.numberTaken || (withNumber && reply.codesTaken && IsKey(reply.numberSuffix)));
    Check(!reply.numberRead ||
          (reply.numberTaken && OnlyCharacters(reply.number, kDialCharacters)));
  }
  const CancelReply cancel = ParseCancelReply(line);
  Check(cancel.digits.size() <= kDigitsLength);
  Check(!cancel.read || (cancel.taken && IsKey(cancel.suffix)));
  Check(!cancel.taken || IsKey(cancel.prefix));
  static_cast<void>(ReplyValue(line));
  return 0;
}
