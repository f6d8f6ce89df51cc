// Fuzzes the host private-profile layer with arbitrary file contents: section
// names, reads into small and large buffers, a write and a section delete.
#include <wchar.h>

#include "fuzz_input.h"
#include "storage/profile.h"

namespace {
const unsigned kNamesChars = 16384;
const unsigned kValueChars = 64;
const unsigned kTinyChars = 2;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* narrowPath = FuzzFilePath("zavik-fuzz-profile");
    if (!FuzzWriteFile(narrowPath, data, size)) return 0;
    std::wstring path = FuzzWidePath(narrowPath);
    const wchar_t* file = path.c_str();

    static wchar_t names[kNamesChars];
    ProfileGetSectionNames(names, kNamesChars, file);
    wchar_t tiny[kTinyChars];
    ProfileGetSectionNames(tiny, kTinyChars, file);

    // The first section the file names, or one that is surely absent.
    wchar_t section[kValueChars];
    wcsncpy(section, names[0] ? names : L"Mira", kValueChars - 1);
    section[kValueChars - 1] = 0;

    wchar_t value[kValueChars];
    ProfileGetString(section, L"tamanho", L"1.000", value, kValueChars, file);
    ProfileGetString(section, section, L"", tiny, kTinyChars, file);
    ProfileGetString(L"Opcoes", L"ligada", L"", value, 1, file);
    ProfileGetInt(section, L"cor_r", 255, file);
    ProfileGetInt(L"Opcoes", L"atalho_tecla", 79, file);

    ProfileWriteString(section, L"tamanho", L"2.500", file);
    ProfileWriteString(L"Nova", L"cor_r", L"300", file);
    ProfileGetInt(L"Nova", L"cor_r", 0, file);
    ProfileWriteString(section, nullptr, nullptr, file);
    ProfileWriteString(nullptr, nullptr, nullptr, file);
    ProfileGetSectionNames(names, kNamesChars, file);
    return 0;
}
