// Reading the text files the system works on (DXF, Gerber, drill): a line ends at LF; a CR
// right before the LF is not part of it; any other CR is dropped and the line goes on;
// Ctrl-Z ends the file; a line is read whole up to kMaxLineLength. Buffered, so a pass streams in
// constant memory whatever the file's size.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace zor {

// The refusal of a path that is no regular file (a device, a FIFO, a folder); the path follows.
inline constexpr const char* kNotAFile = "Это не обычный файл: ";
// Lines are read whole up to this length; a longer one ends the reading with kLineTooLong.
inline constexpr size_t kMaxLineLength = size_t{64} << 20;
inline constexpr const char* kLineTooLong =
    "Строка файла длиннее 64 МБ: это не файл чертежа, чтение прекращено";

// True when `path` names an existing file (not a directory).
bool file_exists(const std::string& path);

class TextFile {
 public:
  // Opens for reading; throws IoError with the system's message ("File not found",
  // "File access denied", "I/O error %d") when it cannot, and with kNotAFile, before opening,
  // when the path names anything but a regular file.
  explicit TextFile(const std::string& path);
  ~TextFile();
  TextFile(const TextFile&) = delete;
  TextFile& operator=(const TextFile&) = delete;

  // Reads the next line into `line`; false at the end of the file. Throws IoError when
  // reading fails.
  bool read_line(std::string& line);

 private:
  bool fill();
  std::FILE* file_;
  std::vector<char> buffer_;
  size_t pos_ = 0;
  size_t end_ = 0;
  bool eof_ = false;
};

}  // namespace zor
