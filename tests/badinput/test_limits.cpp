// Names at and past the 2047 bytes a registry keeps, and registries filled
// to their last slot, for every registry: sprite sets, fonts, sound effects
// and music. A name that fits is kept whole and shared; a longer one is
// refused with a message that gives its length (a font names the file) and
// takes no slot. A full registry refuses new names but still shares the
// names it holds; the audio registries say so, the sprite-set and font ones
// return 0 without a word, as the engine documents for its loads.
// Built twice: on the software renderer and on the OpenGL renderer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "badinput_support.h"
#include "brisa2d2.h"
#include "brisaaudio2.h"
#include "renderer_choice.h"
#include "soak_support.h"
#include "testsupport.h"

namespace badinput {
namespace {

const size_t kLongestName = BRZ_TAM_APELIDO - 1;  // 2047
const int kGlyphSide = 1;                         // a 16x16 picture is a font of 1-pixel cells

enum class Registry { Sprites, Fonts, Effects, Music };

struct RegistryCase {
    const char* label;
    Registry registry;
    const char* tail;  // file name ending
    int slots;
    const char* fullMessage;  // printed when a new name finds no slot; empty for none
    const char* tooLong;      // end of the refusal of a name that does not fit
};
void PrintTo(const RegistryCase& c, std::ostream* os) { *os << c.label; }

const RegistryCase kRegistries[] = {
    {"SpriteSets", Registry::Sprites, ".png", BRZ_MAX_SPRITESETS, "", "; o spriteset não foi carregado.\n"},
    {"Fonts", Registry::Fonts, ".png", BRZ_MAX_FONTES, "", ""},
    {"Effects", Registry::Effects, ".wav", BZA_MAX_EFEITOS,
     "Estourou o limite de efeitos sonoros carregados no sistema. \n", "; o efeito sonoro não foi carregado.\n"},
    {"Music", Registry::Music, ".ogg", BZA_MAX_MUSICAS, "Estourou o limite de músicas carregadas no sistema. \n",
     "; a música não foi carregada.\n"},
};

unsigned int Load(Registry r, const std::string& name) {
    switch (r) {
        case Registry::Sprites: return BRZ_CarregaSpriteSet(name.c_str(), 0, 0);
        case Registry::Fonts: return BRZ_CarregaFonte(name.c_str(), kGlyphSide);
        case Registry::Effects: return BZA_CarregaEfeito(name.c_str());
        case Registry::Music: return BZA_CarregaMusica(name.c_str());
    }
    return 0;
}

unsigned int Find(Registry r, const std::string& name) {
    switch (r) {
        case Registry::Sprites: return BRZ_ProcuraSpriteSet(name.c_str());
        case Registry::Fonts: return BRZ_ProcuraFonte(name.c_str());
        case Registry::Effects: return BZA_ProcuraEfeito(name.c_str());
        case Registry::Music: return BZA_ProcuraMusica(name.c_str());
    }
    return 0;
}

// What a file of this registry holds: a 16x16 picture (also a font), a tiny
// WAV, or the game's shortest OGG.
std::string Contents(Registry r) {
    if (r == Registry::Effects) return TinyWav();
    if (r == Registry::Music) return ReadFile(Rsrc("morreu.ogg"));
    return ReadFile(Rsrc("preto.png"));
}

class Limits : public EngineTest<::testing::TestWithParam<RegistryCase>> {
protected:
    // A file of this registry's kind reached by a name of exactly `length` bytes.
    std::string FileNamed(size_t length) {
        std::string path = PathOfLength(dir_, length, GetParam().tail);
        EXPECT_EQ(path.size(), length);
        EXPECT_TRUE(WriteFile(path, Contents(GetParam().registry)));
        return path;
    }
};

TEST_P(Limits, ANameOf2047BytesIsKeptWholeAndShared) {
    const Registry r = GetParam().registry;
    std::string name = FileNamed(kLongestName);
    unsigned int id = Load(r, name);
    ASSERT_EQ(id, 1u);
    EXPECT_EQ(Find(r, name), 1u) << "found by the whole name";
    EXPECT_EQ(Find(r, name.substr(0, kLongestName - 1)), 0u);
    EXPECT_EQ(Load(r, name), 1u) << "shared";
}

TEST_P(Limits, LongerNamesAreRefusedWithTheirLengthAndTakeNoSlot) {
    const RegistryCase& c = GetParam();
    std::string fits = FileNamed(kLongestName);
    for (size_t length : {kLongestName + 1, size_t(4096), size_t(100000)}) {
        // Where the file system allows it, the long name names a real file.
        std::string name = length <= 4000 ? FileNamed(length) : dir_ + "/" + std::string(length - dir_.size() - 1, 'x');
        ASSERT_EQ(name.size(), length);
        vdtest::StdoutCapture out;
        unsigned int id = Load(c.registry, name);
        std::string text = out.Take();
        EXPECT_EQ(id, 0u) << length;
        std::string expected = c.registry == Registry::Fonts
                                   ? "Não conseguir abrir a fonte do arquivo " + name + ".\n"
                                   : "O nome de arquivo com " + std::to_string(length) +
                                         " caracteres excede o limite de 2047 caracteres" + c.tooLong;
        EXPECT_EQ(text, expected) << length;
        EXPECT_EQ(Find(c.registry, name), 0u);
    }
    EXPECT_EQ(Load(c.registry, fits), 1u) << "the refused names took no slot";
}

TEST_P(Limits, AFullRegistryRefusesNewNamesAndStillSharesKnownOnes) {
    const RegistryCase& c = GetParam();
    std::string file = dir_ + "/a" + c.tail;
    ASSERT_TRUE(WriteFile(file, Contents(c.registry)));
    // One file under many names: extra slashes name the same file.
    auto nameOf = [&](int i) { return dir_ + std::string(size_t(i) + 1, '/') + "a" + c.tail; };
    for (int i = 0; i < c.slots; ++i) ASSERT_EQ(Load(c.registry, nameOf(i)), unsigned(i + 1)) << i;
    vdtest::StdoutCapture out;
    unsigned int refused = Load(c.registry, nameOf(c.slots));
    EXPECT_EQ(out.Take(), c.fullMessage);
    EXPECT_EQ(refused, 0u);
    EXPECT_EQ(Load(c.registry, nameOf(7)), 8u) << "a known name is still shared";
    if (c.registry == Registry::Sprites) {
        // A font needs a sprite set of its own; none is left.
        vdtest::StdoutCapture fontOut;
        unsigned int font = BRZ_CarregaFonte(nameOf(c.slots).c_str(), kGlyphSide);
        EXPECT_EQ(fontOut.Take(), "Não conseguir abrir a fonte do arquivo " + nameOf(c.slots) + ".\n");
        EXPECT_EQ(font, 0u);
    }
}

BADINPUT_INSTANTIATE(Limits, ::testing::ValuesIn(kRegistries),
                         [](const ::testing::TestParamInfo<RegistryCase>& i) { return std::string(i.param.label); });

}  // namespace
}  // namespace badinput
