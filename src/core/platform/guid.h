#pragma once
#include <string>

namespace marlo::platform {

// A random version-4 UUID in the braced upper-case form {8-4-4-4-12}.
std::string NewGuidString();

} // namespace marlo::platform
