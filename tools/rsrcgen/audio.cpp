// Sounds and music, synthesised: the heartbeat, the loss sting and a music
// loop whose end runs straight into its start (every note, echo and reverb
// tail that passes the end is wrapped round to the beginning).
#include <cmath>
#include <vector>

#include "Nivel.h"
#include "encode.h"
#include "noise.h"
#include "rsrcgen.h"

namespace {

constexpr int kRate = 44100;
constexpr double kTwoPi = 2 * M_PI;
// Fixed Ogg stream serial numbers keep the files byte-identical between runs.
constexpr int kSerialSting = 0x56440001, kSerialMusic = 0x56440002;

// A stereo buffer whose writes wrap round its end (for the loop) or are dropped.
class Track {
public:
    Track(size_t frames, bool wrap) : left_(frames, 0.f), right_(frames, 0.f), wrap_(wrap) {}
    size_t frames() const { return left_.size(); }
    void Add(long frame, double l, double r) {
        long n = long(frames());
        if (wrap_) {
            frame %= n;
            if (frame < 0) frame += n;
        } else if (frame < 0 || frame >= n) {
            return;
        }
        left_[size_t(frame)] += float(l);
        right_[size_t(frame)] += float(r);
    }
    std::vector<float>& left() { return left_; }
    std::vector<float>& right() { return right_; }
    // Interleaved, scaled so the loudest sample reaches `peak`.
    std::vector<float> Interleaved(double peak) const {
        float loudest = 1e-9f;
        for (size_t i = 0; i < frames(); ++i) loudest = std::max({loudest, std::fabs(left_[i]), std::fabs(right_[i])});
        float k = float(peak / loudest);
        std::vector<float> out(frames() * 2);
        for (size_t i = 0; i < frames(); ++i) {
            out[2 * i] = left_[i] * k;
            out[2 * i + 1] = right_[i] * k;
        }
        return out;
    }

private:
    std::vector<float> left_, right_;
    bool wrap_;
};

double NoteHz(int midi) { return 440.0 * std::pow(2.0, (midi - 69) / 12.0); }

// Attack-decay-sustain-release level at time t (s) of a note held for `hold` s.
double Envelope(double t, double attack, double decay, double sustain, double hold, double release) {
    if (t < 0) return 0;
    double level;
    if (t < attack)
        level = t / attack;
    else if (t < attack + decay)
        level = 1 - (1 - sustain) * (t - attack) / decay;
    else
        level = sustain;
    if (t > hold) level *= std::exp(-(t - hold) / release);
    return level;
}

// --- heartbeat ------------------------------------------------------------------

// One thump: a low sine that falls in pitch, with a soft click of noise on top.
void Thump(std::vector<float>& out, double start, double hz0, double hz1, double length, double gain, uint64_t seed) {
    Rng rng(seed);
    double phase = 0, lowpass = 0;
    long first = long(start * kRate), count = long(length * kRate);
    for (long i = 0; i < count && first + i < long(out.size()); ++i) {
        double t = double(i) / kRate;
        double hz = hz1 + (hz0 - hz1) * std::exp(-t * 18);
        phase += kTwoPi * hz / kRate;
        double body = std::sin(phase) * std::min(1.0, t / 0.004) * std::exp(-t * 9.5);
        lowpass += 0.08 * (rng.Range(-1, 1) - lowpass);
        double click = lowpass * std::exp(-t * 60) * 0.9;
        out[size_t(first + i)] += float(gain * std::tanh(1.6 * (body + click)));
    }
}

void MakeHeartbeat(Output& out) {
    std::vector<float> mono(size_t(0.9 * kRate), 0.f);
    Thump(mono, 0.0, 95, 48, 0.45, 1.0, 1);    // lub
    Thump(mono, 0.27, 120, 62, 0.40, 0.72, 2);  // dub
    float loudest = 1e-9f;
    for (float s : mono) loudest = std::max(loudest, std::fabs(s));
    for (float& s : mono) s *= 0.9f / loudest;
    Check(WriteWav(out.Rsrc(kSomBatida), mono, 1, kRate), out.Rsrc(kSomBatida));
}

// --- loss sting -------------------------------------------------------------------

void MakeSting(Output& out) {
    Track t(size_t(2.2 * kRate), false);
    Rng rng(3);
    double phaseA = 0, phaseB = 0, boom = 0, lowpass = 0;
    for (size_t i = 0; i < t.frames(); ++i) {
        double s = double(i) / kRate;
        // Two detuned voices sliding down like a machine losing power.
        double hz = 110 + 420 * std::exp(-s * 2.6);
        phaseA += kTwoPi * hz / kRate;
        phaseB += kTwoPi * hz * 1.012 / kRate;
        double tone = 0;
        for (int h = 1; h <= 6; ++h) tone += (std::sin(phaseA * h) + std::sin(phaseB * h)) / (h * 1.6);
        double level = std::min(1.0, s / 0.01) * std::exp(-s * 1.5);
        boom += kTwoPi * (44 + 30 * std::exp(-s * 8)) / kRate;
        double low = std::sin(boom) * std::exp(-s * 3.0) * 0.9;
        lowpass += 0.15 * (rng.Range(-1, 1) - lowpass);
        double crash = lowpass * std::exp(-s * 7) * 0.8;
        double l = tone * level * 0.25 + low + crash, r = tone * level * 0.22 + low + crash * 0.8;
        t.Add(long(i), std::tanh(l), std::tanh(r));
    }
    Check(WriteOgg(out.Rsrc(kSomMorreu), t.Interleaved(0.9), 2, kRate, 0.5f, kSerialSting), out.Rsrc(kSomMorreu));
}

// --- music -----------------------------------------------------------------------------

constexpr double kBpm = 90;
constexpr int kBeatsPerBar = 4, kBars = 24;
constexpr long kFramesPerBeat = long(kRate * 60 / kBpm);  // 29400, exact
constexpr long kLoopFrames = kFramesPerBeat * kBeatsPerBar * kBars;  // 64 s

struct Chord {
    int root;                // midi note of the bass root
    std::vector<int> tones;  // midi notes of the pad
};

// D minor, two bars per chord.
const std::vector<Chord> kChords = {
    {38, {62, 65, 69, 74}}, {34, {58, 62, 65, 70}}, {41, {60, 65, 69, 72}}, {36, {60, 64, 67, 72}},
    {38, {62, 65, 69, 74}}, {43, {58, 62, 67, 70}}, {34, {58, 62, 65, 70}}, {33, {61, 64, 69, 73}},
    {38, {62, 65, 69, 74}}, {34, {58, 62, 65, 70}}, {43, {58, 62, 67, 70}}, {33, {61, 64, 69, 73}},
};

long BeatFrame(double beat) { return long(std::lround(beat * kFramesPerBeat)); }

// A sine table: the pad alone needs tens of millions of oscillator samples.
class SineTable {
public:
    SineTable() : table_(kSize + 1) {
        for (int i = 0; i <= kSize; ++i) table_[size_t(i)] = std::sin(kTwoPi * i / kSize);
    }
    double operator()(double phase) const {  // phase in cycles
        double f = (phase - std::floor(phase)) * kSize;
        int i = int(f);
        return table_[size_t(i)] + (table_[size_t(i) + 1] - table_[size_t(i)]) * (f - i);
    }

private:
    static constexpr int kSize = 4096;
    std::vector<double> table_;
};

void Pad(Track& t, const SineTable& sine) {
    const double hold = 2 * kBeatsPerBar * 60 / kBpm;
    for (size_t c = 0; c < kChords.size(); ++c) {
        long start = BeatFrame(double(c) * 2 * kBeatsPerBar);
        for (size_t k = 0; k < kChords[c].tones.size(); ++k) {
            double hz = NoteHz(kChords[c].tones[k]);
            double pan = 0.3 + 0.4 * double(k) / 3;
            for (double detune : {0.997, 1.003}) {
                double f = hz * detune, phase = 0;
                long length = long((hold + 2.0) * kRate);
                for (long i = 0; i < length; ++i) {
                    double s = double(i) / kRate;
                    phase += f / kRate;
                    double v = sine(phase) + 0.35 * sine(2 * phase) + 0.12 * sine(3 * phase) + 0.05 * sine(4 * phase);
                    double e = Envelope(s, 1.2, 0.8, 0.8, hold, 0.7) * (0.85 + 0.15 * sine(s * 0.25 + k * 0.3));
                    v *= 0.05 * e;
                    t.Add(start + i, v * (1 - pan), v * pan);
                }
            }
        }
    }
}

// The heart of the music: a soft lub-dub on every bar and a bass note on each beat.
void Pulse(Track& t, const SineTable& sine) {
    for (int bar = 0; bar < kBars; ++bar) {
        const Chord& chord = kChords[size_t(bar / 2)];
        for (int beat = 0; beat < kBeatsPerBar; ++beat) {
            long start = BeatFrame(bar * kBeatsPerBar + beat);
            double hz = NoteHz(chord.root + (beat == 2 ? 12 : 0)), phase = 0;
            for (long i = 0; i < long(0.6 * kRate); ++i) {
                double s = double(i) / kRate;
                phase += hz / kRate;
                double v = (sine(phase) + 0.3 * sine(2 * phase)) * std::min(1.0, s / 0.01) * std::exp(-s * 5) * 0.16;
                t.Add(start + i, v, v);
            }
        }
        for (double offset : {0.0, 0.36}) {
            long start = BeatFrame(bar * kBeatsPerBar) + long(offset * kFramesPerBeat);
            double gain = offset == 0 ? 0.5 : 0.35, phase = 0;
            for (long i = 0; i < long(0.35 * kRate); ++i) {
                double s = double(i) / kRate;
                double hz = 48 + 60 * std::exp(-s * 25);
                phase += hz / kRate;
                double v = std::tanh(1.5 * sine(phase) * std::exp(-s * 11)) * gain;
                t.Add(start + i, v, v);
            }
        }
    }
}

// Bell-like arpeggio in eighth notes from the fifth bar on, with a ping-pong echo.
void Arpeggio(Track& dry, Track& echo, const SineTable& sine) {
    static const int kPattern[8] = {0, 2, 1, 3, 2, 1, 3, 2};
    for (int bar = 4; bar < kBars; ++bar) {
        const Chord& chord = kChords[size_t(bar / 2)];
        for (int n = 0; n < 8; ++n) {
            int note = chord.tones[size_t(kPattern[n])] + 12;
            double hz = NoteHz(note), phase = 0, mod = 0;
            long start = BeatFrame(bar * kBeatsPerBar + n * 0.5);
            double gain = (n % 2 == 0 ? 0.06 : 0.045) * (bar >= 20 ? 1.0 - (bar - 20) * 0.15 : 1.0);
            double pan = n % 2 == 0 ? 0.35 : 0.65;
            for (long i = 0; i < long(0.9 * kRate); ++i) {
                double s = double(i) / kRate;
                mod += hz * 2.0 / kRate;
                phase += hz / kRate;
                double v = sine(phase + 0.9 * std::exp(-s * 6) * sine(mod)) * std::min(1.0, s / 0.003) * std::exp(-s * 4.5);
                dry.Add(start + i, v * gain * (1 - pan), v * gain * pan);
                echo.Add(start + i + BeatFrame(0.75), v * gain * 0.45 * pan, v * gain * 0.45 * (1 - pan));
                echo.Add(start + i + BeatFrame(1.5), v * gain * 0.2 * (1 - pan), v * gain * 0.2 * pan);
            }
        }
    }
}

// Quiet filtered noise on the off-beats, like flow in the vessel.
void Shaker(Track& t) {
    Rng rng(17);
    for (int bar = 2; bar < kBars; ++bar)
        for (int n = 0; n < 8; ++n) {
            long start = BeatFrame(bar * kBeatsPerBar + n * 0.5);
            double gain = n % 2 == 1 ? 0.05 : 0.025, prev = 0;
            for (long i = 0; i < long(0.08 * kRate); ++i) {
                double s = double(i) / kRate, w = rng.Range(-1, 1);
                double v = (w - prev) * std::exp(-s * 60) * gain;  // a first difference: bright, no rumble
                prev = w;
                t.Add(start + i, v * 0.8, v);
            }
        }
}

// Schroeder reverb run twice round the loop, so the tail at the end is the one
// that feeds the start.
void LoopReverb(std::vector<float>& channel, std::vector<float>& out, uint32_t spread) {
    const int kCombs[4] = {1557, 1617, 1491, 1422}, kAllpass[2] = {225, 556};
    std::vector<std::vector<float>> comb(4), allpass(2);
    for (int i = 0; i < 4; ++i) comb[size_t(i)].assign(size_t(kCombs[i] + spread), 0.f);
    for (int i = 0; i < 2; ++i) allpass[size_t(i)].assign(size_t(kAllpass[i] + spread / 2), 0.f);
    std::vector<size_t> ci(4, 0), ai(2, 0);
    size_t n = channel.size();
    for (int pass = 0; pass < 2; ++pass)
        for (size_t i = 0; i < n; ++i) {
            float in = channel[i] * 0.3f, sum = 0;
            for (int c = 0; c < 4; ++c) {
                std::vector<float>& b = comb[size_t(c)];
                float y = b[ci[size_t(c)]];
                b[ci[size_t(c)]] = in + y * 0.84f;
                ci[size_t(c)] = (ci[size_t(c)] + 1) % b.size();
                sum += y;
            }
            for (int a = 0; a < 2; ++a) {
                std::vector<float>& b = allpass[size_t(a)];
                float y = b[ai[size_t(a)]];
                b[ai[size_t(a)]] = sum + y * 0.5f;
                ai[size_t(a)] = (ai[size_t(a)] + 1) % b.size();
                sum = y - sum * 0.5f;
            }
            if (pass == 1) out[i] += sum;
        }
}

void MakeMusic(Output& out) {
    SineTable sine;
    Track mix(size_t(kLoopFrames), true), wet(size_t(kLoopFrames), true);
    Pad(wet, sine);
    Arpeggio(wet, wet, sine);
    Pulse(mix, sine);
    Shaker(mix);
    for (size_t i = 0; i < mix.frames(); ++i) {
        mix.left()[i] += wet.left()[i];
        mix.right()[i] += wet.right()[i];
    }
    LoopReverb(wet.left(), mix.left(), 0);
    LoopReverb(wet.right(), mix.right(), 23);
    Check(WriteOgg(out.Rsrc(kMusica), mix.Interleaved(0.89), 2, kRate, 0.35f, kSerialMusic), out.Rsrc(kMusica));
}

}  // namespace

void AddAudioJobs(std::vector<Job>& jobs) {
    jobs.push_back({"music", 6.0, MakeMusic});
    jobs.push_back({"heartbeat and loss sting", 0.5, [](Output& out) {
                        MakeHeartbeat(out);
                        MakeSting(out);
                    }});
}
