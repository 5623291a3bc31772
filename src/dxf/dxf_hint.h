// What the fixed reading of a DXF file would miss: it knows only LINE and POINT entities with
// right-aligned group codes, in millimetres. A file with more gets a hint to read it whole.
#pragma once

#include <optional>
#include <string>

namespace zor {

// "В файле есть дуги, полилинии, блоки: включите «Полное чтение файла»"; none when the fixed
// reading reads the file as it is (or the file cannot be read: its reading says why).
std::optional<std::string> dxf_fixed_reading_hint(const std::string& path);

}  // namespace zor
