#pragma once
// Power-law noise: synthetic phase data whose fractional-frequency spectrum
// goes as f^alpha (alpha 2 white PM, 1 flicker PM, 0 white FM, -1 flicker FM,
// -2 random-walk FM), made by filtering Gaussian white noise through the
// power-law impulse response with an FFT convolution.
#include <vector>

// The random source: the minimal-standard congruential generator
// (16807 mod 2^31 - 1) with a 32-entry shuffle table, and Gaussian deviates
// by the polar method on top of it. One source is seeded once per run and
// drawn from for every noise type of that run.
struct NoiseRandom {
    // A seed of 0 or below asks for initialisation on the next draw.
    explicit NoiseRandom(int seed) : seed(seed) {}
    int seed;
    int table[32] = {};
    int last = 0;  // last table output (0: not initialised)
    double cached = 0.0;
    bool hasCached = false;
};

// A uniform deviate in (0, 1).
double uniformDeviate(NoiseRandom& random);
// A standard normal deviate.
double gaussianDeviate(NoiseRandom& random);
// A seed asking for initialisation from the calendar time in seconds,
// reduced modulo 2^31 - 1.
int noiseSeedFromClock();

// The most points one noise curve may have (the work arrays take 64 bytes
// per point).
constexpr int kMaxNoisePoints = 1 << 23;

// Makes out n long (keeping its values, appending zeros) and adds n values
// of alpha-noise of the given magnitude to it. Throws std::runtime_error
// "Unable to generate noise model. Out of program memory." when the work
// arrays cannot be had, the FFT's "Unable to run FFT. Invalid size." for
// n < 1, and a runtime error for n above kMaxNoisePoints.
void generatePowerLawNoise(int n, double magnitude, std::vector<double>& out, double alpha, NoiseRandom& random);
