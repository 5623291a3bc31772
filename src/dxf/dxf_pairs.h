// The group-code/value pairs of a DXF file, for the full reading. Writers differ in how they
// lay a pair out: codes right-aligned, left-aligned or padded on both sides, values padded
// with spaces or tabs, LF, CR LF or CR line ends, bytes after the end. Both lines of a pair
// are taken without their surrounding blanks; a line ends at LF, CR LF or CR, and Ctrl-Z
// ends the file, as the fixed reading's text files do. Buffered: a pass holds one buffer,
// whatever the file's size.
#pragma once

#include <cstddef>
#include <istream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zor {

// Where the bytes come from: a file or any stream.
class DxfByteSource {
 public:
  virtual ~DxfByteSource() = default;
  // Up to `size` bytes into `out`; 0 at the end. Throws IoError when reading fails.
  virtual size_t read(char* out, size_t size) = 0;
};

// Opened as every reader opens its file (common/input_file.h), with its refusals.
std::unique_ptr<DxfByteSource> open_dxf_file(const std::string& path);
std::unique_ptr<DxfByteSource> dxf_stream_source(std::istream& in);

class DxfPairs {
 public:
  explicit DxfPairs(DxfByteSource& source);

  // Reads the next pair; false at the end of the bytes, or when a code line is no code
  // (then bad_code() is true and the reading stops there).
  bool next();
  int code() const { return code_; }
  // The value line without its blanks; valid until the next call of next().
  std::string_view value() const { return value_; }
  // The 1-based line number of the current pair's code line.
  size_t line() const { return code_line_; }
  bool bad_code() const { return bad_code_; }
  // The text of the line that was no code (at most 40 bytes).
  const std::string& bad_text() const { return bad_text_; }

 private:
  bool read_line(std::string_view& line);
  bool refill();

  DxfByteSource& source_;
  std::vector<char> buffer_;
  size_t pos_ = 0;
  size_t end_ = 0;
  bool at_end_ = false;
  size_t lines_ = 0;
  // A line that had to be reassembled across a refill is kept here.
  std::string_view value_;
  int code_ = 0;
  size_t code_line_ = 0;
  bool bad_code_ = false;
  std::string bad_text_;
};

// A number of a value line: decimal with an optional sign, fraction and exponent (a comma
// is taken for the point, as the fixed reading does). False for anything else.
bool dxf_number(std::string_view text, double& out);
// A number of an integer code (flags, counts, units) as an int, held to int's range.
int dxf_int(double value);

}  // namespace zor
