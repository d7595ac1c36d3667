#include "flow_fixture.h"

#include "Obstaculos.h"
#include "brisa2d2.h"

namespace vdtest {

FlowTest* FlowTest::current_ = nullptr;

namespace {

const Rgba kSolid{200, 60, 60, 255}, kNone{0, 0, 0, 0};

// Frames of one colour each, side by side.
Picture Strip(int fw, int fh, int frames) { return Picture(fw * frames, fh, kSolid); }

}  // namespace

void FlowTest::SetUp() {
    ASSERT_TRUE(BRZ_Inicia(1024, 768, BRZ_JANELA, BRZ_DESENHO_PADRAO, const_cast<char*>("flow")));
    dir = MakeTempDir("flow");
    current_ = this;
    keys = BRZ_PegaTeclas();
    for (int i = 0; i < BRZ_MAXTECLAS; ++i) keys[i] = BRZ_Botao{false, false, false};
    resetpos();
    idioma = 0;

    Recursos& r = j.r;
    r.sprPreto = LoadPicture("preto.png", Picture(16, 16, Rgba{0, 0, 0, 255}));
    r.spIn = LoadPicture("gordura.png", Strip(70, 60, 4), 70, 60);
    r.spL = LoadPicture("sprite_2.png", Strip(80, 80, 3), 80, 80);
    r.spriteNanoC = LoadPicture("nano_c.png", Picture(60, 58, kSolid));
    r.sprNano = LoadPicture("nano.png", Strip(160, 160, 6), 160, 160);
    r.sprCore = LoadPicture("core.png", Strip(100, 100, 9), 100, 100);
    r.sprBx = LoadPicture("seta_baixo.png", Strip(105, 65, 2), 105, 65);
    r.sprCm = LoadPicture("seta_cima.png", Strip(105, 65, 2), 105, 65);
    r.sprEspaco = LoadPicture("espaco.png", Strip(105, 65, 2), 105, 65);
    r.sprSB = LoadPicture("sobre_barra.png", Picture(40, 768, kNone));
    r.sprB = LoadPicture("barra2.png", Picture(40, 768, kSolid));
    unsigned int empty = LoadPicture("vazio.png", Picture(2048, 64, kNone));
    for (int i = 0; i < kTilesMapa; ++i) {
        r.colisao[i] = empty;
        r.cenario[i] = LoadPicture("mapa" + std::to_string(i) + ".png", Picture(8, 8, Rgba{10, 10, Uint8(i), 255}));
    }
    r.parallax[0] = LoadPicture("fundo1.png", Picture(8, 8, Rgba{1, 2, 3, 255}));
    r.parallax[1] = LoadPicture("fundo2.png", Picture(8, 8, Rgba{3, 2, 1, 255}));
    r.sprMenu = LoadPicture("menu.png", Picture(8, 8, Rgba{50, 0, 0, 255}));
    r.sprTuto = LoadPicture("tuto.png", Picture(8, 8, Rgba{51, 0, 0, 255}));
    r.sprEl = LoadPicture("el.png", Picture(8, 8, Rgba{52, 0, 0, 255}));
    r.sprCred = LoadPicture("cred.png", Picture(8, 8, Rgba{53, 0, 0, 255}));
    r.sprMorte = LoadPicture("morte.png", Picture(8, 8, Rgba{54, 0, 0, 255}));
    r.sprGanhou = LoadPicture("ganhou.png", Picture(8, 8, Rgba{55, 0, 0, 255}));
    r.sprAb4 = LoadPicture("ab4.png", Picture(8, 8, Rgba{56, 0, 0, 255}));
    j.teclas = keys;

    slots_.Install(ClearHook, DrawHook, EffectHook, SyncHook);
}

void FlowTest::TearDown() {
    LiberaObjetos(j);
    slots_.Restore();
    BRZ_Encerra();
    current_ = nullptr;
    RemoveTree(dir);
    resetpos();
}

unsigned int FlowTest::LoadPicture(const std::string& name, const Picture& pic, int fw, int fh) {
    std::string path = dir + "/" + name;
    EXPECT_TRUE(WritePng(path, pic));
    unsigned int id = BRZ_CarregaSpriteSet(path.c_str(), fw, fh);
    EXPECT_NE(id, 0u) << name;
    return id;
}

unsigned int FlowTest::WallTile(const std::string& name, int x, int y, int w, int h) {
    Picture p(2048, 2048, kNone);
    p.fill(x, y, w, h, kSolid);
    return LoadPicture(name, p);
}

Inimigo* FlowTest::OnlyBlob(unsigned int spr, math::Vector2D pos, math::Vector2D vel, int frames) {
    LiberaObstaculos(j.inimigos);
    j.inimigos.push_back(new Inimigo(spr, pos, vel, frames, 15));
    return j.inimigos.back();
}

void FlowTest::Hold(int tecla, bool on) { keys[tecla].ativo = on; }

void FlowTest::PressNext(int tecla) { pressNext_.push_back(tecla); }

int FlowTest::Frames() const { return frames_; }

std::vector<Chamada> FlowTest::DrawsOf(unsigned int id) const {
    std::vector<Chamada> out;
    for (const Chamada& c : calls)
        if ((c.tipo == Chamada::DESENHA || c.tipo == Chamada::EFEITO) && c.id == id) out.push_back(c);
    return out;
}

// The engine clears the one-frame flags and reads new events at a frame end;
// so does this stand-in, with the test's script in place of the events.
void FlowTest::SyncHook(Uint8) {
    FlowTest* t = current_;
    t->calls.push_back(Chamada{Chamada::SINCRONIZA});
    for (int i = 0; i < BRZ_MAXTECLAS; ++i) t->keys[i].pressionado = t->keys[i].liberado = false;
    for (int k : t->pressNext_) {
        t->keys[k].pressionado = true;
        t->keys[k].ativo = true;
    }
    t->pressNext_.clear();
    if (t->script) t->script(t->frames_);
    ++t->frames_;
}

void FlowTest::ClearHook() {
    current_->calls.push_back(Chamada{Chamada::LIMPA});
    current_->slots_.clear()();
}

bool FlowTest::DrawHook(unsigned int id, unsigned int indice, int x, int y) {
    Chamada c{Chamada::DESENHA};
    c.id = id;
    c.indice = indice;
    c.x = x;
    c.y = y;
    current_->calls.push_back(c);
    return current_->slots_.draw()(id, indice, x, y);
}

bool FlowTest::EffectHook(unsigned int id, unsigned int indice, int* x, int* y, Uint8 r, Uint8 g, Uint8 b,
                          Uint8 a) {
    Chamada c{Chamada::EFEITO};
    c.id = id;
    c.indice = indice;
    c.alfa = a;
    current_->calls.push_back(c);
    return current_->slots_.effect()(id, indice, x, y, r, g, b, a);
}

}  // namespace vdtest
