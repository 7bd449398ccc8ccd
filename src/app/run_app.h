// norix-config as a whole: simulated products when asked for, the line
// devices, the dialog templates and pictures, the front end (Qt on a
// display, else the terminal), and the program's start-up on its own main
// thread.
#pragma once

#include <functional>
#include <iosfwd>

#include "app/app_options.h"

namespace norix::app {

struct Program;

// Runs the program with `options` (help and model listing included) and
// returns the process exit code: 0 after a normal run, 1 without a front end that can show the
// pages, 2 for an unusable command line or simulated product. Messages for the user who started it
// go to `out` and `err`. `beforeNavigator` (tests) is called on the program's main thread once the
// first page is about to start, `afterNavigator` (tests) there once the last page has closed, with
// the program still whole. Call on the process main thread; blocks for the
// whole run.
int RunNorixConfig(const char* programName, const AppOptions& options, std::ostream& out,
                   std::ostream& err, const std::function<void(Program&)>& beforeNavigator = {},
                   const std::function<void(Program&)>& afterNavigator = {});

}  // namespace norix::app
