#include "gerber/excellon_lines.h"

#include <string>

#include "gerber/text_scan.h"

namespace zor {
namespace {

bool is_digit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace

std::string excellon_upper(const std::string& text) {
  std::string out;
  for (const char c : text) {
    if (c == ' ' || c == '\t') continue;
    out += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
  }
  return out;
}

std::vector<ExcellonWord> excellon_words(const std::string& text) {
  std::vector<ExcellonWord> words;
  size_t k = 0;
  while (k < text.size()) {
    ExcellonWord w{text[k++], {}};
    while (k < text.size() &&
           (is_digit(text[k]) || text[k] == '.' || text[k] == '-' || text[k] == '+'))
      w.value += text[k++];
    words.push_back(std::move(w));
  }
  return words;
}

// "a:b" digit counts of a comment (";FILE_FORMAT=2:4", ";FORMAT={2:4/ ...").
std::optional<std::pair<int, int>> excellon_comment_digits(const std::string& comment) {
  const std::string text = excellon_upper(comment);
  size_t at = std::string::npos;
  if (starts_with(text, ";FILE_FORMAT=")) at = 13;
  if (starts_with(text, ";FORMAT={")) at = 9;
  if (at == std::string::npos || at + 3 > text.size()) return std::nullopt;
  const char a = text[at], colon = text[at + 1], b = text[at + 2];
  if (!is_digit(a) || colon != ':' || !is_digit(b)) return std::nullopt;
  if (at + 3 < text.size() && is_digit(text[at + 3])) return std::nullopt;
  return std::pair<int, int>{a - '0', b - '0'};
}

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
