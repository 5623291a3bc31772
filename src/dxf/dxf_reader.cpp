#include "dxf/dxf_reader.h"

#include <algorithm>
#include <stdexcept>

#include "common/decimal.h"

namespace zor {
namespace {

constexpr std::string_view kEntityEnd = "  0";
// The captured codes in slot order: x1, y1, x2, y2 for LINE; x, y for POINT.
constexpr std::array<std::string_view, 4> kCodes = {" 10", " 20", " 11", " 21"};

}  // namespace

DxfEntityReader::DxfEntityReader(const std::string& path, DxfEntityKind kind)
    : file_(path),
      kind_(kind),
      name_(kind == DxfEntityKind::kLine ? "LINE" : "POINT"),
      slot_count_(kind == DxfEntityKind::kLine ? 4 : 2) {}

bool DxfEntityReader::next(DxfLine& line) {
  if (kind_ != DxfEntityKind::kLine) throw std::logic_error("a LINE asked of a POINT pass");
  if (!scan_entity()) return false;
  line.x1 = slot_value(0);
  line.y1 = slot_value(1);
  line.x2 = slot_value(2);
  line.y2 = slot_value(3);
  return true;
}

bool DxfEntityReader::next(DxfPoint& point) {
  if (kind_ != DxfEntityKind::kPoint) throw std::logic_error("a POINT asked of a LINE pass");
  if (!scan_entity()) return false;
  point.x = slot_value(0);
  point.y = slot_value(1);
  return true;
}

bool DxfEntityReader::scan_entity() {
  while (!ended_ && file_.read_line(line_)) {
    if (line_ != name_) continue;
    if (read_to_entity_end()) return true;
    break;
  }
  ended_ = true;
  return false;
}

// False when the file ends first: the unfinished entity is dropped rather than waited for.
bool DxfEntityReader::read_to_entity_end() {
  // The first line after the name is only ever tested for the end line: a captured code
  // there is not captured.
  if (!file_.read_line(line_)) return false;
  while (line_ != kEntityEnd) {
    if (!file_.read_line(line_)) return false;
    // The held line stays the code line, so a value that follows an uncaptured code is
    // itself examined as a code.
    const int slot = slot_of(line_);
    if (slot >= 0 && !file_.read_line(slots_[slot])) return false;
  }
  return true;
}

int DxfEntityReader::slot_of(const std::string& code_line) const {
  for (int i = 0; i < slot_count_; ++i) {
    if (code_line == kCodes[i]) return i;
  }
  return -1;
}

double DxfEntityReader::slot_value(int slot) {
  // point_to_comma done in place: the slot then holds the text the conversion sees, which
  // converts the same when an entity without this code reuses it.
  std::string& text = slots_[slot];
  std::replace(text.begin(), text.end(), '.', ',');
  return text_to_double(text);
}

}  // namespace zor
