// What a full reading could not read or had to assume, in the operator's words. Each kind of
// trouble is told once (at its first line), and the list stays short whatever the file holds,
// so a broken file of a million lines still gives a readable list.
#pragma once

#include <cstddef>
#include <set>
#include <string>
#include <vector>

namespace zor {

class ReadingNotices {
 public:
  explicit ReadingNotices(std::vector<std::string>& out) : out_(out) {}

  // Adds `text` unless a notice of the same `kind` was already given.
  void once(const std::string& kind, const std::string& text);
  // Adds "Строка N: text" once per kind.
  void at_line(const std::string& kind, size_t line, const std::string& text);
  // Adds the count of notices left out, if any; called when the reading ends.
  void finish();

  static constexpr size_t kMaxNotices = 40;

 private:
  std::vector<std::string>& out_;
  std::set<std::string> kinds_;
  size_t left_out_ = 0;
};

// A short printable form of a piece of the file for a notice: control and non-ASCII bytes shown as
// '?', cut after a few dozen characters.
std::string notice_excerpt(const std::string& text);

}  // namespace zor
