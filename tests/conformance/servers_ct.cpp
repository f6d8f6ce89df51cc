// The memory of each server in config.ini through the profile layer that is
// linked (kernel32 or the host's own): names of every kind read back exactly,
// and a save of a full record stays quick.
#include <string.h>

#include <chrono>
#include <string>

#include "conformance.h"
#include "crosshair/crosshair.h"
#include "storage/profile.h"
#include "storage/servers.h"
#include "storage/settings.h"

namespace {

using conformance::ReadBytes;
using conformance::SameText;
using conformance::TempDir;
using conformance::Utf16Le;
using conformance::WriteBytes;

class ServersOnFile : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.ok());
        config_ = dir_.Path(L"config.ini");
    }
    const wchar_t* config() const { return config_.c_str(); }
    bool Save() { return SaveSettings(config(), options_, crosshair_, *memories_, kProfileTryOnce); }
    // The section names of config.ini, one per line.
    std::wstring SectionList() {
        wchar_t names[4096];
        unsigned n = ProfileGetSectionNames(names, 4096, config());
        std::wstring list(names, n);
        for (wchar_t& c : list)
            if (!c) c = L'\n';
        return list;
    }
    static std::wstring Section(const std::wstring& section, const std::wstring& name) {
        return L"[" + section + L"]\r\nnome=" + name + L"\r\nusado=1\r\n";
    }

    TempDir dir_;
    std::wstring config_;
    AppOptions options_ = kDefaultOptions;
    CrosshairSettings crosshair_ = kBuiltinPresets[0].settings;
    // Two records are more than a Windows test thread's stack should carry.
    ServerMemories* memories_ = new ServerMemories();
    ServerMemories* back_ = new ServerMemories();
    ~ServersOnFile() override {
        delete memories_;
        delete back_;
    }
};

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
        RecordServerMemory(memories_, name.c_str(), crosshair, name.size() % 2 == 0);
    }
    SetCrosshairImage(&crosshair, L"'mira.png'");
    RecordServerMemory(memories_, L"imagem", crosshair, 1);
    WriteBytes(config_, Utf16Le(L"[Opcoes]\r\nligada=1\r\n" + Section(L"Servidor3", L"old") +
                                Section(L"servidor3", L"twin") + Section(L"Servidor11", L"far") +
                                Section(L"Servidor05", L"zero") + Section(L"ServidorX", L"kept")));
    ASSERT_TRUE(Save());
    EXPECT_TRUE(SameText(SectionList(),
                         L"Opcoes\nServidorX\nMira\nServidor1\nServidor2\nServidor3\nServidor4\n"
                         L"Servidor5\nServidor6\nServidor7\nServidor8\nServidor9\nServidor10\n"));
    ASSERT_TRUE(LoadSettings(config(), &options_, &crosshair_, back_));
    ASSERT_EQ(memories_->count, back_->count);
    EXPECT_EQ(memories_->largestUsed, back_->largestUsed);
    for (int i = 0; i < back_->count; ++i) {
        const ServerMemory& row = memories_->rows[i];
        SCOPED_TRACE(conformance::Show(row.name));
        const ServerMemory* read = FindServerMemory(*back_, row.name);
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

// The program saves on every change, trying the file once: a full record
// costs little more than the settings alone once its sections are written.
TEST_F(ServersOnFile, ASaveOfAHundredServersStaysQuick) {
    const double kQuickSaveMs = 250.0;
    for (int i = 0; i < kServerMemoryLimit; ++i) {
        crosshair_.size = (float)i;
        RecordServerMemory(memories_, (L"Servidor de teste " + std::to_wstring(i)).c_str(),
                           crosshair_, 1);
    }
    auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(Save());
    auto first = std::chrono::steady_clock::now();
    RecordServerMemory(memories_, L"Servidor de teste 7", kBuiltinPresets[1].settings, 0);
    ASSERT_TRUE(Save());
    auto second = std::chrono::steady_clock::now();
    double firstMs = std::chrono::duration<double, std::milli>(first - start).count();
    double changeMs = std::chrono::duration<double, std::milli>(second - first).count();
    RecordProperty("first_save_ms", (int)firstMs);
    RecordProperty("change_save_ms", (int)changeMs);
    printf("a hundred servers: first save %.1f ms, a change %.1f ms\n", firstMs, changeMs);
    EXPECT_LT(changeMs, kQuickSaveMs);
    ASSERT_TRUE(LoadSettings(config(), &options_, &crosshair_, back_));
    EXPECT_EQ(kServerMemoryLimit, back_->count);
    EXPECT_EQ(0, FindServerMemory(*back_, L"Servidor de teste 7")->enabled);
}

}  // namespace
