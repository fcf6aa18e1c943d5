// focusrank's rows: CSV quoting, the JSON Lines form, and ranking.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "batch_rows.h"
#include "cli_test_util.h"
#include "jzon.h"
#include "row_ranking.h"

namespace {

RatedImage Rated(double a, double b, double c, double d) {
  RatedImage rated;
  rated.figures = {a, b, c, d};
  return rated;
}

TEST(BatchRowsCsv, QuotesOnlyFieldsThatNeedIt) {
  const std::pair<const char*, const char*> cases[] = {
      {"plain/a.jpg", "plain/a.jpg"},
      {"with space.jpg", "with space.jpg"},
      {"a,b.jpg", "\"a,b.jpg\""},
      {"say \"cheese\".jpg", "\"say \"\"cheese\"\".jpg\""},
      {"line\nbreak.jpg", "\"line\nbreak.jpg\""},
      {"cr\rhere.jpg", "\"cr\rhere.jpg\""},
      {"\"", "\"\"\"\""},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(CsvField(c.first), c.second) << c.first;
}

TEST(BatchRowsJsonl, OneParsableObjectPerLine) {
  const struct {
    std::string path;
    RatedImage rated;
    std::string status;
  } rows[] = {{"dir/a.png", Rated(1234.5678, 2, 3, 4), "ok"},
              {"back\\slash \"quoted\".jpg", Rated(0, 0, 0, NAN), "ok"},
              {"tiny.png", RatedImage{RateStatus::TooLarge}, "too large"}};
  const char* names[] = {"path", "Laplace", "Variance-Lap", "Tenengrad", "Gray-Level", "status"};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.path);
    const std::string line = RowLine(RowFormat::Jsonl, row.path, row.rated);
    ASSERT_EQ(line.find('\n'), line.size() - 1);
    Jzon::Object parsed;
    Jzon::TextParser parser(parsed, line);
    ASSERT_TRUE(parser.Run()) << parser.ErrorMessage();
    ASSERT_EQ(parsed.ChildCount(), 6u);
    unsigned i = 0;
    for (const auto& member : parsed) EXPECT_EQ(member.first, names[i++]);
    const FocusFigures& f = row.rated.figures;
    const std::string texts[] = {row.path, FigureByHand(f.laplace), FigureByHand(f.varianceLap),
                                 FigureByHand(f.tenengrad), FigureByHand(f.grayLevel), row.status};
    for (int k = 0; k < 6; ++k) EXPECT_EQ(parsed.ChildNamed(names[k]).ToString(), texts[k]);
  }
}

// Expected order from the rule itself: finite figures descending, ties and
// rows without a figure in input order, the latter last.
std::vector<size_t> OrderByHand(const std::vector<RatedImage>& rows, size_t keep) {
  std::vector<size_t> order(rows.size());
  for (size_t i = 0; i < rows.size(); ++i) order[i] = i;
  auto key = [&](size_t i) {
    const double f = rows[i].figures.tenengrad;
    return rows[i].status == RateStatus::Ok && std::isfinite(f) ? f : -INFINITY;
  };
  std::stable_sort(order.begin(), order.end(),
                   [&](size_t a, size_t b) { return key(a) > key(b); });
  order.resize(std::min(keep, order.size()));
  return order;
}

TEST(RowRanking, SharpestFirstStableMissingLastAndTopKeepsTheFirst) {
  std::mt19937 rng(2024);
  std::vector<RatedImage> rows;
  for (int i = 0; i < 500; ++i) {
    RatedImage r = Rated(0, 0, static_cast<double>(rng() % 40), 0);  // many ties
    if (i % 17 == 0) r.figures.tenengrad = NAN;
    if (i % 23 == 0) r.status = RateStatus::CannotDecode;
    if (i % 29 == 0) r.status = RateStatus::OutsideRegion;
    rows.push_back(r);
  }
  for (size_t keep : {size_t{1}, size_t{7}, size_t{100}, size_t{499}, size_t{10000}}) {
    SCOPED_TRACE(keep);
    Ranking ranking(Measure::Tenengrad, keep);
    for (size_t i = 0; i < rows.size(); ++i) ranking.Add(i, rows[i]);
    std::vector<size_t> got;
    for (const RankedRow& row : ranking.Take()) got.push_back(row.first);
    EXPECT_EQ(got, OrderByHand(rows, keep));
  }
}

TEST(RowRanking, MeasureNames) {
  const std::pair<const char*, Measure> known[] = {{"laplace", Measure::Laplace},
                                                   {"variance-lap", Measure::VarianceLap},
                                                   {"tenengrad", Measure::Tenengrad},
                                                   {"gray-level", Measure::GrayLevel}};
  Measure m;
  for (const auto& k : known) {
    ASSERT_TRUE(ParseMeasure(k.first, m)) << k.first;
    EXPECT_EQ(m, k.second) << k.first;
  }
  EXPECT_FALSE(ParseMeasure("Laplace", m));
  EXPECT_FALSE(ParseMeasure("variance_lap", m));
}

}  // namespace
