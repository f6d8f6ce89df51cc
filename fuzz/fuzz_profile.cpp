// Fuzzes the host private-profile layer with arbitrary file contents: section
// names, reads into small and large buffers, whole sections, a write and a
// section delete, and the server memories read from the file and saved back.
#include <wchar.h>

#include "fuzz_input.h"
#include "storage/profile.h"
#include "storage/settings.h"

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
    ProfileGetSection(section, names, kNamesChars, file);
    ProfileGetSection(section, tiny, kTinyChars, file);

    // The memories of every "Servidor" section, kept and written back whole.
    static ServerMemories memories;
    LoadServerMemories(file, &memories);
    SaveSettings(file, kDefaultOptions, kBuiltinPresets[0].settings, memories, kProfileTryOnce);
    ProfileWriteSection(section, L"a=1\0b= \"2\"\0", file);

    ProfileWriteString(section, L"tamanho", L"2.500", file);
    ProfileWriteString(L"Nova", L"cor_r", L"300", file);
    ProfileGetInt(L"Nova", L"cor_r", 0, file);
    ProfileWriteString(section, nullptr, nullptr, file);
    ProfileWriteString(nullptr, nullptr, nullptr, file);
    ProfileGetSectionNames(names, kNamesChars, file);
    return 0;
}
