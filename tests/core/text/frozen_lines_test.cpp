// A frozen copy of the lines reads back the lines as they stood, whatever the store did
// before (loads in one piece or two halves, tabs, every line end, edits, moved lines) and
// whatever it does after (edits, a clear, a new load), also while another thread reads it.
#include "core/platform/memory.h"
#include "core/text/internal_strings.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace marlo::test {
namespace {

using Lines = std::vector<std::string>;

Lines LinesOf(const TInternalStrings& store) {
  Lines lines;
  for (int i = 0; i < store.Count(); ++i) lines.emplace_back(store.Text(i));
  return lines;
}

Lines Read(const TFrozenLines& frozen) {
  Lines lines;
  TFrozenLines::TReader reader(frozen);
  for (int i = 0; i < frozen.Count(); ++i) lines.emplace_back(reader.Next());
  return lines;
}

size_t Bytes(const Lines& lines) {
  size_t n = 0;
  for (const std::string& line : lines) n += line.size();
  return n;
}

void Load(TInternalStrings& store, const std::string& text, bool keepTabs = false) {
  platform::ByteBlock block = platform::AllocateBytes(text.size() + 1);
  std::memcpy(block.get(), text.data(), text.size());
  block[text.size()] = '\0';
  store.LoadBulk(std::move(block), text.size(), 3, keepTabs);
}

// A text with every line end, tabs (whose lines live apart from the loaded bytes), dropped
// trailing blanks, empty lines, and lines too long for the one-byte code.
std::string MixedText(std::mt19937& rng, size_t size) {
  const std::string pieces[] = {"print x", "\t",   "   ", "\r\n", "\n",
                                "\r",      "sync", " ",   "a=1",  std::string(200, 'w'),
                                "\n\n\n",  "\t\t"};
  std::string text;
  while (text.size() < size) text += pieces[rng() % std::size(pieces)];
  return text;
}

// One random change of the store, as the editor makes them.
void Edit(TInternalStrings& store, std::mt19937& rng) {
  const int count = store.Count();
  const int line = count ? static_cast<int>(rng() % static_cast<unsigned>(count)) : 0;
  const std::string text(rng() % 3 ? rng() % 40 : 300, static_cast<char>('a' + rng() % 26));
  switch (count ? rng() % 8 : 0) {
  case 0:
    store.Insert(line, text);
    break;
  case 1:
    store.Delete(line);
    break;
  case 2:
    store.SetText(line, text);
    break;
  case 3:
    store.InsertChars(line, rng() % 10, text);
    break;
  case 4:
    store.EraseChars(line, rng() % 10, rng() % 5);
    break;
  case 5:
    store.Append(line, text);
    break;
  case 6:
    store.Extra(line);
    break;  // the line gets a block of its own
  case 7: { // a line moved down, as Ctrl+Shift+Down does
    if (line + 1 >= count) break;
    const std::string moved(store.Text(line));
    store.Delete(line);
    store.Insert(line + 1, moved);
    break;
  }
  }
}

TEST(FrozenLines, ReadBackTheLinesAsTheyStoodWhateverComesAfter) {
  const size_t saved = TInternalStrings::ParallelLoadThreshold;
  std::mt19937 rng(11);
  for (size_t threshold : {SIZE_MAX, size_t(1) << 14}) { // in one piece, and in two halves
    TInternalStrings::ParallelLoadThreshold = threshold;
    for (int round = 0; round < 6; ++round) {
      SCOPED_TRACE("threshold " + std::to_string(threshold) + ", round " + std::to_string(round));
      TInternalStrings store;
      Load(store, MixedText(rng, 40000), round % 2 == 0);
      for (int n = round * 40; n > 0; --n) Edit(store, rng);
      const Lines expected = LinesOf(store);
      const TFrozenLines frozen = store.Freeze();
      ASSERT_EQ(frozen.Count(), static_cast<int>(expected.size()));
      EXPECT_EQ(frozen.TextBytes(), Bytes(expected));
      EXPECT_EQ(Read(frozen), expected);
      // The store goes on, and lets go of its buffers: the copy keeps what it shares.
      for (int n = 0; n < 200; ++n) Edit(store, rng);
      EXPECT_EQ(Read(frozen), expected);
      Load(store, "new\ntext");
      store.Clear();
      EXPECT_EQ(Read(frozen), expected);
    }
  }
  TInternalStrings::ParallelLoadThreshold = saved;
}

TEST(FrozenLines, EmptyAndOddStores) {
  TInternalStrings store;
  EXPECT_EQ(store.Freeze().Count(), 0);
  store.Insert(0, "");
  store.Insert(1, std::string(1 << 20, 'x')); // longer than any short code
  store.Insert(2, "");
  EXPECT_EQ(Read(store.Freeze()), LinesOf(store));
  Load(store, "\n\n\r\n\r");
  EXPECT_EQ(Read(store.Freeze()), LinesOf(store));
  // Loaded lines whose tails were cut, so that they end further from the next one.
  Load(store, "one two\nthree four\nfive six\n");
  for (int i = 0; i < store.Count(); ++i) store.EraseChars(i, 3, 100);
  EXPECT_EQ(Read(store.Freeze()), LinesOf(store));
}

// A second thread reads while the first edits: the copy shares no bytes the store writes.
TEST(FrozenLines, ReadOnAnotherThreadWhileTheStoreChanges) {
  std::mt19937 rng(5);
  TInternalStrings store;
  Load(store, MixedText(rng, 200000));
  for (int n = 0; n < 50; ++n) Edit(store, rng);
  const Lines expected = LinesOf(store);
  const TFrozenLines frozen = store.Freeze();
  Lines read;
  std::thread reader([&] {
    for (int pass = 0; pass < 20; ++pass) read = Read(frozen);
  });
  for (int n = 0; n < 2000; ++n) Edit(store, rng);
  store.Clear();
  reader.join();
  EXPECT_EQ(read, expected);
}

} // namespace
} // namespace marlo::test
