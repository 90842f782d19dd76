#include "ModelFolderInput.h"

#include <algorithm>
#include <string_view>

#include "FuzzScratch.h"

namespace {

constexpr std::string_view kMarker = ">>> ";
constexpr size_t kMaxNameLength = 40;
constexpr size_t kMaxFiles = 32;

bool IsSafeNameChar(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '_' ||
           c == '-';
}

std::string SafeComponent(std::string_view raw)
{
    if (raw == "." || raw == "..")
        return "_";
    std::string component(raw);
    std::replace_if(component.begin(), component.end(), [](char c) { return !IsSafeNameChar(c); }, '_');
    return component;
}

// The last two non-empty components of the raw name, made safe and joined by "/".
std::string SafeName(std::string_view raw)
{
    raw = raw.substr(0, kMaxNameLength);
    std::vector<std::string> components;
    size_t start = 0;
    while (start <= raw.size()) {
        const size_t end = std::min(raw.find_first_of("/\\", start), raw.size());
        if (end > start)
            components.push_back(SafeComponent(raw.substr(start, end - start)));
        start = end + 1;
    }
    if (components.empty())
        return {};
    if (components.size() == 1)
        return components.back();
    return components[components.size() - 2] + "/" + components.back();
}

// Offsets of the markers that start a line.
std::vector<size_t> MarkerOffsets(std::string_view text)
{
    std::vector<size_t> offsets;
    for (size_t at = text.find(kMarker); at != std::string_view::npos; at = text.find(kMarker, at + 1)) {
        if (at == 0 || text[at - 1] == '\n')
            offsets.push_back(at);
    }
    return offsets;
}

}  // namespace

std::vector<TModelFolderFile> SplitModelFolder(std::span<const uint8_t> input)
{
    const std::string_view text(reinterpret_cast<const char*>(input.data()), input.size());
    const std::vector<size_t> markers = MarkerOffsets(text);
    std::vector<TModelFolderFile> files;
    for (size_t i = 0; i < markers.size() && files.size() < kMaxFiles; ++i) {
        const size_t nameStart = markers[i] + kMarker.size();
        const size_t nameEnd = std::min(text.find('\n', nameStart), text.size());
        // The next marker's line break belongs to neither file.
        const size_t bytesEnd = i + 1 < markers.size() ? markers[i + 1] - 1 : text.size();
        const size_t bytesStart = std::min(nameEnd + 1, bytesEnd);
        std::string name = SafeName(text.substr(nameStart, nameEnd - nameStart));
        if (!name.empty())
            files.push_back({std::move(name), input.subspan(bytesStart, bytesEnd - bytesStart)});
    }
    return files;
}

std::string WriteModelFolder(const std::string& scratchName, std::span<const uint8_t> input)
{
    const std::string folder = FreshScratchFolder(scratchName);
    for (const TModelFolderFile& file : SplitModelFolder(input))
        WriteScratchFile(folder, file.Name, file.Bytes);
    return folder;
}
