#pragma once
// Letter case per byte through a fixed table: the ASCII letters and the letters of the
// Windows-1252 code page. Never the process locale, never a change of length.
#include <string>

namespace marlo {

unsigned char UpperChar(unsigned char c);
unsigned char LowerChar(unsigned char c);
std::string UpperCaseText(std::string s);
std::string LowerCaseText(std::string s);
std::string ToggleCaseText(std::string s);

} // namespace marlo
