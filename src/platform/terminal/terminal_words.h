// The terminal front end's own words: what it draws beside the pages' texts
// (message box buttons and icon meanings, the file dialog's labels, the key
// hints of the status line). English unless the program gives them in the
// language of its run.
#pragma once

#include <string>

namespace norix::platform::terminal {

struct TerminalWords {
  // Message box buttons.
  std::string ok = "OK";
  std::string cancel = "Cancel";
  std::string abort = "Abort";
  std::string retry = "Retry";
  std::string ignore = "Ignore";
  std::string yes = "Yes";
  std::string no = "No";
  // Message box icons, shown as "(!) Warning".
  std::string error = "Error";
  std::string question = "Question";
  std::string warning = "Warning";
  std::string information = "Information";
  // The file dialog: its title when the request has none, the entry's
  // label, an empty folder, a missing file (%s: the file's name).
  std::string open = "Open";
  std::string file = "File:";
  std::string nothingHere = "(no folder or matching file here)";
  std::string noSuchFile = "There is no file %s in that folder.";
  // The screen.
  std::string tooSmall = "The terminal is too small.";
  std::string pleaseWait = "Please wait...";
  // What keys do, for the status line: "Tab: next  Enter: OK  Esc: Cancel".
  std::string nextField = "next";
  std::string choose = "choose";
  std::string openList = "open the list";
  std::string complete = "complete";
};

}  // namespace norix::platform::terminal
