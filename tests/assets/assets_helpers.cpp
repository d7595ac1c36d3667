#include "assets_helpers.h"

#include <cstdio>
#include <cstdlib>

namespace assets {

std::string RsrcDir() {
    const char* bin = getenv("VD_BINARY_DIR");
    return std::string(bin && *bin ? bin : ".") + "/rsrc";
}

std::string Rsrc(const std::string& name) { return RsrcDir() + "/" + name; }

std::vector<std::string> AllAssetNames() {
    std::vector<std::string> names = {"loading.jpg", "menu_idiomas.jpg", "preto.png", "gordura.png", "sprite_2.png",
                                      "nano_c.png",  "morreu.ogg",       "Fundo_01_oti.jpg", "Fundo_02_oti.jpg",
                                      "nano.png",    "bgmusic.ogg",      "core.png",  "batida.wav",  "seta_baixo.png",
                                      "seta_cima.png", "sobre_barra.png", "barra2.png"};
    for (int i = 1; i <= kTiles; ++i) {
        char a[40], b[40];
        snprintf(a, sizeof a, "Colision_Mapa_%02d.png", i);
        snprintf(b, sizeof b, "Mapa_%02d.png", i);
        names.push_back(a);
        names.push_back(b);
    }
    for (const char* base : {"menu", "manual2", "manual3", "creditos", "perdeu", "ganhou", "abertura4"})
        for (const char* lang : {"p", "e"}) names.push_back(std::string(base) + lang + ".jpg");
    names.push_back("espaco2p.png");
    names.push_back("espaco2e.png");
    return names;
}

const std::vector<Blob>& Layout() {
    static const std::vector<Blob> layout = {
        {true, 1130, 1137, 0},   {true, 1215, 1142, 0},    {true, 2152, 349, 0},     {true, 2230, 367, 0},
        {true, 2315, 399, 0},    {true, 3059, 1325, 0},    {true, 3135, 1359, 0},    {true, 3250, 1376, 0},
        {true, 3760, 1760, 0},   {true, 3825, 1660, 0},    {true, 5012, 960, 0},     {true, 5123, 1000, 0},
        {true, 5639, 1475, 0},   {true, 5711, 1480, 0},    {true, 5802, 1465, 0},    {true, 5895, 1482, 0},
        {true, 5960, 1500, 0},   {true, 6420, 1260, 0},    {true, 6468, 1235, 0},    {true, 8793, 1215, 0},
        {true, 8810, 1280, 0},   {true, 9668, 857, 0},     {true, 9717, 756, 0},     {true, 9794, 706, 0},
        {true, 13232, 763, 0},   {true, 13330, 870, 0},    {true, 13428, 955, 0},    {false, 3450, 1476, 50},
        {false, 4100, 735, 50},  {false, 4300, 600, 50},   {false, 4450, 900, 50},   {false, 4700, 700, 80},
        {false, 5700, 1384, 50}, {false, 9000, 1200, 50},  {false, 10300, 810, 50},  {false, 10400, 760, 50},
        {false, 10500, 710, 50}, {false, 11524, 1696, 50}, {false, 11624, 1696, 80}, {false, 11724, 1696, 50},
        {false, 16212, 857, 40}, {false, 16412, 857, 40},  {false, 16612, 857, 40},  {false, 16812, 857, 70},
    };
    return layout;
}

ColumnRuns RunsOf(BRZ_BitMask* m) {
    ColumnRuns cols(size_t(m->largura));
    for (int x = 0; x < m->largura; ++x) {
        int start = -1;
        for (int y = 0; y <= m->altura; ++y) {
            bool solid = y < m->altura && BRZ_GetBit(m, x, y);
            if (solid && start < 0) start = y;
            if (!solid && start >= 0) {
                cols[size_t(x)].push_back({start, y - 1});
                start = -1;
            }
        }
    }
    return cols;
}

bool Overlap(BRZ_BitMask* a, int ax, int ay, BRZ_BitMask* b, int bx, int by) {
    int left = std::max(ax, bx), right = std::min(ax + a->largura, bx + b->largura);
    int top = std::max(ay, by), bottom = std::min(ay + a->altura, by + b->altura);
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            if (BRZ_GetBit(a, x - ax, y - ay) && BRZ_GetBit(b, x - bx, y - by)) return true;
    return false;
}

Engine::Engine() : ok_(BRZ_Inicia(1024, 768, BRZ_JANELA, BRZ_DESENHO_PADRAO, "assets")) {}

Engine::~Engine() {
    if (ok_) BRZ_Encerra();
}

unsigned Engine::Load(const std::string& name, int frameW, int frameH) {
    return BRZ_CarregaSpriteSet(Rsrc(name).c_str(), frameW, frameH);
}

}  // namespace assets
