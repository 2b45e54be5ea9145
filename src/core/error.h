#pragma once
// The one exception type the core raises: what() is the text the user sees.
#include <stdexcept>
#include <string>

namespace marlo {

class Error : public std::runtime_error {
public:
  explicit Error(const std::string& message) : std::runtime_error(message) {}
};

} // namespace marlo
