#include "services/provider_service_records.h"

namespace norix::services {

namespace {

// The supplementary services in list order, with the codes they have before
// an adapter is read (N stands for the number):
//   0 Hide own number         *31*
//   1 Call Waiting            *43#       #43#
//   2 Permanent forwarding    *21*N#     #21#
//   3 Forwarding when busy    *67*N#     #67#
//   4 Forwarding, no answer   *61*N#     #61#
//   5 Disable all settings    *00*
//   6 Block with a code       *33*N#     #33*N#
//   7 Fixed call              *53*N#     #53#
//   8 Do not disturb          *26#       #26#
//   9 Booking                 *5*
struct ServiceRow {
  std::uint32_t kind;
  int name;
  std::string_view stem;
  int activationHelp;
  int cancelHelp;
  char activationPrefix;
  std::string_view activationDigits;
  char activationSuffix;
  char numberSuffix;
  char cancelPrefix;
  std::string_view cancelDigits;
  char cancelSuffix;
  char cancelNumberSuffix;
};

constexpr std::uint32_t kForwarding =
    kActivationLine | kCancelLine | kVoiceOnlySetting | kNumberAfterActivation;

constexpr std::array<ServiceRow, kServiceCount> kServiceRows{{
    {kActivationLine, 2259, "*S0", 2260, 2261, '*', "31", '*', 0, 0, "", 0, 0},
    {kActivationLine | kCancelLine, 2262, "*S1", 2263, 2264, '*', "43", '#', 0, '#', "43", '#', 0},
    {kForwarding, 2265, "*S2", 2266, 2267, '*', "21", '*', '#', '#', "21", '#', 0},
    {kForwarding, 2270, "*S3", 2271, 2272, '*', "67", '*', '#', '#', "67", '#', 0},
    {kForwarding, 2273, "*S4", 2274, 2275, '*', "61", '*', '#', '#', "61", '#', 0},
    {kActivationLine, 2276, "*S5", 2277, 2278, '*', "00", '*', 0, 0, "", 0, 0},
    {kActivationLine | kCancelLine | kNumberOnBothLines, 2279, "*S6", 2280, 2281, '*', "33", '*',
     '#', '#', "33", '*', '#'},
    {kActivationLine | kCancelLine | kNumberAfterActivation, 2282, "*S7", 2283, 2284, '*', "53",
     '*', '#', '#', "53", '#', 0},
    {kActivationLine | kCancelLine, 2285, "*S8", 2286, 2287, '*', "26", '#', 0, '#', "26", '#', 0},
    {kBooking, 2288, "*S9", 2289, 2290, '*', "5", '*', 0, 0, "", 0, 0},
}};

struct LineRow {
  int name;
  std::string_view stem;
  char keyDigit;
  int help;
};

constexpr std::array<LineRow, kLineFunctionCount> kLineRows{{
    {2294, "*3P0", '0', 2312},
    {2295, "*3P1", '1', 2313},
    {2296, "*3P2", '2', 2314},
    {2298, "*3P3", '3', 2315},
}};

}  // namespace

ProviderServices::ProviderServices() {
  for (std::size_t i = 0; i < kServiceCount; ++i) {
    const ServiceRow& row = kServiceRows.at(i);
    ProviderService& service = services.at(i);
    service.kind = row.kind;
    service.name = row.name;
    service.stem = row.stem;
    service.activationHelp = row.activationHelp;
    service.cancelHelp = row.cancelHelp;
    service.codes = {row.activationPrefix, std::string(row.activationDigits),
                     row.activationSuffix, row.numberSuffix,
                     row.cancelPrefix,     std::string(row.cancelDigits),
                     row.cancelSuffix,     row.cancelNumberSuffix};
  }
  for (std::size_t i = 0; i < kLineFunctionCount; ++i) {
    const LineRow& row = kLineRows.at(i);
    lineFunctions.at(i) = {row.name, row.stem, row.keyDigit, row.help};
  }
}

void ProviderServices::ForgetOpening() {
  for (ProviderService& service : services) {
    service.opening = {};
    service.number.clear();
  }
  for (LineFunction& line : lineFunctions) {
    line.supported = false;
    line.read = false;
    line.changed = false;
  }
  showNumberAsDefault.read = false;
  showNumberAsDefault.changed = false;
  onlyVoiceCalls.read = false;
  onlyVoiceCalls.changed = false;
  closedUserGroup.found = false;
  closedUserGroup.changed = false;
  dataPort.supported = false;
  dataPort.read = false;
  dataPort.changed = false;
  portability.supported = false;
  portability.read = false;
  portability.changed = false;
}

void ProviderServices::Release() {
  for (ProviderService& service : services) {
    service.number.clear();
    service.number.shrink_to_fit();
  }
}

}  // namespace norix::services
