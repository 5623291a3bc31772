// The two moves every job and command is written in: absolute targets in mm, speeds in
// mm/s. Motion implements them by stepping the motors; a recording stand-in can take their
// place where only the targets matter.
#pragma once

namespace zor {

class Moves {
 public:
  virtual ~Moves() = default;
  // Straight X-Y move to (x, y).
  virtual void move_to_xy(double x, double y, double speed) = 0;
  // Z to the height z.
  virtual void down_up(double z, double speed) = 0;
};

}  // namespace zor
