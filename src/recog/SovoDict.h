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
#include "TakeForms.h"
#include "TakeFormsCache.h"

class TModelPathResolver;
class TTakeLoader;
class TTakeMatcher;

class TVoiceCommandModel {
public:
    // Reads a .vcm file; its MODEL= paths are relative to the file's own directory.
    void Load(const std::string& fileName);
    // The same, its files found through paths (one resolver for a whole folder's descriptions). With a loader,
    // every take also gets its forms, and the loader decides whether it keeps its rows.
    void Load(const std::string& fileName, TModelPathResolver& paths, TTakeLoader* takes = nullptr);
    // Reads one .trj file into traj.
    void LoadTrajectory(const std::string& fileName, TCommandTraj& traj) const;
    // The same from path, a resolved form of fileName; messages name fileName.
    void LoadTrajectory(const std::string& path, const std::string& fileName, TCommandTraj& traj) const;
    // The best likeness of traj with any stored trajectory (0..1); also kept in LastScore. Classic: the average
    // column correlation; aligned: AlignedLikeness.
    double Score(const TCommandTraj& traj, TMatchMode mode = TMatchMode::Classic);
    // The same through a matcher readied for the utterance. With each take's bound from the matcher's first
    // pass (takeBounds, one per trajectory), takes are tried from the highest bound and one whose bound cannot
    // beat the best so far is not matched in full: the score stays exactly the same.
    double ScoreWith(const TTakeMatcher& matcher, const std::vector<double>& takeBounds = {});
    // Trajectories[index] with its rows: as held, or read again into scratch when only its forms are kept.
    const TCommandTraj& FullTrajectory(size_t index, TCommandTraj& scratch) const;
    std::vector<TCommandTraj> FullTrajectories() const;

    std::string Name;        // COMMAND= value, else the .vcm file's name without its directory
    std::string FileName;    // as passed to Load
    std::vector<std::string> ModelFiles;
    std::vector<TCommandTraj> Trajectories;
    std::vector<TTakeForms> Forms;   // one per trajectory when loaded by a dictionary
    double LastScore = 0.0;
    // False when the last Recognize ruled this command out on its first-pass bound alone: LastScore is then
    // that bound, which its exact score does not exceed.
    bool LastScoreExact = true;
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
    // Up to this many commands every command is scored exactly; in a larger vocabulary only those that may be
    // the best or the runner-up are, the others keep their first-pass bound (LastScoreExact false). The best
    // command, its score and the runner-up's are the same either way.
    int32_t ScoreEveryCommandUpTo = 100;
    // LoadModels keeps every take's rows in memory for a vocabulary scored in full; in a larger one, the rows of
    // the first takes up to this many bytes of their files, the others in compact form, read again from their
    // files when they are matched in full. Their compact forms are kept between runs in this folder
    // (TakeFormsCache.h; none when empty).
    uint64_t KeptRowBytes = uint64_t{4} << 20;
    std::string TakeFormsFolder = DefaultTakeFormsFolder();
    uint64_t CachedFromBytes = uint64_t{32} << 20;   // fewer bytes of such takes are not worth a cache
    TCommandTraj Trajectory;   // of the last completed utterance
    TTrajectoryEvent OnTrajectoryReady;

private:
    std::vector<std::unique_ptr<TVoiceCommandModel>> models_;
    std::vector<TArrayOfDouble> pendingRows_;   // one per atom of the utterance in progress
    std::vector<TPhonemeEntry> phonemes_;
};
