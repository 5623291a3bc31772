#include "gerber/gerber_reader.h"

#include <algorithm>
#include <cmath>

#include "common/error.h"
#include "common/input_file.h"
#include "gerber/full_reader_state.h"
#include "gerber/gerber_blocks.h"
#include "gerber/text_scan.h"

namespace zor {
namespace gerber_full {

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
  InputFileStream in(path);
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
