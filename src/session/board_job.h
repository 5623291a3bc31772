// The "Плата" page: one board's folder or archive, its side, offsets and pins, read from the
// page's boxes into the board's plans, and the jobs and the preview of the page.
#pragma once

#include <map>
#include <optional>
#include <string>

#include "board/board.h"
#include "motion/env.h"
#include "session/job_buttons.h"

namespace zor {

inline constexpr int kBoardPage = 2;  // PageControl2's third page
inline constexpr const char* kBoardPath = "E_board";
inline constexpr const char* kBoardSide = "CB_board_side";  // 0 "Верх", 1 "Низ"
inline constexpr const char* kBoardOffsetX = "E_board_dx";
inline constexpr const char* kBoardOffsetY = "E_board_dy";
inline constexpr const char* kBoardPins = "CB_board_pins";
inline constexpr const char* kBoardPinDiameter = "E_board_pin_d";
// The operator's roles, one "name<TAB>role word" a line (the page's list writes it).
inline constexpr const char* kBoardRoles = "E_board_roles";

bool board_page(const Form& form);

// The side, offsets and pins as the page's boxes give them; a box that does not read as a
// number throws ConversionError naming its text.
BoardSettings board_settings(const Form& form);
std::map<std::string, BoardRole> chosen_roles(const Form& form);
std::map<std::string, BoardRole> roles_from_text(const std::string& text);
// "name<TAB>role word" lines for kBoardRoles.
std::string roles_text(const std::map<std::string, BoardRole>& roles);

// The page's board, read whole (throws Error with the operator's message).
Board page_board(const Form& form);

// "Рисовать": the side's copper inked by the marker. "Сверлить": the pins and every hole as
// seen from the side. A board beyond the travel limits moves nothing.
void board_draw(Env& env, JobNotes& notes);
void board_drill(Env& env, JobNotes& notes);

// The page's picture, with the order of work on the line under it.
void board_preview(Env& env);

// The page's browse button: a .zip chosen is the board; any other file chosen stands for the
// folder it lies in. The roles found anew, the preview shown.
void board_choose(Env& env);

}  // namespace zor
