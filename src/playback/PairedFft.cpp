#include "PairedFft.h"

#include <cstring>

#include "TwiddleSequence.h"

namespace sonvira {

namespace {

constexpr int kN = kPitchBlockFrames;

// Twiddles of every stage, laid out stage after stage: stage s (l1 = 2^s) holds its
// l1 groups' factors at offset l1 − 1. 1023 entries per direction.
struct TwiddleTable {
    double u1[kN - 1];
    double u2[kN - 1];
};

// The bit-reversal swaps in the order the transform makes them.
struct SwapTable {
    int count = 0;
    int first[kN / 2];
    int second[kN / 2];
};

struct Tables {
    TwiddleTable forward;
    TwiddleTable inverse;
    SwapTable swaps;

    Tables() {
        BuildTwiddles(1, forward);
        BuildTwiddles(-1, inverse);
        BuildSwaps();
    }

    // Records each group's factor of the transform's own twiddle sequence.
    static void BuildTwiddles(int direction, TwiddleTable& table) {
        ForEachTwiddle(direction, kPitchBlockBits, [&](int l1, int j, double u1, double u2) {
            table.u1[l1 - 1 + j] = u1;
            table.u2[l1 - 1 + j] = u2;
        });
    }

    void BuildSwaps() {
        const int half = kN >> 1;
        int j = 0;
        for (int i = 0; i < kN - 1; ++i) {
            if (i < j) {
                swaps.first[swaps.count] = i;
                swaps.second[swaps.count] = j;
                ++swaps.count;
            }
            int k = half;
            while (k <= j) {
                j -= k;
                k >>= 1;
            }
            j += k;
        }
    }
};

const Tables& GetTables() {
    static const Tables tables;
    return tables;
}

// Both lanes of one element in one register. GCC's vector types do the same IEEE
// operation on each lane, so the lanes round exactly as scalar code would.
using Lanes = double __attribute__((vector_size(16)));

inline Lanes Load(const double (&element)[2]) {
    Lanes v;
    std::memcpy(&v, element, sizeof(v));
    return v;
}

inline void Store(double (&element)[2], Lanes v) { std::memcpy(element, &v, sizeof(v)); }

void SwapElements(LaneArray& a, int i, int j) {
    const Lanes t = Load(a[i]);
    Store(a[i], Load(a[j]));
    Store(a[j], t);
}

// One stage: every butterfly of FFT's stage with this l1, taken block by block
// so that the groups' elements lie next to each other.
void Stage(int l1, const double* tu1, const double* tu2, LaneArray& x, LaneArray& y) {
    const int l2 = 2 * l1;
    for (int base = 0; base < kN; base += l2) {
        for (int j = 0; j < l1; ++j) {
            const int i = base + j;
            const int i1 = i + l1;
            const Lanes u1 = {tu1[j], tu1[j]};
            const Lanes u2 = {tu2[j], tu2[j]};
            const Lanes xi = Load(x[i]);
            const Lanes yi = Load(y[i]);
            const Lanes xi1 = Load(x[i1]);
            const Lanes yi1 = Load(y[i1]);
            const Lanes t1 = u1 * xi1 - u2 * yi1;
            const Lanes t2 = u1 * yi1 + u2 * xi1;
            Store(x[i1], xi - t1);
            Store(y[i1], yi - t2);
            Store(x[i], xi + t1);
            Store(y[i], yi + t2);
        }
    }
}

}  // namespace

void PairedFft(int direction, LaneArray& re, LaneArray& im) {
    const Tables& tables = GetTables();
    for (int s = 0; s < tables.swaps.count; ++s) {
        SwapElements(re, tables.swaps.first[s], tables.swaps.second[s]);
        SwapElements(im, tables.swaps.first[s], tables.swaps.second[s]);
    }

    const TwiddleTable& tw = direction == 1 ? tables.forward : tables.inverse;
    for (int l1 = 1; l1 < kN; l1 *= 2) {
        Stage(l1, tw.u1 + (l1 - 1), tw.u2 + (l1 - 1), re, im);
    }

    if (direction == 1) {
        const Lanes n = {kN, kN};
        for (int k = 0; k < kN; ++k) {
            Store(re[k], Load(re[k]) / n);
            Store(im[k], Load(im[k]) / n);
        }
    }
}

}  // namespace sonvira
