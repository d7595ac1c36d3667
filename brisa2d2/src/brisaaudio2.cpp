// Brisa Audio 2 — sound effects and music over SDL_mixer.
//
// All state is file-local: two fixed registries and a handful of settings.
// Nothing here allocates; the mixer allocates the decoded samples and music
// and the module hands them back to it on release and at shut-down.
#include "brisaaudio2.h"

#include "brisa2d2.h"
#include "brisa2d2_plataforma.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <climits>
#include <cstdio>
#include <cstring>

namespace {

// Device format: CD rate, signed 16-bit little-endian, stereo, 2048-frame chunks.
const int kFrequencia = 44100;
const Uint16 kFormato = AUDIO_S16LSB;
const int kCanais = 2;
const int kTamanhoBloco = 2048;

const unsigned int kVolumeMaximo = 100;   // percent
const unsigned int kVolumeMixer = MIX_MAX_VOLUME;  // the mixer's 0..128 scale

// RIFF chunk names as little-endian words, and the sizes of the file's
// opening (RIFF, its size, WAVE) and of each chunk header (name, size).
const Uint32 kRiff = 0x46464952, kWave = 0x45564157, kDados = 0x61746164;
const int kAberturaRiff = 12, kCabecalhoBloco = 8;

const int kPanEsquerda = -100;
const int kPanDireita = 100;
const int kGanhoMaximo = 254;  // both gains sum to this, so the centre is 127/127
const int kParaSempre = -1;    // music loop count that repeats for ever

bool BZA_inicializado = false;
unsigned int volMusica = kVolumeMaximo;
unsigned int volEfeitos = kVolumeMaximo;
int lTela = -1;
BZA_Efeito efeitos[BZA_MAX_EFEITOS];
BZA_Musica musicas[BZA_MAX_MUSICAS];

// ---------------------------------------------------------------------------
// Registry helpers, one body for both registries. Slot types differ only in
// the data field, so the free and load calls come in as the type's own.
// ---------------------------------------------------------------------------

Mix_Chunk*& Dados(BZA_Efeito& s) { return s.efeito; }
Mix_Music*& Dados(BZA_Musica& s) { return s.musica; }
void Libera(Mix_Chunk* c) { Mix_FreeChunk(c); }
void Libera(Mix_Music* m) { Mix_FreeMusic(m); }

// A RIFF WAVE file states how many bytes of samples its data chunk holds.
// True when the stream, read from where it stands, is such a file cut short:
// its data chunk, or the headers before it, end past the end of the file.
// Leaves the stream where it was. Other streams are the decoder's to judge.
bool WavCortado(SDL_RWops* fluxo) {
    const long long inicio = SDL_RWtell(fluxo);
    const long long fim = SDL_RWseek(fluxo, 0, RW_SEEK_END);
    SDL_RWseek(fluxo, int(inicio), RW_SEEK_SET);
    Uint32 abertura[3];
    bool cortado = false;
    if (SDL_RWread(fluxo, abertura, sizeof(Uint32), 3) == 3 && SDL_SwapLE32(abertura[0]) == kRiff &&
        SDL_SwapLE32(abertura[2]) == kWave) {
        long long bloco = inicio + kAberturaRiff;
        Uint32 cabecalho[2];
        for (;;) {
            if (bloco + kCabecalhoBloco > fim || SDL_RWseek(fluxo, int(bloco), RW_SEEK_SET) < 0 ||
                SDL_RWread(fluxo, cabecalho, sizeof(Uint32), 2) != 2) {
                cortado = true;  // no data chunk before the end
                break;
            }
            const long long tamanho = SDL_SwapLE32(cabecalho[1]);
            if (SDL_SwapLE32(cabecalho[0]) == kDados) {
                cortado = bloco + kCabecalhoBloco + tamanho > fim;
                break;
            }
            bloco += kCabecalhoBloco + tamanho + (tamanho & 1);  // chunks keep an even length
        }
    }
    SDL_RWseek(fluxo, int(inicio), RW_SEEK_SET);
    return cortado;
}

// Effects go through an SDL read stream, which the decoder closes itself.
// A WAV file cut short is refused here on every SDL: SDL 1.2 refuses it
// itself, while SDL2 (under sdl12-compat) would play the whole sample frames
// before the cut. Refused, a damaged effect is named by the load error
// instead of playing cut short unnoticed.
Mix_Chunk* Decodifica(BZA_Efeito&, const char* arquivo) {
    SDL_RWops* fluxo = BRZ_AbreLeitura(arquivo);
    if (!fluxo) return nullptr;
    if (WavCortado(fluxo)) {
        SDL_RWclose(fluxo);
        return nullptr;
    }
    return BRZ_DecodificaEfeito(fluxo, arquivo);
}
Mix_Music* Decodifica(BZA_Musica&, const char* arquivo) { return Mix_LoadMUS(arquivo); }

template <typename Slot>
void Esquece(Slot& s) {
    s.usuarios = 0;
    s.apelido[0] = '\0';
    s.tempo = 0;
    Dados(s) = nullptr;
}

template <typename Slot>
void Esvazia(Slot& s) {
    if (Dados(s)) Libera(Dados(s));
    Esquece(s);
}

template <typename Slot, size_t N>
unsigned int Procura(const Slot (&slots)[N], const char* apelido) {
    if (!apelido) return 0;
    for (size_t i = 0; i < N; ++i)
        if (strcmp(slots[i].apelido, apelido) == 0) return unsigned(i + 1);
    return 0;
}

template <typename Slot, size_t N>
void Remove(Slot (&slots)[N], unsigned int id) {
    if (id == 0 || id > N) return;
    Slot& s = slots[id - 1];
    if (s.usuarios > 1) {
        s.usuarios--;
        return;
    }
    Esvazia(s);
}

// Text for the messages that differ between the two registries.
struct Textos {
    const char* cheio;        // registry full (printed with puts: its blank stays before the line break)
    const char* carregou;     // printf format with the file name
    const char* oQue;         // what was not loaded, for the name-length message
};
const Textos kTextosEfeito = {"Estourou o limite de efeitos sonoros carregados no sistema. ",
                              "Carregou o efeito %s.\n", "o efeito sonoro não foi carregado"};
const Textos kTextosMusica = {"Estourou o limite de músicas carregadas no sistema. ",
                              "Carregou a música %s.\n", "a música não foi carregada"};

// A name the registry cannot hold whole is refused rather than cut: a cut name
// would later match a different file that shares the first 2047 bytes.
bool NomeAceito(const char* arquivo, const Textos& textos) {
    if (!arquivo) {
        printf("A Brisa Audio 2 recebeu um nome de arquivo nulo; %s.\n", textos.oQue);
        return false;
    }
    size_t tamanho = strlen(arquivo);
    if (tamanho < BZA_TAM_APELIDO) return true;
    printf("O nome de arquivo com %u caracteres excede o limite de %u caracteres; %s.\n",
           unsigned(tamanho), unsigned(BZA_TAM_APELIDO - 1), textos.oQue);
    return false;
}

template <typename Slot, size_t N>
unsigned int Carrega(Slot (&slots)[N], const char* arquivo, const Textos& textos) {
    if (!NomeAceito(arquivo, textos)) return 0;
    // Only a loaded slot is shared: the empty name also matches free slots,
    // and a holder on a free slot would pass for a loaded sound.
    unsigned int id = Procura(slots, arquivo);
    if (id != 0 && Dados(slots[id - 1])) {
        slots[id - 1].usuarios++;
        return id;
    }
    Slot* livre = nullptr;
    for (Slot& s : slots) {
        if (!Dados(s)) {
            livre = &s;
            break;
        }
    }
    if (!livre) {
        puts(textos.cheio);
        return 0;
    }
    Dados(*livre) = Decodifica(*livre, arquivo);
    if (!Dados(*livre)) {
        printf("Erro ao carregar o arquivo %s.\n", arquivo);
        return 0;
    }
    memcpy(livre->apelido, arquivo, strlen(arquivo) + 1);
    printf(textos.carregou, arquivo);
    livre->usuarios = 1;
    return unsigned(livre - slots) + 1;
}

// ---------------------------------------------------------------------------
// Playing
// ---------------------------------------------------------------------------

Mix_Chunk* EfeitoCarregado(unsigned int id) {
    if (id == 0 || id > BZA_MAX_EFEITOS) return nullptr;
    return efeitos[id - 1].efeito;
}

int Limita(int valor, int minimo, int maximo) {
    return valor < minimo ? minimo : (valor > maximo ? maximo : valor);
}

int TocaPanorama(Mix_Chunk* efeito, int posicao) {
    int pan = Limita(posicao, kPanEsquerda, kPanDireita);
    int esquerda = (kPanDireita - pan) * kGanhoMaximo / (kPanDireita - kPanEsquerda);
    int direita = (pan - kPanEsquerda) * kGanhoMaximo / (kPanDireita - kPanEsquerda);
    // Holding the device lock across both calls keeps the mixer thread from
    // mixing the first block before the panning is in place.
    SDL_LockAudio();
    int canal = Mix_PlayChannelTimed(-1, efeito, 0, -1);
    if (canal >= 0) Mix_SetPanning(canal, Uint8(esquerda), Uint8(direita));
    SDL_UnlockAudio();
    return canal;
}

int LarguraDaTela() {
    if (screen && screen->w >= 1) return screen->w;
    return BZA_LARGURA_TELA_PADRAO;
}

}  // namespace

// ---------------------------------------------------------------------------
// Life cycle
// ---------------------------------------------------------------------------

bool BZA_Inicia() {
    if (BZA_inicializado) return true;
    BZA_Reset();
    if (BRZ_SubsistemaIniciado(SDL_INIT_AUDIO)) return false;
    if (BRZ_IniciaSubsistema(SDL_INIT_AUDIO) < 0) {
        printf("Não conseguiu iniciar a Brisa Audio 2 (subseistema SDL). Erro do sistema: %s\n",
               SDL_GetError());
        return false;
    }
    if (Mix_OpenAudio(kFrequencia, kFormato, kCanais, kTamanhoBloco) < 0) {
        BRZ_EncerraSubsistema(SDL_INIT_AUDIO);
        printf("Não conseguiu iniciar a Brisa Audio 2 (formato de áudio). Erro do sistema: %s\n",
               SDL_GetError());
        return false;
    }
    BZA_inicializado = true;
    BZA_AjustaVolume(kVolumeMaximo, kVolumeMaximo);
    lTela = LarguraDaTela();
    return true;
}

void BZA_Encerra() {
    if (BZA_inicializado) {
        if (Mix_PlayingMusic()) Mix_HaltMusic();
        Mix_HaltChannel(-1);
    }
    // Every piece goes back to the mixer whatever its holder count: one that
    // outlived the shut-down would be forgotten by the next start-up's reset.
    // That holds while stopped too: without a device SDL_mixer still opens
    // music files, so a failed start-up can leave pieces in the registry.
    for (BZA_Efeito& s : efeitos) Esvazia(s);
    for (BZA_Musica& s : musicas) Esvazia(s);
    if (!BZA_inicializado) return;
    Mix_CloseAudio();
    BRZ_EncerraSubsistema(SDL_INIT_AUDIO);
    BZA_inicializado = false;
}

void BZA_Reset() {
    volMusica = kVolumeMaximo;
    volEfeitos = kVolumeMaximo;
    for (BZA_Efeito& s : efeitos) Esquece(s);
    for (BZA_Musica& s : musicas) Esquece(s);
}

void BZA_Sincroniza() {}

bool BZA_AjustaVolume(unsigned int musica, unsigned int efeitos) {
    if (!BZA_inicializado) {
        puts("Atenção: tentativa de mudar o volume do áudio sem iniciar o sistema de áudio!");
        return false;
    }
    volMusica = musica > kVolumeMaximo ? kVolumeMaximo : musica;
    volEfeitos = efeitos > kVolumeMaximo ? kVolumeMaximo : efeitos;
    Mix_Volume(-1, int(volEfeitos * kVolumeMixer / kVolumeMaximo));
    Mix_VolumeMusic(int(volMusica * kVolumeMixer / kVolumeMaximo));
    return true;
}

// ---------------------------------------------------------------------------
// Effects
// ---------------------------------------------------------------------------

unsigned int BZA_CarregaEfeito(const char* arquivo) { return Carrega(efeitos, arquivo, kTextosEfeito); }

void BZA_RemoveEfeito(unsigned int id) { Remove(efeitos, id); }

unsigned int BZA_ProcuraEfeito(const char* apelido) { return Procura(efeitos, apelido); }

int BZA_TocaEfeito(unsigned int id, int posicao) {
    Mix_Chunk* efeito = EfeitoCarregado(id);
    return efeito ? TocaPanorama(efeito, posicao) : 0;
}

int BZA_TocaEfeitoTela(unsigned int id, int posicao) {
    Mix_Chunk* efeito = EfeitoCarregado(id);
    if (!efeito) return 0;
    // lTela is -1 until the first start-up; never divide by less than one pixel.
    int largura = lTela >= 1 ? lTela : BZA_LARGURA_TELA_PADRAO;
    int x = Limita(posicao, 0, largura);
    int pan = x * (kPanDireita - kPanEsquerda) / largura + kPanEsquerda;
    return TocaPanorama(efeito, pan);
}

void BZA_PausaEfeitos() { Mix_Pause(-1); }

void BZA_ContinuaEfeitos() { Mix_Resume(-1); }

// ---------------------------------------------------------------------------
// Music
// ---------------------------------------------------------------------------

unsigned int BZA_CarregaMusica(const char* arquivo) { return Carrega(musicas, arquivo, kTextosMusica); }

void BZA_RemoveMusica(unsigned int id) { Remove(musicas, id); }

unsigned int BZA_ProcuraMusica(const char* apelido) { return Procura(musicas, apelido); }

bool BZA_TocaMusica(unsigned int id, int vezes) {
    if (id == 0 || id > BZA_MAX_MUSICAS || !musicas[id - 1].musica) return false;
    if (vezes < kParaSempre) vezes = kParaSempre;
    return Mix_PlayMusic(musicas[id - 1].musica, vezes) == 0;
}

void BZA_PausaMusica() { Mix_PauseMusic(); }

void BZA_ContinuaMusica() { Mix_ResumeMusic(); }

// The mixer takes a signed count, and a negative one would halt at once.
void BZA_FadeMusica(unsigned int tempo) { Mix_FadeOutMusic(int(tempo > INT_MAX ? INT_MAX : tempo)); }
