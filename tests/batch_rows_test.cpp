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

struct QuoteCase {
  const char* field;
  const char* csv;
};

constexpr QuoteCase kQuoteCases[] = {
    {"plain/a.jpg", "plain/a.jpg"},
    {"with space.jpg", "with space.jpg"},
    {"a,b.jpg", "\"a,b.jpg\""},
    {"say \"cheese\".jpg", "\"say \"\"cheese\"\".jpg\""},
    {"line\nbreak.jpg", "\"line\nbreak.jpg\""},
    {"cr\rhere.jpg", "\"cr\rhere.jpg\""},
    {"\"", "\"\"\"\""},
    {"", ""},
};

TEST(BatchRowsCsv, QuotesOnlyFieldsThatNeedIt) {
  for (const QuoteCase& c : kQuoteCases) {
    SCOPED_TRACE(c.field);
    EXPECT_EQ(CsvField(c.field), c.csv);
  }
}

RatedImage Rated(double a, double b, double c, double d) {
  RatedImage rated;
  rated.figures = {a, b, c, d};
  return rated;
}

TEST(BatchRowsCsv, FiguresAsTheResultFileWritesThemAndEmptyWhenMissing) {
  const RatedImage ok = Rated(1234.5678, 0.1, 1e-7, 3e9);
  EXPECT_EQ(RowLine(RowFormat::Csv, "x.png", ok),
            "x.png," + FigureByHand(1234.5678) + "," + FigureByHand(0.1) + "," +
                FigureByHand(1e-7) + "," + FigureByHand(3e9) + ",ok\n");
  EXPECT_EQ(RowLine(RowFormat::Csv, "black.png", Rated(0, 0, 0, NAN)),
            "black.png,0,0,0,,ok\n");
  RatedImage bad;
  bad.status = RateStatus::CannotDecode;
  EXPECT_EQ(RowLine(RowFormat::Csv, "bad.jpg", bad), "bad.jpg,,,,,cannot decode\n");
  EXPECT_EQ(HeaderLine(RowFormat::Csv), "path,laplace,variance_lap,tenengrad,gray_level,status\n");
  EXPECT_EQ(HeaderLine(RowFormat::Jsonl), "");
}

TEST(BatchRowsJsonl, OneParsableObjectPerLine) {
  RatedImage outside;
  outside.status = RateStatus::OutsideRegion;
  struct Row {
    std::string path;
    RatedImage rated;
    std::string status;
  };
  const Row rows[] = {{"dir/a.png", Rated(1234.5678, 2, 3, 4), "ok"},
                      {"back\\slash \"quoted\".jpg", Rated(0, 0, 0, NAN), "ok"},
                      {"tiny.png", outside, "region outside image"}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.path);
    const std::string line = RowLine(RowFormat::Jsonl, row.path, row.rated);
    ASSERT_EQ(line.find('\n'), line.size() - 1);
    Jzon::Object parsed;
    Jzon::TextParser parser(parsed, line);
    ASSERT_TRUE(parser.Run()) << parser.ErrorMessage();
    const char* names[] = {"path", "Laplace", "Variance-Lap", "Tenengrad", "Gray-Level",
                           "status"};
    ASSERT_EQ(parsed.ChildCount(), 6u);
    unsigned i = 0;
    for (const auto& member : parsed) EXPECT_EQ(member.first, names[i++]);
    EXPECT_EQ(parsed.ChildNamed("path").ToString(), row.path);
    EXPECT_EQ(parsed.ChildNamed("status").ToString(), row.status);
    const FocusFigures& f = row.rated.figures;
    const double figures[] = {f.laplace, f.varianceLap, f.tenengrad, f.grayLevel};
    for (int k = 0; k < 4; ++k)
      EXPECT_EQ(parsed.ChildNamed(names[k + 1]).ToString(), FigureByHand(figures[k]));
  }
}

// Expected order from the rule itself: finite figures descending, ties and
// rows without a figure in input order, the latter last.
std::vector<size_t> OrderByHand(const std::vector<RatedImage>& rows, size_t keep) {
  std::vector<size_t> order(rows.size());
  for (size_t i = 0; i < rows.size(); ++i) order[i] = i;
  auto key = [&](size_t i) {
    const double f = rows[i].figures.tenengrad;
    return WasRated(rows[i]) && std::isfinite(f) ? f : -INFINITY;
  };
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    const bool ha = key(a) != -INFINITY, hb = key(b) != -INFINITY;
    if (ha != hb) return ha;
    return ha && key(a) > key(b);
  });
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
  Measure m;
  ASSERT_TRUE(ParseMeasure("variance-lap", m));
  EXPECT_EQ(m, Measure::VarianceLap);
  ASSERT_TRUE(ParseMeasure("gray-level", m));
  EXPECT_EQ(m, Measure::GrayLevel);
  EXPECT_FALSE(ParseMeasure("Laplace", m));
  EXPECT_FALSE(ParseMeasure("variance_lap", m));
}

}  // namespace
