#include "app/run_app.h"

#include <array>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>

#include "app/program.h"
#include "app/register_pages.h"
#include "app/simulated_lines.h"
#include "link/telephony_devices.h"
#include "platform/cli/options.h"
#include "platform/comm/port_trace.h"
#include "platform/profile/user_profile.h"
#include "platform/registry/registry.h"
#include "platform/registry/store_file.h"
#include "platform/registry/tty_driver.h"
#include "platform/telephony/line_directory.h"
#include "platform/window/template_registry.h"
#include "resources/dialogs/dialog_templates.h"
#include "resources/strings/data_folder.h"
#include "shell/language.h"
#include "shell/single_instance.h"
#include "shell/startup.h"
#include "sim/model_registry.h"
#include "utilities/product_info_driver.h"

#ifdef NORIX_QT_FRONT_END
#include "platform/qt/qt_front_end.h"
#include "resources/pictures/pictures.h"
#include "resources/resource_ids.h"
#endif
#ifdef NORIX_TERMINAL_FRONT_END
#include "app/terminal_texts.h"
#include "platform/terminal/terminal_front_end.h"
#endif

namespace norix::app {

namespace tapi = platform::telephony;

namespace {

// The registry store below the user's configuration folder, and the word its
// messages on stderr begin with.
constexpr std::string_view kRegistryStoreFile = "norix/registry.reg";
constexpr const char* kRegistryMessagePrefix = "norix";

// Read before any thread of the program starts.
const char* Environment(const char* name) {
  return std::getenv(name);  // NOLINT(concurrency-mt-unsafe)
}

}  // namespace

int RunNorixConfig(const char* programName, const AppOptions& options, std::ostream& out,
                   std::ostream& err, const std::function<void(Program&)>& beforeNavigator,
                   const std::function<void(Program&)>& afterNavigator) {
  if (!options.error.empty()) {
    err << "norix-config: " << options.error << '\n' << AppUsage();
    return 2;
  }
  if (options.help) {
    const std::filesystem::path data = resources::strings::FindDataFolder();
    out << AppUsage() << "Language catalogues are read from "
        << (data.empty() ? std::string("nowhere (the program's own English texts)") : data.string())
        << ".\n";
    return 0;
  }
  if (options.version) {
    out << platform::cli::VersionText("norix-config") << '\n';
    return 0;
  }
  if (options.listModels) {
    for (const auto& entry : sim::Models()) {
      out << entry.name << "  " << entry.description << '\n';
    }
    return 0;
  }
  // A second start only brings the running program forward: it looks for it
  // before anything else (a simulated product, the registry file, the
  // display) is touched.
  shell::InstanceGuard instance = shell::InstanceGuard::Claim(
      options.singleInstance ? shell::InstanceSocketPathOfProcess() : std::filesystem::path());
  if (instance.Result() == shell::InstanceGuard::Outcome::kOtherRunning) {
    if (!instance.AskToComeForward()) {
      err << "norix-config: the running instance did not answer\n";
    }
    return 0;
  }
  if (options.singleInstance && instance.Result() == shell::InstanceGuard::Outcome::kUnguarded) {
    err << "norix-config: no single-instance check: " << instance.Problem() << '\n';
  }

#ifdef NORIX_QT_FRONT_END
  constexpr bool kQtBuilt = true;
#else
  constexpr bool kQtBuilt = false;
#endif
#ifdef NORIX_TERMINAL_FRONT_END
  constexpr bool kTerminalBuilt = true;
#else
  constexpr bool kTerminalBuilt = false;
#endif
  const std::optional<FrontEnd> frontEnd =
      ChooseFrontEnd(options.terminal,
                     DisplayAvailable(Environment("DISPLAY"), Environment("WAYLAND_DISPLAY"),
                                      Environment("QT_QPA_PLATFORM")),
                     kQtBuilt, kTerminalBuilt);
  if (!frontEnd) {
    err << (options.terminal ? "norix-config: this build has no terminal front end\n"
                             : NoDisplayMessage());
    return 1;
  }
  if (!options.commandLine.empty() &&
      !shell::CountryCodeFromCommandLine(options.commandLine).has_value()) {
    err << "norix-config: \"" << options.commandLine
        << "\" is no language token (dk, n, s, d, f, uk); the regional settings decide\n";
  }

  // Declared before the line directory and the front end, so the products
  // still answer while the program closes their ports.
  SimulatedLines simulated;
  tapi::LineDirectory lines(link::ProductLineSources(), err);
  if (!options.trace.empty()) {
    std::string problem;
    auto trace = platform::comm::PortTrace::Create(
        options.trace, platform::cli::VersionText("norix-config"), problem);
    if (!trace) {
      err << "norix-config: " << problem << '\n';
      return 2;
    }
    lines.SetPortTrace(std::move(trace));
    out << "norix-config: writing the transcript of the product traffic to " << options.trace
        << '\n';
  }
  for (const std::string& model : options.simulate) {
    if (const std::string problem = simulated.Serve(model, lines); !problem.empty()) {
      err << "norix-config: " << problem << '\n';
      return 2;
    }
    out << "norix-config: simulated " << model << " on " << simulated.Ports().back() << '\n';
  }
  out.flush();

  // The driver keys of the devices hold what a driver installation would
  // have left there: the kernel driver of a real tty, the simulator's
  // driver for a simulated product. Values already stored stay.
  platform::registry::Registry registry(platform::registry::DefaultStorePath(kRegistryStoreFile),
                                        kRegistryMessagePrefix);
  for (const std::string& device : utilities::SeedDriverKeys(
           registry, lines.Collect(), platform::registry::KernelPaths::Running())) {
    err << "norix-config: no driver information stored for " << device << '\n';
  }

  platform::window::TemplateRegistry templates;
  resources::dialogs::RegisterDialogTemplates(templates);

  shell::StartupSettings settings;
  settings.commandLine = options.commandLine;
  settings.profile = platform::profile::UserProfile::FromEnvironment();
  settings.registry = &registry;
  settings.dataFolder = resources::strings::FindDataFolder();
  settings.instance = &instance;
  settings.lines = &lines;
  // The program's records: declared before the front end runs the pages,
  // so they outlive every page thread.
  Program program;
  settings.registerPages = [&program](shell::PageTable& /*pages*/) { RegisterPages(program); };
  if (beforeNavigator) {
    settings.beforeNavigator = [&program, &beforeNavigator](shell::Frame&) {
      beforeNavigator(program);
    };
  }
  if (afterNavigator) {
    settings.afterNavigator = [&program, &afterNavigator](shell::Frame&) {
      afterNavigator(program);
    };
  }
  settings.diagnostics = &err;

  const auto systemMain = [&settings, &program](platform::window::Desktop& desktop) {
    return shell::RunStartup(program.frame, desktop, settings);
  };
  // The pictures' texts (terminal) and Qt's own texts follow the language
  // the program's texts come out in.
  const shell::LanguageChoice language =
      shell::ChooseLanguage(settings.commandLine, settings.profile, settings.dataFolder);
#ifdef NORIX_TERMINAL_FRONT_END
  if (*frontEnd == FrontEnd::kTerminal) {
    return platform::terminal::RunTerminalFrontEnd(templates, TerminalPictures(language.texts),
                                                   TerminalWordsOf(language.texts), systemMain,
                                                   err);
  }
#endif
#ifdef NORIX_QT_FRONT_END
  const int textCountryCode =
      language.texts.IsProgramOwn() ? platform::profile::kDefaultCountryCode : language.countryCode;
  // Qt gets the program name only: the arguments are the program's own.
  int qtArgc = 1;
  std::string name = programName != nullptr ? programName : "norix-config";
  std::array<char*, 2> qtArgv{name.data(), nullptr};
  const auto pictures = [](int id, QSize size) {
    return resources::pictures::RenderPicture(id, size);
  };
  return platform::qt::RunQtFrontEnd(qtArgc, qtArgv.data(), textCountryCode, templates, pictures,
                                     resources::kProgramIconPicture, systemMain);
#else
  static_cast<void>(programName);
  return 1;
#endif
}

}  // namespace norix::app
