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

void Put16(std::string& f, uint16_t v) { f.push_back(char(v & 0xff)); f.push_back(char(v >> 8)); }
void Put32(std::string& f, uint32_t v) { Put16(f, uint16_t(v & 0xffff)); Put16(f, uint16_t(v >> 16)); }

// A canonical 44-byte header for mono 16-bit data with the given format tag.
std::string Header(uint16_t formato, uint32_t bytesDados) {
    std::string f = "RIFF";
    Put32(f, 36 + bytesDados);
    f += "WAVEfmt ";
    Put32(f, 16);
    Put16(f, formato);
    Put16(f, 1);
    Put32(f, kTaxa);
    Put32(f, kTaxa * 2);
    Put16(f, 2);
    Put16(f, 16);
    f += "data";
    Put32(f, bytesDados);
    return f;
}

bool Write(const std::string& path, const std::string& bytes) {
    std::ofstream f(path, std::ios::binary);
    f << bytes;
    return bool(f);
}

}  // namespace

std::string ToneWav(int frames) {
    const uint16_t kPcm = 1;
    std::string f = Header(kPcm, uint32_t(frames) * 2);
    for (int i = 0; i < frames; ++i)
        Put16(f, uint16_t(int16_t(std::lround(kAmplitude * std::sin(2 * M_PI * i / kAmostrasPorCiclo)))));
    return f;
}

bool WriteToneWav(const std::string& path, int frames) { return Write(path, ToneWav(frames)); }

bool WriteCorruptWav(const std::string& path) {
    const uint16_t kFormatoDesconhecido = 0x7777;
    return Write(path, Header(kFormatoDesconhecido, 64) + std::string(64, 'x'));
}

bool WriteBytes(const std::string& path, const std::string& bytes) { return Write(path, bytes); }

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
