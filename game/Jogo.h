// The game's flow: start-up and language choice, the objects of a session,
// the main cycle of menu and runs, and the play loop one frame at a time.
// main() only calls ExecutaJogo; tests and tools drive the parts directly.
#ifndef VD_JOGO_H
#define VD_JOGO_H

#include <vector>

#include "BarraTempo.h"
#include "Coracao.h"
#include "Direcional.h"
#include "Inimigo.h"
#include "MenorResistencia.h"
#include "Menu.h"
#include "Nano.h"
#include "Recursos.h"
#include "Transicao.h"
#include "brisa2d2.h"

// Exit statuses of the program. A signal that asked it to end (SIGTERM,
// SIGINT, SIGHUP) gives SAIDA_SINAL plus the signal's number, as shells
// report a signal.
enum { SAIDA_NORMAL = 0, SAIDA_FALHA_MOTOR = 1, SAIDA_SINAL = 128 };

// What ended a play frame (the run goes on only after QUADRO_SEGUE).
enum ResultadoQuadro {
    QUADRO_SEGUE,              // still playing; the frame was presented
    QUADRO_PERDEU_OBSTACULO,   // touched a blob: lost before anything was drawn
    QUADRO_PERDEU_PAREDE,      // touched the vessel wall: lost after drawing
    QUADRO_GANHOU,             // went far enough into the last tile
    QUADRO_TEMPO_ESGOTADO,     // the time bar ran out
};

// Everything one session of the game holds. The objects are built once after
// the language choice and owned here; the blob list owns its blobs.
struct Jogo {
    Recursos r;
    BRZ_Botao* teclas = nullptr;
    std::vector<Inimigo*> inimigos;
    Transicao* transicao4 = nullptr;  // opening screen before each run
    Menu* menu = nullptr;
    Coracao* coracao = nullptr;
    BarraTempo* barraTempo = nullptr;
    Direcional* up = nullptr;         // the down arrow at the bottom: lit while moving down
    Direcional* down = nullptr;       // the up arrow at the top: lit while moving up
    MenorResistencia* menorResistencia = nullptr;
    Nano* nano = nullptr;
    Transicao* tMorreu = nullptr;     // screen after a loss
    Transicao* tutorial = nullptr;
    Transicao* creditos = nullptr;
    Transicao* elementos = nullptr;
    int jogo = 0;                     // 1 while cycling and playing; a loss or win sets 0
    bool emPartida = false;           // inside the play loop
    int quadroPartida = 0;            // play frames of the current run, counted from 1 as each starts
};

bool IniciaBrisa();                        // engine (full-screen OpenGL), the common pictures announced, audio; false if the engine failed
void TelaCarregando(Jogo& j);              // loads the loading picture and shows it twice
bool TelaIdiomas(Jogo& j);                 // language screen: true after P or E (set loaded), false after ESC or a signal
void ConstroiObjetos(Jogo& j);             // the 13 objects of the session, in order, and the first layout
void LiberaObjetos(Jogo& j);               // destroys the objects and the blobs (end of the process)
void IniciaSessao(Jogo& j);                // objects, volumes, background music; jogo = 1
// The program's start up to the main cycle without its screens, for tools
// that play headless: the key states, every asset with the language set of
// `lingua` (0 Portuguese, else English), then IniciaSessao. The engine and
// the audio module must be running; vecPosicao is left as it is.
void IniciaSemTelas(Jogo& j, int lingua);
void PreparaPartida(Jogo& j);              // a run's set-up: a fresh blob layout around vecPosicao, a full time bar
void ComecaPartida(Jogo& j);               // the next play frame is a run's first: emPartida, quadroPartida 0
int CicloPrincipal(Jogo& j);               // menu and runs until the menu's quit answer or a signal, then the shut-down; the exit status
ResultadoQuadro QuadroJogo(Jogo& j);       // one play frame
void LacoJogo(Jogo& j);                    // frames until a loss, a win, ESC, the close request or a signal
int ExecutaJogo();                         // the whole program; returns the exit status
const Jogo* SessaoAtual();                 // the session ExecutaJogo runs, for observers; null outside it

#endif
