// A failing allocator for tests, preloaded into the real program
// (LD_PRELOAD): it numbers the allocations made on behalf of the program's
// own code and makes exactly one of them fail, or only counts them.
//
// Which allocations are the program's: walking the call stack from the
// allocation outwards, past the C and C++ runtime (libc, libstdc++, the
// loader, the sanitizer runtime, this library), the first frame that lies
// in the executable (the game and the engine are linked into it) makes the
// allocation the program's; "own" when that frame is the allocation's
// direct caller, "on its behalf" when libraries the program called (SDL,
// SDL_image, libpng, libjpeg, zlib, SDL_mixer) lie in between. A frame met first of a library that does not survive a failed
// allocation of its own makes the allocation that library's, never failed
// here: no code of the program could mend what follows. Those are the
// display stack (Xlib, xcb, libGL, Mesa), which makes no such promise and
// is left out by choice, not tried, and the OGG Vorbis decoder that
// SDL_mixer opens OGG files with, as these runs found: libvorbisfile's
// ov_open_callbacks uses its callocs unchecked (vorbis_info_init on null),
// and libvorbis's codebook unpacking (vorbis_staticbook_unpack) writes
// through the null pointer of a failed allocation. Allocations with no frame of
// the executable (before main, SDL's audio thread) are not counted.
//
// Environment:
//   VD_ALLOCFAIL_REPORT  file the report goes to (appended, one line an event)
//   VD_ALLOCFAIL_NTH     fail the Nth of the program's allocations (1-based)
//   VD_ALLOCFAIL_OWN     fail the Nth of its own allocations instead
// Neither NTH nor OWN: count only. The report has a line "frame F program P
// own O" at each of the first frames presented (SDL_GL_SwapBuffers, also
// intercepted), "failed program P own O size S" with the stack (exe+offset
// for the executable's frames, for addr2line) when the chosen one fails,
// and "total program P own O" at exit; when only counting, also "own O
// program P at exe+offset" for each own allocation: the call site.
#include <dlfcn.h>
#include <execinfo.h>
#include <fcntl.h>
#include <link.h>
#include <unistd.h>
#include <unwind.h>

#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

// Frames looked at per allocation: deep enough to reach the program's
// frame from inside a picture decoder or the audio decoders.
const int kQuadrosPilha = 48;
// Frames reported at the start-up: the language screen comes within them.
const long kQuadrosRelatados = 64;
// Bytes handed out while the real allocator is still being looked up
// (dlsym allocates): never given back.
const size_t kArenaInicial = 64 * 1024;

// Entries of the cache of return addresses: a power of two.
const int kBitsCache = 14;

enum Classe { NAO_CONTA, EM_NOME, PROPRIA };
// Where a return address lies.
enum Origem { BIBLIOTECA = 1, RUNTIME, EXECUTAVEL, FRAGIL };

// ---------------------------------------------------------------------------
// State
// ---------------------------------------------------------------------------

using FnMalloc = void* (*)(size_t);
using FnCalloc = void* (*)(size_t, size_t);
using FnRealloc = void* (*)(void*, size_t);
using FnFree = void (*)(void*);
using FnMemalign = void* (*)(size_t, size_t);
using FnPosixMemalign = int (*)(void**, size_t, size_t);
using FnNew = void* (*)(size_t);
using FnNewNothrow = void* (*)(size_t, const std::nothrow_t&);
using FnNewAlinhado = void* (*)(size_t, std::align_val_t);
using FnNewAlinhadoNothrow = void* (*)(size_t, std::align_val_t, const std::nothrow_t&);
using FnVoid = void (*)();
using FnIgnora = void (*)(const void*);

struct Reais {
    FnMalloc malloc;
    FnCalloc calloc;
    FnRealloc realloc;
    FnFree free;
    FnMemalign memalign;
    FnMemalign aligned_alloc;
    FnPosixMemalign posix_memalign;
    FnNew novo, novoVetor;
    FnNewNothrow novoNothrow, novoVetorNothrow;
    FnNewAlinhado novoAlinhado, novoVetorAlinhado;
    FnNewAlinhadoNothrow novoAlinhadoNothrow, novoVetorAlinhadoNothrow;
    FnVoid troca;
    FnIgnora ignoraVazamento;  // the leak checker's, when one runs
};
Reais reais;
std::atomic<int> resolvendo{0};

alignas(64) char arena[kArenaInicial];
std::atomic<size_t> usadoArena{0};

std::atomic<long> programa{0}, proprias{0}, quadros{0};
long alvoPrograma = 0, alvoProprias = 0;
std::atomic<bool> falhou{false};
int relatorio = -1;
bool configurado = false;

// Inside this library on this thread: allocations made then (by backtrace,
// dladdr, the real operator new calling malloc) pass straight through.
thread_local int dentro __attribute__((tls_model("initial-exec"))) = 0;

uintptr_t baseExecutavel = 0;
uintptr_t inicioExec = 0, fimExec = 0;
uintptr_t inicioCarregador = 0, fimCarregador = 0;

// Return address << 3 | its Origem; 0 is free. Addresses repeat: most
// allocations come from a few hundred call sites.
std::atomic<uintptr_t> cacheOrigens[1 << kBitsCache];

// ---------------------------------------------------------------------------
// Output without the allocator: write(2) only
// ---------------------------------------------------------------------------

void Escreve(const char* formato, ...) {
    if (relatorio < 0) return;
    char linha[512];
    va_list args;
    va_start(args, formato);
    int n = vsnprintf(linha, sizeof linha, formato, args);
    va_end(args);
    if (n < 0) return;
    size_t tamanho = size_t(n) < sizeof linha ? size_t(n) : sizeof linha - 1;
    ssize_t escrito = write(relatorio, linha, tamanho);
    (void)escrito;
}

// ---------------------------------------------------------------------------
// Set-up
// ---------------------------------------------------------------------------

template <class F>
void Resolve(F& destino, const char* nome) {
    destino = reinterpret_cast<F>(dlsym(RTLD_NEXT, nome));
}

void ResolveReais() {
    if (reais.malloc) return;
    ++resolvendo;
    Resolve(reais.malloc, "malloc");
    Resolve(reais.calloc, "calloc");
    Resolve(reais.realloc, "realloc");
    Resolve(reais.free, "free");
    Resolve(reais.memalign, "memalign");
    Resolve(reais.aligned_alloc, "aligned_alloc");
    Resolve(reais.posix_memalign, "posix_memalign");
    Resolve(reais.novo, "_Znwm");
    Resolve(reais.novoVetor, "_Znam");
    Resolve(reais.novoNothrow, "_ZnwmRKSt9nothrow_t");
    Resolve(reais.novoVetorNothrow, "_ZnamRKSt9nothrow_t");
    Resolve(reais.novoAlinhado, "_ZnwmSt11align_val_t");
    Resolve(reais.novoVetorAlinhado, "_ZnamSt11align_val_t");
    Resolve(reais.novoAlinhadoNothrow, "_ZnwmSt11align_val_tRKSt9nothrow_t");
    Resolve(reais.novoVetorAlinhadoNothrow, "_ZnamSt11align_val_tRKSt9nothrow_t");
    Resolve(reais.troca, "SDL_GL_SwapBuffers");
    reais.ignoraVazamento = reinterpret_cast<FnIgnora>(dlsym(RTLD_DEFAULT, "__lsan_ignore_object"));
    --resolvendo;
}

// The code of the executable (the first object listed) and of the dynamic
// loader: their executable load segments.
int AchaExecutavelECarregador(dl_phdr_info* info, size_t, void* primeiro) {
    bool executavel = *static_cast<bool*>(primeiro);
    *static_cast<bool*>(primeiro) = false;
    if (!executavel && !strstr(info->dlpi_name, "/ld-linux")) return 0;
    if (executavel) baseExecutavel = info->dlpi_addr;
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr)& p = info->dlpi_phdr[i];
        if (p.p_type != PT_LOAD || !(p.p_flags & PF_X)) continue;
        uintptr_t inicio = info->dlpi_addr + p.p_vaddr;
        (executavel ? inicioExec : inicioCarregador) = inicio;
        (executavel ? fimExec : fimCarregador) = inicio + p.p_memsz;
    }
    return 0;
}

long LeNumero(const char* nome) {
    const char* v = getenv(nome);
    return v ? strtol(v, nullptr, 10) : 0;
}

__attribute__((constructor)) void Configura() {
    ++dentro;
    ResolveReais();
    bool primeiro = true;
    dl_iterate_phdr(AchaExecutavelECarregador, &primeiro);
    alvoPrograma = LeNumero("VD_ALLOCFAIL_NTH");
    alvoProprias = LeNumero("VD_ALLOCFAIL_OWN");
    if (const char* caminho = getenv("VD_ALLOCFAIL_REPORT"))
        relatorio = open(caminho, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    configurado = true;
    --dentro;
}

__attribute__((destructor)) void Encerra() {
    Escreve("total program %ld own %ld\n", programa.load(), proprias.load());
}

// ---------------------------------------------------------------------------
// Classifying an allocation
// ---------------------------------------------------------------------------

bool NoExecutavel(uintptr_t endereco) { return endereco >= inicioExec && endereco < fimExec; }

bool Contem(const char* texto, const char* parte) { return texto && strstr(texto, parte); }

// The C and C++ runtime: allocations pass through it on their way.
bool DoRuntime(const char* objeto) {
    static const char* const kRuntime[] = {"/libc.so", "/libstdc++.so", "/libgcc_s.so", "/ld-linux",
                                           "/libasan.so", "/libubsan.so", "/libm.so", "allocfail"};
    for (const char* r : kRuntime)
        if (Contem(objeto, r)) return true;
    return false;
}

// The display stack and libvorbis (see the top of this file).
bool NaoSobrevive(const char* objeto) {
    static const char* const kFragil[] = {"/libX", "/libxcb", "/libGL", "/libglapi", "_dri.so", "/libLLVM",
                                          "/libdrm", "/libgbm", "/libEGL", "/libxshmfence", "/libvorbis"};
    for (const char* f : kFragil)
        if (Contem(objeto, f)) return true;
    return false;
}

Origem OrigemNova(uintptr_t endereco) {
    Dl_info info;
    if (!dladdr(reinterpret_cast<void*>(endereco), &info)) return BIBLIOTECA;
    if (DoRuntime(info.dli_fname)) return RUNTIME;
    return NaoSobrevive(info.dli_fname) ? FRAGIL : BIBLIOTECA;
}

Origem OrigemDe(uintptr_t endereco) {
    if (NoExecutavel(endereco)) return EXECUTAVEL;
    const size_t mascara = (size_t(1) << kBitsCache) - 1;
    size_t h = size_t((endereco * 0x9E3779B97F4A7C15ull) >> (64 - kBitsCache));
    for (size_t k = 0; k < 8; ++k) {
        uintptr_t e = cacheOrigens[(h + k) & mascara].load(std::memory_order_relaxed);
        if (e == 0) break;
        if (e >> 3 == endereco) return Origem(e & 7);
    }
    Origem o = OrigemNova(endereco);
    for (size_t k = 0; k < 8; ++k) {
        uintptr_t vazio = 0;
        if (cacheOrigens[(h + k) & mascara].compare_exchange_strong(vazio, endereco << 3 | o)) break;
        if (vazio >> 3 == endereco) break;
    }
    return o;
}

// The walk outwards from the allocation, stopped at the first frame that
// decides (see the top of this file).
struct Caminhada {
    Classe classe = NAO_CONTA;
    bool direta = true;
    int quadros = 0;
    uintptr_t programa = 0;  // the frame of the executable found
};

_Unwind_Reason_Code Passo(_Unwind_Context* contexto, void* arg) {
    Caminhada* c = static_cast<Caminhada*>(arg);
    uintptr_t endereco = _Unwind_GetIP(contexto);
    if (endereco == 0 || ++c->quadros > kQuadrosPilha) return _URC_END_OF_STACK;
    switch (OrigemDe(endereco)) {
        case RUNTIME:
            return _URC_NO_REASON;
        case EXECUTAVEL:
            c->classe = c->direta ? PROPRIA : EM_NOME;
            c->programa = endereco;
            return _URC_END_OF_STACK;
        case FRAGIL:
            return _URC_END_OF_STACK;
        default:
            c->direta = false;
            return _URC_NO_REASON;
    }
}

Caminhada Classifica() {
    Caminhada c;
    _Unwind_Backtrace(Passo, &c);
    return c;
}

// A return address of the executable as addr2line takes it: one byte back
// lies inside the call.
unsigned long NoArquivo(uintptr_t endereco) { return static_cast<unsigned long>(endereco - baseExecutavel - 1); }

void RelataPilha(void* const* pilha, int n) {
    for (int i = 0; i < n; ++i) {
        uintptr_t endereco = reinterpret_cast<uintptr_t>(pilha[i]);
        // Return addresses: one byte back lies inside the call.
        if (NoExecutavel(endereco)) {
            Escreve("  exe+0x%lx\n", NoArquivo(endereco));
            continue;
        }
        Dl_info info;
        if (dladdr(pilha[i], &info) && info.dli_fname)
            Escreve("  %s+0x%lx\n", info.dli_fname,
                    static_cast<unsigned long>(endereco - reinterpret_cast<uintptr_t>(info.dli_fbase) - 1));
    }
}

// Numbers the allocation about to be made; true when it is the one to fail.
// Called outside the guard; the stack walk runs inside it.
// Once the one failure is made, nothing more is numbered: the rest of the
// run goes at full speed.
bool DeveFalhar(size_t tamanho) {
    if (!configurado || dentro || falhou.load(std::memory_order_relaxed)) return false;
    ++dentro;
    Caminhada caminhada = Classifica();
    Classe c = caminhada.classe;
    bool falha = false;
    if (c != NAO_CONTA) {
        long p = ++programa;
        long o = c == PROPRIA ? ++proprias : proprias.load();
        // Counting only: where each of the program's own allocations is made.
        if (c == PROPRIA && !alvoPrograma && !alvoProprias)
            Escreve("own %ld program %ld at exe+0x%lx\n", o, p, NoArquivo(caminhada.programa));
        falha = p == alvoPrograma || (c == PROPRIA && o == alvoProprias);
        if (falha) {
            falhou = true;
            Escreve("failed program %ld own %ld size %lu%s\n", p, o, static_cast<unsigned long>(tamanho),
                    c == PROPRIA ? " (own)" : "");
            void* pilha[kQuadrosPilha];
            RelataPilha(pilha, backtrace(pilha, kQuadrosPilha));
        }
    }
    --dentro;
    return falha;
}

// The leak checker takes what the dynamic loader allocates for its own
// (libraries opened at run time) as never leaked, telling it by the
// allocation's caller, which this library now stands in for: told here.
void* DoCarregador(void* p, const void* chamador) {
    uintptr_t c = reinterpret_cast<uintptr_t>(chamador);
    if (p && reais.ignoraVazamento && c >= inicioCarregador && c < fimCarregador) reais.ignoraVazamento(p);
    return p;
}

// Runs the real allocation inside the guard, so that whatever it calls
// (the real operator new calls malloc) is not numbered again.
template <class F, class... A>
auto Real(F f, A... args) -> decltype(f(args...)) {
    ++dentro;
    auto p = f(args...);
    --dentro;
    return p;
}

bool DaArena(const void* p) {
    return p >= static_cast<const void*>(arena) && p < static_cast<const void*>(arena + sizeof arena);
}

// While dlsym looks up the real functions: memory from the arena.
void* DaArenaInicial(size_t tamanho) {
    size_t alinhado = (tamanho + 15) & ~size_t(15);
    size_t inicio = usadoArena.fetch_add(alinhado);
    if (inicio + alinhado > sizeof arena) return nullptr;
    return arena + inicio;
}

[[noreturn]] void SemMemoria() { throw std::bad_alloc(); }

}  // namespace

// ---------------------------------------------------------------------------
// The C allocator
// ---------------------------------------------------------------------------

extern "C" {

void* malloc(size_t tamanho) {
    if (!reais.malloc) {
        if (resolvendo) return DaArenaInicial(tamanho);
        ResolveReais();
    }
    if (DeveFalhar(tamanho)) {
        errno = ENOMEM;
        return nullptr;
    }
    return DoCarregador(reais.malloc(tamanho), __builtin_return_address(0));
}

void* calloc(size_t n, size_t tamanho) {
    if (!reais.calloc) {
        if (resolvendo) return DaArenaInicial(n * tamanho);  // the arena is zeroed and never reused
        ResolveReais();
    }
    if (DeveFalhar(n * tamanho)) {
        errno = ENOMEM;
        return nullptr;
    }
    return DoCarregador(reais.calloc(n, tamanho), __builtin_return_address(0));
}

void* realloc(void* p, size_t tamanho) {
    if (DaArena(p)) {
        void* novo = malloc(tamanho);
        if (novo) memcpy(novo, p, tamanho);  // arena blocks are followed by more arena
        return novo;
    }
    if (!reais.realloc) ResolveReais();
    if (tamanho != 0 && DeveFalhar(tamanho)) {
        errno = ENOMEM;
        return nullptr;
    }
    return DoCarregador(reais.realloc(p, tamanho), __builtin_return_address(0));
}

void free(void* p) {
    if (!p || DaArena(p)) return;
    if (!reais.free) ResolveReais();
    reais.free(p);
}

void* memalign(size_t alinhamento, size_t tamanho) {
    if (!reais.memalign) ResolveReais();
    if (DeveFalhar(tamanho)) {
        errno = ENOMEM;
        return nullptr;
    }
    return reais.memalign(alinhamento, tamanho);
}

void* aligned_alloc(size_t alinhamento, size_t tamanho) {
    if (!reais.aligned_alloc) ResolveReais();
    if (DeveFalhar(tamanho)) {
        errno = ENOMEM;
        return nullptr;
    }
    return reais.aligned_alloc(alinhamento, tamanho);
}

int posix_memalign(void** p, size_t alinhamento, size_t tamanho) {
    if (!reais.posix_memalign) ResolveReais();
    if (DeveFalhar(tamanho)) return ENOMEM;
    return reais.posix_memalign(p, alinhamento, tamanho);
}

// The frames the program presents: where the start-up stands.
void SDL_GL_SwapBuffers(void) {
    if (!reais.troca) ResolveReais();
    long f = ++quadros;
    if (f <= kQuadrosRelatados) Escreve("frame %ld program %ld own %ld\n", f, programa.load(), proprias.load());
    if (reais.troca) reais.troca();
}

}  // extern "C"

// ---------------------------------------------------------------------------
// operator new: each form numbered once, then the real one (whose own
// malloc, inside the guard, is not numbered again)
// ---------------------------------------------------------------------------

void* operator new(size_t tamanho) {
    if (DeveFalhar(tamanho)) SemMemoria();
    return Real(reais.novo, tamanho);
}

void* operator new[](size_t tamanho) {
    if (DeveFalhar(tamanho)) SemMemoria();
    return Real(reais.novoVetor, tamanho);
}

void* operator new(size_t tamanho, const std::nothrow_t& nt) noexcept {
    if (DeveFalhar(tamanho)) return nullptr;
    return Real(reais.novoNothrow, tamanho, nt);
}

void* operator new[](size_t tamanho, const std::nothrow_t& nt) noexcept {
    if (DeveFalhar(tamanho)) return nullptr;
    return Real(reais.novoVetorNothrow, tamanho, nt);
}

void* operator new(size_t tamanho, std::align_val_t a) {
    if (DeveFalhar(tamanho)) SemMemoria();
    return Real(reais.novoAlinhado, tamanho, a);
}

void* operator new[](size_t tamanho, std::align_val_t a) {
    if (DeveFalhar(tamanho)) SemMemoria();
    return Real(reais.novoVetorAlinhado, tamanho, a);
}

void* operator new(size_t tamanho, std::align_val_t a, const std::nothrow_t& nt) noexcept {
    if (DeveFalhar(tamanho)) return nullptr;
    return Real(reais.novoAlinhadoNothrow, tamanho, a, nt);
}

void* operator new[](size_t tamanho, std::align_val_t a, const std::nothrow_t& nt) noexcept {
    if (DeveFalhar(tamanho)) return nullptr;
    return Real(reais.novoVetorAlinhadoNothrow, tamanho, a, nt);
}
