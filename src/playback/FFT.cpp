#include "FFT.h"

#include <utility>

#include "TwiddleSequence.h"

namespace sonvira {

namespace {

// Puts every element at the bit-reversed index of its own (a sequence of swaps).
void BitReverse(int n, double* x, double* y) {
    const int half = n >> 1;
    int j = 0;
    for (int i = 0; i < n - 1; ++i) {
        if (i < j) {
            std::swap(x[i], x[j]);
            std::swap(y[i], y[j]);
        }
        int k = half;
        while (k <= j) {
            j -= k;
            k >>= 1;
        }
        j += k;
    }
}

}  // namespace

bool FFT(int direction, int m, double* x, double* y) {
    int n = 1;
    for (int s = 0; s < m; ++s) n *= 2;

    BitReverse(n, x, y);

    // Stage by stage, group by group: every butterfly of the group uses its factor.
    ForEachTwiddle(direction, m, [=](int l1, int j, double u1, double u2) {
        for (int i = j; i < n; i += 2 * l1) {
            const int i1 = i + l1;
            const double t1 = u1 * x[i1] - u2 * y[i1];
            const double t2 = u1 * y[i1] + u2 * x[i1];
            x[i1] = x[i] - t1;
            y[i1] = y[i] - t2;
            x[i] = x[i] + t1;
            y[i] = y[i] + t2;
        }
    });

    if (direction == 1) {
        for (int i = 0; i < n; ++i) {
            x[i] /= n;
            y[i] /= n;
        }
    }
    return true;
}

}  // namespace sonvira
