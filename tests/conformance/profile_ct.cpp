// The private-profile contract as the program relies on it, checked against
// whichever implementation is linked: kernel32 (under Windows or Wine) or our
// host implementation. Both must pass the same rows.
#include <limits.h>

#include <string>

#include "conformance.h"
#include "storage/profile.h"
#include "storage/settings.h"

namespace {

using conformance::FileExists;
using conformance::ReadBytes;
using conformance::SameBytes;
using conformance::SameText;
using conformance::TempDir;
using conformance::Utf16Le;
using conformance::WriteBytes;

const unsigned kBufChars = 256;

class ProfileContract : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.ok());
        file_ = dir_.Path(L"test.ini");
    }
    const wchar_t* file() const { return file_.c_str(); }
    void WriteUtf16(const std::wstring& text) { WriteBytes(file_, Utf16Le(text)); }
    std::string Bytes() const { return ReadBytes(file_); }
    // The value as text, or the default "<absent>".
    std::wstring Get(const wchar_t* section, const wchar_t* key, unsigned size = kBufChars,
                     unsigned* count = nullptr) {
        wchar_t buf[kBufChars];
        unsigned n = ProfileGetString(section, key, L"<absent>", buf, size, file());
        if (count) *count = n;
        return buf;
    }

    TempDir dir_;
    std::wstring file_;
};

TEST_F(ProfileContract, CreateUtf16FileWritesOnlyTheMarker) {
    EXPECT_FALSE(ProfileFileExists(file()));
    EXPECT_EQ(kProfileMissing, ProfileCheckReadable(file(), kProfileTryOnce));
    CreateUtf16File(file());
    EXPECT_TRUE(ProfileFileExists(file()));
    EXPECT_TRUE(SameBytes(Bytes(), "\xFF\xFE"));
    EXPECT_EQ(kProfileReadable, ProfileCheckReadable(file(), kProfileTryOnce));
    // Held open for the start's reads, the file still answers them.
    WriteUtf16(L"[a]\r\nk=1\r\n");
    ProfileHold hold;
    ASSERT_EQ(kProfileReadable, ProfileCheckReadable(file(), kProfileTryOnce, &hold));
    EXPECT_EQ(L"1", Get(L"a", L"k"));
    ProfileRelease(&hold);
    EXPECT_FALSE(hold.held);
}

TEST_F(ProfileContract, CreateUtf16FileLeavesAnExistingFileAlone) {
    WriteBytes(file_, "[a]\r\nk=1\r\n");
    CreateUtf16File(file());
    EXPECT_TRUE(SameBytes(Bytes(), "[a]\r\nk=1\r\n"));
}

TEST_F(ProfileContract, FirstKeyInMarkedFileIsWrittenAsUtf16WithCrLf) {
    CreateUtf16File(file());
    EXPECT_TRUE(ProfileWriteString(L"Mira", L"tamanho", L"-1.500", file()));
    EXPECT_TRUE(SameBytes(Bytes(), Utf16Le(L"[Mira]\r\ntamanho=-1.500\r\n")));
}

TEST_F(ProfileContract, KeysAppendInOrderAndReplaceInPlace) {
    CreateUtf16File(file());
    ProfileWriteString(L"s1", L"a", L"1", file());
    ProfileWriteString(L"s1", L"b", L"2", file());
    ProfileWriteString(L"s2", L"c", L"3", file());
    ProfileWriteString(L"s1", L"c", L"4", file());  // new key: end of its own section
    ProfileWriteString(L"s1", L"a", L"9", file());  // existing key: same place
    ProfileWriteString(nullptr, nullptr, nullptr, file());
    EXPECT_TRUE(SameBytes(Bytes(), Utf16Le(L"[s1]\r\na=9\r\nb=2\r\nc=4\r\n[s2]\r\nc=3\r\n")));
}

TEST_F(ProfileContract, WritingToAMissingFileCreatesAnAnsiFile) {
    EXPECT_TRUE(ProfileWriteString(L"s", L"k", L"v", file()));
    EXPECT_TRUE(SameBytes(Bytes(), "[s]\r\nk=v\r\n"));
}

TEST_F(ProfileContract, NamesMatchWithoutAsciiCase) {
    CreateUtf16File(file());
    ProfileWriteString(L"Mira", L"Tamanho", L"1", file());
    EXPECT_TRUE(SameText(Get(L"MIRA", L"tamanho"), L"1"));
    EXPECT_TRUE(SameText(Get(L"mira", L"TAMANHO"), L"1"));
    ProfileWriteString(L"mIRA", L"tAMANHO", L"2", file());
    // The names keep the spelling they were first written with.
    EXPECT_TRUE(SameBytes(Bytes(), Utf16Le(L"[Mira]\r\nTamanho=2\r\n")));
}

TEST_F(ProfileContract, DefaultOnlyWhenTheKeyIsAbsent) {
    WriteUtf16(L"[s]\r\nempty=\r\nfull=x\r\n");
    unsigned n = 99;
    EXPECT_TRUE(SameText(Get(L"s", L"empty", kBufChars, &n), L""));
    EXPECT_EQ(0u, n);
    EXPECT_TRUE(SameText(Get(L"s", L"missing", kBufChars, &n), L"<absent>"));
    EXPECT_EQ(8u, n);
    EXPECT_TRUE(SameText(Get(L"other", L"full"), L"<absent>"));
    EXPECT_TRUE(SameText(Get(L"s", L"full", kBufChars, &n), L"x"));
    EXPECT_EQ(1u, n);
}

TEST_F(ProfileContract, MissingFileReadsDefaults) {
    EXPECT_TRUE(SameText(Get(L"s", L"k"), L"<absent>"));
    EXPECT_EQ(5, ProfileGetInt(L"s", L"k", 5, file()));
    wchar_t names[8] = {L'#', L'#', L'#'};
    EXPECT_EQ(0u, ProfileGetSectionNames(names, 8, file()));
    EXPECT_EQ(0, names[0]);
    EXPECT_FALSE(ProfileFileExists(file()));
}

TEST_F(ProfileContract, BlanksAroundNamesAndValuesAreTrimmed) {
    WriteUtf16(L"[ Mira ]\r\n  tamanho \t=  1.5 \t\r\n");
    EXPECT_TRUE(SameText(Get(L"Mira", L"tamanho"), L"1.5"));
    EXPECT_TRUE(SameText(Get(L" Mira ", L" tamanho "), L"1.5"));
}

TEST_F(ProfileContract, SurroundingQuotesAreRemoved) {
    WriteUtf16(L"[s]\r\ndouble=\"a b\"\r\nsingle='c'\r\nlone=\"d\r\n");
    EXPECT_TRUE(SameText(Get(L"s", L"double"), L"a b"));
    EXPECT_TRUE(SameText(Get(L"s", L"single"), L"c"));
    EXPECT_TRUE(SameText(Get(L"s", L"lone"), L"\"d"));
}

struct StoredRow {
    const char* name;
    const wchar_t* value;
    const wchar_t* stored;  // the text in the file
};

// The reader drops one pair of like quotes around a value, whatever it holds,
// and leaves a lone quote or a quote at one end alone. So a name it would
// change is stored inside double quotes and reads back exactly; every other
// name is stored as it comes, and files keep their bytes.
const StoredRow kStoredRows[] = {
    {"plain", L"mira.png", L"mira.png"},
    {"leading space", L" mira.png", L"\" mira.png\""},
    {"ending in a space", L"mira ", L"\"mira \""},
    {"single quotes around", L"'mira.png'", L"\"'mira.png'\""},
    {"double quotes around", L"\"mira\"", L"\"\"mira\"\""},
    {"two quotes", L"\"\"", L"\"\"\"\""},
    {"one quote", L"\"", L"\""},
    {"a quote at one end", L"mira\"", L"mira\""},
    {"unlike quotes", L"'mira\"", L"'mira\""},
    {"brackets, equals and semicolon", L"[a=b];c", L"[a=b];c"},
};

TEST_F(ProfileContract, StoredNamesReadBackAsWritten) {
    int index = 0;
    for (const StoredRow& row : kStoredRows) {
        SCOPED_TRACE(row.name);
        wchar_t text[kBufChars];
        ASSERT_TRUE(StoredValueText(row.value, text, kBufChars));
        EXPECT_TRUE(SameText(text, row.stored));
        // A file per row: kernel32 may answer from its cache of a file it read a moment ago.
        std::wstring file = dir_.Path((L"name" + std::to_wstring(index++) + L".ini").c_str());
        CreateUtf16File(file.c_str());
        ASSERT_TRUE(ProfileWriteString(L"s", L"k", text, file.c_str()));
        ProfileGetString(L"s", L"k", L"<absent>", text, kBufChars, file.c_str());
        EXPECT_TRUE(SameText(text, row.value));
    }
}

TEST_F(ProfileContract, LongValueIsCutToTheBuffer) {
    WriteUtf16(L"[s]\r\nk=abcdef\r\n");
    unsigned n = 0;
    EXPECT_TRUE(SameText(Get(L"s", L"k", 4, &n), L"abc"));
    EXPECT_EQ(3u, n);
}

TEST_F(ProfileContract, AccentedNamesAndValuesRoundTrip) {
    CreateUtf16File(file());
    ProfileWriteString(L"Zavik Padrão", L"tamanho", L"ç★", file());
    EXPECT_TRUE(SameText(Get(L"Zavik Padrão", L"tamanho"), L"ç★"));
    EXPECT_TRUE(SameBytes(Bytes(), Utf16Le(L"[Zavik Padrão]\r\ntamanho=ç★\r\n")));
}

struct IntRow {
    const char* name;
    const wchar_t* stored;  // null: key absent
    int expected;
};

// The leading integer, optional sign, the "0x" form, and 32-bit wrapping.
const IntRow kIntRows[] = {
    {"absent", nullptr, 77},
    {"empty reads as absent", L"", 77},
    {"plain", L"12", 12},
    {"negative", L"-12", -12},
    {"plus sign", L"+5", 5},
    {"leading blanks", L"   12", 12},
    {"trailing letters", L"12abc", 12},
    {"letters only", L"abc", 0},
    {"inner blank ends", L"1 2", 1},
    {"sign then blank", L"- 5", 0},
    {"double sign", L"--5", 0},
    {"decimal point ends", L"1.9", 1},
    {"hex prefix", L"0x10", 16},
    {"upper hex prefix is not one", L"0X10", 0},
    {"leading zero is decimal", L"010", 10},
    {"quoted", L"\"12\"", 12},
    {"int max", L"2147483647", INT_MAX},
    {"one past int max wraps", L"2147483648", INT_MIN},
    {"one below int min wraps", L"-2147483649", INT_MAX},
    {"uint max", L"4294967295", -1},
    {"two to the 32", L"4294967296", 0},
    {"long digits cut at 29", L"99999999999999999999999999999999999", -1610612737},
    {"negative offset", L"-300", -300},
    {"minus zero", L"-0", 0},
    {"int min", L"-2147483648", INT_MIN},
    {"plus sign after blanks", L"  +7", 7},
    {"minus after a tab", L"\t-3", -3},
    {"negative hex", L"-0x10", -16},
    {"octal prefix", L"0o17", 15},
    {"binary prefix", L"0b101", 5},
    {"blanks around a negative", L"  -42  ", -42},
};

TEST_F(ProfileContract, IntegerForms) {
    int index = 0;
    for (const IntRow& row : kIntRows) {
        SCOPED_TRACE(row.name);
        // A file per row: kernel32 may answer from its cache of a file it read a moment ago.
        std::wstring file = dir_.Path((L"int" + std::to_wstring(index++) + L".ini").c_str());
        std::wstring text = L"[s]\r\n";
        if (row.stored) text += std::wstring(L"k=") + row.stored + L"\r\n";
        WriteBytes(file, Utf16Le(text));
        EXPECT_EQ(row.expected, ProfileGetInt(L"s", L"k", 77, file.c_str()));
        // The program reads its integers as text and converts them itself, so
        // that it agrees with this table whatever the kernel32 integer call does.
        EXPECT_EQ(row.expected, ReadIntSetting(file.c_str(), L"s", L"k", 77));
    }
}

TEST_F(ProfileContract, DeletingASectionRemovesItsKeys) {
    WriteUtf16(L"[a]\r\nk=1\r\n[b]\r\nk=2\r\nj=3\r\n[c]\r\nk=4\r\n");
    EXPECT_TRUE(ProfileWriteString(L"B", nullptr, nullptr, file()));
    EXPECT_TRUE(SameBytes(Bytes(), Utf16Le(L"[a]\r\nk=1\r\n[c]\r\nk=4\r\n")));
    EXPECT_TRUE(SameText(Get(L"b", L"k"), L"<absent>"));
}

TEST_F(ProfileContract, DeletingAMissingSectionChangesNothing) {
    const std::string before = Utf16Le(L"[a]\r\nk=1\r\n");
    WriteBytes(file_, before);
    // Not an error: deleting a vanished saved crosshair succeeds silently.
    EXPECT_TRUE(ProfileWriteString(L"zz", nullptr, nullptr, file()));
    ProfileWriteString(nullptr, nullptr, nullptr, file());
    EXPECT_TRUE(SameBytes(Bytes(), before));
}

TEST_F(ProfileContract, SectionNamesInFileOrder) {
    WriteUtf16(L"[one]\r\nk=1\r\n[two]\r\n[Três]\r\nk=2\r\n");
    wchar_t buf[64];
    unsigned n = ProfileGetSectionNames(buf, 64, file());
    EXPECT_EQ(13u, n);
    EXPECT_TRUE(SameText(std::wstring(buf, n), std::wstring(L"one\0two\0Três\0", 13)));
    EXPECT_EQ(0, buf[n]);
}

struct NamesRow {
    unsigned size;
    unsigned expectedReturn;
    const wchar_t* expected;  // the first size elements of the buffer ('#' untouched)
};

// What a buffer too small for "one", "two", "three" receives: as many names as
// fit, the last one cut, and always two NULs at the end.
const NamesRow kNamesRows[] = {
    {1, 0, L"\0"},
    {2, 0, L"\0\0"},
    {3, 1, L"o\0\0"},
    {5, 3, L"one\0\0"},
    {6, 4, L"one\0\0\0"},
    {7, 5, L"one\0t\0\0"},
    {9, 7, L"one\0two\0\0"},
    {15, 13, L"one\0two\0three\0\0"},
    {16, 14, L"one\0two\0three\0\0#"},
};

TEST_F(ProfileContract, SectionNamesCutToASmallBuffer) {
    WriteUtf16(L"[one]\r\n[two]\r\n[three]\r\n");
    for (const NamesRow& row : kNamesRows) {
        SCOPED_TRACE(::testing::Message() << "size " << row.size);
        wchar_t buf[32];
        for (wchar_t& c : buf) c = L'#';
        EXPECT_EQ(row.expectedReturn, ProfileGetSectionNames(buf, row.size, file()));
        EXPECT_TRUE(SameText(std::wstring(buf, row.size), std::wstring(row.expected, row.size)));
    }
}

// A section written whole: its keys give way to the new ones in its place,
// values as given (quotes kept, leading blanks dropped); a missing section is
// added at the end. Read whole, a section gives its lines as the file holds them.
TEST_F(ProfileContract, SectionsAreWrittenAndReadWhole) {
    WriteUtf16(L"[a]\r\nk=1\r\n[S]\r\nold=1\r\ngone=2\r\n[b]\r\nj=2\r\n");
    EXPECT_TRUE(ProfileWriteSection(L"s", L"x=1\0y= \"q \"\0z=\0", file()));
    EXPECT_TRUE(ProfileWriteSection(L"new", L"n=\U0001F600\0", file()));
    ProfileWriteString(nullptr, nullptr, nullptr, file());
    EXPECT_TRUE(SameBytes(Bytes(), Utf16Le(L"[a]\r\nk=1\r\n[S]\r\nx=1\r\ny=\"q \"\r\nz=\r\n"
                                           L"[b]\r\nj=2\r\n[new]\r\nn=\U0001F600\r\n")));
    EXPECT_TRUE(SameText(Get(L"s", L"y"), L"q "));
    EXPECT_TRUE(SameText(Get(L"s", L"old"), L"<absent>"));
    wchar_t buf[kBufChars];
    unsigned n = ProfileGetSection(L"S", buf, kBufChars, file());
    EXPECT_TRUE(SameText(std::wstring(buf, n), std::wstring(L"x=1\0y=\"q \"\0z=\0", 14)));
    EXPECT_EQ(0, buf[n]);
    EXPECT_EQ(0u, ProfileGetSection(L"missing", buf, kBufChars, file()));
    EXPECT_EQ(0, buf[0]);
}

TEST_F(ProfileContract, FileWithoutMarkerReadsAsAnsiAndStaysAnsi) {
    WriteBytes(file_, "[s]\r\nk=caf\xE9\r\n");
    EXPECT_TRUE(SameText(Get(L"s", L"k"), L"café"));
    ProfileWriteString(L"s", L"j", L"\xE7", file());
    EXPECT_TRUE(SameBytes(Bytes(), "[s]\r\nk=caf\xE9\r\nj=\xE7\r\n"));
}

TEST_F(ProfileContract, Utf8MarkedFileReadsAsUtf8AndStaysUtf8) {
    WriteBytes(file_, "\xEF\xBB\xBF[s]\r\nk=\xC3\xA9\xE2\x98\x85\r\n");
    EXPECT_TRUE(SameText(Get(L"s", L"k"), L"é★"));
    ProfileWriteString(L"s", L"j", L"ç", file());
    EXPECT_TRUE(SameBytes(Bytes(), "\xEF\xBB\xBF[s]\r\nk=\xC3\xA9\xE2\x98\x85\r\nj=\xC3\xA7\r\n"));
}

TEST_F(ProfileContract, LoneCarriageReturnsAndLineFeedsEndLines) {
    WriteUtf16(L"[s]\rk=1\n\nj=2\r\r\ni=3");
    EXPECT_EQ(1, ProfileGetInt(L"s", L"k", 0, file()));
    EXPECT_EQ(2, ProfileGetInt(L"s", L"j", 0, file()));
    EXPECT_EQ(3, ProfileGetInt(L"s", L"i", 0, file()));
}

TEST_F(ProfileContract, OnlyTheFirstOfTwoLikeNamedSectionsIsRead) {
    WriteUtf16(L"[a]\r\nk=1\r\n[A]\r\nk=2\r\nj=3\r\n");
    EXPECT_EQ(1, ProfileGetInt(L"a", L"k", 0, file()));
    EXPECT_EQ(0, ProfileGetInt(L"a", L"j", 0, file()));
}

class WholeFileChange : public ProfileContract {
protected:
    void SetUp() override {
        ProfileContract::SetUp();
        copy_ = dir_.Path(L"test.ini.tmp");
    }
    const wchar_t* copy() const { return copy_.c_str(); }
    std::wstring copy_;
};

struct CopyRow {
    const char* name;
    bool exists;
    std::string bytes;     // of the file
    std::string expected;  // of the copy
};

TEST_F(WholeFileChange, CopyHoldsTheFileOrAFreshMarker) {
    const std::string utf16 = Utf16Le(L"[a]\r\nk=é\r\n");
    const std::string ansi = "[a]\r\nk=\xE9\r\n";
    const CopyRow rows[] = {
        {"UTF-16 file byte for byte", true, utf16, utf16},
        {"ANSI file byte for byte", true, ansi, ansi},
        {"missing file starts with the marker", false, "", "\xFF\xFE"},
        {"empty file starts with the marker", true, "", "\xFF\xFE"},
    };
    for (const CopyRow& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_TRUE(ProfileRemoveFile(file()));
        if (row.exists) WriteBytes(file_, row.bytes);
        // A copy left from before is overwritten, never read.
        WriteBytes(copy_, "stale copy");
        ASSERT_TRUE(ProfileCopyForChange(file(), copy(), kProfileTryOnce));
        EXPECT_TRUE(SameBytes(ReadBytes(copy_), row.expected));
        EXPECT_TRUE(SameBytes(ReadBytes(file_), row.bytes)) << "the file itself changed";
        EXPECT_EQ(row.exists, FileExists(file_));
    }
}

TEST_F(WholeFileChange, SwapPutsTheCopyInPlaceAndReadsSeeIt) {
    WriteUtf16(L"[s]\r\nk=1\r\nj=old\r\n");
    EXPECT_EQ(1, ProfileGetInt(L"s", L"k", 0, file()));  // kernel32 may now hold the file
    EXPECT_EQ(kProfileReplaceable, ProfileCheckReplaceable(file(), kProfileTryOnce));
    ASSERT_TRUE(ProfileCopyForChange(file(), copy(), kProfileTryOnce));
    ProfileWriteString(L"s", L"k", L"2", copy());
    ProfileWriteString(L"t", L"n", L"3", copy());
    ProfileWriteString(nullptr, nullptr, nullptr, copy());
    EXPECT_TRUE(SameText(Get(L"s", L"k"), L"1")) << "the file changed before the swap";
    ASSERT_TRUE(ProfileReplaceFile(copy(), file(), kProfileTryOnce));
    EXPECT_FALSE(FileExists(copy_));
    EXPECT_TRUE(SameBytes(Bytes(), Utf16Le(L"[s]\r\nk=2\r\nj=old\r\n[t]\r\nn=3\r\n")));
    EXPECT_TRUE(SameText(Get(L"s", L"k"), L"2"));
    EXPECT_TRUE(SameText(Get(L"t", L"n"), L"3"));
}

TEST_F(WholeFileChange, SwapMakesAMissingFile) {
    ASSERT_TRUE(ProfileCopyForChange(file(), copy(), kProfileTryOnce));
    ASSERT_TRUE(ProfileReplaceFile(copy(), file(), kProfileTryOnce));
    EXPECT_TRUE(SameBytes(Bytes(), "\xFF\xFE"));
}

TEST_F(WholeFileChange, ReadOnlyFileIsNotReplaced) {
    const std::string before = Utf16Le(L"[s]\r\nk=1\r\n");
    WriteBytes(file_, before);
    ASSERT_TRUE(conformance::SetReadOnly(file_, true));
    EXPECT_EQ(kProfileReadOnly, ProfileCheckReplaceable(file(), kProfileTryOnce));
    ASSERT_TRUE(ProfileCopyForChange(file(), copy(), kProfileTryOnce));
    ProfileWriteString(L"s", L"k", L"2", copy());
    ProfileWriteString(nullptr, nullptr, nullptr, copy());
    EXPECT_FALSE(ProfileReplaceFile(copy(), file(), kProfileTryOnce));
    ASSERT_TRUE(conformance::SetReadOnly(file_, false));
    EXPECT_TRUE(SameBytes(Bytes(), before));
    EXPECT_TRUE(FileExists(copy_)) << "the caller removes the copy";
}

TEST_F(WholeFileChange, SwapWithoutACopyFailsAndKeepsTheFile) {
    const std::string before = Utf16Le(L"[s]\r\nk=1\r\n");
    WriteBytes(file_, before);
    EXPECT_FALSE(ProfileReplaceFile(copy(), file(), kProfileTryOnce));
    EXPECT_TRUE(SameBytes(Bytes(), before));
}

TEST_F(WholeFileChange, RemovingAMissingFileCountsAsDone) {
    WriteBytes(copy_, "x");
    EXPECT_TRUE(ProfileRemoveFile(copy()));
    EXPECT_FALSE(FileExists(copy_));
    EXPECT_TRUE(ProfileRemoveFile(copy()));
}

}  // namespace
