// The level of Vessel Drift in one place: the map's tiles, where the map
// starts, where the nanobot is tested, the drift, the win line, the blob
// layout and the files under ./rsrc/ with the frame grids the game cuts them
// into. The game plays by these values, the asset generator draws to them,
// and the pilot, the benchmarks and the tests read them from here, so a
// change made here reaches all of them and a copy cannot drift apart.
//
// Plain constants only (no SDL, no game types), so that any part of the
// tree can include it. tools/CMakeLists.txt reads the quoted file names of
// this header (every one ending in .png, .jpg, .ogg or .wav) as the
// generator's outputs: name no other such file in quotes here.
#ifndef VD_NIVEL_H
#define VD_NIVEL_H

#include <vector>

// ---------------------------------------------------------------------------
// The map
// ---------------------------------------------------------------------------

constexpr int kTilesMapa = 10;      // map tiles, side by side
constexpr int kLarguraTile = 2048;  // tile i lies at map x kLarguraTile * i
constexpr int kAlturaTile = 2048;   // height of the generated tiles (the game reads it from the file)
constexpr int kLarguraMapa = kLarguraTile * kTilesMapa;
constexpr int kFundos = 2;          // far background pictures

// Where map tile 0's top-left corner is on the screen when a run starts.
constexpr int kInicioMapaX = -250, kInicioMapaY = -650;

// ---------------------------------------------------------------------------
// The nanobot and the run
// ---------------------------------------------------------------------------

// The nanobot never moves on the screen: its frame is centred here, and the
// tile under this x is the one its collision picture is tested against.
constexpr int kNanoCentroX = 512, kNanoCentroY = 384;
// Where the play loop tests the nanobot's collision picture (its top-left
// corner) on the screen: 50 px right of and 51 px below its drawn frame's.
constexpr int kNanoColisaoX = 482, kNanoColisaoY = 355;
// Size of the collision picture the generator draws (the game reads it from the file).
constexpr int kNanoColisaoLargura = 60, kNanoColisaoAltura = 58;

// Every play frame the map drifts this far to the left unless space is held.
constexpr int kEmpuxo = 2;
// The run is won once vecPosicao.x is below this (strictly).
constexpr int kVitoriaX = -19200;

// The same places on the map (from map tile 0's top-left corner): where the
// nanobot's collision picture starts a run, and the map x it has passed when
// the run is won.
constexpr int kNanoInicioMapaX = kNanoColisaoX - kInicioMapaX;  // 732
constexpr int kNanoInicioMapaY = kNanoColisaoY - kInicioMapaY;  // 1005
constexpr int kVitoriaMapaX = kNanoColisaoX - kVitoriaX;        // 19682

// ---------------------------------------------------------------------------
// The blobs of a run
// ---------------------------------------------------------------------------

// One row of the layout: the blob's map place (the top-left corner of its
// frame, from map tile 0's top-left corner) and its vertical speed in pixels
// per second, positive downwards (0 for a fixed blob).
struct LinhaObstaculo {
    bool movel;  // a moving fat blob (else a fixed one)
    int x, y;
    int vy;
};

constexpr int kObstaculos = 44;
// The 27 fixed blobs, then the 17 moving ones, in the order a run builds them.
inline constexpr LinhaObstaculo kLayout[kObstaculos] = {
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

// Every blob shows each animation frame for this many play frames.
constexpr int kTempoQuadroObstaculo = 15;

// ---------------------------------------------------------------------------
// The files under ./rsrc/
// ---------------------------------------------------------------------------

constexpr char kPastaRecursos[] = "./rsrc/";

// A picture the game loads: its file, the frame size it is cut into (0 x 0:
// the whole picture is one frame) and the frames the game uses of it.
struct Figura {
    const char* arquivo;
    int largura, altura;
    int quadros;
};

// A screen picture drawn in the chosen language.
struct FiguraIdioma {
    const char* portugues;
    const char* ingles;
    int largura, altura;
    int quadros;
};

// The common set, in the order the game loads it.
inline constexpr Figura kFiguraCarregando{"loading.jpg", 0, 0, 1};
inline constexpr Figura kFiguraIdiomas{"menu_idiomas.jpg", 0, 0, 1};
inline constexpr Figura kFiguraPreto{"preto.png", 0, 0, 1};
inline constexpr Figura kFiguraObstaculoMovel{"gordura.png", 70, 60, 4};
inline constexpr Figura kFiguraObstaculoFixo{"sprite_2.png", 80, 80, 3};
inline constexpr Figura kFiguraNanoColisao{"nano_c.png", 0, 0, 1};
inline constexpr const char* kSomMorreu = "morreu.ogg";
inline constexpr const char* kArquivoColisao[kTilesMapa] = {
    "Colision_Mapa_01.png", "Colision_Mapa_02.png", "Colision_Mapa_03.png", "Colision_Mapa_04.png",
    "Colision_Mapa_05.png", "Colision_Mapa_06.png", "Colision_Mapa_07.png", "Colision_Mapa_08.png",
    "Colision_Mapa_09.png", "Colision_Mapa_10.png",
};
inline constexpr const char* kArquivoMapa[kTilesMapa] = {
    "Mapa_01.png", "Mapa_02.png", "Mapa_03.png", "Mapa_04.png", "Mapa_05.png",
    "Mapa_06.png", "Mapa_07.png", "Mapa_08.png", "Mapa_09.png", "Mapa_10.png",
};
inline constexpr const char* kArquivoFundo[kFundos] = {"Fundo_01_oti.jpg", "Fundo_02_oti.jpg"};
inline constexpr Figura kFiguraNano{"nano.png", 160, 160, 6};
inline constexpr const char* kMusica = "bgmusic.ogg";
inline constexpr Figura kFiguraCoracao{"core.png", 100, 100, 9};
inline constexpr const char* kSomBatida = "batida.wav";
inline constexpr Figura kFiguraSetaBaixo{"seta_baixo.png", 105, 65, 2};
inline constexpr Figura kFiguraSetaCima{"seta_cima.png", 105, 65, 2};
inline constexpr Figura kFiguraSobreBarra{"sobre_barra.png", 0, 0, 1};
inline constexpr Figura kFiguraBarra{"barra2.png", 0, 0, 1};

// The language set, in the order the language screen loads it.
inline constexpr FiguraIdioma kFiguraMenu{"menup.jpg", "menue.jpg", 0, 0, 1};
inline constexpr FiguraIdioma kFiguraTutorial{"manual2p.jpg", "manual2e.jpg", 0, 0, 1};
inline constexpr FiguraIdioma kFiguraElementos{"manual3p.jpg", "manual3e.jpg", 0, 0, 1};
inline constexpr FiguraIdioma kFiguraCreditos{"creditosp.jpg", "creditose.jpg", 0, 0, 1};
inline constexpr FiguraIdioma kFiguraPerdeu{"perdeup.jpg", "perdeue.jpg", 0, 0, 1};
inline constexpr FiguraIdioma kFiguraGanhou{"ganhoup.jpg", "ganhoue.jpg", 0, 0, 1};
inline constexpr FiguraIdioma kFiguraAbertura{"abertura4p.jpg", "abertura4e.jpg", 0, 0, 1};
inline constexpr FiguraIdioma kFiguraEspaco{"espaco2p.png", "espaco2e.png", 105, 65, 2};
inline constexpr FiguraIdioma kConjuntoIdioma[] = {kFiguraMenu,   kFiguraTutorial, kFiguraElementos,
                                                   kFiguraCreditos, kFiguraPerdeu,  kFiguraGanhou,
                                                   kFiguraAbertura, kFiguraEspaco};

// Every file under ./rsrc/ (53), the common set in load order, then the
// language set, Portuguese before English.
inline std::vector<const char*> TodosArquivos() {
    std::vector<const char*> v = {kFiguraCarregando.arquivo, kFiguraIdiomas.arquivo, kFiguraPreto.arquivo,
                                  kFiguraObstaculoMovel.arquivo, kFiguraObstaculoFixo.arquivo,
                                  kFiguraNanoColisao.arquivo, kSomMorreu};
    v.insert(v.end(), kArquivoColisao, kArquivoColisao + kTilesMapa);
    v.insert(v.end(), kArquivoMapa, kArquivoMapa + kTilesMapa);
    v.insert(v.end(), kArquivoFundo, kArquivoFundo + kFundos);
    for (const char* a : {kFiguraNano.arquivo, kMusica, kFiguraCoracao.arquivo, kSomBatida, kFiguraSetaBaixo.arquivo,
                          kFiguraSetaCima.arquivo, kFiguraSobreBarra.arquivo, kFiguraBarra.arquivo})
        v.push_back(a);
    for (const FiguraIdioma& f : kConjuntoIdioma) {
        v.push_back(f.portugues);
        v.push_back(f.ingles);
    }
    return v;
}

#endif
