// The DXF reader fed a file's bytes. A model of the line scanner, over the file split into lines
// by a model of the text-file rules, tells which slot texts each record must come from; the
// reader must hand exactly those records (finite, in range, one per "LINE" or "POINT" line at
// most) and fail with the conversion message exactly where a slot is not a number.
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "common/decimal.h"
#include "common/error.h"
#include "dxf/dxf_reader.h"
#include "scratch_file.h"

namespace {

using zor::fuzz::check;

// LF ends a line; CR is dropped (before LF it is simply not part of the line); Ctrl-Z ends the
// file; a last line without LF counts when anything, a CR included, was read for it.
std::vector<std::string> split_lines(std::string_view bytes) {
  std::vector<std::string> lines;
  std::string line;
  bool any = false;
  for (const char c : bytes) {
    if (c == '\x1A') break;
    if (c == '\n') {
      lines.push_back(line);
      line.clear();
      any = false;
    } else {
      any = true;
      if (c != '\r') line += c;
    }
  }
  if (any) lines.push_back(line);
  return lines;
}

// The slot texts of each complete entity, in file order.
std::vector<std::vector<std::string>> model_entities(const std::vector<std::string>& lines,
                                                     std::string_view name,
                                                     const std::vector<std::string_view>& codes) {
  std::vector<std::vector<std::string>> entities;
  std::vector<std::string> slots(codes.size());
  size_t i = 0;
  while (i < lines.size()) {
    if (lines[i++] != name) continue;
    if (i >= lines.size()) break;
    std::string held = lines[i++];
    bool complete = true;
    while (held != "  0") {
      if (i >= lines.size()) {
        complete = false;
        break;
      }
      held = lines[i++];
      for (size_t s = 0; s < codes.size(); ++s) {
        if (held != codes[s]) continue;
        if (i >= lines.size()) {
          complete = false;
          break;
        }
        slots[s] = lines[i++];
      }
      if (!complete) break;
    }
    if (!complete) break;
    entities.push_back(slots);
  }
  return entities;
}

// The value a slot text must give, or the message its conversion must fail with.
struct Expected {
  std::optional<double> value;
  std::string message;
};

Expected expected_value(const std::string& slot) {
  const std::string text = zor::point_to_comma(slot);
  try {
    return {zor::text_to_double(text), {}};
  } catch (const zor::ConversionError& e) {
    return {std::nullopt, e.what()};
  }
}

constexpr double kLargest = 922337203685477.5807;

void check_value(double value, const Expected& expected) {
  check(std::isfinite(value) && std::fabs(value) <= kLargest, "finite value in range");
  check(expected.value && *expected.value == value, "the value of the slot's text");
}

// Runs one pass and compares it with the model; `values` gives a record's fields in slot order.
template <typename Record>
void check_pass(const std::string& path, zor::DxfEntityKind kind,
                const std::vector<std::vector<std::string>>& entities, size_t name_lines) {
  zor::DxfEntityReader reader(path, kind);
  Record record;
  size_t n = 0;
  for (;; ++n) {
    // The first slot that does not convert is where the pass must fail.
    std::optional<std::string> failure;
    if (n < entities.size()) {
      for (const std::string& slot : entities[n]) {
        const Expected e = expected_value(slot);
        if (!e.value) {
          failure = e.message;
          break;
        }
      }
    }
    bool got = false;
    try {
      got = reader.next(record);
    } catch (const zor::ConversionError& e) {
      check(failure && *failure == e.what(), "fails only at a slot that is not a number");
      return;
    }
    check(!failure, "a slot that is not a number fails");
    if (!got) break;
    check(n < entities.size() && n < name_lines, "at most one record per entity line");
    std::vector<double> fields;
    if constexpr (std::is_same_v<Record, zor::DxfLine>) {
      fields = {record.x1, record.y1, record.x2, record.y2};
    } else {
      fields = {record.x, record.y};
    }
    for (size_t s = 0; s < fields.size(); ++s)
      check_value(fields[s], expected_value(entities[n][s]));
  }
  check(n == entities.size(), "every complete entity is handed");
  zor::DxfLine line;
  zor::DxfPoint point;
  check(!(kind == zor::DxfEntityKind::kLine ? reader.next(line) : reader.next(point)),
        "the end stays the end");
}

size_t count_lines(const std::vector<std::string>& lines, std::string_view name) {
  size_t n = 0;
  for (const auto& line : lines) n += line == name ? 1 : 0;
  return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static zor::fuzz::ScratchFile file("dxf");
  const std::string& path = file.write(data, size);
  const std::vector<std::string> lines = split_lines({reinterpret_cast<const char*>(data), size});
  check_pass<zor::DxfLine>(path, zor::DxfEntityKind::kLine,
                           model_entities(lines, "LINE", {" 10", " 20", " 11", " 21"}),
                           count_lines(lines, "LINE"));
  check_pass<zor::DxfPoint>(path, zor::DxfEntityKind::kPoint,
                            model_entities(lines, "POINT", {" 10", " 20"}),
                            count_lines(lines, "POINT"));
  return 0;
}
