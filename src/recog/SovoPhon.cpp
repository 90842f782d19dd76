#include "SovoPhon.h"

#include <algorithm>
#include <optional>

#include "ArithmeticPath.h"
#include "ModelFiles.h"
#include "EnvelopeComparison.h"

namespace {

constexpr int kDefaultTemplateCount = 10;

}  // namespace

TPhonemeModel::TPhonemeModel()
{
    for (int k = 0; k < kDefaultTemplateCount; ++k) {
        TPhonemeTemplate flat;
        flat.fill(static_cast<uint8_t>(255 * k / kDefaultTemplateCount));
        flat[0] = 1;
        Templates.push_back(flat);
    }
}

void TPhonemeModel::Load(const std::string& fileName)
{
    Chars.clear();
    Templates.clear();
    ModelFiles.clear();   // kept in step with Templates when a model is loaded again
    Id = -1;
    const std::string directory = DirectoryPart(fileName);
    for (const std::string& line : ReadModelLines(fileName, TLetterCase::Keep)) {
        std::string value;
        if (TakeKey(line, "CHARS=", value)) {
            Chars = value;
        } else if (TakeKey(line, "MODEL=", value)) {
            if (!StaysInModelFolder(value))
                throw UnknownLineError(line, fileName);
            ModelFiles.push_back(value);
            Templates.emplace_back();
            LoadTemplate(directory + value, Templates.back());
        } else if (TakeKey(line, "ID=", value)) {
            Id = ParseModelInteger(value);
        } else if (TakeKey(line, "MAINTONE=", value)) {
            MainTone = ParseModelInteger(value);
        } else {
            throw UnknownLineError(line, fileName);
        }
    }
    if (MainTone != 0) {
        for (TPhonemeTemplate& tmpl : Templates)
            tmpl[0] = static_cast<uint8_t>(MainTone);   // the low 8 bits
    }
}

void TPhonemeModel::LoadTemplate(const std::string& fileName, TPhonemeTemplate& tmpl)
{
    const std::optional<std::vector<uint8_t>> bytes = ReadFileBytes(fileName, tmpl.size());
    if (!bytes)
        throw ESovoError("Файл '" + fileName + "' ненайден! ");
    if (bytes->size() < tmpl.size())
        throw ESovoError("В файле '" + fileName + "' не найдены данные!");
    std::copy(bytes->begin(), bytes->end(), tmpl.begin());
}

void TPhonemeModel::ScoreAtom(const TAtom& atom)
{
    ScoreAtom(atom, PrepareEnvelope(atom.EnvelopeBytes));
}

void TPhonemeModel::ScoreAtom(const TAtom& atom, const TPreparedEnvelope& envelope)
{
    std::copy_n(Chars.begin(), std::min(Chars.size(), Decision.Name.size()), Decision.Name.begin());
    Decision.Score = 0.0;
    size_t best = 0;
    // With the default comparison in force, the templates' sums are taken once (again whenever the templates
    // have been replaced) and only the products with the atom's envelope are formed per atom.
    const bool prepared = EnvelopeCompare == EnvelopeCorrelation && ArithmeticPath() == TArithmeticPath::Fast;
    if (prepared && preparedFrom_ != Templates) {
        preparedTemplates_.clear();
        for (const TPhonemeTemplate& tmpl : Templates)
            preparedTemplates_.push_back(PrepareEnvelope(tmpl.data()));
        preparedFrom_ = Templates;
    }
    for (size_t t = 0; t < Templates.size(); ++t) {
        const double similarity = prepared ? PreparedCorrelation(envelope, preparedTemplates_[t])
                                           : CompareEnvelopes(atom.EnvelopeBytes, Templates[t].data());
        if (similarity > Decision.Score) {
            Decision.Score = similarity;
            best = t;
        }
    }
    // Without a positive match the previous atom's template stays on record.
    if (Decision.Score > 0.0) {
        Decision.TemplateIndex = static_cast<int32_t>(best);
        Decision.Template = Templates[best];
    }
}

void TTeskPhoneme::LoadModels(const std::string& dir, const std::string& ext)
{
    models_.clear();
    for (const std::string& fileName : ListModelFiles(dir, ext)) {
        models_.push_back(std::make_unique<TPhonemeModel>());
        models_.back()->Load(fileName);
    }
    if (!OnModelsChanged)
        throw ESovoError("Не определена процедура сообщения о смене моделей фонем.");
    OnModelsChanged(*this);
}

int32_t TTeskPhoneme::ModelCount() const
{
    return static_cast<int32_t>(models_.size());
}

TPhonemeModel* TTeskPhoneme::GetModel(int32_t index)
{
    return (index < 0 || index >= ModelCount()) ? nullptr : models_[static_cast<size_t>(index)].get();
}

void TTeskPhoneme::ClassifyAtoms(const TArrayAtoms& atoms)
{
    // An utterance without atoms has nothing to report.
    for (size_t i = 0; i < atoms.size(); ++i)
        ClassifyAtom(atoms[i], i + 1 == atoms.size());
}

void TTeskPhoneme::ClassifyAtom(const TAtom& atom, bool last)
{
    int32_t bestIndex = -1;
    double bestScore = -33000.0;
    const TPreparedEnvelope envelope = PrepareEnvelope(atom.EnvelopeBytes);
    for (int32_t i = 0; i < ModelCount(); ++i) {
        TPhonemeModel& model = *models_[static_cast<size_t>(i)];
        model.ScoreAtom(atom, envelope);
        model.Decision.Score *= atom.Level;
        if (model.Decision.Score > bestScore) {
            bestScore = model.Decision.Score;
            bestIndex = i;
        }
    }
    if (bestIndex < 0)
        throw ESovoError("Нет ни одной модели фонемы.");
    Decision = models_[static_cast<size_t>(bestIndex)]->Decision;
    if (OnAtomClassified)
        OnAtomClassified(*this, Decision, last);
}

void TTeskPhoneme::ForgetDecisions()
{
    for (const std::unique_ptr<TPhonemeModel>& model : models_)
        model->Decision = TPhonemeDecision{};
    Decision = TPhonemeDecision{};
}
