#include "app/terminal_pictures.h"

#include <string>
#include <string_view>
#include <utility>

#include "resources/resource_ids.h"
#include "device/nationality_table.h"

namespace norix::app {

namespace {

std::string ArrowMeaning(int control) {
  switch (control) {
    case resources::kBackArrowId:
      return "< Back";
    case resources::kNextArrowId:
      return "> Next";
    case resources::kCancelArrowId:
      return "X Cancel";
    case resources::kOkArrowId:
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
    for (const resources::ArrowButtonIds& arrow : resources::kArrowButtons) {
      if (picture == arrow.picture || picture == arrow.pressedPicture) {
        return ArrowMeaning(arrow.control);
      }
    }
    for (const device::NationalityEntry& entry : device::kNationalityTable) {
      if (picture == entry.flagPicture) {
        return CountryName(texts.Text(entry.nameText));
      }
    }
    return {};
  };
}

}  // namespace norix::app
