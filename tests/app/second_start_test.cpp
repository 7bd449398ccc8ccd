// A second norix-config while one runs: it finds the first before it starts
// anything of its own, brings it forward and ends.
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include <gtest/gtest.h>

#include "app/run_app.h"
#include "shell/single_instance.h"
#include "support/temp_dir.h"

namespace norix::app {
namespace {

// With a display and without one: the second start never gets as far as
// looking, nor as serving its simulated product or seeding the registry file.
TEST(SecondStartTest, BringsTheFirstForwardAndTouchesNothing) {
  for (const bool display : {true, false}) {
    SCOPED_TRACE(display ? "offscreen display" : "no display");
    const testing::TempDir runtime;
    const testing::TempDir config;
    // NOLINTBEGIN(concurrency-mt-unsafe): no other thread reads the environment now
    ::setenv("XDG_RUNTIME_DIR", runtime.Path().c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", config.Path().c_str(), 1);
    ::unsetenv("DISPLAY");
    ::unsetenv("WAYLAND_DISPLAY");
    if (display) {
      ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    } else {
      ::unsetenv("QT_QPA_PLATFORM");
    }
    // NOLINTEND(concurrency-mt-unsafe)

    shell::InstanceGuard first = shell::InstanceGuard::Claim(shell::InstanceSocketPathOfProcess());
    ASSERT_EQ(first.Result(), shell::InstanceGuard::Outcome::kFirst) << first.Problem();
    std::atomic<int> broughtForward{0};
    ASSERT_TRUE(first.Listen([&] { ++broughtForward; }));

    AppOptions options;
    options.simulate = {"netrunner56k"};
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(RunNorixConfig("norix-config", options, out, err), 0) << err.str();
    EXPECT_EQ(broughtForward.load(), 1);
    EXPECT_EQ(out.str(), "") << "no simulated product was served";
    EXPECT_EQ(err.str(), "");
    EXPECT_FALSE(std::filesystem::exists(config.Path() / "norix")) << "the registry file stays";
  }
}

}  // namespace
}  // namespace norix::app
