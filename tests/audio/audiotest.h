// Helpers for the audio tests: WAV files written on the spot, and the raw
// stream that SDL's disk driver writes (S16LSB stereo at 44100 Hz).
#ifndef VD_AUDIOTEST_H
#define VD_AUDIOTEST_H

#include <string>

namespace audiotest {

const int kAmplitude = 16000;  // peak of every test tone

// Mono 16-bit 44100 Hz tone of `frames` frames at 441 Hz, whose samples reach
// exactly +kAmplitude: a canonical 44-byte header, then the samples.
std::string ToneWav(int frames);
// ToneWav written to a file. False when the file cannot be written.
bool WriteToneWav(const std::string& path, int frames);
// Any bytes written to a file. False when the file cannot be written.
bool WriteBytes(const std::string& path, const std::string& bytes);
// A RIFF/WAVE file whose sample format no decoder knows.
bool WriteCorruptWav(const std::string& path);

// Sends SDL audio to <dir>/saida.raw at a fast pace; call before starting SDL
// audio. Returns the file's path.
std::string UseDiskDriver(const std::string& dir);

// Sum of squares and largest magnitude of each channel (0 left, 1 right).
struct Stereo {
    double energia[2] = {0, 0};
    int pico[2] = {0, 0};
};
Stereo AnalyseRaw(const std::string& path);

// Polls `done` every couple of milliseconds for up to five seconds.
bool WaitFor(bool (*done)());

}  // namespace audiotest

#endif
