#pragma once
// The command dictionary: turns the phoneme layer's per-atom scores into the utterance's trajectory and finds
// the command model (a .vcm file naming recorded .trj trajectories) whose trajectories resemble it most.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "MatchMode.h"
#include "NumericArrays.h"
#include "SovoError.h"
#include "SovoPhon.h"
#include "SovoTypes.h"

class TModelPathResolver;

class TVoiceCommandModel {
public:
    // Reads a .vcm file; its MODEL= paths are relative to the file's own directory.
    void Load(const std::string& fileName);
    // The same, its files found through paths (one resolver for a whole folder's descriptions).
    void Load(const std::string& fileName, TModelPathResolver& paths);
    // Reads one .trj file into traj.
    void LoadTrajectory(const std::string& fileName, TCommandTraj& traj);
    // The same from path, a resolved form of fileName; messages name fileName.
    void LoadTrajectory(const std::string& path, const std::string& fileName, TCommandTraj& traj);
    // The best likeness of traj with any stored trajectory (0..1); also kept in LastScore. Classic: the average
    // column correlation; aligned: AlignedLikeness.
    double Score(const TCommandTraj& traj, TMatchMode mode = TMatchMode::Classic);

    std::string Name;        // COMMAND= value, else the .vcm file's name without its directory
    std::string FileName;    // as passed to Load
    std::vector<std::string> ModelFiles;
    std::vector<TCommandTraj> Trajectories;
    double LastScore = 0.0;
};

// The command a description names: the value of its last COMMAND= line among its lines (as ReadModelLines
// gives them upper-cased), else the file's name without its directory.
std::string DescribedCommand(const std::string& fileName, const std::vector<std::string>& lines);

// The dictionary's record of one phoneme model, refreshed whenever the phoneme set changes.
struct TPhonemeEntry {
    std::string Chars;
    int32_t Id = 0;
    double Score = 0.0;
};

// Raised by LoadModels once every sound description has loaded: names each one that did not, and why.
class EUnloadedModels : public ESovoError {
public:
    // failures: one "file: reason" per description that did not load.
    explicit EUnloadedModels(const std::vector<std::string>& failures);
};

class TTeskDictionary {
public:
    using TTrajectoryEvent = std::function<void(TTeskDictionary& sender, const TCommandTraj& traj)>;

    // Replaces the models by those of every dir + "*." + ext file, in name order. A description that does not
    // load is left out and the others still load; then EUnloadedModels names every one left out.
    void LoadModels(const std::string& dir, const std::string& ext);
    int32_t ModelCount() const;
    TVoiceCommandModel* GetModel(int32_t index);   // nullptr out of range

    // Handler for the phoneme layer's OnModelsChanged.
    void PhonemesChanged(TTeskPhoneme& sender);
    const std::vector<TPhonemeEntry>& Phonemes() const { return phonemes_; }

    // Called once per classified atom: collects every model's score; the last atom (which adds no row) turns
    // the collected rows into Trajectory and fires OnTrajectoryReady.
    void AddPhonemeScores(TTeskPhoneme& phoneme, bool last);
    // Scores every model against traj in MatchMode and names the best; ties go to the later model.
    double Recognize(const TCommandTraj& traj);
    // Forgets the utterance in progress, the last trajectory, the best command and every model's last score,
    // as after loading.
    void ForgetUtterance();
    // Writes Trajectory as a .trj file, replacing an existing one.
    void SaveTrajectory(const std::string& fileName);

    std::string BestName;
    double BestScore = 0.0;
    TMatchMode MatchMode = TMatchMode::Classic;
    TCommandTraj Trajectory;   // of the last completed utterance
    TTrajectoryEvent OnTrajectoryReady;

private:
    std::vector<std::unique_ptr<TVoiceCommandModel>> models_;
    std::vector<TArrayOfDouble> pendingRows_;   // one per atom of the utterance in progress
    std::vector<TPhonemeEntry> phonemes_;
};
