// Crosshair codes: what the tolerant reader makes of pasted console text, the
// exact export line, and export followed by import.
#include <gtest/gtest.h>

#include <float.h>
#include <locale.h>
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <random>
#include <string>

#include "codes/codes.h"

namespace {

// A base crosshair unlike any built-in, so that every field a text must not
// touch is seen to stay put (offsets included).
const CrosshairSettings kBase = {7.25f, -2.75f, 1.5f, 0, 1.5f, 0, 0, 10, 20, 30, 40, 11, -12};

bool SameFloat(float a, float b) { return memcmp(&a, &b, sizeof a) == 0; }

// Names every field that differs, so a failing row says what went wrong.
::testing::AssertionResult SameCrosshair(const CrosshairSettings& want,
                                         const CrosshairSettings& got) {
    std::string diff;
    char line[160];
#define ZAVIK_CHECK_FLOAT(f)                                                         \
    if (!SameFloat(want.f, got.f)) {                                                 \
        snprintf(line, sizeof line, " " #f ": want %.9g got %.9g;", (double)want.f, \
                 (double)got.f);                                                     \
        diff += line;                                                                \
    }
#define ZAVIK_CHECK_INT(f)                                                                    \
    if (want.f != got.f) {                                                                    \
        snprintf(line, sizeof line, " " #f ": want %d got %d;", (int)want.f, (int)got.f); \
        diff += line;                                                                         \
    }
    ZAVIK_CHECK_FLOAT(size)
    ZAVIK_CHECK_FLOAT(gap)
    ZAVIK_CHECK_FLOAT(thickness)
    ZAVIK_CHECK_INT(outline)
    ZAVIK_CHECK_FLOAT(outlineThickness)
    ZAVIK_CHECK_INT(dot)
    ZAVIK_CHECK_INT(tStyle)
    ZAVIK_CHECK_INT(red)
    ZAVIK_CHECK_INT(green)
    ZAVIK_CHECK_INT(blue)
    ZAVIK_CHECK_INT(alpha)
    ZAVIK_CHECK_INT(offsetX)
    ZAVIK_CHECK_INT(offsetY)
#undef ZAVIK_CHECK_FLOAT
#undef ZAVIK_CHECK_INT
    if (diff.empty()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "crosshair differs:" << diff;
}

std::string Narrow(const wchar_t* text) {
    std::string out;
    for (; *text; ++text) out += (*text < 0x80) ? (char)*text : '?';
    return out;
}

typedef void (*Expectation)(CrosshairSettings*);

struct ParseRow {
    const char* name;
    const wchar_t* text;
    int count;
    Expectation expect;  // applied to kBase; null: the crosshair stays as it was
};

void RunParseRows(const ParseRow* rows, size_t n, const CrosshairSettings& base = kBase) {
    for (size_t i = 0; i < n; ++i) {
        const ParseRow& row = rows[i];
        SCOPED_TRACE(row.name);
        CrosshairSettings want = base;
        if (row.expect) row.expect(&want);
        CrosshairSettings got = base;
        EXPECT_EQ(row.count, ParseCrosshairCode(row.text, &got)) << Narrow(row.text);
        EXPECT_TRUE(SameCrosshair(want, got)) << Narrow(row.text);
    }
}

#define ROWS(rows) rows, sizeof rows / sizeof rows[0]

void SizeTwoAndHalf(CrosshairSettings* c) { c->size = 2.5f; }

TEST(ParseCrosshairCode, SizeReadsHoweverItIsQuotedOrSeparated) {
    const ParseRow rows[] = {
        {"bare", L"cl_crosshairsize 2.5", 1, SizeTwoAndHalf},
        {"capitals", L"CL_CROSSHAIRSIZE 2.5", 1, SizeTwoAndHalf},
        {"mixed case", L"Cl_CrossHairSize 2.5", 1, SizeTwoAndHalf},
        {"straight quotes", L"\"cl_crosshairsize\" \"2.5\"", 1, SizeTwoAndHalf},
        {"typographic quotes", L"\u201Ccl_crosshairsize\u201D \u201C2.5\u201D", 1, SizeTwoAndHalf},
        {"semicolon", L"cl_crosshairsize 2.5;", 1, SizeTwoAndHalf},
        {"quoted with semicolon", L"\"cl_crosshairsize\" \"2.5\";", 1, SizeTwoAndHalf},
        {"semicolon joins", L"cl_crosshairsize;2.5", 1, SizeTwoAndHalf},
        {"parentheses", L"(cl_crosshairsize)(2.5)", 1, SizeTwoAndHalf},
        {"tab", L"cl_crosshairsize\t2.5", 1, SizeTwoAndHalf},
        {"line feed", L"cl_crosshairsize\n2.5", 1, SizeTwoAndHalf},
        {"carriage return", L"cl_crosshairsize\r\n2.5\r\n", 1, SizeTwoAndHalf},
        {"many spaces", L"   cl_crosshairsize      2.5   ", 1, SizeTwoAndHalf},
        {"equals sign joins into one token", L"cl_crosshairsize=2.5", 0, nullptr},
        {"colon joins into one token", L"cl_crosshairsize:2.5", 0, nullptr},
        {"no-break space is not a separator", L"cl_crosshairsize\u00A02.5", 0, nullptr},
        {"comma is not a separator", L"cl_crosshairsize,2.5", 0, nullptr},
    };
    RunParseRows(ROWS(rows));
}

TEST(ParseCrosshairCode, CommandsWithoutValues) {
    const ParseRow rows[] = {
        {"size then gap: size has no value",
         L"cl_crosshairsize cl_crosshairgap 3", 1, [](CrosshairSettings* c) { c->gap = 3.0f; }},
        {"size as the last token", L"cl_crosshairsize", 0, nullptr},
        {"size last after a gap", L"cl_crosshairgap 1 cl_crosshairsize", 1,
         [](CrosshairSettings* c) { c->gap = 1.0f; }},
        {"value starting with cl_ is never a value", L"cl_crosshairsize cl_showfps 1", 0, nullptr},
        {"CL_ in capitals too", L"cl_crosshairsize CL_SHOWFPS", 0, nullptr},
        {"unknown cl_crosshair command yields to the next",
         L"cl_crosshairstyle cl_crosshairsize 3", 1, [](CrosshairSettings* c) { c->size = 3.0f; }},
        {"unknown command's value is skipped", L"cl_crosshairstyle 4 cl_crosshairgap 2", 1,
         [](CrosshairSettings* c) { c->gap = 2.0f; }},
        {"style alone is not recognised", L"\"cl_crosshairstyle\" \"4\"", 0, nullptr},
        {"prefix alone is not a command", L"cl_crosshair 4", 0, nullptr},
        {"longer name is not a command", L"cl_crosshairsizes 4 cl_crosshairsize_x 4", 0, nullptr},
        {"a value that names a command is still a value",
         L"cl_crosshairsize cl_crosshairgap", 0, nullptr},
    };
    RunParseRows(ROWS(rows));
}

TEST(ParseCrosshairCode, NumbersStopWhereTheCLibraryStops) {
    const ParseRow rows[] = {
        {"comma stuck to the value ends the number", L"cl_crosshairsize 2, cl_crosshairgap 1", 2,
         [](CrosshairSettings* c) {
             c->size = 2.0f;
             c->gap = 1.0f;
         }},
        {"decimal comma reads the whole part", L"cl_crosshairsize 2,5", 1,
         [](CrosshairSettings* c) { c->size = 2.0f; }},
        {"slash ends the number", L"cl_crosshairsize 1/2", 1,
         [](CrosshairSettings* c) { c->size = 1.0f; }},
        {"exponent", L"cl_crosshairgap -25e-1", 1, [](CrosshairSettings* c) { c->gap = -2.5f; }},
        {"hexadecimal", L"cl_crosshairthickness 0x1.8p1", 1,
         [](CrosshairSettings* c) { c->thickness = 3.0f; }},
        {"leading plus", L"cl_crosshair_outlinethickness +0.5", 1,
         [](CrosshairSettings* c) { c->outlineThickness = 0.5f; }},
        {"a word reads as 0", L"cl_crosshairsize big", 1,
         [](CrosshairSettings* c) { c->size = 0.0f; }},
        {"not bounded", L"cl_crosshairsize 40 cl_crosshairgap -25.5", 2,
         [](CrosshairSettings* c) {
             c->size = 40.0f;
             c->gap = -25.5f;
         }},
        {"a command given twice takes the last value and counts twice",
         L"cl_crosshairsize 1; cl_crosshairsize 2", 2,
         [](CrosshairSettings* c) { c->size = 2.0f; }},
        {"huge value becomes infinity", L"cl_crosshairsize 1e39", 1,
         [](CrosshairSettings* c) { c->size = INFINITY; }},
        {"infinity", L"cl_crosshairgap -INF", 1, [](CrosshairSettings* c) { c->gap = -INFINITY; }},
    };
    RunParseRows(ROWS(rows));
}

TEST(ParseCrosshairCode, NaNIsStoredAsItComes) {
    CrosshairSettings got = kBase;
    EXPECT_EQ(2, ParseCrosshairCode(L"cl_crosshairsize nan cl_crosshairthickness NAN(123)", &got));
    EXPECT_TRUE(isnan(got.size));
    EXPECT_TRUE(isnan(got.thickness));
    EXPECT_EQ(kBase.gap, got.gap);
}

struct FlagRow {
    const wchar_t* value;
    int32_t want;
};

TEST(ParseCrosshairCode, FlagsAreOnForTrueOrAnyNonZeroNumber) {
    const FlagRow rows[] = {
        {L"1", 1},    {L"2", 1},     {L"-1", 1},     {L"0.5", 1},    {L"TRUE", 1},
        {L"True", 1}, {L"nan", 1},   {L"inf", 1},    {L"1e-300", 1}, {L"0x1", 1},
        {L"0", 0},    {L"0.0", 0},   {L"-0", 0},     {L"false", 0},  {L"yes", 0},
        {L"on", 0},   {L"truex", 0}, {L"1e-400", 0},
    };
    const wchar_t* commands[] = {L"cl_crosshairdot", L"cl_crosshair_t",
                                 L"cl_crosshair_drawoutline"};
    for (const FlagRow& row : rows) {
        for (const wchar_t* command : commands) {
            std::wstring text = std::wstring(command) + L" \"" + row.value + L"\"";
            SCOPED_TRACE(Narrow(text.c_str()));
            // Start from the opposite state so that "unchanged" cannot pass.
            CrosshairSettings got = kBase;
            int32_t before = row.want ? 0 : 7;
            got.dot = got.tStyle = got.outline = before;
            EXPECT_EQ(1, ParseCrosshairCode(text.c_str(), &got));
            int32_t field = command == commands[0] ? got.dot
                            : command == commands[1] ? got.tStyle
                                                     : got.outline;
            EXPECT_EQ(row.want, field);
        }
    }
}

struct ByteRow {
    const wchar_t* value;
    int want;
};

TEST(ParseCrosshairCode, BytesTruncateThenClamp) {
    const ByteRow rows[] = {
        {L"127.9", 127}, {L"300", 255},   {L"-20", 0},     {L"255.99", 255}, {L"0.99", 0},
        {L"-0.5", 0},    {L"word", 0},    {L"0x10", 16},   {L"1e39", 255},   {L"1e400", 255},
        {L"-1e400", 0},  {L"inf", 255},   {L"-inf", 0},    {L"nan", 0},      {L"-nan", 0},
        {L"64,9", 64},   {L"99999999999999999999", 255},   {L"-99999999999999999999", 0},
    };
    const wchar_t* commands[] = {L"cl_crosshairalpha", L"cl_crosshaircolor_r",
                                 L"cl_crosshaircolor_g", L"cl_crosshaircolor_b"};
    for (const ByteRow& row : rows) {
        for (const wchar_t* command : commands) {
            std::wstring text = std::wstring(command) + L" " + row.value;
            SCOPED_TRACE(Narrow(text.c_str()));
            CrosshairSettings got = kBase;
            EXPECT_EQ(1, ParseCrosshairCode(text.c_str(), &got));
            int field = command == commands[0]   ? got.alpha
                        : command == commands[1] ? got.red
                        : command == commands[2] ? got.green
                                                 : got.blue;
            EXPECT_EQ(row.want, field);
        }
    }
}

void Rgb(CrosshairSettings* c, int r, int g, int b) {
    c->red = (uint8_t)r;
    c->green = (uint8_t)g;
    c->blue = (uint8_t)b;
}

TEST(ParseCrosshairCode, ColourChoiceAndChannels) {
    const ParseRow rows[] = {
        {"choice 0", L"cl_crosshaircolor 0", 1, [](CrosshairSettings* c) { Rgb(c, 250, 50, 50); }},
        {"choice 1", L"cl_crosshaircolor 1", 1, [](CrosshairSettings* c) { Rgb(c, 50, 250, 50); }},
        {"choice 2", L"cl_crosshaircolor 2", 1, [](CrosshairSettings* c) { Rgb(c, 250, 250, 50); }},
        {"choice 3", L"cl_crosshaircolor 3", 1, [](CrosshairSettings* c) { Rgb(c, 50, 50, 250); }},
        {"choice 4", L"cl_crosshaircolor 4", 1, [](CrosshairSettings* c) { Rgb(c, 50, 250, 250); }},
        {"choice 5 keeps the colour", L"cl_crosshaircolor 5", 1, nullptr},
        {"choice 4.9 is row 4", L"cl_crosshaircolor 4.9", 1,
         [](CrosshairSettings* c) { Rgb(c, 50, 250, 250); }},
        {"choice -0.5 truncates to row 0", L"cl_crosshaircolor -0.5", 1,
         [](CrosshairSettings* c) { Rgb(c, 250, 50, 50); }},
        {"choice 7 alone counts and keeps the colour", L"cl_crosshaircolor 7", 1, nullptr},
        {"choice -1", L"cl_crosshaircolor -1", 1, nullptr},
        {"choice hexadecimal 3", L"cl_crosshaircolor 0x3", 1,
         [](CrosshairSettings* c) { Rgb(c, 50, 50, 250); }},
        {"choice nan", L"cl_crosshaircolor nan", 1, nullptr},
        {"choice inf", L"cl_crosshaircolor inf", 1, nullptr},
        {"choice huge", L"cl_crosshaircolor 1e300", 1, nullptr},
        {"choice huge negative", L"cl_crosshaircolor -1e300", 1, nullptr},
        {"choice 1 then red 10", L"cl_crosshaircolor 1; cl_crosshaircolor_r 10", 2,
         [](CrosshairSettings* c) { Rgb(c, 50, 250, 50); }},
        {"red 10 then choice 1", L"cl_crosshaircolor_r 10; cl_crosshaircolor 1", 2,
         [](CrosshairSettings* c) { Rgb(c, 50, 250, 50); }},
        {"choice 5 and red 10", L"cl_crosshaircolor 5; cl_crosshaircolor_r 10", 2,
         [](CrosshairSettings* c) { c->red = 10; }},
        {"the last choice wins", L"cl_crosshaircolor 1 cl_crosshaircolor 5 cl_crosshaircolor_g 9", 3,
         [](CrosshairSettings* c) { c->green = 9; }},
        {"all three channels", L"cl_crosshaircolor_b 3 cl_crosshaircolor_g 2 cl_crosshaircolor_r 1",
         3, [](CrosshairSettings* c) { Rgb(c, 1, 2, 3); }},
        {"the choice never sets alpha", L"cl_crosshairalpha 77 cl_crosshaircolor 2", 2,
         [](CrosshairSettings* c) {
             c->alpha = 77;
             Rgb(c, 250, 250, 50);
         }},
        {"alpha 300", L"cl_crosshairalpha 300", 1, [](CrosshairSettings* c) { c->alpha = 255; }},
        {"alpha word counts and gives 0", L"cl_crosshairalpha opaque", 1,
         [](CrosshairSettings* c) { c->alpha = 0; }},
    };
    RunParseRows(ROWS(rows));
}

TEST(ParseCrosshairCode, TextAroundTheCommands) {
    const ParseRow rows[] = {
        {"one ordinary word", L"ola", 0, nullptr},
        {"empty text", L"", 0, nullptr},
        {"only separators", L" \t\r\n\"();\u201C\u201D", 0, nullptr},
        {"bind line with words before", L"bind \"mouse4\" \"cl_crosshairsize 5; say pronto\"", 1,
         [](CrosshairSettings* c) { c->size = 5.0f; }},
        {"toggle bind reads its first value", L"bind x \"toggle cl_crosshairsize 5 1\"", 1,
         [](CrosshairSettings* c) { c->size = 5.0f; }},
        {"alias with semicolons",
         L"alias \"+mira\" \"cl_crosshairgap -2;cl_crosshairdot 1;cl_crosshairalpha 200\"", 3,
         [](CrosshairSettings* c) {
             c->gap = -2.0f;
             c->dot = 1;
             c->alpha = 200;
         }},
        {"offsets are never imported", L"cl_crosshairx 5 cl_crosshairy 6 posicao_x 7", 0, nullptr},
        {"other console commands", L"sensitivity 2; cl_showfps 1; volume 0.2", 0, nullptr},
    };
    RunParseRows(ROWS(rows));
}

TEST(ParseCrosshairCode, CommentsRunToTheEndOfTheLine) {
    const ParseRow rows[] = {
        {"commented-out command", L"//cl_crosshairsize 9\ncl_crosshairgap 1", 1,
         [](CrosshairSettings* c) { c->gap = 1.0f; }},
        {"commented-out command after spaces", L"  // cl_crosshairsize 9", 0, nullptr},
        {"comment naming a command does not take the next word",
         L"cl_crosshairsize 3 // cl_crosshaircolor and the others\ncl_crosshairgap 1", 2,
         [](CrosshairSettings* c) {
             c->size = 3.0f;
             c->gap = 1.0f;
         }},
        {"comment line before the command",
         L"// use cl_crosshaircolor to pick\r\ncl_crosshairalpha 99", 1,
         [](CrosshairSettings* c) { c->alpha = 99; }},
        {"carriage return ends a comment", L"//x cl_crosshairsize 9\rcl_crosshairsize 4", 1,
         [](CrosshairSettings* c) { c->size = 4.0f; }},
        {"comment stuck to a value", L"cl_crosshairsize 4//four\ncl_crosshairgap 2", 2,
         [](CrosshairSettings* c) {
             c->size = 4.0f;
             c->gap = 2.0f;
         }},
        {"comment between command and value", L"cl_crosshairsize // size is\n 4", 1,
         [](CrosshairSettings* c) { c->size = 4.0f; }},
        {"comment inside quotes still a comment",
         L"bind z \"cl_crosshairsize 2 //\" cl_crosshairgap 7\ncl_crosshairdot 1", 2,
         [](CrosshairSettings* c) {
             c->size = 2.0f;
             c->dot = 1;
         }},
        {"commented-out bind", L"//bind \"z\" \"toggle cl_crosshairsize 2.5 999\"", 0, nullptr},
        {"a single slash is no comment", L"cl_crosshairsize /2 cl_crosshairgap 3", 2,
         [](CrosshairSettings* c) {
             c->size = 0.0f;
             c->gap = 3.0f;
         }},
        {"three slashes", L"///cl_crosshairsize 9\ncl_crosshairsize 1", 1,
         [](CrosshairSettings* c) { c->size = 1.0f; }},
        {"comment at the very end", L"cl_crosshairsize 1 //", 1,
         [](CrosshairSettings* c) { c->size = 1.0f; }},
    };
    RunParseRows(ROWS(rows));
}

std::wstring Filler(int words) {
    std::wstring text;
    for (int i = 0; i < words; ++i) text += L"palavra ";
    return text;
}

TEST(ParseCrosshairCode, OnlyTheFirst512TokensAreRead) {
    // Tokens 511 and 512 are a command and its value; 513 on are ignored.
    std::wstring inside = Filler(510) + L"cl_crosshairsize 4 cl_crosshairgap 9 " + Filler(86);
    CrosshairSettings got = kBase;
    EXPECT_EQ(1, ParseCrosshairCode(inside.c_str(), &got));
    CrosshairSettings want = kBase;
    want.size = 4.0f;
    EXPECT_TRUE(SameCrosshair(want, got));

    // The 512th token is a command whose value would be the 513th.
    std::wstring cut = Filler(511) + L"cl_crosshairsize 4 " + Filler(87);
    got = kBase;
    EXPECT_EQ(0, ParseCrosshairCode(cut.c_str(), &got));
    EXPECT_TRUE(SameCrosshair(kBase, got));

    // Commented words are not tokens: they do not use up the table.
    std::wstring commented = L"// " + Filler(600) + L"\n" + Filler(510) +
                             L"cl_crosshairsize 4 cl_crosshairgap 9";
    got = kBase;
    EXPECT_EQ(1, ParseCrosshairCode(commented.c_str(), &got));
    EXPECT_TRUE(SameCrosshair(want, got));
}

TEST(ParseCrosshairCode, NullArgumentsChangeNothing) {
    CrosshairSettings got = kBase;
    EXPECT_EQ(0, ParseCrosshairCode(nullptr, &got));
    EXPECT_TRUE(SameCrosshair(kBase, got));
    EXPECT_EQ(0, ParseCrosshairCode(L"cl_crosshairsize 2", nullptr));
}

// The program reads numbers the same whatever locale the process runs in.
class CommaDecimalLocale : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = setlocale(LC_ALL, nullptr);
        const char* names[] = {"pt_BR.UTF-8", "pt_BR.utf8", "de_DE.UTF-8", "de_DE.utf8"};
        for (const char* name : names) {
            if (setlocale(LC_ALL, name)) return;
        }
        GTEST_SKIP() << "no comma-decimal locale installed (localedef -i pt_BR -f UTF-8 pt_BR.UTF-8)";
    }
    void TearDown() override { setlocale(LC_ALL, saved_.c_str()); }
    std::string saved_;
};

TEST_F(CommaDecimalLocale, ParseIgnoresTheProcessLocale) {
    ASSERT_EQ(2.5, strtod("2,5", nullptr)) << "the locale should use a decimal comma";
    const ParseRow rows[] = {
        {"point", L"cl_crosshairsize 2.5", 1, SizeTwoAndHalf},
        {"comma still ends the number", L"cl_crosshairsize 2,5", 1,
         [](CrosshairSettings* c) { c->size = 2.0f; }},
        {"byte with a point", L"cl_crosshairalpha 99.9", 1,
         [](CrosshairSettings* c) { c->alpha = 99; }},
        {"choice with a comma", L"cl_crosshaircolor 4,9", 1,
         [](CrosshairSettings* c) { Rgb(c, 50, 250, 250); }},
    };
    RunParseRows(ROWS(rows));
}

// ---- Export ----

std::wstring ExportLine(const CrosshairSettings& c) {
    wchar_t buf[kCodeLineChars];
    int length = FormatCrosshairCode(c, buf, kCodeLineChars);
    EXPECT_EQ((size_t)length, wcslen(buf));
    return buf;
}

// The value text of one command in an exported line.
std::wstring ValueOf(const std::wstring& line, const wchar_t* command) {
    std::wstring key = std::wstring(L"\"") + command + L"\" \"";
    size_t at = line.find(key);
    if (at == std::wstring::npos) return L"<missing>";
    at += key.size();
    return line.substr(at, line.find(L'"', at) - at);
}

TEST(FormatCrosshairCode, FirstBuiltinIsTheExactLine) {
    const wchar_t* want =
        L"\"cl_crosshair_drawoutline\" \"true\"; \"cl_crosshair_outlinethickness\" \"1.000000\"; "
        L"\"cl_crosshairalpha\" \"255\"; \"cl_crosshaircolor\" \"5\"; \"cl_crosshaircolor_r\" "
        L"\"255\"; \"cl_crosshaircolor_g\" \"255\"; \"cl_crosshaircolor_b\" \"255\"; "
        L"\"cl_crosshairdot\" \"false\"; \"cl_crosshair_t\" \"false\"; \"cl_crosshairgap\" "
        L"\"-3.000000\"; \"cl_crosshairsize\" \"-1.500000\"; \"cl_crosshairstyle\" \"4\"; "
        L"\"cl_crosshairthickness\" \"1.000000\"";
    EXPECT_EQ(std::wstring(want), ExportLine(kBuiltinPresets[0].settings));
}

struct FloatTextRow {
    float value;
    const wchar_t* want;
};

TEST(FormatCrosshairCode, FloatsHaveSixDecimalsOfTheirExactValue) {
    const FloatTextRow rows[] = {
        {3.5f, L"3.500000"},   {-1.5f, L"-1.500000"},  {0.0f, L"0.000000"},
        {-0.0f, L"-0.000000"}, {0.1f, L"0.100000"},    {0.3f, L"0.300000"},
        {1e-7f, L"0.000000"},  {2.0000005f, L"2.000000"}, {1234.5678f, L"1234.567749"},
        {40.0f, L"40.000000"}, {16777216.0f, L"16777216.000000"},
    };
    for (const FloatTextRow& row : rows) {
        SCOPED_TRACE(Narrow(row.want));
        CrosshairSettings c = kBase;
        c.size = c.gap = c.thickness = c.outlineThickness = row.value;
        std::wstring line = ExportLine(c);
        EXPECT_EQ(row.want, ValueOf(line, L"cl_crosshairsize"));
        EXPECT_EQ(row.want, ValueOf(line, L"cl_crosshairgap"));
        EXPECT_EQ(row.want, ValueOf(line, L"cl_crosshairthickness"));
        EXPECT_EQ(row.want, ValueOf(line, L"cl_crosshair_outlinethickness"));
    }
}

TEST(FormatCrosshairCode, FlagsAndBytes) {
    CrosshairSettings c = kBase;
    c.outline = 7;
    c.dot = -1;
    c.tStyle = 0;
    c.red = 0;
    c.green = 7;
    c.blue = 128;
    c.alpha = 0;
    std::wstring line = ExportLine(c);
    EXPECT_EQ(L"true", ValueOf(line, L"cl_crosshair_drawoutline"));
    EXPECT_EQ(L"true", ValueOf(line, L"cl_crosshairdot"));
    EXPECT_EQ(L"false", ValueOf(line, L"cl_crosshair_t"));
    EXPECT_EQ(L"0", ValueOf(line, L"cl_crosshaircolor_r"));
    EXPECT_EQ(L"7", ValueOf(line, L"cl_crosshaircolor_g"));
    EXPECT_EQ(L"128", ValueOf(line, L"cl_crosshaircolor_b"));
    EXPECT_EQ(L"0", ValueOf(line, L"cl_crosshairalpha"));
    EXPECT_EQ(L"5", ValueOf(line, L"cl_crosshaircolor"));
    EXPECT_EQ(L"4", ValueOf(line, L"cl_crosshairstyle"));
}

TEST(FormatCrosshairCode, ExtremeFloatsFitAndReadBack) {
    const float extremes[] = {FLT_MAX, -FLT_MAX, INFINITY, -INFINITY, NAN, FLT_MIN, -FLT_TRUE_MIN};
    for (float v : extremes) {
        SCOPED_TRACE(v);
        CrosshairSettings c = kBase;
        c.size = c.gap = c.thickness = c.outlineThickness = v;
        wchar_t buf[kCodeLineChars];
        int length = FormatCrosshairCode(c, buf, kCodeLineChars);
        ASSERT_LT(length, kCodeLineChars - 1);
        ASSERT_EQ(L'"', buf[length - 1]) << "the line was cut";
        CrosshairSettings back = kBase;
        EXPECT_EQ(12, ParseCrosshairCode(buf, &back));
        if (isnan(v)) {
            EXPECT_TRUE(isnan(back.size));
        } else if (isinf(v)) {
            EXPECT_EQ(v, back.size);
        } else {
            EXPECT_EQ((float)strtod(Narrow(ValueOf(buf, L"cl_crosshairsize").c_str()).c_str(),
                                    nullptr),
                      back.size);
        }
    }
}

TEST(FormatCrosshairCode, ShortBufferIsCutAndTerminated) {
    wchar_t buf[16];
    wmemset(buf, L'x', 16);
    FormatCrosshairCode(kBase, buf, 16);
    EXPECT_EQ(15u, wcslen(buf));
}

// The float a six-decimal text reads back as.
float SixDecimalFloat(float v) {
    char text[64];
    snprintf(text, sizeof text, "%.6f", (double)v);
    return (float)strtod(text, nullptr);
}

float RandomFloat(std::mt19937& rng, bool halfSteps) {
    if (halfSteps) return (float)(std::uniform_int_distribution<int>(-40, 40)(rng)) * 0.5f;
    switch (rng() % 3) {
        case 0: return std::uniform_real_distribution<float>(-10.0f, 10.0f)(rng);
        case 1: return std::uniform_real_distribution<float>(-1e6f, 1e6f)(rng);
        default: return std::uniform_real_distribution<float>(-1e-3f, 1e-3f)(rng);
    }
}

TEST(CrosshairCodeRoundTrip, ExportThenImportGivesEveryFieldButOffsets) {
    std::mt19937 rng(20240611u);
    for (int i = 0; i < 2000; ++i) {
        bool halfSteps = i % 2 == 0;
        CrosshairSettings sent;
        sent.size = RandomFloat(rng, halfSteps);
        sent.gap = RandomFloat(rng, halfSteps);
        sent.thickness = RandomFloat(rng, halfSteps);
        sent.outlineThickness = RandomFloat(rng, halfSteps);
        sent.outline = (int32_t)(rng() % 3 == 0 ? rng() : rng() % 2);
        sent.dot = (int32_t)(rng() % 2);
        sent.tStyle = (int32_t)(rng() % 3 == 0 ? rng() : rng() % 2);
        sent.red = (uint8_t)rng();
        sent.green = (uint8_t)rng();
        sent.blue = (uint8_t)rng();
        sent.alpha = (uint8_t)rng();
        sent.offsetX = (int32_t)(rng() % 201) - 100;
        sent.offsetY = (int32_t)(rng() % 201) - 100;

        CrosshairSettings want = sent;
        want.size = SixDecimalFloat(sent.size);
        want.gap = SixDecimalFloat(sent.gap);
        want.thickness = SixDecimalFloat(sent.thickness);
        want.outlineThickness = SixDecimalFloat(sent.outlineThickness);
        want.outline = sent.outline != 0;
        want.dot = sent.dot != 0;
        want.tStyle = sent.tStyle != 0;
        // The receiver keeps its own offsets.
        want.offsetX = kBase.offsetX;
        want.offsetY = kBase.offsetY;
        if (halfSteps) {
            EXPECT_EQ(sent.size, want.size);
            EXPECT_EQ(sent.outlineThickness, want.outlineThickness);
        }

        CrosshairSettings got = kBase;
        std::wstring line = ExportLine(sent);
        SCOPED_TRACE(Narrow(line.c_str()));
        ASSERT_EQ(12, ParseCrosshairCode(line.c_str(), &got));
        ASSERT_TRUE(SameCrosshair(want, got));
    }
}

}  // namespace
