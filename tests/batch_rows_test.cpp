// focusrank's CSV quoting, one path character at a time; the rows as a
// whole and their ranking are checked through the program in focusrank_cli_test.
#include <gtest/gtest.h>

#include "batch_rows.h"

using namespace focusrate;

namespace {

TEST(BatchRowsCsv, QuotesOnlyFieldsThatNeedIt) {
  const std::pair<const char*, const char*> cases[] = {
      {"plain/a.jpg", "plain/a.jpg"}, {"with space.jpg", "with space.jpg"}, {"", ""},
      {"a,b.jpg", "\"a,b.jpg\""},     {"say \"cheese\".jpg", "\"say \"\"cheese\"\".jpg\""},
      {"line\nbreak", "\"line\nbreak\""}, {"cr\rhere", "\"cr\rhere\""}, {"\"", "\"\"\"\""}};
  for (const auto& [path, field] : cases) EXPECT_EQ(CsvField(path), field) << path;
}

}  // namespace
