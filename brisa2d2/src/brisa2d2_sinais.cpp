// Brisa2D 2 — engine core: the termination signals.
//
// SDL 1.2 and SDL2 (under sdl12-compat) both catch SIGINT and SIGTERM when
// their video starts, each only where the signal still has its default
// action, and turn them into a close request; most screens of a game never
// read one, so `kill`, Ctrl+C or a logout left the program running. SIGHUP
// neither catches: it ended the process at once, skipping the shut-down that
// gives the display mode back. The engine puts its own catcher on all three
// before SDL's video starts (so SDL leaves them alone) and gives the former
// actions back at its shut-down. A signal the process ignores (nohup, a
// background job of a script) stays ignored.
#include "brisa2d2.h"

#include <signal.h>

// ---------------------------------------------------------------------------
// Constants
// ---------------------------------------------------------------------------

static const int kSinais[] = {SIGTERM, SIGINT, SIGHUP};
static const int kQuantosSinais = sizeof kSinais / sizeof kSinais[0];

// ---------------------------------------------------------------------------
// State
// ---------------------------------------------------------------------------

static volatile sig_atomic_t sinalRecebido = 0;
static struct sigaction acoesAnteriores[kQuantosSinais];
static bool capturado[kQuantosSinais];

// ---------------------------------------------------------------------------
// Private helpers
// ---------------------------------------------------------------------------

// Runs on whichever thread the system picks, between any two instructions:
// it only notes the signal.
extern "C" void BRZ_AnotaSinal(int sinal) { sinalRecebido = sinal; }

// ---------------------------------------------------------------------------
// Public functions
// ---------------------------------------------------------------------------

void BRZ_CapturaSinais() {
    sinalRecebido = 0;
    struct sigaction acao = {};
    acao.sa_handler = BRZ_AnotaSinal;
    sigemptyset(&acao.sa_mask);
    acao.sa_flags = SA_RESTART;
    for (int i = 0; i < kQuantosSinais; ++i) {
        capturado[i] = false;
        if (sigaction(kSinais[i], nullptr, &acoesAnteriores[i]) != 0) continue;
        if (acoesAnteriores[i].sa_handler == SIG_IGN) continue;
        capturado[i] = sigaction(kSinais[i], &acao, nullptr) == 0;
    }
}

void BRZ_DevolveSinais() {
    for (int i = 0; i < kQuantosSinais; ++i) {
        if (capturado[i]) sigaction(kSinais[i], &acoesAnteriores[i], nullptr);
        capturado[i] = false;
    }
}

int BRZ_SinalRecebido() { return sinalRecebido; }
