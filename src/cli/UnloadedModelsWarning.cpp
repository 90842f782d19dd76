#include "UnloadedModelsWarning.h"

#include <cstdio>

#include "FileRecognizer.h"
#include "MessageText.h"

void WarnOfUnloadedModels(const TFileRecognizer& recognizer)
{
    WarnOfUnloadedModels(recognizer.UnloadedModels());
}

void WarnOfUnloadedModels(const std::string& message)
{
    if (!message.empty())
        std::fprintf(stderr, "%s\n", DisplayText(message).c_str());
}
