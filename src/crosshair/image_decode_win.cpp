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
// GUID_ContainerFormatGif
const GUID kGifContainer = {
    0x1f8a5601, 0x7d4d, 0x4cbd, {0x9c, 0x82, 0x1b, 0xc8, 0xd4, 0xee, 0xb9, 0xa5}};
// GUID_ContainerFormatPng
const GUID kPngContainer = {
    0x1b7cfaf4, 0x713f, 0x473c, {0xbb, 0xcd, 0x61, 0x37, 0x42, 0x5f, 0xae, 0xaf}};
// GUID_ContainerFormatBmp
const GUID kBmpContainer = {
    0x0af1d87e, 0xfcfe, 0x4188, {0xbd, 0xeb, 0xa7, 0x90, 0x64, 0x71, 0xcb, 0xe3}};
// The four formats a crosshair may be. Whatever else a codec installed on the
// PC claims (JPEG, TIFF, a third party's) never gets to read a frame here.
const GUID* const kAcceptedContainers[] = {&kPngContainer, &kBmpContainer, &kGifContainer,
                                           &kIconContainer};

// A GIF's frame stands at an offset on its logical screen, whose size is the picture's.
const wchar_t kGifScreenWidth[] = L"/logscrdesc/Width";
const wchar_t kGifScreenHeight[] = L"/logscrdesc/Height";
const wchar_t kGifFrameLeft[] = L"/imgdesc/Left";
const wchar_t kGifFrameTop[] = L"/imgdesc/Top";

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

bool Accepted(const GUID& container) {
    for (const GUID* accepted : kAcceptedContainers)
        if (IsEqualGUID(container, *accepted)) return true;
    return false;
}

// An icon holds one picture per size: the largest is shown. Any other format
// shows its first frame (a GIF's first picture).
bool PickFrame(Decoding* d, const GUID& container) {
    UINT count = 0;
    bool icon = IsEqualGUID(container, kIconContainer) &&
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

// Where the frame's pixels go: a transparent canvas and the frame's place on it.
struct Canvas {
    UINT width, height, left, top;
};

// A two-byte number of the GIF's metadata, or fallback when it has none.
UINT MetadataNumber(IWICMetadataQueryReader* reader, const wchar_t* name, UINT fallback) {
    PROPVARIANT value;
    PropVariantInit(&value);
    UINT number = fallback;
    if (reader && SUCCEEDED(reader->GetMetadataByName(name, &value)) && value.vt == VT_UI2)
        number = value.uiVal;
    PropVariantClear(&value);
    return number;
}

// A GIF's first frame may cover part of its logical screen: it is drawn there
// at its offset, so that the picture is centred as its author laid it out. A
// frame reaching past the screen grows the canvas rather than losing pixels.
Canvas CanvasOf(Decoding* d, const GUID& container, UINT w, UINT h) {
    Canvas canvas = {w, h, 0, 0};
    if (!IsEqualGUID(container, kGifContainer)) return canvas;
    IWICMetadataQueryReader* screen = nullptr;
    IWICMetadataQueryReader* frame = nullptr;
    if (FAILED(d->decoder->GetMetadataQueryReader(&screen))) screen = nullptr;
    if (FAILED(d->frame->GetMetadataQueryReader(&frame))) frame = nullptr;
    canvas.left = MetadataNumber(frame, kGifFrameLeft, 0);
    canvas.top = MetadataNumber(frame, kGifFrameTop, 0);
    canvas.width = MetadataNumber(screen, kGifScreenWidth, 0);
    canvas.height = MetadataNumber(screen, kGifScreenHeight, 0);
    if (canvas.width < canvas.left + w) canvas.width = canvas.left + w;
    if (canvas.height < canvas.top + h) canvas.height = canvas.top + h;
    Release(&frame);
    Release(&screen);
    return canvas;
}

ImageDecodeResult DecodeWith(Decoding* d, const unsigned char* bytes, size_t size,
                             CrosshairImage* image) {
    // The memory stream only reads the bytes, which outlive it.
    if (FAILED(d->factory->CreateStream(&d->stream)) ||
        FAILED(d->stream->InitializeFromMemory(const_cast<BYTE*>(bytes), (DWORD)size)) ||
        FAILED(d->factory->CreateDecoderFromStream(d->stream, nullptr,
                                                   WICDecodeMetadataCacheOnDemand, &d->decoder))) {
        return kImageUnreadable;
    }
    GUID container;
    if (FAILED(d->decoder->GetContainerFormat(&container)) || !Accepted(container) ||
        !PickFrame(d, container)) {
        return kImageUnreadable;
    }
    UINT w = 0, h = 0;
    if (FAILED(d->frame->GetSize(&w, &h))) return kImageUnreadable;
    if (!SideFits(w) || !SideFits(h)) return kImageTooBig;
    const Canvas canvas = CanvasOf(d, container, w, h);
    if (!SideFits(canvas.width) || !SideFits(canvas.height)) return kImageTooBig;
    // Documented values for a conversion that needs no palette or dithering.
    if (FAILED(d->factory->CreateFormatConverter(&d->converter)) ||
        FAILED(d->converter->Initialize(d->frame, kPremultipliedBgra, WICBitmapDitherTypeNone,
                                        nullptr, 0.0, WICBitmapPaletteTypeCustom))) {
        return kImageUnreadable;
    }
    // Zeroed pixels are transparent: the canvas around the frame shows nothing.
    const size_t count = (size_t)canvas.width * canvas.height;
    uint32_t* pixels = (uint32_t*)calloc(count, kBytesPerPixel);
    if (!pixels) return kImageUnreadable;
    const size_t first = (size_t)canvas.top * canvas.width + canvas.left;
    const UINT stride = canvas.width * kBytesPerPixel;
    if (FAILED(d->converter->CopyPixels(nullptr, stride, (UINT)((count - first) * kBytesPerPixel),
                                        reinterpret_cast<BYTE*>(pixels + first)))) {
        free(pixels);
        return kImageUnreadable;
    }
    image->pixels = pixels;
    image->width = (int32_t)canvas.width;
    image->height = (int32_t)canvas.height;
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
