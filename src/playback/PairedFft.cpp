#include "PairedFft.h"

#include <cmath>
#include <utility>

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

    // Runs the twiddle recurrence of FFT exactly, recording each group's factor.
    static void BuildTwiddles(int direction, TwiddleTable& table) {
        double c1 = -1.0;
        double c2 = 0.0;
        int l2 = 1;
        for (int stage = 0; stage < kPitchBlockBits; ++stage) {
            const int l1 = l2;
            l2 *= 2;
            double u1 = 1.0;
            double u2 = 0.0;
            for (int j = 0; j < l1; ++j) {
                table.u1[l1 - 1 + j] = u1;
                table.u2[l1 - 1 + j] = u2;
                const double z = u1 * c1 - u2 * c2;
                u2 = u1 * c2 + u2 * c1;
                u1 = z;
            }
            c2 = std::sqrt((1.0 - c1) / 2.0);
            if (direction == 1) c2 = -c2;
            c1 = std::sqrt((1.0 + c1) / 2.0);
        }
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

void SwapLanes(double (&a)[2], double (&b)[2]) {
    std::swap(a[0], b[0]);
    std::swap(a[1], b[1]);
}

// One stage: every butterfly of FFT's stage with this l1, taken block by block
// so that the groups' elements lie next to each other.
void Stage(int l1, const double* tu1, const double* tu2, LaneArray& x, LaneArray& y) {
    const int l2 = 2 * l1;
    for (int base = 0; base < kN; base += l2) {
        for (int j = 0; j < l1; ++j) {
            const double u1 = tu1[j];
            const double u2 = tu2[j];
            double* xi = x[base + j];
            double* yi = y[base + j];
            double* xi1 = x[base + j + l1];
            double* yi1 = y[base + j + l1];
            for (int c = 0; c < 2; ++c) {
                const double t1 = u1 * xi1[c] - u2 * yi1[c];
                const double t2 = u1 * yi1[c] + u2 * xi1[c];
                xi1[c] = xi[c] - t1;
                yi1[c] = yi[c] - t2;
                xi[c] = xi[c] + t1;
                yi[c] = yi[c] + t2;
            }
        }
    }
}

}  // namespace

void PairedFft(int direction, LaneArray& re, LaneArray& im) {
    const Tables& tables = GetTables();
    for (int s = 0; s < tables.swaps.count; ++s) {
        SwapLanes(re[tables.swaps.first[s]], re[tables.swaps.second[s]]);
        SwapLanes(im[tables.swaps.first[s]], im[tables.swaps.second[s]]);
    }

    const TwiddleTable& tw = direction == 1 ? tables.forward : tables.inverse;
    for (int l1 = 1; l1 < kN; l1 *= 2) {
        Stage(l1, tw.u1 + (l1 - 1), tw.u2 + (l1 - 1), re, im);
    }

    if (direction == 1) {
        for (int k = 0; k < kN; ++k) {
            for (int c = 0; c < 2; ++c) {
                re[k][c] /= kN;
                im[k][c] /= kN;
            }
        }
    }
}

}  // namespace sonvira
