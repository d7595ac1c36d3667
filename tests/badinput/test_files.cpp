// Every kind of file the game loads, damaged under its expected name or
// replaced by another format, loaded through the engine as the game loads it
// (with the same frame sizes). A file that cannot be decoded is refused with
// a message that names it and takes no slot. What the decoders can still read
// loads and is usable: the rows of a cut JPEG before the cut (the rest is
// grey; the JPEG decoder reports nothing), the seconds of a cut OGG before
// the cut, and a picture or sound of another known format under the name.
// Built twice: on the software renderer and on the OpenGL renderer.
#include <gtest/gtest.h>

#include <string>

#include "badinput_support.h"
#include "brisa2d2.h"
#include "brisaaudio2.h"
#include "renderer_choice.h"
#include "soak_support.h"
#include "testsupport.h"

namespace badinput {
namespace {

enum class Kind { Picture, Effect, Music };
enum class Outcome { Refused, Loads };
const int kAsIs = -1;  // the source's bytes, not damaged

struct FileCase {
    const char* label;
    Kind kind;
    const char* name;    // the name it is loaded under
    const char* source;  // the generated file whose bytes it holds
    int damage;          // a Damage, or kAsIs
    int frameW, frameH;  // as the game loads `name`
    Outcome outcome;
};
void PrintTo(const FileCase& c, std::ostream* os) { *os << c.label; }

const int D_CUT = int(Damage::Truncated), D_HEAD = int(Damage::HeaderOnly), D_EMPTY = int(Damage::Empty);

const FileCase kCases[] = {
    {"PngSheetTruncated", Kind::Picture, "gordura.png", "gordura.png", D_CUT, 70, 60, Outcome::Refused},
    {"PngSheetHeaderOnly", Kind::Picture, "gordura.png", "gordura.png", D_HEAD, 70, 60, Outcome::Refused},
    {"PngSheetEmpty", Kind::Picture, "gordura.png", "gordura.png", D_EMPTY, 70, 60, Outcome::Refused},
    {"PngCollisionTruncated", Kind::Picture, "Colision_Mapa_01.png", "Colision_Mapa_01.png", D_CUT, 0, 0,
     Outcome::Refused},
    {"JpegTruncated", Kind::Picture, "loading.jpg", "loading.jpg", D_CUT, 0, 0, Outcome::Loads},
    {"JpegHeaderOnly", Kind::Picture, "loading.jpg", "loading.jpg", D_HEAD, 0, 0, Outcome::Refused},
    {"JpegEmpty", Kind::Picture, "loading.jpg", "loading.jpg", D_EMPTY, 0, 0, Outcome::Refused},
    {"WavTruncated", Kind::Effect, "batida.wav", "batida.wav", D_CUT, 0, 0, Outcome::Refused},
    {"WavHeaderOnly", Kind::Effect, "batida.wav", "batida.wav", D_HEAD, 0, 0, Outcome::Refused},
    {"WavEmpty", Kind::Effect, "batida.wav", "batida.wav", D_EMPTY, 0, 0, Outcome::Refused},
    {"OggEffectTruncated", Kind::Effect, "morreu.ogg", "morreu.ogg", D_CUT, 0, 0, Outcome::Loads},
    {"OggEffectHeaderOnly", Kind::Effect, "morreu.ogg", "morreu.ogg", D_HEAD, 0, 0, Outcome::Refused},
    {"OggEffectEmpty", Kind::Effect, "morreu.ogg", "morreu.ogg", D_EMPTY, 0, 0, Outcome::Refused},
    {"OggMusicTruncated", Kind::Music, "bgmusic.ogg", "bgmusic.ogg", D_CUT, 0, 0, Outcome::Loads},
    {"OggMusicHeaderOnly", Kind::Music, "bgmusic.ogg", "bgmusic.ogg", D_HEAD, 0, 0, Outcome::Refused},
    {"OggMusicEmpty", Kind::Music, "bgmusic.ogg", "bgmusic.ogg", D_EMPTY, 0, 0, Outcome::Refused},
    // Another format under the expected name.
    {"WavAsPng", Kind::Picture, "gordura.png", "batida.wav", kAsIs, 70, 60, Outcome::Refused},
    {"OggAsJpeg", Kind::Picture, "loading.jpg", "morreu.ogg", kAsIs, 0, 0, Outcome::Refused},
    {"PngAsJpeg", Kind::Picture, "loading.jpg", "preto.png", kAsIs, 0, 0, Outcome::Loads},
    {"JpegAsPng", Kind::Picture, "preto.png", "loading.jpg", kAsIs, 0, 0, Outcome::Loads},
    {"PngAsWav", Kind::Effect, "batida.wav", "gordura.png", kAsIs, 0, 0, Outcome::Refused},
    {"OggAsWav", Kind::Effect, "batida.wav", "morreu.ogg", kAsIs, 0, 0, Outcome::Loads},
    {"WavAsOggEffect", Kind::Effect, "morreu.ogg", "batida.wav", kAsIs, 0, 0, Outcome::Loads},
    {"PngAsOggEffect", Kind::Effect, "morreu.ogg", "gordura.png", kAsIs, 0, 0, Outcome::Refused},
    // SDL_mixer picks the music decoder by the name, not by the bytes.
    {"WavAsOggMusic", Kind::Music, "bgmusic.ogg", "batida.wav", kAsIs, 0, 0, Outcome::Refused},
    {"PngAsOggMusic", Kind::Music, "bgmusic.ogg", "gordura.png", kAsIs, 0, 0, Outcome::Refused},
};

unsigned int Load(Kind k, const std::string& path, int w, int h) {
    switch (k) {
        case Kind::Picture: return BRZ_CarregaSpriteSet(path.c_str(), w, h);
        case Kind::Effect: return BZA_CarregaEfeito(path.c_str());
        case Kind::Music: return BZA_CarregaMusica(path.c_str());
    }
    return 0;
}

// The message that names a file the load refused.
std::string Refusal(Kind k, const std::string& path) {
    return k == Kind::Picture ? PictureRefusal(path) : SoundRefusal(path) + "\n";
}

// A loaded file is used as the game uses it: drawn, or played.
bool Usable(Kind k, unsigned int id) {
    switch (k) {
        case Kind::Picture: return BRZ_DesenhaSprite(id, 0, 0, 0);
        case Kind::Effect: return BZA_TocaEfeito(id, 0) >= 0;
        case Kind::Music: return BZA_TocaMusica(id, 1);
    }
    return false;
}

class DamagedFile : public EngineTest<::testing::TestWithParam<FileCase>> {};

TEST_P(DamagedFile, IsRefusedWithItsNameOrLoadsWhatCanBeRead) {
    const FileCase& c = GetParam();
    std::string bytes = ReadFile(Rsrc(c.source));
    ASSERT_FALSE(bytes.empty()) << c.source;
    if (c.damage != kAsIs) bytes = Damaged(bytes, Damage(c.damage));
    std::string path = dir_ + "/" + c.name;
    ASSERT_TRUE(WriteFile(path, bytes));

    vdtest::StdoutCapture out;
    unsigned int id = Load(c.kind, path, c.frameW, c.frameH);
    std::string text = out.Take();
    if (c.outcome == Outcome::Refused) {
        EXPECT_EQ(id, 0u);
        EXPECT_NE(text.find(Refusal(c.kind, path)), std::string::npos) << text;
        // The refused file took no slot: the next load gets the first one.
        const char* goodFile = c.kind == Kind::Picture  ? "preto.png"
                               : c.kind == Kind::Effect ? "batida.wav"
                                                        : "morreu.ogg";
        std::string good = dir_ + "/good-" + goodFile;
        ASSERT_TRUE(WriteFile(good, ReadFile(Rsrc(goodFile))));
        EXPECT_EQ(Load(c.kind, good, 0, 0), 1u);
    } else {
        EXPECT_EQ(id, 1u) << text;
        EXPECT_TRUE(Usable(c.kind, id));
    }
}

BADINPUT_INSTANTIATE(DamagedFile, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<FileCase>& i) { return std::string(i.param.label); });

// A picture whose size does not fit the frame size it is loaded with. The
// software renderer needs whole frames both ways; the OpenGL renderer takes
// an image that fits one way and counts the whole frames of the other.
struct SizeCase {
    const char* label;
    int w, h;
    bool softwareLoads, openGLLoads;
    int framesOpenGL;  // frames when the OpenGL renderer takes it
};
void PrintTo(const SizeCase& c, std::ostream* os) { *os << c.label; }

const int kFrameW = 70, kFrameH = 60;  // the moving blobs' sheet

const SizeCase kSizes[] = {
    {"FourWholeFrames", 280, 60, true, true, 4},
    {"WidthOffByOne", 281, 60, false, true, 4},
    {"HeightOffByOne", 280, 61, false, true, 4},
    {"BothOff", 281, 61, false, false, 0},
    {"SmallerThanOneFrame", 60, 50, false, false, 0},
    {"OneColumnNoWholeRow", 70, 50, false, false, 0},
};

class FrameSize : public EngineTest<::testing::TestWithParam<SizeCase>, false> {};

TEST_P(FrameSize, AnImageThatDoesNotFitItsFramesIsRefusedWithItsName) {
    const SizeCase& c = GetParam();
    std::string path = dir_ + "/gordura.png";
    ASSERT_TRUE(vdtest::WritePng(path, vdtest::Picture(c.w, c.h, vdtest::Rgba{200, 100, 50, 255})));
    bool loads = kOpenGL ? c.openGLLoads : c.softwareLoads;
    vdtest::StdoutCapture out;
    unsigned int id = BRZ_CarregaSpriteSet(path.c_str(), kFrameW, kFrameH);
    std::string text = out.Take();
    if (!loads) {
        EXPECT_EQ(id, 0u);
        std::string why = kOpenGL
                              ? "A imagem " + path + " não pode ser usada como fonte de sprites de tamanho 70x60\n."
                              : "Erro ao carregar a imagem " + path +
                                    ". A altura e largura da imagem deve ser múltiplos do tamanho do sprite.\n";
        EXPECT_EQ(text, why);
        EXPECT_EQ(soak::RegistryLeftovers(), "") << "the slot is free again";
        return;
    }
    ASSERT_EQ(id, 1u) << text;
    const BRZ_SpriteSet& s = sprites[0];
    int frames = kOpenGL ? c.framesOpenGL : (c.w / kFrameW) * (c.h / kFrameH);
    EXPECT_EQ(s.matrizX * s.matrizY, frames);
    EXPECT_TRUE(BRZ_DesenhaSprite(id, unsigned(frames - 1), 0, 0));
    EXPECT_TRUE(BRZ_ColidiuSprites(id, unsigned(frames - 1), 0, 0, id, 0, 10, 10)) << "every frame has its mask";
}

BADINPUT_INSTANTIATE(FrameSize, ::testing::ValuesIn(kSizes),
                         [](const ::testing::TestParamInfo<SizeCase>& i) { return std::string(i.param.label); });

}  // namespace
}  // namespace badinput
