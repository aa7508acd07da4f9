#pragma once
// Reads a description file (format in README.md) into a FileDescription.
#include <stdexcept>
#include <string>

#include "requester/butil/FileDescription.h"

namespace butil {

// A description that cannot be read; line is 1-based, 0 for the whole text.
class DescriptionError : public std::runtime_error {
 public:
  DescriptionError(int line, const std::string& message);
  int Line() const { return line_; }

 private:
  int line_;
};

FileDescription ParseDescription(const std::string& text);

}  // namespace butil
