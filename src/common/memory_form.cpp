#include "common/memory_form.h"

namespace zor {
namespace {

template <typename Map, typename Value>
Value lookup(const Map& map, std::string_view key, Value fallback) {
  auto it = map.find(key);
  return it == map.end() ? fallback : it->second;
}

}  // namespace

std::string MemoryForm::text(std::string_view control) const {
  return lookup(texts_, control, std::string());
}

void MemoryForm::set_text(std::string_view control, const std::string& text) {
  texts_.insert_or_assign(std::string(control), text);
}

bool MemoryForm::checked(std::string_view control) const {
  return lookup(checked_, control, false);
}

void MemoryForm::set_checked(std::string_view control, bool checked) {
  checked_.insert_or_assign(std::string(control), checked);
}

void MemoryForm::set_visible(std::string_view control, bool visible) {
  visible_.insert_or_assign(std::string(control), visible);
}

bool MemoryForm::visible(std::string_view control) const {
  return lookup(visible_, control, true);
}

void MemoryForm::focus(std::string_view control) {
  focused_ = std::string(control);
}

int MemoryForm::index(std::string_view control) const {
  return lookup(indices_, control, 0);
}

void MemoryForm::set_index(std::string_view control, int index) {
  indices_.insert_or_assign(std::string(control), index);
}

void MemoryForm::set_items(std::string_view control, const std::vector<std::string>& items) {
  items_.insert_or_assign(std::string(control), items);
  set_text(control, items.empty() ? std::string() : items.front());
}

std::vector<std::string> MemoryForm::items(std::string_view control) const {
  return lookup(items_, control, std::vector<std::string>());
}

std::vector<std::string> MemoryForm::unchecked_items(std::string_view control) const {
  return lookup(unchecked_, control, std::vector<std::string>());
}

void MemoryForm::set_unchecked_items(std::string_view control,
                                     const std::vector<std::string>& items) {
  unchecked_.insert_or_assign(std::string(control), items);
}

void MemoryForm::set_cell(std::string_view grid, int column, int row, const std::string& text) {
  auto it = cells_.find(grid);
  if (it == cells_.end()) it = cells_.emplace(std::string(grid), decltype(it->second)()).first;
  it->second[{column, row}] = text;
}

std::string MemoryForm::cell(std::string_view grid, int column, int row) const {
  auto it = cells_.find(grid);
  if (it == cells_.end()) return {};
  auto c = it->second.find({column, row});
  return c == it->second.end() ? std::string() : c->second;
}

}  // namespace zor
