// Assembles a command line from the bytes a product receives, the way a
// modem's command buffer does: the line ends at the CR character (S3), the
// backspace character (S5) takes back the last character, the line feed (S4)
// and other control bytes are ignored, and a line longer than the buffer keeps
// its beginning and is marked as overflowed. "A/" repeats the previous line
// at once, without a CR.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace norix::sim {

// Characters a real product's command buffer holds, not counting the CR.
inline constexpr std::size_t kCommandLineCapacity = 255;

struct LineEditCharacters {
  std::uint8_t cr = '\r';
  std::uint8_t lf = '\n';
  std::uint8_t backspace = '\b';
};

class LineAssembler {
 public:
  enum class Event : std::uint8_t {
    Stored,     // a character joined the line
    Erased,     // the backspace took back a character
    Dropped,    // the buffer is full: the character is lost, the line overflowed
    Ignored,    // line feed, control byte, byte above 0x7E, backspace on an empty line
    Completed,  // the CR ended the line: TakeLine() hands it over
    Repeat,     // "A/": the caller repeats the previous line
  };

  explicit LineAssembler(std::size_t capacity = kCommandLineCapacity) : capacity_(capacity) {}

  Event Feed(std::uint8_t byte, const LineEditCharacters& chars);

  // True for the events whose byte a product with echo on sends back.
  [[nodiscard]] static bool Echoed(Event event) { return event != Event::Ignored; }

  // After Completed: the line without its CR; the buffer starts afresh.
  [[nodiscard]] std::string TakeLine();
  // Whether the line handed over by the last TakeLine() lost characters.
  [[nodiscard]] bool Overflowed() const { return lastOverflowed_; }

 private:
  std::size_t capacity_;
  std::string buffer_;
  bool overflowed_ = false;
  bool lastOverflowed_ = false;
};

}  // namespace norix::sim
