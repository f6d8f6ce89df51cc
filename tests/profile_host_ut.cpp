// The host's own private-profile implementation beyond the shared contract:
// how it rewrites files (as Wine 8 does), rarer encodings, and that no file
// content, however broken or large, makes it crash or read out of bounds.
#include <stdint.h>

#include <chrono>
#include <random>
#include <string>

#include "conformance/conformance.h"
#include "storage/profile.h"

namespace {

using conformance::ReadBytes;
using conformance::SameBytes;
using conformance::SameText;
using conformance::TempDir;
using conformance::Utf16Le;
using conformance::WriteBytes;

class HostProfile : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.ok());
        file_ = dir_.Path(L"host.ini");
    }
    const wchar_t* file() const { return file_.c_str(); }
    std::wstring Get(const wchar_t* section, const wchar_t* key, unsigned size = 64) {
        wchar_t buf[64];
        ProfileGetString(section, key, L"<absent>", buf, size, file());
        return buf;
    }
    TempDir dir_;
    std::wstring file_;
};

TEST_F(HostProfile, ARewriteDropsBlankLinesAndTidiesKeys) {
    WriteBytes(file_, Utf16Le(L"; top\r\n\r\n[a]\r\n\r\n; c\r\nk = 1 \r\nnoeq\r\n\r\n[b]\r\nx=2\r\n"));
    ProfileWriteString(L"a", L"n", L"3", file());
    EXPECT_TRUE(SameBytes(ReadBytes(file_),
                          Utf16Le(L"; top\r\n[a]\r\n; c\r\nk=1\r\nnoeq\r\nn=3\r\n[b]\r\nx=2\r\n")));
}

TEST_F(HostProfile, WritingTheSameValueLeavesTheBytesAlone) {
    const std::string before = Utf16Le(L"[a]\r\n  k  =  1  \r\n\r\n");
    WriteBytes(file_, before);
    EXPECT_TRUE(ProfileWriteString(L"a", L"k", L"  1", file()));
    EXPECT_TRUE(SameBytes(ReadBytes(file_), before));
}

TEST_F(HostProfile, NewNamesKeepTrailingBlanksAndLoseLeadingOnes) {
    CreateUtf16File(file());
    ProfileWriteString(L" Sec  ", L"  key  ", L"  val  ", file());
    EXPECT_TRUE(SameBytes(ReadBytes(file_), Utf16Le(L"[Sec  ]\r\nkey  =val  \r\n")));
    EXPECT_TRUE(SameText(Get(L"sec", L"key"), L"val"));
}

TEST_F(HostProfile, OnlyAsciiLettersFoldTheirCase) {
    WriteBytes(file_, Utf16Le(L"[Padrão]\r\nk=1\r\n"));
    EXPECT_EQ(1, ProfileGetInt(L"PADRãO", L"K", 0, file()));
    EXPECT_EQ(0, ProfileGetInt(L"PADRÃO", L"k", 0, file()));
}

TEST_F(HostProfile, OnlyTheseBlanksAreTrimmed) {
    WriteBytes(file_, Utf16Le(L"[s]\r\na=\x1A" L"1\x0B\r\nb=\x00A0" L"2\r\nc=\x3000" L"3\r\n"));
    EXPECT_TRUE(SameText(Get(L"s", L"a"), L"1"));
    EXPECT_TRUE(SameText(Get(L"s", L"b"), L"\x00A0" L"2"));
    EXPECT_TRUE(SameText(Get(L"s", L"c"), L"\x3000" L"3"));
}

TEST_F(HostProfile, QuotedValueInAnExactBufferLosesOneMore) {
    WriteBytes(file_, Utf16Le(L"[s]\r\nk=\"abc\"\r\n"));
    EXPECT_TRUE(SameText(Get(L"s", L"k", 4), L"ab"));
}

TEST_F(HostProfile, DefaultLosesTrailingSpaces) {
    wchar_t buf[16];
    EXPECT_EQ(2u, ProfileGetString(L"s", L"k", L"ab  ", buf, 16, file()));
    EXPECT_TRUE(SameText(buf, L"ab"));
}

TEST_F(HostProfile, EmptyHeaderVanishesOnRewrite) {
    WriteBytes(file_, Utf16Le(L"[]\r\na=1\r\n[x]\r\nb=2\r\n"));
    ProfileWriteString(L"x", L"c", L"3", file());
    EXPECT_TRUE(SameBytes(ReadBytes(file_), Utf16Le(L"a=1\r\n[x]\r\nb=2\r\nc=3\r\n")));
}

TEST_F(HostProfile, DeletingASectionMatchesTheNameAsGiven) {
    const std::string before = Utf16Le(L"[a]\r\nk=1\r\n[A]\r\nk=3\r\n");
    WriteBytes(file_, before);
    ProfileWriteString(L" a ", nullptr, nullptr, file());
    EXPECT_TRUE(SameBytes(ReadBytes(file_), before));
    ProfileWriteString(L"a", nullptr, nullptr, file());
    EXPECT_TRUE(SameBytes(ReadBytes(file_), Utf16Le(L"[A]\r\nk=3\r\n")));
}

TEST_F(HostProfile, NullValueDeletesOneKey) {
    WriteBytes(file_, Utf16Le(L"[a]\r\nk=1\r\n[A]\r\nj=1\r\n"));
    ProfileWriteString(L"a", L"j", nullptr, file());
    EXPECT_TRUE(SameBytes(ReadBytes(file_), Utf16Le(L"[a]\r\nk=1\r\n[A]\r\n")));
}

TEST_F(HostProfile, NullKeyListsTheKeysWithValues) {
    WriteBytes(file_, Utf16Le(L"[a]\r\nk=1\r\n;c=2\r\nnoeq\r\nj=\r\n"));
    wchar_t buf[32];
    EXPECT_EQ(4u, ProfileGetString(L"a", nullptr, L"D", buf, 32, file()));
    EXPECT_TRUE(SameText(std::wstring(buf, 5), std::wstring(L"k\0j\0\0", 5)));
    EXPECT_EQ(2u, ProfileGetString(L"a", nullptr, L"D", buf, 4, file()));
    EXPECT_TRUE(SameText(std::wstring(buf, 3), std::wstring(L"k\0\0", 3)));
}

TEST_F(HostProfile, BigEndianFileStaysBigEndian) {
    WriteBytes(file_, std::string("\xFE\xFF\0[\0s\0]\0\n\0k\0=\0" "7", 16));
    EXPECT_EQ(7, ProfileGetInt(L"s", L"k", 0, file()));
    ProfileWriteString(L"s", L"j", L"1", file());
    EXPECT_TRUE(SameBytes(ReadBytes(file_),
                          std::string("\xFE\xFF\0[\0s\0]\0\r\0\n\0k\0=\0" "7\0\r\0\n\0j\0=\0" "1\0\r\0\n",
                                      32)));
}

TEST_F(HostProfile, OddByteCountReadsTheLastByteAsACharacter) {
    WriteBytes(file_, std::string("\xFF\xFE[\0s\0]\0\n\0k\0=\0" "1\0" "2\0" "3", 19));
    EXPECT_EQ(123, ProfileGetInt(L"s", L"k", 0, file()));
}

TEST_F(HostProfile, NulInsideANameOrValueEndsIt) {
    WriteBytes(file_, std::string("\xFF\xFE[\0s\0]\0\n\0k\0\0\0x\0=\0" "1\0\0\0" "2\0", 24));
    EXPECT_TRUE(SameText(Get(L"s", L"k"), L"1"));
}

TEST_F(HostProfile, SurrogatesPassThrough) {
    WriteBytes(file_, std::string("\xFF\xFE[\0s\0]\0\n\0k\0=\0\x3D\xD8\x00\xDE\x00\xD8x\0", 22));
    ProfileWriteString(L"s", L"j", L"1", file());
    EXPECT_TRUE(SameBytes(ReadBytes(file_),
                          std::string("\xFF\xFE[\0s\0]\0\r\0\n\0k\0=\0\x3D\xD8\x00\xDE\x00\xD8x\0"
                                      "\r\0\n\0j\0=\0" "1\0\r\0\n\0", 38)));
}

TEST_F(HostProfile, AnsiFileUsesWindows1252) {
    WriteBytes(file_, "[s]\r\nk=\xE9\x80\xFF\r\n");
    EXPECT_TRUE(SameText(Get(L"s", L"k"), L"é€ÿ"));
    ProfileWriteString(L"s", L"j", L"ç€★", file());
    EXPECT_TRUE(SameBytes(ReadBytes(file_), "[s]\r\nk=\xE9\x80\xFF\r\nj=\xE7\x80?\r\n"));
}

struct Utf8Row {
    const char* bytes;
    const char32_t* expected;
};

// What Wine's MultiByteToWideChar makes of broken UTF-8 (checked under Wine).
const Utf8Row kUtf8Rows[] = {
    {"\xC3\xA9\xE2\x98\x85", U"é★"},
    {"\xF0\x9F\x98\x80", U"\x1F600"},
    {"\xF4\x8F\xBF\xBF", U"\x10FFFF"},
    {"\xED\x9F\xBF", U"\xD7FF"},
    {"\xFFx", U"\xFFFDx"},
    {"\x80\x80", U"\xFFFD\xFFFD"},
    {"\xC0\x80", U"\xFFFD\xFFFD"},
    {"\xF5\x80", U"\xFFFD\xFFFD"},
    {"\xE2\x98y", U"\xFFFDy"},
    {"\xE0\x80\x80", U"\xFFFD\xFFFD"},
    {"\xED\xA0\x80", U"\xFFFD\xFFFD"},
    {"\xF0\x80\x80\x80", U"\xFFFD\xFFFD\xFFFD"},
    {"\xF4\x90\x80\x80", U"\xFFFD\xFFFD\xFFFD"},
    {"\xF8\x88\x80\x80\x80", U"\xFFFD\xFFFD\xFFFD\xFFFD\xFFFD"},
    {"a\xE2\x98", U"a\xFFFD"},
    {"a\xE2\x41", U"a\xFFFD"},
};

TEST_F(HostProfile, BrokenUtf8BecomesReplacementCharacters) {
    for (const Utf8Row& row : kUtf8Rows) {
        SCOPED_TRACE(conformance::Describe(row.bytes));
        // The value ends the file so that a cut sequence is cut by the end.
        WriteBytes(file_, std::string("\xEF\xBB\xBF[s]\r\nk=") + row.bytes);
        EXPECT_TRUE(SameText(Get(L"s", L"k"), conformance::Wide(row.expected)));
    }
}

TEST_F(HostProfile, TenThousandSectionsInAFiveMegabyteFile) {
    std::wstring text;
    const std::wstring filler(230, L'x');
    for (int i = 0; i < 10000; ++i)
        text += L"[s" + std::to_wstring(i) + L"]\r\nk=" + std::to_wstring(i) + L"\r\nf=" + filler + L"\r\n";
    WriteBytes(file_, Utf16Le(text));
    ASSERT_GT(ReadBytes(file_).size(), 5u * 1024 * 1024 - 512 * 1024);
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(9999, ProfileGetInt(L"s9999", L"k", 0, file()));
    ProfileWriteString(L"s5000", L"k", L"x", file());
    EXPECT_TRUE(SameText(Get(L"S5000", L"K"), L"x"));
    wchar_t names[64];
    EXPECT_EQ(62u, ProfileGetSectionNames(names, 64, file()));
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, 10.0);
}

// Random bytes of every shape must neither crash nor leave a buffer unterminated.
TEST_F(HostProfile, GarbageFilesAreHarmless) {
    std::mt19937 random(12345);
    const char* const prefixes[] = {"", "\xFF\xFE", "\xFE\xFF", "\xEF\xBB\xBF"};
    const char alphabet[] = "[]=;\r\n \t\"'\0\xFF\xFE\xD8\xDC\x80\xC3k";
    for (int round = 0; round < 400; ++round) {
        SCOPED_TRACE(round);
        std::string bytes = prefixes[round % 4];
        size_t length = random() % 300;
        for (size_t i = 0; i < length; ++i)
            bytes += (round % 2) ? (char)(random() & 0xFF) : alphabet[random() % (sizeof alphabet - 1)];
        WriteBytes(file_, bytes);
        wchar_t buf[8];
        unsigned n = ProfileGetString(L"k", L"k", L"d", buf, 8, file());
        EXPECT_LT(n, 8u);
        EXPECT_EQ(0, buf[n]);
        n = ProfileGetSectionNames(buf, 8, file());
        EXPECT_LT(n, 8u);
        ProfileGetInt(L"k", L"", 0, file());
        ProfileGetString(L"k", nullptr, L"", buf, 8, file());
        ProfileWriteString(L"k", L"k", L"v", file());
        EXPECT_TRUE(SameText(Get(L"k", L"k"), L"v"));
        ProfileWriteString(L"]", nullptr, nullptr, file());
    }
}

}  // namespace
