// A motion test rig: the real step output on a virtual clock, writing into a recording port.
#pragma once

#include <cstdint>
#include <vector>

#include "common/clock.h"
#include "common/raster_canvas.h"
#include "context/machine_context.h"
#include "motion/motion.h"
#include "port/step_port.h"
#include "port/virtual_machine.h"
#include "scripted_services.h"
#include "session/session.h"

namespace zor::testing {

// Records every byte and feeds it to a virtual machine, whose motors are the oracle.
class RecordingStepPort : public StepPort {
 public:
  void write_data(uint8_t value) override {
    bytes.push_back(value);
    times.push_back(clock ? clock->now() : 0);
    machine.write(value);
  }
  std::vector<uint8_t> bytes;
  std::vector<int64_t> times;
  VirtualMachine machine;
  Clock* clock = nullptr;
};

struct MotionRig {
  MotionRig() {
    for (int axis = kAxisX; axis <= kAxisZ; ++axis) {
      ctx.machine.mm_per_step[axis] = 0.0025;
      ctx.machine.travel_limit[axis] = 100;
    }
    port.clock = &clock;
  }
  // Net half-steps of a motor as the virtual machine decoded them.
  int64_t motor(int axis) const { return port.machine.motor_count(axis); }

  MachineContext ctx;
  RecordingStepPort port;
  VirtualClock clock;
  CountingScreen screen;
  ScriptedDialogs dialogs;
  PositionDisplay display;
  RasterCanvas path{kPathWidth, kPathHeight};
  Motion motion{ctx, port, clock, screen, dialogs, display, path};
};

}  // namespace zor::testing
