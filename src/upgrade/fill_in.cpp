#include "upgrade/fill_in.h"

namespace norix::upgrade {

std::string FillIn(std::string_view format, std::string_view value) {
  std::string text;
  bool filled = false;
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] == '%' && i + 1 < format.size()) {
      if (format[i + 1] == '%') {
        text.push_back('%');
        ++i;
        continue;
      }
      if (format[i + 1] == 's' && !filled) {
        text.append(value);
        filled = true;
        ++i;
        continue;
      }
    }
    text.push_back(format[i]);
  }
  return text;
}

}  // namespace norix::upgrade
