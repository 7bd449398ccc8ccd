// How the terminal front end shows the program's pictures: an arrow button's
// image as its symbol and meaning ("< Back"), a flag as its country's name
// in the language of the run ("Danmark"), the page picture as nothing.
#pragma once

#include "platform/terminal/dialog_view.h"
#include "shell/text_module.h"

namespace norix::app {

[[nodiscard]] platform::terminal::PictureText TerminalPictures(shell::TextModule texts);

}  // namespace norix::app
