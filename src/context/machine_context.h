// The program-wide sets of variables, gathered in one object that a front end owns: the
// window has one, each runner invocation has one, each test has its own.
#pragma once

#include "context/gerber_state.h"
#include "context/machine_state.h"

namespace zor {

struct MachineContext {
  MachineState machine;
  WorkingModes modes;
  GerberState gerber;
  ApertureTable apertures;
};

}  // namespace zor
