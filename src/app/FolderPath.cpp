#include "FolderPath.h"

std::string WithTrailingSeparator(const std::string& dir)
{
    if (dir.empty() || dir.back() == '/' || dir.back() == '\\')
        return dir;
    return dir + '/';
}
