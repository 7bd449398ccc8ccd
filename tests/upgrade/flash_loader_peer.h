// A modem for the transfer tests, written from the loader dialogue alone: a
// thread on the far end of an in-memory line that answers AT commands (echo
// on), goes into its flash loader on "AT**", takes the loader, asks for the
// firmware raw or by X-modem, reports the outcome and restarts into the new
// firmware. The script says what it answers and which fault it shows; the
// record says exactly which bytes arrived in each phase.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/comm/device_end.h"

namespace norix::upgrade::testing {

struct LoaderScript {
  std::string ident = "NORIX corvid 560 Voice V1.40";
  std::string identAfter = "NORIX corvid 560 Voice V1.50";  // once programmed
  std::string checksumAfter = "3A7F";                       // "ATI1" once programmed
  std::string at3 = "05";                                   // "AT\3" value; empty: a bare OK
  std::vector<std::string> countries{"006"};  // "ATI5" answers in turn; the last repeats
  bool refuseCountry = false;                 // "ATI5*NC...": ERROR
  std::string ati7 = "No internal interface";
  bool relay = false;  // the modem component behind an adapter's "AT!M" relay

  int silentLoaderRequests = 0;  // "AT**" unanswered this many times
  std::vector<std::string> loaderAnswers{"Download initiated"};  // per "AT**", the last repeats
  std::size_t loaderBytes = 0;                                   // the flash loader's length
  std::string afterLoader = "....\r\n";  // dots and line ends before the loader's lines
  std::vector<std::string> loaderLines{"Download flash code"};
  bool xmodem = false;  // "Upload flash code ..": take the firmware by X-modem

  std::size_t firmwareBytes = 0;     // raw firmware length (the last chunk brings 8 more)
  std::string ack = "*";             // after each chunk but the last
  std::size_t letterAfterChunk = 0;  // send "Wrong device\r\n" instead of this chunk's ack
  std::size_t silentAfterChunk = 0;  // shut the line instead of this chunk's ack
  // The final line of each transfer in turn; the last repeats. Empty: the
  // line is shut instead.
  std::vector<std::string> finalLines{"Device successfully programmed"};
  // Bytes that follow each final line a moment later (after the host has
  // read the line), in turn; empty: none.
  std::vector<std::string> finalLater{""};
};

struct LoaderRecord {
  std::vector<std::string> commands;   // command lines, without CR
  std::vector<std::uint8_t> loader;    // the last flash loader received
  std::vector<std::uint8_t> firmware;  // the last firmware received (raw or X-modem)
  std::size_t chunksAcked = 0;
  bool programmed = false;
};

class FlashLoaderPeer {
 public:
  FlashLoaderPeer(platform::comm::DeviceEnd& device, LoaderScript script);
  FlashLoaderPeer(const FlashLoaderPeer&) = delete;
  FlashLoaderPeer& operator=(const FlashLoaderPeer&) = delete;
  FlashLoaderPeer(FlashLoaderPeer&&) = delete;
  FlashLoaderPeer& operator=(FlashLoaderPeer&&) = delete;
  ~FlashLoaderPeer();

  [[nodiscard]] LoaderRecord Record() const;

 private:
  void Run();
  bool Command(const std::string& line);
  bool TakeLoader();
  bool TakeRawFirmware();
  bool TakeXmodemFirmware();
  void Final();
  bool ReceiveExactly(std::size_t count, std::vector<std::uint8_t>& into);
  void Send(const std::string& bytes);
  std::string Framed(const std::string& command, const std::string& answer) const;

  platform::comm::DeviceEnd& device_;
  LoaderScript script_;
  std::atomic<bool> quit_{false};
  mutable std::mutex mutex_;
  LoaderRecord record_;
  std::size_t country_ = 0;
  std::size_t loaderRequest_ = 0;
  std::size_t transfer_ = 0;
  std::thread thread_;
};

}  // namespace norix::upgrade::testing
