#include "sim/result_code.h"

namespace norix::sim {

std::string_view ResultText(ResultCode code) {
  switch (code) {
    case ResultCode::Ok:
      return "OK";
    case ResultCode::Connect:
      return "CONNECT";
    case ResultCode::Ring:
      return "RING";
    case ResultCode::NoCarrier:
      return "NO CARRIER";
    case ResultCode::Error:
      return "ERROR";
    case ResultCode::NoDialtone:
      return "NO DIALTONE";
    case ResultCode::Busy:
      return "BUSY";
    case ResultCode::NoAnswer:
      return "NO ANSWER";
  }
  return "ERROR";
}

unsigned ResultNumber(ResultCode code) {
  switch (code) {
    case ResultCode::Ok:
      return 0;
    case ResultCode::Connect:
      return 1;
    case ResultCode::Ring:
      return 2;
    case ResultCode::NoCarrier:
      return 3;
    case ResultCode::Error:
      return 4;
    case ResultCode::NoDialtone:
      return 6;
    case ResultCode::Busy:
      return 7;
    case ResultCode::NoAnswer:
      return 8;
  }
  return 4;
}

std::string FormatInformation(std::string_view text, const ModemSettings& settings) {
  const char cr = static_cast<char>(settings.Register(kCrRegister));
  const char lf = static_cast<char>(settings.Register(kLfRegister));
  std::string out;
  if (settings.Verbose()) {
    out += cr;
    out += lf;
  }
  out += text;
  out += cr;
  out += lf;
  return out;
}

std::string FormatResult(ResultCode code, const ModemSettings& settings) {
  if (settings.Quiet()) {
    return {};
  }
  const char cr = static_cast<char>(settings.Register(kCrRegister));
  const char lf = static_cast<char>(settings.Register(kLfRegister));
  if (!settings.Verbose()) {
    return std::to_string(ResultNumber(code)) + cr;
  }
  std::string out;
  out += cr;
  out += lf;
  out += ResultText(code);
  out += cr;
  out += lf;
  return out;
}

}  // namespace norix::sim
