#pragma once
// Golden files: on a difference the actual output is written beside the expected file as
// NAME.new, so that a reviewer can diff the two (and copy it over when the change is
// meant); a match removes a stale NAME.new.
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace marlo::test {

inline ::testing::AssertionResult MatchesGolden(const std::string& actual,
                                                const std::string& golden) {
  const std::string fresh = golden + ".new";
  if (ReadFile(golden) == actual) {
    std::remove(fresh.c_str());
    return ::testing::AssertionSuccess();
  }
  WriteFile(fresh, actual);
  return ::testing::AssertionFailure() << "differs from " << golden << "; see " << fresh;
}

} // namespace marlo::test
