#include "app/terminal_texts.h"

#include <string>
#include <string_view>
#include <utility>

#include "device/nationality_table.h"
#include "resources/resource_ids.h"

namespace norix::app {

namespace {

// "Denmark (45)", as the country list shows it, without the dialling code.
std::string CountryName(std::string_view listText) {
  const std::size_t open = listText.rfind(" (");
  if (open != std::string_view::npos && listText.ends_with(')')) {
    listText = listText.substr(0, open);
  }
  return std::string(listText);
}

// Text `id` of the run's language; `fallback` where its catalogue has none.
std::string Word(const shell::TextModule& texts, int id, std::string_view fallback) {
  const std::string_view text = texts.Text(id);
  return std::string(text.empty() ? fallback : text);
}

}  // namespace

platform::terminal::PictureText TerminalPictures(shell::TextModule texts) {
  return [texts = std::move(texts)](int picture) -> std::string {
    for (const resources::ArrowButtonIds& arrow : resources::kArrowButtons) {
      if (picture != arrow.picture && picture != arrow.pressedPicture) {
        continue;
      }
      switch (arrow.control) {
        case resources::kBackArrowId:
          return "< " + Word(texts, kTerminalBackText, "Back");
        case resources::kNextArrowId:
          return "> " + Word(texts, kTerminalNextText, "Next");
        case resources::kCancelArrowId:
          return "X " + Word(texts, kCancelText, "Cancel");
        case resources::kOkArrowId:
          return "V " + Word(texts, kOkText, "OK");
        default:
          return {};
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

platform::terminal::TerminalWords TerminalWordsOf(const shell::TextModule& texts) {
  platform::terminal::TerminalWords words;
  const auto take = [&texts](std::string& word, int id) { word = Word(texts, id, word); };
  take(words.ok, kOkText);
  take(words.cancel, kCancelText);
  take(words.abort, kTerminalAbortText);
  take(words.retry, kTerminalRetryText);
  take(words.ignore, kTerminalIgnoreText);
  take(words.yes, kTerminalYesText);
  take(words.no, kTerminalNoText);
  take(words.error, kTerminalErrorText);
  take(words.question, kTerminalQuestionText);
  take(words.warning, kTerminalWarningText);
  take(words.information, kTerminalInformationText);
  take(words.open, kTerminalOpenText);
  take(words.file, kTerminalFileText);
  take(words.nothingHere, kTerminalNothingHereText);
  take(words.noSuchFile, kTerminalNoSuchFileText);
  take(words.tooSmall, kTerminalTooSmallText);
  take(words.pleaseWait, kPleaseWaitText);
  take(words.nextField, kTerminalNextFieldText);
  take(words.choose, kTerminalChooseText);
  take(words.openList, kTerminalOpenListText);
  take(words.complete, kTerminalCompleteText);
  return words;
}

}  // namespace norix::app
