// Brisa Audio 2 — sound effects and music over SDL_mixer.
//
// Two fixed registries shared by file name with holder counts: 512 effects
// and 8 music pieces. Identifiers are slot index + 1; 0 means none and is
// what a failed load or lookup returns. Every operation that takes an
// identifier ignores 0 and values past its registry. The module owns every
// chunk and music piece it decoded. Start it after the engine has opened its
// display (it reads the display width for position panning).
#ifndef BRISAAUDIO2_H
#define BRISAAUDIO2_H

enum { BZA_MAX_EFEITOS = 512, BZA_MAX_MUSICAS = 8 };

struct Mix_Chunk;
typedef struct _Mix_Music Mix_Music;

// One slot of the effect registry. Free while `efeito` is null.
struct BZA_Efeito {
    int usuarios;          // holders; 0 in a free slot
    char apelido[2048];    // the file name loaded (lookup key); empty when free
    long tempo;            // kept at 0
    Mix_Chunk* efeito;     // the decoded sample
};

// One slot of the music registry. Free while `musica` is null.
struct BZA_Musica {
    int usuarios;
    char apelido[2048];
    long tempo;
    Mix_Music* musica;
};

bool BZA_Inicia();                                     // open the mixer (44.1 kHz stereo); true when running
void BZA_Encerra();                                    // stop all sound, free every piece, close the mixer
void BZA_Reset();                                      // forget both registries and volumes (frees nothing)
void BZA_Sincroniza();                                 // per-frame hook; does nothing
bool BZA_AjustaVolume(unsigned int musica, unsigned int efeitos); // percent, capped at 100; false while stopped
unsigned int BZA_CarregaEfeito(const char* arquivo);   // load or share an effect; 0 on failure
void BZA_RemoveEfeito(unsigned int id);                // give up one holder
unsigned int BZA_ProcuraEfeito(const char* apelido);   // first slot named apelido, or 0
int BZA_TocaEfeito(unsigned int id, int posicao);      // play once panned -100..100; the channel, 0 if nothing
int BZA_TocaEfeitoTela(unsigned int id, int posicao);  // play panned by screen x; the channel, 0 if nothing
void BZA_PausaEfeitos();                               // pause every effect channel
void BZA_ContinuaEfeitos();                            // resume every effect channel
unsigned int BZA_CarregaMusica(const char* arquivo);   // load or share a music piece; 0 on failure
void BZA_RemoveMusica(unsigned int id);                // give up one holder
unsigned int BZA_ProcuraMusica(const char* apelido);   // first slot named apelido, or 0
bool BZA_TocaMusica(unsigned int id, int vezes);       // play with loop count (-1 or less: for ever)
void BZA_PausaMusica();                                // pause the music
void BZA_ContinuaMusica();                             // resume the music
void BZA_FadeMusica(unsigned int tempo);               // fade out over tempo ms, then stop

#endif
