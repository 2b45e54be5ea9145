#pragma once
// The Zorbic colouring rules written down as plainly as they read, whole-rest-of-line
// copies and rescans included: slow, but easy to check by eye, so that the real
// highlighter can be compared with it on any input.
#include "core/text/char_case.h"

#include <algorithm>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace marlo::test {

class NaiveHighlighter {
public:
  explicit NaiveHighlighter(const std::vector<std::string>& keywords) {
    for (const std::string& k : keywords) keywords_.insert(UpperCaseText(k));
  }

  // Colours one line from `state` (0 plain, 2 inside a remark block); returns the end state.
  int ColorLine(std::string text, int state, std::string& colors) const {
    text.resize(std::min(text.size(), text.find('\0')));
    colors.assign(text.size(), '\0');
    size_t i = 0;
    auto ch = [&](size_t j) -> unsigned char {
      return j < text.size() ? static_cast<unsigned char>(text[j]) : 0;
    };
    auto visible = [&](size_t j) { return ch(j) >= 32 || ch(j) == 9; };
    // Colours from i up to `to` and goes on there.
    auto take = [&](size_t to, char kind) {
      for (size_t j = i; j < to && j < colors.size(); ++j) colors[j] = kind;
      i = to;
    };
    auto toEnd = [&] {
      size_t j = i + 1;
      while (visible(j)) ++j;
      return j;
    };
    while (ch(i) != 0) {
      const unsigned char c = ch(i);
      const std::string rest = UpperCaseText(text.substr(i));
      auto word = [&](const std::string& w) { return rest == w || rest.rfind(w + " ", 0) == 0; };
      if (state == 2) {
        const bool remend =
            rest.rfind("REMEND", 0) == 0 && (rest.size() == 6 || rest[6] == ' ' || rest[6] == ':');
        if (!visible(i)) {
          ++i;
        } else if (remend) {
          take(i + 6, 2);
          state = 0;
        } else {
          take(i + 1, 2);
        }
      } else if (state != 0) {
        ++i;
      } else if (c == '`') {
        take(toEnd(), 2);
      } else if (c == '"') {
        // "" inside a string is a quote; the line's end or a control character leaves it open.
        size_t j = i + 1;
        for (;;) {
          while (visible(j) && ch(j) != '"') ++j;
          if (ch(j) != '"' || ch(++j) != '"') break;
          ++j;
        }
        take(j, 1);
      } else if (IsAlnum(c) || c == '_' || c == '#') {
        const bool blockStart = word("REMSTART");
        if (blockStart || word("REM")) {
          take(toEnd(), 2);
          if (blockStart) state = 2;
          continue;
        }
        // The whole run of keyword characters when it is a keyword, else the longest part
        // of it that is one and ends before a blank or a parenthesis.
        auto inRun = [](unsigned char d) {
          return d != 0 && (IsAlnum(d) || std::string_view(" #$&()_|").find(static_cast<char>(d)) !=
                                              std::string_view::npos);
        };
        size_t p = i, k = 0;
        do {
          if ((ch(p) == ' ' || ch(p) == '(') && IsKeyword(text.substr(i, p - i))) k = p;
        } while (inRun(ch(++p)));
        if (IsKeyword(text.substr(i, p - i))) {
          take(p, 6);
        } else if (k > 0) {
          take(k, 6);
        } else if (IsDigit(c)) {
          // Integers 4; a fraction or an exponent makes a float, 5.
          size_t j = i + 1;
          char kind = 4;
          auto digits = [&] {
            while (IsDigit(ch(j))) ++j;
          };
          digits();
          if (ch(j) == '.' && IsDigit(ch(j + 1))) ++j, digits(), kind = 5;
          if (ch(j) == 'E' || ch(j) == 'e') {
            if (ch(++j) == '+' || ch(j) == '-') ++j;
            digits();
            kind = 5;
          }
          take(j, kind);
        } else {
          size_t j = i + 1;
          while (IsAlnum(ch(j)) || ch(j) == '_') ++j;
          take(j, 3);
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
  bool IsKeyword(const std::string& text) const {
    return keywords_.count(UpperCaseText(text)) != 0;
  }

  std::set<std::string> keywords_;
};

} // namespace marlo::test
