#include "gerber/excellon_format.h"

#include "gerber/excellon_lines.h"
#include "gerber/text_scan.h"

namespace zor {

// Before reading: declared zeros, or the zeros the numbers show. With leading zeros kept,
// nearly every coordinate of a board starts with 0; written without them, none does.
void ExcellonFormat::prescan(const std::vector<std::string>& lines) {
  bool any = false, leading_zero = false;
  for (const std::string& raw : lines) {
    const std::string text = excellon_upper(raw);
    if (text.empty() || text[0] == ';') continue;
    // Tools may be defined before the units are declared; their sizes are in those units.
    if (!declared_metric_) {
      if (starts_with(text, "METRIC") || text == "M71") declared_metric_ = true;
      if (starts_with(text, "INCH") || text == "M72") declared_metric_ = false;
    }
    if (text.find("LZ") != std::string::npos || text.find("TZ") != std::string::npos) {
      if (starts_with(text, "METRIC") || starts_with(text, "INCH")) return;
    }
    for (const ExcellonWord& w : excellon_words(text)) {
      if ((w.letter != 'X' && w.letter != 'Y') || w.value.find('.') != std::string::npos) continue;
      std::string digits = w.value;
      if (!digits.empty() && (digits[0] == '-' || digits[0] == '+')) digits.erase(0, 1);
      if (digits.size() < 2 || digits.find_first_not_of('0') == std::string::npos) continue;
      any = true;
      if (digits[0] == '0') leading_zero = true;
    }
  }
  if (any) guessed_leading_kept_ = leading_zero;
}

void ExcellonFormat::assume(const std::string& what, const std::string& value) {
  if (assumed_what_.find(what) != std::string::npos) return;
  if (!assumed_what_.empty()) {
    assumed_what_ += " и ";
    assumed_ += ", ";
  }
  assumed_what_ += what;
  assumed_ += value;
}

double ExcellonFormat::to_mm() {
  if (!metric_) metric_ = declared_metric_;
  if (!metric_) {
    assume("единицы", "дюймы");
    metric_ = false;
  }
  return *metric_ ? 1.0 : kMmPerInch;
}

CoordinateFormat ExcellonFormat::format() {
  CoordinateFormat f;
  const bool metric = to_mm() == 1.0;
  if (digits_) {
    f.integer_digits = digits_->first;
    f.decimal_digits = digits_->second;
  } else {
    f.integer_digits = metric ? 3 : 2;
    f.decimal_digits = metric ? 3 : 4;
  }
  if (!leading_kept_) {
    if (guessed_leading_kept_) {
      leading_kept_ = *guessed_leading_kept_;
      assume("нули", *leading_kept_ ? "нули в начале сохранены (как в числах файла)"
                                    : "нули в начале опущены (как в числах файла)");
    } else {
      leading_kept_ = true;
      assume("нули", "нули в начале сохранены");
    }
    if (!digits_) assume("формат", "формат " + format_name(f));
  }
  f.trailing_zeros_omitted = *leading_kept_;
  return f;
}

void ExcellonFormat::units_line(const std::string& text) {
  metric_ = starts_with(text, "METRIC");
  size_t comma = text.find(',');
  while (comma != std::string::npos) {
    const size_t next = text.find(',', comma + 1);
    const std::string field =
        text.substr(comma + 1, next == std::string::npos ? next : next - comma - 1);
    if (field == "LZ")
      leading_kept_ = true;
    else if (field == "TZ")
      leading_kept_ = false;
    else if (!field.empty() && field.find_first_not_of("0.") == std::string::npos) {
      const size_t point = field.find('.');
      if (point != std::string::npos)
        digits_ = {static_cast<int>(point), static_cast<int>(field.size() - point - 1)};
    }
    comma = next;
  }
}

std::string ExcellonFormat::assumed() const {
  if (assumed_.empty()) return {};
  return "Файл сверловки не задаёт " + assumed_what_ + ": приняты " + assumed_;
}

}  // namespace zor
