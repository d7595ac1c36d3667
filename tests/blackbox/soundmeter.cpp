// Measures what a recording of the game's sound holds, for the sound
// black-box test (sound.sh). sox turns the recording and the game's own sound
// files into raw mono 32-bit floats at one rate; this tool finds a file in a
// recording by normalised cross-correlation (a matched filter, so music under
// an effect or noise in the room does not fool it) and looks for dropouts.
//
//   soundmeter align  <rate> <reference> <recording> loop|once
//       loop: where the recording sits in the reference, a piece that repeats
//             (the music); once: where the reference (an effect) sits in the
//             recording. Prints "offset_s ncc gain_db" of the best match;
//             gain_db is the recording's level over the reference's there.
//   soundmeter onsets <rate> <reference> <recording> <min ncc> <min gain_db>
//       every place the reference plays in the recording, one line each,
//       "time_s ncc gain_db", in time order.
//   soundmeter gaps   <rate> <recording.s16 stereo> <from_s> <to_s> <min_ms>
//       every run of digital silence (both channels 0) of at least min_ms in
//       the window, "start_s length_ms": what a sound server plays when the
//       stream it mixes runs dry.
#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "Nivel.h"
#include "brisa2d2.h"

namespace {

using Signal = std::vector<double>;
using Spectrum = std::vector<std::complex<double>>;

// Below this energy a window counts as silence: a correlation there means nothing.
constexpr double kSilentEnergy = 1e-9;

bool ReadBytes(const char* path, std::vector<char>& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

bool ReadFloats(const char* path, Signal& out) {
    std::vector<char> bytes;
    if (!ReadBytes(path, bytes)) return false;
    out.resize(bytes.size() / sizeof(float));
    for (size_t i = 0; i < out.size(); ++i) {
        float v;
        memcpy(&v, bytes.data() + i * sizeof(float), sizeof v);
        out[i] = v;
    }
    return true;
}

// In-place iterative radix-2 FFT; the size is a power of two.
void Fft(Spectrum& a, bool inverse) {
    const size_t n = a.size();
    for (size_t i = 1, j = 0; i < n; ++i) {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) j ^= bit;
        j ^= bit;
        if (i < j) std::swap(a[i], a[j]);
    }
    for (size_t len = 2; len <= n; len <<= 1) {
        const double angle = 2 * M_PI / double(len) * (inverse ? 1 : -1);
        const std::complex<double> step(std::cos(angle), std::sin(angle));
        for (size_t i = 0; i < n; i += len) {
            std::complex<double> w(1);
            for (size_t k = 0; k < len / 2; ++k) {
                const std::complex<double> u = a[i + k], v = a[i + k + len / 2] * w;
                a[i + k] = u + v;
                a[i + k + len / 2] = u - v;
                w *= step;
            }
        }
    }
    if (inverse)
        for (auto& x : a) x /= double(n);
}

// dot[k] = sum over i of needle[i] * hay[k + i], for every k where the needle fits.
Signal SlidingDot(const Signal& needle, const Signal& hay) {
    size_t n = 1;
    while (n < hay.size() + needle.size()) n <<= 1;
    Spectrum h(n), m(n);
    std::copy(hay.begin(), hay.end(), h.begin());
    std::copy(needle.begin(), needle.end(), m.begin());
    Fft(h, false);
    Fft(m, false);
    for (size_t i = 0; i < n; ++i) h[i] *= std::conj(m[i]);
    Fft(h, true);
    Signal dot(hay.size() - needle.size() + 1);
    for (size_t k = 0; k < dot.size(); ++k) dot[k] = h[k].real();
    return dot;
}

double Energy(const Signal& s) {
    double e = 0;
    for (double v : s) e += v * v;
    return e;
}

// energy[k] = the energy of hay[k, k + length).
Signal SlidingEnergy(const Signal& hay, size_t length) {
    Signal prefix(hay.size() + 1, 0.0);
    for (size_t i = 0; i < hay.size(); ++i) prefix[i + 1] = prefix[i] + hay[i] * hay[i];
    Signal energy(hay.size() - length + 1);
    for (size_t k = 0; k < energy.size(); ++k) energy[k] = std::max(0.0, prefix[k + length] - prefix[k]);
    return energy;
}

double Decibels(double ratio) { return ratio > 0 ? 20 * std::log10(ratio) : -999; }

// One alignment of needle and haystack: the normalised correlation, and the
// least-squares gain that takes the reference to the recording there.
struct Match {
    size_t at = 0;
    double ncc = 0, gain = 0;
};

// Every alignment of the needle within the haystack. The reference is the
// needle when it is found in the recording, the haystack when the recording
// is found in it; the gain is always the recording's over the reference's.
std::vector<Match> Correlate(const Signal& needle, const Signal& hay, bool needleIsReference) {
    const Signal dot = SlidingDot(needle, hay);
    const Signal energy = SlidingEnergy(hay, needle.size());
    const double needleEnergy = Energy(needle);
    std::vector<Match> all(dot.size());
    for (size_t k = 0; k < dot.size(); ++k) {
        all[k].at = k;
        if (energy[k] < kSilentEnergy || needleEnergy < kSilentEnergy) continue;
        all[k].ncc = dot[k] / std::sqrt(needleEnergy * energy[k]);
        // The recording is gain times the reference: the reference is the
        // needle, or the haystack's window when the recording is the needle.
        all[k].gain = dot[k] / (needleIsReference ? needleEnergy : energy[k]);
    }
    return all;
}

void PrintMatch(const Match& m, double rate) {
    printf("%.4f %.4f %.2f\n", double(m.at) / rate, m.ncc, Decibels(std::fabs(m.gain)));
}

int Align(double rate, const Signal& reference, const Signal& recording, bool loop) {
    std::vector<Match> all;
    if (loop) {
        if (recording.size() > reference.size()) {
            fprintf(stderr, "soundmeter: the recording is longer than the piece it is looked for in\n");
            return 2;
        }
        Signal wrapped(reference);
        wrapped.insert(wrapped.end(), reference.begin(), reference.begin() + long(recording.size()));
        all = Correlate(recording, wrapped, false);
        all.pop_back();  // offset == length is offset 0 again
    } else {
        if (reference.size() > recording.size()) {
            fprintf(stderr, "soundmeter: the recording is shorter than the sound looked for\n");
            return 2;
        }
        all = Correlate(reference, recording, true);
    }
    PrintMatch(*std::max_element(all.begin(), all.end(),
                                 [](const Match& a, const Match& b) { return a.ncc < b.ncc; }),
               rate);
    return 0;
}

// Best alignments first, each taken unless it overlaps one already taken: one
// onset for each time the reference plays.
int Onsets(double rate, const Signal& reference, const Signal& recording, double minNcc, double minGainDb) {
    if (reference.size() > recording.size()) {
        fprintf(stderr, "soundmeter: the recording is shorter than the sound looked for\n");
        return 2;
    }
    std::vector<Match> all = Correlate(reference, recording, true), candidates, taken;
    for (const Match& m : all)
        if (m.ncc >= minNcc && Decibels(m.gain) >= minGainDb) candidates.push_back(m);
    std::sort(candidates.begin(), candidates.end(), [](const Match& a, const Match& b) { return a.ncc > b.ncc; });
    for (const Match& c : candidates) {
        bool overlaps = false;
        for (const Match& t : taken)
            overlaps = overlaps || (c.at > t.at ? c.at - t.at : t.at - c.at) < reference.size();
        if (!overlaps) taken.push_back(c);
    }
    std::sort(taken.begin(), taken.end(), [](const Match& a, const Match& b) { return a.at < b.at; });
    for (const Match& t : taken) PrintMatch(t, rate);
    return 0;
}

// The recording as the sound server hands it over: 16-bit stereo frames.
int Gaps(double rate, const char* path, double from, double to, double minMs) {
    std::vector<char> bytes;
    if (!ReadBytes(path, bytes)) {
        fprintf(stderr, "soundmeter: cannot read %s\n", path);
        return 2;
    }
    const size_t frames = bytes.size() / 4;
    const size_t first = std::min(frames, size_t(std::max(0.0, from) * rate));
    const size_t last = std::min(frames, size_t(std::max(0.0, to) * rate));
    const size_t minFrames = size_t(minMs * rate / 1000);
    size_t runStart = first;
    for (size_t f = first; f <= last; ++f) {
        uint32_t frame = 0;
        if (f < last) memcpy(&frame, bytes.data() + f * 4, 4);
        if (f < last && frame == 0) continue;
        if (f - runStart >= minFrames) printf("%.4f %.1f\n", double(runStart) / rate, double(f - runStart) * 1000 / rate);
        runStart = f + 1;
    }
    return 0;
}

bool IsSilent(const std::vector<char>& bytes, size_t frame) {
    uint32_t value = 0;
    memcpy(&value, bytes.data() + frame * 4, 4);
    return value == 0;
}

int Splice(double rate, const char* in, const char* out, double minMs) {
    std::vector<char> bytes;
    if (!ReadBytes(in, bytes)) {
        fprintf(stderr, "soundmeter: cannot read %s\n", in);
        return 2;
    }
    const size_t frames = bytes.size() / 4, minFrames = std::max<size_t>(1, size_t(minMs * rate / 1000));
    std::vector<char> kept;
    kept.reserve(bytes.size());
    size_t f = 0;
    bool pieceOpen = false;
    while (f < frames) {
        size_t run = f;
        while (run < frames && IsSilent(bytes, run)) ++run;
        if (run - f >= minFrames) {  // a dropout: left out
            f = run;
            pieceOpen = false;
            continue;
        }
        if (!pieceOpen) printf("%.4f %.4f\n", double(kept.size() / 4) / rate, double(f) / rate);
        pieceOpen = true;
        const size_t end = std::max(run, f + 1);
        kept.insert(kept.end(), bytes.begin() + long(f * 4), bytes.begin() + long(end * 4));
        f = end;
    }
    std::ofstream output(out, std::ios::binary);
    output.write(kept.data(), std::streamsize(kept.size()));
    return output ? 0 : 2;
}

int Usage() {
    fprintf(stderr,
            "usage: soundmeter align <rate> <reference.f32> <recording.f32> loop|once\n"
            "       soundmeter onsets <rate> <reference.f32> <recording.f32> <min ncc> <min gain dB>\n"
            "       soundmeter gaps <rate> <recording.s16> <from s> <to s> <min ms>\n"
            "       soundmeter splice <rate> <in.s16> <out.s16> <min ms>\n"
            "       soundmeter beat-period\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::string(argv[1]) == "beat-period") {
        printf("%d %d\n", kPeriodoBatida, int(BRZ_FPS_PADRAO));
        return 0;
    }
    if (argc < 3) return Usage();
    const std::string command = argv[1];
    const double rate = atof(argv[2]);
    if (command == "gaps" && argc == 7) return Gaps(rate, argv[3], atof(argv[4]), atof(argv[5]), atof(argv[6]));
    if (command == "splice" && argc == 6) return Splice(rate, argv[3], argv[4], atof(argv[5]));
    if ((command != "align" || argc != 6) && (command != "onsets" || argc != 7)) return Usage();
    Signal reference, recording;
    if (!ReadFloats(argv[3], reference) || !ReadFloats(argv[4], recording) || reference.empty() ||
        recording.empty()) {
        fprintf(stderr, "soundmeter: cannot read %s or %s, or one is empty\n", argv[3], argv[4]);
        return 2;
    }
    if (command == "align") return Align(rate, reference, recording, std::string(argv[5]) == "loop");
    return Onsets(rate, reference, recording, atof(argv[5]), atof(argv[6]));
}
