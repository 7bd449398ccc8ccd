// How a simulated product paces and disturbs what it sends: realistic
// timings and injected faults.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace norix::sim {

// How the products behave during a firmware upgrade: how long their own
// steps take, and the faults a real upgrade meets.
struct UpgradeOptions {
  // Every wait a product makes during an upgrade (its flash loader starting,
  // programming, erasing, restarting, a power cut's dark time), in percent
  // of the product's own times: 100 is real time, 0 no wait at all.
  std::uint32_t timePercent = 100;
  // How long the product takes to restart after programming, instead of its
  // model's own time (before timePercent). Long enough on a KOMET II (above
  // 8 s) to have the program store its settings afresh after the restart.
  std::optional<std::chrono::milliseconds> restartTime;
  // The power goes off once, after this many bytes of the flash loader
  // (analogue modems) or of the firmware transfer (every family: raw bytes
  // or X-modem blocks as they arrive) have come. The product is silent for
  // powerOffTime and then comes back in rescue mode: its boot firmware or
  // boot program, the flash as it was left.
  std::optional<std::uint64_t> powerCutLoader;
  std::optional<std::uint64_t> powerCutFirmware;
  std::chrono::milliseconds powerOffTime{3000};
  // The first n requests that start an upgrade ("AT**", "ATUPX") get no
  // answer beyond their echo.
  std::uint32_t silentRequests = 0;
  // Every n-th byte the host sends while the product takes a flash loader
  // or firmware arrives damaged (XOR 0x55); 0 damages nothing.
  std::uint32_t corruptEvery = 0;
  // The flash loader answers "Wrong device", the ISDN boot program refuses
  // to upgrade: a file for another product.
  bool refuseDevice = false;
  // The ISDN boot program's first erase stalls: after "Erasing FLASH " the
  // adapter says nothing more, and once the erase's time has passed it
  // restarts into its boot program with the flash erased (rescue mode,
  // silent at its prompt). A later erase works.
  bool stallErase = false;
};

struct ProductOptions {
  // Send every byte at the host's byte rate (10 bits per byte at the port
  // speed the host set), as a real line would deliver it.
  bool pace = false;
  // Wait this long after a command line's CR before answering (a slow product).
  std::chrono::milliseconds replyDelay{0};
  // Wait this long between the informational texts and the final result code
  // (a product that pauses in the middle of its answer).
  std::chrono::milliseconds resultPause{0};
  // Garble every n-th byte the product sends (echo and answers, counted from
  // the start), by XOR with 0x55; 0 sends everything intact.
  std::uint32_t garbleEvery = 0;
  // Whether the line works when the product dials: an analogue line gives a
  // dial tone, an ISDN line is connected. Without it a product that listens
  // for the dial tone (X2, X4) answers "NO DIALTONE" after S6 seconds.
  bool dialTone = true;
  // With a working line: how long the line lets a call that nobody answers
  // go on before it drops it and the product answers "NO CARRIER". 0: the
  // product's own carrier wait (S7 seconds) alone ends the call; the shorter
  // of the two wins.
  std::chrono::milliseconds lineDelay{0};
  // The times of a call (the dial tone wait S6, the carrier wait S7 and the
  // line's delay above) in percent of their own length: 100 is real time.
  // Tests that speed up the program's line test pauses speed these up alike.
  std::uint32_t callTimePercent = 100;
  // "AT&W" answers ERROR this many times before it stores the profile (a
  // profile memory that is busy at first): 1 makes the first "AT&F&W" fail
  // and the second succeed.
  std::uint32_t storeFailures = 0;
  // A country, by its international dialling code (46: Sweden), that the
  // product still lists but refuses to be set to ("AT+GCI=A5" or
  // "AT*NC014" answer ERROR): firmware whose country table names a country
  // its line interface is not approved for.
  std::optional<std::uint16_t> refusedCountry;
  UpgradeOptions upgrade;
  // A KOMET II's provider services (provider_services.h): the commands its
  // firmware does not know, by name ("*S3", "*3P1", "*DP", "S202", "%U",
  // "*SD"), whose queries and writes answer ERROR; the query whose reply
  // comes with every '*' and '#' garbled to '?'; the command whose writes
  // answer ERROR while its query works.
  std::vector<std::string> withdrawnServices;
  std::string garbledService;
  std::string refusedServiceWrite;
  // Commands that fail, each given as the host sends it or as its start
  // ("AT&Z*2=" for every write of that slot): the product answers such a
  // command with ERROR (failingCommands) or with nothing at all
  // (unansweredCommands), and does not carry it out.
  std::vector<std::string> failingCommands;
  std::vector<std::string> unansweredCommands;
  // Command lines the product runs once before it serves the host, as the
  // state it was left in ("AT&Z*0=4711": a number stored earlier). They get
  // no answer and are not in the transcript.
  std::vector<std::string> presetCommands;
};

}  // namespace norix::sim
