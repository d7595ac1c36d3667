#include "audiotest.h"

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <thread>
#include <vector>

namespace audiotest {

namespace {

const int kTaxa = 44100;
const int kAmostrasPorCiclo = 100;  // 441 Hz: the peak lands exactly on a sample
const int kEsperaMaximaMs = 5000;

void Put16(std::ofstream& f, uint16_t v) { f.put(char(v & 0xff)).put(char(v >> 8)); }
void Put32(std::ofstream& f, uint32_t v) { Put16(f, uint16_t(v & 0xffff)); Put16(f, uint16_t(v >> 16)); }

// A canonical 44-byte header for mono 16-bit data with the given format tag.
void WriteHeader(std::ofstream& f, uint16_t formato, uint32_t bytesDados) {
    f.write("RIFF", 4);
    Put32(f, 36 + bytesDados);
    f.write("WAVEfmt ", 8);
    Put32(f, 16);
    Put16(f, formato);
    Put16(f, 1);
    Put32(f, kTaxa);
    Put32(f, kTaxa * 2);
    Put16(f, 2);
    Put16(f, 16);
    f.write("data", 4);
    Put32(f, bytesDados);
}

}  // namespace

bool WriteToneWav(const std::string& path, int frames) {
    std::ofstream f(path, std::ios::binary);
    const uint16_t kPcm = 1;
    WriteHeader(f, kPcm, uint32_t(frames) * 2);
    for (int i = 0; i < frames; ++i)
        Put16(f, uint16_t(int16_t(std::lround(kAmplitude * std::sin(2 * M_PI * i / kAmostrasPorCiclo)))));
    return bool(f);
}

bool WriteCorruptWav(const std::string& path) {
    std::ofstream f(path, std::ios::binary);
    const uint16_t kFormatoDesconhecido = 0x7777;
    WriteHeader(f, kFormatoDesconhecido, 64);
    f << std::string(64, 'x');
    return bool(f);
}

std::string UseDiskDriver(const std::string& dir) {
    std::string arquivo = dir + "/saida.raw";
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", arquivo.c_str(), 1);
    setenv("SDL_DISKAUDIODELAY", "1", 1);
    return arquivo;
}

Stereo AnalyseRaw(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    Stereo s;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        int canal = int(i / 2 % 2);
        int v = int16_t(uint16_t(uint8_t(bytes[i]) | uint8_t(bytes[i + 1]) << 8));
        s.energia[canal] += double(v) * v;
        if (std::abs(v) > s.pico[canal]) s.pico[canal] = std::abs(v);
    }
    return s;
}

bool WaitFor(bool (*done)()) {
    auto limite = std::chrono::steady_clock::now() + std::chrono::milliseconds(kEsperaMaximaMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > limite) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

}  // namespace audiotest
