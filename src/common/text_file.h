// Reading the text files the system works on (DXF, Gerber, drill): a line ends at LF; a CR
// right before the LF is not part of it; any other CR is dropped and the line goes on;
// Ctrl-Z ends the file; a line is read whole up to kMaxLineLength. Buffered, so a pass streams in
// constant memory whatever the file's size.
#pragma once

#include <string>
#include <vector>

#include "common/input_file.h"

namespace zor {

// True when `path` names an existing file (not a directory).
bool file_exists(const std::string& path);

class TextFile {
 public:
  // Opens as InputFile does, with its refusals.
  explicit TextFile(const std::string& path);

  // Reads the next line into `line`; false at the end of the file. Throws IoError when
  // reading fails.
  bool read_line(std::string& line);

 private:
  bool fill();
  InputFile file_;
  std::vector<char> buffer_;
  size_t pos_ = 0;
  size_t end_ = 0;
  bool eof_ = false;
};

}  // namespace zor
