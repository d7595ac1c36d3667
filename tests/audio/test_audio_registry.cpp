// Registries, volumes and the module's life cycle, on SDL's dummy audio driver.
#include "audiotest.h"
#include "brisaaudio2.h"
#include "testsupport.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace {

const int kQuadrosCurtos = 441;     // 10 ms: enough to decode, not to hear
const int kQuadrosLongos = 44100;   // 1 s: still playing when the test looks

std::string Formata(const char* formato, const std::string& nome) {
    char linha[4096];
    snprintf(linha, sizeof linha, formato, nome.c_str());
    return linha;
}

// Both registries behave alike; each runs the same cases through its own calls.
struct Registro {
    const char* nome;
    unsigned (*carrega)(const char*);
    void (*remove)(unsigned);
    unsigned (*procura)(const char*);
    unsigned tamanho;
    const char* cheio;      // the whole full-registry output
    const char* carregou;   // printf format of the success line
    const char* oQue;       // ending of the name-length message
};

const Registro kRegistros[] = {
    {"Efeitos", BZA_CarregaEfeito, BZA_RemoveEfeito, BZA_ProcuraEfeito, BZA_MAX_EFEITOS,
     "Estourou o limite de efeitos sonoros carregados no sistema. \n", "Carregou o efeito %s.\n",
     "o efeito sonoro não foi carregado"},
    {"Musicas", BZA_CarregaMusica, BZA_RemoveMusica, BZA_ProcuraMusica, BZA_MAX_MUSICAS,
     "Estourou o limite de músicas carregadas no sistema. \n", "Carregou a música %s.\n",
     "a música não foi carregada"},
};

void PrintTo(const Registro& r, std::ostream* os) { *os << r.nome; }

class AudioTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = vdtest::MakeTempDir("audio");
        ASSERT_FALSE(dir_.empty());
    }
    void TearDown() override {
        BZA_Encerra();
        vdtest::RemoveTree(dir_);
    }
    std::string Tom(const std::string& nome, int quadros = kQuadrosCurtos) {
        std::string caminho = dir_ + "/" + nome;
        EXPECT_TRUE(audiotest::WriteToneWav(caminho, quadros));
        return caminho;
    }
    std::string dir_;
};

class Registries : public AudioTest, public ::testing::WithParamInterface<Registro> {
protected:
    void SetUp() override {
        AudioTest::SetUp();
        ASSERT_TRUE(BZA_Inicia());
    }
    unsigned Carrega(const std::string& nome) { return GetParam().carrega(nome.c_str()); }
    unsigned Procura(const std::string& nome) { return GetParam().procura(nome.c_str()); }
};

TEST_P(Registries, SharedNameDecodesOnceAndLastHolderFrees) {
    std::string a = Tom("a.wav");
    vdtest::StdoutCapture saida;
    unsigned id = Carrega(a);
    ASSERT_NE(id, 0u);
    unlink(a.c_str());  // a second read of the file would now fail
    EXPECT_EQ(Carrega(a), id);
    EXPECT_EQ(saida.Take(), Formata(GetParam().carregou, a));
    GetParam().remove(id);
    EXPECT_EQ(Procura(a), id);
    GetParam().remove(id);
    EXPECT_EQ(Procura(a), 0u);
    EXPECT_EQ(Carrega(a), 0u) << "freed, so loading again must read the deleted file";
}

TEST_P(Registries, NewNameTakesLowestFreeSlot) {
    for (unsigned i = 1; i <= 5; ++i) EXPECT_EQ(Carrega(Tom(std::to_string(i) + ".wav")), i);
    GetParam().remove(3);
    EXPECT_EQ(Carrega(Tom("novo.wav")), 3u);
    EXPECT_EQ(Carrega(Tom("outro.wav")), 6u);
}

TEST_P(Registries, FailedLoadLeavesSlotFree) {
    std::string corrompido = dir_ + "/corrompido.wav";
    ASSERT_TRUE(audiotest::WriteCorruptWav(corrompido));
    for (const std::string& ruim : {dir_ + "/ausente.wav", corrompido, std::string()}) {
        vdtest::StdoutCapture saida;
        EXPECT_EQ(Carrega(ruim), 0u) << ruim;
        EXPECT_EQ(saida.Take(), Formata("Erro ao carregar o arquivo %s.\n", ruim));
        EXPECT_EQ(Procura(""), 1u) << "slot 1 must still be free after " << ruim;
    }
    EXPECT_EQ(Carrega(Tom("bom.wav")), 1u);
    EXPECT_EQ(Procura(""), 2u);
}

TEST_P(Registries, FullRegistryRefusesNewNamesButStillShares) {
    for (unsigned i = 1; i <= GetParam().tamanho; ++i) ASSERT_EQ(Carrega(Tom(std::to_string(i) + ".wav")), i);
    EXPECT_EQ(Procura(""), 0u);
    vdtest::StdoutCapture saida;
    EXPECT_EQ(Carrega(Tom("demais.wav")), 0u);
    EXPECT_EQ(saida.Take(), GetParam().cheio);
    EXPECT_EQ(Carrega(dir_ + "/2.wav"), 2u);
}

TEST_P(Registries, NamesOf2048BytesOrMoreAreRefusedWhole) {
    Tom("a.wav");
    // Repeated slashes lengthen the path without changing the file it names.
    auto caminho = [&](size_t tamanho) { return dir_ + std::string(tamanho - dir_.size() - 5, '/') + "a.wav"; };
    vdtest::StdoutCapture saida;
    EXPECT_EQ(Carrega(caminho(BZA_TAM_APELIDO)), 0u);
    EXPECT_EQ(saida.Take(), std::string("O nome de arquivo com 2048 caracteres excede o limite de 2047 caracteres; ") +
                                GetParam().oQue + ".\n");
    EXPECT_EQ(Procura(""), 1u);
    EXPECT_EQ(GetParam().carrega(nullptr), 0u);
    EXPECT_EQ(GetParam().procura(nullptr), 0u);
    unsigned id = Carrega(caminho(BZA_TAM_APELIDO - 1));
    EXPECT_EQ(id, 1u);
    EXPECT_EQ(Procura(caminho(BZA_TAM_APELIDO - 1)), id);
}

TEST_P(Registries, ShutDownFreesEveryPieceWhateverItsHolders) {
    std::string a = Tom("a.wav");
    unsigned id = Carrega(a);
    EXPECT_EQ(Carrega(a), id);
    BZA_Encerra();
    EXPECT_EQ(Procura(a), 0u);
    ASSERT_TRUE(BZA_Inicia());
    vdtest::StdoutCapture saida;
    EXPECT_EQ(Carrega(a), 1u);
    EXPECT_EQ(saida.Take(), Formata(GetParam().carregou, a));
}

INSTANTIATE_TEST_SUITE_P(Audio, Registries, ::testing::ValuesIn(kRegistros),
                         [](const auto& info) { return std::string(info.param.nome); });

struct CasoVolume {
    unsigned musica, efeitos;
    int mixerMusica, mixerEfeitos;
};

TEST_F(AudioTest, VolumesInPercentMapToMixerScale) {
    ASSERT_TRUE(BZA_Inicia());
    EXPECT_EQ(Mix_VolumeMusic(-1), MIX_MAX_VOLUME);
    EXPECT_EQ(Mix_Volume(-1, -1), MIX_MAX_VOLUME);
    const CasoVolume casos[] = {{50, 10, 64, 12}, {250, 10, 128, 12}, {0, 1000, 0, 128}, {1, 99, 1, 126}};
    for (const CasoVolume& c : casos) {
        EXPECT_TRUE(BZA_AjustaVolume(c.musica, c.efeitos));
        EXPECT_EQ(Mix_VolumeMusic(-1), c.mixerMusica) << c.musica;
        EXPECT_EQ(Mix_Volume(-1, -1), c.mixerEfeitos) << c.efeitos;
    }
}

TEST_F(AudioTest, StoppedModuleWarnsOnVolumeAndIgnoresShutDown) {
    vdtest::StdoutCapture saida;
    BZA_Encerra();
    EXPECT_FALSE(BZA_AjustaVolume(50, 50));
    EXPECT_EQ(saida.Take(), "Atenção: tentativa de mudar o volume do áudio sem iniciar o sistema de áudio!\n");
    EXPECT_FALSE(SDL_WasInit(SDL_INIT_AUDIO));
}

TEST_F(AudioTest, SecondStartKeepsLoadedSounds) {
    ASSERT_TRUE(BZA_Inicia());
    std::string a = Tom("a.wav", kQuadrosLongos);
    unsigned id = BZA_CarregaEfeito(a.c_str());
    ASSERT_TRUE(BZA_AjustaVolume(30, 30));
    EXPECT_TRUE(BZA_Inicia());
    EXPECT_EQ(BZA_ProcuraEfeito(a.c_str()), id);
    EXPECT_EQ(Mix_VolumeMusic(-1), 38) << "a second start must not reset the volumes";
    EXPECT_GE(BZA_TocaEfeito(id, 0), 0);
    EXPECT_EQ(Mix_Playing(-1), 1);
}

TEST_F(AudioTest, StartFailsQuietlyWhenSdlAudioIsAlreadyUp) {
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_AUDIO), 0);
    vdtest::StdoutCapture saida;
    EXPECT_FALSE(BZA_Inicia());
    EXPECT_EQ(saida.Take(), "");
    EXPECT_FALSE(BZA_AjustaVolume(50, 50));
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

const char* const kFalhaSubsistema = "Não conseguiu iniciar a Brisa Audio 2 (subseistema SDL). Erro do sistema: ";
const char* const kFalhaFormato = "Não conseguiu iniciar a Brisa Audio 2 (formato de áudio). Erro do sistema: ";

// An audio driver the start cannot use, set in the environment for one case.
struct CasoDriver {
    const char* nome;
    const char* driver;        // SDL_AUDIODRIVER
    const char* arquivoDisco;  // SDL_DISKAUDIOFILE, or null
    bool soNaAbertura;         // every SDL starts its audio and only the mixer's open fails
};
void PrintTo(const CasoDriver& c, std::ostream* os) { *os << c.nome; }

const CasoDriver kDrivers[] = {
    {"DiskToAFolderThatIsNotThere", "disk", "/nonexistent/vd/saida.raw", true},
    // SDL 1.2 starts its audio with any driver name and fails when the mixer
    // opens it; SDL2 tries the driver as its audio starts. Only which of the
    // two reports appears differs.
    {"DriverThatDoesNotExist", "inexistente", nullptr, false},
};

class UnusableDriver : public AudioTest, public ::testing::WithParamInterface<CasoDriver> {
protected:
    void SetUp() override {
        AudioTest::SetUp();
        Guarda("SDL_AUDIODRIVER", GetParam().driver);
        Guarda("SDL_DISKAUDIOFILE", GetParam().arquivoDisco);
    }
    void TearDown() override {
        for (auto& [nome, valor] : anteriores_)
            if (valor.empty())
                unsetenv(nome.c_str());
            else
                setenv(nome.c_str(), valor.c_str(), 1);
        AudioTest::TearDown();
    }
    void Guarda(const char* nome, const char* valor) {
        const char* antes = getenv(nome);
        anteriores_.emplace_back(nome, antes ? antes : "");
        if (valor)
            setenv(nome, valor, 1);
        else
            unsetenv(nome);
    }
    std::vector<std::pair<std::string, std::string>> anteriores_;
};

TEST_P(UnusableDriver, StartFailsWithTheStepAndSdlsReason) {
    vdtest::StdoutCapture saida;
    EXPECT_FALSE(BZA_Inicia());
    const std::string texto = saida.Take(), motivo = std::string(SDL_GetError()) + "\n";
    if (GetParam().soNaAbertura) {
        EXPECT_EQ(texto, kFalhaFormato + motivo);
    } else {
        EXPECT_TRUE(texto == kFalhaFormato + motivo || texto == kFalhaSubsistema + motivo) << texto;
    }
    EXPECT_FALSE(SDL_WasInit(SDL_INIT_AUDIO));
    EXPECT_FALSE(BZA_AjustaVolume(50, 50));
}

INSTANTIATE_TEST_SUITE_P(Audio, UnusableDriver, ::testing::ValuesIn(kDrivers),
                         [](const auto& info) { return std::string(info.param.nome); });

// A WAV file laid out or damaged in one way, and whether it must load. The
// tone has kQuadrosCurtos frames behind the canonical 44-byte header.
struct CasoWav {
    const char* nome;
    bool blocoExtra;    // a LIST chunk between the format and the samples
    long ajuste;        // bytes added (random bytes after the samples) or cut off the end
    long corte;         // keep only this many bytes from the start; 0 keeps all
    bool carrega;
};
void PrintTo(const CasoWav& c, std::ostream* os) { *os << c.nome; }

const long kCabecalhoWav = 44;
const CasoWav kWavs[] = {
    {"Whole", false, 0, 0, true},
    {"AnotherChunkBeforeTheSamples", true, 0, 0, true},
    {"BytesAfterTheSamples", false, 10, 0, true},
    // Cut short: SDL 1.2 refuses these itself, SDL2 would play the whole
    // frames before the cut; the module refuses them on both.
    {"CutInTheSamples", false, -300, 0, false},
    {"CutByOneByte", false, -1, 0, false},
    {"AnotherChunkAndCutInTheSamples", true, -300, 0, false},
    {"CutRightAfterTheHeader", false, 0, kCabecalhoWav, false},
    {"CutInTheHeader", false, 0, 30, false},
};

class WavFile : public AudioTest, public ::testing::WithParamInterface<CasoWav> {};

TEST_P(WavFile, LoadsWholeOrIsRefusedWithItsName) {
    ASSERT_TRUE(BZA_Inicia());
    const CasoWav& c = GetParam();
    std::string caminho = dir_ + "/efeito.wav";
    std::string bytes = audiotest::ToneWav(kQuadrosCurtos);
    if (c.blocoExtra) bytes.insert(kCabecalhoWav - 8, std::string("LIST\x04\0\0\0INFO", 12));
    if (c.ajuste > 0) bytes += std::string(size_t(c.ajuste), '\x5a');
    if (c.ajuste < 0) bytes.resize(bytes.size() - size_t(-c.ajuste));
    if (c.corte > 0) bytes.resize(size_t(c.corte));
    ASSERT_TRUE(audiotest::WriteBytes(caminho, bytes));
    vdtest::StdoutCapture saida;
    unsigned id = BZA_CarregaEfeito(caminho.c_str());
    if (c.carrega) {
        EXPECT_EQ(id, 1u);
        EXPECT_EQ(saida.Take(), Formata("Carregou o efeito %s.\n", caminho));
        EXPECT_GE(BZA_TocaEfeito(id, 0), 0);
    } else {
        EXPECT_EQ(id, 0u);
        EXPECT_EQ(saida.Take(), Formata("Erro ao carregar o arquivo %s.\n", caminho));
        EXPECT_EQ(BZA_ProcuraEfeito(""), 1u) << "the slot stays free";
    }
}

INSTANTIATE_TEST_SUITE_P(Audio, WavFile, ::testing::ValuesIn(kWavs),
                         [](const auto& info) { return std::string(info.param.nome); });

TEST_F(AudioTest, BadIdentifiersPlayAndReleaseNothing) {
    ASSERT_TRUE(BZA_Inicia());
    std::string a = Tom("a.wav", kQuadrosLongos);
    ASSERT_EQ(BZA_CarregaEfeito(a.c_str()), 1u);
    ASSERT_EQ(BZA_CarregaMusica(a.c_str()), 1u);
    for (unsigned id : {0u, 2u, unsigned(BZA_MAX_EFEITOS) + 1, 100000u}) {
        EXPECT_EQ(BZA_TocaEfeito(id, 0), 0) << id;
        EXPECT_EQ(BZA_TocaEfeitoTela(id, 0), 0) << id;
        BZA_RemoveEfeito(id);
    }
    for (unsigned id : {0u, 2u, unsigned(BZA_MAX_MUSICAS) + 1}) {
        EXPECT_FALSE(BZA_TocaMusica(id, 1)) << id;
        BZA_RemoveMusica(id);
    }
    EXPECT_EQ(Mix_Playing(-1), 0);
    EXPECT_FALSE(Mix_PlayingMusic());
    EXPECT_EQ(BZA_ProcuraEfeito(a.c_str()), 1u);
    EXPECT_EQ(BZA_ProcuraMusica(a.c_str()), 1u);
}

TEST_F(AudioTest, EffectFindsNoChannelOnceAllEightAreBusy) {
    ASSERT_TRUE(BZA_Inicia());
    std::string a = Tom("a.wav", kQuadrosLongos);
    unsigned id = BZA_CarregaEfeito(a.c_str());
    const int kCanaisDoMixer = 8;
    for (int i = 0; i < kCanaisDoMixer; ++i) EXPECT_EQ(BZA_TocaEfeito(id, -100 + 25 * i), i);
    EXPECT_EQ(BZA_TocaEfeito(id, 0), -1);
    EXPECT_EQ(BZA_TocaEfeitoTela(id, 0), -1);
    EXPECT_EQ(Mix_Playing(-1), kCanaisDoMixer);
}

}  // namespace
