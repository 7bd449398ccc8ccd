#include "shell/startup.h"

#include <ostream>
#include <utility>

#include "link/telephony_devices.h"
#include "platform/window/desktop.h"
#include "platform/window/messages.h"
#include "platform/window/window_api.h"
#include "shell/frame.h"
#include "shell/language.h"
#include "shell/navigator.h"
#include "shell/page_chrome.h"
#include "shell/page_frame.h"
#include "shell/program_version.h"
#include "shell/single_instance.h"

namespace norix::shell {

namespace W = platform::window;

namespace {

void Report(const StartupSettings& settings, const std::string& line) {
  if (settings.diagnostics != nullptr) {
    *settings.diagnostics << "norix-config: " << line << '\n';
  }
}

// Restores the current page and brings it to the front; runs on the
// single-instance listener's thread, which the window calls allow.
void BringCurrentPageForward(const Frame& frame) {
  const W::HWND page = frame.navigator.CurrentWindow();
  if (W::IsWindow(page)) {
    W::ShowWindow(page, W::SW_SHOWNORMAL);
    W::SetForegroundWindow(page);
  }
}

}  // namespace

LanguageChoice ChooseLanguage(std::string_view commandLine,
                              const platform::profile::UserProfile& profile,
                              const std::filesystem::path& dataFolder) {
  LanguageChoice choice;
  choice.countryCode = ChooseCountryCode(commandLine, profile);
  TextModuleChoice module = LoadTextModule(choice.countryCode, dataFolder);
  choice.texts = std::move(module.module);
  choice.problems = std::move(module.problems);
  return choice;
}

int RunStartup(Frame& frame, W::Desktop& desktop, const StartupSettings& settings) {
  // Without a claim the run is unguarded, as a claim that could not be made.
  InstanceGuard unguarded = InstanceGuard::Claim({});
  InstanceGuard& instance = settings.instance != nullptr ? *settings.instance : unguarded;

  LanguageChoice language =
      ChooseLanguage(settings.commandLine, settings.profile, settings.dataFolder);
  for (const std::string& problem : language.problems) {
    Report(settings, problem);
  }

  if (instance.Result() == InstanceGuard::Outcome::kOtherRunning) {
    if (!instance.AskToComeForward()) {
      Report(settings, "the running instance did not answer");
    }
    return 0;
  }

  frame.desktop = &desktop;
  frame.profile = settings.profile;
  frame.registry = settings.registry;
  frame.countryCode = language.countryCode;
  frame.texts = std::move(language.texts);
  if (settings.registerPages) {
    settings.registerPages(frame.pages);
  }
  instance.Listen([&frame] { BringCurrentPageForward(frame); });

  BuildGraphics(frame.chrome, frame.texts);
  frame.versionText = ProgramVersionText();

  if (settings.lines != nullptr) {
    frame.context = link::OpenContext(*settings.lines);
  }
  if (!frame.context || frame.context->ProductCount() == 0) {
    ShowMessage(frame, W::kNullHwnd, kNoDriverText, kMessageCaptionText, W::MB_ICONEXCLAMATION);
    link::CloseContext(std::move(frame.context));
    instance.Stop();
    ReleaseGraphics(frame.chrome);
    return 0;
  }

  if (settings.beforeNavigator) {
    settings.beforeNavigator(frame);
  }
  RunNavigator(frame, [](link::ModemContext& context) { link::CloseDevicePort(context); });
  if (settings.afterNavigator) {
    settings.afterNavigator(frame);
  }
  instance.Stop();
  link::CloseContext(std::move(frame.context));
  ReleaseGraphics(frame.chrome);
  return 0;
}

}  // namespace norix::shell
