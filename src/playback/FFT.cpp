#include "FFT.h"

#include <cmath>
#include <utility>

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

    // The twiddle (u1, u2) advances by the stage rotation (c1, c2) from group to
    // group; the rotation itself comes from half-angle square roots, no sine table.
    double c1 = -1.0;
    double c2 = 0.0;
    int l2 = 1;
    for (int stage = 0; stage < m; ++stage) {
        const int l1 = l2;
        l2 *= 2;
        double u1 = 1.0;
        double u2 = 0.0;
        for (int j = 0; j < l1; ++j) {
            for (int i = j; i < n; i += l2) {
                const int i1 = i + l1;
                const double t1 = u1 * x[i1] - u2 * y[i1];
                const double t2 = u1 * y[i1] + u2 * x[i1];
                x[i1] = x[i] - t1;
                y[i1] = y[i] - t2;
                x[i] = x[i] + t1;
                y[i] = y[i] + t2;
            }
            const double z = u1 * c1 - u2 * c2;
            u2 = u1 * c2 + u2 * c1;
            u1 = z;
        }
        c2 = std::sqrt((1.0 - c1) / 2.0);
        if (direction == 1) c2 = -c2;
        c1 = std::sqrt((1.0 + c1) / 2.0);
    }

    if (direction == 1) {
        for (int i = 0; i < n; ++i) {
            x[i] /= n;
            y[i] /= n;
        }
    }
    return true;
}

}  // namespace sonvira
