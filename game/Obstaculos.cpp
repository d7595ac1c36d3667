#include "Obstaculos.h"

#include "consts.h"

namespace {

const int kQuadrosFixo = 3;
const int kQuadrosMovel = 4;
const int kTempoEntreQuadros = 15;

}  // namespace

const LinhaObstaculo kLayout[kObstaculos] = {
    {false, 1130, 1137, 0},  {false, 1215, 1142, 0},  {false, 2152, 349, 0},   {false, 2230, 367, 0},
    {false, 2315, 399, 0},   {false, 3059, 1325, 0},  {false, 3135, 1359, 0},  {false, 3250, 1376, 0},
    {false, 3760, 1760, 0},  {false, 3825, 1660, 0},  {false, 5012, 960, 0},   {false, 5123, 1000, 0},
    {false, 5639, 1475, 0},  {false, 5711, 1480, 0},  {false, 5802, 1465, 0},  {false, 5895, 1482, 0},
    {false, 5960, 1500, 0},  {false, 6420, 1260, 0},  {false, 6468, 1235, 0},  {false, 8793, 1215, 0},
    {false, 8810, 1280, 0},  {false, 9668, 857, 0},   {false, 9717, 756, 0},   {false, 9794, 706, 0},
    {false, 13232, 763, 0},  {false, 13330, 870, 0},  {false, 13428, 955, 0},
    {true, 3450, 1476, 50},  {true, 4100, 735, 50},   {true, 4300, 600, 50},   {true, 4450, 900, 50},
    {true, 4700, 700, 80},   {true, 5700, 1384, 50},  {true, 9000, 1200, 50},  {true, 10300, 810, 50},
    {true, 10400, 760, 50},  {true, 10500, 710, 50},  {true, 11524, 1696, 50}, {true, 11624, 1696, 80},
    {true, 11724, 1696, 50}, {true, 16212, 857, 40},  {true, 16412, 857, 40},  {true, 16612, 857, 40},
    {true, 16812, 857, 70},
};

void LiberaObstaculos(std::vector<Inimigo*>& v) {
    while (!v.empty()) {
        delete v.front();
        v.erase(v.begin());
    }
}

void Reset(std::vector<Inimigo*>& v, unsigned spL, unsigned spG) {
    LiberaObstaculos(v);
    for (const LinhaObstaculo& l : kLayout) {
        math::Vector2D posicao(vecPosicao.x + l.x, vecPosicao.y + l.y);
        math::Vector2D velocidade(0, l.vy);
        if (l.movel)
            v.push_back(new Inimigo(spG, posicao, velocidade, kQuadrosMovel, kTempoEntreQuadros));
        else
            v.push_back(new Inimigo(spL, posicao, velocidade, kQuadrosFixo, kTempoEntreQuadros));
    }
}
