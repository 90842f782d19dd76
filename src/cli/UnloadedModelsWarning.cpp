#include "UnloadedModelsWarning.h"

#include <cstdio>

#include "FileRecognizer.h"
#include "MessageText.h"

void WarnOfUnloadedModels(const TFileRecognizer& recognizer)
{
    if (!recognizer.UnloadedModels().empty())
        std::fprintf(stderr, "%s\n", DisplayText(recognizer.UnloadedModels()).c_str());
}
