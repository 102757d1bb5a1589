// The program's command line as the class library gave it: ParamStr(0) is
// the program's path, ParamStr(1) .. ParamStr(ParamCount()) the arguments
// in the program's text (CP1251 where the UTF-8 name fits it, see
// AnsiFileName); an index outside gives "". main() hands the arguments
// over once; tests may set their own.
#pragma once

#include <vector>

#include "platform/rtl/cp1251.h"

namespace vx {
void SetProgramArguments(int argc, const char* const* argv);
void SetProgramArguments(const std::vector<AnsiString>& arguments);
}  // namespace vx

int ParamCount();
AnsiString ParamStr(int index);
