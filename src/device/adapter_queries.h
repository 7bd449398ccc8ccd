// Questions an ISDN adapter answers about its optional parts: the "ATI7"
// report of a solano 1280 (analogue port, internal modem, neither), the
// internal modem's own identification, and the KOMET II feature word.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "device/adapter_features.h"
#include "link/at_exchange.h"
#include "link/modem_context.h"

namespace norix::device {

// "ATI7" reply of an adapter with an analogue telephone port.
inline constexpr std::string_view kAddedAnalogInterface = "Added Internal Analog Interface";
// Read constant around "ATI7", which the adapter is slow to answer.
inline constexpr std::uint32_t kAti7ReadConstant = 6000;
// Internal modem version texts hold at most this many characters.
inline constexpr std::size_t kVersionTextCapacity = 19;
// ReadInternalModemVersion gives up after this many reads in a row that bring
// no line, or after this many lines without the internal modem's "1280".
inline constexpr int kInternalModemEmptyReads = 3;
inline constexpr int kInternalModemLineLimit = 32;

// Sends "ATI7" with a read constant of kAti7ReadConstant and restores the
// previous one. `reply` gets the reply line. Blocks up to about 6 s when the
// adapter is silent (NoReply).
link::AtResult QueryAdapterInterfaces(platform::comm::Port* port, std::string& reply);

// Sets the analogue port, internal modem and no internal hardware flags of a
// solano 1280 adapter from its "ATI7" report, and reads the internal modem's
// version where there is one. The isdnAdapter flag is the caller's.
void ReadAdapterFeatures(link::ModemContext& context, AdapterFeatures& features);

// Asks the internal modem of the adapter for its identification ("AT!MATI3")
// and sets the context's internal modem version text (after the last "V", up
// to kVersionTextCapacity characters) and version number text (decimal of
// major * 100 + minor); both empty when no line with "1280" came. Blocks for
// the port's read time-out of at most kInternalModemEmptyReads line reads past
// the last line received.
void ReadInternalModemVersion(link::ModemContext& context);

// Sends "AT!P0" to a KOMET II adapter and stores the hexadecimal value of its
// reply line in the feature word; kDefaultKometFeatureWord when the answer is
// not OK or the line holds no hexadecimal number.
void ReadKometFeatureWord(link::ModemContext& context, AdapterFeatures& features);

}  // namespace norix::device
