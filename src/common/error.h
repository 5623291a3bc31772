// The one exception type of the core. Its message is the exact text the operator sees:
// the front ends' general handler shows it in a message box, the runner prints it.
#pragma once

#include <stdexcept>
#include <string>

namespace zor {

class Error : public std::runtime_error {
 public:
  explicit Error(const std::string& message) : std::runtime_error(message) {}
};

// A failure that stops the running handler; kinds let the runner choose its exit status.
class ConversionError : public Error {
  using Error::Error;
};
class IoError : public Error {
  using Error::Error;
};
class MotionRefused : public Error {
  using Error::Error;
};

}  // namespace zor
