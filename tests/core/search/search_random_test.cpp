// TSearchMask and TLineMatcher against the naive matcher on random short patterns and lines.
#include "naive_mask.h"

#include "core/search/line_matcher.h"
#include "core/search/search_mask.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <numeric>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace marlo {
namespace {

std::string RandomText(std::mt19937& random, std::string_view alphabet, int maxLength) {
  std::string s(std::uniform_int_distribution<int>(0, maxLength)(random), ' ');
  std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
  for (char& c : s) c = alphabet[pick(random)];
  return s;
}

// A mask as people write them, with groups and repetitions in plenty, and always valid.
std::string RandomMask(std::mt19937& random, int depth = 0) {
  std::string mask;
  for (int i = std::uniform_int_distribution<int>(depth > 0 ? 0 : 1, 3)(random); i > 0; --i) {
    switch (random() % 8) {
    case 0:
      mask += random() % 2 ? "^" : "$";
      continue;
    case 1:
      mask += '.';
      break;
    case 2:
      mask += random() % 2 ? "[ab]" : "[^a]";
      break;
    case 3:
    case 4:
      if (depth < 2) {
        mask += "{" + RandomMask(random, depth + 1) + "}";
        break;
      }
      [[fallthrough]];
    default:
      mask += "abA"[random() % 3];
    }
    mask += std::array<const char*, 4>{"", "", "*", "+"}[random() % 4];
  }
  return mask;
}

// Both compile the pattern or both refuse it at the same place; returns the error position.
int CompareCompile(const std::string& pattern, bool caseSensitive, std::optional<TSearchMask>& mask,
                   std::optional<test::TNaiveMask>& naive) {
  int error = 0, naiveError = 0;
  try {
    mask.emplace(pattern, caseSensitive);
  } catch (const TSearchMaskError& e) {
    error = e.Position;
  }
  try {
    naive.emplace(pattern, caseSensitive);
  } catch (const test::TNaiveMaskError& e) {
    naiveError = e.Position;
  }
  EXPECT_EQ(error, naiveError);
  return error;
}

// Each way of matching on its own, plain backtracking and tables, and backtracking that runs
// out of steps part way through a line.
TEST(SearchMaskRandom, AgreesWithTheNaiveMatcher) {
  std::mt19937 random(20240611);
  std::bitset<256> delimiters;
  delimiters.set('c');
  delimiters.set('C');
  const int backtracking[] = {TSearchMask::TLineRun::kUnlimitedBacktracking, 0, 1};
  int valid = 0;
  for (int round = 0; round < 3000; ++round) {
    const test::TScopedBacktracking scoped(backtracking[round % 3]);
    const bool regex = round % 4 != 3;
    const std::string pattern = !regex      ? RandomText(random, "abAB", 3)
                                : round % 2 ? RandomMask(random)
                                            : RandomText(random, "aabb.*+[]{}^$\\-", 8);
    for (const bool caseSensitive : {true, false}) {
      std::optional<TSearchMask> mask;
      std::optional<test::TNaiveMask> naive;
      SCOPED_TRACE("pattern " + pattern + (caseSensitive ? " with case" : " ignoring case"));
      if (regex && (CompareCompile(pattern, caseSensitive, mask, naive) != 0 || !mask)) continue;
      valid += regex;
      for (int text = 0; text < 3; ++text) {
        const std::string line = RandomText(random, caseSensitive ? "abc" : "abcABC", 12);
        const int n = static_cast<int>(line.size());
        SCOPED_TRACE("line " + line);
        if (regex) {
          // One run, positions in random order: what one works out must hold for the others.
          TSearchMask::TLineRun run(*mask, line);
          std::vector<int> positions(n + 1);
          std::iota(positions.begin(), positions.end(), 1);
          std::shuffle(positions.begin(), positions.end(), random);
          for (const int pos : positions)
            ASSERT_EQ(run.MatchAt(pos), naive->MatchAt(line, pos)) << "at " << pos;
        }
        for (int start = 0; start <= n + 2; ++start) {
          for (const bool forward : {true, false}) {
            const bool allowEmpty = random() % 2, wholeWords = random() % 3 == 0;
            const TLineMatcher matcher(pattern, caseSensitive, wholeWords, regex, delimiters);
            THit hit{0, 0}, expected{0, 0};
            const bool found = matcher.Find(line, start, forward, allowEmpty, hit);
            const bool naiveFound =
                test::NaiveFind(pattern, caseSensitive, wholeWords, regex, delimiters, line, start,
                                forward, allowEmpty, expected);
            ASSERT_EQ(found, naiveFound)
                << "from " << start << (forward ? " forward" : " back")
                << (wholeWords ? " words" : "") << (allowEmpty ? " empty" : "");
            if (found) {
              ASSERT_EQ(hit.Pos, expected.Pos) << "from " << start;
              ASSERT_EQ(hit.Len, expected.Len) << "from " << start;
            }
          }
        }
      }
    }
  }
  EXPECT_GT(valid, 500);
}

} // namespace
} // namespace marlo
