#include "Recursos.h"

#include <cstdio>

#include "brisa2d2.h"
#include "brisaaudio2.h"

namespace {

// Longest path under ./rsrc/ the game builds.
const int kTamanhoCaminho = 64;
// Most pictures one announcement names (the common set has 34).
const int kMaxAnunciados = 64;

// The file's path as the game names it: under ./rsrc/ in the working folder.
struct Caminho {
    explicit Caminho(const char* arquivo) { snprintf(texto, sizeof texto, "%s%s", kPastaRecursos, arquivo); }
    char texto[kTamanhoCaminho];
};

unsigned int Carrega(const char* arquivo, int l = 0, int a = 0) {
    return BRZ_CarregaSpriteSet(Caminho(arquivo).texto, l, a);
}
unsigned int Carrega(const Figura& f) { return Carrega(f.arquivo, f.largura, f.altura); }
unsigned int CarregaEfeito(const char* arquivo) { return BZA_CarregaEfeito(Caminho(arquivo).texto); }

// What one load of the common set reads.
enum TipoCarga { FIGURA, EFEITO, MUSICA };

// Every load of the common set after the loading picture, in load order:
// passo(tipo, field, file, frame width, frame height). One list for the
// loads and for the announcement that lets the engine decode them ahead.
template <class Passo>
void CargasComuns(Recursos& r, Passo passo) {
    auto figura = [&](unsigned int& campo, const Figura& f) { passo(FIGURA, campo, f.arquivo, f.largura, f.altura); };
    figura(r.sprIdiomas, kFiguraIdiomas);
    figura(r.sprPreto, kFiguraPreto);
    figura(r.spIn, kFiguraObstaculoMovel);
    figura(r.spL, kFiguraObstaculoFixo);
    figura(r.spriteNanoC, kFiguraNanoColisao);
    passo(EFEITO, r.morreu, kSomMorreu, 0, 0);
    for (int i = 0; i < kTilesMapa; ++i) passo(FIGURA, r.colisao[i], kArquivoColisao[i], 0, 0);
    for (int i = 0; i < kTilesMapa; ++i) passo(FIGURA, r.cenario[i], kArquivoMapa[i], 0, 0);
    for (int i = 0; i < kFundos; ++i) passo(FIGURA, r.parallax[i], kArquivoFundo[i], 0, 0);
    figura(r.sprNano, kFiguraNano);
    passo(MUSICA, r.musica, kMusica, 0, 0);
    figura(r.sprCore, kFiguraCoracao);
    passo(EFEITO, r.efBeat, kSomBatida, 0, 0);
    figura(r.sprBx, kFiguraSetaBaixo);
    figura(r.sprCm, kFiguraSetaCima);
    figura(r.sprSB, kFiguraSobreBarra);
    figura(r.sprB, kFiguraBarra);
}

// The paths of one announcement to the engine, in load order, held in place:
// the start-up allocates nothing of its own for it, so no allocation of it
// can fail. Past kMaxAnunciados a picture is simply not announced (its load
// decodes it then).
struct Anuncio {
    char caminhos[kMaxAnunciados][kTamanhoCaminho];
    const char* nomes[kMaxAnunciados];
    int quantos = 0;

    void Acrescenta(const char* arquivo) {
        if (quantos == kMaxAnunciados) return;
        snprintf(caminhos[quantos], kTamanhoCaminho, "%s%s", kPastaRecursos, arquivo);
        nomes[quantos] = caminhos[quantos];
        ++quantos;
    }
    // Hands the engine the paths, so that it decodes them ahead.
    void Anuncia() const { BRZ_AntecipaSpriteSets(nomes, quantos); }
};

// One row of the language set: the field it fills and its two files.
struct ParIdioma {
    unsigned int Recursos::*campo;
    const FiguraIdioma& figura;
};

const ParIdioma kIdioma[] = {
    {&Recursos::sprMenu, kFiguraMenu},         {&Recursos::sprTuto, kFiguraTutorial},
    {&Recursos::sprEl, kFiguraElementos},      {&Recursos::sprCred, kFiguraCreditos},
    {&Recursos::sprMorte, kFiguraPerdeu},      {&Recursos::sprGanhou, kFiguraGanhou},
    {&Recursos::sprAb4, kFiguraAbertura},      {&Recursos::sprEspaco, kFiguraEspaco},
};

const char* ArquivoIdioma(const FiguraIdioma& f, int idioma) { return idioma == 0 ? f.portugues : f.ingles; }

}  // namespace

void AntecipaRecursosComuns() {
    Anuncio anuncio;
    anuncio.Acrescenta(kFiguraCarregando.arquivo);
    Recursos r;
    CargasComuns(r, [&](TipoCarga tipo, unsigned int&, const char* arquivo, int, int) {
        if (tipo == FIGURA) anuncio.Acrescenta(arquivo);
    });
    anuncio.Anuncia();
}

void CarregaTelaCarregando(Recursos& r) { r.sprLoading = Carrega(kFiguraCarregando); }

void CarregaRecursosComuns(Recursos& r) {
    CargasComuns(r, [](TipoCarga tipo, unsigned int& campo, const char* arquivo, int l, int a) {
        if (tipo == FIGURA)
            campo = Carrega(arquivo, l, a);
        else if (tipo == EFEITO)
            campo = CarregaEfeito(arquivo);
        else
            campo = BZA_CarregaMusica(Caminho(arquivo).texto);
    });
}

void CarregaIdioma(Recursos& r, int idioma) {
    Anuncio anuncio;
    for (const ParIdioma& p : kIdioma) anuncio.Acrescenta(ArquivoIdioma(p.figura, idioma));
    anuncio.Anuncia();
    for (const ParIdioma& p : kIdioma) {
        const FiguraIdioma& f = p.figura;
        r.*p.campo = Carrega(ArquivoIdioma(f, idioma), f.largura, f.altura);
    }
}
