// Deterministic randomness: a seeded generator and smooth value noise. Every
// picture and sound takes its variety from here with a fixed seed, so two runs
// of the generator give the same bytes.
#ifndef RSRCGEN_NOISE_H
#define RSRCGEN_NOISE_H

#include <cstdint>

class Rng {
public:
    explicit Rng(uint64_t seed) : state_(seed) {}
    uint64_t Next();
    double Uniform();                      // [0, 1)
    double Range(double lo, double hi);    // [lo, hi)
    int Int(int lo, int hi);               // [lo, hi]

private:
    uint64_t state_;
};

// Smooth value noise in [0, 1], period-free, continuous in x and y.
double Noise2(double x, double y, uint32_t seed);
// Sum of `octaves` noise layers, each twice the frequency and half the weight; [0, 1].
double Fbm2(double x, double y, uint32_t seed, int octaves);
// One-dimensional smooth noise in [-1, 1].
double Noise1(double x, uint32_t seed);

#endif
