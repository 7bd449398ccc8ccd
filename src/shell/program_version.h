// The program's version text, as the build names it ("0.1.0").
#pragma once

#include <string>

namespace norix::shell {

// The version of the program that was built; "" when the build gave none.
[[nodiscard]] std::string ProgramVersionText();

}  // namespace norix::shell
