#include "gerber/excellon_reader.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>

#include "common/error.h"
#include "common/input_file.h"
#include "gerber/coordinate_format.h"
#include "gerber/excellon_format.h"
#include "gerber/excellon_lines.h"
#include "gerber/reading_notices.h"
#include "gerber/text_scan.h"

namespace zor {
namespace {

// A hole beyond a kilometre is no board; a few million holes is more than any board has.
constexpr double kMaxCoordinateMm = 1e6;
constexpr size_t kMaxHoles = 2'000'000;
constexpr size_t kMaxSlotHoles = 10'000;
constexpr double kMaxRepeat = 100'000;

class ExcellonReader {
 public:
  ExcellonReader(Plan& plan) : plan_(plan), notices_(plan.notices) {}

  void read(const std::vector<std::string>& lines) {
    numbers_.prescan(lines);
    for (size_t k = 0; k < lines.size() && !ended_; ++k) {
      line_ = k + 1;
      statement(excellon_upper(lines[k]), lines[k]);
    }
    if (holes_seen_ && !numbers_.assumed().empty()) notices_.once("assumed", numbers_.assumed());
    notices_.finish();
  }

  ReadingNotices& notices() { return notices_; }

 private:
  void tool_word(const std::string& text) {
    // T<n> then optional parameters, C the diameter: a definition; alone: a tool change.
    const std::vector<ExcellonWord> words = excellon_words(text);
    const std::optional<int> number = read_count(words.front().value);
    if (!number) {
      cannot_read(text);
      return;
    }
    std::optional<double> diameter;
    for (size_t k = 1; k < words.size(); ++k) {
      if (words[k].letter == 'C')
        diameter = read_decimal(words[k].value);
      else if (std::string("FSBHZD").find(words[k].letter) == std::string::npos) {
        cannot_read(text);
        return;
      }
    }
    const bool definition = words.size() > 1;
    if (definition && diameter && *diameter >= 0 && *diameter * numbers_.to_mm() < 1000) {
      define_tool(*number, *diameter * numbers_.to_mm());
      if (in_header_) return;
    } else if (definition && !diameter) {
      if (in_header_) return;  // feeds and speeds only
    } else if (definition) {
      cannot_read(text);
      return;
    }
    select_tool(*number);
  }

  size_t define_tool(int number, double diameter) {
    const auto found = tool_index_.find(number);
    if (found != tool_index_.end()) {
      plan_.tools[found->second].diameter = diameter;
      return found->second;
    }
    plan_.tools.push_back({number, diameter});
    tool_index_[number] = plan_.tools.size() - 1;
    return plan_.tools.size() - 1;
  }

  void select_tool(int number) {
    const auto found = tool_index_.find(number);
    if (found != tool_index_.end()) {
      tool_ = found->second;
      return;
    }
    if (number == 0) {
      tool_.reset();  // T0 unloads the tool
      return;
    }
    notices_.at_line("tool" + std::to_string(number), line_,
                     "сверло T" + std::to_string(number) + " не задано, диаметр неизвестен");
    tool_ = define_tool(number, 0);
  }

  void cannot_read(const std::string& text) {
    notices_.at_line("cannot:" + text.substr(0, std::min<size_t>(text.size(), 3)), line_,
                     "не прочитано «" + notice_excerpt(text) + "»");
  }

  // The number of a coordinate word in mm; the format matters only without a point.
  std::optional<double> coordinate_mm(const std::string& value) {
    const std::optional<double> v = value.find('.') != std::string::npos
                                        ? read_decimal(value)
                                        : read_coordinate(value, numbers_.format());
    if (!v || !(std::abs(*v * numbers_.to_mm()) <= kMaxCoordinateMm)) {
      notices_.at_line("coord", line_, "неверная координата «" + notice_excerpt(value) + "»");
      return std::nullopt;
    }
    return *v * numbers_.to_mm();
  }

  bool coordinate(const ExcellonWord& w) {
    const std::optional<double> mm = coordinate_mm(w.value);
    if (!mm) return false;
    const bool x = w.letter == 'X';
    double& axis = x ? point_.x : point_.y;
    axis = incremental_ ? axis + *mm : *mm + (x ? offset_.x : offset_.y);
    return true;
  }

  void add_hole(PlanPoint p) {
    if (!tool_) {
      notices_.at_line("notool", line_, "отверстие без выбранного сверла пропущено");
      return;
    }
    if (!(std::abs(p.x) <= kMaxCoordinateMm && std::abs(p.y) <= kMaxCoordinateMm)) {
      notices_.at_line("far", line_, "отверстие дальше километра пропущено");
      return;
    }
    if (plan_.holes.size() >= kMaxHoles) {
      notices_.at_line("many", line_, "слишком много отверстий, остальные пропущены");
      ended_ = true;
      return;
    }
    holes_seen_ = true;
    plan_.holes.push_back({p.x, p.y, *tool_});
  }

  // A slot as a row of holes no further apart than half the drill's diameter.
  void add_slot(PlanPoint from, PlanPoint to) {
    if (!tool_) {
      add_hole(from);
      return;
    }
    const double step = plan_.tools[*tool_].diameter / 2;
    const double length = std::hypot(to.x - from.x, to.y - from.y);
    double n = step > 0 ? std::ceil(length / step) : 1;
    if (!(n <= static_cast<double>(kMaxSlotHoles))) {
      notices_.at_line("slot", line_, "паз слишком длинный для сверла, отверстия реже");
      n = kMaxSlotHoles;
    }
    const int count = std::max(1, static_cast<int>(n));
    for (int k = 0; k <= count && !ended_; ++k) {
      const double t = static_cast<double>(k) / count;
      add_hole({from.x + (to.x - from.x) * t, from.y + (to.y - from.y) * t});
    }
  }

  void body_line(const std::string& text) {
    const std::vector<ExcellonWord> words = excellon_words(text);
    bool moved = false, slot = false, rout_move = false, offset_line = false;
    PlanPoint slot_start;
    double repeat = 0;
    PlanPoint step;
    for (const ExcellonWord& w : words) {
      switch (w.letter) {
        case 'X':
        case 'Y':
          if (repeat > 0 || offset_line) {
            const std::optional<double> v = coordinate_mm(w.value);
            if (!v) return;
            if (offset_line)
              (w.letter == 'X' ? offset_.x : offset_.y) = *v;
            else
              (w.letter == 'X' ? step.x : step.y) = *v;
            break;
          }
          if (!coordinate(w)) return;
          moved = true;
          break;
        case 'G': {
          const std::optional<int> g = read_count(w.value);
          if (g == 85) {
            slot = true;
            slot_start = point_;
            moved = false;
          } else if (g == 0) {
            rout_move = true;
            routing_ = true;
          } else if (g == 1 || g == 2 || g == 3) {
            if (!routing_) cannot_read(text);
            if (g != 1) notices_.at_line("arc", line_, "дуги фрезерования прочитаны как прямые");
          } else if (g == 5) {
            routing_ = false;
            plunged_ = false;
          } else if (g == 90) {
            incremental_ = false;
          } else if (g == 91) {
            incremental_ = true;
          } else if (g == 93) {
            // The zero the following coordinates are measured from.
            offset_line = true;
          } else if (!(g == 4 || g == 40 || g == 41 || g == 42)) {
            cannot_read(text);
            return;
          }
          break;
        }
        case 'M': {
          const std::optional<int> m = read_count(w.value);
          if (m == 30 || m == 0) {
            ended_ = true;
            return;
          }
          if (m == 15) {
            plunged_ = true;
            notices_.at_line("rout", line_, "фрезерование (M15/M16) просверлено рядом отверстий");
          } else if (m == 16 || m == 17) {
            plunged_ = false;
          } else if (m == 71) {
            numbers_.set_metric(true);
          } else if (m == 72) {
            numbers_.set_metric(false);
          } else if (m == 48) {
            in_header_ = true;
          } else if (m == 95) {
            in_header_ = false;
          } else if (!(m == 1 || m == 2 || m == 6 || m == 9 || m == 8 || m == 25 || m == 31 ||
                       m == 47 || m == 50 || m == 51 || m == 52 || m == 97 || m == 98)) {
            cannot_read(text);
          }
          return;
        }
        case 'R': {
          const std::optional<int> n = read_count(w.value);
          if (!n || *n > kMaxRepeat) {
            cannot_read(text);
            return;
          }
          repeat = *n;
          break;
        }
        case 'T':
          tool_word(text);
          return;
        default:
          cannot_read(text);
          return;
      }
    }
    if (offset_line) return;
    const PlanPoint here = point_;
    if (repeat > 0) {
      for (int k = 1; k <= repeat && !ended_; ++k) {
        point_ = {here.x + step.x * k, here.y + step.y * k};
        add_hole(point_);
      }
      return;
    }
    if (slot) {
      add_slot(slot_start, point_);
      return;
    }
    if (!moved) return;
    if (routing_) {
      if (plunged_ && !rout_move) add_slot(rout_from_, point_);
      rout_from_ = point_;
      return;
    }
    add_hole(point_);
  }

  void statement(const std::string& text, const std::string& raw) {
    if (text.empty()) return;
    if (text[0] == ';') {
      const auto digits = excellon_comment_digits(raw);
      if (digits && digits->first + digits->second > 0) numbers_.set_digits(*digits);
      return;
    }
    if (text == "M48") {
      in_header_ = true;
      return;
    }
    if (text == "%" || text == "M95") {
      in_header_ = false;
      return;
    }
    if (starts_with(text, "METRIC") || starts_with(text, "INCH")) {
      numbers_.units_line(text);
      return;
    }
    if (starts_with(text, "FMAT") || starts_with(text, "VER") || starts_with(text, "DETECT") ||
        starts_with(text, "ATC") || starts_with(text, "OSTOP") || starts_with(text, "RUNTIME") ||
        starts_with(text, "BLKD") || starts_with(text, "SBK") || starts_with(text, "SG") ||
        starts_with(text, "TCST") || starts_with(text, "AFS") || starts_with(text, "NCSL") ||
        starts_with(text, "CCW") || starts_with(text, "CP") || starts_with(text, "ICI") ||
        starts_with(text, "R,") || text == "/") {
      if (starts_with(text, "ICI")) incremental_ = text == "ICI,ON" || text == "ICI";
      return;
    }
    if (text[0] == 'T') {
      tool_word(text);
      return;
    }
    // A coordinate ends a header that has no end of its own.
    if (text[0] == 'X' || text[0] == 'Y') in_header_ = false;
    if (in_header_ && !(text[0] == 'M' || text[0] == 'G')) {
      cannot_read(text);
      return;
    }
    body_line(text);
  }

  Plan& plan_;
  ReadingNotices notices_;
  size_t line_ = 0;
  bool ended_ = false;
  bool in_header_ = false;
  ExcellonFormat numbers_;
  bool holes_seen_ = false;
  bool incremental_ = false;
  PlanPoint offset_;
  bool routing_ = false, plunged_ = false;
  PlanPoint rout_from_;
  PlanPoint point_;
  std::map<int, size_t> tool_index_;
  std::optional<size_t> tool_;
};

}  // namespace

Plan read_excellon(std::istream& in) {
  Plan plan;
  ExcellonReader reader(plan);
  const ExcellonLines lines = read_excellon_lines(in, reader.notices());
  if (lines.binary) {
    reader.notices().once("binary", "Файл не текстовый: это не файл сверловки Excellon");
    reader.notices().finish();
    return plan;
  }
  reader.read(lines.lines);
  return plan;
}

Plan read_excellon_file(const std::string& path) {
  InputFileStream in(path);
  return read_excellon(in);
}

}  // namespace zor
