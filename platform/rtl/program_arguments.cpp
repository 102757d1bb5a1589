#include "platform/rtl/program_arguments.h"

#include "platform/rtl/filebytes.h"

namespace {
std::vector<AnsiString>& Arguments() {
  static std::vector<AnsiString> arguments;
  return arguments;
}
}  // namespace

void vx::SetProgramArguments(int argc, const char* const* argv) {
  std::vector<AnsiString> arguments;
  for (int i = 0; i < argc && argv && argv[i]; ++i) arguments.push_back(AnsiFileName(argv[i]));
  SetProgramArguments(arguments);
}

void vx::SetProgramArguments(const std::vector<AnsiString>& arguments) { Arguments() = arguments; }

int ParamCount() { return Arguments().empty() ? 0 : static_cast<int>(Arguments().size()) - 1; }

AnsiString ParamStr(int index) {
  return index >= 0 && index < static_cast<int>(Arguments().size()) ? Arguments()[static_cast<std::size_t>(index)]
                                                                    : AnsiString();
}
