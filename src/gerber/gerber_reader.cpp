#include "gerber/gerber_reader.h"

#include <algorithm>
#include <cmath>
#include <fstream>

#include "common/error.h"
#include "gerber/full_reader_state.h"
#include "gerber/gerber_blocks.h"

namespace zor {
namespace gerber_full {
namespace {

bool starts_with(const std::string& text, const char* prefix) {
  return text.rfind(prefix, 0) == 0;
}

std::string without_blanks(const std::string& text) {
  std::string out;
  for (const char c : text)
    if (c != ' ' && c != '\t') out += c;
  return out;
}

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

double Reader::to_mm() {
  if (!unit_mm_) {
    notices_.once("units", "Единицы файла не заданы (%MO, G70/G71): приняты дюймы");
    unit_mm_ = kMmPerInch;
  }
  return *unit_mm_;
}

void Reader::cannot_read(const std::string& kind, const std::string& text) {
  notices_.at_line(kind, line_, "не прочитано «" + notice_excerpt(text) + "»");
}

std::optional<double> Reader::coordinate(const std::string& text, bool x_axis) {
  if (!format_declared_) {
    notices_.once("format", "Формат координат не задан (%FS): принят 2.4, без ведущих нулей");
    format_declared_ = true;
  }
  const std::optional<double> value = read_coordinate(text, x_axis ? x_format_ : y_format_);
  if (!value) {
    notices_.at_line("number", line_, "неверная координата «" + notice_excerpt(text) + "»");
    return std::nullopt;
  }
  const double mm = *value * to_mm();
  if (!(std::abs(mm) <= kMaxCoordinateMm)) {
    notices_.at_line("huge", line_, "координата дальше километра, команда пропущена");
    return std::nullopt;
  }
  return mm;
}

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

void Reader::g_code(int code) {
  switch (code) {
    case 0:  // an old rapid move: draws nothing but moves like D02
    case 1:
      interpolation_ = Interpolation::kLinear;
      return;
    case 2:
      interpolation_ = Interpolation::kClockwise;
      return;
    case 3:
      interpolation_ = Interpolation::kCounterClockwise;
      return;
    case 36:
      end_stroke();
      if (in_region_) close_contour();
      in_region_ = true;
      contour_.clear();
      return;
    case 37:
      end_region();
      return;
    case 54:
    case 55:
      return;
    case 70:
      unit_mm_ = kMmPerInch;
      return;
    case 71:
      unit_mm_ = 1.0;
      return;
    case 74:
      multi_quadrant_ = false;
      return;
    case 75:
      multi_quadrant_ = true;
      return;
    case 90:
      incremental_ = false;
      return;
    case 91:
      incremental_ = true;
      return;
    default:
      notices_.at_line("G" + std::to_string(code), line_,
                       "код G" + std::to_string(code) + " не читается");
  }
}

void Reader::data_block(const std::string& written, size_t line) {
  line_ = line;
  if (stopped_ || ended_) return;
  const std::string text = without_blanks(written);
  if (text.empty()) return;
  // A comment (G04 or the short G4) is read over whatever it holds.
  if (starts_with(text, "G04") ||
      (starts_with(text, "G4") && (text.size() == 2 || text[2] < '0' || text[2] > '9')))
    return;
  std::optional<double> x, y, i, j;
  std::optional<int> d;
  size_t k = 0;
  while (k < text.size()) {
    const char letter = text[k++];
    const size_t start = k;
    while (k < text.size() && (text[k] == '+' || text[k] == '-' || text[k] == '.' ||
                               (text[k] >= '0' && text[k] <= '9')))
      ++k;
    const std::string value = text.substr(start, k - start);
    switch (letter) {
      case 'G': {
        const std::optional<int> code = read_count(value);
        if (!code) {
          cannot_read("word", text);
          return;
        }
        if (*code == 4) return;
        g_code(*code);
        break;
      }
      case 'X':
      case 'Y':
      case 'I':
      case 'J': {
        const std::optional<double> mm = coordinate(value, letter == 'X' || letter == 'I');
        if (!mm) return;
        (letter == 'X' ? x : letter == 'Y' ? y : letter == 'I' ? i : j) = mm;
        break;
      }
      case 'D':
        d = read_count(value);
        if (!d) {
          cannot_read("word", text);
          return;
        }
        break;
      case 'M': {
        const std::optional<int> code = read_count(value);
        if (code == 0 || code == 2) {
          ended_ = true;
          return;
        }
        if (code != 1) cannot_read("M", text);
        break;
      }
      case 'N':  // a sequence number
        break;
      default:
        cannot_read("word", text);
        return;
    }
  }
  if (d && *d >= 10) {
    if (x || y || i || j) cannot_read("word", text);
    if (apertures_.count(*d) == 0)
      notices_.at_line("noap" + std::to_string(*d), line_,
                       "апертура D" + std::to_string(*d) + " не задана");
    if (aperture_ != *d) end_stroke();
    aperture_ = *d;
    return;
  }
  if (d && (*d < 1 || *d > 3)) {
    cannot_read("D" + std::to_string(*d), text);
    return;
  }
  if (d) modal_d_ = *d;
  if (!d && !x && !y && !i && !j) return;
  if (modal_d_ == 0) {
    notices_.at_line("nod", line_, "координаты без D01/D02/D03 приняты как перемещение");
    modal_d_ = 2;
  }
  operate(modal_d_, x, y, i, j);
}

void Reader::finish(size_t line) {
  line_ = line;
  if (in_region_) {
    notices_.at_line("region", line_, "область G36 не закрыта командой G37, закрыта здесь");
    end_region();
  }
  end_stroke();
  finish_step_repeat();
  if (!ended_ && !stopped_) notices_.once("m02", "Файл кончился без M02: возможно, он неполный");
  notices_.finish();
}

}  // namespace gerber_full

CopperImage read_gerber(std::istream& in, std::vector<std::string>& notices) {
  gerber_full::Reader reader(notices);
  GerberStatements statements(in, reader.notices());
  GerberStatement statement;
  size_t line = 1;
  while (!reader.ended() && statements.next(statement)) {
    line = statement.line;
    if (statement.extended)
      reader.extended(statement.blocks, statement.line);
    else
      reader.data_block(statement.blocks.front(), statement.line);
  }
  reader.finish(line);
  return std::move(reader.image);
}

CopperImage read_gerber_file(const std::string& path, std::vector<std::string>& notices) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw IoError("File not found");
  return read_gerber(in, notices);
}

std::optional<PlanExtents> copper_extents(const CopperImage& image) {
  std::optional<PlanExtents> e;
  const auto add = [&e](const PlanPoint& p) {
    if (!e) {
      e = PlanExtents{p.x, p.y, p.x, p.y};
      return;
    }
    e->xmin = std::min(e->xmin, p.x);
    e->ymin = std::min(e->ymin, p.y);
    e->xmax = std::max(e->xmax, p.x);
    e->ymax = std::max(e->ymax, p.y);
  };
  for (const CopperObject& o : image.objects) {
    if (o.kind == CopperObject::Kind::kArea) {
      for (const auto& ring : o.rings)
        for (const PlanPoint& p : ring) add(p);
    } else {
      for (const PlanPoint& p : o.line) add(p);
    }
  }
  return e;
}

}  // namespace zor
