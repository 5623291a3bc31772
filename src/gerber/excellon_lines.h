// A drill file's lines for the full reading: split at LF, CR LF or a lone CR, control bytes
// dropped, each line and the whole file bounded so that a hostile file costs bounded memory.
#pragma once

#include <cstddef>
#include <istream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "gerber/reading_notices.h"

namespace zor {

struct ExcellonLines {
  std::vector<std::string> lines;
  bool binary = false;  // mostly control bytes: no text file at all
};

constexpr size_t kMaxExcellonLine = 4096;
constexpr size_t kMaxExcellonBytes = 32 << 20;

ExcellonLines read_excellon_lines(std::istream& in, ReadingNotices& notices);

// The line upper-cased without blanks, as the statements are compared.
std::string excellon_upper(const std::string& text);

// The words of a line: a letter and the number after it ("X-1.5", "T01", "G85").
struct ExcellonWord {
  char letter;
  std::string value;
};
std::vector<ExcellonWord> excellon_words(const std::string& text);

// The digit counts "a:b" a writer's comment gives (";FILE_FORMAT=2:4", "; FORMAT={3:3/ ...");
// nothing for any other line and for "-:-" (numbers with a point).
std::optional<std::pair<int, int>> excellon_comment_digits(const std::string& comment);

}  // namespace zor
