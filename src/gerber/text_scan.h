// Small text tests the Gerber and drill readers share.
#pragma once

#include <string>

namespace zor {

inline bool starts_with(const std::string& text, const char* prefix) {
  return text.rfind(prefix, 0) == 0;
}

// Blanks and tabs may stand anywhere inside an extended statement.
inline std::string without_blanks(const std::string& text) {
  std::string out;
  for (const char c : text)
    if (c != ' ' && c != '\t') out += c;
  return out;
}

}  // namespace zor
