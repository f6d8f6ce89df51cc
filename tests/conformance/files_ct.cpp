// The plain-file part of the storage contract (the image folder), checked
// against whichever side is linked: kernel32 under Windows or Wine, or the
// host's stand-in. Both must pass the same rows.
#include <stdlib.h>

#include <string>

#include "conformance.h"
#include "storage/profile.h"

namespace {

using conformance::FileExists;
using conformance::ReadBytes;
using conformance::SameBytes;
using conformance::TempDir;
using conformance::Utf16Le;
using conformance::WriteBytes;

class FileContract : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.ok()); }
    std::wstring Path(const wchar_t* name) const { return dir_.Path(name); }
    const unsigned char* Bytes(const char* text) const {
        return reinterpret_cast<const unsigned char*>(text);
    }
    TempDir dir_;
};

TEST_F(FileContract, FoldersAreMadeOnceAndNeverOverAFile) {
    const std::wstring folder = Path(L"imagens");
    EXPECT_TRUE(ProfileCreateFolder(folder.c_str()));
    EXPECT_TRUE(ProfileCreateFolder(folder.c_str())) << "an existing folder counts";
    EXPECT_TRUE(ProfileWriteNewFile((folder + kProfilePathSeparator + L"a").c_str(), Bytes("a"), 1));
    const std::wstring file = Path(L"arquivo");
    WriteBytes(file, "x");
    EXPECT_FALSE(ProfileCreateFolder(file.c_str()));
    EXPECT_TRUE(SameBytes(ReadBytes(file), "x"));
}

struct ReadRow {
    const char* name;
    const char* bytes;  // null: no such file
    size_t maxBytes;
    ProfileFileRead expected;
};

TEST_F(FileContract, WholeFilesAreReadUpToTheLimit) {
    const ReadRow rows[] = {
        {"missing", nullptr, 4, kProfileFileUnread},
        {"empty", "", 4, kProfileFileRead},
        {"exactly the limit", "abcd", 4, kProfileFileRead},
        {"one byte over", "abcde", 4, kProfileFileTooBig},
    };
    const std::wstring file = Path(L"ler.bin");
    for (const ReadRow& row : rows) {
        SCOPED_TRACE(row.name);
        ProfileRemoveFile(file.c_str());
        if (row.bytes) WriteBytes(file, row.bytes);
        unsigned char* bytes = nullptr;
        size_t size = 99;
        EXPECT_EQ(row.expected, ProfileReadFile(file.c_str(), row.maxBytes, &bytes, &size));
        if (row.expected == kProfileFileRead) {
            EXPECT_EQ(std::string(row.bytes), std::string((const char*)bytes, size));
        } else {
            EXPECT_EQ(nullptr, bytes);
            EXPECT_EQ(0u, size);
        }
        free(bytes);
    }
}

// Neither a new file nor a rename ever replaces a file that is there.
TEST_F(FileContract, NewNamesOnly) {
    const std::wstring copy = Path(L"a.png.tmp"), taken = Path(L"b.png"), vacant = Path(L"a.png");
    EXPECT_TRUE(ProfileWriteNewFile(copy.c_str(), Bytes("new"), 3));
    EXPECT_FALSE(ProfileWriteNewFile(copy.c_str(), Bytes("other"), 5));
    WriteBytes(taken, "old");
    EXPECT_FALSE(ProfileRenameToNew(copy.c_str(), taken.c_str()));
    EXPECT_TRUE(SameBytes(ReadBytes(taken), "old"));
    EXPECT_TRUE(ProfileRenameToNew(copy.c_str(), vacant.c_str()));
    EXPECT_FALSE(FileExists(copy));
    EXPECT_TRUE(SameBytes(ReadBytes(vacant), "new"));
}

// The image keys are removed from every crosshair section that does not wear
// an image; where they are not, the file must keep its bytes.
TEST_F(FileContract, RemovingAnAbsentKeyLeavesTheBytes) {
    const std::wstring ini = Path(L"config.ini");
    const std::string before = Utf16Le(L"[Mira]\r\ntamanho = 1.000\r\n");
    WriteBytes(ini, before);
    EXPECT_TRUE(ProfileWriteString(L"Mira", L"imagem", nullptr, ini.c_str()));
    EXPECT_TRUE(ProfileWriteString(L"Outra", L"imagem", nullptr, ini.c_str()));
    ProfileWriteString(nullptr, nullptr, nullptr, ini.c_str());
    EXPECT_TRUE(SameBytes(ReadBytes(ini), before));
}

}  // namespace
