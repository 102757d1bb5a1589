// Vexamund: keeps a number lottery's draw history and analyses it.
#include "app/main/startup.h"

int main() { return vx::RunVexamund(); }
