#include "Evaluation.h"

#include <algorithm>

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

// Only the take's trajectory is saved, and that does not depend on the command models: one recognizer serves
// every enrolment of a group without loading the models it adds.
void Enroll(const TEvalTake& take, TFileRecognizer& recognizer, TEvalRun& run)
{
    if (!recognizer.RecognizeFresh(take.Path).Recognized) {
        run.NotEnrolled.push_back(take);
        return;
    }
    SaveLastCommandAsModel(*recognizer.Sovo().Dictionary, recognizer.ModelsDir(), take.Word,
                           take.Word + "_" + std::to_string(take.Take));
}

TEvalAnswer Answer(const TEvalTake& take, TSpokenKind kind, const std::vector<TEvalTake>& group,
                   TFileRecognizer& recognizer)
{
    const TFileResult result = recognizer.RecognizeFresh(take.Path);
    TEvalAnswer answer;
    answer.Spoken = take;
    answer.Kind = kind;
    answer.Recognized = result.Recognized;
    if (result.Recognized) {
        answer.Answer = AnswerWord(result.CommandName, group);
        answer.Like = result.Like;
        answer.Distance = result.Distance;
        answer.Accepted = result.Accepted;
    }
    return answer;
}

// With unknown words, every other word of the group in order of first appearance; otherwise every word.
std::vector<std::string> EnrolledWords(const std::vector<TEvalTake>& group, bool unknownWords)
{
    std::vector<std::string> words;
    for (const TEvalTake& take : group) {
        if (std::find(words.begin(), words.end(), take.Word) == words.end())
            words.push_back(take.Word);
    }
    if (!unknownWords)
        return words;
    std::vector<std::string> enrolled;
    for (size_t i = 0; i < words.size(); i += 2)
        enrolled.push_back(words[i]);
    return enrolled;
}

}  // namespace

TEvalRun RunEvaluation(const std::vector<TEvalTake>& takes, const TEvalSettings& settings)
{
    TEvalRun run;
    for (const std::vector<TEvalTake>& group : Groups(takes)) {
        // A model folder of its own for one speaker and vocabulary.
        const TScratchFolder models("parlanto-eval");
        CopyPhonemeSet(settings.PhonemeModelsDir, models.Dir());
        const std::vector<std::string> enrolled = EnrolledWords(group, settings.UnknownWords);
        const auto isEnrolled = [&enrolled](const TEvalTake& take) {
            return std::find(enrolled.begin(), enrolled.end(), take.Word) != enrolled.end();
        };
        // Takes in recording order, so that a word's examples are saved in the order a user says them.
        TFileRecognizer enrolling(models.Dir(), settings.Match);
        for (int take = 1; take <= settings.EnrolledTakes; ++take) {
            for (const TEvalTake& candidate : group) {
                if (candidate.Take == take && isEnrolled(candidate))
                    Enroll(candidate, enrolling, run);
            }
        }
        TFileRecognizer answering(models.Dir(), settings.Match);
        answering.Sovo().SetRejection(settings.Rejection);
        for (const TEvalTake& take : group) {
            const TSpokenKind kind = isEnrolled(take) ? TSpokenKind::Command : TSpokenKind::UnknownWord;
            if (take.Take < 1)
                ++run.UnusedTakes;
            else if (take.Take > settings.EnrolledTakes)
                run.Answers.push_back(Answer(take, kind, group, answering));
        }
        for (const std::string& clip : settings.NonSpeech) {
            const TEvalTake played{clip, group.front().Speaker, group.front().Vocab, "", 0};
            run.Answers.push_back(Answer(played, TSpokenKind::NonSpeech, group, answering));
        }
    }
    return run;
}
