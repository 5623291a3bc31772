#include "dxf/dxf_hint.h"

#include <exception>
#include <vector>

#include "common/text_file.h"

namespace zor {
namespace {

// A hint needs only the start of a big drawing to know what it holds.
constexpr long kMostLines = 2'000'000;

std::string trimmed(const std::string& s) {
  const size_t from = s.find_first_not_of(" \t\r");
  if (from == std::string::npos) return {};
  return s.substr(from, s.find_last_not_of(" \t\r") - from + 1);
}

// The entity kinds the operator knows by name; the rest are "другие объекты".
const char* kind_words(const std::string& kind) {
  if (kind == "ARC") return "дуги";
  if (kind == "CIRCLE") return "окружности";
  if (kind == "LWPOLYLINE" || kind == "POLYLINE") return "полилинии";
  if (kind == "INSERT") return "блоки";
  if (kind == "SPLINE") return "сплайны";
  if (kind == "ELLIPSE") return "эллипсы";
  if (kind == "TEXT" || kind == "MTEXT") return "надписи";
  return "другие объекты";
}

void add_once(std::vector<std::string>& found, const std::string& words) {
  for (const std::string& f : found) {
    if (f == words) return;
  }
  found.push_back(words);
}

}  // namespace

std::optional<std::string> dxf_fixed_reading_hint(const std::string& path) {
  std::vector<std::string> found;
  try {
    TextFile file(path);
    std::string code;
    std::string value;
    bool in_entities = false;
    bool units_next = false;
    for (long n = 0; n < kMostLines && file.read_line(code) && file.read_line(value); ++n) {
      const std::string c = trimmed(code);
      const std::string v = trimmed(value);
      if (units_next && c == "70") {
        // 0: none stated, 4: millimetres; anything else the fixed reading takes as mm.
        if (v != "0" && v != "4") add_once(found, "единицы не в мм");
        units_next = false;
      }
      if (c == "9") units_next = v == "$INSUNITS";
      if (c == "2" && v == "ENTITIES") in_entities = true;
      if (c != "0" && c != "10" && c != "20" && c != "11" && c != "21") continue;
      // The fixed reading finds only the codes as AutoCAD writes them, right-aligned in
      // three places ("  0", " 10").
      std::string raw = code;
      if (!raw.empty() && raw.back() == '\r') raw.pop_back();
      if (in_entities && raw.size() != 3) add_once(found, "коды групп без отступов");
      if (c != "0") continue;
      if (v == "ENDSEC" || v == "EOF") in_entities = false;
      if (!in_entities || v == "LINE" || v == "POINT" || v == "ENDSEC") continue;
      add_once(found, kind_words(v));
    }
  } catch (const std::exception&) {
    return std::nullopt;
  }
  if (found.empty()) return std::nullopt;
  std::string list;
  for (const std::string& f : found) list += (list.empty() ? "" : ", ") + f;
  return "В файле есть " + list + ": включите «Полное чтение файла»";
}

}  // namespace zor
