#include "EnvelopeComparison.h"

#include "PearsonCorrelation.h"
#include "SovoError.h"

namespace {

// Over all 128 positions; position 0 holds zero in every prepared envelope. At most 127 * 255^2, far inside
// 32 bits, so the compiler may pair up the products.
int32_t ProductSum(const int16_t* a, const int16_t* b)
{
    int32_t sum = 0;
    for (int i = 0; i < kBandCount; ++i)
        sum += a[i] * b[i];
    return sum;
}

}  // namespace

TEnvelopeCompare EnvelopeCompare = EnvelopeCorrelation;

double CompareEnvelopes(const uint8_t* a, const uint8_t* b)
{
    if (EnvelopeCompare == nullptr)
        throw ESovoError("Не определена функция сравнеия огибающих.");
    return EnvelopeCompare(a, b);
}

double EnvelopeCorrelation(const uint8_t* a, const uint8_t* b)
{
    // Exact integer sums over the carrying positions; position 0 counts as a zero in both (hence n = 128).
    return TIntegerPearsonSums<int64_t>(a + 1, b + 1, kBandCount - 1).Pearson(kBandCount);
}

// The fast form of EnvelopeCorrelation for one envelope against many: the same sums, each side's taken once.
TPreparedEnvelope PrepareEnvelope(const uint8_t* envelope)
{
    TPreparedEnvelope prepared;
    for (int i = 1; i < kBandCount; ++i) {
        prepared.Values[i] = envelope[i];
        prepared.Sum += envelope[i];
    }
    prepared.Squares = ProductSum(prepared.Values, prepared.Values);
    prepared.Root = DeviationRoot(kBandCount, prepared.Sum, prepared.Squares);
    return prepared;
}

double PreparedCorrelation(const TPreparedEnvelope& a, const TPreparedEnvelope& b)
{
    return PearsonFromRoots(kBandCount, a.Sum, b.Sum, a.Root, b.Root, ProductSum(a.Values, b.Values));
}
