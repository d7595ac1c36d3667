#include "encode.h"

#include <jpeglib.h>
#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>

#include "png_writer.h"

namespace {

struct FileCloser {
    void operator()(FILE* f) const {
        if (f) fclose(f);
    }
};
using File = std::unique_ptr<FILE, FileCloser>;

File OpenForWriting(const std::string& path) {
    File f(fopen(path.c_str(), "wb"));
    if (!f) perror(path.c_str());
    return f;
}

bool Finish(File& f, const std::string& path) {
    bool ok = !ferror(f.get());
    if (fclose(f.release()) != 0) ok = false;
    if (!ok) fprintf(stderr, "rsrcgen: error writing %s\n", path.c_str());
    return ok;
}

// The tree's one PNG writer; the generator says why a file could not be made.
bool WritePng(const std::string& path, int w, int h, const PngLayout& layout, const std::vector<png_byte>& rows,
              size_t rowBytes) {
    std::string why;
    if (WritePngRows(path, w, h, layout, rows.data(), rowBytes, &why)) return true;
    fprintf(stderr, "rsrcgen: %s\n", why.c_str());
    return false;
}

}  // namespace

bool WritePngRgba(const std::string& path, const Raster& r, int zlibLevel, bool filterUp) {
    PngLayout layout;
    layout.zlibLevel = zlibLevel;
    layout.filters = filterUp ? PNG_FILTER_UP : PNG_FILTER_NONE;
    return WritePng(path, r.w, r.h, layout, r.px, size_t(r.w) * 4);
}

bool WritePngTwoColour(const std::string& path, int w, int h, const std::vector<uint8_t>& solid,
                       const uint8_t solidRgb[3]) {
    size_t rowBytes = (size_t(w) + 7) / 8;
    std::vector<png_byte> rows(rowBytes * h, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (solid[size_t(y) * w + x]) rows[size_t(y) * rowBytes + x / 8] |= png_byte(0x80 >> (x % 8));
    PngLayout layout;
    layout.bitDepth = 1;
    layout.colourType = PNG_COLOR_TYPE_PALETTE;
    layout.palette = {{255, 0, 255}, {solidRgb[0], solidRgb[1], solidRgb[2]}};
    layout.transparency = {0};
    layout.zlibLevel = 6;
    layout.filters = PNG_FILTER_NONE;
    return WritePng(path, w, h, layout, rows, rowBytes);
}

bool WriteJpeg(const std::string& path, const Raster& r, int quality) {
    File f = OpenForWriting(path);
    if (!f) return false;
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    jpeg_stdio_dest(&c, f.get());
    c.image_width = JDIMENSION(r.w);
    c.image_height = JDIMENSION(r.h);
    c.input_components = 3;
    c.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, quality, TRUE);
    c.optimize_coding = TRUE;
    jpeg_start_compress(&c, TRUE);
    std::vector<JSAMPLE> row(size_t(r.w) * 3);
    while (c.next_scanline < c.image_height) {
        const uint8_t* src = r.at(0, int(c.next_scanline));
        for (int x = 0; x < r.w; ++x) std::memcpy(&row[size_t(x) * 3], src + size_t(x) * 4, 3);
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&c, rows, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    return Finish(f, path);
}

namespace {

void PutLe(std::vector<uint8_t>& out, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(uint8_t(v >> (8 * i)));
}

int16_t ToPcm16(float v) {
    float c = v < -1.f ? -1.f : (v > 1.f ? 1.f : v);
    return int16_t(std::lround(c * 32767.0f));
}

}  // namespace

bool WriteWav(const std::string& path, const std::vector<float>& samples, int channels, int rate) {
    const uint32_t dataBytes = uint32_t(samples.size() * 2);
    std::vector<uint8_t> out;
    out.reserve(44 + dataBytes);
    for (char ch : std::string("RIFF")) out.push_back(uint8_t(ch));
    PutLe(out, 36 + dataBytes, 4);
    for (char ch : std::string("WAVEfmt ")) out.push_back(uint8_t(ch));
    PutLe(out, 16, 4);
    PutLe(out, 1, 2);  // PCM
    PutLe(out, uint32_t(channels), 2);
    PutLe(out, uint32_t(rate), 4);
    PutLe(out, uint32_t(rate * channels * 2), 4);
    PutLe(out, uint32_t(channels * 2), 2);
    PutLe(out, 16, 2);
    for (char ch : std::string("data")) out.push_back(uint8_t(ch));
    PutLe(out, dataBytes, 4);
    for (float s : samples) PutLe(out, uint16_t(ToPcm16(s)), 2);
    File f = OpenForWriting(path);
    if (!f) return false;
    fwrite(out.data(), 1, out.size(), f.get());
    return Finish(f, path);
}

namespace {

bool WritePages(FILE* f, ogg_stream_state& os, bool flush) {
    ogg_page page;
    while (flush ? ogg_stream_flush(&os, &page) : ogg_stream_pageout(&os, &page)) {
        if (fwrite(page.header, 1, size_t(page.header_len), f) != size_t(page.header_len)) return false;
        if (fwrite(page.body, 1, size_t(page.body_len), f) != size_t(page.body_len)) return false;
    }
    return true;
}

// Pulls every finished packet out of the encoder into the stream.
bool DrainEncoder(FILE* f, vorbis_dsp_state& vd, vorbis_block& vb, ogg_stream_state& os) {
    while (vorbis_analysis_blockout(&vd, &vb) == 1) {
        vorbis_analysis(&vb, nullptr);
        vorbis_bitrate_addblock(&vb);
        ogg_packet op;
        while (vorbis_bitrate_flushpacket(&vd, &op)) {
            ogg_stream_packetin(&os, &op);
            if (!WritePages(f, os, false)) return false;
        }
    }
    return true;
}

}  // namespace

bool WriteOgg(const std::string& path, const std::vector<float>& samples, int channels, int rate, float quality,
              int serial) {
    File f = OpenForWriting(path);
    if (!f) return false;
    vorbis_info vi;
    vorbis_info_init(&vi);
    if (vorbis_encode_init_vbr(&vi, channels, rate, quality) != 0) {
        fprintf(stderr, "rsrcgen: vorbis encoder refused %d channels at %d Hz\n", channels, rate);
        vorbis_info_clear(&vi);
        return false;
    }
    vorbis_comment vc;
    vorbis_comment_init(&vc);
    vorbis_dsp_state vd;
    vorbis_block vb;
    vorbis_analysis_init(&vd, &vi);
    vorbis_block_init(&vd, &vb);
    ogg_stream_state os;
    ogg_stream_init(&os, serial);

    ogg_packet header, comment, codebooks;
    vorbis_analysis_headerout(&vd, &vc, &header, &comment, &codebooks);
    ogg_stream_packetin(&os, &header);
    ogg_stream_packetin(&os, &comment);
    ogg_stream_packetin(&os, &codebooks);
    bool ok = WritePages(f.get(), os, true);

    const size_t frames = samples.size() / size_t(channels);
    const size_t chunk = 4096;
    for (size_t start = 0; ok && start < frames; start += chunk) {
        size_t n = std::min(chunk, frames - start);
        float** buf = vorbis_analysis_buffer(&vd, int(n));
        for (size_t i = 0; i < n; ++i)
            for (int c = 0; c < channels; ++c) buf[c][i] = samples[(start + i) * size_t(channels) + size_t(c)];
        vorbis_analysis_wrote(&vd, int(n));
        ok = DrainEncoder(f.get(), vd, vb, os);
    }
    vorbis_analysis_wrote(&vd, 0);
    ok = ok && DrainEncoder(f.get(), vd, vb, os) && WritePages(f.get(), os, true);

    ogg_stream_clear(&os);
    vorbis_block_clear(&vb);
    vorbis_dsp_clear(&vd);
    vorbis_comment_clear(&vc);
    vorbis_info_clear(&vi);
    if (!ok) {
        fprintf(stderr, "rsrcgen: error writing %s\n", path.c_str());
        return false;
    }
    return Finish(f, path);
}
