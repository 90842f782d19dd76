#pragma once
// Comma-separated tables with a header line, as written by spreadsheet programs and Python's csv module:
// fields may be quoted ("a, b"), a quote inside a quoted field is doubled, lines end with LF or CR LF.
#include <string>
#include <vector>

class TCsvTable {
public:
    // Reads fileName; raises ESovoError when it cannot be read, is empty or is not well formed.
    static TCsvTable Read(const std::string& fileName);
    static TCsvTable Parse(const std::string& text, const std::string& fileName);

    // The index of a header column, or -1 when the table has none of that name.
    int Column(const std::string& name) const;
    // The index of a column the caller cannot do without; raises ESovoError naming it and the file.
    int RequiredColumn(const std::string& name) const;

    const std::string& FileName() const { return fileName_; }
    const std::vector<std::string>& Header() const { return header_; }
    // The data rows, each with as many fields as the header.
    const std::vector<std::vector<std::string>>& Rows() const { return rows_; }

private:
    std::string fileName_;
    std::vector<std::string> header_;
    std::vector<std::vector<std::string>> rows_;
};
