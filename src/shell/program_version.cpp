#include "shell/program_version.h"

namespace norix::shell {

std::string ProgramVersionText() {
#ifdef NORIX_PROGRAM_VERSION
  return NORIX_PROGRAM_VERSION;
#else
  return {};
#endif
}

}  // namespace norix::shell
