#include "session/plan_summary.h"

#include <cmath>
#include <cstdlib>

#include "common/decimal.h"
#include "session/job_progress.h"

namespace zor {
namespace {

std::string mm(double value) {
  return format_currency(round_even(value * 100) / 100);
}

int64_t nanoseconds(int64_t counts, int64_t frequency) {
  return static_cast<int64_t>(static_cast<double>(counts) * 1e9 / static_cast<double>(frequency));
}

// The number after `axis` ("X 12,5"), read with a comma or a point.
std::optional<double> number_after(const std::string& text, const std::string& axis) {
  const size_t at = text.find(axis);
  if (at == std::string::npos) return std::nullopt;
  std::string digits;
  for (size_t i = at + axis.size(); i < text.size(); ++i) {
    const char c = text[i];
    if ((c >= '0' && c <= '9') || (c == '-' && digits.empty())) {
      digits += c;
    } else if ((c == ',' || c == '.') && !digits.empty() && i + 1 < text.size() &&
               text[i + 1] >= '0' && text[i + 1] <= '9') {
      digits += '.';
    } else {
      break;
    }
  }
  if (digits.empty() || digits == "-") return std::nullopt;
  return std::strtod(digits.c_str(), nullptr);
}

}  // namespace

std::string plan_summary(const JobPlan& plan, JobButton button) {
  std::string text = "Задание " + duration_text(nanoseconds(plan.job_time, plan.frequency));
  if (const auto& e = plan.counts.extents) {
    text += ", поле X " + mm(e->xmin) + "…" + mm(e->xmax) + " Y " + mm(e->ymin) + "…" +
            mm(e->ymax) + " мм";
  } else {
    text += ", инструмент не опускается";
  }
  if (button == JobButton::kDrill) {
    text += ", отверстий " + std::to_string(plan.counts.holes);
    if (plan.notes.tool_changes > 0) {
      text += ", смен сверла " + std::to_string(plan.notes.tool_changes);
    }
  } else {
    text += ", подъёмов пера " + std::to_string(plan.counts.pen_lifts);
  }
  if (plan.file_order_time) {
    text +=
        ", в порядке файла " + duration_text(nanoseconds(*plan.file_order_time, plan.frequency));
  }
  if (!plan.notes.notices.empty()) {
    text += ", замечаний " + std::to_string(plan.notes.notices.size());
  }
  return text;
}

std::optional<PlanPoint> notice_place(const std::string& notice) {
  const auto x = number_after(notice, " X ");
  const auto y = number_after(notice, " Y ");
  if (!x || !y) return std::nullopt;
  return PlanPoint{*x, *y};
}

}  // namespace zor
