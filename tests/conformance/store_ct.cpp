// The saved-crosshairs store against a real "miras.ini" through the profile
// layer that is linked (kernel32 or the host's own): save, exists, list,
// apply and delete as the "Miras salvas" tab uses them.
#include <string>
#include <utility>
#include <vector>

#include "conformance.h"
#include "crosshair/crosshair.h"
#include "storage/profile.h"
#include "storage/settings.h"
#include "storage/store.h"

namespace {

using conformance::ReadBytes;
using conformance::SameBytes;
using conformance::SameText;
using conformance::TempDir;
using conformance::Utf16Le;
using conformance::WriteBytes;

typedef std::vector<std::pair<std::wstring, int32_t>> ListLines;

void CollectLine(void* context, const wchar_t* text, int32_t itemData) {
    static_cast<ListLines*>(context)->emplace_back(text, itemData);
}

CrosshairSettings SampleCrosshair() {
    CrosshairSettings c = kBuiltinPresets[0].settings;
    c.size = 2.5f;
    c.gap = -1.0f;
    c.dot = 1;
    c.red = 10;
    c.green = 20;
    c.blue = 30;
    c.offsetX = 7;
    c.offsetY = -4;
    return c;
}

class StoreOnFile : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.ok());
        miras_ = dir_.Path(L"miras.ini");
        CreateUtf16File(miras());
    }
    const wchar_t* miras() const { return miras_.c_str(); }
    ListLines List() const {
        ListLines lines;
        BuildSavedList(miras(), CollectLine, &lines);
        return lines;
    }
    // The saved lines only, after the four built-ins.
    std::vector<std::wstring> SavedNames() const {
        std::vector<std::wstring> names;
        for (const auto& line : List())
            if (line.second == kItemDataSaved) names.push_back(line.first);
        return names;
    }

    TempDir dir_;
    std::wstring miras_;
};

TEST_F(StoreOnFile, SavedCrosshairExistsWithoutRegardToCase) {
    WriteCrosshairSection(miras(), L"Minha Mira", SampleCrosshair());
    EXPECT_TRUE(SavedCrosshairExists(miras(), L"Minha Mira"));
    EXPECT_TRUE(SavedCrosshairExists(miras(), L"minha mira"));
    EXPECT_TRUE(SavedCrosshairExists(miras(), L"MINHA MIRA"));
    EXPECT_FALSE(SavedCrosshairExists(miras(), L"Outra"));
}

TEST_F(StoreOnFile, SectionWithoutASizeDoesNotCount) {
    WriteBytes(miras_, Utf16Le(L"[vazia]\r\ntamanho=\r\n[sem]\r\ncor_r=1\r\n"));
    EXPECT_FALSE(SavedCrosshairExists(miras(), L"vazia"));
    EXPECT_FALSE(SavedCrosshairExists(miras(), L"sem"));
}

TEST_F(StoreOnFile, ListShowsBuiltinsThenSectionsInFileOrder) {
    WriteCrosshairSection(miras(), L"Zeta", SampleCrosshair());
    WriteCrosshairSection(miras(), L"alfa", SampleCrosshair());
    ListLines lines = List();
    ASSERT_EQ(6u, lines.size());
    for (int32_t i = 0; i < kBuiltinPresetCount; ++i) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(SameText(lines[i].first, std::wstring(L"★ ") + kBuiltinPresets[i].name));
        EXPECT_EQ(i, lines[i].second);
    }
    EXPECT_TRUE(SameText(lines[4].first, L"Zeta"));
    EXPECT_TRUE(SameText(lines[5].first, L"alfa"));
    EXPECT_EQ(kItemDataSaved, lines[4].second);
    EXPECT_EQ(kItemDataSaved, lines[5].second);
}

TEST_F(StoreOnFile, MissingFileListsOnlyTheBuiltins) {
    std::wstring missing = dir_.Path(L"none.ini");
    ListLines lines;
    BuildSavedList(missing.c_str(), CollectLine, &lines);
    EXPECT_EQ((size_t)kBuiltinPresetCount, lines.size());
}

TEST_F(StoreOnFile, ReplacingMovesTheCrosshairToTheEndUnderTheNewSpelling) {
    WriteCrosshairSection(miras(), L"Minha Mira", SampleCrosshair());
    WriteCrosshairSection(miras(), L"Outra", SampleCrosshair());
    ASSERT_TRUE(SavedCrosshairExists(miras(), L"minha mira"));
    // What the tab does on "Yes": the old section goes in the same change.
    EXPECT_TRUE(SaveCrosshairToFile(miras(), L"minha mira", SampleCrosshair(), true));
    std::vector<std::wstring> expected = {L"Outra", L"minha mira"};
    EXPECT_EQ(expected, SavedNames());
    EXPECT_FALSE(conformance::FileExists(miras_ + L".tmp"));
}

TEST_F(StoreOnFile, NewNameIsAddedAtTheEnd) {
    WriteCrosshairSection(miras(), L"Alfa", SampleCrosshair());
    EXPECT_TRUE(SaveCrosshairToFile(miras(), L"Beta", SampleCrosshair(), false));
    std::vector<std::wstring> expected = {L"Alfa", L"Beta"};
    EXPECT_EQ(expected, SavedNames());
}

// miras.ini that cannot be replaced: saving, replacing and deleting all say so
// and leave every byte as it was, and no copy behind.
TEST_F(StoreOnFile, FileThatCannotBeWrittenLosesNothing) {
    WriteCrosshairSection(miras(), L"Alfa", SampleCrosshair());
    WriteCrosshairSection(miras(), L"Beta", SampleCrosshair());
    const std::string before = ReadBytes(miras_);
    ASSERT_TRUE(conformance::SetReadOnly(miras_, true));
    CrosshairSettings other = SampleCrosshair();
    other.size = 9.0f;
    EXPECT_FALSE(SaveCrosshairToFile(miras(), L"Nova", other, false));
    EXPECT_FALSE(SaveCrosshairToFile(miras(), L"alfa", other, true));
    EXPECT_FALSE(DeleteSavedSection(miras(), L"Beta"));
    ASSERT_TRUE(conformance::SetReadOnly(miras_, false));
    EXPECT_TRUE(SameBytes(ReadBytes(miras_), before));
    EXPECT_FALSE(conformance::FileExists(miras_ + L".tmp"));
    std::vector<std::wstring> expected = {L"Alfa", L"Beta"};
    EXPECT_EQ(expected, SavedNames());
}

TEST_F(StoreOnFile, DeleteRemovesOnlyThatSection) {
    WriteCrosshairSection(miras(), L"a", SampleCrosshair());
    WriteCrosshairSection(miras(), L"b", SampleCrosshair());
    EXPECT_TRUE(DeleteSavedSection(miras(), L"a"));
    std::vector<std::wstring> expected = {L"b"};
    EXPECT_EQ(expected, SavedNames());
    EXPECT_TRUE(DeleteSavedSection(miras(), L"gone"));  // a vanished line deletes silently
    EXPECT_EQ(expected, SavedNames());
}

TEST_F(StoreOnFile, SavedSectionHoldsTheThirteenKeysInOrder) {
    CrosshairSettings c = SampleCrosshair();
    WriteCrosshairSection(miras(), L"Nova", c);
    EXPECT_TRUE(SameBytes(ReadBytes(miras_),
                          Utf16Le(L"[Nova]\r\ntamanho=2.500\r\nespacamento=-1.000\r\n"
                                  L"espessura=1.000\r\ncontorno=1\r\nespessura_contorno=1.000\r\n"
                                  L"ponto=1\r\nestilo_t=0\r\ncor_r=10\r\ncor_g=20\r\ncor_b=30\r\n"
                                  L"opacidade=255\r\nposicao_x=7\r\nposicao_y=-4\r\n")));
}

TEST_F(StoreOnFile, ApplyingASavedLineReadsItAndKeepsTheOffsets) {
    WriteCrosshairSection(miras(), L"Salva", SampleCrosshair());
    CrosshairSettings current = kBuiltinPresets[1].settings;
    current.offsetX = 30;
    current.offsetY = -12;
    ASSERT_TRUE(ApplyListLine(miras(), L"salva", kItemDataSaved, &current));
    CrosshairSettings expected = SampleCrosshair();
    EXPECT_EQ(expected.size, current.size);
    EXPECT_EQ(expected.gap, current.gap);
    EXPECT_EQ(expected.dot, current.dot);
    EXPECT_EQ(expected.red, current.red);
    EXPECT_EQ(expected.blue, current.blue);
    EXPECT_EQ(30, current.offsetX);
    EXPECT_EQ(-12, current.offsetY);
}

TEST_F(StoreOnFile, NamesBeyondTheListBufferAreNotListed) {
    // 2,000 names of 9 characters (10 with the separator) need 20,000
    // characters; the list reads 16,384.
    std::wstring text;
    std::vector<std::wstring> all;
    for (int i = 0; i < 2000; ++i) {
        std::wstring name = L"mira" + std::to_wstring(10000 + i);
        all.push_back(name);
        text += L"[" + name + L"]\r\ntamanho=1.000\r\n";
    }
    WriteBytes(miras_, Utf16Le(text));
    std::vector<std::wstring> listed = SavedNames();
    ASSERT_GT(listed.size(), 1000u);
    ASSERT_LT(listed.size(), all.size());
    // Every listed name is whole and in file order: no cut name at the end.
    for (size_t i = 0; i < listed.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(SameText(listed[i], all[i]));
    }
    EXPECT_EQ(1638u, listed.size());
}

}  // namespace
