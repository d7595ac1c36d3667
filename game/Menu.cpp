#include "Menu.h"

#include "Esmaecimento.h"
#include "brisa2d2.h"

namespace {

// Frames of the picture shown before any key is read.
constexpr int kQuadrosApresentacao = 3;
// No menu key seen yet.
constexpr int kSemEscolha = -1;
constexpr int kIdiomaPortugues = 0;

struct TeclaMenu {
    int tecla;
    int escolha;
};

// Each language's keys in priority order: the first pressed one wins.
constexpr TeclaMenu kTeclasPortugues[] = {
    {BRZ_S, MENU_SAIR},       {BRZ_ESC, MENU_SAIR},       {BRZ_J, MENU_JOGAR},
    {BRZ_ENTER, MENU_JOGAR},  {BRZ_ESPACO, MENU_JOGAR},   {BRZ_T, MENU_TUTORIAL},
    {BRZ_C, MENU_CREDITOS},
};
constexpr TeclaMenu kTeclasIngles[] = {
    {BRZ_X, MENU_SAIR},       {BRZ_ESC, MENU_SAIR},       {BRZ_P, MENU_JOGAR},
    {BRZ_ENTER, MENU_JOGAR},  {BRZ_ESPACO, MENU_JOGAR},   {BRZ_T, MENU_TUTORIAL},
    {BRZ_C, MENU_CREDITOS},
};

template <size_t N>
int EscolhaPressionada(const TeclaMenu (&tabela)[N], const BRZ_Botao* teclas) {
    for (const TeclaMenu& t : tabela)
        if (teclas[t.tecla].pressionado) return t.escolha;
    return kSemEscolha;
}

}  // namespace

Menu::Menu(unsigned int _sprMenu, unsigned int _sprPr, int _nQuadrosExibicao, int _nQuadrosES, int _idioma)
    : sprMenu(_sprMenu),
      sprPr(_sprPr),
      nFrames(0),
      nQuadrosExibicao(_nQuadrosExibicao),
      nQuadrosES(_nQuadrosES),
      idioma(_idioma) {}

int Menu::Toca() {
    for (int i = 0; i < kQuadrosApresentacao && !BRZ_SinalRecebido(); ++i) {
        BRZ_LimpaTela();
        BRZ_DesenhaSprite(sprMenu, 0, 0, 0);
        BRZ_Sincroniza(kFpsTelas);
    }
    const int escolha = EsperaEscolha();
    Escurece();
    return escolha;
}

int Menu::EsperaEscolha() {
    // The engine refreshes this array in every sync; its address never changes.
    const BRZ_Botao* teclas = BRZ_PegaTeclas();
    int escolha = kSemEscolha;
    // Nothing is drawn while waiting: the picture of the last frame stays up.
    while (escolha == kSemEscolha) {
        if (BRZ_SinalRecebido()) return MENU_SAIR;
        escolha = idioma == kIdiomaPortugues ? EscolhaPressionada(kTeclasPortugues, teclas)
                                             : EscolhaPressionada(kTeclasIngles, teclas);
        BRZ_Sincroniza(kFpsTelas);
    }
    return escolha;
}

void Menu::Escurece() {
    int x[kCantosSobreposicao];
    int y[kCantosSobreposicao];
    CantosDaTela(x, y);
    Esmaece(nFrames, nQuadrosES, sprMenu, sprPr, x, y, AlfaEscurecendo);
}
