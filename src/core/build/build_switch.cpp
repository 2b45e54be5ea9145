#include "core/build/build_switch.h"

#include "core/shell/settings.h"

namespace marlo::build {

TBuildSwitch ParseSwitch(std::string_view switchText) {
  TBuildSwitch result;
  for (size_t at = 0;;) {
    const size_t marker = switchText.find(kStepMarker, at);
    result.Switch.append(switchText.substr(at, marker - at));
    if (marker == std::string_view::npos) break;
    result.Step = true;
    at = marker + kStepMarker.size();
  }
  return result;
}

bool RunsWithoutExe(std::string_view switchText, const TSettings& settings) {
  return switchText == settings.CheckSwitch || switchText == settings.ExecuteSwitch;
}

} // namespace marlo::build
