// The found-text range the views paint: its spans per line and the lines it reports.
#include "core/text/memo_source.h"
#include "model_test_util.h"

#include <gtest/gtest.h>

#include <climits>

namespace marlo::test {
namespace {

TEST(FoundText, SpansAndRepaintedLines) {
  auto m = BaseModel({"alpha", "beta", "gamma", "delta"});
  ScopedView scoped(*m);
  int from = 0, to = 0;
  EXPECT_FALSE(m->FoundSpan(0, from, to));

  m->SetFoundText({4, 2}, {1, 1}); // given backwards: ordered
  EXPECT_EQ(m->FoundBegin(), (TPoint{1, 1}));
  ASSERT_EQ(scoped.view.Count(), 1);
  EXPECT_TRUE(scoped.view.Last().Flags.Has(chFoundText));
  EXPECT_EQ(scoped.view.Last().FirstLine, 1);
  EXPECT_EQ(scoped.view.Last().LastLine, 2);
  ASSERT_TRUE(m->FoundSpan(1, from, to));
  EXPECT_EQ(from, 1);
  EXPECT_EQ(to, INT_MAX);
  ASSERT_TRUE(m->FoundSpan(2, from, to));
  EXPECT_EQ(from, 0);
  EXPECT_EQ(to, 4);
  EXPECT_FALSE(m->FoundSpan(3, from, to));

  // Moving the range repaints where it was and where it is; the same range is no change.
  m->SetFoundText({0, 3}, {2, 3});
  EXPECT_EQ(scoped.view.Last().FirstLine, 1);
  EXPECT_EQ(scoped.view.Last().LastLine, 3);
  m->SetFoundText({0, 3}, {2, 3});
  EXPECT_EQ(scoped.view.Count(), 2);
  m->ClearFoundText();
  EXPECT_EQ(scoped.view.Last().FirstLine, 3);
  EXPECT_FALSE(m->HasFoundText());
  EXPECT_FALSE(m->Modified());
  EXPECT_FALSE(m->CanUndo());
}

} // namespace
} // namespace marlo::test
