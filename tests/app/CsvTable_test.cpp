#include "CsvTable.h"

#include <gtest/gtest.h>

#include "SovoError.h"

namespace {

using TRows = std::vector<std::vector<std::string>>;

TEST(CsvTable, ReadsQuotedFieldsLineEndsAndBlankLines)
{
    const struct { const char* name; const char* text; TRows rows; } cases[] = {
        {"plain, no final line end", "a,b\n1,2\n3,4", {{"1", "2"}, {"3", "4"}}},
        {"CR LF and blank lines", "a,b\r\n\r\n1,2\r\n\r\n", {{"1", "2"}}},
        {"quoted comma and doubled quote", "a,b\n\"x, y\",\"say \"\"hi\"\"\"\n", {{"x, y", "say \"hi\""}}},
        {"quoted line break", "a,b\n\"two\nlines\",2\n", {{"two\nlines", "2"}}},
        {"empty fields", "a,b,c\n,,\n", {{"", "", ""}}},
        {"UTF-8 text", "a,b\nвперёд,1\n", {{"вперёд", "1"}}},
    };
    for (const auto& c : cases) {
        const TCsvTable table = TCsvTable::Parse(c.text, "t.csv");
        EXPECT_EQ(table.Rows(), c.rows) << c.name;
    }
}

TEST(CsvTable, ColumnsAreFoundByName)
{
    const TCsvTable table = TCsvTable::Parse("path,word\nx.wav,go\n", "t.csv");
    EXPECT_EQ(table.Column("word"), 1);
    EXPECT_EQ(table.Column("rep"), -1);
    EXPECT_EQ(table.RequiredColumn("path"), 0);
    try {
        table.RequiredColumn("rep");
        FAIL();
    } catch (const ESovoError& e) {
        EXPECT_STREQ(e.what(), "В таблице 't.csv' нет столбца 'rep'");
    }
}

TEST(CsvTable, MalformedTablesNameTheLine)
{
    const struct { const char* text; const char* message; } cases[] = {
        {"", "Таблица 't.csv', строка 1: нет строки заголовка"},
        {"a,b\n1,2\n\n1,2,3\n", "Таблица 't.csv', строка 4: 3 полей вместо 2"},
        {"a,b\n1,\"open\n", "Таблица 't.csv', строка 2: кавычка не закрыта"},
    };
    for (const auto& c : cases) {
        try {
            TCsvTable::Parse(c.text, "t.csv");
            ADD_FAILURE() << c.text;
        } catch (const ESovoError& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
    }
}

TEST(CsvTable, MissingFileIsReported)
{
    EXPECT_THROW(TCsvTable::Read("/nonexistent/manifest.csv"), ESovoError);
}

}  // namespace
