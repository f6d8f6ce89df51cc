// Draws the application icon and writes res/ZavikCrosshair.ico: one PNG image
// per size, anti-aliased by supersampling, byte-for-byte the same on every run.
//
//   zavik-icon OUT.ico [--png DIR]   (--png also writes DIR/icon-<size>.png)
#include <zlib.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Rgb {
    uint8_t r, g, b;
};

// The program's own colours: the settings header band, its accent stripe and
// the default crosshair.
const Rgb kDark = {18, 20, 26};
const Rgb kCyan = {0, 255, 255};
const Rgb kWhite = {255, 255, 255};
// A cyan-tinted rim keeps the dark square apart from a dark taskbar.
const float kRimCyanShare = 0.3f;

// One hand-tuned drawing per size, in pixels of that size. 16 px drops the
// ring, and the small sizes keep strokes on whole pixels (2 px arms centred on
// an even size) and a square dot, so that nothing turns to mush.
struct IconDesign {
    int size;
    float inset;        // free border around the rounded square
    float corner;       // corner radius of the square
    float rim;          // width of the tinted rim inside the square's edge, 0 = none
    float ringRadius;   // centre line of the cyan ring, 0 = no ring
    float ringWidth;
    float armWidth;     // white arms
    float armInner;     // distance from the centre where an arm starts
    float armOuter;     // ... and where it ends
    float dotHalf;      // cyan centre dot: radius, or half side when square
    bool squareDot;
};

const IconDesign kDesigns[] = {
    // size inset corner rim  ringR  ringW armW armIn armOut dot  square
    {16, 0.0f, 3.0f, 1.0f, 0.0f, 0.0f, 2.0f, 3.0f, 7.0f, 1.0f, true},
    {24, 0.0f, 4.0f, 1.0f, 7.0f, 2.0f, 2.0f, 3.0f, 10.0f, 1.0f, true},
    {32, 1.0f, 6.0f, 1.0f, 9.5f, 2.0f, 2.0f, 4.0f, 14.0f, 1.5f, false},
    {48, 1.0f, 9.0f, 1.5f, 14.5f, 3.0f, 4.0f, 6.0f, 21.0f, 2.5f, false},
    {64, 2.0f, 12.0f, 2.0f, 19.0f, 4.0f, 4.0f, 8.0f, 28.0f, 3.5f, false},
    {128, 4.0f, 24.0f, 3.0f, 38.0f, 7.0f, 8.0f, 15.0f, 56.0f, 7.0f, false},
    {256, 8.0f, 48.0f, 6.0f, 76.0f, 14.0f, 16.0f, 30.0f, 112.0f, 14.0f, false},
};

const int kSubsamples = 8;  // per axis: 64 samples per pixel

Rgb Mix(Rgb a, Rgb b, float share) {
    auto lerp = [share](uint8_t u, uint8_t v) {
        return static_cast<uint8_t>(std::lround(u + (v - u) * share));
    };
    return Rgb{lerp(a.r, b.r), lerp(a.g, b.g), lerp(a.b, b.b)};
}

// The square [inset, size - inset) with corners of the given radius.
bool InsideRoundedSquare(int size, float inset, float corner, float x, float y) {
    float lo = inset, hi = size - inset;
    if (x < lo || x >= hi || y < lo || y >= hi) return false;
    // Outside the corner zones the clamp leaves the point where it is.
    float cx = std::fmin(std::fmax(x, lo + corner), hi - corner);
    float cy = std::fmin(std::fmax(y, lo + corner), hi - corner);
    float dx = x - cx, dy = y - cy;
    return dx * dx + dy * dy <= corner * corner;
}

// Colour of the design at one sample point; false where the icon is transparent.
bool SampleColour(const IconDesign& d, float x, float y, Rgb* out) {
    if (!InsideRoundedSquare(d.size, d.inset, d.corner, x, y)) return false;
    float c = d.size * 0.5f;
    float dx = x - c, dy = y - c;
    float ax = std::fabs(dx), ay = std::fabs(dy);
    float r = std::sqrt(dx * dx + dy * dy);
    *out = kDark;
    if (!InsideRoundedSquare(d.size, d.inset + d.rim, d.corner - d.rim, x, y))
        *out = Mix(kDark, kCyan, kRimCyanShare);
    if (d.ringRadius > 0 && std::fabs(r - d.ringRadius) <= d.ringWidth * 0.5f) *out = kCyan;
    float half = d.armWidth * 0.5f;
    bool vertical = ax < half && ay >= d.armInner && ay < d.armOuter;
    bool horizontal = ay < half && ax >= d.armInner && ax < d.armOuter;
    if (vertical || horizontal) *out = kWhite;
    bool dot = d.squareDot ? (ax < d.dotHalf && ay < d.dotHalf) : (r <= d.dotHalf);
    if (dot) *out = kCyan;
    return true;
}

// Straight-alpha RGBA, rows top-down: the coverage-weighted average of the
// samples, with colour averaged over the covered samples only.
std::vector<uint8_t> RenderDesign(const IconDesign& d) {
    std::vector<uint8_t> rgba(static_cast<size_t>(d.size) * d.size * 4);
    const int total = kSubsamples * kSubsamples;
    for (int py = 0; py < d.size; ++py) {
        for (int px = 0; px < d.size; ++px) {
            int covered = 0, sr = 0, sg = 0, sb = 0;
            for (int sy = 0; sy < kSubsamples; ++sy) {
                for (int sx = 0; sx < kSubsamples; ++sx) {
                    float x = px + (sx + 0.5f) / kSubsamples;
                    float y = py + (sy + 0.5f) / kSubsamples;
                    Rgb c;
                    if (!SampleColour(d, x, y, &c)) continue;
                    ++covered;
                    sr += c.r;
                    sg += c.g;
                    sb += c.b;
                }
            }
            uint8_t* p = &rgba[(static_cast<size_t>(py) * d.size + px) * 4];
            if (covered == 0) continue;  // stays fully transparent black
            p[0] = static_cast<uint8_t>((sr + covered / 2) / covered);
            p[1] = static_cast<uint8_t>((sg + covered / 2) / covered);
            p[2] = static_cast<uint8_t>((sb + covered / 2) / covered);
            p[3] = static_cast<uint8_t>((covered * 255 + total / 2) / total);
        }
    }
    return rgba;
}

void PutU16LE(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(v & 0xFF);
    out.push_back((v >> 8) & 0xFF);
}

void PutU32LE(std::vector<uint8_t>& out, uint32_t v) {
    PutU16LE(out, v & 0xFFFF);
    PutU16LE(out, v >> 16);
}

void PutU32BE(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back((v >> 24) & 0xFF);
    out.push_back((v >> 16) & 0xFF);
    out.push_back((v >> 8) & 0xFF);
    out.push_back(v & 0xFF);
}

void PutChunk(std::vector<uint8_t>& png, const char type[4], const std::vector<uint8_t>& data) {
    PutU32BE(png, static_cast<uint32_t>(data.size()));
    size_t start = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    uLong crc = crc32(0L, png.data() + start, static_cast<uInt>(png.size() - start));
    PutU32BE(png, static_cast<uint32_t>(crc));
}

int Paeth(int a, int b, int c) {
    int p = a + b - c;
    int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    if (pa <= pb && pa <= pc) return a;
    return pb <= pc ? b : c;
}

// Each row gets the PNG filter whose output has the smallest sum of absolute
// values (the usual heuristic): a fixed rule, so the bytes are reproducible.
std::vector<uint8_t> FilterRows(const std::vector<uint8_t>& rgba, int size) {
    const size_t stride = static_cast<size_t>(size) * 4;
    std::vector<uint8_t> out;
    std::vector<uint8_t> zero(stride, 0), candidate(stride), best(stride);
    for (int y = 0; y < size; ++y) {
        const uint8_t* row = &rgba[y * stride];
        const uint8_t* up = y > 0 ? &rgba[(y - 1) * stride] : zero.data();
        long bestScore = -1;
        int bestFilter = 0;
        for (int f = 0; f <= 4; ++f) {
            long score = 0;
            for (size_t i = 0; i < stride; ++i) {
                int a = i >= 4 ? row[i - 4] : 0;
                int b = up[i];
                int c = i >= 4 ? up[i - 4] : 0;
                int pred = f == 0 ? 0 : f == 1 ? a : f == 2 ? b : f == 3 ? (a + b) / 2 : Paeth(a, b, c);
                uint8_t v = static_cast<uint8_t>(row[i] - pred);
                candidate[i] = v;
                score += v < 128 ? v : 256 - v;
            }
            if (bestScore < 0 || score < bestScore) {
                bestScore = score;
                bestFilter = f;
                best = candidate;
            }
        }
        out.push_back(static_cast<uint8_t>(bestFilter));
        out.insert(out.end(), best.begin(), best.end());
    }
    return out;
}

bool EncodePng(const std::vector<uint8_t>& rgba, int size, std::vector<uint8_t>* png) {
    static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> raw = FilterRows(rgba, size);
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::vector<uint8_t> packed(packedSize);
    if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()),
                  Z_BEST_COMPRESSION) != Z_OK)
        return false;
    packed.resize(packedSize);

    std::vector<uint8_t> header;
    PutU32BE(header, size);
    PutU32BE(header, size);
    header.push_back(8);  // bits per channel
    header.push_back(6);  // colour type: RGBA
    header.push_back(0);  // deflate
    header.push_back(0);  // adaptive filtering
    header.push_back(0);  // no interlace

    png->assign(kSignature, kSignature + 8);
    PutChunk(*png, "IHDR", header);
    PutChunk(*png, "IDAT", packed);
    PutChunk(*png, "IEND", {});
    return true;
}

// ICO container: a 6-byte header, 16 bytes per entry, then the PNG streams.
// A width or height byte of 0 means 256.
std::vector<uint8_t> BuildIco(const std::vector<std::vector<uint8_t>>& pngs) {
    const size_t count = pngs.size();
    std::vector<uint8_t> ico;
    PutU16LE(ico, 0);  // reserved
    PutU16LE(ico, 1);  // type: icon
    PutU16LE(ico, static_cast<uint32_t>(count));
    uint32_t offset = static_cast<uint32_t>(6 + 16 * count);
    for (size_t i = 0; i < count; ++i) {
        int size = kDesigns[i].size;
        uint8_t dim = size >= 256 ? 0 : static_cast<uint8_t>(size);
        ico.push_back(dim);
        ico.push_back(dim);
        ico.push_back(0);  // no palette
        ico.push_back(0);  // reserved
        PutU16LE(ico, 1);   // planes
        PutU16LE(ico, 32);  // bits per pixel
        PutU32LE(ico, static_cast<uint32_t>(pngs[i].size()));
        PutU32LE(ico, offset);
        offset += static_cast<uint32_t>(pngs[i].size());
    }
    for (const auto& png : pngs) ico.insert(ico.end(), png.begin(), png.end());
    return ico;
}

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = std::fclose(f) == 0 && ok;
    return ok;
}

int Usage() {
    std::fprintf(stderr, "usage: zavik-icon OUT.ico [--png DIR]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string icoPath, pngDir;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--png") == 0 && i + 1 < argc) {
            pngDir = argv[++i];
        } else if (argv[i][0] == '-' || !icoPath.empty()) {
            return Usage();
        } else {
            icoPath = argv[i];
        }
    }
    if (icoPath.empty()) return Usage();

    std::vector<std::vector<uint8_t>> pngs;
    for (const IconDesign& d : kDesigns) {
        std::vector<uint8_t> png;
        if (!EncodePng(RenderDesign(d), d.size, &png)) {
            std::fprintf(stderr, "zavik-icon: compressing the %d px image failed\n", d.size);
            return 1;
        }
        if (!pngDir.empty()) {
            std::string path = pngDir + "/icon-" + std::to_string(d.size) + ".png";
            if (!WriteFile(path, png)) {
                std::fprintf(stderr, "zavik-icon: cannot write %s\n", path.c_str());
                return 1;
            }
        }
        pngs.push_back(png);
    }
    if (!WriteFile(icoPath, BuildIco(pngs))) {
        std::fprintf(stderr, "zavik-icon: cannot write %s\n", icoPath.c_str());
        return 1;
    }
    return 0;
}
