// Reads arbitrary bytes as a recovery journal: either an error, or a text whose saved bytes
// add up, and which written again as a fresh snapshot reads back the same. Inputs that start
// with '!' are cut into records (a kind byte, a length byte, the payload) that get a header
// and their checksums, so that the content of records is explored too, not only the
// checksums that guard it.
#include "core/error.h"
#include "ui/recovery/journal.h"
#include "ui/recovery/journal_format.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void Require(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "fuzz_journal: %s\n", what);
    std::abort();
  }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace marlo::recovery;
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::string framed;
  if (!bytes.empty() && bytes[0] == '!') {
    framed = format::Header();
    for (size_t at = 1; at + 2 <= bytes.size();) {
      const auto kind = static_cast<format::TRecordKind>(bytes[at]);
      const size_t length =
          std::min<size_t>(static_cast<unsigned char>(bytes[at + 1]), bytes.size() - at - 2);
      format::PutRecord(framed, kind, bytes.substr(at + 2, length));
      at += 2 + length;
    }
    bytes = framed;
  }
  TRecoveredText text;
  try {
    text = ParseJournal(bytes);
  } catch (const marlo::Error&) {
    return 0;
  }
  size_t chars = 0;
  for (const std::string& line : text.Lines) chars += line.size();
  text.State.OutFormat = 2; // one LF after every line
  Require(SavedBytes(text).size() == chars + text.Lines.size(), "saved bytes do not add up");

  std::string again = format::Header();
  format::PutRecord(again, format::rkState, format::StatePayload(text.State));
  format::PutSnapshot(again, text.Lines.size(),
                      [&](uint64_t i) -> std::string_view { return text.Lines[i]; });
  TRecoveredText back = ParseJournal(again);
  Require(back.Lines == text.Lines, "a snapshot of the text reads back otherwise");
  Require(back.State == text.State && !back.TornTail, "the state reads back otherwise");
  return 0;
}
