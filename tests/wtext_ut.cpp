// Bounded formatting, copies, ASCII-only case folding and C-locale numbers.
#include <gtest/gtest.h>

#include <float.h>
#include <math.h>

#include <string>

#include "base/wtext.h"

namespace {

TEST(FormatW, CutsAndAlwaysTerminates) {
    struct Row {
        const char* name;
        size_t count;
        const wchar_t* expected;
    };
    const Row rows[] = {
        {"fits with room", 16, L"Ctrl + O"},
        {"fits exactly with the terminator", 9, L"Ctrl + O"},
        {"one element short", 8, L"Ctrl + "},
        {"only the terminator", 1, L""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        wchar_t buf[17];
        wmemset(buf, L'#', 17);
        int n = FormatW(buf, row.count, L"%ls + %lc", L"Ctrl", L'O');
        EXPECT_EQ(std::wstring(row.expected), std::wstring(buf));
        EXPECT_EQ((int)wcslen(row.expected), n);
        EXPECT_EQ(L'#', buf[row.count]) << "wrote past the count";
    }
}

TEST(FormatW, LongerThanItsScratchIsCutNotLost) {
    std::wstring big(5000, L'x');
    wchar_t buf[64];
    FormatW(buf, 64, L"%ls", big.c_str());
    EXPECT_EQ(std::wstring(63, L'x'), std::wstring(buf));
}

TEST(ContainsNoCase, MatchesAnywhereWithoutAsciiCase) {
    struct Row {
        const wchar_t* text;
        const wchar_t* needle;
        bool found;
    };
    const Row rows[] = {
        {L"ZavikCrosshair.exe --BANDEJA", L"--bandeja", true},
        {L"x_GtaProcess_y.exe", L"gtaprocess", true},
        {L"--bandej", L"--bandeja", false},  // the text ends inside the needle
        {L"abc", L"", true},                 // an empty needle is found in any text
        {L"", L"", false},                   // nothing is found in an empty text
        {L"ÇÃO", L"ção", false},             // only ASCII letters fold
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "needle of " << wcslen(row.needle) << " in text of "
                                        << wcslen(row.text));
        EXPECT_EQ(row.found, ContainsNoCase(row.text, row.needle));
    }
}

struct NumberRow {
    const char* name;
    const wchar_t* text;
    double value;
    size_t used;  // characters consumed
};

TEST(ParseDoubleC, ReadsTheCLibraryForms) {
    const NumberRow rows[] = {
        {"plain", L"2.5", 2.5, 3},
        {"blanks first", L"  \t-1.5x", -1.5, 7},
        {"comma ends the number", L"2,5", 2.0, 1},
        {"exponent", L"1e3;", 1000.0, 3},
        {"hexadecimal", L"0x1p3", 8.0, 5},
        {"infinity", L"inf", INFINITY, 3},
        {"not a number", L"abc", 0.0, 0},
        {"sign alone", L"-", 0.0, 0},
        {"two zeros before x stay decimal", L"00x1p3", 0.0, 2},
        {"negative zero", L"-0", -0.0, 2},
    };
    for (const NumberRow& row : rows) {
        SCOPED_TRACE(row.name);
        const wchar_t* end = nullptr;
        double v = ParseDoubleC(row.text, &end);
        EXPECT_EQ(row.value, v);
        EXPECT_EQ(signbit(row.value), signbit(v));
        EXPECT_EQ(row.used, (size_t)(end - row.text));
    }
}

TEST(ParseDoubleC, LongRunOfLeadingZerosKeepsTheDigitsAfterIt) {
    std::wstring text = L"-" + std::wstring(600, L'0') + L"5.25 rest";
    const wchar_t* end = nullptr;
    EXPECT_EQ(-5.25, ParseDoubleC(text.c_str(), &end));
    EXPECT_EQ(text.size() - 5, (size_t)(end - text.c_str()));
}

TEST(ParseDoubleC, NanIsReadAsNan) { EXPECT_TRUE(isnan(ParseDoubleC(L"nan", nullptr))); }

TEST(NarrowToFloat, BeyondTheFloatRangeBecomesInfinity) {
    EXPECT_EQ(INFINITY, NarrowToFloat(1e39));
    EXPECT_EQ(-INFINITY, NarrowToFloat(-1e39));
    EXPECT_EQ(FLT_MAX, NarrowToFloat((double)FLT_MAX * (1.0 + 1e-9)));
    EXPECT_EQ(2.5f, NarrowToFloat(2.5));
    EXPECT_TRUE(isnan(NarrowToFloat(NAN)));
}

}  // namespace
