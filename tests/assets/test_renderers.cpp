// Both renderers load every generated picture into the same collision masks:
// the game plays on the OpenGL renderer while the pilot tool and the soak tests
// use the software one, and a wall or a blob must be solid in both.
#include <gtest/gtest.h>

#include <map>

#include "assets_helpers.h"

namespace {

using namespace assets;

struct Picture {
    std::string name;
    int frameW, frameH;
};

std::vector<Picture> AllPictures() {
    std::vector<Picture> out;
    std::map<std::string, std::pair<int, int>> grids;
    for (const Figura& f : {kFiguraNano, kFiguraObstaculoMovel, kFiguraObstaculoFixo, kFiguraCoracao,
                            kFiguraSetaBaixo, kFiguraSetaCima})
        grids[f.arquivo] = {f.largura, f.altura};
    for (const char* name : {kFiguraEspaco.portugues, kFiguraEspaco.ingles})
        grids[name] = {kFiguraEspaco.largura, kFiguraEspaco.altura};
    for (const std::string& name : AllAssetNames()) {
        std::string ext = name.substr(name.rfind('.') + 1);
        if (ext != "png" && ext != "jpg") continue;
        auto it = grids.find(name);
        out.push_back({name, it == grids.end() ? 0 : it->second.first, it == grids.end() ? 0 : it->second.second});
    }
    return out;
}

// Every mask bit of every frame, in frame order.
using Bits = std::vector<bool>;

std::map<std::string, Bits> LoadAll(int renderer) {
    std::map<std::string, Bits> masks;
    if (!BRZ_Inicia(1024, 768, BRZ_JANELA, renderer, "assets")) {
        ADD_FAILURE() << "engine did not start with renderer " << renderer;
        return masks;
    }
    for (const Picture& p : AllPictures()) {
        unsigned id = BRZ_CarregaSpriteSet(Rsrc(p.name).c_str(), p.frameW, p.frameH);
        if (id == 0) {
            ADD_FAILURE() << p.name << " did not load with renderer " << renderer;
            continue;
        }
        Bits& bits = masks[p.name];
        const BRZ_SpriteSet& s = sprites[id - 1];
        for (int f = 0; f < s.matrizX * s.matrizY; ++f) {
            BRZ_BitMask* m = s.bmask[f];
            for (int y = 0; y < m->altura; ++y)
                for (int x = 0; x < m->largura; ++x) bits.push_back(BRZ_GetBit(m, x, y));
        }
        BRZ_RemoveSpriteSet(id);  // one 2048 px picture at a time: each costs 32 MiB under OpenGL
    }
    BRZ_Encerra();
    return masks;
}

TEST(AssetRenderers, OpenGlAndSoftwareRenderersGiveEveryPictureTheSameMasks) {
    std::map<std::string, Bits> gl = LoadAll(BRZ_DESENHO_OPENGL);
    std::map<std::string, Bits> sw = LoadAll(BRZ_DESENHO_PADRAO);
    ASSERT_EQ(gl.size(), AllPictures().size());
    for (const auto& [name, bits] : gl) {
        auto it = sw.find(name);
        ASSERT_NE(it, sw.end()) << name;
        EXPECT_EQ(bits.size(), it->second.size()) << name;
        EXPECT_TRUE(bits == it->second) << name << ": the renderers disagree on which pixels are solid";
    }
    // Collision pictures: the wall is solid and the lumen free in both.
    const Bits& wall = gl[kArquivoColisao[0]];
    size_t solid = std::count(wall.begin(), wall.end(), true);
    EXPECT_GT(solid, wall.size() / 2);
    EXPECT_LT(solid, wall.size());
}

}  // namespace
