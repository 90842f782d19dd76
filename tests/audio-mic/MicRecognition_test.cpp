// An utterance spoken into the microphone is recognized exactly as the samples it recorded read from a file,
// and as its own file's command; exactly as its own file where the microphone passes on nothing else.
#include <gtest/gtest.h>

#include "FileRecognizer.h"
#include "ModelSet.h"
#include "PulseTestServer.h"
#include "R_SOURCE.h"
#include "SovoMicInput.h"
#include "TempDir.h"
#include "mic_fixture.h"

using namespace mictest;
using namespace pulsetest;

namespace {

const std::string kGolden = PARLANTO_GOLDEN_DIR;
const std::string kModels = kGolden + "/models/";

// The facade wired to a microphone input the way the window wires it.
class MicRecognizer {
public:
    MicRecognizer()
    {
        LoadModelSet(sovo_, kModels);
        sovo_.OnResult = [this](TSovoObject&, const std::string&) { reported_ = true; };
        sovo_.SetOnUtteranceEnd([this] { sovo_.RecognizeUtterance(); });
        sovo_.SetInput(&input_);
        input_.OnData = [this, deliver = input_.OnData](const int16_t* samples, int32_t count) {
            recorded_.insert(recorded_.end(), samples, samples + count);
            deliver(samples, count);
        };
    }
    ~MicRecognizer() { sovo_.SetInput(nullptr); }

    void PressCtrl()
    {
        recorded_.clear();
        sovo_.Restart();
        input_.Start();
    }
    TFileResult ReleaseCtrl()
    {
        reported_ = false;
        input_.Stop();
        TFileResult result;
        result.Recognized = reported_;
        result.CommandName = sovo_.CommandName;
        result.Like = sovo_.Like;
        result.Distance = sovo_.Distance;
        for (int32_t i = 0; i < sovo_.Dictionary->ModelCount(); ++i)
            result.Models.push_back({sovo_.Dictionary->GetModel(i)->Name, sovo_.Dictionary->GetModel(i)->LastScore});
        return result;
    }
    bool IsRecording() const { return input_.IsRecording(); }
    const TSovoMicInput& Input() const { return input_; }
    // What the last recording delivered.
    const std::vector<int16_t>& Recorded() const { return recorded_; }

private:
    // The input last, so that it goes first: one destroyed while recording (a test that failed with Ctrl held)
    // still delivers what it recorded, into what the receivers write.
    TSovoObject sovo_;
    bool reported_ = false;
    std::vector<int16_t> recorded_;
    TSovoMicInput input_{1024, 1, 22050, 2};
};

void ExpectSameResult(const TFileResult& got, const TFileResult& expected)
{
    EXPECT_EQ(got.CommandName, expected.CommandName);
    EXPECT_EQ(got.Like, expected.Like);
    EXPECT_EQ(got.Distance, expected.Distance);
    ASSERT_EQ(got.Models.size(), expected.Models.size());
    for (size_t i = 0; i < got.Models.size(); ++i) {
        EXPECT_EQ(got.Models[i].Name, expected.Models[i].Name);
        EXPECT_EQ(got.Models[i].Score, expected.Models[i].Score) << got.Models[i].Name;
    }
}

class MicRecognition : public MicServerTest {};

TEST_F(MicRecognition, SpokenUtteranceGivesTheResultOfTheSameSamplesReadFromAFile)
{
    TempDir dir;
    MicRecognizer mic;
    TFileRecognizer files(kModels);
    // A recognizer carries something of each utterance over to the next: this one hears what the microphone's
    // heard, in the same order.
    TFileRecognizer recordings(kModels);
    for (const char* name : {"open_test1", "close_test1", "stop_test1"}) {
        SCOPED_TRACE(name);
        const std::vector<int16_t> utterance = WholeBlocksOf(kGolden + "/wav/" + name + ".wav");
        const TFileResult expected = files.Recognize(dir.WriteWav("utterance.wav", utterance));
        ASSERT_TRUE(expected.Recognized);

        mic.PressCtrl();
        if (MicrophoneIsExact()) {
            FeedMicrophone(utterance);
            ASSERT_TRUE(RecordingHolds(mic.Input(), utterance.size()));
        } else {
            // Released as soon as the utterance is in: the silence a real-time microphone adds after it
            // changes the figures, and a long one the command.
            SourceEar ear;
            ASSERT_TRUE(ear.Listening());
            FeedMicrophone(utterance);
            ASSERT_TRUE(ear.Heard(utterance));
        }
        const TFileResult got = mic.ReleaseCtrl();
        ASSERT_TRUE(got.Recognized);
        EXPECT_FALSE(mic.IsRecording());
        EXPECT_EQ(got.CommandName, expected.CommandName);
        {
            SCOPED_TRACE("the recorded samples from a file");
            ExpectSameResult(got, recordings.Recognize(dir.WriteWav("recorded.wav", mic.Recorded())));
        }
        if (MicrophoneIsExact()) {
            EXPECT_TRUE(mic.Recorded() == utterance);
            ExpectSameResult(got, expected);
        }
    }
}

} // namespace
