// The one way every reader opens the file it reads: drawings, Gerber and drill files, whatever
// their reading. Only a regular file is read. The check is made on the file that was opened,
// never on the path before opening, so a path swapped for a FIFO or a device in between is
// still refused; the opening itself never waits (a FIFO without a writer would wait forever).
//
// Three ways to read: the bytes in pieces (InputFile), the whole file at once with a cap
// (read_whole_file), or a stream for readers written against std::istream (InputFileStream).
// Lines are read by TextFile (common/text_file.h), on top of InputFile.
#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <streambuf>
#include <string>
#include <vector>

namespace zor {

// The refusal of a path that is no regular file (a device, a FIFO, a folder); the path follows.
inline constexpr const char* kNotAFile = "Это не обычный файл: ";
// Lines are read whole up to this length; a longer one ends the reading with kLineTooLong.
inline constexpr size_t kMaxLineLength = size_t{64} << 20;
inline constexpr const char* kLineTooLong =
    "Строка файла длиннее 64 МБ: это не файл чертежа, чтение прекращено";
// The start of the refusal of a file longer than its reader takes whole; the path follows.
inline constexpr const char* kFileTooLarge = "Файл слишком велик для чтения целиком: ";

class InputFile {
 public:
  // Opens for reading; throws IoError with the system's message ("File not found",
  // "File access denied", "I/O error %d") when it cannot, and with kNotAFile when what was
  // opened is anything but a regular file.
  explicit InputFile(const std::string& path);
  ~InputFile();
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  // Up to `size` bytes into `out`; 0 at the end of the file. Throws IoError when reading fails.
  size_t read(char* out, size_t size);
  // The file's size when it was opened.
  uint64_t size() const { return size_; }

 private:
  int fd_ = -1;
  uint64_t size_ = 0;
};

// The whole file's bytes; throws IoError as InputFile does, and with kFileTooLarge when the
// file holds more than `most` bytes (checked as it is read: a file may grow meanwhile).
std::string read_whole_file(const std::string& path, size_t most);

// A file as an input stream, read through a buffer of fixed size. A read that fails throws
// IoError out of the stream's reading functions, as InputFile::read does.
class InputFileStream : public std::istream {
 public:
  explicit InputFileStream(const std::string& path);

 private:
  class Buffer : public std::streambuf {
   public:
    explicit Buffer(const std::string& path);

   protected:
    int_type underflow() override;

   private:
    InputFile file_;
    std::vector<char> bytes_;
  };
  Buffer buffer_;
};

}  // namespace zor
