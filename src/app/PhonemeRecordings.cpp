#include "PhonemeRecordings.h"

#include <algorithm>
#include <filesystem>

#include "CsvTable.h"
#include "SovoError.h"

namespace {

namespace fs = std::filesystem;

bool IsWav(const fs::path& file)
{
    std::string ext = file.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; });
    return ext == ".wav";
}

std::vector<fs::path> SortedEntries(const fs::path& folder)
{
    std::vector<fs::path> entries;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        entries.push_back(entry.path());
    std::sort(entries.begin(), entries.end());
    return entries;
}

}  // namespace

std::vector<TUnitRecordings> RecordingsFromFolders(const std::string& root)
{
    if (!fs::is_directory(root))
        throw ESovoError("Нет папки '" + root + "'");
    std::vector<TUnitRecordings> units;
    for (const fs::path& folder : SortedEntries(root)) {
        if (!fs::is_directory(folder))
            continue;
        TUnitRecordings unit{folder.filename().string(), {}};
        for (const fs::path& file : SortedEntries(folder)) {
            if (fs::is_regular_file(file) && IsWav(file))
                unit.Files.push_back(file.string());
        }
        if (!unit.Files.empty())
            units.push_back(std::move(unit));
    }
    return units;
}

std::vector<TUnitRecordings> RecordingsFromManifest(const std::string& csvFile)
{
    const TCsvTable table = TCsvTable::Read(csvFile);
    const int path = table.RequiredColumn("path");
    const int unitColumn = table.RequiredColumn("unit");
    const fs::path folder = fs::path(csvFile).parent_path();
    std::vector<TUnitRecordings> units;
    for (const std::vector<std::string>& row : table.Rows()) {
        const std::string& name = row[unitColumn];
        auto unit = std::find_if(units.begin(), units.end(), [&](const TUnitRecordings& u) { return u.Unit == name; });
        if (unit == units.end())
            unit = units.insert(units.end(), TUnitRecordings{name, {}});
        unit->Files.push_back((folder / row[path]).string());
    }
    return units;
}
