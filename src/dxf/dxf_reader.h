// The DXF entity reader: an exact line scanner for LINE and POINT entities. It does not
// follow sections, tables or blocks; it looks for a line that reads exactly like the entity
// name, then collects the values of the right-aligned group codes " 10", " 20", " 11" and
// " 21" until the line "  0". Each user runs its own pass with its own file.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "common/text_file.h"

namespace zor {

enum class DxfEntityKind { kLine, kPoint };

// A LINE entity: start and end point, mm.
struct DxfLine {
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

// A POINT entity: a hole position, mm.
struct DxfPoint {
  double x = 0, y = 0;
};

class DxfEntityReader {
 public:
  // Opens the file for a pass from its first line; throws IoError when it cannot. Whether
  // the file exists is the caller's question (dxf_path_or_report).
  DxfEntityReader(const std::string& path, DxfEntityKind kind);

  // Reads on to the next complete entity and hands its values; false at the end of the
  // file. An entity still open when the file ends is dropped. Throws ConversionError for a
  // slot that is empty or not a number, IoError when reading fails. next(DxfLine&) is for a
  // LINE pass, next(DxfPoint&) for a POINT pass (std::logic_error otherwise).
  bool next(DxfLine& line);
  bool next(DxfPoint& point);

 private:
  static constexpr int kMaxSlots = 4;

  bool scan_entity();
  bool read_to_entity_end();
  int slot_of(const std::string& code_line) const;
  double slot_value(int slot);

  TextFile file_;
  DxfEntityKind kind_;
  std::string_view name_;
  int slot_count_;
  // The text of the line that followed each captured code, kept from entity to entity:
  // an entity without a code reuses the text an earlier entity of the pass left there.
  std::array<std::string, kMaxSlots> slots_;
  std::string line_;
  bool ended_ = false;
};

}  // namespace zor
