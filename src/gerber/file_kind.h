// Which reader a file on the Gerber page needs, and what its declared format means for the
// fixed reading (every number hundredths of a millimetre, format statements ignored).
#pragma once

#include <istream>
#include <optional>
#include <string>

namespace zor {

enum class FileKind { kUnknown, kGerber, kExcellon };

// From the file's first 64 KiB: Gerber statements (%FS, %AD, blocks ended by '*') or drill
// statements (M48, METRIC/INCH, tool definitions, X/Y lines without '*'). Not text, or
// neither: kUnknown.
FileKind detect_file_kind(std::istream& in);
// Throws IoError when the file cannot be read (common/input_file.h).
FileKind detect_file_kind_file(const std::string& path);

// When the file declares units or a number format that the fixed reading would misread, the
// short notice for the Gerber page ("Файл задаёт единицы мм, формат 4.6: включите «Полное
// чтение файла»"); nothing when the fixed reading is right, nothing is declared, or the file
// cannot be read.
std::optional<std::string> full_reading_hint(std::istream& in);
std::optional<std::string> full_reading_hint(const std::string& path);

}  // namespace zor
