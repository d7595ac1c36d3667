#include "testsupport.h"

#include <png.h>
#include <sys/stat.h>
#include <unistd.h>
#include <fcntl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <GL/gl.h>
#include <SDL.h>

#include "brisa2d2.h"
#include "png_writer.h"

namespace vdtest {

void Picture::fill(int x, int y, int fw, int fh, Rgba c) {
    for (int j = y; j < y + fh; ++j)
        for (int i = x; i < x + fw; ++i) at(i, j) = c;
}

std::string MakeTempDir(const std::string& tag) {
    const char* base = getenv("TMPDIR");
    std::string templ = std::string(base && *base ? base : "/tmp") + "/vd-" + tag + "-XXXXXX";
    std::vector<char> buf(templ.begin(), templ.end());
    buf.push_back('\0');
    if (!mkdtemp(buf.data())) return std::string();
    return std::string(buf.data());
}

void RemoveTree(const std::string& path) {
    std::error_code ec;
    if (!path.empty()) std::filesystem::remove_all(path, ec);
}

std::string OutputDir(const std::string& area) {
    const char* bin = getenv("VD_BINARY_DIR");
    const char* tag = getenv("VD_OUTPUT_TAG");
    std::string dir = std::string(bin && *bin ? bin : ".") + "/test-output/" + area;
    if (tag && *tag) dir += std::string("-") + tag;
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    return dir;
}

bool WritePng(const std::string& path, const Picture& pic, bool withAlpha) {
    const size_t channels = withAlpha ? 4 : 3, rowBytes = size_t(pic.w) * channels;
    std::vector<png_byte> rows(rowBytes * size_t(pic.h));
    size_t k = 0;
    for (const Rgba& p : pic.px) {
        rows[k++] = p.r;
        rows[k++] = p.g;
        rows[k++] = p.b;
        if (withAlpha) rows[k++] = p.a;
    }
    PngLayout layout;
    layout.colourType = withAlpha ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB;
    return WritePngRows(path, pic.w, pic.h, layout, rows.data(), rowBytes, nullptr);
}

void FrameSlots::Install(Clear clear, Draw draw, Effect effect, Sync sync) {
    if (!installed_) {
        clear_ = BRZ_LimpaTela;
        draw_ = BRZ_DesenhaSprite;
        effect_ = BRZ_DesenhaSpriteEfeito;
        sync_ = BRZ_Sincroniza;
    }
    installed_ = true;
    BRZ_LimpaTela = clear;
    BRZ_DesenhaSprite = draw;
    BRZ_DesenhaSpriteEfeito = effect;
    BRZ_Sincroniza = sync;
}

void FrameSlots::Restore() {
    if (!installed_) return;
    BRZ_LimpaTela = clear_;
    BRZ_DesenhaSprite = draw_;
    BRZ_DesenhaSpriteEfeito = effect_;
    BRZ_Sincroniza = sync_;
    installed_ = false;
}

bool ReadPng(const std::string& path, Picture& pic) {
    png_image img;
    memset(&img, 0, sizeof img);
    img.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&img, path.c_str())) return false;
    img.format = PNG_FORMAT_RGBA;
    pic = Picture(int(img.width), int(img.height));
    bool ok = png_image_finish_read(&img, nullptr, pic.px.data(), 0, nullptr) != 0;
    png_image_free(&img);
    return ok;
}

StdoutCapture::StdoutCapture() {
    fflush(stdout);
    char templ[] = "/tmp/vd-stdout-XXXXXX";
    int fd = mkstemp(templ);
    if (fd < 0) return;
    file_ = templ;
    saved_ = dup(1);
    dup2(fd, 1);
    close(fd);
}

StdoutCapture::~StdoutCapture() { Take(); }

std::string StdoutCapture::Take() {
    if (saved_ < 0) return std::string();
    fflush(stdout);
    dup2(saved_, 1);
    close(saved_);
    saved_ = -1;
    std::ifstream in(file_, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    unlink(file_.c_str());
    return ss.str();
}

Picture ReadBackBuffer(int w, int h) {
    Picture pic(w, h);
    std::vector<Rgba> flipped(size_t(w) * h);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, flipped.data());
    for (int y = 0; y < h; ++y)
        memcpy(&pic.at(0, y), &flipped[size_t(h - 1 - y) * w], size_t(w) * sizeof(Rgba));
    return pic;
}

Picture ReadScreenSurface() {
    SDL_Surface* s = SDL_GetVideoSurface();
    if (!s) return Picture();
    Picture pic(s->w, s->h);
    SDL_LockSurface(s);
    for (int y = 0; y < s->h; ++y) {
        for (int x = 0; x < s->w; ++x) {
            Uint8* p = static_cast<Uint8*>(s->pixels) + y * s->pitch + x * s->format->BytesPerPixel;
            Uint32 v = 0;
            memcpy(&v, p, s->format->BytesPerPixel);
            Rgba c;
            SDL_GetRGBA(v, s->format, &c.r, &c.g, &c.b, &c.a);
            pic.at(x, y) = c;
        }
    }
    SDL_UnlockSurface(s);
    return pic;
}

int MaxDifference(const Picture& a, const Picture& b) {
    if (a.w != b.w || a.h != b.h) return 256;
    int worst = 0;
    for (size_t i = 0; i < a.px.size(); ++i) {
        worst = std::max(worst, std::abs(int(a.px[i].r) - int(b.px[i].r)));
        worst = std::max(worst, std::abs(int(a.px[i].g) - int(b.px[i].g)));
        worst = std::max(worst, std::abs(int(a.px[i].b) - int(b.px[i].b)));
    }
    return worst;
}

bool SameWithin(const Picture& got, const Picture& want, int tol, const std::string& area,
                const std::string& name) {
    if (MaxDifference(got, want) <= tol) return true;
    std::string dir = OutputDir(area);
    WritePng(dir + "/" + name + ".png", got);
    WritePng(dir + "/" + name + "-expected.png", want);
    return false;
}

}  // namespace vdtest
