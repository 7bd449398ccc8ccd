// A run of the wizard on the headless host with one simulated product on an
// in-memory line: the product is identified by the program's own functions
// (as selecting it does once its port is open), every page of the program
// is registered, and the main menu row is a launcher that opens the page
// under test once.
#pragma once

#include <atomic>
#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <unistd.h>

#include "app/program.h"
#include "app/register_pages.h"
#include "link/at_exchange.h"
#include "link/port_io.h"
#include "platform/comm/memory_line.h"
#include "platform/registry/driver_key.h"
#include "platform/registry/registry.h"
#include "platform/window/desktop.h"
#include "platform/window/headless_host.h"
#include "platform/window/message_loop.h"
#include "platform/window/template_registry.h"
#include "platform/window/window_api.h"
#include "products/identify_product.h"
#include "products/parse_identification.h"
#include "products/select_product.h"
#include "resources/dialogs/dialog_templates.h"
#include "resources/resource_ids.h"
#include "shell/navigator.h"
#include "shell/page_frame.h"
#include "sim/model_registry.h"
#include "sim/simulated_product.h"
#include "utilities/nationality_page.h"
#include "utilities/product_info_page.h"

namespace norix::utilities::testing {

using namespace std::chrono_literals;
namespace W = platform::window;

inline constexpr auto kWait = 15s;

class UtilitiesSession : public ::testing::Test {
 protected:
  UtilitiesSession() {
    resources::dialogs::RegisterDialogTemplates(templates_);
    std::string pattern = (std::filesystem::temp_directory_path() / "norix-pages-XXXXXX").string();
    dir_ = mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
    registry_ = std::make_unique<platform::registry::Registry>(dir_ + "/registry.reg");
    program_.frame.desktop = &desktop_;
    program_.frame.registry = registry_.get();
    program_.frame.profile = platform::profile::UserProfile({44, "dd/MM/yyyy", "d MMMM yyyy"});
    app::RegisterPages(program_);
    program_.frame.pages.Register(
        resources::kMainMenuPage,
        [this](W::HWND page, W::UINT message, W::WPARAM wParam, W::LPARAM lParam) {
          return Launcher(page, message, wParam, lParam);
        });
  }
  UtilitiesSession(const UtilitiesSession&) = delete;
  UtilitiesSession& operator=(const UtilitiesSession&) = delete;
  UtilitiesSession(UtilitiesSession&&) = delete;
  UtilitiesSession& operator=(UtilitiesSession&&) = delete;

 public:
  ~UtilitiesSession() override {
    if (main_.joinable()) {
      Quit();
    }
    product_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }

 protected:
  // Serves the model on an in-memory line and identifies it: the port is
  // set up as a device port is opened, then asked who it is.
  void Attach(std::unique_ptr<sim::Model> model, sim::ProductOptions options = {}) {
    auto line = platform::comm::MakeMemoryLine("utilities");
    product_ = std::make_unique<sim::SimulatedProduct>("product", std::move(model),
                                                       std::move(line.device), options);
    product_->Start();
    auto context = std::make_unique<link::ModemContext>();
    context->port = std::move(line.host);
    context->driverKey = platform::registry::ModemDriverKey(1);
    link::ConfigurePort(context->Port(), 57600);
    static_cast<void>(link::SetReadTimeout(context->Port(), 2000));
    context->gciSupport = link::QueryGciSupport(context->Port()) == 1;
    program_.product.ident.SetText(products::IdentifyProduct(context->Port()));
    products::ParseIdentification(program_.product.ident.text, *context);
    // The line device is named after the product, as an installation would.
    context->devices.push_back({context->productName, 0});
    products::ReadSelectedProductFeatures(*context, program_.product.features);
    program_.frame.context = std::move(context);
  }
  void Attach(std::string_view modelName, sim::ProductOptions options = {}) {
    const sim::ModelEntry* entry = sim::FindModel(modelName);
    ASSERT_NE(entry, nullptr) << modelName;
    Attach(entry->make(), options);
  }

  // Starts the navigator; the launcher opens `page` once.
  void Run(int page) {
    target_ = page;
    shell::BuildGraphics(program_.frame.chrome, program_.frame.texts);
    main_ =
        std::thread([this] { shell::RunNavigator(program_.frame, [](link::ModemContext&) {}); });
  }

  // Presses Esc on the page and waits for the navigator to end.
  void Quit() {
    W::HWND page = program_.frame.navigator.CurrentWindow();
    if (page == W::kNullHwnd || !host_.PressEscape(page)) {
      W::PostThreadMessage(program_.frame.navigator.MainThread(), shell::kPageRequest, 0,
                           resources::kQuitPage);
    }
    main_.join();
  }

  W::HWND WaitPage(int templateId) { return host_.WaitForDialog(templateId, kWait); }

  [[nodiscard]] std::string Text(int id) const { return program_.frame.texts.LoadText(id, 512); }

  // The lines the product understood after the first `from` of them.
  [[nodiscard]] std::vector<std::string> CommandsFrom(std::size_t from) const {
    const std::vector<std::string> all = product_->Commands();
    return {all.begin() + static_cast<std::ptrdiff_t>(std::min(from, all.size())), all.end()};
  }
  [[nodiscard]] std::size_t CommandCount() const { return product_->Commands().size(); }

  // Answers the next message box with OK and returns its text.
  std::string AnswerBox() {
    const auto box = host_.AnswerMessageBox(W::IDOK, kWait);
    EXPECT_TRUE(box.has_value());
    if (!box) {
      return {};
    }
    EXPECT_EQ(box->caption, Text(shell::kMessageCaptionText));
    EXPECT_EQ(box->style, W::MB_ICONEXCLAMATION | W::MB_TASKMODAL);
    return box->text;
  }

  void SeedDriver(const std::string& infPath, const std::string& date) {
    platform::registry::DriverInfo info{infPath, date, {}};
    ASSERT_EQ(
        platform::registry::SeedDriverKey(*registry_, platform::registry::ModemDriverKey(1), info),
        platform::registry::ERROR_SUCCESS);
  }

  W::TemplateRegistry templates_;
  W::HeadlessHost host_;
  W::Desktop desktop_{host_, templates_};
  std::string dir_;
  std::unique_ptr<platform::registry::Registry> registry_;
  app::Program program_;
  std::unique_ptr<sim::SimulatedProduct> product_;
  std::atomic<int> launches_{0};

 private:
  W::LRESULT Launcher(W::HWND page, W::UINT message, W::WPARAM wParam, W::LPARAM lParam) {
    if (const W::LRESULT handled = shell::HandleCommonPageMessage(page, message, wParam, lParam)) {
      return handled;
    }
    switch (message) {
      case W::WM_INITDIALOG:
        shell::InitPage(page, {}, {});
        W::PostMessage(page, shell::kPageReady, 0, 0);
        return 1;
      case shell::kPageReady:
        if (launches_++ == 0) {
          shell::GoToPage(page, target_);
        }
        return 1;
      case W::WM_COMMAND:
        if (W::LOWORD(wParam) == W::IDCANCEL) {
          shell::GoToPage(page, resources::kQuitPage);
          return 1;
        }
        return 0;
      default:
        return 0;
    }
  }

  int target_ = resources::kMainMenuPage;
  std::thread main_;
};

}  // namespace norix::utilities::testing
