#pragma once
// The Zorbic colouring rules written down as plainly as they read, whole-rest-of-line
// copies and rescans included: slow, but easy to check by eye, so that the real
// highlighter can be compared with it on any input.
#include "core/text/char_case.h"

#include <set>
#include <string>
#include <vector>

namespace marlo::test {

class NaiveHighlighter {
public:
  explicit NaiveHighlighter(const std::vector<std::string>& keywords) {
    for (const std::string& k : keywords) keywords_.insert(UpperCaseText(k));
  }

  // Colours one line from `state`; returns the end state.
  int ColorLine(std::string text, int state, std::string& colors) const {
    size_t nul = text.find('\0');
    if (nul != std::string::npos) text.resize(nul);
    colors.assign(text.size(), '\0');
    size_t i = 0;
    auto ch = [&](size_t j) -> unsigned char {
      return j < text.size() ? static_cast<unsigned char>(text[j]) : 0;
    };
    auto fill = [&](size_t from, size_t to, char kind) {
      for (size_t j = from; j < to && j < colors.size(); ++j) colors[j] = kind;
    };
    auto toEnd = [&](size_t j) {
      ++j;
      while (ch(j) >= 32 || ch(j) == 9) ++j;
      return j;
    };
    while (ch(i) != 0) {
      unsigned char c = ch(i);
      std::string rest = AsciiUpper(text.substr(i));
      if (state == 2) {
        if (c == 9 || c >= 32) {
          if (rest == "REMEND" || (rest.size() >= 7 && rest.compare(0, 6, "REMEND") == 0 &&
                                   (rest[6] == ' ' || rest[6] == ':'))) {
            fill(i, i + 6, 2);
            i += 6;
            state = 0;
          } else {
            fill(i, i + 1, 2);
            ++i;
          }
        } else {
          ++i;
        }
        continue;
      }
      if (state != 0) {
        ++i;
        continue;
      }
      if (c == '`') {
        size_t j = toEnd(i);
        fill(i, j, 2);
        i = j;
      } else if (c == '"') {
        size_t j = i;
        for (;;) {
          ++j;
          bool open = false;
          while (ch(j) != '"') {
            if (ch(j) == 0 || (ch(j) < 32 && ch(j) != 9)) {
              open = true;
              break;
            }
            ++j;
          }
          if (open) break;
          ++j;
          if (ch(j) != '"') break;
        }
        fill(i, j, 1);
        i = j;
      } else if (IsAlnum(c) || c == '_' || c == '#') {
        if (rest == "REM" || rest.compare(0, 4, "REM ") == 0) {
          size_t j = toEnd(i);
          fill(i, j, 2);
          i = j;
        } else if (rest == "REMSTART" || rest.compare(0, 9, "REMSTART ") == 0) {
          size_t j = toEnd(i);
          fill(i, j, 2);
          i = j;
          state = 2;
        } else {
          size_t p = i;
          long k = -1;
          for (;;) {
            if ((ch(p) == ' ' || ch(p) == '(') && IsKeyword(text.substr(i, p - i)))
              k = static_cast<long>(p);
            ++p;
            unsigned char d = ch(p);
            if (d == 0 || !(IsAlnum(d) || d == ' ' || d == '#' || d == '$' || d == '&' ||
                            d == '(' || d == ')' || d == '_' || d == '|'))
              break;
          }
          if (IsKeyword(text.substr(i, p - i))) {
            fill(i, p, 6);
            i = p;
          } else if (k >= 0) {
            fill(i, static_cast<size_t>(k), 6);
            i = static_cast<size_t>(k);
          } else if (c >= '0' && c <= '9') {
            size_t j = i + 1;
            char kind = 4;
            while (IsDigit(ch(j))) ++j;
            auto exponent = [&] {
              ++j;
              if (ch(j) == '+' || ch(j) == '-') ++j;
              while (IsDigit(ch(j))) ++j;
            };
            if (ch(j) == '.' && IsDigit(ch(j + 1))) {
              ++j;
              while (IsDigit(ch(j))) ++j;
              if (ch(j) == 'E' || ch(j) == 'e') exponent();
              kind = 5;
            } else if (ch(j) == 'E' || ch(j) == 'e') {
              exponent();
              kind = 5;
            }
            fill(i, j, kind);
            i = j;
          } else {
            size_t j = i + 1;
            while (IsAlnum(ch(j)) || ch(j) == '_') ++j;
            fill(i, j, 3);
            i = j;
          }
        }
      } else {
        ++i;
      }
    }
    return state;
  }

private:
  static bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }
  static bool IsAlnum(unsigned char c) {
    return IsDigit(c) || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
  }
  static std::string AsciiUpper(std::string s) {
    for (char& c : s)
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return s;
  }
  bool IsKeyword(const std::string& text) const {
    return keywords_.count(UpperCaseText(text)) != 0;
  }

  std::set<std::string> keywords_;
};

} // namespace marlo::test
