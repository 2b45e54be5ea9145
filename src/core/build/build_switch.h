#pragma once
// The mode switch a build command hands to the core. Step-through passes the Execute Switch
// followed by the marker "!DE", which asks for break lines and is never passed on.
#include <string>
#include <string_view>

namespace marlo {
struct TSettings;
}

namespace marlo::build {

inline constexpr std::string_view kStepMarker = "!DE";

struct TBuildSwitch {
  std::string Switch; // the switch with every "!DE" removed
  bool Step = false;  // whether there was one
};

// Removes every "!DE" (case matters) in one pass from left to right.
TBuildSwitch ParseSwitch(std::string_view switchText);

// Whether the core starts straight away with `switchText` (the switch after ParseSwitch):
// it equals the Check Switch or the Execute Switch text, case and all. Otherwise the build
// makes an executable and first asks where to put it.
bool RunsWithoutExe(std::string_view switchText, const TSettings& settings);

} // namespace marlo::build
