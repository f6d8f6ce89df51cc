// A colour as GDI's COLORREF holds it, 0x00BBGGRR, made without Windows so
// that portable code and its tests name colours the same way.
#pragma once
#include <stdint.h>

constexpr uint32_t Rgb(uint32_t red, uint32_t green, uint32_t blue) {
    return red | (green << 8) | (blue << 16);
}
