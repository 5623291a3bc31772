// A Gerber file as statements: data blocks ended by '*', and extended statements between two
// '%' that hold one or more such blocks. Line ends mean nothing inside a statement; they are
// only counted for the notices. Control bytes (NUL among them) are dropped with a notice, and
// a block longer than any writer makes is skipped, so an endless line costs bounded memory.
#pragma once

#include <cstddef>
#include <istream>
#include <string>
#include <vector>

#include "gerber/reading_notices.h"

namespace zor {

struct GerberStatement {
  bool extended = false;
  std::vector<std::string> blocks;  // a data block is one; blanks kept, '*' and '%' dropped
  size_t line = 1;                  // where the statement starts
};

class GerberStatements {
 public:
  GerberStatements(std::istream& in, ReadingNotices& notices) : in_(in), notices_(notices) {}

  // The next statement; false at the end of the file.
  bool next(GerberStatement& statement);

  static constexpr size_t kMaxBlock = 65536;
  static constexpr size_t kMaxBlocksPerStatement = 20000;
  static constexpr size_t kMaxStatementBytes = 4 << 20;

 private:
  int get();  // the next byte that counts, or -1 at the end

  std::istream& in_;
  ReadingNotices& notices_;
  size_t line_ = 1;
  bool after_cr_ = false;
};

}  // namespace zor
