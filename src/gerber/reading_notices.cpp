#include "gerber/reading_notices.h"

namespace zor {

void ReadingNotices::once(const std::string& kind, const std::string& text) {
  if (!kinds_.insert(kind).second) return;
  if (out_.size() >= kMaxNotices) {
    ++left_out_;
    return;
  }
  out_.push_back(text);
}

void ReadingNotices::at_line(const std::string& kind, size_t line, const std::string& text) {
  if (kinds_.count(kind) != 0) return;
  once(kind, "Строка " + std::to_string(line) + ": " + text);
}

void ReadingNotices::finish() {
  if (left_out_ == 0) return;
  out_.push_back("И ещё замечаний: " + std::to_string(left_out_));
  left_out_ = 0;
}

std::string notice_excerpt(const std::string& text) {
  constexpr size_t kMax = 40;
  std::string out;
  for (const char c : text) {
    if (out.size() >= kMax) {
      out += "...";
      break;
    }
    const auto byte = static_cast<unsigned char>(c);
    out += (byte < 0x20 || byte >= 0x7F) ? '?' : c;
  }
  return out;
}

}  // namespace zor
