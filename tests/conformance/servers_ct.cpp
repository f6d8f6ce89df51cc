// The memory of each server in config.ini through the profile layer that is
// linked (kernel32 or the host's own): the sections read as the file says
// them, names of every kind read back exactly, files of thousands of
// sections, the late read, and a save beside a full record stays quick.
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <chrono>
#include <string>

#include "conformance.h"
#include "crosshair/crosshair.h"
#include "storage/profile.h"
#include "storage/servers.h"
#include "storage/settings.h"

namespace {

using conformance::ReadBytes;
using conformance::SameBytes;
using conformance::SameText;
using conformance::Utf16Le;

const wchar_t kOwn[] = L"[Opcoes]\r\nligada=0\r\n[Mira]\r\ntamanho=7.000\r\n";

class ServersOnFile : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.ok()); }
    // A file per content: kernel32 may answer from its cache of a file it read a moment ago.
    const wchar_t* Config(const std::wstring& text) {
        config_ = dir_.Path((L"config" + std::to_wstring(files_++) + L".ini").c_str());
        conformance::WriteBytes(config_, Utf16Le(text));
        return config_.c_str();
    }
    bool Save() {
        return SaveSettings(config_.c_str(), options_, crosshair_, memories_, kProfileTryOnce);
    }
    bool Load(ServerMemories* memories) {
        return LoadSettings(config_.c_str(), &options_, &crosshair_, memories);
    }
    // A section of a server memory as a player might leave it.
    static std::wstring Section(const std::wstring& section, const std::wstring& name, int used,
                                const std::wstring& more = L"") {
        return L"[" + section + L"]\r\nnome=" + name + L"\r\nusado=" + std::to_wstring(used) +
               L"\r\n" + more;
    }
    const ServerMemory& Row(const wchar_t* name) {
        static const ServerMemory kNone = {};
        const ServerMemory* row = FindServerMemory(memories_, name);
        EXPECT_NE(nullptr, row) << conformance::Show(name);
        return row ? *row : kNone;
    }
    // The section names of the file, one per line.
    std::wstring SectionList() {
        wchar_t names[4096];
        std::wstring list(names, ProfileGetSectionNames(names, 4096, config_.c_str()));
        std::replace(list.begin(), list.end(), L'\0', L'\n');
        return list;
    }

    conformance::TempDir dir_;
    std::wstring config_;
    int files_ = 0;
    AppOptions options_ = kDefaultOptions;
    CrosshairSettings crosshair_ = kBuiltinPresets[0].settings;
    ServerMemories memories_ = {}, back_ = {};
};

TEST_F(ServersOnFile, ReadAsTheFileSaysThem) {
    Config(kOwn + Section(L"Servidor1", L"A", 5, L"tamanho=1.000\r\n") +
           Section(L"Servidor2", L"  A ", 9, L"TAMANHO=\"3.000\"\r\nligada=0\r\n") +
           Section(L"Servidor3", L"^1 ", 99) + Section(L"ServidorX", L"X", 1) +
           Section(L"Servidor", L"Y", 1) + Section(L"Servidores4", L"Z", 1) +
           Section(L"servidor007", L"B", -4, L"cor_r=300\r\nligada=5\r\n") +
           Section(L"Servidor8", L"\"\"C\"\"", 2, L"imagem=\" mira.png\"\r\n") +
           Section(L"Servidor9", std::wstring(3000, L'x'), 3));
    ASSERT_TRUE(Load(&memories_));
    EXPECT_EQ(0, options_.enabled);
    EXPECT_EQ(7.0f, crosshair_.size);
    EXPECT_EQ(4, memories_.count);
    EXPECT_EQ(3.0f, Row(L"A").crosshair.size) << "the larger usado wins";
    EXPECT_EQ(0, Row(L"A").enabled);
    EXPECT_EQ(9u, Row(L"A").used);
    EXPECT_EQ(0u, Row(L"B").used);
    EXPECT_EQ(44, Row(L"B").crosshair.red) << "as [Mira] reads it";
    EXPECT_EQ(5, Row(L"B").enabled) << "as stored, like the option";
    EXPECT_EQ(kBuiltinPresets[0].settings.size, Row(L"B").crosshair.size);
    EXPECT_TRUE(SameText(Row(L"\"C\"").crosshair.image, L" mira.png"));
    EXPECT_EQ(1, Row(std::wstring(128, L'x').c_str()).enabled) << "cut as a title's name";
    EXPECT_EQ(9u, memories_.largestUsed) << "of the sections that name a server";
}

// Names of every kind, written and read again, come back whole; the file
// keeps no "Servidor" section from before beyond the rows written.
TEST_F(ServersOnFile, ASaveAndALoadGiveTheMemoriesBack) {
    const std::wstring names[] = {L"a=b", L"[x]", L";c", L"\"q", L"q\"", L"\"both\"", L"'s'",
                                  conformance::Wide(U"Rua \U0001F600 Sul"), L"x ^"};
    CrosshairSettings crosshair = kBuiltinPresets[2].settings;
    crosshair.offsetY = -12;
    crosshair.size = 4.0f;
    for (const std::wstring& name : names) {
        crosshair.size += 1.0f;
        RecordServerMemory(&memories_, name.c_str(), crosshair, name.size() % 2 == 0);
    }
    SetCrosshairImage(&crosshair, L"'mira.png'");
    RecordServerMemory(&memories_, L"imagem", crosshair, 1);
    Config(L"[Opcoes]\r\nligada=1\r\n" + Section(L"Servidor3", L"old", 1) +
           Section(L"servidor3", L"twin", 1) + Section(L"Servidor11", L"far", 1) +
           Section(L"Servidor05", L"zero", 1) + Section(L"ServidorX", L"kept", 1));
    ASSERT_TRUE(Save());
    EXPECT_TRUE(SameText(SectionList(),
                         L"Opcoes\nServidorX\nMira\nServidor1\nServidor2\nServidor3\nServidor4\n"
                         L"Servidor5\nServidor6\nServidor7\nServidor8\nServidor9\nServidor10\n"));
    ASSERT_TRUE(Load(&back_));
    ASSERT_EQ(memories_.count, back_.count);
    EXPECT_EQ(memories_.largestUsed, back_.largestUsed);
    for (int i = 0; i < back_.count; ++i) {
        const ServerMemory& row = memories_.rows[i];
        SCOPED_TRACE(conformance::Show(row.name));
        const ServerMemory* read = FindServerMemory(back_, row.name);
        ASSERT_NE(nullptr, read);
        EXPECT_TRUE(SameText(read->name, row.name));
        EXPECT_EQ(row.enabled, read->enabled);
        EXPECT_EQ(row.used, read->used);
        EXPECT_EQ(0, memcmp(&row.crosshair, &read->crosshair, sizeof row.crosshair));
    }
    const std::wstring expected =
        L"[Servidor10]\r\nnome=imagem\r\nligada=1\r\nusado=10\r\ntamanho=13.000\r\n";
    EXPECT_NE(std::string::npos, ReadBytes(config_).find(Utf16Le(expected, false)));
}

// Of more sections than the record holds, those of the largest usado stay;
// thousands of sections, beyond one buffer of their names, cost nothing else.
TEST_F(ServersOnFile, TheNewestHundredOfThousandsStay) {
    for (int sections : {150, 2000}) {
        SCOPED_TRACE(sections);
        std::wstring text = kOwn;
        for (int i = 1; i <= sections; ++i)
            text += Section(L"Servidor" + std::to_wstring(i), L"s" + std::to_wstring(i), i);
        Config(text);
        options_ = kDefaultOptions;
        ASSERT_TRUE(Load(&memories_));
        EXPECT_EQ(0, options_.enabled);
        EXPECT_EQ(7.0f, crosshair_.size);
        EXPECT_EQ(kServerMemoryLimit, memories_.count);
        EXPECT_EQ((uint32_t)sections, memories_.largestUsed);
        const std::wstring oldest = L"s" + std::to_wstring(sections - 100);
        EXPECT_EQ(nullptr, FindServerMemory(memories_, oldest.c_str()));
        const std::wstring kept = L"s" + std::to_wstring(sections - 99);
        EXPECT_NE(nullptr, FindServerMemory(memories_, kept.c_str()));
        ASSERT_TRUE(Save());
        std::wstring list = SectionList();
        EXPECT_EQ(2 + kServerMemoryLimit, std::count(list.begin(), list.end(), L'\n'));
        EXPECT_EQ(0, ProfileGetInt(L"Opcoes", L"ligada", 9, config_.c_str()));
    }
}

// A change of the memories alone is a change to save; nothing changed, nothing is written.
TEST_F(ServersOnFile, AChangedMemoryIsSavedAndAnUnchangedOneIsNot) {
    SettingsFileState state = {};
    const wchar_t* config = Config(kOwn);
    ASSERT_TRUE(
        SaveSettingsChange(config, options_, crosshair_, memories_, &state, kProfileTryOnce));
    RecordServerMemory(&memories_, L"PvP", crosshair_, 0);
    ASSERT_TRUE(
        SaveSettingsChange(config, options_, crosshair_, memories_, &state, kProfileTryOnce));
    EXPECT_EQ(0, ProfileGetInt(L"Servidor1", L"ligada", 9, config));
    conformance::WriteBytes(config_, Utf16Le(kOwn));
    ASSERT_TRUE(
        SaveSettingsChange(config, options_, crosshair_, memories_, &state, kProfileTryOnce));
    EXPECT_TRUE(SameBytes(ReadBytes(config_), Utf16Le(kOwn))) << "written again";
}

// A file unread at start: what the run recorded lies over the file's memories,
// as the newest.
TEST_F(ServersOnFile, ALateReadLaysTheRunsMemoriesOverTheFiles) {
    const wchar_t* config =
        Config(kOwn + Section(L"Servidor1", L"A", 50) + Section(L"Servidor2", L"B", 40));
    SettingsFileState state = {};
    MarkSettingsUnread(&state, options_, crosshair_);
    RecordServerMemory(&memories_, L"A", kBuiltinPresets[3].settings, 0);
    RecordServerMemory(&memories_, L"C", kBuiltinPresets[1].settings, 1);
    ASSERT_TRUE(ReadLateSettings(config, &options_, &crosshair_, &memories_, &state,
                                 kProfileTryOnce));
    EXPECT_TRUE(state.behind);
    EXPECT_EQ(3, memories_.count);
    EXPECT_EQ(0, Row(L"A").enabled) << "the run's";
    EXPECT_EQ(51u, Row(L"A").used);
    EXPECT_EQ(40u, Row(L"B").used);
    EXPECT_EQ(52u, Row(L"C").used);
}

// The program saves on every change, trying the file once: with a hundred
// servers, a change still rewrites only what changed.
TEST_F(ServersOnFile, ASaveOfAHundredServersStaysQuick) {
    const double kQuickSaveMs = 250.0;
    for (int i = 0; i < kServerMemoryLimit; ++i)
        RecordServerMemory(&memories_, (L"Servidor " + std::to_wstring(i)).c_str(), crosshair_, 1);
    const wchar_t* config = Config(kOwn);
    SettingsFileState state = {};
    ASSERT_TRUE(
        SaveSettingsChange(config, options_, crosshair_, memories_, &state, kProfileTryOnce));
    RecordServerMemory(&memories_, L"Servidor 7", kBuiltinPresets[1].settings, 0);
    auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(
        SaveSettingsChange(config, options_, crosshair_, memories_, &state, kProfileTryOnce));
    double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                    .count();
    printf("a change saved beside a hundred servers in %.1f ms\n", ms);
    EXPECT_LT(ms, kQuickSaveMs);
    ASSERT_TRUE(Load(&back_));
    EXPECT_EQ(kServerMemoryLimit, back_.count);
    EXPECT_EQ(0, FindServerMemory(back_, L"Servidor 7")->enabled);
    EXPECT_EQ(101u, FindServerMemory(back_, L"Servidor 7")->used);
}

}  // namespace
