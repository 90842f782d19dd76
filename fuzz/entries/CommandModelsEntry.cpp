#include <cstdint>
#include <string>
#include <vector>

#include "ExpectedErrors.h"
#include "FuzzEntries.h"
#include "ModelFolderInput.h"
#include "SovoDict.h"

int FuzzCommandModels(const uint8_t* data, size_t size)
{
    const std::string folder = WriteModelFolder("vcm", {data, size});
    return RunExpectingSovoErrors([&] {
        TTeskDictionary dictionary;
        try {
            dictionary.LoadModels(folder, "vcm");
        } catch (const EUnloadedModels&) {
            // The sound descriptions are loaded all the same, and matched below.
        }
        // Every loaded trajectory stands in for an utterance, so that the matchers meet the loaded values on
        // both sides.
        std::vector<TCommandTraj> utterances;
        for (int32_t i = 0; i < dictionary.ModelCount(); ++i) {
            const std::vector<TCommandTraj>& stored = dictionary.GetModel(i)->Trajectories;
            utterances.insert(utterances.end(), stored.begin(), stored.end());
        }
        for (const TMatchMode mode : {TMatchMode::Classic, TMatchMode::Aligned}) {
            dictionary.MatchMode = mode;
            for (const TCommandTraj& utterance : utterances)
                dictionary.Recognize(utterance);
        }
    });
}
