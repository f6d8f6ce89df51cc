// An image worn as the crosshair: its decoded pixels, the size it is drawn at
// for a target height, and the render that centres it on a canvas the way the
// drawn crosshair is centred. Portable; decoding lives in image_decode.h.
#pragma once
#include <stddef.h>
#include <stdint.h>

// A screen 1080 lines high: where an image at 100 % shows pixel for pixel,
// and the height the shooters' codes and the name label are measured at.
enum { kNativeScreenHeight = 1080 };

enum {
    kImageMaxSide = 256,        // decoded images are 1..256 pixels on each side
    kImageDrawnMaxSide = 1024,  // no drawn image is larger in either direction
    kImageScaleMin = 10,        // "escala_imagem", percent
    kImageScaleMax = 400,
    kImageScaleDefault = 100,
    kImageNativeHeight = kNativeScreenHeight,  // where 100 % shows the image pixel for pixel
};

// Decoded pixels: width x height, top row first, each A<<24|R<<16|G<<8|B with
// premultiplied alpha. pixels comes from malloc and belongs to the record.
struct CrosshairImage {
    uint32_t* pixels;
    int32_t width, height;
};
// Frees the pixels and empties the record; an empty record is left alone.
void FreeCrosshairImage(CrosshairImage* image);
// True when the record holds pixels of a size the decoder can produce.
bool ImageIsUsable(const CrosshairImage& image);

// How an image of width x height is drawn for a target area referenceHeight
// pixels high at scalePercent (made 10..400 here): s = H / 1080 x P / 100.
// s >= 1: every pixel becomes a block x block square, block = s rounded with
// halves up, or the largest block that keeps both sides within 1024. s < 1:
// area-averaged to round(w x s) x round(h x s), halves up, each at least 1;
// block is then 0.
struct ImageDrawSize {
    int32_t width, height;  // Wd x Hd
    int32_t block;
};
ImageDrawSize MeasureImage(int32_t width, int32_t height, int32_t referenceHeight,
                           int32_t scalePercent);

// Overwrites all w x h pixels of a canvas with the image as MeasureImage draws
// it, every channel then multiplied by opacity / 255 (halves up), placed so
// that its pixel (Wd / 2, Hd / 2) is the canvas pixel (w / 2, h / 2), where
// RenderCrosshair puts the drawn crosshair's centre. What does not fit is cut;
// an unusable image leaves the canvas cleared. Allocates nothing.
void RenderImage(const CrosshairImage& image, int32_t referenceHeight, int32_t scalePercent,
                 uint8_t opacity, uint32_t* pixels, int32_t w, int32_t h);
