#include "gerber/excellon_lines.h"

namespace zor {

ExcellonLines read_excellon_lines(std::istream& in, ReadingNotices& notices) {
  ExcellonLines out;
  std::streambuf* buf = in.rdbuf();
  std::string line;
  size_t bytes = 0, control = 0;
  bool after_cr = false, long_line = false;
  const auto end_line = [&] {
    out.lines.push_back(line);
    line.clear();
  };
  for (;;) {
    const int c = buf == nullptr ? std::char_traits<char>::eof() : buf->sbumpc();
    if (c == std::char_traits<char>::eof()) break;
    if (++bytes > kMaxExcellonBytes) {
      notices.once("size", "Файл сверловки слишком велик: прочитано только начало");
      break;
    }
    if (c == '\n') {
      if (!after_cr) end_line();
      after_cr = false;
      continue;
    }
    after_cr = c == '\r';
    if (c == '\r') {
      end_line();
      continue;
    }
    if ((c < 0x20 && c != '\t') || c == 0x7F) {
      ++control;
      continue;
    }
    if (line.size() >= kMaxExcellonLine) {
      if (!long_line)
        notices.at_line("long", out.lines.size() + 1, "слишком длинная строка, конец пропущен");
      long_line = true;
      continue;
    }
    line += static_cast<char>(c);
  }
  if (!line.empty()) end_line();
  // Text has a line end every few dozen bytes and almost no control bytes.
  out.binary =
      bytes > 0 && (control * 20 > bytes || (out.lines.size() <= 1 && bytes > kMaxExcellonLine));
  if (control > 0 && !out.binary)
    notices.once("control", "В файле управляющие байты (например, нулевые), они пропущены");
  return out;
}

}  // namespace zor
