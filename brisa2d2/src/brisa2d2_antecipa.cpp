// Brisa2D 2 — decoding ahead. The files the next sprite-set loads will read
// (BRZ_AntecipaSpriteSets) are decoded by a helper thread, in load order,
// into the form the renderer keeps, while the loading thread starts the
// audio, shows frames, builds masks and uploads textures. A load takes its
// picture from here (BRZ_TomaAntecipada): decoding it itself when nobody has
// started on it, and while the helper finishes it, decoding a later one, so
// both threads decode whenever the loading thread has nothing else to do.
//
// Everything else of a load stays on the loading thread: the registry, the
// messages, SDL and OpenGL. The helper runs the renderer's decoder alone,
// which calls neither. One lock guards the list; the decodes run outside it.
#include "brisa2d2.h"
#include "brisa2d2_plataforma.h"

#if defined(__linux__)
#include <pthread.h>
#endif

#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// ---------------------------------------------------------------------------
// Constants
// ---------------------------------------------------------------------------

// One helper beside the loading thread on a desktop: on two cores the pair
// keeps both busy, the loading thread decoding too whenever it catches up.
// None in a browser (brisa2d2_plataforma.h): each load decodes its own.
static const int AJUDANTES = BRZ_AJUDANTES_ANTECIPACAO;
#if defined(__linux__)
// The helpers' name among the process's threads (at most 15 characters).
static const char* const NOME_AJUDANTE = "brz-antecipa";
#endif

// ---------------------------------------------------------------------------
// Types
// ---------------------------------------------------------------------------

namespace {

enum Estado {
    PENDENTE,    // nobody has started on it
    EM_CURSO,    // a thread is decoding it
    PRONTA,      // decoded (or left to its load); waiting to be taken
    TOMADA       // taken by its load or passed over: nothing left here
};

struct Entrada {
    std::string arquivo;
    Estado estado = PENDENTE;
    bool decodificada = false;
    BRZ_ImagemAntecipada imagem{nullptr, 0, 0, 0};
};

}  // namespace

// ---------------------------------------------------------------------------
// State
// ---------------------------------------------------------------------------

static std::mutex trava;
static std::condition_variable mudou;     // an entry became PRONTA
static std::vector<Entrada> fila;         // the list; fixed while helpers run
static size_t cursor = 0;                 // first entry a load may still take
static bool parar = false;                // the helpers stop after their decode
static bool (*decodifica)(const char*, BRZ_ImagemAntecipada*) = nullptr;
static std::vector<std::thread> ajudantes;
static bool saidaRegistrada = false;

// ---------------------------------------------------------------------------
// Private helpers
// ---------------------------------------------------------------------------

static size_t BytesDe(const BRZ_ImagemAntecipada& d) { return size_t(d.lado) * size_t(d.lado) * 4; }

static void Devolve(BRZ_ImagemAntecipada* d) {
    BRZ_DesmapeiaPixels(d->pixels, BytesDe(*d));
    d->pixels = nullptr;
}

// Decodes entry i outside the lock, then stores it and wakes the loading
// thread. Called with the lock held, which it holds again on return.
static void DecodificaEntrada(std::unique_lock<std::mutex>& lock, size_t i) {
    fila[i].estado = EM_CURSO;
    const char* arquivo = fila[i].arquivo.c_str();
    lock.unlock();
    BRZ_ImagemAntecipada imagem;
    bool ok = decodifica(arquivo, &imagem);
    lock.lock();
    fila[i].decodificada = ok;
    fila[i].imagem = imagem;
    fila[i].estado = PRONTA;
    mudou.notify_all();
}

// The first entry a load may still take that nobody has started (the size
// of the list when there is none). Called with the lock held.
static size_t PrimeiraPendente() {
    size_t i = cursor;
    while (i < fila.size() && fila[i].estado != PENDENTE) ++i;
    return i;
}

// A helper: the first entry nobody has started, until none is left or the
// engine stops decoding ahead.
static void Ajudante() {
#if defined(__linux__)
    pthread_setname_np(pthread_self(), NOME_AJUDANTE);
#endif
    std::unique_lock<std::mutex> lock(trava);
    for (size_t i = PrimeiraPendente(); i < fila.size() && !parar; i = PrimeiraPendente()) DecodificaEntrada(lock, i);
}

// The load of entry i passes over the entries before it: they are no load's
// any more, and their pictures go back once decoded (by Esvazia, when a
// thread is still on one). Called with the lock held.
static void PassaAte(size_t i) {
    for (size_t j = cursor; j < i; ++j) {
        if (fila[j].estado == PRONTA && fila[j].decodificada) Devolve(&fila[j].imagem);
        if (fila[j].estado != EM_CURSO) fila[j].estado = TOMADA;
    }
    cursor = i + 1;
}

// Until entry i is decoded: decodes it here when nobody has started on it,
// and while a helper finishes it, decodes a later one rather than wait (the
// next loads need it soon, and so both cores decode). Called with the lock
// held, which it holds again on return.
static void EsperaPronta(std::unique_lock<std::mutex>& lock, size_t i) {
    if (fila[i].estado == PENDENTE) DecodificaEntrada(lock, i);
    while (fila[i].estado != PRONTA) {
        size_t proxima = PrimeiraPendente();
        if (proxima < fila.size())
            DecodificaEntrada(lock, proxima);
        else
            mudou.wait(lock);
    }
}

// Waits for the helpers, then gives back every picture not taken.
static void Esvazia() {
    {
        std::lock_guard<std::mutex> lock(trava);
        parar = true;
    }
    for (std::thread& t : ajudantes) t.join();
    ajudantes.clear();
    for (Entrada& e : fila)
        if (e.estado == PRONTA && e.decodificada) Devolve(&e.imagem);
    fila.clear();
    cursor = 0;
    parar = false;
}

// A process that ends without shutting the engine down must not end with a
// helper still running (a joinable std::thread ends it with std::terminate).
static void EncerraNaSaida() { BRZ_EncerraAntecipacao(); }

// ---------------------------------------------------------------------------
// Public functions
// ---------------------------------------------------------------------------

// The list of the files not loaded yet, and its helpers started. Throws
// std::bad_alloc when memory runs out, std::system_error when no thread starts.
static void Inicia(const char* const* arquivos, int quantidade, const BRZ_Renderizador& r) {
    for (int i = 0; i < quantidade; ++i) {
        // Names already loaded are shared by their loads, never decoded.
        if (!arquivos[i] || BRZ_ProcuraSpriteSet(arquivos[i]) != 0) continue;
        fila.emplace_back();
        fila.back().arquivo = arquivos[i];
    }
    if (fila.empty()) return;
    decodifica = r.DecodificaAdiantado;
    if (!saidaRegistrada) saidaRegistrada = atexit(EncerraNaSaida) == 0;
    for (int i = 0; i < AJUDANTES; ++i) ajudantes.emplace_back(Ajudante);
}

void BRZ_AntecipaSpriteSets(const char* const* arquivos, int quantidade) {
    BRZ_EncerraAntecipacao();
    const BRZ_Renderizador* r = BRZ_RenderizadorAtivo();
    if (!inicializado || !r || !r->DecodificaAdiantado || !arquivos) return;
    try {
        Inicia(arquivos, quantidade, *r);
    } catch (const std::exception&) {
        // Decoding ahead only saves time: every load still decodes its own file.
        BRZ_EncerraAntecipacao();
        puts("Não conseguiu antecipar a decodificação das imagens; cada uma será decodificada ao ser carregada.");
    }
}

bool BRZ_TomaAntecipada(const char* arquivo, BRZ_ImagemAntecipada* d) {
    *d = BRZ_ImagemAntecipada{nullptr, 0, 0, 0};
    std::unique_lock<std::mutex> lock(trava);
    size_t i = cursor;
    while (i < fila.size() && (fila[i].estado == TOMADA || fila[i].arquivo != arquivo)) ++i;
    if (i == fila.size()) return false;
    PassaAte(i);
    EsperaPronta(lock, i);
    Entrada& e = fila[i];
    e.estado = TOMADA;
    bool decodificada = e.decodificada;
    if (decodificada) *d = e.imagem;
    e.imagem.pixels = nullptr;
    bool ultima = cursor == fila.size();
    lock.unlock();
    // The list is done with: the helpers have nothing left to start.
    if (ultima) BRZ_EncerraAntecipacao();
    return decodificada;
}

void BRZ_EncerraAntecipacao() {
    if (ajudantes.empty() && fila.empty()) return;
    Esvazia();
}
