#include "core/text/char_case.h"

#include <array>

namespace marlo {

namespace {

struct CaseTables {
  std::array<unsigned char, 256> upper{}, lower{};
  CaseTables() {
    for (int c = 0; c < 256; ++c) upper[c] = lower[c] = static_cast<unsigned char>(c);
    auto pair = [this](int u, int l) {
      upper[l] = static_cast<unsigned char>(u);
      lower[u] = static_cast<unsigned char>(l);
    };
    for (int c = 'A'; c <= 'Z'; ++c) pair(c, c + 32);
    for (int c = 0xC0; c <= 0xDE; ++c)
      if (c != 0xD7) pair(c, c + 32); // multiplication sign and division sign are no letters
    pair(0x8A, 0x9A);                 // S caron
    pair(0x8C, 0x9C);                 // OE
    pair(0x8E, 0x9E);                 // Z caron
    pair(0x9F, 0xFF);                 // Y diaeresis
  }
};

const CaseTables& Tables() {
  static const CaseTables tables;
  return tables;
}

} // namespace

unsigned char UpperChar(unsigned char c) {
  return Tables().upper[c];
}
unsigned char LowerChar(unsigned char c) {
  return Tables().lower[c];
}

std::string UpperCaseText(std::string s) {
  for (char& c : s) c = static_cast<char>(UpperChar(static_cast<unsigned char>(c)));
  return s;
}

std::string LowerCaseText(std::string s) {
  for (char& c : s) c = static_cast<char>(LowerChar(static_cast<unsigned char>(c)));
  return s;
}

std::string ToggleCaseText(std::string s) {
  for (char& c : s) {
    auto u = static_cast<unsigned char>(c);
    unsigned char up = UpperChar(u);
    c = static_cast<char>(up != u ? up : LowerChar(u));
  }
  return s;
}

} // namespace marlo
