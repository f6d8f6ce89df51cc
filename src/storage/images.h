// The folder "imagens" inside the settings folder, where every chosen image is
// kept: the names an image may be stored and referred to under, the
// crash-safe copy of a chosen file into it, and the loading of a stored image.
// The program adds files there and never removes an image, since saved
// crosshairs may still use it; only a half copy a crash left is cleared.
// Portable: every file access goes through profile.h.
#pragma once
#include <stddef.h>

#include "crosshair/crosshair.h"
#include "crosshair/image_decode.h"

extern const wchar_t kImageFolderName[];  // "imagens"

enum {
    kImageNumberLast = 999,  // " (999)" is the last name tried for one file name
};

// Whether a name may stand in "imagem": not empty, shorter than
// kImageNameChars, without a path separator, "..", a character Windows
// refuses in file names (control characters and < > : " / \ | ? *), and not
// ending in a dot or a space (Windows drops those, so the name would open
// another file).
bool IsSafeImageName(const wchar_t* name);

// The name a chosen file is kept under: its own name (after the last \ or /),
// made safe: refused characters become "_", runs of dots one dot, trailing
// dots and spaces go, and a long name loses the end of its stem, so that
// every numbered form below fits. name holds kImageNameChars.
void StoredImageName(const wchar_t* sourcePath, wchar_t* name);

// The number-th name tried for a file called name: the name itself for 1,
// then " (2)", " (3)" ... before the extension (the text from the last dot,
// unless that dot begins the name). out holds kImageNameChars; false when the
// result would not fit.
bool NumberedImageName(const wchar_t* name, int number, wchar_t* out);

// A path as long as Windows allows: 32,767 characters and the terminator.
enum { kLongPathChars = 32768 };
// The form of a chosen file's path that the file functions open whatever its
// length: one of kPathChars characters or more gains the "\\?\" prefix when it
// begins with a drive ("C:\"), and a network path ("\\server\share") becomes
// "\\?\UNC\server\share"; any other path is copied as it is. out holds
// kLongPathChars; false when the result would not fit.
bool LongPathForm(const wchar_t* path, wchar_t* out);

// "<settingsFolder>\imagens" and "<settingsFolder>\imagens\<name>" (kPathChars
// each); false when the path would not fit.
bool ImageFolderPath(const wchar_t* settingsFolder, wchar_t* folder);
bool ImageFilePath(const wchar_t* settingsFolder, const wchar_t* name, wchar_t* path);

// Keeps bytes, the content of the file sourcePath, in the image folder (made
// when missing). The names of NumberedImageName are tried in turn: one that
// holds the same bytes is used as it is; the first free one gets the bytes,
// written beside it as "<name>.tmp" and then renamed, so a crash leaves no
// half image under a name a crosshair could use. A name whose ".tmp" exists
// is passed over while it is a minute old or younger, and removed once older;
// no file there is ever replaced. storedName (kImageNameChars)
// receives the name; false when nothing could be stored.
bool StoreImageBytes(const unsigned char* bytes, size_t size, const wchar_t* sourcePath,
                     const wchar_t* settingsFolder, wchar_t* storedName);

enum ImageChoice {
    kImageChosen,            // decoded and kept: *image and storedName are filled
    kImageChoiceTooBig,      // over 4 MiB, or a side beyond 256 pixels
    kImageChoiceUnreadable,  // missing, unreadable, not an image or damaged
    kImageChoiceNotStored,   // an image, but the folder would not take the copy
};
// A file the player chose: read, decoded and kept in the image folder. Only
// kImageChosen fills *image (freed by the caller) and storedName.
ImageChoice ChooseImageFile(const wchar_t* sourcePath, const wchar_t* settingsFolder,
                            wchar_t* storedName, CrosshairImage* image);

// The stored image a crosshair names, decoded; false, with *image empty, when
// the name is unsafe or the file is missing, too big or not an image.
bool LoadStoredImage(const wchar_t* settingsFolder, const wchar_t* name, CrosshairImage* image);

// The image the current crosshair wears, decoded once per name: a render asks
// for it on every change, and a missing file is looked for again only once the
// crosshair has worn another name (or none) in between.
struct WornImage {
    wchar_t name[kImageNameChars];  // the name image was loaded for, found or not
    CrosshairImage image;           // empty while that file is missing or damaged
};
// Brings worn up to date with the crosshair: loads when its name changed,
// frees when it wears none. True when an image is ready to draw; false means
// the drawn crosshair appears (no image, or the image cannot be read).
bool UpdateWornImage(WornImage* worn, const wchar_t* settingsFolder,
                     const CrosshairSettings& crosshair);
// Takes a freshly chosen image over (it then belongs to worn) under its name.
void AdoptWornImage(WornImage* worn, const wchar_t* name, CrosshairImage* image);
void ReleaseWornImage(WornImage* worn);
