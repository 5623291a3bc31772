// A box whose text is no number: the message stays the conversion's own, and `advice` says in
// the operator's words which box it is and what it takes, for a window to show beside it.
#pragma once

#include <string>
#include <utility>

#include "common/error.h"

namespace zor {

class BoxValueError : public ConversionError {
 public:
  BoxValueError(const std::string& message, std::string advice)
      : ConversionError(message), advice_(std::move(advice)) {}
  const std::string& advice() const { return advice_; }

 private:
  std::string advice_;
};

}  // namespace zor
