#include "EvalManifest.h"

#include <filesystem>

#include "CsvTable.h"
#include "ModelFiles.h"

std::vector<TEvalTake> ReadEvalManifest(const std::string& csvFile)
{
    const TCsvTable table = TCsvTable::Read(csvFile);
    const int path = table.RequiredColumn("path");
    const int speaker = table.RequiredColumn("speaker");
    const int vocab = table.RequiredColumn("vocab");
    const int word = table.RequiredColumn("word");
    const int rep = table.RequiredColumn("rep");
    const std::filesystem::path folder = std::filesystem::path(csvFile).parent_path();

    std::vector<TEvalTake> takes;
    for (const std::vector<std::string>& row : table.Rows()) {
        TEvalTake take;
        take.Path = (folder / row[path]).string();   // an absolute path stays as it is
        take.Speaker = row[speaker];
        take.Vocab = row[vocab];
        take.Word = row[word];
        take.Take = ParseModelInteger(row[rep]);
        takes.push_back(std::move(take));
    }
    return takes;
}
