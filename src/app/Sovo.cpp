#include "Sovo.h"

#include <algorithm>

#include "SovoError.h"

namespace {

// As much as the pre-processor analyses of one utterance.
constexpr int32_t kMaxKeptSamples = TTeskProcessor::kMaxUtteranceAtoms * kHopSize;

}  // namespace

TSovoObject::TSovoObject()
    : Dictionary(std::make_unique<TTeskDictionary>()),
      Phoneme(std::make_unique<TTeskPhoneme>()),
      Processor(std::make_unique<TTeskProcessor>())
{
    Dictionary->OnTrajectoryReady = [this](TTeskDictionary& sender, const TCommandTraj& traj) {
        TrajectoryReady(sender, traj);
    };
    Phoneme->OnAtomClassified = [this](TTeskPhoneme& sender, const TPhonemeDecision& decision, bool last) {
        AtomClassified(sender, decision, last);
    };
    TTeskDictionary* dictionary = Dictionary.get();
    Phoneme->OnModelsChanged = [dictionary](TTeskPhoneme& sender) { dictionary->PhonemesChanged(sender); };
}

TSovoObject::~TSovoObject()
{
    // The stages go in this order: the phoneme layer's event refers to the dictionary.
    Dictionary.reset();
    Phoneme.reset();
    Processor.reset();
}

void TSovoObject::SetInput(TSovoInput* input)
{
    Input = input;
    if (Input != nullptr)
        Input->OnData = [this](const int16_t* samples, int32_t count) { InputData(samples, count); };
}

void TSovoObject::Restart()
{
    Processor->Restart();
    ForgetKeptSamples();
}

void TSovoObject::ForgetKeptSamples()
{
    utteranceSamples_.Clear();
    utteranceEnded_ = false;
}

void TSovoObject::KeepUtteranceSamples(bool keep)
{
    keepSamples_ = keep;
    if (!keep)
        ForgetKeptSamples();
}

void TSovoObject::KeepSamples(const int16_t* samples, int32_t count)
{
    if (count <= 0 || samples == nullptr) {
        utteranceEnded_ = true;
        return;
    }
    if (utteranceEnded_)
        ForgetKeptSamples();
    const int32_t room = kMaxKeptSamples - utteranceSamples_.Count();
    utteranceSamples_.Append(samples, std::min(count, std::max(room, 0)));
}

void TSovoObject::StartFresh()
{
    // The pre-processor carries its smoothing, tone and filter state from utterance to utterance: a new one
    // with the same settings is the surest fresh start, and it holds no model.
    auto processor = std::make_unique<TTeskProcessor>();
    processor->Trim = Processor->Trim;
    processor->OnUtteranceEnd = std::move(Processor->OnUtteranceEnd);
    processor->TakeMemoryOf(*Processor);
    Processor = std::move(processor);
    Phoneme->ForgetDecisions();
    Dictionary->ForgetUtterance();
    ForgetKeptSamples();
    LastTraj = TCommandTraj{};
    CommandName.clear();
    Like = 0.0;
    Distance = 0.0;
    Accepted = false;
}

void TSovoObject::SetMatchMode(TMatchMode mode)
{
    Dictionary->MatchMode = mode;
    Processor->Trim = mode == TMatchMode::Aligned ? TSpeechTrim::OwnFloor : TSpeechTrim::QuietHops;
}

void TSovoObject::SetRejection(TRejection rejection)
{
    rejection_ = rejection;
}

void TSovoObject::SetOnUtteranceEnd(std::function<void()> proc)
{
    Processor->OnUtteranceEnd = std::move(proc);
}

void TSovoObject::RecognizeUtterance()
{
    if (!Dictionary)
        throw ESovoError("Не определен основной словарь.");
    // However the utterance ends, with a result, without one or with an error, the input's run ends with it:
    // a file input left marked as running would refuse the next file as "already recording".
    try {
        if (!Processor->Atoms.empty())
            Phoneme->ClassifyAtoms(Processor->Atoms);
    } catch (...) {
        StopInput();
        throw;
    }
    StopInput();
}

void TSovoObject::StopInput()
{
    if (Input != nullptr && Input->IsRecording())
        Input->Stop();
}

void TSovoObject::InputData(const int16_t* samples, int32_t count)
{
    if (!Processor)
        throw ESovoError("Нет предварительного обработчика Wave данных.");
    if (keepSamples_)
        KeepSamples(samples, count);
    Processor->AddSamples(samples, count);
}

void TSovoObject::AtomClassified(TTeskPhoneme& sender, const TPhonemeDecision& /*decision*/, bool last)
{
    if (!Dictionary)
        throw ESovoError("Нет словаря команнд.");
    Dictionary->AddPhonemeScores(sender, last);
}

void TSovoObject::TrajectoryReady(TTeskDictionary& /*sender*/, const TCommandTraj& traj)
{
    LastTraj = traj;
    const double best = Dictionary->Recognize(LastTraj);
    double second = 0.0;
    for (int32_t i = 0; i < Dictionary->ModelCount(); ++i) {
        const double score = Dictionary->GetModel(i)->LastScore;
        if (Dictionary->GetModel(i)->LastScoreExact && score > second && score != best)
            second = score;
    }
    CommandName = Dictionary->BestName;
    Like = Dictionary->BestScore;
    Distance = Dictionary->BestScore - second;
    Accepted = IsAccepted(Like, LastTraj, rejection_, Dictionary->MatchMode);
    if (OnResult)
        OnResult(*this, CommandName);
    StopInput();
}
