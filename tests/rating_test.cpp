// The rating library's run policy without files: bursts and ranking.
#include <cmath>
#include <optional>
#include <vector>

#include <gtest/gtest.h>

#include "burst_grouping.h"
#include "row_ranking.h"

using namespace focusrate;

namespace {

RatedImage Frame(double laplace, RateStatus status = RateStatus::Ok, std::uint64_t print = 0) {
  RatedImage rated;
  rated.status = status;
  rated.figures.laplace = laplace;
  rated.fingerprint = print;
  return rated;
}

SortKey Laplace() {
  SortKey key;
  ParseSortKey("laplace", key);
  return key;
}

struct Shot {
  RatedImage rated;
  std::optional<std::int64_t> time;
  std::size_t burst;  // expected
  double relative;    // expected, NaN for none
  bool pick;          // expected
};

}  // namespace

TEST(BurstGroupingPlaces, GapEdgeUnratedZeroBestAndDamagedFrames) {
  const double none = NAN;
  const std::vector<std::vector<Shot>> runs = {
      // exactly the gap apart joins; one microsecond more starts a burst
      {{Frame(2), 0, 1, 1, true}, {Frame(1), 1000000, 1, 0.5, false},
       {Frame(4), 2000001, 2, 1, true}},
      // an unrated frame belongs to none and ends the burst before it
      {{Frame(1), 0, 1, 1, true}, {Frame(none, RateStatus::NotFound), std::nullopt, 0, none, false},
       {Frame(1), 1, 2, 1, true}},
      // a featureless burst: every frame is as good as the best, the first picked
      {{Frame(0), 0, 1, 1, true}, {Frame(0), 1, 1, 1, false}},
      // a damaged frame is never judged, however high it rates
      {{Frame(9, RateStatus::Damaged), 0, 1, none, false}, {Frame(3), 1, 1, 1, true}},
      // an unknown time or another scene starts a burst
      {{Frame(1), 0, 1, 1, true}, {Frame(1), std::nullopt, 2, 1, true},
       {Frame(1, RateStatus::Ok, ~0ULL), std::nullopt, 3, 1, true}},
  };
  for (size_t r = 0; r < runs.size(); ++r) {
    BurstGrouping bursts(1000000, Laplace());
    std::vector<RankedRow> rows;
    for (size_t i = 0; i < runs[r].size(); ++i)
      for (RankedRow& row : bursts.Add(i, runs[r][i].rated, runs[r][i].time)) rows.push_back(row);
    for (RankedRow& row : bursts.Finish()) rows.push_back(row);
    ASSERT_EQ(rows.size(), runs[r].size()) << "run " << r;
    for (size_t i = 0; i < rows.size(); ++i) {
      SCOPED_TRACE(testing::Message() << "run " << r << " frame " << i);
      const Shot& want = runs[r][i];
      const BurstPlace& got = rows[i].second.place;
      EXPECT_EQ(rows[i].first, i);
      EXPECT_EQ(got.burst, want.burst);
      EXPECT_EQ(got.pick, want.pick);
      if (std::isnan(want.relative)) EXPECT_TRUE(std::isnan(got.relative));
      else EXPECT_EQ(got.relative, want.relative);
    }
  }
}

TEST(RankingTake, BestFirstTiesInInputOrderUnratedLastTrimmedToKeep) {
  const std::vector<RatedImage> rows = {Frame(1), Frame(NAN), Frame(3),
                                        Frame(5, RateStatus::NotFound), Frame(3), Frame(2)};
  const struct { size_t keep; std::vector<size_t> order; } cases[] = {
      {100, {2, 4, 5, 0, 1, 3}}, {2, {2, 4}}, {1, {2}}};
  for (const auto& c : cases) {
    Ranking ranking(Laplace(), c.keep);
    for (size_t i = 0; i < rows.size(); ++i) ranking.Add(i, rows[i]);
    std::vector<size_t> order;
    for (const RankedRow& row : ranking.Take()) order.push_back(row.first);
    EXPECT_EQ(order, c.order) << "keep " << c.keep;
  }
}
