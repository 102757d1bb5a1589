// Vexamund: keeps a number lottery's draw history and analyses it.
#include "app/main/startup.h"
#include "platform/rtl/program_arguments.h"

int main(int argc, char** argv) {
  vx::SetProgramArguments(argc, argv);
  return vx::RunVexamund();
}
