#include "app/terminal_pictures.h"

#include <string>
#include <string_view>
#include <utility>

#include "shell/page_chrome.h"
#include "shell/page_messages.h"
#include "utilities/nationality_table.h"

namespace norix::app {

namespace {

std::string ArrowMeaning(int control) {
  switch (control) {
    case shell::kBackArrowId:
      return "< Back";
    case shell::kNextArrowId:
      return "> Next";
    case shell::kCancelArrowId:
      return "X Cancel";
    case shell::kOkArrowId:
      return "V OK";
    default:
      return {};
  }
}

// "Denmark (45)", as the country list shows it, without the dialling code.
std::string CountryName(std::string_view listText) {
  const std::size_t open = listText.rfind(" (");
  if (open != std::string_view::npos && listText.ends_with(')')) {
    listText = listText.substr(0, open);
  }
  return std::string(listText);
}

}  // namespace

platform::terminal::PictureText TerminalPictures(shell::TextModule texts) {
  return [texts = std::move(texts)](int picture) -> std::string {
    for (const shell::ArrowButton& arrow : shell::ArrowButtonTable) {
      if (picture == arrow.normalPicture || picture == arrow.pressedPicture) {
        return ArrowMeaning(arrow.control);
      }
    }
    for (const utilities::NationalityEntry& entry : utilities::kNationalityTable) {
      if (picture == entry.flagPicture) {
        return CountryName(texts.Text(entry.nameText));
      }
    }
    return {};
  };
}

}  // namespace norix::app
