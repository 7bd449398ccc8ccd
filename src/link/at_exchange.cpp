#include "link/at_exchange.h"

#include <array>
#include <string_view>
#include <utility>

#include "link/port_io.h"

namespace norix::link {

namespace {

// The rest of an answer after an informational line is read into this much.
constexpr std::size_t kRestCapacity = 127;

constexpr std::array<std::pair<std::string_view, AtResult>, 5> kFinalCodes{{
    {"OK", AtResult::Ok},
    {"NO CARRIER", AtResult::NoCarrier},
    {"NO DIALTONE", AtResult::NoDialtone},
    {"VCON", AtResult::Vcon},
    {"ERROR", AtResult::Error},
}};

// The final result codes that decide an answer's rest.
constexpr std::array<std::string_view, 2> kRestCodes{"OK", "ERROR"};

// The rest holds a whole line that begins with a final result code: the
// answer is complete, nothing more belongs to it.
bool EndsAnswer(std::string_view rest) {
  for (std::size_t begin = 0; begin < rest.size();) {
    const std::size_t end = rest.find('\n', begin);
    if (end == std::string_view::npos) {
      return false;
    }
    const std::string_view line = rest.substr(begin, end - begin);
    for (const std::string_view code : kRestCodes) {
      if (line.starts_with(code)) {
        return true;
      }
    }
    begin = end + 1;
  }
  return false;
}

void CutToReply(std::string& line) {
  if (line.size() > kReplyCapacity) {
    line.resize(kReplyCapacity);
  }
}

// The rest of the answer to `command`, read as ReadBlockPatiently reads it.
// A one-line command's answer is complete with its final result code line,
// and the read ends there rather than after a read interval of quiet behind
// it (a whole second in some exchanges). A command that carries further
// lines (the "AT%7" restore sends its value with its line end) has their
// echo follow its answer: that rest ends with quiet, echo included, so that
// the echo is not left for the next exchange.
std::size_t ReadRest(platform::comm::Port* port, std::string_view command, std::string& rest) {
  if (command.find_first_of("\r\n") != std::string_view::npos) {
    return ReadBlockPatiently(port, rest, kRestCapacity);
  }
  return ReadBlockPatientlyUntil(port, rest, kRestCapacity, EndsAnswer);
}

AtResult Classify(platform::comm::Port* port, std::string_view command, std::string_view line) {
  for (const auto& [code, result] : kFinalCodes) {
    if (line.starts_with(code)) {
      return result;
    }
  }
  if (line.empty()) {
    return AtResult::NoReply;
  }
  // An informational line: the final result code is somewhere in what follows.
  std::string rest;
  if (ReadRest(port, command, rest) == 0) {
    return AtResult::NoReply;
  }
  AtResult result = AtResult::NoReply;
  if (rest.find("OK") != std::string::npos) {
    result = AtResult::Ok;
  }
  if (rest.find("ERROR") != std::string::npos) {
    result = AtResult::Error;
  }
  return result;
}

}  // namespace

AtResult SendAtCommand(platform::comm::Port* port, std::string_view command, std::string& reply) {
  if (command.empty()) {
    return AtResult::NoReply;
  }
  std::string line;
  AtResult result = AtResult::NoReply;
  if (WriteLine(port, command) != 0 && ReadLine(port, line) != 0) {
    CutToReply(line);
    if (line.starts_with(command)) {
      // The product echoes the command; the answer is the next line.
      line.clear();
      ReadLine(port, line);
      CutToReply(line);
    }
    result = Classify(port, command, line);
  }
  reply = line;
  return result;
}

int QueryGciSupport(platform::comm::Port* port) {
  std::string reply;
  (void)SendAtCommand(port, "AT", reply);
  return SendAtCommand(port, "AT+GCI?", reply) == AtResult::Ok ? 1 : 0;
}

int ProbeSpeed(platform::comm::Port* port) {
  if (port == nullptr) {
    return 0;
  }
  std::string reply;
  SetPortSpeed(port, 9600);
  if (SendAtCommand(port, "AT&F", reply) != AtResult::Ok) {
    return 0;
  }
  if (SendAtCommand(port, "ATI3", reply) != AtResult::Ok) {
    return 0;
  }
  constexpr std::array<std::pair<std::uint32_t, int>, 4> kSpeeds{{
      {38400, kProbe38400},
      {19200, kProbe19200},
      {9600, kProbe9600},
      {4800, kProbe4800},
  }};
  SetReadTimeout(port, 500);
  for (const auto& [speed, probe] : kSpeeds) {
    SetPortSpeed(port, speed);
    if (SendAtCommand(port, "AT", reply) == AtResult::Ok) {
      SetReadTimeout(port, 5000);
      (void)SendAtCommand(port, "AT&F", reply);
      return probe;
    }
  }
  return 0;
}

}  // namespace norix::link
