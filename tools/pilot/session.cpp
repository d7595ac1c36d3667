#include "session.h"

#include <unistd.h>

#include <cstdlib>

#include "brisaaudio2.h"
#include "consts.h"

namespace pilot {

namespace {

const int kPortugues = 0;

// One key of each movement block stands for the whole block.
const int kUpKey = BRZ_K;
const int kDownKey = BRZ_D;

BRZ_Botao* keys = nullptr;

// Frame end without waiting or presenting. Every screen shown from the play
// frame (loss, win) waits for the space bar: pressing it here lets the screen
// run through at once.
void FrameEnd(Uint8) {
    for (int i = 0; i < BRZ_MAXTECLAS; ++i) keys[i].pressionado = keys[i].liberado = false;
    keys[BRZ_ESPACO].pressionado = true;
}
void NoClear() {}
bool NoDraw(unsigned int, unsigned int, int, int) { return true; }
bool NoEffect(unsigned int, unsigned int, int*, int*, Uint8, Uint8, Uint8, Uint8) { return true; }

bool MissingPicture(const Recursos& r, std::string* why) {
    struct Named {
        unsigned int id;
        const char* name;
    };
    std::vector<Named> needed = {{r.spIn, kFiguraObstaculoMovel.arquivo},
                                 {r.spL, kFiguraObstaculoFixo.arquivo},
                                 {r.spriteNanoC, kFiguraNanoColisao.arquivo}};
    for (int i = 0; i < kTilesMapa; ++i) needed.push_back({r.colisao[i], kArquivoColisao[i]});
    for (const Named& n : needed) {
        if (n.id == 0) {
            *why = std::string("could not load ") + n.name + " from ./rsrc/";
            return true;
        }
    }
    return false;
}

}  // namespace

bool HeadlessSession::Start(std::string* error) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (!BRZ_Inicia(unsigned(largura), unsigned(altura), BRZ_JANELA, BRZ_DESENHO_PADRAO, "Vessel Drift pilot")) {
        *error = "the engine did not start";
        return false;
    }
    BZA_Inicia();
    started_ = true;
    resetpos();
    IniciaSemTelas(game_, kPortugues);
    keys = game_.teclas;
    if (MissingPicture(game_.r, error)) return false;
    // The main cycle's run set-up, as before the first menu.
    PreparaPartida(game_);
    ComecaPartida(game_);
    BRZ_Sincroniza = FrameEnd;
    BRZ_LimpaTela = NoClear;
    BRZ_DesenhaSprite = NoDraw;
    BRZ_DesenhaSpriteEfeito = NoEffect;
    return true;
}

void HeadlessSession::Stop() {
    if (!started_) return;
    LiberaObjetos(game_);
    BZA_Encerra();
    BRZ_Encerra();
    started_ = false;
}

ResultadoQuadro HeadlessSession::Play(const Input& input) {
    for (int i = 0; i < BRZ_MAXTECLAS; ++i) keys[i] = BRZ_Botao{false, false, false};
    keys[kUpKey].ativo = input.up;
    keys[kDownKey].ativo = input.down;
    keys[BRZ_ESPACO].ativo = input.space;
    return QuadroJogo(game_);
}

Snapshot HeadlessSession::Save() const {
    const Jogo& j = game_;
    Snapshot s{vecPosicao, *j.coracao, *j.barraTempo, *j.nano, *j.up, *j.down, *j.menorResistencia, {},
               j.quadroPartida};
    s.blobs.reserve(j.inimigos.size());
    for (const Inimigo* b : j.inimigos) s.blobs.push_back(*b);
    return s;
}

void HeadlessSession::Restore(const Snapshot& s) {
    Jogo& j = game_;
    vecPosicao = s.position;
    *j.coracao = s.heart;
    *j.barraTempo = s.timeBar;
    *j.nano = s.nano;
    *j.up = s.up;
    *j.down = s.down;
    *j.menorResistencia = s.leastResistance;
    // A loss or a win lays the blobs out afresh (new objects, same count).
    for (size_t i = 0; i < j.inimigos.size(); ++i) *j.inimigos[i] = s.blobs[i];
    j.quadroPartida = s.frame;
    j.jogo = 1;
}

std::string AbsolutePath(const std::string& path) {
    if (path.empty() || path[0] == '/') return path;
    char cwd[4096];
    if (!getcwd(cwd, sizeof cwd)) return path;
    return std::string(cwd) + "/" + path;
}

}  // namespace pilot
