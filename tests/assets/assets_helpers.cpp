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
    std::vector<std::string> names;
    for (const char* a : TodosArquivos()) names.push_back(a);
    return names;
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
