// parlanto-cli listen: hands-free listening to a WAV file or the microphone, one JSON line per utterance.
#include <cstdio>
#include <exception>
#include <memory>
#include <string>

#include "CliArgs.h"
#include "Commands.h"
#include "HandsFreeListener.h"
#include "MainThreadQueue.h"
#include "MatchOption.h"
#include "ModelSet.h"
#include "RejectOption.h"
#include "SignalFormat.h"
#include "Sovo.h"
#include "SovoMicInput.h"
#include "StopSignals.h"
#include "TextFormat.h"
#include "UnloadedModelsWarning.h"

namespace {

const std::string kHelp =
    std::string("usage: parlanto-cli listen [--models DIR] [--match MODE] [--reject R] (--microphone | FILE.wav)\n"
    "\n"
    "Finds the utterances of a running stream against its running noise floor and recognizes each the\n"
    "moment it ends, printing one JSON line per utterance:\n"
    "  {\"start\": S, \"end\": S, \"command\": NAME, \"like\": L, \"distance\": D, \"accepted\": true|false}\n"
    "with start and end of the speech in seconds of the stream. A file is read as fast as it can be; the\n"
    "microphone is listened to until Ctrl+C or SIGTERM, which let the utterance in progress finish first.\n"
    "  --models DIR  model folder (*.phm, *.vcm); default: Models/ beside the program\n"
    "  --match MODE  aligned (default): tolerant of pauses, noise and tempo; classic: whole score series\n") +
    kRejectHelp +
    "  --microphone  listen to the default input device\n";

void PrintUtterance(const THandsFreeListener& listener, const TSovoObject& sovo)
{
    std::printf("{\"start\": %.3f, \"end\": %.3f, \"command\": %s, \"like\": %s, \"distance\": %s, \"accepted\": %s}\n",
                listener.SpeechStart(), listener.SpeechEnd(), JsonString(sovo.CommandName).c_str(),
                ShortestNumber(sovo.Like).c_str(), ShortestNumber(sovo.Distance).c_str(),
                sovo.Accepted ? "true" : "false");
    // A script reading the lines through a pipe acts on each as soon as it is decided.
    std::fflush(stdout);
}

void ListenToFile(THandsFreeListener& listener, const std::string& file)
{
    TSovoFileInput input(kInputBlockSize, kChannels, kSampleRate, kBytesPerSample);
    input.OnData = [&listener](const int16_t* samples, int32_t count) {
        if (count > 0)
            listener.AddSamples(samples, count);
        else
            listener.Finish();
    };
    input.SetName(file);
    input.Start();
}

int ListenToMicrophone(THandsFreeListener& listener)
{
    TStopSignals stop;
    auto mic = std::make_unique<TSovoMicInput>(kInputBlockSize, kChannels, kSampleRate, kBytesPerSample);
    mic->SetOnListen([&listener](const int16_t* samples, int32_t count) { listener.AddSamples(samples, count); });
    MainThreadQueue().DrainUntil([&] { return stop.Received() || mic->MeterFailure(); });
    const std::exception_ptr failure = mic->MeterFailure();
    // Ending the capture hands over the block it was delivering; then the utterance in progress is complete.
    mic.reset();
    listener.Finish();
    if (failure)
        std::rethrow_exception(failure);
    return 0;
}

}  // namespace

int RunListen(const std::vector<std::string>& args)
{
    const CliArgs cli = ParseCliArgs(args, {"--models", "--match", "--reject"}, {"--microphone", "--help"});
    if (PrintHelpIfAsked(cli, kHelp.c_str()))
        return 0;
    const bool microphone = cli.Has("--microphone");
    if (microphone ? !cli.Positional.empty() : cli.Positional.size() != 1)
        throw CliUsageError("give either --microphone or one WAV file");

    TSovoObject sovo;
    WarnOfUnloadedModels(LoadModelSetLeavingOutBroken(sovo, cli.Value("--models", DefaultModelsDirectory())));
    sovo.SetMatchMode(MatchOption(cli));
    sovo.SetRejection(RejectOption(cli));
    sovo.SetOnUtteranceEnd([&sovo] { sovo.RecognizeUtterance(); });
    THandsFreeListener listener(sovo);
    sovo.OnResult = [&listener](TSovoObject& sender, const std::string&) { PrintUtterance(listener, sender); };

    if (microphone)
        return ListenToMicrophone(listener);
    ListenToFile(listener, cli.Positional[0]);
    return 0;
}
