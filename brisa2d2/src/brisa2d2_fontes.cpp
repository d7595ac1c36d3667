// Brisa2D 2 — bitmap fonts: a 64-slot registry of 16 x 16 glyph sheets
// (each one sprite set), glyph metrics measured once at load, and text drawn
// glyph by glyph through BRZ_DesenhaSprite.
#include "brisa2d2.h"
#include "brisa2d2_plataforma.h"

#include <climits>
#include <cstdio>
#include <cstring>

// ---------------------------------------------------------------------------
// Constants
// ---------------------------------------------------------------------------

// A font image is a 16 x 16 matrix of square glyph cells, one per byte value.
static const int GLIFOS_POR_LINHA = 16;
static const int NUM_GLIFOS = 256;
static const unsigned char CODIGO_ESPACO = ' ';

static const char* const MSG_FONTE_NAO_ABRE = "Não conseguir abrir a fonte do arquivo %s.\n";
static const char* const MSG_FONTE_DIMENSOES =
    "As dimensões da fonte são inválidas. utilize um arquivo de %lldx%lld pixels, com as fontes numa matriz 16x16.\n";
static const char* const MSG_TEXTO_DIMENSOES = "Falhou ao procurar as dimensões do texto %s com a fonte %s.\n";

// ---------------------------------------------------------------------------
// State
// ---------------------------------------------------------------------------

BRZ_Fonte fontes[BRZ_MAX_FONTES];

// ---------------------------------------------------------------------------
// Private helpers
// ---------------------------------------------------------------------------

// The slot of a loaded font, or null for an identifier outside 1..64 or a free slot.
static BRZ_Fonte* FonteCarregada(unsigned int id) {
    if (id == 0 || id > BRZ_MAX_FONTES) return nullptr;
    BRZ_Fonte& f = fontes[id - 1];
    return f.idSpriteSet != 0 ? &f : nullptr;
}

// Blank columns kept after a glyph's ink before the next one; larger cells
// get a wider gap so text keeps its look at any size.
static int EspacamentoGlifo(int tamanho) {
    if (tamanho >= 64) return 3;
    if (tamanho >= 32) return 2;
    return 1;
}

static bool ColunaTransparente(SDL_Surface* imagem, int x, int y0, int altura) {
    for (int y = y0; y < y0 + altura; ++y)
        if (!PontoTransparente(imagem, x, y)) return false;
    return true;
}

// Left bearing and advance of glyph c from its cell of the locked surface.
// The advance runs to the last inked column, not to the first blank one, so a
// glyph split by a blank column (a double quote) is not overdrawn by the next.
static void MedeGlifo(BRZ_Fonte& f, SDL_Surface* imagem, int c) {
    const int t = f.tamanhoFonte;
    const int x0 = t * (c % GLIFOS_POR_LINHA), y0 = t * (c / GLIFOS_POR_LINHA);
    int primeira = -1, ultimaTinta = -1;
    for (int col = 0; col < t; ++col) {
        if (ColunaTransparente(imagem, x0 + col, y0, t)) continue;
        if (primeira < 0) primeira = col;
        ultimaTinta = col;
    }
    if (primeira < 0) {  // empty cell: a blank of the full cell width
        f.larguras[c] = t;
        f.deslocamentos[c] = 0;
        return;
    }
    f.deslocamentos[c] = primeira;
    if (ultimaTinta == t - 1) {  // ink up to the cell's edge: no room for spacing
        f.larguras[c] = t - primeira;
        return;
    }
    int fim = ultimaTinta + 1 + EspacamentoGlifo(t);
    f.larguras[c] = (fim <= t ? fim : t) - primeira;
}

static void MedeFonte(BRZ_Fonte& f, SDL_Surface* imagem) {
    BRZ_TravaSuperficie(imagem);
    for (int c = 0; c < NUM_GLIFOS; ++c) MedeGlifo(f, imagem, c);
    BRZ_DestravaSuperficie(imagem);
    // The space has no ink to measure: half a cell.
    f.larguras[CODIGO_ESPACO] = f.tamanhoFonte / 2;
    f.deslocamentos[CODIGO_ESPACO] = 0;
}

// The loaded image must be exactly 16 cells across and down. Its own size is
// checked, not the surface's: the OpenGL renderer pads the surface to a
// power-of-two square, which would refuse good fonts (12-pixel cells) there.
static bool TamanhoDeFonteValido(const BRZ_SpriteSet& s, int dimensao) {
    long long lado = (long long)GLIFOS_POR_LINHA * dimensao;
    return dimensao > 0 && s.largura == lado && s.altura == lado;
}

static void EsvaziaFonte(BRZ_Fonte& f) {
    f.apelido[0] = '\0';
    f.idSpriteSet = 0;
    f.usuarios = 0;
}

// Where the pen starts for a text of `largura` pixels aligned on x.
static long long InicioDaCaneta(int x, int largura, unsigned int alinhamento) {
    if (alinhamento == 0) return (long long)x - largura / 2;
    if (alinhamento == 1) return (long long)x - largura;
    return x;
}

// ---------------------------------------------------------------------------
// Public functions
// ---------------------------------------------------------------------------

void BRZ_RemoveFonte(unsigned int id) {
    if (id == 0 || id > BRZ_MAX_FONTES) return;
    BRZ_Fonte& f = fontes[id - 1];
    if (f.usuarios > 1 && !c_shutdown) {
        f.usuarios--;
        return;
    }
    if (f.idSpriteSet != 0) {
        BRZ_RemoveSpriteSet(f.idSpriteSet);
        f.idSpriteSet = 0;
        f.apelido[0] = '\0';
    }
    f.usuarios = 0;
}

unsigned int BRZ_ProcuraFonte(const char* apelido) {
    if (!apelido) return 0;
    // Free slots are skipped: their empty name would match an empty argument.
    for (unsigned int i = 0; i < BRZ_MAX_FONTES; ++i)
        if (fontes[i].idSpriteSet != 0 && strcmp(fontes[i].apelido, apelido) == 0) return i + 1;
    return 0;
}

unsigned int BRZ_CarregaFonte(const char* arquivo, int dimensao) {
    unsigned int n = BRZ_ProcuraFonte(arquivo);
    if (n != 0) {
        fontes[n - 1].usuarios++;
        return n;
    }
    BRZ_Fonte* f = nullptr;
    for (BRZ_Fonte& livre : fontes)
        if (livre.idSpriteSet == 0) {
            f = &livre;
            break;
        }
    if (!f) return 0;
    // An empty name would look like a free slot; a name that does not fit
    // cannot be kept. Neither can name a font file.
    if (!arquivo || arquivo[0] == '\0' || strlen(arquivo) >= BRZ_TAM_APELIDO) {
        printf(MSG_FONTE_NAO_ABRE, arquivo ? arquivo : "(nulo)");
        return 0;
    }
    strcpy(f->apelido, arquivo);
    f->tamanhoFonte = dimensao;
    f->idSpriteSet = BRZ_CarregaSpriteSet(arquivo, dimensao, dimensao);
    if (f->idSpriteSet == 0) {
        printf(MSG_FONTE_NAO_ABRE, arquivo);
        EsvaziaFonte(*f);
        return 0;
    }
    BRZ_SpriteSet& s = sprites[f->idSpriteSet - 1];
    if (!TamanhoDeFonteValido(s, dimensao)) {
        long long lado = (long long)GLIFOS_POR_LINHA * dimensao;
        printf(MSG_FONTE_DIMENSOES, lado, lado);
        BRZ_RemoveSpriteSet(f->idSpriteSet);
        EsvaziaFonte(*f);
        return 0;
    }
    MedeFonte(*f, s.imagem);
    f->usuarios = 1;
    return unsigned(f - fontes) + 1;
}

bool BRZ_DimensoesTexto(unsigned int idFonte, const char* texto, int* largura, int* altura) {
    const BRZ_Fonte* f = FonteCarregada(idFonte);
    if (!f || !texto) return false;
    if (altura) *altura = f->tamanhoFonte;
    long long soma = 0;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(texto); *p; ++p) soma += f->larguras[*p];
    // Only a text of many millions of bytes gets here; keep the width representable.
    if (soma > INT_MAX) soma = INT_MAX;
    if (largura) *largura = int(soma);
    return true;
}

bool BRZ_DesenhaTexto(unsigned int identificador, int x, int y, const char* texto, unsigned int alinhamento) {
    if (identificador == 0 || identificador > BRZ_MAX_FONTES || !texto) return false;
    const BRZ_Fonte& f = fontes[identificador - 1];
    int largura = 0;
    if (!BRZ_DimensoesTexto(identificador, texto, &largura, nullptr)) {
        printf(MSG_TEXTO_DIMENSOES, texto, f.apelido);
        return false;
    }
    long long caneta = InicioDaCaneta(x, largura, alinhamento);
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(texto); *p; ++p) {
        long long xGlifo = caneta - f.deslocamentos[*p];
        // A glyph whose position no longer fits an int is far off any screen.
        if (xGlifo < INT_MIN || xGlifo > INT_MAX) break;
        BRZ_DesenhaSprite(f.idSpriteSet, *p, int(xGlifo), y);
        caneta += f.larguras[*p];
    }
    return true;
}
