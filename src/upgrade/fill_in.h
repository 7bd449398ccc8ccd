// Filling a value into a text of the catalogue that has one "%s" place.
#pragma once

#include <string>
#include <string_view>

namespace norix::upgrade {

// `format` with `value` in its first "%s" and "%%" as "%"; any other "%"
// sequence, and a second "%s", stay as they are, so that a text from a
// catalogue can never make the program read a value it was not given.
[[nodiscard]] std::string FillIn(std::string_view format, std::string_view value);

}  // namespace norix::upgrade
