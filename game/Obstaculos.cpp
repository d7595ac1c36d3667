#include "Obstaculos.h"

#include "consts.h"

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
