// Brisa Audio 2 — sound effects and music over SDL_mixer.
//
// Two fixed registries shared by file name with holder counts: 512 effects
// and 8 music pieces. Identifiers are slot index + 1; 0 means none and is
// what a failed load or lookup returns. Every operation that takes an
// identifier ignores 0 and values past its registry. The module owns every
// chunk and music piece it decoded; callers hold identifiers only. Start it
// after the engine has opened its display (it reads the display width for
// position panning). One thread: every call comes from the game's thread.
// Failures come back as 0 or false with a Portuguese line on standard output.
#ifndef BRISAAUDIO2_H
#define BRISAAUDIO2_H

#include <cstdint>

enum {
    BZA_MAX_EFEITOS = 512,          // effect registry size
    BZA_MAX_MUSICAS = 8,            // music registry size
    BZA_TAM_APELIDO = 2048,         // longest file name kept: 2047 bytes + NUL; longer ones are refused
    BZA_LARGURA_TELA_PADRAO = 1024  // panning width when the engine had no display at start-up
};

struct Mix_Chunk;
typedef struct _Mix_Music Mix_Music;

// One slot of the effect registry. Free while `efeito` is null.
struct BZA_Efeito {
    int usuarios;                    // holders; 0 in a free slot
    char apelido[BZA_TAM_APELIDO];   // the file name loaded (lookup key); empty when free
    int32_t tempo;                   // kept at 0
    Mix_Chunk* efeito;               // the decoded sample, owned by the module
};

// One slot of the music registry. Free while `musica` is null.
struct BZA_Musica {
    int usuarios;                    // holders; 0 in a free slot
    char apelido[BZA_TAM_APELIDO];   // the file name loaded (lookup key); empty when free
    int32_t tempo;                   // kept at 0
    Mix_Music* musica;               // the decoded music, owned by the module
};

bool BZA_Inicia();                                     // reset, open the mixer (44.1 kHz S16 stereo); false (registries reset) when SDL audio is already up or fails; true if already running
void BZA_Encerra();                                    // halt all sound, free every loaded piece whatever its holders, close the mixer; while stopped only frees what is loaded (music opens without a device)
void BZA_Reset();                                      // forget both registries and volumes without freeing: only safe while stopped
void BZA_Sincroniza();                                 // per-frame hook; does nothing
bool BZA_AjustaVolume(unsigned int musica, unsigned int efeitos); // percent, capped at 100, to the mixer's 0..128; false and a warning while stopped
unsigned int BZA_CarregaEfeito(const char* arquivo);   // load (lowest free slot) or share by name; 0 and a message on failure (a WAV cut short is one), full registry or a name of 2048+ bytes
void BZA_RemoveEfeito(unsigned int id);                // give up one holder; the last one frees the sample
unsigned int BZA_ProcuraEfeito(const char* apelido);   // first slot whose name equals apelido (free slots are named ""), or 0
int BZA_TocaEfeito(unsigned int id, int posicao);      // play once panned -100 (left)..100 (right, clamped); mixer channel, -1 when all busy, 0 for a bad id
int BZA_TocaEfeitoTela(unsigned int id, int posicao);  // as BZA_TocaEfeito, panned by screen x (clamped to 0..display width)
void BZA_PausaEfeitos();                               // pause every effect channel
void BZA_ContinuaEfeitos();                            // resume every effect channel
unsigned int BZA_CarregaMusica(const char* arquivo);   // load (lowest free slot) or share by name; 0 and a message on failure, full registry or a name of 2048+ bytes
void BZA_RemoveMusica(unsigned int id);                // give up one holder; the last one frees the music
unsigned int BZA_ProcuraMusica(const char* apelido);   // first slot whose name equals apelido (free slots are named ""), or 0
bool BZA_TocaMusica(unsigned int id, int vezes);       // start with loop count (-1 or less: for ever); false for a bad id or a mixer failure
void BZA_PausaMusica();                                // pause the music
void BZA_ContinuaMusica();                             // resume the music
void BZA_FadeMusica(unsigned int tempo);               // fade out over tempo ms, then stop

#endif
