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
#include <vector>

#include "codes/codes.h"
#include "codes/sharecode.h"

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
    ZAVIK_CHECK_INT(imageScale)
    if (std::wstring(want.image) != got.image) diff += " image differs;";
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
        {"commands ending in 0; are no VALORANT code",
         L"cl_crosshairdot 0; cl_crosshairgap 0;cl_crosshairsize 2;\"cl_crosshair_t\" \"0;\"", 4,
         [](CrosshairSettings* c) {
             c->dot = c->tStyle = 0;
             c->gap = 0.0f;
             c->size = 2.0f;
         }},
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
        {"a link is an ordinary word", L"Fonte: https://site/perfil cl_crosshairsize 3", 1,
         [](CrosshairSettings* c) { c->size = 3.0f; }},
        {"slashes inside a word", L"cl_crosshairsize 2 a//b cl_crosshairgap 1", 2,
         [](CrosshairSettings* c) {
             c->size = 2.0f;
             c->gap = 1.0f;
         }},
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

        // An image never travels in a code, and one read over goes.
        SetCrosshairImage(&sent, L"mira.png");
        CrosshairSettings want = sent;
        SetCrosshairImage(&want, nullptr);
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
        SetCrosshairImage(&got, L"outra.png");
        std::wstring line = ExportLine(sent);
        SCOPED_TRACE(Narrow(line.c_str()));
        ASSERT_EQ(12, ParseCrosshairCode(line.c_str(), &got));
        ASSERT_TRUE(SameCrosshair(want, got));
    }
}

// ---- Share codes and the pixel console variables ----

// The product's mapping of sizes in pixels at height h, written out once here:
// k = h / 480, size = L / k, thickness = T / k, gap = G - (h * 4) / 1200 - 0.5.
void SetPixelSizes(CrosshairSettings* c, float h, float length, float gap, float thickness) {
    float k = h / 480.0f;
    c->size = length / k;
    c->thickness = thickness / k;
    float shift = h * 4.0f;
    shift = shift / 1200.0f;
    float shifted = gap - shift;
    c->gap = shifted - 0.5f;
}

// The outline on, so that a code's "off" shows.
CrosshairSettings OutlinedBase() {
    CrosshairSettings c = kBase;
    c.outline = 1;
    return c;
}

struct LegacyV1Row {
    const char* source;
    const wchar_t* code;
    float size, gap, thickness, outlineThickness;
    int outline, dot, tStyle, red, green, blue, alpha;
};

// Source: the tests of akiver/csgo-sharecode (npm), with the values they state.
TEST(ShareCodes, LegacyV1RealCodes) {
    const LegacyV1Row rows[] = {
        {"csgo-sharecode 1", L"CSGO-Cn37R-YE7vo-pLCAL-aURmZ-z6zkG", 4.6f, -1.3f, 1.2f, 2.0f, 1, 1,
         1, 175, 81, 213, 137},
        {"csgo-sharecode 2, colour 1", L"CSGO-LibdP-VCVEd-ESayK-rSivi-2UBtG", 5.0f, 1.0f, 0.5f,
         1.0f, 0, 0, 0, 50, 250, 50, 200},
        {"csgo-sharecode 5", L"CSGO-WsnnD-eHaMw-QNDf9-oxuDh-ydOUD", 10.0f, -2.2f, 0.6f, 1.0f, 1, 0,
         0, 50, 250, 50, 200},
        {"csgo-sharecode 6", L"CSGO-ZrEjo-yASEP-OAdce-Sf44w-rhK5O", 7.2f, -1.2f, 1.5f, 1.0f, 0, 1,
         1, 232, 88, 227, 136},
        // The first with bytes 14 and 15 all ones: the 13-bit size 819.1.
        {"size beyond a byte", L"CSGO-uCTtb-nFfEP-FEiqw-HDsaU-XwjjD", 819.1f, -1.3f, 1.2f, 2.0f, 1,
         1, 1, 175, 81, 213, 137},
    };
    for (const LegacyV1Row& row : rows) {
        SCOPED_TRACE(row.source);
        CrosshairSettings want = {row.size, row.gap, row.thickness, row.outline,
                                  row.outlineThickness, row.dot, row.tStyle, (uint8_t)row.red,
                                  (uint8_t)row.green, (uint8_t)row.blue, (uint8_t)row.alpha,
                                  kBase.offsetX, kBase.offsetY};
        CrosshairSettings got = OutlinedBase();
        EXPECT_EQ(12, ParseCrosshairCode(row.code, &got));
        EXPECT_TRUE(SameCrosshair(want, got));
    }
}

struct PixelCodeRow {
    const char* source;
    const wchar_t* code;
    int height, style, length, thickness, gap, outlineMode, dot, tStyle;
    uint8_t rgba[4];
};

void RunPixelCodeRows(const PixelCodeRow* rows, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        const PixelCodeRow& row = rows[i];
        SCOPED_TRACE(row.source);
        CrosshairSettings want = OutlinedBase();
        SetPixelSizes(&want, (float)row.height, (float)row.length, (float)row.gap,
                      (float)row.thickness);
        want.outline = row.outlineMode != 0;
        if (row.outlineMode) want.outlineThickness = row.outlineMode == 1 ? 1.0f : 0.5f;
        want.dot = row.dot || row.style == 6;  // 6: Dot Only
        if (row.style == 6) want.size = 0.0f;
        want.tStyle = row.tStyle;
        Rgb(&want, row.rgba[0], row.rgba[1], row.rgba[2]);
        want.alpha = row.rgba[3];
        CrosshairSettings got = OutlinedBase();
        EXPECT_EQ(12, ParseCrosshairCode(row.code, &got));
        EXPECT_TRUE(SameCrosshair(want, got));
    }
}

// Source: the tests of akiver/csgo-sharecode (npm). The v3 outline flag reads
// as the full outline.
const PixelCodeRow kLegacyV3Codes[] = {
    {"v3 1", L"CSGO-MnUCC-89iG7-2cVar-wy7Yn-amCpF", 1080, 6, 8, 3, 4, 1, 1, 0, {252, 15, 192, 255}},
    {"v3 2", L"CSGO-tsJdC-2PFX6-fw8qD-6GDaX-rYCUM", 768, 4, 0, 3, 0, 0, 1, 0, {0, 40, 255, 255}},
    {"v3 3", L"CSGO-vcmKL-TWb8f-ddSDD-qM2Xx-T66VH", 1080, 4, 4, 5, 0, 1, 1, 0, {172, 14, 61, 255}},
    {"v3 4", L"CSGO-cA4U9-hiJwT-Wo9NA-YmTS8-WfH4C", 960, 6, 2, 2, 2, 1, 0, 0, {0, 255, 14, 255}},
    {"v3 6", L"CSGO-hLbCn-69VT6-Bok83-9MOqW-SWzwQ", 1080, 4, 8, 2, 4, 0, 0, 0, {50, 250, 50, 255}},
};
const PixelCodeRow kLegacyV4Codes[] = {
    {"v4 1", L"CSGO-G8oAC-RyvWc-Hi3CZ-voSwn-QJbfE", 768, 8, 7, 20, 25, 1, 1, 0, {124, 57, 57, 255}},
    {"v4 2", L"CSGO-sP6xU-TSyN9-sZcO5-2D48M-UppkP", 768, 2, 5, 1, 0, 0, 1, 0, {255, 0, 0, 255}},
};
// Sources: a code the game made, in akiver/csgo-sharecode's tests, and console
// dumps with their codes in the tests of SyberiaK/csxhair (PyPI), 1080 lines.
const PixelCodeRow kCs2Codes[] = {
    {"game 1.41", L"CSvbPubOq37zTGqtsPTP5QTrp5CB4xFXiKRLfzJsm49ZRe", 768, 2, 5, 1, 0, 0, 1, 0,
     {255, 0, 0, 255}},
    {"csxhair 1", L"CS2YzM7EJwGv3sYsU4qmobJcPLZhFjKhr5q4Wb99W5xkPG", 1080, 4, 6, 1, 3, 1, 0, 0,
     {0, 255, 255, 255}},
    {"csxhair 6", L"CSAoi6yyUPBNhEJhJUP8vjQ7MSXezRr4yU4LiusVd4DY5R", 1080, 4, 5, 1, 2, 2, 0, 0,
     {255, 30, 30, 255}},
    {"csxhair 10", L"CSvdwAHGje5f5FjfWYHsa5YPRFehAsjK7oyj38W98emH2d", 1080, 4, 12, 2, 5, 2, 0, 0,
     {255, 255, 255, 230}},
    {"csxhair 16", L"CSFZq3vXSFjbT2TFMapjEphwz4QUKn4TSLpv3cKXiW8qQC", 1080, 2, 7, 1, 1, 2, 0, 0,
     {0, 255, 255, 255}},
    {"csxhair 17", L"CSQP9ffDMntPk9khxzBWAhUvoXMFcMh58WSxfYXZMDFNrh", 1080, 2, 9, 1, 3, 1, 0, 1,
     {255, 255, 0, 255}},
    {"csxhair 19", L"CS3O35jbxF5hS7UyQtUaL68umD7RM4wrqWyvdbs4x79hkX", 1080, 2, 6, 1, 2, 0, 0, 0,
     {255, 255, 255, 190}},
    {"csxhair 23", L"CSaucLXhJz9i8CW3akEqqSMKDD2s8ed4bQv7tmFwhW8qQC", 1080, 3, 7, 1, -2, 1, 0, 0,
     {255, 0, 255, 255}},
    {"csxhair 26", L"CSuRy56Q5k5GLXdQBOKF5JJNL7a2qtnuBeJ3RGa26EkmWL", 1080, 4, 3, 1, 1, 2, 1, 0,
     {255, 0, 0, 255}},
    {"csxhair 30", L"CSxWdyKY3veecTUDcCujLE76VQpJDvE3YGbSDCyBSA4wYC", 1080, 2, 10, 2, -2, 2, 1, 0,
     {50, 50, 255, 255}},
};

TEST(ShareCodes, LegacyV3RealCodes) { RunPixelCodeRows(ROWS(kLegacyV3Codes)); }
TEST(ShareCodes, LegacyV4RealCodes) { RunPixelCodeRows(ROWS(kLegacyV4Codes)); }
TEST(ShareCodes, Cs2RealCodes) { RunPixelCodeRows(ROWS(kCs2Codes)); }

// The right arm of a rendered crosshair of thickness t: its gap from the
// centre, its length and, at its far end, its thickness, in pixels.
void MeasureRightArm(const std::vector<uint32_t>& px, int side, int t, int* gap, int* length,
                     int* thickness) {
    const int c = side / 2, y = c - t / 2;
    auto lit = [&](int x, int row) { return row >= 0 && row < side && px[row * side + x] != 0; };
    int x = c + (t & 1);
    for (*gap = 0; x < side && !lit(x, y); ++x) ++*gap;
    for (*length = 0; x < side && lit(x, y); ++x) ++*length;
    *thickness = 0;
    for (int row = 0; row < side; ++row) *thickness += lit(x - 1, row);
}

TEST(ShareCodes, PixelCodesDrawTheirPixelsAtTheirOwnHeight) {
    const int kSide = 320;
    int drawn = 0;
    for (const auto& table : {std::vector<PixelCodeRow>(std::begin(kLegacyV3Codes),
                                                        std::end(kLegacyV3Codes)),
                              std::vector<PixelCodeRow>(std::begin(kLegacyV4Codes),
                                                        std::end(kLegacyV4Codes)),
                              std::vector<PixelCodeRow>(std::begin(kCs2Codes), std::end(kCs2Codes))}) {
        for (const PixelCodeRow& row : table) {
            // Arms that cross the centre, or none at all, cannot be measured apart.
            if (row.gap < 0 || row.length == 0 || row.style == 6) continue;
            SCOPED_TRACE(row.source);
            CrosshairSettings c = kBase;
            ASSERT_EQ(12, ParseCrosshairCode(row.code, &c));
            c.dot = c.outline = 0;
            std::vector<uint32_t> px((size_t)kSide * kSide);
            RenderCrosshair(c, px.data(), kSide, kSide, row.height);
            int gap, length, thickness;
            MeasureRightArm(px, kSide, row.thickness > 0 ? row.thickness : 1, &gap, &length,
                            &thickness);
            EXPECT_EQ(row.gap, gap);
            EXPECT_EQ(row.length, length);
            EXPECT_EQ(row.thickness > 0 ? row.thickness : 1, thickness);
            ++drawn;
        }
    }
    EXPECT_GE(drawn, 10);
}

struct RejectRow {
    const char* name;
    const wchar_t* text;
    bool unreadable;  // reported as a damaged code
};

TEST(ShareCodes, Rejections) {
    const RejectRow rows[] = {
        {"checksum (a v3 code, byte 0 plus 1)", L"CSGO-KWAOu-dD9zM-754Hn-MEC8O-qLnsF", true},
        {"checksum, cs2 (csgo-sharecode)", L"CSkSCHQKunGr2yPsJr2U3RTd8ycMA2pEs9jWnxK5KjMmWL", true},
        {"match code (csgo-sharecode)", L"Partida: CSGO-GADqf-jjyJ8-cSP2r-smZRo-TO2xK", true},
        {"version 2 (csgo-sharecode)", L"CSGO-eRqP8-AkrwM-3Wsqh-pKDTh-eAPtQ", true},
        {"version 2, cs2 (csgo-sharecode)", L"CSuZhVyU8icUwjTjopBSVi6ctEbq5GiOXJBRdC6LNLKaFL", true},
        {"version 5", L"CSGO-QZ3kV-xw3JY-LBHAX-a5SKS-BVPwF", true},
        {"value beyond 18 bytes (a v3 code plus 2^144)", L"CSGO-NGy5A-73JiK-AGiEW-uB98v-hYwvW",
         true},
        {"value beyond 32 bytes (a cs2 code plus 2^256)",
         L"CSJqH52PVHXiK99ZRhNRJAyAEtV7KRJMAym7CnDUpRLNot", true},
        {"screen height 0, v3", L"CSGO-Yb9vG-kQScZ-XFQxO-psdrQ-Hqr3B", true},
        {"screen height 0, v4", L"CSGO-7OmZ2-oniJr-4OO8n-i7EKy-haqUE", true},
        {"screen height 0, cs2", L"CSmjCTQzxEbxJFErvu5niaPLtoazfpOEz7HQJWSiYMX8Gk", true},
        {"glued to a word", L"miraCSGO-MnUCC-89iG7-2cVar-wy7Yn-amCpF", false},
        {"glued to a digit", L"CSGO-MnUCC-89iG7-2cVar-wy7Yn-amCpF7", false},
        {"cs2 glued to a letter", L"CS2YzM7EJwGv3sYsU4qmobJcPLZhFjKhr5q4Wb99W5xkPGx", false},
        {"cs2 one symbol short", L"CS2YzM7EJwGv3sYsU4qmobJcPLZhFjKhr5q4Wb99W5xkP", false},
        {"outside the alphabet", L"CSGO-12345-12345-12345-12345-12345", false},
        {"in a comment", L"// CSGO-MnUCC-89iG7-2cVar-wy7Yn-amCpF", false},
        {"a player's config, code commented out (corpus: rtheodoro)",
         L"//MIRA\n// CSGO-bMBxd-4XfA6-xPOLq-SVEBJ-knhrM\ncl_crosshair_recoil true //mire\n", false},
        {"VALORANT: a key without its value", L"0;P;c;5;h", false},
        {"VALORANT: values of other shapes",
         L"0;P;c;-1 0;P;0a;.5 0;P;0a;1.;c;1 0;P;c;1e1 0;P;c;5x 0;P;u;FFF 0;P;u;FFFFFG 0;P;c;FF0000", false},
        {"VALORANT: no key, section or general section",
         L"0; 0;P;;c;5 0;P;c;5;; 0;Q;c;5 0;P;2b;1 0;P;0bb;1 0;P;C;5 1;P;c;5", false},
        {"VALORANT: stuck to what comes before", L"mira0;P;c;5 x;0;P 10;P;c;5 v1.0;P;c;5", false},
        {"VALORANT: cut short by what cannot be in a code", L"(0;P;c;-1) [0;P;c]5 0;P;c;é", false},
        {"VALORANT: in a comment", L"cl_crosshairsize // 0;P;c;5", false},
    };
    for (const RejectRow& row : rows) {
        SCOPED_TRACE(row.name);
        CrosshairSettings got = kBase;
        bool unreadable = !row.unreadable;
        EXPECT_EQ(0, ParseCrosshairCode(row.text, &got, &unreadable));
        EXPECT_EQ(row.unreadable, unreadable);
        EXPECT_TRUE(SameCrosshair(kBase, got));
    }
}

// The first legacy-v1 code above, as its source states it.
#define ZAVIK_CN37R L"CSGO-Cn37R-YE7vo-pLCAL-aURmZ-z6zkG"
void Cn37R(CrosshairSettings* c) {
    *c = {4.6f, -1.3f, 1.2f, 1, 2.0f, 1, 1, 175, 81, 213, 137, c->offsetX, c->offsetY};
}

TEST(ShareCodes, FoundAnywhereAndRefinedByCommands) {
    const ParseRow rows[] = {
        {"after a label", L"Código: " ZAVIK_CN37R, 12, Cn37R},
        {"in typographic quotes", L"\u2026\u201C" ZAVIK_CN37R L"\u201D\u2026", 12, Cn37R},
        {"after a link", L"Fonte: https://site/perfil " ZAVIK_CN37R L".", 12, Cn37R},
        {"ending a link", L"https://site/mira/" ZAVIK_CN37R, 12, Cn37R},
        {"commands before and after refine it",
         L"cl_crosshairsize 3 " ZAVIK_CN37R L" cl_crosshaircolor 1", 14,
         [](CrosshairSettings* c) {
             Cn37R(c);
             c->size = 3.0f;
             Rgb(c, 50, 250, 50);
         }},
        {"the first valid code", L"CSGO-GADqf-jjyJ8-cSP2r-smZRo-TO2xK " ZAVIK_CN37R
                                 L" CS2YzM7EJwGv3sYsU4qmobJcPLZhFjKhr5q4Wb99W5xkPG", 12, Cn37R},
        {"a damaged code beside a command", L"CSGO-GADqf-jjyJ8-cSP2r-smZRo-TO2xK cl_crosshairgap 2",
         1, [](CrosshairSettings* c) { c->gap = 2.0f; }},
    };
    RunParseRows(ROWS(rows));

    // Codes are looked for in the whole text, commands only in its first tokens.
    CrosshairSettings want = kBase;
    Cn37R(&want);
    const std::wstring far = Filler(600) + L"\r\n// velha\r\n";
    struct {
        std::wstring text;
        int count;
    } const tails[] = {{far + ZAVIK_CN37R, 12}, {far + L"// " ZAVIK_CN37R, 0},
                       {far + L"x" ZAVIK_CN37R, 0}, {far + ZAVIK_CN37R L" cl_crosshairsize 9", 12}};
    for (const auto& tail : tails) {
        CrosshairSettings got = kBase;
        EXPECT_EQ(tail.count, ParseCrosshairCode(tail.text.c_str(), &got)) << tail.count;
        EXPECT_TRUE(SameCrosshair(tail.count ? want : kBase, got));
    }
}

// A public console dump of today's game (SyberiaK/csxhair tests, 6.cfg,
// without its code line): pixel names, the outline as mode 2.
const wchar_t kDumpToday[] =
    L"cl_crosshair_drawoutline 2\ncl_crosshair_dynamic_maxdist_splitratio 0.50\n"
    L"cl_crosshair_dynamic_splitalpha_innermod 0.00\ncl_crosshair_dynamic_splitalpha_outermod 1.00\n"
    L"cl_crosshair_dynamic_splitdist 7\ncl_crosshair_dynamic_spread_limit 80\n"
    L"cl_crosshair_gap 2\ncl_crosshair_length 5\ncl_crosshair_recoil 0\ncl_crosshair_t 0\n"
    L"cl_crosshair_thickness 1\ncl_crosshaircolor_a 255\ncl_crosshaircolor_b 30\n"
    L"cl_crosshaircolor_g 30\ncl_crosshaircolor_r 255\ncl_crosshairdot 0\n"
    L"cl_crosshairoutline_a 255\ncl_crosshairoutline_b 0\ncl_crosshairoutline_g 0\n"
    L"cl_crosshairoutline_r 0\ncl_crosshairstyle 4\ncl_ironsight_usecrosshaircolor 1\n"
    L"cl_ironsight_dot_scale 0.65\n";

// A player's crosshair.cfg from before (corpus: Atlas7005/csgoconfig).
const wchar_t kDumpBefore[] =
    L"cl_crosshair_drawoutline \"0\"\ncl_crosshair_dynamic_maxdist_splitratio \"0.300000\"\n"
    L"cl_crosshair_dynamic_splitalpha_innermod \"1\"\n"
    L"cl_crosshair_dynamic_splitalpha_outermod \"0.500000\"\ncl_crosshair_dynamic_splitdist \"7\"\n"
    L"cl_crosshair_friendly_warning \"1\"\ncl_crosshair_outlinethickness \"1.000000\"\n"
    L"cl_crosshair_sniper_show_normal_inaccuracy \"0\"\ncl_crosshair_sniper_width \"2\"\n"
    L"cl_crosshair_t \"0\"\ncl_crosshairalpha \"255\"\ncl_crosshaircolor \"5\"\n"
    L"cl_crosshaircolor_b \"0\"\ncl_crosshaircolor_g \"255\"\ncl_crosshaircolor_r \"255\"\n"
    L"cl_crosshairdot \"0\"\ncl_crosshairgap \"-1\"\ncl_crosshairgap_useweaponvalue \"0\"\n"
    L"cl_crosshairsize \"3\"\ncl_crosshairstyle \"4\"\ncl_crosshairthickness \"0\"\n"
    L"cl_crosshairusealpha \"1\"";

TEST(ParseCrosshairCode, ConsoleDumpsOfBothEras) {
    CrosshairSettings base = kBase;
    base.dot = base.tStyle = 1;  // so that the dumps' zeros show
    const ParseRow rows[] = {
        {"today", kDumpToday, 10,
         [](CrosshairSettings* c) {
             *c = {0, 0, 0, 1, c->outlineThickness, 0, 0, 255, 30, 30, 255, c->offsetX, c->offsetY};
             SetPixelSizes(c, 1080.0f, 5.0f, 2.0f, 1.0f);
         }},
        {"before September 2026", kDumpBefore, 12,
         [](CrosshairSettings* c) {
             *c = {3.0f, -1.0f, 0.0f, 0, 1.0f, 0, 0, 255, 255, 0, 255, c->offsetX, c->offsetY};
         }},
    };
    RunParseRows(ROWS(rows), base);
}

TEST(ParseCrosshairCode, PixelVariablesAndTheirScreenHeight) {
    const ParseRow rows[] = {
        {"stated height", L"cl_crosshair_screen_height 1440 cl_crosshair_length 10", 2,
         [](CrosshairSettings* c) { c->size = 10.0f / 3.0f; }},
        {"height truncated", L"cl_crosshair_screen_height 1439.9 cl_crosshair_length 5", 2,
         [](CrosshairSettings* c) { c->size = 5.0f / (1439.0f / 480.0f); }},
        {"height 0 means 1080", L"cl_crosshair_screen_height 0 cl_crosshair_thickness 3", 2,
         [](CrosshairSettings* c) { c->thickness = 3.0f / 2.25f; }},
        {"the last height wins, even after the sizes",
         L"cl_crosshair_screen_height 768 cl_crosshair_length 4 cl_crosshair_screen_height -1",
         3, [](CrosshairSettings* c) { c->size = 4.0f / 2.25f; }},
        {"a height alone changes nothing", L"cl_crosshair_screen_height 768", 1, nullptr},
        {"pixels win over units, after", L"cl_crosshair_length 9 cl_crosshairsize 2", 2,
         [](CrosshairSettings* c) { c->size = 4.0f; }},
        {"pixels win over units, before", L"cl_crosshairsize 2 cl_crosshair_length 9", 2,
         [](CrosshairSettings* c) { c->size = 4.0f; }},
        {"colour a, then alpha", L"cl_crosshaircolor_a 300 cl_crosshairalpha 100", 2,
         [](CrosshairSettings* c) { c->alpha = 100; }},
        {"alpha, then colour a", L"cl_crosshairalpha 100 cl_crosshaircolor_a 300", 2,
         [](CrosshairSettings* c) { c->alpha = 255; }},
        {"outline mode 2 is a flag", L"cl_crosshair_drawoutline 2", 1,
         [](CrosshairSettings* c) { c->outline = 1; }},
    };
    RunParseRows(ROWS(rows));
}

// What a VALORANT code draws at 1080 lines, over a base whose dot, T style
// and outline are on (so that "off" shows): its pixels, the dot, the outline
// width (0: off, its thickness kept), the colour and the alpha.
struct ValorantRow {
    const char* name;
    const wchar_t* text;
    int length, gap, thickness, dot, outline;
    uint32_t rgb;
    int alpha;
};

void RunValorantRows(const ValorantRow* rows, size_t n) {
    CrosshairSettings base = OutlinedBase();
    base.dot = base.tStyle = 1;
    for (size_t i = 0; i < n; ++i) {
        const ValorantRow& row = rows[i];
        SCOPED_TRACE(row.name);
        CrosshairSettings want = base;
        SetPixelSizes(&want, 1080.0f, (float)row.length, (float)row.gap, (float)row.thickness);
        want.dot = row.dot;
        want.tStyle = 0;
        want.outline = row.outline != 0;
        if (row.outline) want.outlineThickness = (float)row.outline;
        Rgb(&want, (int)(row.rgb >> 16), (int)(row.rgb >> 8 & 0xFF), (int)(row.rgb & 0xFF));
        want.alpha = (uint8_t)row.alpha;
        CrosshairSettings got = base;
        EXPECT_EQ(12, ParseCrosshairCode(row.text, &got)) << Narrow(row.text);
        EXPECT_TRUE(SameCrosshair(want, got)) << Narrow(row.text);
    }
}

#define ZAVIK_VALORANT_EXAMPLE L"0;P;c;5;h;0;0l;4;0o;2;0a;1;0f;0;1b;0"

TEST(ValorantCodes, PrimaryCrosshairAtTheGamesOwnHeight) {
    const ValorantRow rows[] = {
        {"defaults only", L"0;P", 6, 3, 2, 0, 1, 0xFFFFFF, 204},
        {"general keys, A and S change nothing",
         L"0;p;0;c;1;s;1;P;A;c;7;0l;9;u;000000;S;c;1;t;FF0000FF;s;0.5", 6, 3, 2, 0, 1, 0xFFFFFF, 204},
        {"the worked example", ZAVIK_VALORANT_EXAMPLE, 4, 2, 2, 0, 0, 0x00FFFF, 255},
        {"colour rows", L"0;P;c;2", 6, 3, 2, 0, 1, 0x7FFF00, 204},
        {"hex colour by b, its alpha unused", L"0;P;c;1;b;1;u;FF8000AA", 6, 3, 2, 0, 1, 0xFF8000, 204},
        {"hex colour by c 8, small letters", L"0;P;c;8;u;12ab3c", 6, 3, 2, 0, 1, 0x12AB3C, 204},
        {"c 8 without u is white", L"0;P;c;8", 6, 3, 2, 0, 1, 0xFFFFFF, 204},
        {"u alone keeps the row", L"0;P;c;7;u;00FF00", 6, 3, 2, 0, 1, 0xFF0000, 204},
        {"outer lines at their defaults", L"0;P;0b;0", 2, 10, 2, 0, 1, 0xFFFFFF, 89},
        {"outer lines only, opacity half up",
         L"0;P;0t;0;1t;3;1l;5;1o;12;1a;0.5", 5, 12, 3, 0, 1, 0xFFFFFF, 128},
        {"outer lines when inner have no length", L"0;P;0l;0;1a;0.7", 2, 10, 2, 0, 1, 0xFFFFFF, 179},
        {"dot only", L"0;P;d;1;z;4;a;0.9;0b;0;1b;0", 0, 3, 4, 1, 1, 0xFFFFFF, 230},
        {"dot with lines takes their size", L"0;P;d;1;z;6;a;0.1", 6, 3, 2, 1, 1, 0xFFFFFF, 204},
        {"neither lines nor dot", L"0;P;0t;0;1b;0;0a;0.3", 0, 3, 1, 0, 1, 0xFFFFFF, 77},
        {"no outline keeps its thickness", L"0;P;h;0;t;4", 6, 3, 2, 0, 0, 0xFFFFFF, 204},
        {"outline thickness", L"0;P;t;3", 6, 3, 2, 0, 3, 0xFFFFFF, 204},
        {"ranges' ends", L"0;P;0t;10;0l;20;0o;20;0a;0;t;6", 20, 20, 10, 0, 6, 0xFFFFFF, 0},
        {"held to the ranges", L"0;P;0t;99;0l;25.5;0o;300;0a;7;t;0;c;12;1b;5", 20, 20, 10, 0, 1,
         0xFFFFFF, 255},
        {"dot held to its range", L"0;P;d;3;z;0;a;2;0b;0;1b;0", 0, 3, 1, 1, 1, 0xFFFFFF, 255},
        {"pixels round half up", L"0;P;0l;4.5;0o;2.49;0t;0.5", 5, 2, 1, 0, 1, 0xFFFFFF, 204},
        {"a key given twice takes the last", L"0;P;c;1;c;4;P;c;6", 6, 3, 2, 0, 1, 0xFF00FF, 204},
        {"in a sentence", L"Minha mira: " ZAVIK_VALORANT_EXAMPLE L". Testa a\u00ED!", 4, 2, 2, 0, 0,
         0x00FFFF, 255},
        {"in quotes", L"mira=\"" ZAVIK_VALORANT_EXAMPLE L"\"", 4, 2, 2, 0, 0, 0x00FFFF, 255},
        {"in typographic quotes after a no-break space",
         L"c\u00F3digo:\u00A0\u201C" ZAVIK_VALORANT_EXAMPLE L"\u201D", 4, 2, 2, 0, 0, 0x00FFFF, 255},
        {"in apostrophes, after a malformed one",
         L"0;P;c;x '" ZAVIK_VALORANT_EXAMPLE L"', 0;P", 4, 2, 2, 0, 0, 0x00FFFF, 255},
        {"in backticks", L"`" ZAVIK_VALORANT_EXAMPLE L"`", 4, 2, 2, 0, 0, 0x00FFFF, 255},
        {"in round brackets", L"(" ZAVIK_VALORANT_EXAMPLE L")", 4, 2, 2, 0, 0, 0x00FFFF, 255},
        {"in square brackets", L"[" ZAVIK_VALORANT_EXAMPLE L"]", 4, 2, 2, 0, 0, 0x00FFFF, 255},
        {"in angle brackets", L"<" ZAVIK_VALORANT_EXAMPLE L">", 4, 2, 2, 0, 0, 0x00FFFF, 255},
        {"stuck to a label's colon", L"mira:" ZAVIK_VALORANT_EXAMPLE, 4, 2, 2, 0, 0, 0x00FFFF, 255},
        {"ending in ;", ZAVIK_VALORANT_EXAMPLE L";", 4, 2, 2, 0, 0, 0x00FFFF, 255},
        {"ending in ; and a full stop, after a dash",
         L"mira-" ZAVIK_VALORANT_EXAMPLE L";.", 4, 2, 2, 0, 0, 0x00FFFF, 255},
    };
    RunValorantRows(ROWS(rows));
}

TEST(ValorantCodes, ShareCodesWinAndCommandsRefine) {
    const ParseRow rows[] = {
        {"a share code wins, before or after", ZAVIK_VALORANT_EXAMPLE L" " ZAVIK_CN37R, 12, Cn37R},
        {"beside a damaged share code",
         L"CSGO-GADqf-jjyJ8-cSP2r-smZRo-TO2xK 0;P;c;4;0a;1", 12,
         [](CrosshairSettings* c) {
             SetPixelSizes(c, 1080.0f, 6.0f, 3.0f, 2.0f);
             c->outline = 1;
             c->outlineThickness = 1.0f;
             Rgb(c, 255, 255, 0);
             c->alpha = 255;
         }},
        {"commands refine it", ZAVIK_VALORANT_EXAMPLE L"\ncl_crosshairdot 1", 13,
         [](CrosshairSettings* c) {
             SetPixelSizes(c, 1080.0f, 4.0f, 2.0f, 2.0f);
             Rgb(c, 0, 255, 255);
             c->alpha = 255;
             c->dot = 1;
         }},
    };
    RunParseRows(ROWS(rows));

    // Found in the whole text, as share codes are, but not in a comment nor
    // stuck to a word; a share code however far wins.
    const std::wstring far = Filler(600) + L"\r\n";
    const struct {
        std::wstring text;
        int count, alpha;
    } tails[] = {{far + ZAVIK_VALORANT_EXAMPLE, 12, 255},
                 {far + L"// " ZAVIK_VALORANT_EXAMPLE, 0, kBase.alpha},
                 {far + L"mira" ZAVIK_VALORANT_EXAMPLE, 0, kBase.alpha},
                 {far + L"// x\n0;P;c;x\t'" ZAVIK_VALORANT_EXAMPLE L"'", 12, 255},
                 {ZAVIK_VALORANT_EXAMPLE L" " + far + ZAVIK_CN37R, 12, 137}};
    for (const auto& tail : tails) {
        CrosshairSettings got = kBase;
        EXPECT_EQ(tail.count, ParseCrosshairCode(tail.text.c_str(), &got)) << tail.alpha;
        EXPECT_EQ(tail.alpha, got.alpha);
    }
}

// ---- Writing share codes ----

// The code of c at height, read back over base, draws exactly what c draws there.
::testing::AssertionResult CodeDrawsTheSame(const CrosshairSettings& c, int height,
                                            const CrosshairSettings& base) {
    const int kSide = 512;  // room for every arm the rows and the generator make
    wchar_t code[kShareCodeChars];
    CrosshairSettings back = base;
    if (FormatShareCode(c, height, code, kShareCodeChars) != 46 ||
        ParseCrosshairCode(code, &back) != 12)
        return ::testing::AssertionFailure() << "not read back: " << Narrow(code);
    std::vector<uint32_t> want((size_t)kSide * kSide), got(want.size());
    RenderCrosshair(c, want.data(), kSide, kSide, height);
    RenderCrosshair(back, got.data(), kSide, kSide, height);
    if (want == got) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << Narrow(code) << " draws otherwise at " << height;
}

TEST(FormatShareCode, ReadBackDrawsTheSamePixelsAtItsHeight) {
    const CrosshairSettings rows[] = {
        kBuiltinPresets[0].settings, kBuiltinPresets[1].settings, kBuiltinPresets[2].settings,
        kBuiltinPresets[3].settings,
        {-4.0f, 2.0f, 1.0f, 1, 1.0f, 0, 0, 9, 8, 7, 255, 0, 0},       // negative length, gap over 0
        {3.0f, -9.5f, 2.0f, 0, 1.0f, 0, 0, 50, 250, 50, 255, 0, 0},   // gap across the centre
        {-2.5f, 1.0f, 1.5f, 1, 0.0f, 0, 1, 255, 0, 0, 128, 0, 0},     // T style inwards, outline 0
        {3.0f, 1.0f, 1.0f, 1, 0.5f, 1, 1, 0, 255, 255, 255, 0, 0},    // T style, dot, outline 0.5
        {0.2f, 7.0f, 3.0f, 7, 1.0f, -1, 7, 5, 5, 5, 0, 30, -30},      // no arms at most heights
    };
    // Odd and even thicknesses come from the heights as much as from the rows.
    for (int height : {480, 720, 768, 900, 1050, 1080, 1440, 2160}) {
        for (const CrosshairSettings& c : rows) EXPECT_TRUE(CodeDrawsTheSame(c, height, kBase));
    }
}

TEST(FormatShareCode, GeneratedCrosshairsDrawTheSameOverAnyCrosshair) {
    std::mt19937 rng(18092026u);
    auto units = [&](float limit, bool halfSteps) {
        float v = std::uniform_real_distribution<float>(-limit, limit)(rng);
        return halfSteps ? roundf(v * 2.0f) * 0.5f : v;
    };
    CrosshairSettings previous = kBase;
    for (int i = 0; i < 3000; ++i) {
        // The outline at most one pixel wide, as the code can hold it.
        CrosshairSettings c = {units(12, i % 2), units(12, i % 2), units(6, i % 2),
                               (int32_t)(rng() % 2), units(1.49f, false), (int32_t)(rng() % 2),
                               (int32_t)(rng() % 2), (uint8_t)rng(), (uint8_t)rng(),
                               (uint8_t)rng(), (uint8_t)rng(), 0, 0};
        ASSERT_TRUE(CodeDrawsTheSame(c, 240 + (int)(rng() % 2161), previous)) << i;
        previous = c;
    }
}

// The cs2-v1 bytes of a code written at height, as the reader gets them.
ShareCode WrittenBytes(const CrosshairSettings& c, int height) {
    wchar_t code[kShareCodeChars];
    int n = FormatShareCode(c, height, code, kShareCodeChars);
    ShareCode read = {};
    EXPECT_EQ(kShareCodeValid, ReadShareCodeAt(code, code + n, &read)) << Narrow(code);
    return read;
}

TEST(FormatShareCode, BytesOfTheDefaultCrosshair) {
    wchar_t code[kShareCodeChars];
    FormatShareCode(kBuiltinPresets[0].settings, 1080, code, kShareCodeChars);
    EXPECT_STREQ(L"CSauarFS3C7vqvaY6H9HfXOY3ni79rPMWQZ6kFhsLpmcrf", code);
    // Checksum, version 1, height 1080, Static Cross, white at 255, outline black
    // at 255, thickness 2 with mode 1, gap -2 and length 3 (arms of -3 beyond a
    // gap of 1), split fields 0 (outer alpha 0.3), scope dot scale 1.0.
    const uint8_t want[kShareCodeMaxBytes] = {216, 1,   56,  4,   4, 255, 255, 255, 255, 0, 0, 0,
                                              255, 66,  254, 255, 3, 0,   0,   0,   0,   0, 90};
    ShareCode read = WrittenBytes(kBuiltinPresets[0].settings, 1080);
    EXPECT_EQ(kFormatCs2V1, read.format);
    EXPECT_EQ(0, memcmp(want, read.bytes, kShareCodeMaxBytes));
}

TEST(FormatShareCode, ValuesBeyondTheCodeAreClamped) {
    const struct {
        float size, gap, thickness, outlineThickness;
        int height, wantHeight, wantLength, wantGap, wantThickness;
    } rows[] = {
        {1000, 0, 1, 1, 1080, 1080, 255, 4, 2},    {-1000, 0, 1, 1, 1080, 1080, 255, -2246, 2},
        {1, 5000, 1, 1, 1080, 1080, 2, 3840, 2},   {1, -5000, 1, 1, 1080, 1080, 2, -3840, 2},
        {1, 0, 100, 3, 1080, 1080, 2, 4, 32},      {NAN, 9, 1, 1, 1080, 1080, 0, 0, 2},
        {1, 0, 1, 1, 0, 1, 0, 0, 1},               {1, 0, 1, 1, 70000, 65535, 137, 219, 32},
    };
    for (const auto& row : rows) {
        CrosshairSettings c = kBase;
        c.size = row.size, c.gap = row.gap, c.thickness = row.thickness;
        c.outline = 1, c.outlineThickness = row.outlineThickness;
        const ShareCode read = WrittenBytes(c, row.height);
        const uint8_t* b = read.bytes;
        EXPECT_EQ(row.wantHeight, b[2] | b[3] << 8) << row.size;
        EXPECT_EQ(row.wantLength, b[16]) << row.size;
        EXPECT_EQ(row.wantGap, (int16_t)(b[14] | b[15] << 8)) << row.size;
        EXPECT_EQ(row.wantThickness | 0x40, b[13]) << row.size;  // always mode 1: one pixel
    }
}

}  // namespace
