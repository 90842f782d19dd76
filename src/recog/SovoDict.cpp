#include "SovoDict.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <numeric>
#include <optional>

#include "ContenderSearch.h"
#include "ModelFiles.h"
#include "TakeLoader.h"
#include "TakeMatcher.h"

namespace {

constexpr size_t kMaxNameLength = 1000;
constexpr size_t kHeaderBytes = 8;                               // N and M
constexpr size_t kColumnBytes = 4 + kPhonemeNameBytes;           // an id and a name per column
constexpr size_t kScoreBytes = 8;
// Far above what a minute of speech scored by hundreds of phoneme models needs.
constexpr uint64_t kMaxTrajectoryBytes = uint64_t{256} << 20;

// Reads the little-endian fields of a .trj file byte by byte, so that the host's byte order does not matter.
class TTrajectoryReader {
public:
    explicit TTrajectoryReader(const std::vector<uint8_t>& bytes, size_t start = 0) : bytes_(bytes), position_(start) {}

    int32_t Int32() { return static_cast<int32_t>(Unsigned(4)); }
    // count doubles into values; on a little-endian host they are the file's bytes as they stand.
    void Doubles(double* values, size_t count)
    {
        if constexpr (std::endian::native == std::endian::little) {
            std::memcpy(values, bytes_.data() + position_, count * sizeof(double));
            position_ += count * sizeof(double);
        } else {
            for (size_t i = 0; i < count; ++i)
                values[i] = std::bit_cast<double>(Unsigned(8));
        }
    }
    TPhonemeName Name()
    {
        TPhonemeName name{};
        std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(position_), name.size(), name.begin());
        position_ += name.size();
        return name;
    }

private:
    uint64_t Unsigned(size_t byteCount)
    {
        uint64_t value = 0;
        for (size_t i = byteCount; i-- > 0;)
            value = (value << 8) | bytes_[position_ + i];
        position_ += byteCount;
        return value;
    }

    const std::vector<uint8_t>& bytes_;
    size_t position_;
};

void AppendUnsigned(std::vector<uint8_t>& bytes, uint64_t value, size_t byteCount)
{
    for (size_t i = 0; i < byteCount; ++i)
        bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// The size of a trajectory file whose header holds these counts; nullopt for a damaged header or a trajectory
// beyond kMaxTrajectoryBytes. Checked before anything is read or sized by the counts, so that neither a damaged
// header nor a huge file can ask for a huge allocation. Rows without columns occupy no bytes, so nothing would
// bound their number: such a header counts as damaged.
std::optional<uint64_t> TrajectoryFileBytes(int32_t phonemeCount, int32_t atomCount)
{
    if (phonemeCount < 0 || atomCount < 0 || (phonemeCount == 0 && atomCount > 0))
        return std::nullopt;
    const uint64_t n = static_cast<uint64_t>(phonemeCount);
    const uint64_t columnsEnd = kHeaderBytes + kColumnBytes * n;
    if (columnsEnd > kMaxTrajectoryBytes)
        return std::nullopt;
    const uint64_t rowBytes = kScoreBytes * n;
    if (n > 0 && static_cast<uint64_t>(atomCount) > (kMaxTrajectoryBytes - columnsEnd) / rowBytes)
        return std::nullopt;
    return columnsEnd + rowBytes * static_cast<uint64_t>(atomCount);
}

std::vector<uint8_t> EncodeTrajectory(const TCommandTraj& traj)
{
    std::vector<uint8_t> bytes;
    AppendUnsigned(bytes, static_cast<uint32_t>(traj.PhonemeCount), 4);
    AppendUnsigned(bytes, static_cast<uint32_t>(traj.AtomCount), 4);
    for (const int32_t id : traj.Ids)
        AppendUnsigned(bytes, static_cast<uint32_t>(id), 4);
    for (const TPhonemeName& name : traj.Names)
        bytes.insert(bytes.end(), name.begin(), name.end());
    for (const std::vector<double>& row : traj.Rows) {
        for (const double score : row)
            AppendUnsigned(bytes, std::bit_cast<uint64_t>(score), kScoreBytes);
    }
    return bytes;
}

std::string UnloadedModelsMessage(const std::vector<std::string>& failures)
{
    std::string message = "Не загружены описания команд:";
    for (const std::string& failure : failures)
        message += "\r" + failure;
    return message;
}

}  // namespace

std::string DescribedCommand(const std::string& fileName, const std::vector<std::string>& lines)
{
    std::string name = NamePart(fileName).substr(0, kMaxNameLength);
    for (const std::string& line : lines) {
        std::string value;
        if (TakeKey(line, "COMMAND=", value))
            name = value;
    }
    return name;
}

void TVoiceCommandModel::Load(const std::string& fileName)
{
    TModelPathResolver paths;
    Load(fileName, paths);
}

void TVoiceCommandModel::Load(const std::string& fileName, TModelPathResolver& paths, TTakeLoader* takes)
{
    Trajectories.clear();
    Forms.clear();
    ModelFiles.clear();
    FileName = fileName;
    const std::vector<std::string> lines = ReadModelLines(fileName, TLetterCase::Upper);
    Name = DescribedCommand(fileName, lines);
    const std::string directory = DirectoryPart(fileName);
    for (const std::string& line : lines) {
        std::string value;
        if (TakeKey(line, "COMMAND=", value))
            continue;   // named above
        if (!TakeKey(line, "MODEL=", value) || !StaysInModelFolder(value))
            throw UnknownLineError(line, fileName);
        ModelFiles.push_back(value);
        TCommandTraj& take = Trajectories.emplace_back();
        const std::string path = paths.Resolve(directory + value);
        const auto read = [&](TCommandTraj& into) { LoadTrajectory(path, directory + value, into); };
        if (takes == nullptr)
            read(take);
        else
            Forms.push_back(takes->Load(path, take, read));
    }
}

void TVoiceCommandModel::LoadTrajectory(const std::string& fileName, TCommandTraj& traj) const
{
    LoadTrajectory(fileName, fileName, traj);
}

void TVoiceCommandModel::LoadTrajectory(const std::string& path, const std::string& fileName, TCommandTraj& traj) const
{
    // Only the bytes a sensible header describes are read: a huge file costs no more than its trajectory.
    std::optional<uint64_t> fileBytes;
    const std::optional<std::vector<uint8_t>> bytes =
        ReadSelfSizedFile(path, kHeaderBytes, [&fileBytes](const std::vector<uint8_t>& header) {
            TTrajectoryReader headerReader(header);
            const int32_t phonemeCount = headerReader.Int32();
            const int32_t atomCount = headerReader.Int32();
            fileBytes = TrajectoryFileBytes(phonemeCount, atomCount);
            return fileBytes;
        });
    if (!bytes)
        throw CannotOpenError(fileName);
    if (!fileBytes || bytes->size() != *fileBytes)
        throw ReadError(fileName);
    TTrajectoryReader reader(*bytes);
    const int32_t phonemeCount = reader.Int32();
    const int32_t atomCount = reader.Int32();

    InitCommandTraj(traj, phonemeCount, atomCount);
    for (int32_t& id : traj.Ids)
        id = reader.Int32();
    for (TPhonemeName& name : traj.Names)
        name = reader.Name();
    for (std::vector<double>& row : traj.Rows)
        reader.Doubles(row.data(), row.size());
}

double TVoiceCommandModel::Score(const TCommandTraj& traj, TMatchMode mode)
{
    return ScoreWith(TTakeMatcher(traj, mode));
}

double TVoiceCommandModel::ScoreWith(const TTakeMatcher& matcher, const std::vector<double>& takeBounds)
{
    const bool bounded = takeBounds.size() == Trajectories.size();
    std::vector<size_t> order(Trajectories.size());
    std::iota(order.begin(), order.end(), size_t{0});
    if (bounded)
        std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return takeBounds[a] > takeBounds[b]; });
    // Only the best example counts: one that cannot beat the best so far is given up as soon as that is certain,
    // which leaves the best likeness exactly as it would be.
    double result = 0.0;
    TCommandTraj scratch;
    for (const size_t take : order) {
        if (bounded) {
            if (takeBounds[take] <= result)
                break;   // nor can any after it
            // A dearer bound only once there is a best to beat.
            if (result > 0.0 && take < Forms.size() &&
                matcher.AtMost(Forms[take], Trajectories[take].Ids, result) <= result)
                continue;
        }
        const double likeness = take < Forms.size() ? matcher.Likeness(FullTrajectory(take, scratch), Forms[take], result)
                                                    : matcher.Likeness(FullTrajectory(take, scratch), result);
        result = std::max(result, likeness);
    }
    LastScore = result;
    LastScoreExact = true;
    return result;
}

const TCommandTraj& TVoiceCommandModel::FullTrajectory(size_t index, TCommandTraj& scratch) const
{
    const TCommandTraj& take = Trajectories[index];
    if (HoldsRows(take))
        return take;
    const std::string fileName = DirectoryPart(FileName) + ModelFiles[index];
    LoadTrajectory(Forms[index].Path, fileName, scratch);
    if (scratch.AtomCount != take.AtomCount || scratch.Ids != take.Ids)
        throw ESovoError("Файл '" + fileName + "' изменился после загрузки моделей");
    return scratch;
}

std::vector<TCommandTraj> TVoiceCommandModel::FullTrajectories() const
{
    std::vector<TCommandTraj> takes(Trajectories.size());
    for (size_t i = 0; i < takes.size(); ++i) {
        const TCommandTraj& full = FullTrajectory(i, takes[i]);
        if (&full != &takes[i])
            takes[i] = full;
    }
    return takes;
}

EUnloadedModels::EUnloadedModels(const std::vector<std::string>& failures)
    : ESovoError(UnloadedModelsMessage(failures))
{
}

void TTeskDictionary::LoadModels(const std::string& dir, const std::string& ext)
{
    models_.clear();
    std::vector<std::string> failures;
    TModelPathResolver paths;
    const std::vector<std::string> fileNames = ListModelFiles(dir, ext);
    // A vocabulary scored in full matches every take every time: rows read again per utterance would cost
    // more than holding them.
    const bool scoredInFull = fileNames.size() <= static_cast<size_t>(std::max(ScoreEveryCommandUpTo, 0));
    TTakeFormsCache cache(TakeFormsFolder, dir, CachedFromBytes);
    TTakeLoader loader(scoredInFull ? UINT64_MAX : KeptRowBytes, cache);
    for (const std::string& fileName : fileNames) {
        auto model = std::make_unique<TVoiceCommandModel>();
        try {
            model->Load(fileName, paths, &loader);
        } catch (const ESovoError& e) {
            failures.push_back(fileName + ": " + e.what());
            continue;
        }
        models_.push_back(std::move(model));
    }
    std::vector<std::pair<const TCommandTraj*, const TTakeForms*>> takes;
    for (const std::unique_ptr<TVoiceCommandModel>& model : models_) {
        for (size_t i = 0; i < model->Forms.size(); ++i)
            takes.emplace_back(&model->Trajectories[i], &model->Forms[i]);
    }
    cache.Save(takes);
    if (!failures.empty())
        throw EUnloadedModels(failures);
}

int32_t TTeskDictionary::ModelCount() const
{
    return static_cast<int32_t>(models_.size());
}

TVoiceCommandModel* TTeskDictionary::GetModel(int32_t index)
{
    return (index < 0 || index >= ModelCount()) ? nullptr : models_[static_cast<size_t>(index)].get();
}

void TTeskDictionary::PhonemesChanged(TTeskPhoneme& sender)
{
    phonemes_.clear();
    for (int32_t i = 0; i < sender.ModelCount(); ++i) {
        const TPhonemeModel& model = *sender.GetModel(i);
        phonemes_.push_back({model.Chars, model.Id, 0.0});
    }
}

void TTeskDictionary::AddPhonemeScores(TTeskPhoneme& phoneme, bool last)
{
    const int32_t phonemeCount = phoneme.ModelCount();
    if (!last) {
        TArrayOfDouble row;
        row.reserve(static_cast<size_t>(phonemeCount));
        for (int32_t i = 0; i < phonemeCount; ++i)
            row.push_back(phoneme.GetModel(i)->Decision.Score);
        pendingRows_.push_back(std::move(row));
        return;
    }
    if (pendingRows_.empty())
        return;

    InitCommandTraj(Trajectory, phonemeCount, 0);
    for (int32_t i = 0; i < phonemeCount; ++i) {
        const TPhonemeModel& model = *phoneme.GetModel(i);
        Trajectory.Ids[static_cast<size_t>(i)] = model.Id;
        Trajectory.Names[static_cast<size_t>(i)] = MakePhonemeName(model.Chars);
    }
    // The rows move over as they are. One collected before the phoneme set changed size keeps the columns it
    // has, and the rest are zeros.
    for (TArrayOfDouble& row : pendingRows_)
        row.resize(static_cast<size_t>(phonemeCount), 0.0);
    Trajectory.AtomCount = static_cast<int32_t>(pendingRows_.size());
    Trajectory.Rows = std::move(pendingRows_);
    pendingRows_.clear();
    if (OnTrajectoryReady)
        OnTrajectoryReady(*this, Trajectory);
}

double TTeskDictionary::Recognize(const TCommandTraj& traj)
{
    const TTakeMatcher matcher(traj, MatchMode);
    if (ModelCount() <= ScoreEveryCommandUpTo) {
        for (const std::unique_ptr<TVoiceCommandModel>& model : models_)
            model->ScoreWith(matcher);
    } else {
        ScoreContenders(models_, matcher);
    }
    double best = 0.0;
    int32_t bestIndex = -1;
    for (int32_t i = 0; i < ModelCount(); ++i) {
        const TVoiceCommandModel& model = *models_[static_cast<size_t>(i)];
        if (model.LastScoreExact && model.LastScore >= best) {   // ties go to the later model
            best = model.LastScore;
            bestIndex = i;
        }
    }
    if (bestIndex < 0) {
        BestName = "Нет моделей команд";
        BestScore = -1.0;
    } else {
        BestName = models_[static_cast<size_t>(bestIndex)]->Name;
        BestScore = models_[static_cast<size_t>(bestIndex)]->LastScore;
    }
    return best;
}

void TTeskDictionary::ForgetUtterance()
{
    pendingRows_.clear();
    ClearCommandTraj(Trajectory);
    BestName.clear();
    BestScore = 0.0;
    for (const std::unique_ptr<TVoiceCommandModel>& model : models_) {
        model->LastScore = 0.0;
        model->LastScoreExact = true;
    }
}

void TTeskDictionary::SaveTrajectory(const std::string& fileName)
{
    WriteModelFile(fileName, EncodeTrajectory(Trajectory));
}
