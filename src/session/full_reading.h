// "Полное чтение файла": the program tab's file read whole, in its own units, into a plan
// that the plan jobs run and the preview shows. The fixed reading stays the default.
#pragma once

#include <optional>

#include "motion/env.h"
#include "plan/plan.h"
#include "session/job_buttons.h"

namespace zor {

inline constexpr const char* kFullReadingBox = "CB_full";

bool full_reading(const Form& form);

// The page's file as a plan: the DXF page's drawing; on the Gerber page a drill file's holes,
// or a copper layer's marker passes (drawing) or its flashes' centres (drilling). A missing
// file is reported as the fixed reading reports it and gives nothing.
std::optional<Plan> page_plan(Env& env, bool drill);

// The jobs of the full reading ("Рисовать", "Сверлить").
void full_draw(Env& env, JobNotes& notes);
void full_drill(Env& env, JobNotes& notes);

// The previews of the full reading: the DXF page's plan with the page's scale rules, the
// Gerber page's plan fitted to the window.
void full_preview(Env& env);

}  // namespace zor
