// The core's view of the main window's controls: each is found by its object name among the
// window's widgets, and read or written the way the operator sees it.
#pragma once

#include <QWidget>
#include <map>
#include <string>

#include "common/form.h"

namespace zor {

class QtForm : public Form {
 public:
  // Indexes the window's named widgets once; the window must outlive the form.
  explicit QtForm(QWidget& window);

  // Edits, labels, buttons, check boxes, group boxes, combo boxes (their current text) and
  // spin boxes (their text as typed). A masked edit gives its text without the mask's literals
  // and without unfilled positions ("05" for "0,5").
  std::string text(std::string_view control) const override;
  void set_text(std::string_view control, const std::string& text) override;
  bool checked(std::string_view control) const override;
  // The control's own visibility, whether or not its window is shown.
  void set_visible(std::string_view control, bool visible) override;
  bool visible(std::string_view control) const override;
  void focus(std::string_view control) override;
  // A page control's active page, a list's chosen entry (-1 when the typed text is none of its
  // entries), a track bar's position.
  int index(std::string_view control) const override;
  void set_items(std::string_view control, const std::vector<std::string>& items) override;
  std::vector<std::string> unchecked_items(std::string_view control) const override;
  // Row 0 of a grid is its header row; cells outside the grid are not kept.
  void set_cell(std::string_view grid, int column, int row, const std::string& text) override;

  // The widget of that name; throws std::invalid_argument for an unknown name.
  QWidget* control(std::string_view name) const;

 private:
  std::map<std::string, QWidget*, std::less<>> controls_;
};

// The text of a masked edit without the mask's literal characters and blanks.
QString unmasked_text(const QString& display_text, const QString& input_mask);

}  // namespace zor
