// Decoding with Windows' own Imaging Component, reached through COM: the
// program imports only DLLs every Windows has loaded anyway, so
// windowscodecs.dll is never linked, only its factory created by class id.
#include "crosshair/image_decode.h"

#include <stdlib.h>
#include <windows.h>
#include <objbase.h>
#include <wincodec.h>

namespace {

// wincodec.h declares these; their definitions live in import libraries the
// program does not link, so the values are given here.
// CLSID_WICImagingFactory1: the factory every version since Windows 7 (and Wine) has.
const GUID kImagingFactoryClass = {
    0xcacaf262, 0x9370, 0x4615, {0xa1, 0x3b, 0x9f, 0x55, 0x39, 0xda, 0x4c, 0x0a}};
// IID_IWICImagingFactory
const GUID kImagingFactoryInterface = {
    0xec5ec8a9, 0xc395, 0x4314, {0x9c, 0x77, 0x54, 0xd7, 0xa9, 0x35, 0xff, 0x70}};
// GUID_WICPixelFormat32bppPBGRA: the overlay's own pixels.
const GUID kPremultipliedBgra = {
    0x6fddc324, 0x4e03, 0x4bfe, {0xb1, 0x85, 0x3d, 0x77, 0x76, 0x8d, 0xc9, 0x10}};
// GUID_ContainerFormatIco
const GUID kIconContainer = {
    0xa3a860c4, 0x338f, 0x4c17, {0x91, 0x9a, 0xfb, 0xa4, 0xb5, 0x62, 0x8f, 0x21}};

const DWORD kApartment = COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE;
const UINT kBytesPerPixel = 4;
const UINT kFirstFrame = 0;

// Everything one decode holds, released together on every path.
struct Decoding {
    IWICImagingFactory* factory;
    IWICStream* stream;
    IWICBitmapDecoder* decoder;
    IWICBitmapFrameDecode* frame;
    IWICFormatConverter* converter;
};

template <typename T>
void Release(T** object) {
    if (*object) (*object)->Release();
    *object = nullptr;
}

void ReleaseAll(Decoding* d) {
    Release(&d->converter);
    Release(&d->frame);
    Release(&d->decoder);
    Release(&d->stream);
    Release(&d->factory);
}

UINT64 AreaOf(IWICBitmapFrameDecode* frame) {
    UINT w = 0, h = 0;
    if (FAILED(frame->GetSize(&w, &h))) return 0;
    return (UINT64)w * h;
}

// An icon holds one picture per size: the largest is shown. Any other format
// shows its first frame (a GIF's first picture).
bool PickFrame(Decoding* d) {
    GUID container;
    UINT count = 0;
    bool icon = SUCCEEDED(d->decoder->GetContainerFormat(&container)) &&
                IsEqualGUID(container, kIconContainer) &&
                SUCCEEDED(d->decoder->GetFrameCount(&count));
    if (!icon) return SUCCEEDED(d->decoder->GetFrame(kFirstFrame, &d->frame));
    UINT64 largest = 0;
    for (UINT i = 0; i < count; ++i) {
        IWICBitmapFrameDecode* candidate = nullptr;
        if (FAILED(d->decoder->GetFrame(i, &candidate))) continue;
        UINT64 area = AreaOf(candidate);
        if (area > largest) {
            largest = area;
            Release(&d->frame);
            d->frame = candidate;
        } else {
            Release(&candidate);
        }
    }
    return d->frame != nullptr;
}

bool SideFits(UINT side) { return side >= 1 && side <= (UINT)kImageMaxSide; }

ImageDecodeResult DecodeWith(Decoding* d, const unsigned char* bytes, size_t size,
                             CrosshairImage* image) {
    // The memory stream only reads the bytes, which outlive it.
    if (FAILED(d->factory->CreateStream(&d->stream)) ||
        FAILED(d->stream->InitializeFromMemory(const_cast<BYTE*>(bytes), (DWORD)size)) ||
        FAILED(d->factory->CreateDecoderFromStream(d->stream, nullptr,
                                                   WICDecodeMetadataCacheOnDemand, &d->decoder)) ||
        !PickFrame(d)) {
        return kImageUnreadable;
    }
    UINT w = 0, h = 0;
    if (FAILED(d->frame->GetSize(&w, &h))) return kImageUnreadable;
    if (!SideFits(w) || !SideFits(h)) return kImageTooBig;
    // Documented values for a conversion that needs no palette or dithering.
    if (FAILED(d->factory->CreateFormatConverter(&d->converter)) ||
        FAILED(d->converter->Initialize(d->frame, kPremultipliedBgra, WICBitmapDitherTypeNone,
                                        nullptr, 0.0, WICBitmapPaletteTypeCustom))) {
        return kImageUnreadable;
    }
    const UINT stride = w * kBytesPerPixel;
    uint32_t* pixels = (uint32_t*)malloc((size_t)stride * h);
    if (!pixels) return kImageUnreadable;
    if (FAILED(d->converter->CopyPixels(nullptr, stride, stride * h,
                                        reinterpret_cast<BYTE*>(pixels)))) {
        free(pixels);
        return kImageUnreadable;
    }
    image->pixels = pixels;
    image->width = (int32_t)w;
    image->height = (int32_t)h;
    return kImageDecoded;
}

}  // namespace

ImageDecodeResult DecodeImage(const unsigned char* bytes, size_t size, CrosshairImage* image) {
    image->pixels = nullptr;
    image->width = image->height = 0;
    if (!bytes || size == 0) return kImageUnreadable;
    if (size > kImageFileMaxBytes) return kImageTooBig;
    Decoding d = {};
    HRESULT created = CoCreateInstance(kImagingFactoryClass, nullptr, CLSCTX_INPROC_SERVER,
                                       kImagingFactoryInterface, reinterpret_cast<void**>(&d.factory));
    // A thread without COM (a test program, say) gets it for this decode only.
    bool ownApartment = false;
    if (created == CO_E_NOTINITIALIZED) {
        ownApartment = SUCCEEDED(CoInitializeEx(nullptr, kApartment));
        if (ownApartment) {
            created = CoCreateInstance(kImagingFactoryClass, nullptr, CLSCTX_INPROC_SERVER,
                                       kImagingFactoryInterface,
                                       reinterpret_cast<void**>(&d.factory));
        }
    }
    ImageDecodeResult result = kImageUnreadable;
    if (SUCCEEDED(created)) result = DecodeWith(&d, bytes, size, image);
    // Every interface goes before the apartment it lives in.
    ReleaseAll(&d);
    if (ownApartment) CoUninitialize();
    return result;
}
