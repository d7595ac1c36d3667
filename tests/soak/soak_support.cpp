#include "soak_support.h"

#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "brisa2d2.h"
#include "brisaaudio2.h"

namespace soak {

namespace {

const int kScreenW = 1024, kScreenH = 768;
const long kKiB = 1024;

}  // namespace

std::string DataDir() {
    const char* bin = getenv("VD_BINARY_DIR");
    return bin && *bin ? bin : ".";
}

ScopedWorkingDir::ScopedWorkingDir(const std::string& dir) {
    char buf[4096];
    if (!getcwd(buf, sizeof buf)) return;
    previous_ = buf;
    ok_ = chdir(dir.c_str()) == 0;
}

ScopedWorkingDir::~ScopedWorkingDir() {
    if (ok_ && chdir(previous_.c_str()) != 0) perror("chdir");
}

bool StartHeadlessEngine() {
    if (!BRZ_Inicia(kScreenW, kScreenH, BRZ_JANELA, BRZ_DESENHO_PADRAO, "Vessel Drift soak")) return false;
    BZA_Inicia();
    return true;
}

MemoryUse MeasureMemory() {
    MemoryUse m;
    if (FILE* f = fopen("/proc/self/statm", "r")) {
        long size = 0, resident = 0;
        if (fscanf(f, "%ld %ld", &size, &resident) == 2) m.residentKiB = resident * (sysconf(_SC_PAGESIZE) / kKiB);
        fclose(f);
    }
    // In use: the arena's allocated bytes plus the blocks malloc mapped on
    // their own (the large pictures).
    struct mallinfo2 mi = mallinfo2();
    m.heapBytes = (long long)mi.uordblks + (long long)mi.hblkhd;
    return m;
}

void GrowthWatch::Sample() {
    // Memory that was freed but that malloc keeps in its heap for later is
    // given back to the system first, so that resident memory counts what the
    // process holds. How much malloc keeps depends on where blocks still in
    // use happen to lie among the freed ones, that is on the SDL build's order
    // of allocations: after a shut-down of the whole game it kept 1 to 54 MiB
    // under SDL 1.2 and up to 207 MiB under sdl12-compat, none of it in use.
    malloc_trim(0);
    last_ = MeasureMemory();
    if (!warmedUp_) return;
    ++measured_;
    peak_.residentKiB = std::max(peak_.residentKiB, last_.residentKiB);
    peak_.heapBytes = std::max(peak_.heapBytes, last_.heapBytes);
}

void GrowthWatch::EndWarmUp() {
    baseline_ = peak_ = last_;
    warmedUp_ = true;
}

long GrowthWatch::residentGrowthKiB() const { return peak_.residentKiB - baseline_.residentKiB; }

long long GrowthWatch::heapGrowthBytes() const { return peak_.heapBytes - baseline_.heapBytes; }

std::string GrowthWatch::Report() const {
    std::ostringstream s;
    s << "resident " << baseline_.residentKiB << " KiB after warm-up, largest rise " << residentGrowthKiB()
      << " KiB; heap " << baseline_.heapBytes << " bytes after warm-up, largest rise " << heapGrowthBytes()
      << " bytes; " << measured_ << " samples after warm-up";
    return s.str();
}

std::string GrowthBeyond(const GrowthWatch& w, const GrowthBounds& b) {
    std::ostringstream s;
    if (!w.warmedUp() || w.measuredSamples() == 0) s << "no sample after warm-up; ";
    if (w.residentGrowthKiB() > b.residentKiB)
        s << "resident memory rose " << w.residentGrowthKiB() << " KiB (bound " << b.residentKiB << " KiB); ";
    if (w.heapGrowthBytes() > b.heapBytes)
        s << "heap in use rose " << w.heapGrowthBytes() << " bytes (bound " << b.heapBytes << " bytes); ";
    return s.str();
}

std::string RegistryLeftovers() {
    std::ostringstream s;
    for (int i = 0; i < BRZ_MAX_SPRITESETS; ++i) {
        const BRZ_SpriteSet& p = sprites[i];
        if (p.imagem || p.usuarios || p.bmask || p.textura || p.apelido[0])
            s << "sprite set " << i + 1 << " \"" << p.apelido << "\" holders " << p.usuarios << "\n";
    }
    for (int i = 0; i < BRZ_MAX_FONTES; ++i) {
        const BRZ_Fonte& f = fontes[i];
        if (f.idSpriteSet || f.usuarios || f.apelido[0])
            s << "font " << i + 1 << " \"" << f.apelido << "\" holders " << f.usuarios << "\n";
    }
    return s.str();
}

void DrawEveryLoadedFrame(bool (*draw)(unsigned int id, unsigned int frame, int x, int y)) {
    for (unsigned int id = 1; id <= BRZ_MAX_SPRITESETS; ++id) {
        const BRZ_SpriteSet& s = sprites[id - 1];
        if (!s.imagem) continue;
        for (int f = 0; f < s.matrizX * s.matrizY; ++f) draw(id, unsigned(f), 0, 0);
    }
}

void SetKeys(std::initializer_list<int> held) {
    BRZ_Botao* keys = BRZ_PegaTeclas();
    for (int k = 0; k < BRZ_MAXTECLAS; ++k) {
        bool down = std::find(held.begin(), held.end(), k) != held.end();
        keys[k].pressionado = down && !keys[k].ativo;
        keys[k].liberado = !down && keys[k].ativo;
        keys[k].ativo = down;
    }
}

HeadlessFrames* HeadlessFrames::current_ = nullptr;

HeadlessFrames::HeadlessFrames(int drawEvery)
    : drawEvery_(drawEvery < 1 ? 1 : drawEvery),
      realSync_(BRZ_Sincroniza),
      realClear_(BRZ_LimpaTela),
      realDraw_(BRZ_DesenhaSprite),
      realEffect_(BRZ_DesenhaSpriteEfeito) {
    current_ = this;
    BRZ_Sincroniza = FrameEnd;
    BRZ_LimpaTela = Clear;
    BRZ_DesenhaSprite = Draw;
    BRZ_DesenhaSpriteEfeito = DrawEffect;
}

HeadlessFrames::~HeadlessFrames() {
    BRZ_Sincroniza = realSync_;
    BRZ_LimpaTela = realClear_;
    BRZ_DesenhaSprite = realDraw_;
    BRZ_DesenhaSpriteEfeito = realEffect_;
    current_ = nullptr;
}

void HeadlessFrames::FrameEnd(Uint8) {
    HeadlessFrames* h = current_;
    if (h->drawing_ && screen) {
        SDL_Flip(screen);
        ++h->drawn_;
    }
    ++h->frames_;
    h->drawing_ = h->frames_ % h->drawEvery_ == 0;
    BRZ_Entrada();
    if (h->onFrameEnd) h->onFrameEnd();
}

void HeadlessFrames::Clear() {
    if (current_->drawing_) current_->realClear_();
}

bool HeadlessFrames::Draw(unsigned int id, unsigned int frame, int x, int y) {
    HeadlessFrames* h = current_;
    if (h->onDraw) h->onDraw(id);
    return h->drawing_ ? h->realDraw_(id, frame, x, y) : true;
}

bool HeadlessFrames::DrawEffect(unsigned int id, unsigned int frame, int* x, int* y, Uint8 r, Uint8 g, Uint8 b,
                                Uint8 a) {
    HeadlessFrames* h = current_;
    if (h->onDraw) h->onDraw(id);
    return h->drawing_ ? h->realEffect_(id, frame, x, y, r, g, b, a) : false;
}

}  // namespace soak
