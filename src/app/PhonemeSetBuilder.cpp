#include "PhonemeSetBuilder.h"

#include <algorithm>
#include <cmath>
#include <set>

#include "EnvelopeClustering.h"
#include "SovoError.h"
#include "UtteranceAtoms.h"

namespace {

// Neighbouring atoms share 15/16 of their 1024-sample frame; one in eight is as good and eight times cheaper.
constexpr size_t kAtomStride = 8;

struct TLoudAtom {
    TEnvelopeBytes Envelope;
    double MainTone = 0.0;
};

std::vector<TLoudAtom> LoudAtoms(const std::vector<std::string>& files, double minLevel)
{
    std::vector<TLoudAtom> loud;
    for (const std::string& file : files) {
        size_t seen = 0;
        for (const TAtom& atom : ReadUtteranceAtoms(file)) {
            if (atom.Quiet || atom.Level < minLevel || seen++ % kAtomStride != 0)
                continue;
            TLoudAtom kept;
            std::copy(std::begin(atom.EnvelopeBytes), std::end(atom.EnvelopeBytes), kept.Envelope.begin());
            kept.MainTone = atom.MainTone;
            loud.push_back(kept);
        }
    }
    return loud;
}

std::vector<TEnvelopeBytes> Envelopes(const std::vector<TLoudAtom>& atoms)
{
    std::vector<TEnvelopeBytes> envelopes;
    for (const TLoudAtom& atom : atoms)
        envelopes.push_back(atom.Envelope);
    return envelopes;
}

uint8_t MainToneSlot(std::vector<double> tones)
{
    if (tones.empty())
        return 0;
    std::nth_element(tones.begin(), tones.begin() + static_cast<std::ptrdiff_t>(tones.size() / 2), tones.end());
    return static_cast<uint8_t>(static_cast<int64_t>(std::nearbyint(tones[tones.size() / 2])) & 0xFF);
}

// Up to count templates for the atoms of one unit, largest cluster first.
std::vector<TPhonemeTemplate> Templates(const std::vector<TLoudAtom>& atoms, size_t count)
{
    const TEnvelopeClusters clusters = ClusterEnvelopes(Envelopes(atoms), count);
    std::vector<size_t> order(clusters.Centres.size());
    for (size_t c = 0; c < order.size(); ++c)
        order[c] = c;
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return clusters.Sizes[a] > clusters.Sizes[b]; });

    std::vector<TPhonemeTemplate> templates;
    for (const size_t c : order) {
        std::vector<double> tones;
        for (size_t a = 0; a < atoms.size(); ++a) {
            if (clusters.Cluster[a] == c)
                tones.push_back(atoms[a].MainTone);
        }
        TPhonemeTemplate tmpl;
        const TEnvelopeBytes envelope = EnvelopeOfCentre(clusters.Centres[c]);
        std::copy(envelope.begin(), envelope.end(), tmpl.begin());
        tmpl[0] = MainToneSlot(std::move(tones));
        templates.push_back(tmpl);
    }
    return templates;
}

// The band at the centre of gravity of a template's envelope: low units first.
double CentreBand(const TPhonemeTemplate& tmpl)
{
    double weighted = 0.0, total = 0.0;
    for (size_t i = 1; i < tmpl.size(); ++i) {
        weighted += static_cast<double>(i) * tmpl[i];
        total += tmpl[i];
    }
    return total > 0 ? weighted / total : 0.0;
}

struct TUnitAtoms {
    std::string Name;
    std::vector<TLoudAtom> Atoms;
};

// All atoms pooled and clustered into count units, named u01, u02, ... from the lowest centre band up.
std::vector<TUnitAtoms> DataDrivenUnits(const std::vector<TLoudAtom>& atoms, size_t count)
{
    const TEnvelopeClusters clusters = ClusterEnvelopes(Envelopes(atoms), count);
    std::vector<std::pair<double, size_t>> order;
    for (size_t c = 0; c < clusters.Centres.size(); ++c) {
        TPhonemeTemplate tmpl{};
        const TEnvelopeBytes envelope = EnvelopeOfCentre(clusters.Centres[c]);
        std::copy(envelope.begin(), envelope.end(), tmpl.begin());
        order.emplace_back(CentreBand(tmpl), c);
    }
    std::sort(order.begin(), order.end());

    const size_t digits = std::max<size_t>(2, std::to_string(order.size()).size());
    std::vector<TUnitAtoms> units(order.size());
    for (size_t u = 0; u < order.size(); ++u) {
        const std::string number = std::to_string(u + 1);
        units[u].Name.assign(1 + digits, '0');   // "u" and the number with leading zeros
        units[u].Name.front() = 'u';
        units[u].Name.replace(units[u].Name.size() - number.size(), number.size(), number);
        for (size_t a = 0; a < atoms.size(); ++a) {
            if (clusters.Cluster[a] == order[u].second)
                units[u].Atoms.push_back(atoms[a]);
        }
    }
    return units;
}

uint32_t NameHash(const std::string& name)
{
    uint32_t hash = 2166136261u;   // FNV-1a
    for (const char c : name) {
        hash ^= static_cast<uint8_t>(c);
        hash *= 16777619u;
    }
    return hash;
}

}  // namespace

std::vector<int32_t> StablePhonemeIds(const std::vector<std::string>& names)
{
    // Names are taken in byte order when resolving collisions, so the order they come in does not matter.
    std::vector<size_t> order(names.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return names[a] < names[b]; });

    std::vector<int32_t> ids(names.size());
    std::set<int32_t> taken;
    for (const size_t i : order) {
        int32_t id = static_cast<int32_t>(NameHash(names[i]) & 0x7FFFFFFF);
        while (id == 0 || taken.count(id))
            id = id == 0x7FFFFFFF ? 1 : id + 1;
        taken.insert(id);
        ids[i] = id;
    }
    return ids;
}

std::vector<TBuiltPhoneme> BuildPhonemeSet(const std::vector<TUnitRecordings>& recordings,
                                           const TPhonemeBuildSettings& settings)
{
    std::vector<TUnitAtoms> units;
    if (settings.DataDrivenUnits > 0) {
        std::vector<TLoudAtom> pooled;
        for (const TUnitRecordings& unit : recordings) {
            std::vector<TLoudAtom> atoms = LoudAtoms(unit.Files, settings.MinLevel);
            pooled.insert(pooled.end(), atoms.begin(), atoms.end());
        }
        units = DataDrivenUnits(pooled, static_cast<size_t>(settings.DataDrivenUnits));
    } else {
        for (const TUnitRecordings& unit : recordings)
            units.push_back({unit.Unit, LoudAtoms(unit.Files, settings.MinLevel)});
    }

    std::vector<TBuiltPhoneme> phonemes;
    for (TUnitAtoms& unit : units) {
        if (unit.Atoms.empty())
            continue;
        TBuiltPhoneme phoneme;
        phoneme.Name = unit.Name;
        phoneme.AtomCount = unit.Atoms.size();
        phoneme.Templates = Templates(unit.Atoms, static_cast<size_t>(settings.TemplatesPerUnit));
        if (!phoneme.Templates.empty())
            phonemes.push_back(std::move(phoneme));
    }
    if (phonemes.empty())
        throw ESovoError("Нет ни одного громкого атома: набор фонем не построен.");

    std::vector<std::string> names;
    for (const TBuiltPhoneme& phoneme : phonemes)
        names.push_back(phoneme.Name);
    const std::vector<int32_t> ids = StablePhonemeIds(names);
    for (size_t i = 0; i < phonemes.size(); ++i)
        phonemes[i].Id = ids[i];
    return phonemes;
}
