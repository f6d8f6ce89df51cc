// A minimal PNG writer (8-bit RGBA, one IDAT) on top of zlib, for looking at
// rendered crosshairs with ordinary image tools.
#include "tool.h"

#include <zlib.h>

namespace {

const unsigned char kPngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
const unsigned char kColourTypeRgba = 6;
const unsigned char kBitDepth = 8;
const unsigned char kFilterNone = 0;

void PutBigEndian32(std::vector<unsigned char>* out, uint32_t v) {
    out->push_back((unsigned char)(v >> 24));
    out->push_back((unsigned char)(v >> 16));
    out->push_back((unsigned char)(v >> 8));
    out->push_back((unsigned char)v);
}

void PutChunk(std::vector<unsigned char>* out, const char type[4],
              const std::vector<unsigned char>& data) {
    PutBigEndian32(out, (uint32_t)data.size());
    size_t typeAt = out->size();
    out->insert(out->end(), type, type + 4);
    out->insert(out->end(), data.begin(), data.end());
    uLong crc = crc32(0L, Z_NULL, 0);
    crc = crc32(crc, out->data() + typeAt, (uInt)(4 + data.size()));
    PutBigEndian32(out, (uint32_t)crc);
}

// Premultiplied to straight alpha, rounded to the nearest value.
unsigned char Unpremultiply(uint32_t channel, uint32_t alpha) {
    if (alpha == 0) return 0;
    uint32_t v = (channel * 255 + alpha / 2) / alpha;
    return (unsigned char)(v > 255 ? 255 : v);
}

}  // namespace

bool WritePng(const char* path, const uint32_t* pixels, int w, int h) {
    std::vector<unsigned char> raw;
    raw.reserve((size_t)h * ((size_t)w * 4 + 1));
    for (int y = 0; y < h; ++y) {
        raw.push_back(kFilterNone);
        for (int x = 0; x < w; ++x) {
            uint32_t p = pixels[(size_t)y * w + x];
            uint32_t a = p >> 24;
            raw.push_back(Unpremultiply((p >> 16) & 0xFF, a));
            raw.push_back(Unpremultiply((p >> 8) & 0xFF, a));
            raw.push_back(Unpremultiply(p & 0xFF, a));
            raw.push_back((unsigned char)a);
        }
    }
    std::vector<unsigned char> packed(compressBound((uLong)raw.size()));
    uLongf packedSize = (uLongf)packed.size();
    if (compress2(packed.data(), &packedSize, raw.data(), (uLong)raw.size(), Z_BEST_COMPRESSION) !=
        Z_OK) {
        return false;
    }
    packed.resize(packedSize);

    std::vector<unsigned char> header;
    PutBigEndian32(&header, (uint32_t)w);
    PutBigEndian32(&header, (uint32_t)h);
    header.push_back(kBitDepth);
    header.push_back(kColourTypeRgba);
    header.push_back(0);  // deflate
    header.push_back(0);  // adaptive filtering
    header.push_back(0);  // no interlace

    std::vector<unsigned char> file(kPngSignature, kPngSignature + sizeof kPngSignature);
    PutChunk(&file, "IHDR", header);
    PutChunk(&file, "IDAT", packed);
    PutChunk(&file, "IEND", std::vector<unsigned char>());

    FILE* f = fopen(path, "wb");
    if (!f) return false;
    bool ok = fwrite(file.data(), 1, file.size(), f) == file.size();
    ok = (fclose(f) == 0) && ok;
    return ok;
}
