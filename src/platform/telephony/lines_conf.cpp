#include "platform/telephony/lines_conf.h"

#include <cerrno>
#include <fstream>
#include <optional>
#include <sstream>
#include <system_error>

#include "platform/ascii/ascii_text.h"
#include "platform/ascii/quoted_text.h"

namespace norix::platform::telephony {

namespace {

std::string_view Trim(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) {
    return {};
  }
  const auto last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

// What the file said, escaped and cut for a diagnostic line.
std::string Q(std::string_view text) { return platform::ascii::QuotedText(text); }

std::string_view Unquote(std::string_view value) {
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

// Collects one file's devices and problems while it is read line by line.
class Parser {
 public:
  explicit Parser(const std::string& fileName) : fileName_(fileName) {}

  void Line(std::size_t number, std::string_view text) {
    number_ = number;
    if (!text.empty() && text.back() == '\r') {
      text.remove_suffix(1);
    }
    text = Trim(text);
    if (text.empty() || text.front() == '#' || text.front() == ';') {
      return;
    }
    if (text.front() == '[') {
      Header(text);
      return;
    }
    const auto equals = text.find('=');
    if (equals == std::string_view::npos) {
      Problem("expected \"key = value\", a [line] header or a comment");
      return;
    }
    Entry(platform::ascii::ToLower(Trim(text.substr(0, equals))),
          Unquote(Trim(text.substr(equals + 1))));
  }

  LinesConf Finish() {
    EndSection();
    return std::move(result_);
  }

 private:
  struct Section {
    std::size_t headerLine = 0;
    LineDevice device;
    bool hasName = false;
    bool hasPort = false;
    bool hasApi = false;
    bool hasDriverKey = false;
    bool bad = false;
  };

  void Header(std::string_view text) {
    EndSection();
    if (text.back() != ']') {
      inUnknownSection_ = true;
      Problem("section header without closing ]; its entries are ignored");
      return;
    }
    const std::string name = platform::ascii::ToLower(Trim(text.substr(1, text.size() - 2)));
    if (name != "line") {
      inUnknownSection_ = true;
      Problem("unknown section [" + platform::ascii::EscapedText(name) +
              "] (only [line] is known); its entries are ignored");
      return;
    }
    inUnknownSection_ = false;
    section_ = Section{};
    section_->headerLine = number_;
  }

  void Entry(const std::string& key, std::string_view value) {
    if (!section_) {
      if (!inUnknownSection_) {
        Problem(Q(key) + " before the first [line] header; ignored");
      }
      return;
    }
    Section& s = *section_;
    if (key == "name") {
      Set(s.hasName, key, [&] { s.device.name = value; });
    } else if (key == "port") {
      Set(s.hasPort, key, [&] { s.device.port = value; });
    } else if (key == "driver-key") {
      Set(s.hasDriverKey, key, [&] { s.device.driverKey = std::string(value); });
    } else if (key == "api") {
      const auto range = ParseApiRange(value);
      if (!range) {
        Problem("bad API version " + Q(value) +
                " (write a version like 1.4 or a range like 1.3-1.4)");
        return;
      }
      Set(s.hasApi, key, [&] {
        s.device.apiLow = range->low;
        s.device.apiHigh = range->high;
      });
    } else {
      Problem("unknown key " + Q(key) + " (known: name, port, api, driver-key)");
    }
  }

  template <typename Apply>
  void Set(bool& given, const std::string& key, Apply apply) {
    if (given) {
      Problem(Q(key) + " given twice");
      return;
    }
    given = true;
    apply();
  }

  void EndSection() {
    if (!section_) {
      return;
    }
    Section s = std::move(*section_);
    section_.reset();
    if (s.bad) {
      return;
    }
    if (!s.hasName || !s.hasPort) {
      SectionProblem(s.headerLine,
                     std::string("[line] without \"") + (s.hasName ? "port" : "name") + "\"");
      return;
    }
    if (const std::string why = CheckLineDevice(s.device); !why.empty()) {
      SectionProblem(s.headerLine, why);
      return;
    }
    result_.devices.push_back(std::move(s.device));
  }

  // Inside a section a problem spoils it: the device is left out.
  void Problem(const std::string& what) {
    std::string text = fileName_ + ":" + std::to_string(number_) + ": " + what;
    if (section_) {
      section_->bad = true;
      text += "; the line device of line " + std::to_string(section_->headerLine) + " is ignored";
    }
    result_.problems.push_back(std::move(text));
  }

  // A problem found at the end of a section, reported at its header line.
  void SectionProblem(std::size_t headerLine, const std::string& what) {
    result_.problems.push_back(fileName_ + ":" + std::to_string(headerLine) + ": " + what +
                               "; the line device is ignored");
  }

  std::string fileName_;
  std::size_t number_ = 0;
  std::optional<Section> section_;
  bool inUnknownSection_ = false;
  LinesConf result_;
};

}  // namespace

LinesConf ParseLinesConf(std::string_view text, const std::string& fileName) {
  Parser parser(fileName);
  std::size_t number = 0;
  while (!text.empty()) {
    const auto end = text.find('\n');
    parser.Line(++number, text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
  }
  return parser.Finish();
}

LinesConf ReadLinesConf(const std::filesystem::path& file) {
  std::error_code error;
  const auto status = std::filesystem::status(file, error);
  if (status.type() == std::filesystem::file_type::not_found) {
    return {};
  }
  const std::string name = file.string();
  if (error || status.type() == std::filesystem::file_type::directory) {
    return {{}, {name + ": cannot read: " + (error ? error.message() : "it is a directory")}};
  }
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    return {{},
            {name + ": cannot read: " + std::error_code(errno, std::generic_category()).message()}};
  }
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) {
    return {{}, {name + ": cannot read: input error"}};
  }
  return ParseLinesConf(text.str(), name);
}

}  // namespace norix::platform::telephony
