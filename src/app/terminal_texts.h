// The terminal front end's texts in the language of the run: an arrow
// button's image as its symbol and meaning ("< Back"), a flag as its
// country's name ("Danmark"), the page picture as nothing; and the front
// end's own words (message box buttons, icon meanings, file dialog labels,
// key hints).
#pragma once

#include "platform/terminal/dialog_view.h"
#include "platform/terminal/terminal_words.h"
#include "shell/text_module.h"

namespace norix::app {

// The program's own texts of the terminal front end.
inline constexpr int kTerminalBackText = 2520;  // "Back": the '<' arrow's meaning
inline constexpr int kTerminalNextText = 2521;  // "Next": the '>' arrow's meaning
inline constexpr int kTerminalAbortText = 2522;
inline constexpr int kTerminalRetryText = 2523;
inline constexpr int kTerminalIgnoreText = 2524;
inline constexpr int kTerminalYesText = 2525;
inline constexpr int kTerminalNoText = 2526;
inline constexpr int kTerminalErrorText = 2527;
inline constexpr int kTerminalQuestionText = 2528;
inline constexpr int kTerminalWarningText = 2529;
inline constexpr int kTerminalInformationText = 2530;
inline constexpr int kTerminalOpenText = 2531;
inline constexpr int kTerminalFileText = 2532;
inline constexpr int kTerminalNothingHereText = 2533;
inline constexpr int kTerminalNoSuchFileText = 2534;
inline constexpr int kTerminalTooSmallText = 2535;
inline constexpr int kTerminalNextFieldText = 2536;
inline constexpr int kTerminalChooseText = 2537;
inline constexpr int kTerminalOpenListText = 2538;
inline constexpr int kTerminalCompleteText = 2539;
// Texts the pages share: the pickers' buttons and the wait text.
inline constexpr int kCancelText = 2008;
inline constexpr int kOkText = 2093;
inline constexpr int kPleaseWaitText = 2102;

[[nodiscard]] platform::terminal::PictureText TerminalPictures(shell::TextModule texts);
[[nodiscard]] platform::terminal::TerminalWords TerminalWordsOf(const shell::TextModule& texts);

}  // namespace norix::app
