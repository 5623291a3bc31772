#include "gerber/gerber_blocks.h"

namespace zor {

int GerberStatements::get() {
  std::streambuf* buf = in_.rdbuf();
  for (;;) {
    const int c = buf == nullptr ? std::char_traits<char>::eof() : buf->sbumpc();
    if (c == std::char_traits<char>::eof()) return -1;
    if (c == '\r') {
      ++line_;
      after_cr_ = true;
      continue;
    }
    const bool after_cr = after_cr_;
    after_cr_ = false;
    if (c == '\n') {
      if (!after_cr) ++line_;
      continue;
    }
    if (c < 0x20 && c != '\t') {
      notices_.at_line("control", line_,
                       "в файле управляющие байты (например, нулевые), они пропущены");
      continue;
    }
    return c;
  }
}

bool GerberStatements::next(GerberStatement& statement) {
  statement = GerberStatement{};
  std::string block;
  bool skipping = false;  // the rest of an overlong block
  bool started = false;
  size_t bytes = 0;
  for (;;) {
    const int c = get();
    if (c < 0) {
      if (!block.empty() && !skipping) statement.blocks.push_back(block);
      if (statement.extended) notices_.at_line("open%", statement.line, "не закрыт знак %");
      return started && (!statement.blocks.empty() || statement.extended);
    }
    if (!started) {
      if (c == ' ' || c == '\t') continue;
      started = true;
      statement.line = line_;
      if (c == '%') {
        statement.extended = true;
        continue;
      }
    }
    if (c == '%') {
      if (!statement.extended) {
        // A data block left without its '*' before an extended statement: take it as ended.
        if (!block.empty() && !skipping) statement.blocks.push_back(block);
        notices_.at_line("star", statement.line, "команда без знака * в конце");
        // The '%' opens the next statement, which is read on the next call.
        in_.rdbuf()->sungetc();
        return true;
      }
      if (!block.empty() && !skipping) {
        statement.blocks.push_back(block);
      }
      return true;
    }
    if (c == '*') {
      if (!skipping && (!block.empty() || statement.extended)) {
        if (statement.blocks.size() < kMaxBlocksPerStatement &&
            bytes + block.size() <= kMaxStatementBytes) {
          bytes += block.size();
          if (!block.empty()) statement.blocks.push_back(block);
        } else {
          notices_.at_line("blocks", line_, "слишком длинная команда %, конец пропущен");
        }
      }
      block.clear();
      skipping = false;
      if (!statement.extended) {
        if (statement.blocks.empty()) {  // an empty block "*": nothing to do
          started = false;
          continue;
        }
        return true;
      }
      continue;
    }
    if (skipping) continue;
    if (block.size() >= kMaxBlock) {
      notices_.at_line("long", line_, "слишком длинная команда, пропущена");
      block.clear();
      skipping = true;
      continue;
    }
    block += static_cast<char>(c);
  }
}

}  // namespace zor
