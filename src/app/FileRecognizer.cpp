#include "FileRecognizer.h"

#include "ModelSet.h"
#include "SignalFormat.h"

TFileRecognizer::TFileRecognizer(const std::string& modelsDir, TMatchMode match)
    : modelsDir_(modelsDir),
      input_(std::make_unique<TSovoFileInput>(kInputBlockSize, kChannels, kSampleRate, kBytesPerSample))
{
    unloadedModels_ = LoadModelSetLeavingOutBroken(sovo_, modelsDir_);
    sovo_.SetMatchMode(match);
    sovo_.OnResult = [this](TSovoObject&, const std::string&) { reported_ = true; };
    sovo_.SetOnUtteranceEnd([this] { sovo_.RecognizeUtterance(); });
    sovo_.SetInput(input_.get());
}

TFileRecognizer::~TFileRecognizer()
{
    sovo_.SetInput(nullptr);
}

TFileResult TFileRecognizer::RecognizeFresh(const std::string& wavFile)
{
    sovo_.StartFresh();
    return Recognize(wavFile);
}

TFileResult TFileRecognizer::Recognize(const std::string& wavFile)
{
    input_->SetName(wavFile);
    sovo_.Restart();
    reported_ = false;
    input_->Start();

    TFileResult result;
    result.Recognized = reported_;
    if (!reported_)
        return result;
    result.CommandName = sovo_.CommandName;
    result.Accepted = sovo_.Accepted;
    result.Like = sovo_.Like;
    result.Distance = sovo_.Distance;
    for (int32_t i = 0; i < sovo_.Dictionary->ModelCount(); ++i) {
        const TVoiceCommandModel* model = sovo_.Dictionary->GetModel(i);
        result.Models.push_back({model->Name, model->LastScore, model->LastScoreExact});
    }
    return result;
}
