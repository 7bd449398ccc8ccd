// norix-lfu show FILE [--layout modem|modem-large|komet|solano]
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace norix::tools::lfu {

inline constexpr int kExitOk = 0;
inline constexpr int kExitRefused = 1;  // show: refused by the layout(s); make: cannot make
inline constexpr int kExitUsage = 2;    // bad arguments, or the file cannot be read

// Prints the header keys, the sections each layout cuts, the checksum and
// whether it matches. Exit 0 when the chosen layout (without --layout: at
// least one layout) accepts the file, 1 when not, 2 on bad arguments or an
// unreadable file.
int RunShow(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace norix::tools::lfu
