// What each file of a board is for: the file's own attributes first (Gerber X2 and the drill
// files' comments say it), then the names the usual board programs give their files.
#pragma once

#include <optional>
#include <string>

#include "board/board_files.h"

namespace zor {

enum class BoardRole { kTop, kBottom, kOutline, kDrill, kIgnored };

// "top", "bottom", "outline", "drill", "ignored": the runner's and the role lists' words.
const char* role_word(BoardRole role);
std::optional<BoardRole> role_from_word(const std::string& word);
// "Верх", "Низ", "Контур", "Сверловка", "Не нужен": the window's words.
const char* role_title(BoardRole role);

BoardRole detect_role(const BoardFile& file);

// Whether a drill file's holes are plated as a whole: false for a file its attributes or
// name mark as not plated (NPTH).
bool plated_drill_file(const BoardFile& file);

}  // namespace zor
