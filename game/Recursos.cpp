#include "Recursos.h"

#include <cstdio>

#include "brisa2d2.h"
#include "brisaaudio2.h"

namespace {

// Longest path under ./rsrc/ the game builds.
const int kTamanhoCaminho = 64;

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

}  // namespace

void CarregaTelaCarregando(Recursos& r) { r.sprLoading = Carrega(kFiguraCarregando); }

void CarregaRecursosComuns(Recursos& r) {
    r.sprIdiomas = Carrega(kFiguraIdiomas);
    r.sprPreto = Carrega(kFiguraPreto);
    r.spIn = Carrega(kFiguraObstaculoMovel);
    r.spL = Carrega(kFiguraObstaculoFixo);
    r.spriteNanoC = Carrega(kFiguraNanoColisao);
    r.morreu = CarregaEfeito(kSomMorreu);
    for (int i = 0; i < kTilesMapa; ++i) r.colisao[i] = Carrega(kArquivoColisao[i]);
    for (int i = 0; i < kTilesMapa; ++i) r.cenario[i] = Carrega(kArquivoMapa[i]);
    for (int i = 0; i < kFundos; ++i) r.parallax[i] = Carrega(kArquivoFundo[i]);
    r.sprNano = Carrega(kFiguraNano);
    r.musica = BZA_CarregaMusica(Caminho(kMusica).texto);
    r.sprCore = Carrega(kFiguraCoracao);
    r.efBeat = CarregaEfeito(kSomBatida);
    r.sprBx = Carrega(kFiguraSetaBaixo);
    r.sprCm = Carrega(kFiguraSetaCima);
    r.sprSB = Carrega(kFiguraSobreBarra);
    r.sprB = Carrega(kFiguraBarra);
}

void CarregaIdioma(Recursos& r, int idioma) {
    for (const ParIdioma& p : kIdioma) {
        const FiguraIdioma& f = p.figura;
        r.*p.campo = Carrega(idioma == 0 ? f.portugues : f.ingles, f.largura, f.altura);
    }
}
