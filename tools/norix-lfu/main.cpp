// norix-lfu: shows what the upgrade code reads from an upgrade file (.lfu),
// and makes valid upgrade files for tests and the simulator.
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "make_command.h"
#include "platform/cli/options.h"
#include "show_command.h"

namespace {

constexpr std::string_view kUsage = R"(usage:
  norix-lfu show FILE [--layout modem|modem-large|komet|solano]
      Prints the header keys, where the data sections start, and for each
      layout (or the one given) the sections it cuts, the firmware checksum
      and whether it matches the file's. Exit 0 when the layout (without
      --layout: any layout) accepts the file, 1 when not, 2 on bad arguments
      or an unreadable file.

  norix-lfu make --family modem|komet|solano --out FILE --name NAME --version M.mm
                 [--loader FILE | --loader-size N]        modem only, default 16384
                 [--loader-mode star|digit|xmodem]        modem only, default star
                 [--firmware FILE | --firmware-size N]    default 300000
                 [--firmware2 FILE | --firmware2-size N]  modem large flash, [FileThree]
                 [--large-flash]                          modem: [FileTwo] is for the
                                                          large flash part
                 [--ident TEXT] [--ident2 TEXT]           what "ATI3" answers after the
                                                          upgrade, default "NAME VM.mm"
                 [--boot FILE | --boot-version N [--boot-size N]]  KOMET II only
                 [--modem-checksum TEXT] [--modem-checksum2 TEXT] [--seed N]
      Writes a valid upgrade file. Sections not read from files are made
      for the simulated products (norix-sim), which check them: a flash
      loader with its length, CRC-32 and how it takes the firmware (raw
      chunks acknowledged with "*", or with "1"/"2" and a text line, or
      X-modem), and firmware with its length, the hardware it is for and the
      identification it answers "ATI3" with; their code is random bytes from
      --seed (default 1). Sections read from files are taken as they are.
      FileChecksum (and FileChecksum2 for modem files above 800000 bytes)
      fit the layout, ModemChecksum defaults to the firmware's checksum text,
      which is what a simulated product answers "ATI1" with once it runs that
      firmware. N may be decimal or 0x hexadecimal; a boot code version of
      0x0102 stands for V1.02. Exit 0 when written, 1 when the file cannot be
      made or written, 2 on bad arguments.

  norix-lfu --help | --version
)";

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  if (arguments.empty()) {
    std::cerr << kUsage;
    return norix::tools::lfu::kExitUsage;
  }
  for (const auto& argument : arguments) {
    if (argument == "--help" || argument == "-h") {
      std::cout << kUsage;
      return norix::tools::lfu::kExitOk;
    }
  }
  if (arguments.front() == "--version") {
    std::cout << norix::platform::cli::VersionText("norix-lfu") << '\n';
    return norix::tools::lfu::kExitOk;
  }
  const std::string& command = arguments.front();
  const std::vector<std::string> rest(arguments.begin() + 1, arguments.end());
  if (command == "show") {
    return norix::tools::lfu::RunShow(rest, std::cout, std::cerr);
  }
  if (command == "make") {
    return norix::tools::lfu::RunMake(rest, std::cout, std::cerr);
  }
  std::cerr << "norix-lfu: unknown command \"" << command << "\"\n" << kUsage;
  return norix::tools::lfu::kExitUsage;
}
