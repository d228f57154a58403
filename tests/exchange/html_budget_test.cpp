// The HTML table reader reads in one pass: inputs of 1 MB built to make a
// reader go back over what it read stay far below a second.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "exchange/text_table.h"

using namespace qv;

namespace {

double SecondsToParse(const std::string& Html, TTextTable& Table) {
    const auto start = std::chrono::steady_clock::now();
    Table = ParseHtmlTable(Html);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

TEST(HtmlTable, HostileInputsReadInOnePass) {
    // Far above the 0.5 s asked of an optimised build, for Debug and sanitizers.
    constexpr double budget = 5.0;
    TTextTable t;

    // '&' without ';': no entity, each plain text.
    EXPECT_LT(SecondsToParse("<table><tr><td>" + std::string(1 << 20, '&'), t), budget);
    ASSERT_EQ(t.Cells.size(), 1u);
    EXPECT_EQ(t.Cells[0].Text.size(), size_t(1) << 20);

    // Non-breaking spaces collapse into nothing between words.
    std::string nbsp;
    for (int i = 0; i < (1 << 19); ++i) nbsp += "\xC2\xA0";
    EXPECT_LT(SecondsToParse("<table><tr><td>a" + nbsp + "b", t), budget);
    ASSERT_EQ(t.Cells.size(), 1u);
    EXPECT_EQ(t.Cells[0].Text, "a b");

    // Sixteen spans of 1000 x 1000 cover every column the reader keeps for
    // the next thousand rows, whose cells are dropped; the rows after them
    // start free again.
    std::string rows = "<table><tr>";
    for (int i = 0; i < 16; ++i) rows += "<td rowspan=1000 colspan=1000>";
    for (int i = 0; rows.size() < (1 << 20); ++i) rows += i == 1500 ? "<tr><td>x" : "<tr><td>";
    EXPECT_LT(SecondsToParse(rows, t), budget);
    ASSERT_EQ(t.Cells.size(), 1u);
    EXPECT_EQ(t.Cells[0].Row, 1501);
    EXPECT_EQ(t.Cells[0].Col, 0);
}

// Spans of earlier rows push the cells of later rows right, however they
// overlap.
TEST(HtmlTable, RowSpansTakeTheirPositionsInTheRowsBelow) {
    const TTextTable t = ParseHtmlTable(
        "<table><tr><td rowspan=3>a<td>b<td rowspan=2 colspan=2>c"
        "<tr><td>d<td>e"
        "<tr><td>f<td colspan=3 rowspan=2>g"
        "<tr><td>h<td>i</table>");
    std::string where;
    for (const TTextTableCell& c : t.Cells)
        where += c.Text + std::to_string(c.Row) + std::to_string(c.Col) + " ";
    EXPECT_EQ(where, "a00 b01 c02 d11 e14 f21 g22 h30 i31 ");
    EXPECT_EQ(t.Rows, 4);
    EXPECT_EQ(t.Cols, 5);
}
