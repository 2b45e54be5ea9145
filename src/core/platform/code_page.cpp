#include "core/platform/code_page.h"

#include <iconv.h>

#include <cstdio>
#include <map>
#include <memory>
#include <mutex>
#include <set>

namespace marlo::platform {

namespace {

struct TCharSetPage {
  int CharSet;
  int CodePage;
};

constexpr TCharSetPage kCharSetPages[] = {
    {0, 1252},   {1, 1252},   {238, 1250}, {204, 1251}, {161, 1253}, {162, 1254},
    {177, 1255}, {178, 1256}, {186, 1257}, {163, 1258}, {222, 874},
};

// Windows-1252 from 0x80 to 0x9F; the five bytes the page leaves undefined keep their
// C1 control character, so that every byte survives a round trip.
constexpr char16_t k1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::mutex& Lock() {
  static std::mutex m;
  return m;
}

// `format` takes the number.
void WarnOnce(const char* format, int number) {
  static std::set<std::pair<std::string, int>> told;
  if (!told.emplace(format, number).second) return;
  std::fprintf(stderr, format, number);
}

} // namespace

int CodePageOfCharSet(int charSet) {
  for (const TCharSetPage& p : kCharSetPages)
    if (p.CharSet == charSet) return p.CodePage;
  return 0;
}

TCodePage::TCodePage(int number) {
  if (number != kDefault && LoadFromIconv(number)) {
    number_ = number;
  } else {
    LoadWindows1252();
    number_ = kDefault;
  }
  BuildReverse();
}

void TCodePage::LoadWindows1252() {
  for (int b = 0; b < 256; ++b) toUnicode_[b] = static_cast<char16_t>(b);
  for (int b = 0x80; b < 0xA0; ++b) toUnicode_[b] = k1252High[b - 0x80];
}

bool TCodePage::LoadFromIconv(int number) {
  std::string name = "CP" + std::to_string(number);
  if (number == 874) name = "TIS-620"; // the Thai page's letters; 0x80-0x9F as below
  iconv_t cd = iconv_open("UTF-16LE", name.c_str());
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  for (int b = 0; b < 256; ++b) {
    char in = static_cast<char>(b);
    char out[16] = {};
    char* inp = &in;
    char* outp = out;
    size_t inLeft = 1, outLeft = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    size_t r = iconv(cd, &inp, &inLeft, &outp, &outLeft);
    // Pages that combine characters hold the last one back until told the input ended.
    if (r != static_cast<size_t>(-1)) iconv(cd, nullptr, nullptr, &outp, &outLeft);
    size_t produced = sizeof out - outLeft;
    if (r == static_cast<size_t>(-1) || produced < 2) {
      // A byte the page leaves undefined keeps a code of its own.
      toUnicode_[b] = static_cast<char16_t>(b);
      continue;
    }
    toUnicode_[b] = static_cast<char16_t>(static_cast<unsigned char>(out[0]) |
                                          (static_cast<unsigned char>(out[1]) << 8));
  }
  iconv_close(cd);
  if (number == 874) {
    // TIS-620 leaves 0x80-0x9F out; Windows-874 puts the euro, the ellipsis and the
    // quotes there.
    const std::pair<int, char16_t> extra[] = {{0x80, 0x20AC}, {0x85, 0x2026}, {0x91, 0x2018},
                                              {0x92, 0x2019}, {0x93, 0x201C}, {0x94, 0x201D},
                                              {0x95, 0x2022}, {0x96, 0x2013}, {0x97, 0x2014}};
    for (auto [b, u] : extra) toUnicode_[b] = u;
  }
  return true;
}

void TCodePage::BuildReverse() {
  fromUnicode_.assign(0x10000, 0);
  // From the top down, so that a character two bytes share maps to the lower byte.
  for (int b = 255; b >= 0; --b) fromUnicode_[toUnicode_[b]] = static_cast<uint16_t>(b + 1);
}

bool TCodePage::FromUnicode(char16_t ch, unsigned char& byte) const {
  uint16_t v = fromUnicode_[ch];
  if (v == 0) return false;
  byte = static_cast<unsigned char>(v - 1);
  return true;
}

std::u16string TCodePage::Decode(std::string_view bytes) const {
  std::u16string out(bytes.size(), u'\0');
  for (size_t i = 0; i < bytes.size(); ++i)
    out[i] = toUnicode_[static_cast<unsigned char>(bytes[i])];
  return out;
}

std::string TCodePage::Encode(std::u16string_view text, char replacement) const {
  std::string out;
  out.reserve(text.size());
  for (char16_t ch : text) {
    unsigned char b = 0;
    out.push_back(FromUnicode(ch, b) ? static_cast<char>(b) : replacement);
  }
  return out;
}

const TCodePage& TCodePage::Get(int codePage) {
  std::lock_guard<std::mutex> guard(Lock());
  static std::map<int, std::unique_ptr<TCodePage>> pages;
  auto it = pages.find(codePage);
  if (it != pages.end()) return *it->second;
  std::unique_ptr<TCodePage> page(new TCodePage(codePage));
  if (page->Number() != codePage)
    WarnOnce("marlo: code page %d is not available here; Windows-1252 is used instead\n", codePage);
  return *pages.emplace(codePage, std::move(page)).first->second;
}

const TCodePage& TCodePage::ForCharSet(int charSet) {
  int page = CodePageOfCharSet(charSet);
  if (page == 0) {
    {
      std::lock_guard<std::mutex> guard(Lock());
      WarnOnce("marlo: character set %d has no code page here; Windows-1252 is used instead\n",
               charSet);
    }
    page = kDefault;
  }
  return Get(page);
}

} // namespace marlo::platform
