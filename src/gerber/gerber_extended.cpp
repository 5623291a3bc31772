// The extended statements of the full Gerber reading (those between two '%'): format, units,
// apertures and macros, polarity, step and repeat, offset and scale, and what is read over.
#include <cmath>

#include "gerber/full_reader_state.h"
#include "gerber/text_scan.h"

namespace zor::gerber_full {
namespace {

// The numbers after each letter of `text` ("A1.0B2.0" gives A and B); nothing when the text is
// not made of such pairs.
std::optional<std::map<char, std::string>> letter_values(const std::string& text) {
  std::map<char, std::string> values;
  size_t k = 0;
  while (k < text.size()) {
    const char letter = text[k++];
    if (!(letter >= 'A' && letter <= 'Z')) return std::nullopt;
    const size_t start = k;
    while (k < text.size() && !(text[k] >= 'A' && text[k] <= 'Z')) ++k;
    values[letter] = text.substr(start, k - start);
  }
  return values;
}

}  // namespace

void Reader::format_statement(const std::string& text) {
  // FS, then the zeros (L, T or D), the notation (A or I), an old sequence-number field (Nn),
  // and two digits each for X and Y; any letter may be missing.
  size_t k = 2;
  bool trailing = false, incremental = false;
  std::optional<CoordinateFormat> x, y;
  while (k < text.size()) {
    const char c = text[k++];
    if (c == 'L' || c == 'D')
      trailing = false;
    else if (c == 'T')
      trailing = true;
    else if (c == 'A')
      incremental = false;
    else if (c == 'I')
      incremental = true;
    else if ((c == 'N' || c == 'G' || c == 'M') && k < text.size())
      ++k;
    else if (c == 'X' || c == 'Y') {
      const char a = k < text.size() ? text[k] : '?', b = k + 1 < text.size() ? text[k + 1] : '?';
      if (a < '0' || a > '9' || b < '0' || b > '9') {
        cannot_read("fs", "%" + text + "%");
        return;
      }
      CoordinateFormat f;
      f.integer_digits = a - '0';
      f.decimal_digits = b - '0';
      (c == 'X' ? x : y) = f;
      k += 2;
    } else {
      cannot_read("fs", "%" + text + "%");
      return;
    }
  }
  if (!x && !y) {
    cannot_read("fs", "%" + text + "%");
    return;
  }
  if (!x) x = y;
  if (!y) y = x;
  for (CoordinateFormat* f : {&*x, &*y}) {
    f->trailing_zeros_omitted = trailing;
    f->incremental = incremental;
  }
  if (x->decimal_digits > 6 || y->decimal_digits > 6 || x->integer_digits > 7 ||
      y->integer_digits > 7)
    notices_.at_line("fs9", line_,
                     "необычный формат координат " + format_name(*x) + ", числа прочитаны по нему");
  x_format_ = *x;
  y_format_ = *y;
  incremental_ = incremental;
  format_declared_ = true;
}

void Reader::aperture_statement(const std::string& text) {
  // ADD<number><template>[,<p>X<p>...]
  if (text.size() < 4 || text[2] != 'D') {
    cannot_read("ad", "%" + text + "%");
    return;
  }
  size_t k = 3;
  while (k < text.size() && text[k] >= '0' && text[k] <= '9') ++k;
  const std::optional<int> number = read_count(text.substr(3, k - 3));
  const size_t comma = text.find(',', k);
  const std::string name = text.substr(k, comma == std::string::npos ? comma : comma - k);
  if (!number || *number < 10 || name.empty()) {
    cannot_read("ad", "%" + text + "%");
    return;
  }
  std::vector<double> params;
  if (comma != std::string::npos) {
    size_t start = comma + 1;
    for (;;) {
      const size_t end = text.find('X', start);
      const std::optional<double> value =
          read_decimal(text.substr(start, end == std::string::npos ? end : end - start));
      if (!value) {
        cannot_read("ad", "%" + text + "%");
        return;
      }
      params.push_back(*value);
      if (end == std::string::npos) break;
      start = end + 1;
    }
  }
  std::optional<Aperture> aperture;
  std::string problem;
  const auto macro = macros_.find(name);
  if (macro != macros_.end()) {
    std::vector<std::string> problems;
    aperture = instantiate_macro(macro->second, params, to_mm(), problems);
    for (const std::string& p : problems)
      notices_.at_line("macro:" + p, line_, p + " (D" + std::to_string(*number) + ")");
  } else if (name.size() == 1) {
    aperture = standard_aperture(name[0], params, to_mm(), problem);
  } else {
    problem = "нет макроса апертуры " + notice_excerpt(name);
  }
  if (!aperture) {
    notices_.at_line("ad:" + problem, line_, problem + " (D" + std::to_string(*number) + ")");
    return;
  }
  size_t points = 0;
  for (const AperturePiece& piece : aperture->pieces) points += piece.ring.size();
  if (aperture_points_ + points > kMaxImagePoints) {
    notices_.at_line("ad-big", line_, "апертуры файла слишком сложны, остальные пропущены");
    return;
  }
  aperture_points_ += points;
  if (apertures_.count(*number) != 0)
    notices_.at_line("ad-twice", line_,
                     "апертура D" + std::to_string(*number) + " задана повторно, взята новая");
  apertures_[*number] = std::move(*aperture);
}

void Reader::macro_statement(const std::vector<std::string>& blocks) {
  ApertureMacro macro;
  macro.name = without_blanks(blocks.front()).substr(2);
  macro.blocks.assign(blocks.begin() + 1, blocks.end());
  if (macro.name.empty()) {
    cannot_read("am", "%" + blocks.front());
    return;
  }
  macros_[macro.name] = std::move(macro);
}

void Reader::step_repeat_statement(const std::string& text) {
  end_stroke();
  finish_step_repeat();
  const std::optional<std::map<char, std::string>> values = letter_values(text.substr(2));
  if (!values) {
    cannot_read("sr", "%" + text + "%");
    return;
  }
  StepRepeat r;
  r.first_object = image.objects.size();
  const auto count = [&](char letter, long long& out) {
    const auto found = values->find(letter);
    if (found == values->end()) return true;
    const std::optional<double> v = read_decimal(found->second);
    if (!v || *v < 1 || *v > 1e9) return false;
    out = static_cast<long long>(*v);
    return true;
  };
  const auto step = [&](char letter, double& out) {
    const auto found = values->find(letter);
    if (found == values->end()) return true;
    const std::optional<double> v = read_decimal(found->second);
    if (!v || !(std::abs(*v * to_mm()) <= kMaxCoordinateMm)) return false;
    out = *v * to_mm();
    return true;
  };
  if (!count('X', r.nx) || !count('Y', r.ny) || !step('I', r.dx) || !step('J', r.dy)) {
    cannot_read("sr", "%" + text + "%");
    return;
  }
  if (r.nx > 1 || r.ny > 1) repeat_ = r;
}

void Reader::extended(const std::vector<std::string>& raw, size_t line) {
  line_ = line;
  if (raw.empty() || stopped_) return;
  if (starts_with(without_blanks(raw.front()), "AM")) {
    if (!in_region_) macro_statement(raw);
    return;
  }
  for (const std::string& written : raw) {
    const std::string text = without_blanks(written);
    if (text.empty()) continue;
    if (starts_with(text, "FS")) {
      format_statement(text);
    } else if (text == "MOIN") {
      unit_mm_ = kMmPerInch;
    } else if (text == "MOMM") {
      unit_mm_ = 1.0;
    } else if (starts_with(text, "AD")) {
      aperture_statement(text);
    } else if (text == "LPD" || text == "LPC") {
      end_stroke();
      dark_ = text == "LPD";
    } else if (starts_with(text, "SR")) {
      step_repeat_statement(text);
    } else if (starts_with(text, "OF") || starts_with(text, "SF")) {
      const auto values = letter_values(text.substr(2));
      const bool offset = text[0] == 'O';
      std::optional<double> a = 0.0, b = 0.0;
      if (!offset) a = b = 1.0;
      if (values && values->count('A')) a = read_decimal(values->at('A'));
      if (values && values->count('B')) b = read_decimal(values->at('B'));
      if (!values || !a || !b || (offset && std::abs(*a * to_mm()) > kMaxCoordinateMm) ||
          (offset && std::abs(*b * to_mm()) > kMaxCoordinateMm) ||
          (!offset && !(*a > 0 && *a < 1000 && *b > 0 && *b < 1000))) {
        cannot_read(offset ? "of" : "sf", "%" + text + "%");
      } else if (offset) {
        offset_ = {*a * to_mm(), *b * to_mm()};
      } else {
        scale_x_ = *a;
        scale_y_ = *b;
      }
    } else if (text == "IPPOS" || text == "IR0" || text == "MIA0B0" || text == "MIA0" ||
               text == "ASAXBY" || text == "LMN" || text == "LR0" || text == "LS1" ||
               starts_with(text, "IN") || starts_with(text, "LN") || starts_with(text, "IC") ||
               starts_with(text, "TF") || starts_with(text, "TA") || starts_with(text, "TO") ||
               starts_with(text, "TD") || starts_with(text, "G04")) {
      // Names, attributes and statements that leave the image as it is.
    } else if (text == "IPNEG") {
      notices_.at_line("ipneg", line_, "негативное изображение (%IPNEG) не читается, взято прямое");
    } else {
      cannot_read("ext:" + text.substr(0, 2), "%" + text + "%");
    }
  }
}

}  // namespace zor::gerber_full
