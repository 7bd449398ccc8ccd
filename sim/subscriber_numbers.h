// The numbers an ISDN adapter keeps in its own memory, apart from the
// settings profiles (AT&F and ATZ leave them alone): its subscriber number
// (MSN) slots, and on the KOMET II the attribute of each slot, the local
// numbers with theirs, and the local dial prefix.
//
// Commands (n a slot number; a value runs to the end of the line):
//   &Z*n?  &Z*n=digits  &Z*n=      read, write (1 to 20 digits), erase an MSN
//   &Z*Pn? &Z*Pn=v                 attribute: 128 the data side answers, 64
//                                  TEL#1 rings, 32 TEL#2 rings, bits 0-1 the
//                                  ringing type (0-2)
//   &Z#n?  &Z#n=digits  &Z#n=      local number (1 or 2 digits)
//   &Z#Pn? &Z#Pn=v                 its attribute: 64, 32 and the ringing type
//   &Z#L?  &Z#L=p  &Z#L=p,q        local prefix ("#" or "*"): one prefix for
//                                  two-digit local numbers, two for one digit
// The other symbol, which the program sets with "AT*S10=,c", is the terminal
// portability key of the provider services (provider_services.h).
// A query of a number answers the number and OK, or OK alone for an empty
// slot; a value out of range or malformed, or a slot the adapter does not
// have, answers ERROR and changes nothing.
//
// Example answers (echo off):
//   "AT&Z*0?"  -> "\r\n4711\r\n" "\r\nOK\r\n"
//   "AT&Z*2?"  -> "\r\nOK\r\n"
//   "AT&Z*P3?" -> "\r\n160\r\n" "\r\nOK\r\n"
//   "AT&Z#L?"  -> "\r\n#,*\r\n" "\r\nOK\r\n"
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "sim/command_set.h"

namespace norix::sim {

struct SubscriberNumberPlan {
  std::size_t msnSlots = 0;  // "&Z*0" up to "&Z*<msnSlots - 1>"
  bool msnQueries = true;    // firmware that reads its slots back
  bool msnAttributes = false;
  // The local numbers as the adapter leaves the factory, with their
  // attributes; none: no local numbers and no prefix.
  std::vector<std::string> localNumbers;
  std::vector<std::uint8_t> localAttributes;
  std::string localPrefix = "#";  // "#" or "*", or "p,q" for one-digit numbers
};

class SubscriberNumbers {
 public:
  explicit SubscriberNumbers(SubscriberNumberPlan plan);

  // Adds "&Z".
  void AddCommands(CommandSet& commands);

  // "&Z#L" from just after its name, for the provider services, which own
  // the command on an adapter that has them; none without local numbers.
  [[nodiscard]] CommandHandler LocalPrefixHandler();

  // What new firmware does: every subscriber number slot empty, with no
  // attribute bits; the local numbers stay.
  void EraseSubscriberNumbers();

 private:
  struct Slot {
    std::string number;
    std::uint8_t attribute = 0;
  };

  CommandOutcome Numbers(CommandCursor& args, CommandInterpreter& adapter);
  CommandOutcome Prefix(std::string_view value, CommandInterpreter& adapter);

  SubscriberNumberPlan plan_;
  std::vector<Slot> msns_;
  std::vector<Slot> locals_;
};

}  // namespace norix::sim
