// Sweeps the JSONTestSuite parsing corpus through the file loader. y_ files
// must load; n_ files are rejected unless the lenient dialect accepts them
// by design (the table below); no file may crash, hang or leak.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "jzon_test_util.h"

namespace {

const std::string kCorpus =
    FOCUSRATE_SOURCE_DIR "/../shared/corpus/json/JSONTestSuite/test_parsing";

// n_<name>.json files the dialect accepts, grouped by why strict JSON does not.
const char* const kAcceptedByDesign[] = {
    // Commas and colons optional, repeated or stray.
    "array_colon_instead_of_comma", "array_comma_after_close", "array_comma_and_number",
    "array_double_comma", "array_double_extra_comma", "array_extra_comma",
    "array_inner_array_no_comma", "array_just_comma", "array_missing_value",
    "array_number_and_comma", "array_number_and_several_commas", "object_comma_instead_of_colon",
    "object_double_colon", "object_garbage_at_end",
    "object_lone_continuation_byte_in_key_and_trailing_comma", "object_missing_key",
    "object_missing_semicolon", "object_several_trailing_commas", "object_trailing_comma",
    "object_two_commas_in_a_row", "object_with_single_string", "structure_whitespace_formfeed",
    // Input may end inside containers or strings.
    "array_incomplete", "array_newlines_unclosed", "array_unclosed",
    "array_unclosed_trailing_comma", "array_unclosed_with_new_lines",
    "array_unclosed_with_object_inside", "object_missing_value", "object_no-colon",
    "object_unterminated-value", "string_1_surrogate_then_escape", "string_escaped_backslash_bad",
    "string_incomplete_escape", "string_single_doublequote", "string_start_escape_unclosed",
    "structure_array_with_unclosed_string", "structure_comma_instead_of_closing_brace",
    "structure_lone-open-bracket", "structure_object_unclosed_no_value",
    "structure_open_array_comma", "structure_open_array_open_object",
    "structure_open_array_open_string", "structure_open_array_string", "structure_open_object",
    "structure_open_object_comma", "structure_open_object_open_array",
    "structure_open_object_open_string", "structure_unclosed_array", "structure_unclosed_object",
    // Any word of digits, '.' and '-' is a number.
    "array_just_minus", "number_-01", "number_-1.0.", "number_-2.", "number_.-1", "number_0.1.2",
    "number_1_000", "number_minus_space_1", "number_neg_int_starting_with_zero",
    "number_neg_real_without_int_part", "number_real_without_fractional_part",
    "number_starting_with_dot", "number_with_leading_zero",
    // String content is kept as written: no escape checks.
    "string_1_surrogate_then_escape_u", "string_1_surrogate_then_escape_u1",
    "string_1_surrogate_then_escape_u1x", "string_backslash_00", "string_escape_x",
    "string_escaped_ctrl_char_tab", "string_escaped_emoji", "string_incomplete_escaped_character",
    "string_incomplete_surrogate", "string_incomplete_surrogate_escape_invalid",
    "string_invalid-utf-8-in-escape", "string_invalid_backslash_esc",
    "string_invalid_unicode_escape", "string_invalid_utf8_after_escape",
    "string_unescaped_ctrl_char", "string_unescaped_newline", "string_unescaped_tab",
    "string_unicode_CapitalU",
    "object_trailing_comment", "object_trailing_comment_slash_open",  // comments are removed
    "structure_object_with_comment",
    "single_space", "structure_no_data",  // nothing significant: the root stays as it was
    "structure_capitalized_True",         // keywords in any letter case
    "structure_double_array",             // top-level containers of one kind fill one root
};

// Loads every file whose name starts with prefix into a root of the kind it
// asks for and returns the names of those that loaded; refused gets the rest.
// An accepted document must read back to the same tree from its written text.
std::set<std::string> Load(const std::string& prefix, std::set<std::string>& refused) {
  std::set<std::string> loaded;
  for (const auto& entry : std::filesystem::directory_iterator(kCorpus)) {
    const std::string name = entry.path().filename().string();
    if (name.compare(0, prefix.size(), prefix) != 0) continue;
    Jzon::FileLoader loader(entry.path().string());
    std::unique_ptr<Jzon::Node> root = jzon_test::MakeRoot(loader.DetectNodeType());
    const bool ok = loader.ParseInto(*root);
    for (const Jzon::WriteStyle& style : {Jzon::CompactStyle, Jzon::IndentedStyle})
      EXPECT_TRUE(!ok || jzon_test::ReadsBack(*root, style)) << name;
    (ok ? loaded : refused).insert(name);
  }
  return loaded;
}

TEST(Conformance, ValidLoadExactlyTheListedInvalidLoadAndNoneCrashes) {
  if (!std::filesystem::is_directory(kCorpus)) GTEST_SKIP() << "no corpus at " << kCorpus;
  std::set<std::string> refusedValid, refusedInvalid, refusedOther, listed;
  EXPECT_FALSE(Load("y_", refusedValid).empty());
  EXPECT_EQ(refusedValid, std::set<std::string>{});
  for (const char* name : kAcceptedByDesign) listed.insert("n_" + std::string(name) + ".json");
  EXPECT_EQ(Load("n_", refusedInvalid), listed);
  // Of the implementation-defined files only the three UTF-16 ones and the
  // UTF-8 one with a byte-order mark are refused: no text is converted, so
  // their first bytes form an unknown word.
  Load("i_", refusedOther);
  EXPECT_EQ(refusedOther.size(), 4u);
}

}  // namespace
