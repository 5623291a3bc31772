// Files the system writes (pictures, traces): every failure is told with the system's own
// reason, as "<path>: <reason>" ("No space left on device", "Permission denied", ...).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace zor {

// "<path>: <the system's text for err>"; a library that failed without saying why still
// leaves the operator something to read.
std::string write_error(const std::string& path, int err);

// Creates or empties the file and writes the bytes; throws IoError with write_error when
// creating, writing or closing fails.
void write_whole_file(const std::string& path, const uint8_t* data, size_t size);

}  // namespace zor
