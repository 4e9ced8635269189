#pragma once
// Measuring a rendered tone: its frequency from the zero crossings and its purity, the
// energy within ±3 % of its frequency against all other energy.

#include "FFT.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

namespace sonvira::test {

// Frequency from the rising zero crossings (interpolated) of samples [from, to).
inline double Frequency(const std::vector<double>& s, size_t from, size_t to, double rate) {
    double first = -1, last = -1;
    int crossings = 0;
    for (size_t i = from + 1; i < to; ++i) {
        if (s[i - 1] < 0 && s[i] >= 0) {
            const double t = static_cast<double>(i - 1) + s[i - 1] / (s[i - 1] - s[i]);
            if (first < 0) first = t;
            last = t;
            ++crossings;
        }
    }
    return crossings > 1 ? (crossings - 1) * rate / (last - first) : 0.0;
}

// Purity in dB over 2^log2Points samples from `from`, through a Blackman-Harris window (its
// own leakage stays far below what is measured, as long as its main lobe, four bins either
// side, fits inside the ±3 % band: choose enough points for low tones).
inline double PurityDb(const std::vector<double>& s, size_t from, double frequency, double rate, int log2Points) {
    const int n = 1 << log2Points;
    std::vector<double> x(static_cast<size_t>(n)), y(static_cast<size_t>(n), 0.0);
    for (int i = 0; i < n; ++i) {
        const double w = 0.35875 - 0.48829 * std::cos(2 * M_PI * i / n) + 0.14128 * std::cos(4 * M_PI * i / n) -
                         0.01168 * std::cos(6 * M_PI * i / n);
        x[static_cast<size_t>(i)] = s[from + static_cast<size_t>(i)] * w;
    }
    FFT(1, log2Points, x.data(), y.data());
    double tone = 0, rest = 0;
    for (int k = 1; k < n / 2; ++k) {
        const auto i = static_cast<size_t>(k);
        (std::abs(k * rate / n - frequency) <= 0.03 * frequency ? tone : rest) += x[i] * x[i] + y[i] * y[i];
    }
    return 10 * std::log10(tone / std::max(rest, 1e-30));
}

}  // namespace sonvira::test
