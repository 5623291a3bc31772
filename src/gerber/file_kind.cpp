#include "gerber/file_kind.h"

#include <sstream>
#include <vector>

#include "common/error.h"
#include "common/input_file.h"
#include "gerber/coordinate_format.h"
#include "gerber/excellon_lines.h"
#include "gerber/gerber_blocks.h"
#include "gerber/reading_notices.h"
#include "gerber/text_scan.h"

namespace zor {
namespace {

constexpr size_t kSniffBytes = 64 << 10;
constexpr size_t kMaxHeaderStatements = 5000;
const char* const kSwitchOn = ": включите «Полное чтение файла»";

std::string head_of(std::istream& in) {
  std::string bytes(kSniffBytes, '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<size_t>(in.gcount()));
  return bytes;
}

std::string upper_without_blanks(const std::string& text) {
  std::string out;
  for (const char c : text) {
    if (c == ' ' || c == '\t') continue;
    out += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
  }
  return out;
}

FileKind kind_of(const std::string& head) {
  std::istringstream in(head);
  std::vector<std::string> ignored;
  ReadingNotices notices(ignored);
  const ExcellonLines lines = read_excellon_lines(in, notices);
  if (lines.binary) return FileKind::kUnknown;
  int gerber = 0, drill = 0;
  for (const std::string& raw : lines.lines) {
    const std::string line = upper_without_blanks(raw);
    if (line.empty() || line[0] == ';') continue;
    if (line.find("%FS") != std::string::npos || line.find("%ADD") != std::string::npos ||
        line.find("%MO") != std::string::npos || line.find("%AM") != std::string::npos)
      return FileKind::kGerber;
    if (line == "M48" || starts_with(line, "METRIC") || starts_with(line, "INCH")) drill += 10;
    if (line.back() == '*')
      ++gerber;
    else if (line[0] == 'X' || line[0] == 'Y' ||
             (line[0] == 'T' && line.size() > 1 && line[1] >= '0' && line[1] <= '9'))
      ++drill;
  }
  if (gerber == 0 && drill == 0) return FileKind::kUnknown;
  return gerber > drill ? FileKind::kGerber : FileKind::kExcellon;
}

std::string said(const std::vector<std::string>& parts) {
  std::string text = "Файл задаёт ";
  for (size_t k = 0; k < parts.size(); ++k) text += (k > 0 ? ", " : "") + parts[k];
  return text + kSwitchOn;
}

std::optional<std::string> gerber_hint(const std::string& head) {
  std::istringstream in(head);
  std::vector<std::string> ignored;
  ReadingNotices notices(ignored);
  GerberStatements statements(in, notices);
  GerberStatement s;
  std::optional<bool> metric;
  std::optional<std::string> format;
  bool trailing = false, incremental = false, hundredths = true;
  for (size_t n = 0; n < kMaxHeaderStatements && statements.next(s); ++n) {
    for (const std::string& raw : s.blocks) {
      const std::string b = upper_without_blanks(raw);
      if (s.extended && b == "MOMM") metric = true;
      if (s.extended && b == "MOIN") metric = false;
      if (!s.extended && starts_with(b, "G71")) metric = true;
      if (!s.extended && starts_with(b, "G70")) metric = false;
      if (s.extended && starts_with(b, "FS")) {
        const size_t x = b.find('X');
        if (x == std::string::npos || x + 2 >= b.size()) continue;
        const char i = b[x + 1], d = b[x + 2];
        if (i < '0' || i > '9' || d < '0' || d > '9') continue;
        format = std::string(1, i) + "." + std::string(1, d);
        hundredths = d == '2';
        const std::string flags = b.substr(2, x - 2);
        trailing = flags.find('T') != std::string::npos;
        incremental = flags.find('I') != std::string::npos;
      }
    }
  }
  if (!metric && !format) return std::nullopt;
  if (metric.value_or(true) && hundredths && !trailing && !incremental) return std::nullopt;
  std::vector<std::string> parts;
  if (metric) parts.push_back(*metric ? "единицы мм" : "единицы дюймы");
  if (format) parts.push_back("формат " + *format);
  if (trailing) parts.push_back("нули в конце опущены");
  if (incremental) parts.push_back("координаты в приращениях");
  return said(parts);
}

std::optional<std::string> excellon_hint(const std::string& head) {
  std::istringstream in(head);
  std::vector<std::string> ignored;
  ReadingNotices notices(ignored);
  const ExcellonLines lines = read_excellon_lines(in, notices);
  std::optional<bool> metric, leading_kept;
  std::optional<std::string> format;
  int decimals = -1;
  bool point = false;
  for (const std::string& raw : lines.lines) {
    const std::string line = upper_without_blanks(raw);
    if (const auto digits = excellon_comment_digits(raw)) {
      format = std::to_string(digits->first) + "." + std::to_string(digits->second);
      decimals = digits->second;
    }
    if (line.empty() || line[0] == ';') continue;
    if (starts_with(line, "METRIC") || starts_with(line, "INCH")) {
      metric = starts_with(line, "METRIC");
      if (line.find(",LZ") != std::string::npos) leading_kept = true;
      if (line.find(",TZ") != std::string::npos) leading_kept = false;
      const size_t dot = line.find('.');
      const size_t comma = line.rfind(',', dot);
      if (dot != std::string::npos && comma != std::string::npos &&
          line.find_first_not_of("0.", comma + 1) == std::string::npos) {
        format = std::to_string(dot - comma - 1) + "." + std::to_string(line.size() - dot - 1);
        decimals = static_cast<int>(line.size() - dot - 1);
      }
    }
    if (line == "M71") metric = true;
    if (line == "M72") metric = false;
    if (line[0] == 'X' || line[0] == 'Y') {
      point = line.find('.') != std::string::npos;
      break;
    }
  }
  if (!metric && !format && !leading_kept) return std::nullopt;
  // Millimetres with whole numbers in hundredths are what the fixed reading takes; a format
  // left to the default is no declaration.
  if (metric.value_or(true) && !point && (decimals == 2 || decimals < 0) &&
      !leading_kept.value_or(false))
    return std::nullopt;
  std::vector<std::string> parts;
  if (metric) parts.push_back(*metric ? "единицы мм" : "единицы дюймы");
  if (point)
    parts.push_back("числа с точкой");
  else if (format)
    parts.push_back("формат " + *format);
  if (!point && leading_kept.value_or(false)) parts.push_back("нули в начале сохранены");
  return said(parts);
}

}  // namespace

FileKind detect_file_kind(std::istream& in) {
  return kind_of(head_of(in));
}

FileKind detect_file_kind_file(const std::string& path) {
  InputFileStream in(path);
  return detect_file_kind(in);
}

std::optional<std::string> full_reading_hint(std::istream& in) {
  const std::string head = head_of(in);
  switch (kind_of(head)) {
    case FileKind::kGerber:
      return gerber_hint(head);
    case FileKind::kExcellon:
      return excellon_hint(head);
    default:
      return std::nullopt;
  }
}

std::optional<std::string> full_reading_hint(const std::string& path) {
  try {
    InputFileStream in(path);
    return full_reading_hint(in);
  } catch (const IoError&) {
    // The reading itself tells the operator why; a hint only adds to a file that reads.
    return std::nullopt;
  }
}

}  // namespace zor
