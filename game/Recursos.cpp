#include "Recursos.h"

#include <cstdio>

#include "brisa2d2.h"
#include "brisaaudio2.h"

namespace {

// Frame sizes the entities are built for.
const int kBlobMovelL = 70, kBlobMovelA = 60;
const int kBlobFixoL = 80, kBlobFixoA = 80;
const int kNanoLado = 160;
const int kCoracaoLado = 100;
const int kIconeL = 105, kIconeA = 65;

unsigned int Figura(const char* arquivo, int l = 0, int a = 0) { return BRZ_CarregaSpriteSet(arquivo, l, a); }

// One row of the language set: the Portuguese and the English file.
struct ParIdioma {
    unsigned int Recursos::*campo;
    const char* portugues;
    const char* ingles;
    int l, a;
};

const ParIdioma kIdioma[] = {
    {&Recursos::sprMenu, "./rsrc/menup.jpg", "./rsrc/menue.jpg", 0, 0},
    {&Recursos::sprTuto, "./rsrc/manual2p.jpg", "./rsrc/manual2e.jpg", 0, 0},
    {&Recursos::sprEl, "./rsrc/manual3p.jpg", "./rsrc/manual3e.jpg", 0, 0},
    {&Recursos::sprCred, "./rsrc/creditosp.jpg", "./rsrc/creditose.jpg", 0, 0},
    {&Recursos::sprMorte, "./rsrc/perdeup.jpg", "./rsrc/perdeue.jpg", 0, 0},
    {&Recursos::sprGanhou, "./rsrc/ganhoup.jpg", "./rsrc/ganhoue.jpg", 0, 0},
    {&Recursos::sprAb4, "./rsrc/abertura4p.jpg", "./rsrc/abertura4e.jpg", 0, 0},
    {&Recursos::sprEspaco, "./rsrc/espaco2p.png", "./rsrc/espaco2e.png", kIconeL, kIconeA},
};

}  // namespace

void CarregaTelaCarregando(Recursos& r) { r.sprLoading = Figura("./rsrc/loading.jpg"); }

void CarregaRecursosComuns(Recursos& r) {
    r.sprIdiomas = Figura("./rsrc/menu_idiomas.jpg");
    r.sprPreto = Figura("./rsrc/preto.png");
    r.spIn = Figura("./rsrc/gordura.png", kBlobMovelL, kBlobMovelA);
    r.spL = Figura("./rsrc/sprite_2.png", kBlobFixoL, kBlobFixoA);
    r.spriteNanoC = Figura("./rsrc/nano_c.png");
    r.morreu = BZA_CarregaEfeito("./rsrc/morreu.ogg");
    char nome[64];
    for (int i = 0; i < kTilesMapa; ++i) {
        snprintf(nome, sizeof nome, "./rsrc/Colision_Mapa_%02d.png", i + 1);
        r.colisao[i] = Figura(nome);
    }
    for (int i = 0; i < kTilesMapa; ++i) {
        snprintf(nome, sizeof nome, "./rsrc/Mapa_%02d.png", i + 1);
        r.cenario[i] = Figura(nome);
    }
    r.parallax[0] = Figura("./rsrc/Fundo_01_oti.jpg");
    r.parallax[1] = Figura("./rsrc/Fundo_02_oti.jpg");
    r.sprNano = Figura("./rsrc/nano.png", kNanoLado, kNanoLado);
    r.musica = BZA_CarregaMusica("./rsrc/bgmusic.ogg");
    r.sprCore = Figura("./rsrc/core.png", kCoracaoLado, kCoracaoLado);
    r.efBeat = BZA_CarregaEfeito("./rsrc/batida.wav");
    r.sprBx = Figura("./rsrc/seta_baixo.png", kIconeL, kIconeA);
    r.sprCm = Figura("./rsrc/seta_cima.png", kIconeL, kIconeA);
    r.sprSB = Figura("./rsrc/sobre_barra.png");
    r.sprB = Figura("./rsrc/barra2.png");
}

void CarregaIdioma(Recursos& r, int idioma) {
    for (const ParIdioma& p : kIdioma) r.*p.campo = Figura(idioma == 0 ? p.portugues : p.ingles, p.l, p.a);
}
