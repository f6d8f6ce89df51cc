// The image folder: safe names, numbered names, the crash-safe copy of a
// chosen file and the loading of a stored one.
#include "storage/images.h"

#include <stdlib.h>
#include <string.h>
#include <wchar.h>

#include "base/wtext.h"
#include "storage/profile.h"
#include "storage/settings.h"

const wchar_t kImageFolderName[] = L"imagens";

namespace {

// What Windows refuses in a file name besides the control characters.
const wchar_t kRefusedChars[] = L"<>:\"/\\|?*";
const wchar_t kParentName[] = L"..";
const wchar_t kBackslash = L'\\';
const wchar_t kSlash = L'/';
const wchar_t kDot = L'.';
const wchar_t kSpace = L' ';
const wchar_t kReplacement = L'_';
const wchar_t kFirstPrintable = 0x20;
const wchar_t kFallbackName[] = L"imagem";
const wchar_t kNumberFormat[] = L"%ls (%d)%ls";
const wchar_t kTempSuffix[] = L".tmp";
const wchar_t kJoinFormat[] = L"%ls%ls%ls";
const wchar_t kColon = L':';
const wchar_t kQuestionMark = L'?';
const wchar_t kExtendedPrefix[] = L"\\\\?\\";
// Followed by the network path without its first backslash.
const wchar_t kExtendedNetworkPrefix[] = L"\\\\?\\UNC";

enum {
    kNumberSuffixChars = 6,  // " (999)"
    // A kept name leaves room for the longest number.
    kStoredNameLimit = kImageNameChars - 1 - kNumberSuffixChars,
    kExtensionLimit = 16,  // a longer "extension" is cut like the stem
    kFirstNumber = 1,
    kLeftoverAgeSeconds = 60,  // a copy older than this was left by a crash
};

bool IsRefused(wchar_t c) { return c < kFirstPrintable || wcschr(kRefusedChars, c) != nullptr; }

bool EndsBadly(wchar_t c) { return c == kDot || c == kSpace; }

// Where the extension begins: the last dot, unless it begins the name; else the end.
size_t ExtensionAt(const wchar_t* name, size_t length) {
    for (size_t i = length; i > 1; --i)
        if (name[i - 1] == kDot) return i - 1;
    return length;
}

// a + b + c into out (kPathChars); false when it would be cut.
bool Join(wchar_t* out, size_t count, const wchar_t* a, const wchar_t* b, const wchar_t* c) {
    if (wcslen(a) + wcslen(b) + wcslen(c) >= count) return false;
    FormatW(out, count, kJoinFormat, a, b, c);
    return true;
}

// folder + separator + name, without doubling a separator the folder ends in.
bool JoinPath(const wchar_t* folder, const wchar_t* name, wchar_t* path) {
    const size_t length = wcslen(folder);
    const wchar_t separator[] = {kProfilePathSeparator, 0};
    const bool ends = length > 0 && folder[length - 1] == kProfilePathSeparator;
    return Join(path, kPathChars, folder, ends ? L"" : separator, name);
}

// Whether the file at path holds exactly bytes.
bool HoldsBytes(const wchar_t* path, const unsigned char* bytes, size_t size) {
    unsigned char* held = nullptr;
    size_t heldSize = 0;
    if (ProfileReadFile(path, size, &held, &heldSize) != kProfileFileRead) return false;
    bool same = heldSize == size && memcmp(held, bytes, size) == 0;
    free(held);
    return same;
}

enum Attempt { kAttemptStored, kAttemptNameTaken, kAttemptFailed };

// One name of the series: used when it holds these bytes, filled when free.
Attempt TryName(const wchar_t* folder, const wchar_t* name, const unsigned char* bytes,
                size_t size) {
    wchar_t path[kPathChars], temp[kPathChars];
    if (!JoinPath(folder, name, path) || !Join(temp, kPathChars, path, kTempSuffix, L""))
        return kAttemptFailed;
    if (ProfileFileExists(path)) return HoldsBytes(path, bytes, size) ? kAttemptStored : kAttemptNameTaken;
    // A copy a crash left behind is removed once it is surely no write still
    // under way; until then the name is passed over, and it is never written over.
    if (ProfileFileExists(temp) &&
        !(ProfileFileOlderThan(temp, kLeftoverAgeSeconds) && ProfileRemoveFile(temp)))
        return kAttemptNameTaken;
    if (!ProfileWriteNewFile(temp, bytes, size)) return kAttemptFailed;
    if (ProfileRenameToNew(temp, path)) return kAttemptStored;
    // Only the copy made just now goes; a file that took the name meanwhile stays.
    ProfileRemoveFile(temp);
    return ProfileFileExists(path) ? kAttemptNameTaken : kAttemptFailed;
}

ImageChoice ChoiceOf(ImageDecodeResult decoded) {
    return decoded == kImageTooBig ? kImageChoiceTooBig : kImageChoiceUnreadable;
}

}  // namespace

bool IsSafeImageName(const wchar_t* name) {
    if (!name || !name[0]) return false;
    const size_t length = LengthW(name, kImageNameChars);
    if (length >= kImageNameChars || EndsBadly(name[length - 1])) return false;
    for (size_t i = 0; i < length; ++i)
        if (IsRefused(name[i])) return false;
    return wcsstr(name, kParentName) == nullptr;
}

void StoredImageName(const wchar_t* sourcePath, wchar_t* name) {
    const wchar_t* base = sourcePath ? sourcePath : L"";
    for (const wchar_t* p = base; *p; ++p)
        if (*p == kBackslash || *p == kSlash) base = p + 1;
    // The whole name, cleaned, in a buffer that holds any name the system allows.
    wchar_t clean[kPathChars];
    size_t length = 0;
    for (const wchar_t* p = base; *p && length + 1 < kPathChars; ++p) {
        if (*p == kDot && length > 0 && clean[length - 1] == kDot) continue;
        clean[length++] = IsRefused(*p) ? kReplacement : *p;
    }
    while (length > 0 && EndsBadly(clean[length - 1])) --length;
    clean[length] = 0;
    size_t extension = ExtensionAt(clean, length);
    if (length - extension > kExtensionLimit) extension = length;
    size_t stem = extension;
    if (length > kStoredNameLimit) {
        const size_t room = kStoredNameLimit - (length - extension);
        if (stem > room) stem = room;
        while (stem > 0 && EndsBadly(clean[stem - 1])) --stem;
    }
    if (stem == 0 && extension == length) {
        CopyW(name, kImageNameChars, kFallbackName);
        return;
    }
    wchar_t kept[kPathChars];
    CopyW(kept, stem + 1, clean);
    FormatW(name, kImageNameChars, kJoinFormat, kept, clean + extension, L"");
    // What is left of a cut stem may end in a dot that meets the extension's.
    if (!IsSafeImageName(name)) CopyW(name, kImageNameChars, kFallbackName);
}

bool NumberedImageName(const wchar_t* name, int number, wchar_t* out) {
    const size_t length = wcslen(name);
    if (number <= kFirstNumber) {
        if (length >= kImageNameChars) return false;
        CopyW(out, kImageNameChars, name);
        return true;
    }
    const size_t extension = ExtensionAt(name, length);
    wchar_t stem[kImageNameChars];
    if (extension >= kImageNameChars) return false;
    CopyW(stem, extension + 1, name);
    wchar_t numbered[kPathChars];
    int made = FormatW(numbered, kPathChars, kNumberFormat, stem, number, name + extension);
    if (made <= 0 || (size_t)made >= kImageNameChars) return false;
    CopyW(out, kImageNameChars, numbered);
    return true;
}

bool LongPathForm(const wchar_t* path, wchar_t* out) {
    const wchar_t* prefix = L"";
    const wchar_t* rest = path;
    if (wcslen(path) >= kPathChars) {
        if (path[0] && path[1] == kColon && path[2] == kBackslash) {
            prefix = kExtendedPrefix;
        } else if (path[0] == kBackslash && path[1] == kBackslash && path[2] != kQuestionMark &&
                   path[2] != kDot) {
            prefix = kExtendedNetworkPrefix;
            rest = path + 1;
        }
    }
    // Copied, not formatted: the formatting helper holds far shorter texts.
    const size_t prefixLength = wcslen(prefix);
    if (prefixLength + wcslen(rest) >= kLongPathChars) return false;
    CopyW(out, kLongPathChars, prefix);
    CopyW(out + prefixLength, kLongPathChars - prefixLength, rest);
    return true;
}

bool ImageFolderPath(const wchar_t* settingsFolder, wchar_t* folder) {
    return settingsFolder && settingsFolder[0] && JoinPath(settingsFolder, kImageFolderName, folder);
}

bool ImageFilePath(const wchar_t* settingsFolder, const wchar_t* name, wchar_t* path) {
    wchar_t folder[kPathChars];
    return ImageFolderPath(settingsFolder, folder) && JoinPath(folder, name, path);
}

bool StoreImageBytes(const unsigned char* bytes, size_t size, const wchar_t* sourcePath,
                     const wchar_t* settingsFolder, wchar_t* storedName) {
    wchar_t folder[kPathChars], base[kImageNameChars];
    if (!ImageFolderPath(settingsFolder, folder) || !ProfileCreateFolder(folder)) return false;
    StoredImageName(sourcePath, base);
    for (int number = kFirstNumber; number <= kImageNumberLast; ++number) {
        wchar_t name[kImageNameChars];
        if (!NumberedImageName(base, number, name)) return false;
        switch (TryName(folder, name, bytes, size)) {
            case kAttemptStored:
                CopyW(storedName, kImageNameChars, name);
                return true;
            case kAttemptNameTaken:
                break;
            case kAttemptFailed:
                return false;
        }
    }
    return false;
}

ImageChoice ChooseImageFile(const wchar_t* sourcePath, const wchar_t* settingsFolder,
                            wchar_t* storedName, CrosshairImage* image) {
    image->pixels = nullptr;
    image->width = image->height = 0;
    unsigned char* bytes = nullptr;
    size_t size = 0;
    switch (ProfileReadFile(sourcePath, kImageFileMaxBytes, &bytes, &size)) {
        case kProfileFileRead: break;
        case kProfileFileTooBig: return kImageChoiceTooBig;
        case kProfileFileUnread: return kImageChoiceUnreadable;
    }
    ImageDecodeResult decoded = DecodeImage(bytes, size, image);
    ImageChoice choice = kImageChosen;
    if (decoded != kImageDecoded) {
        choice = ChoiceOf(decoded);
    } else if (!StoreImageBytes(bytes, size, sourcePath, settingsFolder, storedName)) {
        FreeCrosshairImage(image);
        choice = kImageChoiceNotStored;
    }
    free(bytes);
    return choice;
}

bool LoadStoredImage(const wchar_t* settingsFolder, const wchar_t* name, CrosshairImage* image) {
    image->pixels = nullptr;
    image->width = image->height = 0;
    wchar_t path[kPathChars];
    if (!IsSafeImageName(name) || !ImageFilePath(settingsFolder, name, path)) return false;
    unsigned char* bytes = nullptr;
    size_t size = 0;
    if (ProfileReadFile(path, kImageFileMaxBytes, &bytes, &size) != kProfileFileRead) return false;
    bool decoded = DecodeImage(bytes, size, image) == kImageDecoded;
    free(bytes);
    return decoded;
}

bool UpdateWornImage(WornImage* worn, const wchar_t* settingsFolder,
                     const CrosshairSettings& crosshair) {
    if (!CrosshairUsesImage(crosshair)) {
        ReleaseWornImage(worn);
        return false;
    }
    if (wcscmp(worn->name, crosshair.image) != 0) {
        ReleaseWornImage(worn);
        CopyW(worn->name, kImageNameChars, crosshair.image);
        LoadStoredImage(settingsFolder, worn->name, &worn->image);
    }
    return ImageIsUsable(worn->image);
}

void AdoptWornImage(WornImage* worn, const wchar_t* name, CrosshairImage* image) {
    ReleaseWornImage(worn);
    CopyW(worn->name, kImageNameChars, name);
    worn->image = *image;
    image->pixels = nullptr;
    image->width = image->height = 0;
}

void ReleaseWornImage(WornImage* worn) {
    FreeCrosshairImage(&worn->image);
    worn->name[0] = 0;
}
