#include "Evaluation.h"

#include "FileRecognizer.h"
#include "PhonemeSetCopy.h"
#include "SaveModel.h"
#include "ScratchFolder.h"

namespace {

bool SameGroup(const TEvalTake& a, const TEvalTake& b)
{
    return a.Speaker == b.Speaker && a.Vocab == b.Vocab;
}

std::string UpperAscii(std::string text)
{
    for (char& c : text) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

// The command reader upper-cases names; the answer is given back as the vocabulary's word.
std::string AnswerWord(const std::string& commandName, const std::vector<TEvalTake>& group)
{
    for (const TEvalTake& take : group) {
        if (UpperAscii(take.Word) == commandName)
            return take.Word;
    }
    return commandName;
}

// The takes of one speaker and vocabulary, in manifest order; the groups in order of first appearance.
std::vector<std::vector<TEvalTake>> Groups(const std::vector<TEvalTake>& takes)
{
    std::vector<std::vector<TEvalTake>> groups;
    for (const TEvalTake& take : takes) {
        auto group = groups.begin();
        while (group != groups.end() && !SameGroup(group->front(), take))
            ++group;
        if (group == groups.end())
            groups.push_back({take});
        else
            group->push_back(take);
    }
    return groups;
}

void Enroll(const TEvalTake& take, const std::string& modelsDir, TMatchMode match, TEvalRun& run)
{
    TFileRecognizer recognizer(modelsDir, match);
    if (!recognizer.Recognize(take.Path).Recognized) {
        run.NotEnrolled.push_back(take);
        return;
    }
    SaveLastCommandAsModel(*recognizer.Sovo().Dictionary, modelsDir, take.Word,
                           take.Word + "_" + std::to_string(take.Take));
}

TEvalAnswer Answer(const TEvalTake& take, const std::vector<TEvalTake>& group, const std::string& modelsDir,
                   TMatchMode match)
{
    TFileRecognizer recognizer(modelsDir, match);
    const TFileResult result = recognizer.Recognize(take.Path);
    TEvalAnswer answer;
    answer.Spoken = take;
    answer.Recognized = result.Recognized;
    if (result.Recognized) {
        answer.Answer = AnswerWord(result.CommandName, group);
        answer.Like = result.Like;
        answer.Distance = result.Distance;
    }
    return answer;
}

}  // namespace

TEvalRun RunEvaluation(const std::vector<TEvalTake>& takes, const TEvalSettings& settings)
{
    TEvalRun run;
    for (const std::vector<TEvalTake>& group : Groups(takes)) {
        // A model folder of its own for one speaker and vocabulary.
        const TScratchFolder models("parlanto-eval");
        CopyPhonemeSet(settings.PhonemeModelsDir, models.Dir());
        // Takes in recording order, so that a word's examples are saved in the order a user says them.
        for (int take = 1; take <= settings.EnrolledTakes; ++take) {
            for (const TEvalTake& candidate : group) {
                if (candidate.Take == take)
                    Enroll(candidate, models.Dir(), settings.Match, run);
            }
        }
        for (const TEvalTake& take : group) {
            if (take.Take < 1)
                ++run.UnusedTakes;
            else if (take.Take > settings.EnrolledTakes)
                run.Answers.push_back(Answer(take, group, models.Dir(), settings.Match));
        }
    }
    return run;
}
