// libFuzzer target: a picture file's two ways into a sprite set must agree.
// The fuzzer's bytes are saved under each name the game's pictures have
// (.png, .jpg), and a PNG once more with its chunk sums made right; each
// file is loaded twice: plainly (IMG_Load, then the renderer's own
// step) and announced first (decoded ahead by the engine's own decoder on
// its helper thread). The plain load is the reference: both must give the
// same identifier and the same messages, and a loaded set the same sizes,
// frame grid, surface layout and bytes, and the same collision masks.
// Every pixel decoded ahead must be given back once the set is removed.
//
// The renderer is the fuzzer's own, on SDL's dummy video driver (no display,
// no OpenGL): its steps are the OpenGL renderer's load steps, minus the
// texture upload, with a fixed texture limit.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "brisa2d2.h"
#include "test_renderer.h"

namespace {

// Channel masks of the working surface: bytes R, G, B, A in memory.
const Uint32 kR = 0x000000FF, kG = 0x0000FF00, kB = 0x00FF0000, kA = 0xFF000000;
// The OpenGL renderer's sides: squares used as they are, the smallest working square.
const int kDirectMin = 16, kDirectMax = 1024, kSquareMin = 4;
// The texture limit: the largest working square the game's screens need,
// which also keeps a crafted header from costing more than 4 MiB a load.
const int kMaxTextureSide = 1024;
const int kBitsPerWord = 32;
const int kMinFrame = 3;
// The names the game's pictures have.
const char* const kExtensions[] = {".png", ".jpg"};
// A PNG chunk's length, type and sum around its data; how far past the end
// of the file a chunk may reach and still be compared (see ClaimsFarPastTheEnd).
const uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
const uint64_t kChunkFrame = 12;
const uint32_t kCrcPolynomial = 0xEDB88320;
// The file the fuzzer's PNG is saved in once its chunk sums are made right.
const char* const kSummedName = "picture-summed.png";
const uint64_t kMaxReadPastTheEnd = uint64_t(1) << 20;

// Standard error as the run began: the reports of a disagreement go there
// even when libFuzzer is told to close standard error (-close_fd_mask=2),
// which keeps libpng's warnings about every damaged input out of the log.
FILE* g_report = stderr;

extern const BRZ_Renderizador kFuzz;
using Repasse = RepasseAoNucleo<kFuzz>;

// ---------------------------------------------------------------------------
// The renderer: the OpenGL renderer's load steps
// ---------------------------------------------------------------------------

bool UsedAsItIs(int w, int h, int bytesPerPixel) {
    if (w != h || bytesPerPixel != 4) return false;
    for (int side = kDirectMin; side <= kDirectMax; side *= 2)
        if (w == side) return true;
    return false;
}

int SquareSide(int larger) {
    int side = kSquareMin;
    while (side < larger) side *= 2;
    return side;
}

int WorkingSide(int w, int h, int bytesPerPixel) {
    if (UsedAsItIs(w, h, bytesPerPixel)) return w;
    int larger = w > h ? w : h;
    return larger > kMaxTextureSide ? 0 : SquareSide(larger);
}

bool GridFits(int w, int h, int frameW, int frameH) {
    if (frameW < 1 || frameH < 1) return true;
    bool fitsX = w % frameW == 0, fitsY = h % frameH == 0;
    if (!fitsX && !fitsY) return false;
    return w / frameW >= 1 && h / frameH >= 1;
}

bool SetGrid(BRZ_SpriteSet* s, const char* file, int w, int h, int frameW, int frameH) {
    if (!GridFits(w, h, frameW, frameH)) {
        printf("A imagem %s não pode ser usada como fonte de sprites de tamanho %ix%i\n.", file, frameW, frameH);
        return false;
    }
    BRZ_DefineQuadros(s, frameW, frameH);
    return true;
}

void Apresenta() {}

void SayNoWorkingSurface(const char* file) {
    printf("Não conseguiu criar a imagem temporária ao carregar o sprite set. Arquivo: %s. Erro: %s.\n", file,
           SDL_GetError());
}

bool PreparaImagem(BRZ_SpriteSet* s, const char* file, int frameW, int frameH) {
    SDL_Surface* img = s->imagem;
    if (!SetGrid(s, file, img->w, img->h, frameW, frameH)) return false;
    if (UsedAsItIs(img->w, img->h, img->format->BytesPerPixel)) return true;
    int larger = img->w > img->h ? img->w : img->h;
    if (larger > kMaxTextureSide) {
        printf("A imagem excede o limite de %ix%i para uma textura OpenGL no sistema.\n", kMaxTextureSide,
               kMaxTextureSide);
        return false;
    }
    int side = SquareSide(larger);
    SDL_Surface* square = BRZ_CriaSuperficie(side, side, kR, kG, kB, kA);
    if (!square) {
        SayNoWorkingSurface(file);
        return false;
    }
    if (img->format->BytesPerPixel == 4) {
        SDL_LockSurface(img);
        for (int y = 0; y < img->h; ++y)
            memcpy(static_cast<Uint8*>(square->pixels) + y * square->pitch,
                   static_cast<Uint8*>(img->pixels) + y * img->pitch, size_t(img->w) * 4);
        SDL_UnlockSurface(img);
    } else {
        SDL_UpperBlit(img, nullptr, square, nullptr);
    }
    SDL_FreeSurface(img);
    s->imagem = square;
    return true;
}

bool DecodificaAdiantado(const char* file, BRZ_ImagemAntecipada* d) {
    return BRZ_DecodificaRGBA(file, WorkingSide, d);
}

// How many announced loads there were, and how many of them the engine's
// decoder took: only those compare two decoders (the others read the file
// with IMG_Load too). Printed when the run ends.
unsigned long g_announcedLoads = 0, g_decodedAhead = 0;

bool PreparaAntecipada(BRZ_SpriteSet* s, const char* file, int frameW, int frameH, BRZ_ImagemAntecipada* d) {
    ++g_decodedAhead;
    bool ok = SetGrid(s, file, d->largura, d->altura, frameW, frameH);
    if (ok) {
        s->imagem = BRZ_SuperficieMapeada(d->pixels, d->lado, d->lado, kR, kG, kB, kA);
        if (!s->imagem) SayNoWorkingSurface(file);
        ok = s->imagem != nullptr;
    }
    if (!ok) BRZ_DesmapeiaPixels(d->pixels, size_t(d->lado) * size_t(d->lado) * 4);
    d->pixels = nullptr;
    return ok;
}

const BRZ_Renderizador kFuzz = {
    Repasse::Encerra, Repasse::Sincroniza, Repasse::LimpaTela, Repasse::TrocaCor, Repasse::Limita,
    Repasse::Libera, Repasse::Carrega, Repasse::Remove, Repasse::Desenha, Repasse::DesenhaEfeito,
    " (fuzz)", 0, nullptr, nullptr, nullptr, nullptr,
    Apresenta,
    PreparaImagem, true, nullptr, nullptr,
    "",
    DecodificaAdiantado, PreparaAntecipada,
};

// ---------------------------------------------------------------------------
// What a load leaves
// ---------------------------------------------------------------------------

// Standard output goes to a file of its own for the whole run, emptied
// before each load and read back after it.
class Messages {
public:
    bool Open(const std::string& path) {
        int fd = open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0600);
        if (fd < 0) return false;
        fflush(stdout);
        bool ok = dup2(fd, STDOUT_FILENO) >= 0;
        close(fd);
        return ok;
    }
    void Clear() {
        fflush(stdout);
        if (ftruncate(STDOUT_FILENO, 0) != 0 || lseek(STDOUT_FILENO, 0, SEEK_SET) != 0) abort();
    }
    std::string Take() {
        fflush(stdout);
        off_t end = lseek(STDOUT_FILENO, 0, SEEK_END);
        std::string text(size_t(end > 0 ? end : 0), '\0');
        if (!text.empty() && pread(STDOUT_FILENO, &text[0], text.size(), 0) != ssize_t(text.size())) abort();
        return text;
    }
};

struct Load {
    unsigned int id = 0;
    std::string said;
    int w = 0, h = 0, frameW = 0, frameH = 0, columns = 0, rows = 0;
    int surfaceW = 0, surfaceH = 0, pitch = 0, bitsPerPixel = 0;
    Uint32 masks[4] = {0, 0, 0, 0};
    std::vector<Uint8> pixels;   // each row's pixels, without the pitch's padding
    std::vector<Uint32> bits;    // every mask's words, the bits past each row's last pixel cleared

    bool SameShape(const Load& o) const {
        return id == o.id && w == o.w && h == o.h && frameW == o.frameW && frameH == o.frameH &&
               columns == o.columns && rows == o.rows && surfaceW == o.surfaceW && surfaceH == o.surfaceH &&
               pitch == o.pitch && bitsPerPixel == o.bitsPerPixel && memcmp(masks, o.masks, sizeof masks) == 0;
    }
    void Describe(const char* way) const {
        fprintf(g_report,
                "%s: id %u, %dx%d, frames %dx%d (%dx%d), surface %dx%d pitch %d %d bpp masks "
                "%08x/%08x/%08x/%08x\n  said: \"%s\"\n",
                way, id, w, h, frameW, frameH, columns, rows, surfaceW, surfaceH, pitch, bitsPerPixel,
                unsigned(masks[0]), unsigned(masks[1]), unsigned(masks[2]), unsigned(masks[3]), said.c_str());
    }
};

void CopyPixels(SDL_Surface* img, Load* l) {
    size_t rowBytes = size_t(img->w) * img->format->BytesPerPixel;
    SDL_LockSurface(img);
    for (int y = 0; y < img->h; ++y) {
        const Uint8* row = static_cast<const Uint8*>(img->pixels) + size_t(y) * img->pitch;
        l->pixels.insert(l->pixels.end(), row, row + rowBytes);
    }
    SDL_UnlockSurface(img);
}

void CopyMask(const BRZ_BitMask* m, Load* l) {
    int rest = m->largura % kBitsPerWord;
    for (int y = 0; y < m->altura; ++y) {
        const Uint32* row = m->mask + size_t(y) * m->ldwords;
        l->bits.insert(l->bits.end(), row, row + m->ldwords);
        if (rest) l->bits.back() &= ~Uint32(0) << (kBitsPerWord - rest);
    }
}

Load Record(unsigned int id, std::string said) {
    Load l;
    l.id = id;
    l.said = std::move(said);
    if (id == 0) return l;
    const BRZ_SpriteSet& s = sprites[id - 1];
    l.w = s.largura;
    l.h = s.altura;
    l.frameW = s.spLargura;
    l.frameH = s.spAltura;
    l.columns = s.matrizX;
    l.rows = s.matrizY;
    SDL_Surface* img = s.imagem;
    l.surfaceW = img->w;
    l.surfaceH = img->h;
    l.pitch = img->pitch;
    l.bitsPerPixel = img->format->BitsPerPixel;
    l.masks[0] = img->format->Rmask;
    l.masks[1] = img->format->Gmask;
    l.masks[2] = img->format->Bmask;
    l.masks[3] = img->format->Amask;
    CopyPixels(img, &l);
    for (int f = 0; f < s.matrizX * s.matrizY; ++f) CopyMask(s.bmask[f], &l);
    return l;
}

// ---------------------------------------------------------------------------
// The two loads and their comparison
// ---------------------------------------------------------------------------

Messages g_messages;
std::string g_dir;

Load LoadOnce(const std::string& file, int frameW, int frameH, bool announced) {
    g_messages.Clear();
    if (announced) {
        const char* list[] = {file.c_str()};
        BRZ_AntecipaSpriteSets(list, 1);
    }
    unsigned int id = BRZ_CarregaSpriteSet(file.c_str(), frameW, frameH);
    if (announced) ++g_announcedLoads;
    Load l = Record(id, g_messages.Take());
    BRZ_RemoveSpriteSet(id);
    if (BRZ_PixelsMapeados() != 0) {
        fprintf(g_report, "%s (%s, frames %dx%d): %zu bytes of pixels never given back\n", file.c_str(),
                announced ? "announced" : "plain", frameW, frameH, BRZ_PixelsMapeados());
        abort();
    }
    return l;
}

template <typename T>
size_t FirstDifference(const std::vector<T>& a, const std::vector<T>& b) {
    size_t i = 0;
    while (i < a.size() && i < b.size() && a[i] == b[i]) ++i;
    return i;
}

void Compare(const std::string& file, int frameW, int frameH) {
    Load plain = LoadOnce(file, frameW, frameH, false);
    Load ahead = LoadOnce(file, frameW, frameH, true);
    bool same = plain.SameShape(ahead) && plain.said == ahead.said;
    bool samePixels = plain.pixels == ahead.pixels, sameBits = plain.bits == ahead.bits;
    if (same && samePixels && sameBits) return;
    fprintf(g_report, "%s loaded with frames %dx%d: the two ways disagree\n", file.c_str(), frameW, frameH);
    plain.Describe("plain    ");
    ahead.Describe("announced");
    if (!samePixels)
        fprintf(g_report, "surface bytes differ from byte %zu (of %zu and %zu)\n",
                FirstDifference(plain.pixels, ahead.pixels), plain.pixels.size(), ahead.pixels.size());
    if (!sameBits)
        fprintf(g_report, "mask words differ from word %zu (of %zu and %zu)\n",
                FirstDifference(plain.bits, ahead.bits), plain.bits.size(), ahead.bits.size());
    abort();
}

bool WriteFile(const std::string& path, const uint8_t* data, size_t size) {
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = fwrite(data, 1, size, f) == size;
    return fclose(f) == 0 && ok;
}

uint32_t BigEndian32(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

// The bytes saved as `name`, loaded as one picture and cut into frames.
void CompareAsFile(const std::string& name, const uint8_t* data, size_t size, int frameW, int frameH) {
    std::string file = g_dir + "/" + name;
    if (!WriteFile(file, data, size)) abort();
    Compare(file, 0, 0);
    Compare(file, frameW, frameH);
}

// SDL_image's PNG reader does not notice a short read: for a chunk that
// claims far more bytes than the file holds, IMG_Load sums that many bytes
// that are not there (the engine's stream gives it zeros) before libpng
// refuses the file: 1.6 s of processor for 1.9 GB, for each load. The engine's
// decoder stops at the end of the file and leaves such a file to IMG_Load,
// so both ways are IMG_Load's and there is nothing to compare. Files cut
// short by less (a damaged picture) are compared.
// SDL_image reads GIF contents whatever the file's name. The engine's decoder
// never takes them (it reads PNG and JPEG), so there is nothing to compare,
// and SDL_image's LZW decoder can run for minutes on a crafted code table,
// which no walk of the blocks can tell: the plain load's GIF guards have
// regression tests of their own.
bool IsGif(const uint8_t* data, size_t size) { return size >= 3 && memcmp(data, "GIF", 3) == 0; }

bool ClaimsFarPastTheEnd(const uint8_t* data, size_t size) {
    if (size < sizeof kPngSignature || memcmp(data, kPngSignature, sizeof kPngSignature) != 0) return false;
    for (size_t at = sizeof kPngSignature; at + 4 <= size;) {
        uint64_t end = at + kChunkFrame + BigEndian32(data + at);
        if (end > size + kMaxReadPastTheEnd) return true;
        if (at + 8 <= size && memcmp(data + at + 4, "IEND", 4) == 0) return false;  // nothing is read after it
        at = size_t(end);
    }
    return false;
}

// The sum a PNG chunk carries: CRC-32 of its type and data.
uint32_t ChunkSum(const uint8_t* bytes, size_t size) {
    static uint32_t table[256];
    if (table[1] == 0) {
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = c & 1 ? kCrcPolynomial ^ (c >> 1) : c >> 1;
            table[n] = c;
        }
    }
    uint32_t c = ~uint32_t(0);
    for (size_t i = 0; i < size; ++i) c = table[(c ^ bytes[i]) & 0xFF] ^ (c >> 8);
    return ~c;
}

// A PNG's bytes with the sum of every whole chunk made right; empty when
// they are no PNG or every sum is right already. A change the fuzzer makes
// inside a chunk would otherwise only fail its sum, in both decoders alike,
// and never reach the sizes, palettes and transparency that the two ways
// read differently.
std::vector<uint8_t> WithRightSums(const uint8_t* data, size_t size) {
    if (size < sizeof kPngSignature || memcmp(data, kPngSignature, sizeof kPngSignature) != 0) return {};
    std::vector<uint8_t> bytes(data, data + size);
    bool changed = false;
    for (size_t at = sizeof kPngSignature; at + kChunkFrame <= size;) {
        uint32_t length = BigEndian32(&bytes[at]);
        if (length > size - at - kChunkFrame) break;
        size_t sumAt = at + 8 + length;
        uint32_t sum = ChunkSum(&bytes[at + 4], 4 + size_t(length));
        if (BigEndian32(&bytes[sumAt]) != sum) {
            for (int i = 0; i < 4; ++i) bytes[sumAt + i] = uint8_t(sum >> (24 - 8 * i));
            changed = true;
        }
        at = sumAt + 4;
    }
    if (!changed) bytes.clear();
    return bytes;
}

// A RAM folder of the process's own for the pictures and the messages.
std::string MakeDir() {
    const char* base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    std::string templ = std::string(base) + "/vd-decode-fuzz-XXXXXX";
    if (!mkdtemp(&templ[0])) return std::string();
    return templ;
}

void SayHowManyWereDecodedAhead() {
    fprintf(g_report, "decode_ahead_fuzz: %lu announced loads, %lu of them decoded ahead and compared with %s\n",
            g_announcedLoads, g_decodedAhead, "IMG_Load's");
}

void RemoveDir() {
    for (const char* ext : kExtensions) unlink((g_dir + "/picture" + ext).c_str());
    unlink((g_dir + "/" + kSummedName).c_str());
    unlink((g_dir + "/stdout").c_str());
    rmdir(g_dir.c_str());
}

}  // namespace

// A header may claim any size, and IMG_Load allocates the whole surface
// before it reads a row: such allocations fail here instead (as they would on
// a machine short of memory), which both ways must survive alike, rather
// than each claim costing seconds. 64 MiB holds a 4096 x 4096 picture.
extern "C" const char* __asan_default_options() { return "allocator_may_return_null=1:max_allocation_size_mb=64"; }

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    int report = dup(STDERR_FILENO);
    if (report >= 0) g_report = fdopen(report, "w");
    if (!g_report) g_report = stderr;
    setvbuf(g_report, nullptr, _IONBF, 0);
    g_dir = MakeDir();
    if (g_dir.empty() || !g_messages.Open(g_dir + "/stdout")) {
        fprintf(stderr, "decode_ahead_fuzz: no folder for the pictures\n");
        abort();
    }
    atexit(RemoveDir);
    atexit(SayHowManyWereDecodedAhead);
    if (!BRZ_IniciaCom(kFuzz, 64, 48, BRZ_JANELA, "decode ahead fuzz")) {
        fprintf(stderr, "decode_ahead_fuzz: the engine did not start on the dummy video driver\n");
        abort();
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // One whole picture, and a frame size that varies with the input: small
    // enough that the little pictures the fuzzer makes are cut into frames,
    // large enough that a 1024-pixel square is not a hundred thousand masks.
    const int frameW = kMinFrame + int(size % 13), frameH = kMinFrame + int(size / 13 % 11);
    if (ClaimsFarPastTheEnd(data, size) || IsGif(data, size)) return -1;
    for (const char* ext : kExtensions) CompareAsFile("picture" + std::string(ext), data, size, frameW, frameH);
    std::vector<uint8_t> summed = WithRightSums(data, size);
    if (!summed.empty()) CompareAsFile(kSummedName, summed.data(), summed.size(), frameW, frameH);
    return 0;
}
