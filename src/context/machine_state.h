// Where the tool is and how each axis is geared. Axes are numbered 1 = X, 2 = Y, 3 = Z and
// every per-axis array is indexed 1..3 (entry 0 unused), as the whole motion code counts them.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace zor {

inline constexpr int kAxisX = 1;
inline constexpr int kAxisY = 2;
inline constexpr int kAxisZ = 3;

struct MachineState {
  // Tool position in mm: the sum of the steps actually made, never set to a move's target.
  double pos_x = 0, pos_y = 0, pos_z = 0;      // Z grows upward; 0 is the work surface
  std::array<double, 4> mm_per_step{};         // mm per motor step; 0 until the settings are made
  std::array<int32_t, 4> travel_limit{};       // mm; only X and Y are checked
  std::array<double, 4> backlash{};            // mm taken up on a direction reversal
  std::array<int, 4> phase_index{0, 1, 1, 1};  // current entry of the coil table, 1..8
  std::array<int, 4> last_dir{0, 1, 1, 1};     // +1 or -1: direction of the last run
  bool stop_flag = false;                      // abort request for the step output and moves

  // The owner's machine as its settings describe it; the defaults are the built-in machine's.
  // The lower end of travel per axis (mm); none: that end is not checked.
  std::array<std::optional<double>, 4> travel_from{};
  bool check_top_z = false;      // the top of Z is checked only when the settings name it
  double max_step_rate = 20000;  // steps a second the drivers and motors can make
  // Height above the work (mm) the tool rises to for a drill change; none: no extra lift.
  std::optional<double> tool_change_z;
};

// The speeds and heights a job runs with, read from the mode boxes when a job starts.
struct WorkingModes {
  double speed_work = 0;    // mm/s, X-Y with the tool working
  double speed_rapid = 0;   // mm/s, X-Y idle travel and the return to the origin
  double z_idle = 0;        // mm above the surface during idle travel
  double speed_z_up = 0;    // mm/s
  double speed_z_down = 0;  // mm/s
  double drill_depth = 0;   // mm below the surface
};

}  // namespace zor
