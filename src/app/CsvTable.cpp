#include "CsvTable.h"

#include <fstream>
#include <iterator>

#include "SovoError.h"

namespace {

ESovoError TableError(const std::string& fileName, size_t line, const std::string& what)
{
    return ESovoError("Таблица '" + fileName + "', строка " + std::to_string(line) + ": " + what);
}

struct TRecord {
    std::vector<std::string> Fields;
    size_t Line = 0;   // where the record starts, for messages
};

std::vector<TRecord> SplitRecords(const std::string& text, const std::string& fileName)
{
    std::vector<TRecord> records;
    std::vector<std::string> record;
    std::string field;
    bool quoted = false;        // inside a quoted field
    bool fieldStarted = false;  // the record has a field in progress (possibly empty)
    size_t line = 1;
    size_t recordLine = 1;
    const auto endRecord = [&] {
        record.push_back(std::move(field));
        field.clear();
        // A blank line is no record.
        if (!(record.size() == 1 && record[0].empty()))
            records.push_back({std::move(record), recordLine});
        record.clear();
        fieldStarted = false;
    };
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                line += c == '\n';
                field += c;
            }
        } else if (c == '"' && field.empty()) {
            quoted = true;
            fieldStarted = true;
        } else if (c == ',') {
            record.push_back(std::move(field));
            field.clear();
            fieldStarted = true;
        } else if (c == '\n' || (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) {
            i += c == '\r';
            endRecord();
            recordLine = ++line;
        } else {
            field += c;
            fieldStarted = true;
        }
    }
    if (quoted)
        throw TableError(fileName, recordLine, "кавычка не закрыта");
    if (fieldStarted || !field.empty())
        endRecord();
    return records;
}

}  // namespace

TCsvTable TCsvTable::Read(const std::string& fileName)
{
    std::ifstream in(fileName, std::ios::binary);
    if (!in)
        throw ESovoError("Не могу открыть файл '" + fileName + "'");
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    return Parse(text, fileName);
}

TCsvTable TCsvTable::Parse(const std::string& text, const std::string& fileName)
{
    std::vector<TRecord> records = SplitRecords(text, fileName);
    if (records.empty())
        throw TableError(fileName, 1, "нет строки заголовка");
    TCsvTable table;
    table.fileName_ = fileName;
    table.header_ = std::move(records.front().Fields);
    for (size_t i = 1; i < records.size(); ++i) {
        if (records[i].Fields.size() != table.header_.size())
            throw TableError(fileName, records[i].Line,
                             std::to_string(records[i].Fields.size()) + " полей вместо " +
                                 std::to_string(table.header_.size()));
        table.rows_.push_back(std::move(records[i].Fields));
    }
    return table;
}

int TCsvTable::Column(const std::string& name) const
{
    for (size_t i = 0; i < header_.size(); ++i) {
        if (header_[i] == name)
            return static_cast<int>(i);
    }
    return -1;
}

int TCsvTable::RequiredColumn(const std::string& name) const
{
    const int column = Column(name);
    if (column < 0)
        throw ESovoError("В таблице '" + fileName_ + "' нет столбца '" + name + "'");
    return column;
}
