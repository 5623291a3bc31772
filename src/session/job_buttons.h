// The two job buttons of the program tab. Each runs the DXF job or, with the Gerber page in
// front, the Gerber pass, then its closing steps: the optional return to the origin and the
// reset of the plotting switch and the abort request. An error ends the handler before them.
// With "Полное чтение файла" checked the page's file is read whole into a plan and the plan
// is run instead.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "board/board.h"
#include "motion/env.h"

namespace zor {

// What a job tells beside its moves.
struct JobNotes {
  std::vector<std::string> notices;   // what the reader could not read or had to assume
  int tool_changes = 0;               // tool questions asked
  std::optional<BoardSummary> board;  // a job of the board page: its files and placement
  // The operator ended the job ("НЕТ" to a question, the stop request): the tool was then
  // raised to the idle height where it stood, and it did not return to 0,0.
  bool stopped = false;
};

void B_risovClick(Env& env, JobNotes* notes = nullptr);
void B_drillClick(Env& env, JobNotes* notes = nullptr);

}  // namespace zor
