// The board page's picture: every layer of the board at true scale in the side's view, on the
// machine's working area: copper of the two sides filled in two colours, the outline, the
// holes and the pins as circles of their size.
#pragma once

#include "board/board.h"
#include "common/canvas.h"

namespace zor {

inline constexpr Color kTopCopper{220, 120, 40};
inline constexpr Color kBottomCopper{60, 130, 210};
inline constexpr Color kWorkArea{170, 170, 170};
inline constexpr Color kPinColor{200, 0, 160};

// `area_x`, `area_y`: the working area's size in mm, its lower-left corner at the origin.
void paint_board(Canvas& canvas, const Board& board, const BoardSettings& settings, double area_x,
                 double area_y);

}  // namespace zor
