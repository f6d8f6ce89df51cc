// End-to-end cases of the executable's resources, read back from the built
// file: the application manifest, the icon group and the version block.
#include "harness.h"
#include "state/identity.h"

#include <string.h>

using namespace e2e;

namespace {

enum { kResourceId = 1 };
const unsigned char kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
const int kIconSizes[] = {16, 24, 32, 48, 64, 128, 256};
const WORD kLanguagePtBr = 0x0416;
const WORD kCodePageUnicode = 1200;
const wchar_t kStringBlock[] = L"\\StringFileInfo\\041604B0\\";

#pragma pack(push, 2)
struct GroupIconHeader {
    WORD reserved, type, count;
};
struct GroupIconEntry {
    BYTE width, height, colours, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

class Resources : public E2eCase {
protected:
    void SetUp() override {
        E2eCase::SetUp();
        if (HasFatalFailure()) return;
        module_ = LoadLibraryExW(ProgramPath().c_str(), nullptr,
                                 LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_TRUE(module_) << "cannot load " << Utf8(ProgramPath()) << " as data ("
                             << GetLastError() << ")";
    }
    void TearDown() override {
        if (module_) FreeLibrary(module_);
        E2eCase::TearDown();
    }

    // The bytes of one resource, empty when it is missing.
    std::string Bytes(LPCWSTR type, int id) {
        HRSRC found = FindResourceW(module_, MAKEINTRESOURCEW(id), type);
        if (!found) return std::string();
        HGLOBAL loaded = LoadResource(module_, found);
        const char* data = loaded ? (const char*)LockResource(loaded) : nullptr;
        return data ? std::string(data, SizeofResource(module_, found)) : std::string();
    }

    HMODULE module_ = nullptr;
};

// The text content of the first element named exactly name (attributes
// allowed; "dpiAware" does not match "<dpiAwareness"), or "" when there is none.
std::string ElementText(const std::string& xml, const std::string& name) {
    size_t at = xml.find("<" + name);
    while (at != std::string::npos) {
        char after = at + 1 + name.size() < xml.size() ? xml[at + 1 + name.size()] : '\0';
        if (after == '>' || after == ' ') break;
        at = xml.find("<" + name, at + 1);
    }
    if (at == std::string::npos) return std::string();
    size_t open = xml.find('>', at);
    size_t close = xml.find('<', open);
    if (open == std::string::npos || close == std::string::npos) return std::string();
    return xml.substr(open + 1, close - open - 1);
}

TEST_F(Resources, ManifestDeclaresDpiAwarenessControlsAndLevel) {
    std::string manifest = Bytes(MAKEINTRESOURCEW(24), kResourceId);  // RT_MANIFEST
    ASSERT_FALSE(manifest.empty()) << "no manifest resource 1";
    // Per-monitor v2 where Windows knows it, system-aware before (dpiAware is
    // what Windows before 10 version 1607 reads).
    struct ElementRow {
        const char* name;
        const char* text;
    };
    const ElementRow elements[] = {
        {"dpiAware", "true"},
        {"dpiAwareness", "PerMonitorV2, System"},
    };
    for (const ElementRow& row : elements) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.text, ElementText(manifest, row.name)) << manifest;
    }
    const char* const wanted[] = {
        "<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">",
        "<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">",
        "name=\"Zavik.Crosshair\"",
        "name=\"Microsoft.Windows.Common-Controls\"",
        "version=\"6.0.0.0\"",
        "level=\"asInvoker\"",
    };
    for (const char* text : wanted) {
        SCOPED_TRACE(text);
        EXPECT_NE(std::string::npos, manifest.find(text)) << manifest;
    }
}

TEST_F(Resources, IconGroupHoldsEveryPngSize) {
    std::string group = Bytes(MAKEINTRESOURCEW(14), kResourceId);  // RT_GROUP_ICON
    ASSERT_GE(group.size(), sizeof(GroupIconHeader)) << "no icon group 1";
    GroupIconHeader header;
    memcpy(&header, group.data(), sizeof header);
    ASSERT_GE(group.size(), sizeof header + header.count * sizeof(GroupIconEntry));
    std::vector<int> sizes;
    for (WORD i = 0; i < header.count; ++i) {
        GroupIconEntry entry;
        memcpy(&entry, group.data() + sizeof header + i * sizeof entry, sizeof entry);
        int size = entry.width == 0 ? 256 : entry.width;
        SCOPED_TRACE("image of " + std::to_string(size) + " px");
        sizes.push_back(size);
        std::string image = Bytes(MAKEINTRESOURCEW(3), entry.id);  // RT_ICON
        ASSERT_GE(image.size(), 24u);
        EXPECT_EQ(0, memcmp(image.data(), kPngSignature, sizeof kPngSignature)) << "not a PNG";
        // The IHDR width, big-endian, right after the signature and the chunk head.
        const unsigned char* w = (const unsigned char*)image.data() + 16;
        EXPECT_EQ(size, (w[0] << 24) | (w[1] << 16) | (w[2] << 8) | w[3]);
    }
    std::sort(sizes.begin(), sizes.end());
    EXPECT_EQ(std::vector<int>(std::begin(kIconSizes), std::end(kIconSizes)), sizes);
}

TEST_F(Resources, VersionBlockIsPortugueseWithTheProgramsVersion) {
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeW(ProgramPath().c_str(), &ignored);
    ASSERT_GT(size, 0u) << "no version resource";
    std::vector<char> block(size);
    ASSERT_TRUE(GetFileVersionInfoW(ProgramPath().c_str(), 0, size, block.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", (void**)&fixed, &length));
    const DWORD kVersionMS = MAKELONG(ZAVIK_VERSION_MINOR, ZAVIK_VERSION_MAJOR);
    const DWORD kVersionLS = MAKELONG(ZAVIK_VERSION_BUILD, ZAVIK_VERSION_PATCH);
    EXPECT_EQ(kVersionMS, fixed->dwFileVersionMS);
    EXPECT_EQ(kVersionLS, fixed->dwFileVersionLS);
    EXPECT_EQ(kVersionMS, fixed->dwProductVersionMS);
    EXPECT_EQ(kVersionLS, fixed->dwProductVersionLS);

    WORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", (void**)&translation,
                               &length));
    ASSERT_GE(length, 4u);
    EXPECT_EQ(kLanguagePtBr, translation[0]);
    EXPECT_EQ(kCodePageUnicode, translation[1]);

    struct Row {
        const wchar_t* name;
        const wchar_t* value;
    };
    const Row rows[] = {
        {L"ProductName", ZAVIK_TITLE},
        {L"FileDescription", ZAVIK_TITLE L" - Mira fixa"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(Utf8(row.name));
        wchar_t* text = nullptr;
        std::wstring query = std::wstring(kStringBlock) + row.name;
        ASSERT_TRUE(VerQueryValueW(block.data(), query.c_str(), (void**)&text, &length));
        EXPECT_EQ(Utf8(row.value), Utf8(text));
    }
}

}  // namespace
