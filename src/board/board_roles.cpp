#include "board/board_roles.h"

#include <initializer_list>
#include <sstream>

#include "gerber/file_kind.h"

namespace zor {
namespace {

constexpr size_t kHeadBytes = 64 << 10;

std::string lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

bool has_any(const std::string& text, std::initializer_list<const char*> parts) {
  for (const char* part : parts) {
    if (text.find(part) != std::string::npos) return true;
  }
  return false;
}

bool ends_with_any(const std::string& text, std::initializer_list<const std::string> ends) {
  for (const std::string& end : ends) {
    if (text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0)
      return true;
  }
  return false;
}

// The value of the file's first "TF.FileFunction," attribute, in lower case: Gerber X2
// (%TF…*%), its comment form (G04 #@! TF…*) and the drill files' (; #@! TF…).
std::string file_function(const std::string& data) {
  const std::string head = lower(data.substr(0, kHeadBytes));
  const std::string key = "tf.filefunction,";
  const size_t at = head.find(key);
  if (at == std::string::npos) return {};
  const size_t from = at + key.size();
  const size_t end = head.find_first_of("*%\r\n", from);
  return head.substr(from, end == std::string::npos ? std::string::npos : end - from);
}

FileKind kind_of(const BoardFile& file) {
  std::istringstream in(file.data.substr(0, kHeadBytes));
  return detect_file_kind(in);
}

std::optional<BoardRole> role_from_function(const std::string& function) {
  if (function.empty()) return std::nullopt;
  if (function.rfind("copper,", 0) == 0) {
    if (ends_with_any(function, {",top"})) return BoardRole::kTop;
    if (ends_with_any(function, {",bot"})) return BoardRole::kBottom;
    return BoardRole::kIgnored;  // an inner layer
  }
  if (function.rfind("profile", 0) == 0) return BoardRole::kOutline;
  if (has_any(function, {"plated", "mixedplating"})) return BoardRole::kDrill;
  return BoardRole::kIgnored;
}

std::optional<BoardRole> role_from_name(const std::string& name) {
  const std::string n = lower(name);
  if (has_any(n, {"-f_cu", "-f.cu", "toplayer"}) || ends_with_any(n, {".gtl", ".cmp"}))
    return BoardRole::kTop;
  if (has_any(n, {"-b_cu", "-b.cu", "bottomlayer"}) || ends_with_any(n, {".gbl", ".sol"}))
    return BoardRole::kBottom;
  if (has_any(n, {"-edge_cuts", "-edge.cuts", "boardoutline"}) ||
      ends_with_any(n, {".gko", ".gm1", ".gml"}))
    return BoardRole::kOutline;
  return std::nullopt;
}

}  // namespace

const char* role_word(BoardRole role) {
  switch (role) {
    case BoardRole::kTop:
      return "top";
    case BoardRole::kBottom:
      return "bottom";
    case BoardRole::kOutline:
      return "outline";
    case BoardRole::kDrill:
      return "drill";
    case BoardRole::kIgnored:
      break;
  }
  return "ignored";
}

const char* role_title(BoardRole role) {
  switch (role) {
    case BoardRole::kTop:
      return "Верх";
    case BoardRole::kBottom:
      return "Низ";
    case BoardRole::kOutline:
      return "Контур";
    case BoardRole::kDrill:
      return "Сверловка";
    case BoardRole::kIgnored:
      break;
  }
  return "Не нужен";
}

std::optional<BoardRole> role_from_word(const std::string& word) {
  for (BoardRole role : {BoardRole::kTop, BoardRole::kBottom, BoardRole::kOutline,
                         BoardRole::kDrill, BoardRole::kIgnored}) {
    if (word == role_word(role)) return role;
  }
  return std::nullopt;
}

BoardRole detect_role(const BoardFile& file) {
  const FileKind kind = kind_of(file);
  // A drill file is known by its statements whatever it is called (.drl, .txt, .xln, .drd).
  if (kind == FileKind::kExcellon) return BoardRole::kDrill;
  if (kind != FileKind::kGerber) return BoardRole::kIgnored;
  if (auto role = role_from_function(file_function(file.data))) {
    return *role == BoardRole::kDrill ? BoardRole::kIgnored : *role;
  }
  return role_from_name(file.name).value_or(BoardRole::kIgnored);
}

bool plated_drill_file(const BoardFile& file) {
  const std::string function = file_function(file.data);
  if (!function.empty()) return function.rfind("nonplated", 0) != 0;
  return lower(file.name).find("npth") == std::string::npos;
}

}  // namespace zor
