// A Form held in memory: the runner's and the tests' stand-in for the main window.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "common/form.h"

namespace zor {

class MemoryForm : public Form {
 public:
  std::string text(std::string_view control) const override;
  void set_text(std::string_view control, const std::string& text) override;
  bool checked(std::string_view control) const override;
  void set_checked(std::string_view control, bool checked);
  void set_visible(std::string_view control, bool visible) override;
  bool visible(std::string_view control) const override;
  void focus(std::string_view control) override;
  int index(std::string_view control) const override;
  void set_index(std::string_view control, int index);
  void set_items(std::string_view control, const std::vector<std::string>& items) override;
  std::vector<std::string> items(std::string_view control) const;
  std::vector<std::string> unchecked_items(std::string_view control) const override;
  void set_unchecked_items(std::string_view control, const std::vector<std::string>& items);
  void set_cell(std::string_view grid, int column, int row, const std::string& text) override;
  std::string cell(std::string_view grid, int column, int row) const;

  // The control that last received the focus.
  const std::string& focused() const { return focused_; }

 private:
  std::map<std::string, std::string, std::less<>> texts_;
  std::map<std::string, bool, std::less<>> checked_;
  std::map<std::string, bool, std::less<>> visible_;
  std::map<std::string, int, std::less<>> indices_;
  std::map<std::string, std::vector<std::string>, std::less<>> items_;
  std::map<std::string, std::vector<std::string>, std::less<>> unchecked_;
  std::map<std::string, std::map<std::pair<int, int>, std::string>, std::less<>> cells_;
  std::string focused_;
};

}  // namespace zor
