// norix-lfu make --family modem|komet|solano --out FILE --name NAME --version V ...
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace norix::tools::lfu {

// Writes a valid upgrade file of the family from given or seeded section data.
// Exit 0 when written, 1 when the file cannot be made or written, 2 on bad
// arguments.
int RunMake(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace norix::tools::lfu
