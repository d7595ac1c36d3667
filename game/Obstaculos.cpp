#include "Obstaculos.h"

#include <algorithm>

#include "brisa2d2.h"
#include "consts.h"

namespace {

// How far the search for the way out of a wall goes: a blob touching a wall
// is never deeper in it than its own height.
const int kAlcanceSaida = std::max(kFiguraObstaculoMovel.altura, kFiguraObstaculoFixo.altura);

bool Toca(const Inimigo& b, int x, int y, unsigned parede) {
    return BRZ_ColidiuSprites(b.getSprite(), unsigned(b.getQuadroAtual()), x, y, parede, 0, 0, 0);
}

// Rows the blob must move by `sentido` (1 down, -1 up) to stop touching the
// wall; kAlcanceSaida + 1 when it would not within that reach.
int LinhasAteSair(const Inimigo& b, int x, int y, int sentido, unsigned parede) {
    int n = 1;
    while (n <= kAlcanceSaida && Toca(b, x, y + sentido * n, parede)) ++n;
    return n;
}

}  // namespace

void LiberaObstaculos(std::vector<Inimigo*>& v) {
    while (!v.empty()) {
        delete v.front();
        v.erase(v.begin());
    }
}

void Reset(std::vector<Inimigo*>& v, unsigned spL, unsigned spG) {
    LiberaObstaculos(v);
    for (const LinhaObstaculo& l : kLayout) {
        math::Vector2D posicao(vecPosicao.x + float(l.x), vecPosicao.y + float(l.y));
        math::Vector2D velocidade(0, float(l.vy));
        const Figura& f = l.movel ? kFiguraObstaculoMovel : kFiguraObstaculoFixo;
        v.push_back(new Inimigo(l.movel ? spG : spL, posicao, velocidade, f.quadros, kTempoQuadroObstaculo));
    }
}

bool BateNaParede(const Inimigo& b, math::Vector2D naTile, float passo, unsigned parede) {
    const int x = int(naTile.x), y = int(naTile.y);
    if (!Toca(b, x, y, parede) || passo == 0) return false;
    const int adiante = passo > 0 ? 1 : -1;
    return LinhasAteSair(b, x, y, -adiante, parede) < LinhasAteSair(b, x, y, adiante, parede);
}
