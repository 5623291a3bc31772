// The controls of the main window as the core sees them: reached by their object names
// ("e_sped", "name_files", "PageControl2"), so the handlers in the core read and write the
// same things the operator sees. The window maps the names to its widgets; the runner and
// the tests keep them in a MemoryForm.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zor {

class Form {
 public:
  virtual ~Form() = default;
  // Text of an edit, label, combo box, spin box or masked edit (without the mask's literals).
  virtual std::string text(std::string_view control) const = 0;
  virtual void set_text(std::string_view control, const std::string& text) = 0;
  virtual bool checked(std::string_view control) const = 0;
  virtual void set_visible(std::string_view control, bool visible) = 0;
  virtual bool visible(std::string_view control) const = 0;
  virtual void focus(std::string_view control) = 0;
  // Active page of a page control, chosen item of a list, position of a track bar.
  virtual int index(std::string_view control) const = 0;
  // Replaces the entries of a list (the port list); the text becomes the first entry or empty.
  virtual void set_items(std::string_view control, const std::vector<std::string>& items) = 0;
  // The entries of a list with check boxes that are not checked; none for any other control.
  // set_items on such a list checks new entries and keeps the checks of entries that stay.
  virtual std::vector<std::string> unchecked_items(std::string_view) const { return {}; }
  // A cell of a string grid.
  virtual void set_cell(std::string_view grid, int column, int row, const std::string& text) = 0;
};

}  // namespace zor
