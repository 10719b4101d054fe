// A study row as CSV (RFC 4180) and as JSON Lines: quoting, joined texts,
// missing values and the header from the same code.

#include "studies/row_builder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace propclear {
namespace {

TEST(RowBuilder, CsvQuotesFieldsWithCommasQuotesAndLineEnds) {
  RowBuilder row(RowFormat::Csv, true);
  row.text("plain", "b' overlaps");
  row.text("comma", "x = 1.5 m, z = 2 m");
  row.text("quotes", "the \"heel\" and \"\"");
  row.text("line end", "one\r\ntwo");
  row.texts("warnings", {"first, with a comma", "second \"quoted\""});
  row.missing("gap");
  row.number("D", 4.6);
  EXPECT_EQ(row.takeRow(),
            "b' overlaps,\"x = 1.5 m, z = 2 m\",\"the \"\"heel\"\" and \"\"\"\"\","
            "\"one\r\ntwo\",\"first, with a comma; second \"\"quoted\"\"\",,4.6\r\n");
  EXPECT_EQ(headerLine(RowFormat::Csv, row.columnNames()),
            "plain,comma,quotes,line end,warnings,gap,D\r\n");
}

TEST(RowBuilder, JsonLinesKeepsTextsAsAnArrayAndMissingAsNull) {
  RowBuilder row(RowFormat::JsonLines);
  row.texts("warnings", {"a \"quote\"", "b"});
  row.missing("gap");
  row.flag("overlaps", false);
  EXPECT_EQ(row.takeRow(), "{\"warnings\":[\"a \\\"quote\\\"\",\"b\"],\"gap\":null,\"overlaps\":false}\n");
  EXPECT_EQ(headerLine(RowFormat::JsonLines, {"warnings"}), "");
}

}  // namespace
}  // namespace propclear
