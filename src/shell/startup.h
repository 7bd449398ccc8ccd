// The program's start-up: one instance per user, the language of the user
// texts and their text module, the page graphics, the version text, the
// telephony context with the maker's devices, and then the page navigator;
// on the way out everything is released in reverse order.
#pragma once

#include <filesystem>
#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "platform/profile/user_profile.h"
#include "platform/registry/registry.h"
#include "shell/text_module.h"

namespace norix::platform::telephony {
class LineDirectory;
}
namespace norix::platform::window {
class Desktop;
}

namespace norix::shell {

class InstanceGuard;
class PageTable;
struct Frame;

// The language of a run: the country code and the text module it chose.
struct LanguageChoice {
  int countryCode = platform::profile::kDefaultCountryCode;
  TextModule texts;
  // Problems of the language catalogue, for a translator; the user is never
  // told of them.
  std::vector<std::string> problems;
};

// The command line's language token (the whole line, without regard to
// case), else the profile's country code (44 when it has none); then the
// catalogue of that country from `dataFolder` when it holds string 2249,
// else the program's own texts. Reads at most one file.
[[nodiscard]] LanguageChoice ChooseLanguage(std::string_view commandLine,
                                            const platform::profile::UserProfile& profile,
                                            const std::filesystem::path& dataFolder);

struct StartupSettings {
  // The program's command line: its one optional language token.
  std::string commandLine;
  platform::profile::UserProfile profile;
  // Where the modem drivers' keys are (the product information page reads
  // its driver values there); none: no driver information. Must outlive
  // the run.
  platform::registry::Registry* registry = nullptr;
  // Where the language catalogues are; empty: the program's own texts.
  std::filesystem::path dataFolder;
  // The single-instance claim, made by the caller before anything else of
  // the run was started (InstanceGuard::Claim); none: no check (tests,
  // several programs). Must outlive the run.
  InstanceGuard* instance = nullptr;
  // The line devices the telephony context lists; none: no device at all.
  const platform::telephony::LineDirectory* lines = nullptr;
  // Registers the page procedures into the page table before any page runs.
  std::function<void(PageTable&)> registerPages;
  // Called on the frame once the context is open, just before the
  // navigator runs (front ends and tests look at the program there).
  std::function<void(Frame&)> beforeNavigator;
  // Called on the frame once the navigator has returned (the last page is
  // closed), while the frame and its context still exist: whoever looked
  // at the program from another thread stops doing so here.
  std::function<void(Frame&)> afterNavigator;
  // Where problems go that only a developer or translator can act on (a
  // language catalogue's, the single-instance socket's); none: nowhere.
  std::ostream* diagnostics = nullptr;
};

// Runs the program on the calling thread, which becomes its main thread
// (its message loop runs the navigator and the telephony callbacks), with
// pages on `desktop` and `frame` (the caller's, fresh, declared before
// anything that the pages use, so that it outlives the page threads and
// the single-instance listener) as what the pages share. In order:
//  1. (the caller claimed the single-instance socket)
//  2.-4. chooses the country code and the text module (ChooseLanguage);
//  5. when the claim found another instance, asks it to bring its page to
//     the front and returns 0 without starting anything else (callers that
//     start more than this, such as norix-config, ask before that);
//  6. builds the page graphics;
//  7. reads the program's version text;
//  8. opens the telephony context; without a device of the maker it shows
//     message 2086 (caption 2092, exclamation icon, no owner), closes the
//     context, releases the graphics and returns 0;
//  9. runs the navigator until a page quits, closes the context and
//     releases the graphics.
// Blocks for the whole run. Returns 0 in every case.
int RunStartup(Frame& frame, platform::window::Desktop& desktop, const StartupSettings& settings);

}  // namespace norix::shell
