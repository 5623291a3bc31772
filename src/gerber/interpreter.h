// The Gerber command interpreter: one line of a Gerber or drill file is split into commands
// (a text and the number after it), and each command is executed at once by the rule sets
// that GerberState switches on: the preview rules draw on the preview picture, the plotting
// rules move a pen, the drilling rules drill a hole at every Y.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

#include "common/canvas.h"
#include "motion/env.h"
#include "common/form.h"
#include "context/gerber_state.h"
#include "context/machine_state.h"
#include "motion/moves.h"

namespace zor {

struct GerberNumber {
  double value = 0;
  size_t count = 0;  // position of the separator counted from the start (from 1); the line's
                     // length when the number runs to its end; 1 when nothing is left
};

// Reads the number that starts at position p of the line (positions count from 1).
GerberNumber get_number(std::string_view line, size_t p);

class GerberInterpreter {
 public:
  // `picture` is the preview picture; `form` gives the marker diameter d_mark, read at each
  // flash of the plotting rules; `machine` gives the tool position the flash compares with.
  GerberInterpreter(GerberState& state, const ApertureTable& apertures, const WorkingModes& modes,
                    const MachineState& machine, Moves& moves, Canvas& picture, const Form& form);
  // Over the program-wide state, the moves, the preview picture and the form of a session.
  explicit GerberInterpreter(Env& env);

  // Splits one line into commands and executes them left to right.
  void out_str(std::string_view line);
  // Executes one command; only the first character of its text matters.
  void operand(std::string_view command, double value);

 private:
  enum class Rules { kPreview, kPlot, kDrill };

  void apply(Rules rules, char letter, double value);
  void d_command(Rules rules, double value);
  double coordinate(Rules rules, double value) const;

  void preview_draw();
  void preview_move();
  void preview_flash();
  void preview_extend(double right, double bottom);

  void plot_draw();
  void plot_move();
  void plot_flash();

  void drill_hole();

  // The first dimension of the selected aperture when it is a circle.
  std::optional<double> circle_aperture() const;

  GerberState& state_;
  const ApertureTable& apertures_;
  const WorkingModes& modes_;
  const MachineState& machine_;
  Moves& moves_;
  Canvas& picture_;
  const Form& form_;
};

}  // namespace zor
