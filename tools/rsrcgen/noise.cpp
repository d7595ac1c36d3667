#include "noise.h"

#include <cmath>

uint64_t Rng::Next() {
    // splitmix64: small, fast and well mixed.
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

double Rng::Uniform() { return double(Next() >> 11) * (1.0 / 9007199254740992.0); }
double Rng::Range(double lo, double hi) { return lo + (hi - lo) * Uniform(); }
int Rng::Int(int lo, int hi) { return lo + int(Next() % uint64_t(hi - lo + 1)); }

static uint32_t Hash(int32_t x, int32_t y, uint32_t seed) {
    uint32_t h = seed * 0x27d4eb2du ^ uint32_t(x) * 0x85ebca6bu ^ uint32_t(y) * 0xc2b2ae35u;
    h ^= h >> 15;
    h *= 0x2c1b3c6du;
    h ^= h >> 12;
    h *= 0x297a2d39u;
    h ^= h >> 15;
    return h;
}

static double Lattice(int32_t x, int32_t y, uint32_t seed) { return Hash(x, y, seed) * (1.0 / 4294967295.0); }

static double Fade(double t) { return t * t * t * (t * (t * 6 - 15) + 10); }

double Noise2(double x, double y, uint32_t seed) {
    double fx = std::floor(x), fy = std::floor(y);
    int32_t ix = int32_t(fx), iy = int32_t(fy);
    double tx = Fade(x - fx), ty = Fade(y - fy);
    double a = Lattice(ix, iy, seed), b = Lattice(ix + 1, iy, seed);
    double c = Lattice(ix, iy + 1, seed), d = Lattice(ix + 1, iy + 1, seed);
    double top = a + (b - a) * tx, bottom = c + (d - c) * tx;
    return top + (bottom - top) * ty;
}

double Fbm2(double x, double y, uint32_t seed, int octaves) {
    double sum = 0, weight = 1, total = 0;
    for (int i = 0; i < octaves; ++i) {
        sum += Noise2(x, y, seed + uint32_t(i) * 101u) * weight;
        total += weight;
        x *= 2.03;
        y *= 2.03;
        weight *= 0.5;
    }
    return sum / total;
}

double Noise1(double x, uint32_t seed) { return Noise2(x, 0.5, seed) * 2.0 - 1.0; }
