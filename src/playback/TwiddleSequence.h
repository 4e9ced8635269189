#pragma once
// The twiddle factors of the radix-2 transform, in the order its butterflies use them.
// Both transforms (FFT and PairedFft) take their factors from here, so that they round
// alike: the factors come from a recurrence, not a sine table, and each rounding step
// is part of the result.

#include <cmath>

namespace sonvira {

// Calls visit(l1, j, u1, u2) for stage after stage of a 2^m-point transform (l1 = 1, 2,
// 4, …, 2^(m−1)) and within a stage for group j = 0 … l1−1, with the group's factor
// u1 + i·u2. The factor starts at 1 and advances from group to group by the stage's
// rotation; the rotation for the next stage comes from half-angle square roots of this
// one. direction 1 turns clockwise (forward transform), any other value the other way.
// Needs no state and allocates nothing. Callers compile with -ffp-contract=off.
template <typename Visit>
void ForEachTwiddle(int direction, int m, Visit&& visit) {
    double c1 = -1.0;
    double c2 = 0.0;
    int l2 = 1;
    for (int stage = 0; stage < m; ++stage) {
        const int l1 = l2;
        l2 *= 2;
        double u1 = 1.0;
        double u2 = 0.0;
        for (int j = 0; j < l1; ++j) {
            visit(l1, j, u1, u2);
            const double z = u1 * c1 - u2 * c2;
            u2 = u1 * c2 + u2 * c1;
            u1 = z;
        }
        c2 = std::sqrt((1.0 - c1) / 2.0);
        if (direction == 1) c2 = -c2;
        c1 = std::sqrt((1.0 + c1) / 2.0);
    }
}

}  // namespace sonvira
