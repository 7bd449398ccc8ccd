// Feeds arbitrary identification texts to the parser and the catalogue: no
// crash, no out-of-range read, and the results stay within their limits.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "device/ident_record.h"
#include "link/modem_context.h"
#include "platform/ascii/ascii_text.h"
#include "products/parse_identification.h"
#include "products/product_catalogue.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The identification hands the parser at most kIdentTextCapacity characters.
  const std::string_view text = std::string_view(reinterpret_cast<const char*>(data), size)
                                    .substr(0, norix::device::kIdentTextCapacity);
  // No port: a "solano" name's extra query fails at once instead of waiting.
  norix::link::ModemContext context;
  norix::products::ParseIdentification(text, context);
  if (context.productName.size() > norix::products::kProductNameCapacity ||
      context.firmwareVersion.size() > norix::device::kIdentTextCapacity) {
    std::abort();
  }
  (void)norix::products::LookupUpgradeKind(text);
  (void)norix::products::LookupUpgradeKind(context.productName);
  if (const auto at = norix::platform::ascii::FindNoCase(text, "NORIX");
      at && (*at + 5 > text.size() ||
             !norix::platform::ascii::EqualNoCase(text.substr(*at, 5), "norix"))) {
    std::abort();
  }
  return 0;
}
