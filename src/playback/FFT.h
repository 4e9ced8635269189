#pragma once
// The program's one Fourier transform: an in-place iterative radix-2 transform of
// 2^m complex points held as two parallel arrays of doubles.

namespace sonvira {

// Transforms x (real parts) and y (imaginary parts), each of 2^m elements owned by
// the caller, in place. direction 1 is the forward transform and includes the
// division by n = 2^m; any other value is the inverse transform, unscaled. m of 0 or
// less means one point. Allocates nothing, keeps no state: any thread may call it.
// Always returns true.
bool FFT(int direction, int m, double* x, double* y);

}  // namespace sonvira
