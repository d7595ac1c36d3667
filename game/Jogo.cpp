#include "Jogo.h"

#include <cstdio>

#include "Obstaculos.h"
#include "brisaaudio2.h"
#include "consts.h"

namespace {

const Uint8 kFps = BRZ_FPS_PADRAO;
const char kTitulo[] = "Vessel Drift";

// The far background moves at 1/15 of the map's speed.
const float kParallax = 15.0f;

// Screens: hold times above 300 frames wait for the space bar.
const int kEsperaEspaco = 301;
const int kAberturaExibicao = 360;
const int kFadeCurto = 30, kFadeVitoria = 40, kFadeLongo = 60;

// Music at 10 %, effects at full volume; the music repeats for ever.
const unsigned kVolumeMusica = 10, kVolumeEfeitos = 100;
const int kRepeteSempre = -1;

enum { MENU_RESULTADO_JOGAR = 1, MENU_RESULTADO_TUTORIAL = 2, MENU_RESULTADO_CREDITOS = 3 };

const int kBlocoDescer[] = {BRZ_1, BRZ_2, BRZ_3, BRZ_4, BRZ_Q, BRZ_W, BRZ_E, BRZ_R, BRZ_A, BRZ_S, BRZ_D, BRZ_F};
const int kBlocoSubir[] = {BRZ_7, BRZ_8, BRZ_9, BRZ_0, BRZ_U, BRZ_I, BRZ_O, BRZ_P, BRZ_H, BRZ_J, BRZ_K, BRZ_L};

template <size_t N>
bool AlgumAtivo(const BRZ_Botao* teclas, const int (&bloco)[N]) {
    for (int t : bloco)
        if (teclas[t].ativo) return true;
    return false;
}

// Map x of tile i on the screen now.
int TileX(int i) { return int(vecPosicao.x + float(kLarguraTile) * float(i)); }

bool TileExiste(int i) { return i >= 0 && i < kTilesMapa; }

// The two key blocks move the map up or down (both held: no move); returns ry.
float MovimentoVertical(Jogo& j) {
    float ry = 0;
    if (AlgumAtivo(j.teclas, kBlocoDescer)) {
        j.up->Aciona();
        ry -= offsetX;
        vecPosicao.y -= offsetX;
    }
    if (AlgumAtivo(j.teclas, kBlocoSubir)) {
        j.down->Aciona();
        ry += offsetX;
        vecPosicao.y += offsetX;
    }
    return ry;
}

// The forward drift (stopped while space is held) and the beat's push; returns r2.
int EmpurraoHorizontal(Jogo& j, const math::Vector2D& res) {
    int r2 = 0;
    if (j.teclas[BRZ_ESPACO].ativo != 1) {
        r2 = int(float(r2) + (res.x + res.x - float(kEmpuxo)));
        j.menorResistencia->Aciona();
    } else {
        r2 = int(float(r2) + (res.x + res.x));
    }
    return r2;
}

// Where a blob stands on the map (from map tile 0's top-left corner) once it
// has taken this frame's scroll, which it takes only after it is drawn.
math::Vector2D NoMapa(const Inimigo& b, math::Vector2D rolagem) { return b.getPosicao() + rolagem - vecPosicao; }

// Each blob moves and turns back from the wall of the tile that holds its
// corner. The wall is tested where the blob stands on the map, its position
// and this frame's scroll (the map has already taken it): tested without the
// scroll, the test was off by the keys held and the beat, and a turn could
// leave a blob in the wall, turning back into it frame after frame. It is
// tested with its own sprite set (a moving blob tested with the fixed-blob
// mask would miss the wall on its fourth frame and sink in).
void MoveObstaculos(Jogo& j, math::Vector2D rolagem) {
    for (Inimigo* b : j.inimigos) {
        const math::Vector2D antes = NoMapa(*b, rolagem);
        const int nQuadroIn = int(antes.x / float(kLarguraTile));
        b->Atualiza();
        if (!TileExiste(nQuadroIn)) continue;  // past the map: no wall to bounce off
        const math::Vector2D depois = NoMapa(*b, rolagem);
        const math::Vector2D naTile = depois - math::Vector2D(float(kLarguraTile * nQuadroIn), 0);
        if (BateNaParede(*b, naTile, depois.y - antes.y, j.r.colisao[nQuadroIn])) b->Rebate();
    }
}

// Whether the nanobot touches a blob (the first one in the list ends the test).
bool TocouObstaculo(Jogo& j) {
    for (Inimigo* b : j.inimigos) {
        math::Vector2D pos = b->getPosicao();
        if (BRZ_ColidiuSprites(j.r.spriteNanoC, 0, kNanoColisaoX, kNanoColisaoY, b->getSprite(),
                               unsigned(b->getQuadroAtual()), int(pos.x), int(pos.y)))
            return true;
    }
    return false;
}

// A screen built for one showing and released after it.
void MostraUmaVez(unsigned int tela, unsigned int preto, int fade) {
    Transicao t(tela, preto, kEsperaEspaco, fade);
    t.Toca();
}

// Far background, map, blobs (which then take the frame's scroll),
// heart, time bar, icons and the nanobot on top.
void Desenha(Jogo& j, int r2, float ry) {
    for (int a = 0; a < kFundos; ++a)
        BRZ_DesenhaSprite(j.r.parallax[a], 0, int((vecPosicao.x + float(kLarguraTile) * float(a)) / kParallax),
                          int(vecPosicao.y / kParallax));
    for (int i = 0; i < kTilesMapa; ++i) BRZ_DesenhaSprite(j.r.cenario[i], 0, TileX(i), int(vecPosicao.y));
    for (Inimigo* b : j.inimigos) {
        b->Desenha();
        b->somaOffset(math::Vector2D(float(r2), ry));
    }
    j.coracao->Desenha();
    j.barraTempo->Desenha();
    j.up->Desenha();
    j.down->Desenha();
    j.menorResistencia->Desenha();
    j.nano->Desenha();
}

bool TocouParede(Jogo& j, int nQuadro) {
    if (!TileExiste(nQuadro)) return false;  // past the map: no wall there
    return BRZ_ColidiuSprites(j.r.spriteNanoC, 0, kNanoColisaoX, kNanoColisaoY, j.r.colisao[nQuadro], 0,
                              TileX(nQuadro), int(vecPosicao.y));
}

void PerdeuParaObstaculo(Jogo& j) {
    BZA_TocaEfeito(j.r.morreu, 0);
    MostraUmaVez(j.r.sprMorte, j.r.sprPreto, kFadeLongo);
    j.barraTempo->Reset();
    resetpos();
    j.jogo = 0;
}

void PerdeuParaParede(Jogo& j) {
    BZA_TocaEfeito(j.r.morreu, 0);
    j.tMorreu->Toca();
    resetpos();
    Reset(j.inimigos, j.r.spL, j.r.spIn);
    j.jogo = 0;
}

void Ganhou(Jogo& j) {
    MostraUmaVez(j.r.sprGanhou, j.r.sprPreto, kFadeVitoria);
    Reset(j.inimigos, j.r.spL, j.r.spIn);
    j.barraTempo->Reset();
    resetpos();
    j.jogo = 0;
}

void TempoEsgotado(Jogo& j) {
    Reset(j.inimigos, j.r.spL, j.r.spIn);
    j.barraTempo->Reset();
    BZA_TocaEfeito(j.r.morreu, 0);
    resetpos();
    j.jogo = 0;
    j.tMorreu->Toca();
}

// The menu until the player starts a run; false when the player quits or a
// signal asks the program to end.
bool MenuAteJogar(Jogo& j) {
    while (!BRZ_SinalRecebido()) {
        switch (j.menu->Toca()) {
            case MENU_RESULTADO_JOGAR:
                j.transicao4->Toca();
                return !BRZ_SinalRecebido();
            case MENU_RESULTADO_TUTORIAL:
                j.elementos->Toca();
                j.tutorial->Toca();
                break;
            case MENU_RESULTADO_CREDITOS:
                j.creditos->Toca();
                break;
            default:
                return false;
        }
    }
    return false;
}

// SAIDA_NORMAL, or SAIDA_SINAL plus the signal that asked the program to end.
int StatusDeSaida() {
    const int sinal = BRZ_SinalRecebido();
    return sinal ? SAIDA_SINAL + sinal : SAIDA_NORMAL;
}

Jogo* sessao = nullptr;

}  // namespace

const Jogo* SessaoAtual() { return sessao; }

bool IniciaBrisa() {
    if (!BRZ_Inicia(unsigned(largura), unsigned(altura), BRZ_TELA_CHEIA, BRZ_DESENHO_OPENGL, kTitulo)) {
        puts("Falhou ao iniciar a Brisa2D 2. Encerrando o programa.");
        return false;
    }
    puts("Iniciou a Brisa2D 2 com sucesso");
    // The pictures start decoding while the audio starts and the loading
    // screen shows.
    AntecipaRecursosComuns();
    BZA_Inicia();
    return true;
}

void TelaCarregando(Jogo& j) {
    CarregaTelaCarregando(j.r);
    for (int i = 0; i < 2; ++i) {
        BRZ_DesenhaSprite(j.r.sprLoading, 0, 0, 0);
        BRZ_Sincroniza(kFps);
    }
}

bool TelaIdiomas(Jogo& j) {
    int nada_pressionado = 1, fim = 0;
    while (nada_pressionado && !BRZ_SinalRecebido()) {
        BRZ_LimpaTela();
        BRZ_DesenhaSprite(j.r.sprIdiomas, 0, 0, 0);
        if (j.teclas[BRZ_P].pressionado) {
            CarregaIdioma(j.r, 0);
            nada_pressionado = 0;
            idioma = 0;
        } else if (j.teclas[BRZ_E].pressionado) {
            CarregaIdioma(j.r, 1);
            nada_pressionado = 0;
            idioma = 1;
        } else if (j.teclas[BRZ_ESC].pressionado) {
            nada_pressionado = 0;
            fim = 1;
        }
        BRZ_Sincroniza(kFps);
    }
    return fim == 0 && !BRZ_SinalRecebido();
}

void ConstroiObjetos(Jogo& j) {
    const Recursos& r = j.r;
    j.transicao4 = new Transicao(r.sprAb4, r.sprPreto, kAberturaExibicao, kFadeCurto);
    j.menu = new Menu(r.sprMenu, r.sprPreto, 0, kFadeLongo, idioma);
    j.coracao = new Coracao(kFiguraCoracao.quadros, 260, 260, kPassoCoracao, math::Vector2D(kRecuoBatida, kRecuoBatida),
                            math::Vector2D(914, 10), r.sprCore, r.efBeat);
    j.barraTempo = new BarraTempo(20000, math::Vector2D(0, 45), r.sprSB, r.sprB);
    j.up = new Direcional(r.sprBx, math::Vector2D(459, 693));
    j.down = new Direcional(r.sprCm, math::Vector2D(459, 10));
    j.menorResistencia = new MenorResistencia(math::Vector2D(909, 352), r.sprEspaco);
    j.nano = new Nano(math::Vector2D(kNanoCentroX, kNanoCentroY), kFiguraNano.quadros, 10, r.spriteNanoC, r.sprNano);
    j.tMorreu = new Transicao(r.sprMorte, r.sprPreto, kEsperaEspaco, kFadeLongo);
    Reset(j.inimigos, r.spL, r.spIn);
    j.tutorial = new Transicao(r.sprTuto, r.sprPreto, kEsperaEspaco, kFadeCurto);
    j.creditos = new Transicao(r.sprCred, r.sprPreto, kEsperaEspaco, kFadeCurto);
    j.elementos = new Transicao(r.sprEl, r.sprPreto, kEsperaEspaco, kFadeCurto);
}

void LiberaObjetos(Jogo& j) {
    delete j.transicao4;
    delete j.menu;
    delete j.coracao;
    delete j.barraTempo;
    delete j.up;
    delete j.down;
    delete j.menorResistencia;
    delete j.nano;
    delete j.tMorreu;
    delete j.tutorial;
    delete j.creditos;
    delete j.elementos;
    j.transicao4 = j.tMorreu = j.tutorial = j.creditos = j.elementos = nullptr;
    j.menu = nullptr;
    j.coracao = nullptr;
    j.barraTempo = nullptr;
    j.up = j.down = nullptr;
    j.menorResistencia = nullptr;
    j.nano = nullptr;
    LiberaObstaculos(j.inimigos);
}

void IniciaSessao(Jogo& j) {
    ConstroiObjetos(j);
    BZA_AjustaVolume(kVolumeMusica, kVolumeEfeitos);
    BZA_TocaMusica(j.r.musica, kRepeteSempre);
    j.jogo = 1;
}

void IniciaSemTelas(Jogo& j, int lingua) {
    j.teclas = BRZ_PegaTeclas();
    idioma = lingua == 0 ? 0 : 1;
    CarregaTelaCarregando(j.r);
    CarregaRecursosComuns(j.r);
    CarregaIdioma(j.r, idioma);
    IniciaSessao(j);
}

void PreparaPartida(Jogo& j) {
    Reset(j.inimigos, j.r.spL, j.r.spIn);
    j.barraTempo->Reset();
}

void ComecaPartida(Jogo& j) {
    j.emPartida = true;
    j.quadroPartida = 0;
}

// One play frame, in this order:
//  1. the key blocks move the map up or down (MovimentoVertical);
//  2. the screen is cleared; the nanobot, the time bar and the heart update,
//     the heart's beat giving its push;
//  3. the map drifts left, or not while space is held, and is pushed back on
//     a beat (EmpurraoHorizontal); the tile under the nanobot is found;
//  4. every blob moves and turns back from its tile's wall (MoveObstaculos);
//  5. a blob touching the nanobot loses the run at once: nothing is drawn
//     and the frame is not presented;
//  6. everything is drawn, back to front (Desenha);
//  7. the nanobot touching the wall loses the run, after drawing;
//  8. past the win line the run is won; else a spent time bar loses it;
//  9. the frame ends (paced, presented, input read) if the run goes on.
ResultadoQuadro QuadroJogo(Jogo& j) {
    ++j.quadroPartida;
    float ry = MovimentoVertical(j);
    BRZ_LimpaTela();
    j.nano->Atualiza();
    j.barraTempo->Atualiza();
    math::Vector2D res = j.coracao->Atualiza();
    int r2 = EmpurraoHorizontal(j, res);
    vecPosicao.x = vecPosicao.x + float(r2);
    int nQuadro = int((float(g_offset) - vecPosicao.x) / float(kLarguraTile));
    MoveObstaculos(j, math::Vector2D(float(r2), ry));
    if (TocouObstaculo(j)) {
        PerdeuParaObstaculo(j);
        return QUADRO_PERDEU_OBSTACULO;
    }
    Desenha(j, r2, ry);
    if (TocouParede(j, nQuadro)) {
        PerdeuParaParede(j);
        return QUADRO_PERDEU_PAREDE;
    }
    if (vecPosicao.x < float(kVitoriaX)) {
        Ganhou(j);
        return QUADRO_GANHOU;
    }
    if (j.barraTempo->Acabou()) {
        TempoEsgotado(j);
        return QUADRO_TEMPO_ESGOTADO;
    }
    BRZ_Sincroniza(kFps);
    return QUADRO_SEGUE;
}

void LacoJogo(Jogo& j) {
    ComecaPartida(j);
    while (j.teclas[BRZ_ESC].pressionado != 1 && j.teclas[BRZ_ENCERRA].pressionado != 1 && j.jogo &&
           !BRZ_SinalRecebido())
        QuadroJogo(j);
    j.emPartida = false;
}

int CicloPrincipal(Jogo& j) {
    while (j.jogo) {
        PreparaPartida(j);
        if (!MenuAteJogar(j)) break;
        LacoJogo(j);
        if (BRZ_SinalRecebido()) break;
        if (j.jogo == 0) j.jogo = 1;
    }
    BRZ_Encerra();
    BZA_Encerra();
    return StatusDeSaida();
}

int ExecutaJogo() {
    if (!IniciaBrisa()) return SAIDA_FALHA_MOTOR;
    Jogo j;
    sessao = &j;
    j.teclas = BRZ_PegaTeclas();
    TelaCarregando(j);
    CarregaRecursosComuns(j.r);
    if (!TelaIdiomas(j)) {
        BZA_Encerra();
        BRZ_Encerra();
        sessao = nullptr;
        return StatusDeSaida();
    }
    IniciaSessao(j);
    int status = CicloPrincipal(j);
    LiberaObjetos(j);
    sessao = nullptr;
    return status;
}
