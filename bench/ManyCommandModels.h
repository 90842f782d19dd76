#pragma once
// A large vocabulary: a model folder of many commands of three takes each, every take a noisy take
// (NoisyTakes.h) of its own of one of the reference utterances and examples, enrolled with the shipped phoneme
// set and aligned matching as a user in a noisy room would. Beside it, the same phoneme set without a command:
// what the program costs before any command is enrolled.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include "../tests/support/TempDir.h"
#include "BenchAudio.h"
#include "FileRecognizer.h"
#include "NoisyTakes.h"
#include "PhonemeSetCopy.h"
#include "SaveModel.h"

namespace bench {

class TManyCommandModels {
public:
    static constexpr uint32_t kTakes = 3;

    explicit TManyCommandModels(uint32_t commandCount)
    {
        // The take forms a large vocabulary keeps between runs go to a folder of the set's own, not the user's.
        setenv("XDG_CACHE_HOME", cacheHome_.Dir().c_str(), 1);
        CopyPhonemeSet(ModelsDir(), phonemesOnly_.Dir());
        CopyPhonemeSet(ModelsDir(), commands_.Dir());
        // Enrolled in a child process, so that this one stays as small as it was: a program it starts later
        // is then measured alone (a child's peak memory counts what it shares with its parent at the fork).
        const pid_t pid = fork();
        if (pid == 0) {
            try {
                Enroll(commandCount);
            } catch (...) {
                _exit(1);
            }
            _exit(0);
        }
        int status = 0;
        if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
            throw std::runtime_error("the command models could not be made");
    }

    std::string Dir() const { return commands_.Dir(); }
    // Where the program keeps the set's take forms between runs.
    std::string TakeFormsFolder() const { return cacheHome_.Dir() + "parlanto"; }
    std::string PhonemesOnlyDir() const { return phonemesOnly_.Dir(); }
    // A noisy take of the first source utterance, with noise of its own: no command's take is this one.
    std::string UtteranceWav(uint32_t seed) const
    {
        return scratch_.WriteWav("utterance" + std::to_string(seed) + ".wav",
                                 NoisyTake(ReadSamples(SourceWavs().front()), 1000000u + seed));
    }

private:
    void Enroll(uint32_t commandCount) const
    {
        const std::vector<std::string> sources = SourceWavs();
        // Enrolment keeps only each take's trajectory, which the commands saved so far do not change: one
        // recognizer, started fresh for every take, serves them all.
        TFileRecognizer recognizer(commands_.Dir(), TMatchMode::Aligned);
        for (uint32_t command = 0; command < commandCount; ++command) {
            const std::vector<int16_t> word = ReadSamples(sources[command % sources.size()]);
            char name[16];
            std::snprintf(name, sizeof name, "c%03u", command);
            for (uint32_t take = 0; take < kTakes; ++take) {
                const std::string wav = scratch_.WriteWav("take.wav", NoisyTake(word, kTakes * command + take));
                recognizer.RecognizeFresh(wav);
                SaveLastCommandAsModel(*recognizer.Sovo().Dictionary, commands_.Dir(), name,
                                       name + std::to_string(take + 1));
            }
        }
    }

    TempDir cacheHome_;
    TempDir commands_;
    TempDir phonemesOnly_;
    TempDir scratch_;
};

}  // namespace bench
