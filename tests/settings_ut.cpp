// The settings file: first-run content, the start-up load and its fallbacks,
// the text forms of values, and the one-time clean-up of "miras.ini".
#include <math.h>
#include <string.h>

#include <string>

#include "conformance/conformance.h"
#include "crosshair/crosshair.h"
#include "storage/profile.h"
#include "storage/settings.h"

namespace {

using conformance::FileExists;
using conformance::ReadBytes;
using conformance::SameBytes;
using conformance::TempDir;
using conformance::Utf16Le;
using conformance::WriteBytes;

const wchar_t kFirstRunText[] =
    L"[Opcoes]\r\n"
    L"so_com_fivem=1\r\n"
    L"ligada=1\r\n"
    L"so_mirando=0\r\n"
    L"atalho_tecla=79\r\n"
    L"atalho_mod=2\r\n"
    L"monitor=0\r\n"
    L"versao_miras=2\r\n"
    L"esconder_com_cursor=0\r\n"
    L"[Mira]\r\n"
    L"tamanho=-1.500\r\n"
    L"espacamento=-3.000\r\n"
    L"espessura=1.000\r\n"
    L"contorno=1\r\n"
    L"espessura_contorno=1.000\r\n"
    L"ponto=0\r\n"
    L"estilo_t=0\r\n"
    L"cor_r=255\r\n"
    L"cor_g=255\r\n"
    L"cor_b=255\r\n"
    L"opacidade=255\r\n"
    L"posicao_x=0\r\n"
    L"posicao_y=0\r\n";

class SettingsFile : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.ok());
        config_ = dir_.Path(L"config.ini");
        miras_ = dir_.Path(L"miras.ini");
        options_ = kDefaultOptions;
        crosshair_ = kBuiltinPresets[0].settings;
    }
    const wchar_t* config() const { return config_.c_str(); }
    const wchar_t* miras() const { return miras_.c_str(); }
    void WriteConfig(const std::wstring& text) { WriteBytes(config_, Utf16Le(text)); }
    void WriteMiras(const std::wstring& text) { WriteBytes(miras_, Utf16Le(text)); }
    // The start-up file steps in their order.
    void StartUp() {
        bool existed = LoadSettings(config(), &options_, &crosshair_, &memories_);
        PrepareStartupFiles(config(), miras(), existed, options_, crosshair_, memories_);
    }
    std::wstring CopyOf(const std::wstring& file) { return file + L".tmp"; }

    TempDir dir_;
    std::wstring config_, miras_;
    AppOptions options_;
    CrosshairSettings crosshair_;
    ServerMemories memories_ = {};
};

TEST_F(SettingsFile, FirstStartWritesTheExactFiles) {
    EXPECT_FALSE(LoadSettings(config(), &options_, &crosshair_, &memories_));
    StartUp();
    EXPECT_TRUE(SameBytes(ReadBytes(config_), Utf16Le(kFirstRunText)));
    EXPECT_TRUE(SameBytes(ReadBytes(miras_), "\xFF\xFE"));
}

TEST_F(SettingsFile, SecondStartLoadsTheFirstRunFileUnchanged) {
    StartUp();
    options_ = AppOptions{};
    crosshair_ = CrosshairSettings{};
    StartUp();
    EXPECT_EQ(1, options_.enabled);
    EXPECT_EQ(1, options_.onlyWithGame);
    EXPECT_EQ(79, options_.hotkeyKey);
    EXPECT_EQ(2, options_.hotkeyModifiers);
    EXPECT_EQ(-1.5f, crosshair_.size);
    EXPECT_EQ(-3.0f, crosshair_.gap);
    EXPECT_EQ(255, crosshair_.alpha);
    EXPECT_TRUE(SameBytes(ReadBytes(config_), Utf16Le(kFirstRunText)));
}

TEST_F(SettingsFile, MigrationRemovesTheObsoleteSectionsOnce) {
    WriteConfig(L"[Opcoes]\r\nso_com_fivem=1\r\n");
    WriteMiras(L"[Zavik Padrão]\r\ntamanho=1.000\r\n[Cruz verde]\r\ntamanho=2.000\r\n"
               L"[Minha mira]\r\ntamanho=3.000\r\n");
    StartUp();
    EXPECT_TRUE(SameBytes(ReadBytes(miras_), Utf16Le(L"[Minha mira]\r\ntamanho=3.000\r\n")));
    EXPECT_NE(std::string::npos,
              ReadBytes(config_).find(Utf16Le(L"[Opcoes]\r\nso_com_fivem=1\r\nversao_miras=2\r\n", false)));
    // The next start finds version 2 and leaves a re-added section alone.
    WriteMiras(L"[Cruz verde]\r\ntamanho=2.000\r\n");
    MigrateSavedCrosshairs(config(), miras());
    EXPECT_TRUE(SameBytes(ReadBytes(miras_), Utf16Le(L"[Cruz verde]\r\ntamanho=2.000\r\n")));
}

struct VersionRow {
    const char* name;
    const wchar_t* stored;  // null: no versao_miras key
    bool cleans;
    int versionAfter;
};

const VersionRow kVersionRows[] = {
    {"absent", nullptr, true, 2}, {"one", L"1", true, 2},   {"zero", L"0", true, 2},
    {"negative", L"-3", true, 2}, {"two", L"2", false, 2},  {"later", L"7", false, 7},
};

TEST_F(SettingsFile, MigrationRunsForVersionOneOrLess) {
    for (const VersionRow& row : kVersionRows) {
        SCOPED_TRACE(row.name);
        std::wstring text = L"[Opcoes]\r\n";
        if (row.stored) text += std::wstring(L"versao_miras=") + row.stored + L"\r\n";
        WriteConfig(text);
        WriteMiras(L"[Cruz pequena ciano]\r\ntamanho=1.000\r\n");
        MigrateSavedCrosshairs(config(), miras());
        EXPECT_EQ(row.cleans, ReadBytes(miras_) == Utf16Le(L""));
        EXPECT_EQ(row.versionAfter, ProfileGetInt(L"Opcoes", L"versao_miras", 1, config()));
    }
}

TEST_F(SettingsFile, RecreatedSavedFileIsNotMigrated) {
    WriteConfig(L"[Opcoes]\r\nligada=1\r\n");  // no versao_miras
    StartUp();
    EXPECT_TRUE(SameBytes(ReadBytes(miras_), "\xFF\xFE"));
    EXPECT_EQ(2, ProfileGetInt(L"Opcoes", L"versao_miras", 1, config()));
}

TEST_F(SettingsFile, ExistingSavedFileIsNotRecreated) {
    WriteConfig(L"[Opcoes]\r\nversao_miras=2\r\n");
    WriteMiras(L"[a]\r\ntamanho=1.000\r\n");
    const std::string before = ReadBytes(config_);
    CreateSavedCrosshairsFile(config(), miras());
    EXPECT_TRUE(SameBytes(ReadBytes(miras_), Utf16Le(L"[a]\r\ntamanho=1.000\r\n")));
    EXPECT_TRUE(SameBytes(ReadBytes(config_), before));
}

struct StartRow {
    const char* name;
    bool configExists;
    std::string config;  // bytes of config.ini before the start
    bool cleans;
};

// Only settings of an earlier run may start the clean-up of old built-in
// names; a missing or empty config.ini must not cost the user a crosshair.
TEST_F(SettingsFile, CleanUpRunsOnlyOverSettingsOfAnEarlierRun) {
    const std::wstring kOldNames =
        L"[Zavik Padrão]\r\ntamanho=1.000\r\n[Cruz verde]\r\ntamanho=2.000\r\n"
        L"[Minha mira]\r\ntamanho=3.000\r\n";
    const StartRow rows[] = {
        {"config missing", false, "", false},
        {"config empty", true, "", false},
        {"config holding only the marker", true, "\xFF\xFE", false},
        {"config without versao_miras", true, Utf16Le(L"[Opcoes]\r\nligada=1\r\n"), true},
        {"config with versao_miras 1", true, Utf16Le(L"[Opcoes]\r\nversao_miras=1\r\n"), true},
        {"config with versao_miras 2", true, Utf16Le(L"[Opcoes]\r\nversao_miras=2\r\n"), false},
    };
    for (const StartRow& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_TRUE(ProfileRemoveFile(config()));
        if (row.configExists) WriteBytes(config_, row.config);
        WriteMiras(kOldNames);
        options_ = kDefaultOptions;
        crosshair_ = kBuiltinPresets[0].settings;
        StartUp();
        std::string after = ReadBytes(miras_);
        if (row.cleans) {
            EXPECT_TRUE(SameBytes(after, Utf16Le(L"[Minha mira]\r\ntamanho=3.000\r\n")));
        } else {
            EXPECT_TRUE(SameBytes(after, Utf16Le(kOldNames)));
        }
        EXPECT_EQ(2, ProfileGetInt(L"Opcoes", L"versao_miras", 1, config()));
        // A config.ini without settings is written whole, as on a first run.
        if (row.config.size() <= 2) {
            EXPECT_TRUE(SameBytes(ReadBytes(config_), Utf16Le(kFirstRunText)));
        }
        // The next start leaves miras.ini as this one left it.
        StartUp();
        EXPECT_TRUE(SameBytes(ReadBytes(miras_), after));
    }
}

TEST_F(SettingsFile, LeftoverCopiesAreRemovedAndNeverRead) {
    StartUp();
    WriteMiras(L"[Minha mira]\r\ntamanho=3.000\r\n");
    const std::string config = ReadBytes(config_), miras = ReadBytes(miras_);
    WriteBytes(CopyOf(config_), Utf16Le(L"[Opcoes]\r\nligada=0\r\n[Mira]\r\ntamanho=9.000\r\n"));
    WriteBytes(CopyOf(miras_), Utf16Le(L"[Fantasma]\r\ntamanho=9.000\r\n"));
    StartUp();
    EXPECT_FALSE(FileExists(CopyOf(config_)));
    EXPECT_FALSE(FileExists(CopyOf(miras_)));
    EXPECT_EQ(1, options_.enabled);
    EXPECT_EQ(-1.5f, crosshair_.size);
    EXPECT_TRUE(SameBytes(ReadBytes(config_), config));
    EXPECT_TRUE(SameBytes(ReadBytes(miras_), miras));
}

TEST_F(SettingsFile, FailedSaveKeepsTheOldFileAndTheNextSaveWritesAll) {
    StartUp();
    const std::string before = ReadBytes(config_);
    ASSERT_TRUE(conformance::SetReadOnly(config_, true));
    crosshair_.size = 4.0f;
    options_.monitor = 3;
    ProfileReplaceable refusal = kProfileReplaceable;
    EXPECT_FALSE(SaveSettings(config(), options_, crosshair_, memories_, kProfileTryOnce, &refusal));
    EXPECT_EQ(kProfileReadOnly, refusal);
    ASSERT_TRUE(conformance::SetReadOnly(config_, false));
    EXPECT_TRUE(SameBytes(ReadBytes(config_), before));
    EXPECT_FALSE(FileExists(CopyOf(config_))) << "the failed copy stayed behind";
    crosshair_.gap = 1.0f;
    EXPECT_TRUE(SaveSettings(config(), options_, crosshair_, memories_, kProfileTryOnce));
    AppOptions options = kDefaultOptions;
    CrosshairSettings crosshair = kBuiltinPresets[0].settings;
    ASSERT_TRUE(LoadSettings(config(), &options, &crosshair, &memories_));
    EXPECT_EQ(4.0f, crosshair.size);
    EXPECT_EQ(1.0f, crosshair.gap);
    EXPECT_EQ(3, options.monitor);
}

// A config.ini the start could not read is never written from the defaults;
// once it can be read, what this run changed lies over the file's own values.
TEST_F(SettingsFile, UnreadFileKeepsItsValuesUnderTheChangesOfTheRun) {
    WriteConfig(L"[Opcoes]\r\nligada=0\r\natalho_tecla=80\r\natalho_mod=1\r\n"
                L"[Mira]\r\ntamanho=4.000\r\ncor_r=10\r\n");
    const std::string before = ReadBytes(config_);
    // What LoadSettingsPatiently records when another program holds the file.
    SettingsFileState state = {};
    MarkSettingsUnread(&state, options_, crosshair_);
    PrepareStartupFiles(config(), miras(), true, options_, crosshair_, memories_, &state);
    options_.onlyWhileAiming = 1;
    options_.hotkeyKey = 81;
    crosshair_.gap = 2.0f;
    EXPECT_FALSE(SaveSettingsChange(config(), options_, crosshair_, memories_, &state, kProfileTryOnce));
    EXPECT_TRUE(state.behind);
    EXPECT_TRUE(SameBytes(ReadBytes(config_), before));
    EXPECT_TRUE(FileExists(miras_));
    ASSERT_TRUE(ReadLateSettings(config(), &options_, &crosshair_, &memories_, &state, kProfileTryOnce));
    EXPECT_TRUE(state.behind);
    EXPECT_EQ(0, options_.enabled) << "the file's";
    EXPECT_EQ(1, options_.onlyWhileAiming) << "the run's";
    EXPECT_EQ(81, options_.hotkeyKey) << "the run's hotkey, whole";
    EXPECT_EQ(2, options_.hotkeyModifiers);
    EXPECT_EQ(4.0f, crosshair_.size) << "the file's";
    EXPECT_EQ(10, crosshair_.red) << "the file's";
    EXPECT_EQ(2.0f, crosshair_.gap) << "the run's";
    EXPECT_FALSE(ReadLateSettings(config(), &options_, &crosshair_, &memories_, &state, kProfileTryOnce))
        << "read once";
}

// A pick is laid whole, the fields equal to the start's included; the offsets
// it does not set stay the file's.
TEST_F(SettingsFile, UnreadFileTakesAWholePickAsChosen) {
    WriteConfig(L"[Mira]\r\nespessura=3.000\r\ncor_g=200\r\nopacidade=200\r\nposicao_x=7\r\n");
    SettingsFileState state = {};
    MarkSettingsUnread(&state, options_, crosshair_);
    crosshair_ = kBuiltinPresets[2].settings;
    NoteAssignedFields(&state, kAssignedCrosshairLook);
    ASSERT_TRUE(ReadLateSettings(config(), &options_, &crosshair_, &memories_, &state, kProfileTryOnce));
    CrosshairSettings expected = kBuiltinPresets[2].settings;
    expected.offsetX = 7;
    EXPECT_EQ(0, memcmp(&expected, &crosshair_, sizeof expected));
}

TEST_F(SettingsFile, SaveRepairsAnEmptiedFileAsUtf16) {
    WriteBytes(config_, "");
    crosshair_.size = 2.0f;
    ASSERT_TRUE(SaveSettings(config(), options_, crosshair_, memories_, kProfileTryOnce));
    std::wstring expected = kFirstRunText;
    expected.erase(expected.find(L"versao_miras=2\r\n"), 16);
    expected.replace(expected.find(L"tamanho=-1.500"), 14, L"tamanho=2.000");
    EXPECT_TRUE(SameBytes(ReadBytes(config_), Utf16Le(expected)));
}

// The tick's retries: every tick while the file is only held; while it
// refuses every change, each wait doubles up to thirty seconds.
TEST(SaveRetry, WaitsDoubleWhileTheFileRefuses) {
    const uint32_t kBeforeWrap = 0xFFFFFF00u;  // the tick count wraps during the waits
    const struct {
        const char* name;
        uint32_t waitBefore;
        bool refused;
        uint32_t waitAfter;
    } rows[] = {
        {"first refusal: one tick", 0, true, 180},
        {"a refusal doubles the wait", 180, true, 360},
        {"up to thirty seconds", 23040, true, 30000},
        {"and no further", 30000, true, 30000},
        {"a held file: every tick again", 11520, false, 180},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        SaveRetry retry = {0, row.waitBefore};
        NoteSaveTry(&retry, kBeforeWrap, row.refused);
        EXPECT_EQ(row.waitAfter, retry.waitMs);
        EXPECT_FALSE(SaveRetryDue(retry, kBeforeWrap + row.waitAfter - 1));
        EXPECT_TRUE(SaveRetryDue(retry, kBeforeWrap + row.waitAfter));
    }
}

TEST_F(SettingsFile, PathTooLongForItsCopyIsNotWritten) {
    // 257 characters: the copy's name would need 261 with its terminator.
    std::wstring longPath = dir_.Path(L"c");
    longPath.append(kPathChars - 3 - longPath.size(), L'c');
    FileChange change;
    EXPECT_FALSE(BeginFileChange(&change, longPath.c_str(), kProfileTryOnce));
    EXPECT_FALSE(SaveSettings(longPath.c_str(), options_, crosshair_, memories_, kProfileTryOnce));
}

struct FlagRow {
    const char* name;
    const wchar_t* file;
    int32_t AppOptions::*flag;
    int32_t expected;
};

const FlagRow kFlagRows[] = {
    {"only in Mira", L"[Opcoes]\r\nmonitor=0\r\n[Mira]\r\nligada=0\r\n", &AppOptions::enabled, 0},
    {"Opcoes wins", L"[Opcoes]\r\nligada=1\r\n[Mira]\r\nligada=0\r\n", &AppOptions::enabled, 1},
    {"Opcoes off", L"[Opcoes]\r\nligada=0\r\n", &AppOptions::enabled, 0},
    {"nowhere", L"[Opcoes]\r\nmonitor=0\r\n", &AppOptions::enabled, 1},
    {"cursor flag absent", L"[Opcoes]\r\nmonitor=0\r\n", &AppOptions::hideWithCursor, 0},
    {"cursor flag on", L"[Opcoes]\r\nesconder_com_cursor=1\r\n", &AppOptions::hideWithCursor, 1},
    {"cursor flag not a whole number", L"[Opcoes]\r\nesconder_com_cursor=sim\r\n",
     &AppOptions::hideWithCursor, 0},
};

// An absent flag takes its default, never the value in place; "ligada" may
// still stand in "Mira", where older files kept it.
TEST_F(SettingsFile, FlagsReadAsStoredOrTheirDefaults) {
    for (const FlagRow& row : kFlagRows) {
        SCOPED_TRACE(row.name);
        WriteConfig(row.file);
        AppOptions options = kDefaultOptions;
        options.*row.flag = 7;
        CrosshairSettings crosshair = kBuiltinPresets[0].settings;
        ASSERT_TRUE(LoadSettings(config(), &options, &crosshair, &memories_));
        EXPECT_EQ(row.expected, options.*row.flag);
    }
}

TEST_F(SettingsFile, SavingMovesTheEnabledFlagToOptionsAndLeavesMiraAlone) {
    WriteConfig(L"[Opcoes]\r\nmonitor=0\r\n[Mira]\r\nligada=0\r\n");
    ASSERT_TRUE(LoadSettings(config(), &options_, &crosshair_, &memories_));
    SaveSettings(config(), options_, crosshair_, memories_, kProfileTryOnce);
    EXPECT_EQ(0, ProfileGetInt(L"Opcoes", L"ligada", 9, config()));
    EXPECT_EQ(0, ProfileGetInt(L"Mira", L"ligada", 9, config()));
}

struct HotkeyRow {
    const char* name;
    const wchar_t* file;
    int32_t key, modifiers;
    int32_t AppOptions::*keyField = &AppOptions::hotkeyKey;
    int32_t AppOptions::*modifiersField = &AppOptions::hotkeyModifiers;
};

// The switch reads as the toggle does, falling back to its own default: none.
constexpr int32_t AppOptions::*kSwitchKey = &AppOptions::switchKey;
constexpr int32_t AppOptions::*kSwitchModifiers = &AppOptions::switchModifiers;

const HotkeyRow kHotkeyRows[] = {
    {"zero", L"atalho_tecla=0\r\natalho_mod=5\r\n", 79, 2},
    {"255", L"atalho_tecla=255\r\natalho_mod=5\r\n", 79, 2},
    {"300", L"atalho_tecla=300\r\natalho_mod=5\r\n", 79, 2},
    {"negative", L"atalho_tecla=-1\r\natalho_mod=5\r\n", 79, 2},
    {"254 kept", L"atalho_tecla=254\r\natalho_mod=5\r\n", 254, 5},
    {"1 kept, Ctrl added", L"atalho_tecla=1\r\natalho_mod=0\r\n", 1, 2},
    {"Shift alone gains Ctrl", L"atalho_tecla=75\r\natalho_mod=4\r\n", 75, 6},
    {"odd modifiers alone kept", L"atalho_tecla=65\r\natalho_mod=99\r\n", 65, 99},
    {"absent", L"", 79, 2},
    {"switch absent is none", L"", 0, 0, kSwitchKey, kSwitchModifiers},
    {"switch 255 is none", L"troca_tecla=255\r\ntroca_mod=5\r\n", 0, 0, kSwitchKey,
     kSwitchModifiers},
    {"switch kept", L"troca_tecla=75\r\ntroca_mod=6\r\n", 75, 6, kSwitchKey, kSwitchModifiers},
    {"switch without modifiers gains Ctrl", L"troca_tecla=75\r\n", 75, 2, kSwitchKey,
     kSwitchModifiers},
    {"switch 0 gains Ctrl", L"troca_tecla=75\r\ntroca_mod=0\r\n", 75, 2, kSwitchKey,
     kSwitchModifiers},
    {"switch Shift gains Ctrl", L"troca_tecla=75\r\ntroca_mod=4\r\n", 75, 6, kSwitchKey,
     kSwitchModifiers},
    {"switch Alt and Shift kept", L"troca_tecla=75\r\ntroca_mod=5\r\n", 75, 5, kSwitchKey,
     kSwitchModifiers},
};

TEST_F(SettingsFile, HotkeyOutsideOneTo254FallsBackWithItsModifiers) {
    for (const HotkeyRow& row : kHotkeyRows) {
        SCOPED_TRACE(row.name);
        WriteConfig(std::wstring(L"[Opcoes]\r\n") + row.file);
        AppOptions options = kDefaultOptions;
        CrosshairSettings crosshair = kBuiltinPresets[0].settings;
        ASSERT_TRUE(LoadSettings(config(), &options, &crosshair, &memories_));
        EXPECT_EQ(row.key, options.*row.keyField);
        EXPECT_EQ(row.modifiers, options.*row.modifiersField);
    }
}

// After the other keys of "Opcoes" while a switch is recorded, or while the
// servers' memory is off, and gone again after: the file is then byte for
// byte what it was.
TEST_F(SettingsFile, KeysOfOneStateComeAndGo) {
    AppOptions withSwitch = kDefaultOptions, serversOff = kDefaultOptions;
    withSwitch.switchKey = 75;
    withSwitch.switchModifiers = 6;
    serversOff.perServer = 0;
    const struct {
        const char* name;
        const AppOptions& options;
        const wchar_t* keys;
    } rows[] = {{"a switch", withSwitch, L"troca_tecla=75\r\ntroca_mod=6\r\n"},
                {"servers' memory off", serversOff, L"por_servidor=0\r\n"}};
    StartUp();
    const std::string none = ReadBytes(config_);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_TRUE(SaveSettings(config(), row.options, crosshair_, memories_, kProfileTryOnce));
        std::wstring expected = kFirstRunText;
        expected.insert(expected.find(L"[Mira]"), row.keys);
        EXPECT_TRUE(SameBytes(ReadBytes(config_), Utf16Le(expected)));
        ASSERT_TRUE(SaveSettings(config(), kDefaultOptions, crosshair_, memories_, kProfileTryOnce));
        EXPECT_TRUE(SameBytes(ReadBytes(config_), none));
    }
}

TEST_F(SettingsFile, StartWithWindowsIsNeitherSavedNorLoaded) {
    options_.startWithWindows = 1;
    WriteFirstRunSettings(config(), options_, crosshair_, memories_);
    EXPECT_TRUE(SameBytes(ReadBytes(config_), Utf16Le(kFirstRunText)));
    AppOptions loaded = kDefaultOptions;
    loaded.startWithWindows = 1;
    LoadSettings(config(), &loaded, &crosshair_, &memories_);
    EXPECT_EQ(1, loaded.startWithWindows);
}

struct FloatRow {
    const char* name;
    const wchar_t* stored;  // null: key absent
    float current;
    float expected;
};

const FloatRow kFloatRows[] = {
    {"absent passes the current value through %.3f", nullptr, 1.23456f, 1.235f},
    {"plain", L"2.5", 9.0f, 2.5f},
    {"negative", L"-1.500", 9.0f, -1.5f},
    {"exponent", L"1e2", 9.0f, 100.0f},
    {"empty is zero", L"", 9.0f, 0.0f},
    {"not a number is zero", L"abc", 9.0f, 0.0f},
    {"comma is not a decimal point", L"2,5", 9.0f, 2.0f},
    {"beyond float is infinity", L"1e39", 9.0f, HUGE_VALF},
    {"below float is minus infinity", L"-1e39", 9.0f, -HUGE_VALF},
    {"infinity as text", L"inf", 9.0f, HUGE_VALF},
    {"too small is zero", L"1e-50", 9.0f, 0.0f},
};

TEST_F(SettingsFile, FloatsReadAsTheyCome) {
    for (const FloatRow& row : kFloatRows) {
        SCOPED_TRACE(row.name);
        std::wstring text = L"[Mira]\r\n";
        if (row.stored) text += std::wstring(L"tamanho=") + row.stored + L"\r\n";
        WriteConfig(text);
        EXPECT_EQ(row.expected, ReadFloatSetting(config(), L"Mira", L"tamanho", row.current));
    }
}

TEST_F(SettingsFile, NotANumberIsStoredAsItComes) {
    WriteConfig(L"[Mira]\r\ntamanho=nan\r\n");
    EXPECT_TRUE(isnan(ReadFloatSetting(config(), L"Mira", L"tamanho", 1.0f)));
}

struct TextRow {
    const char* name;
    const wchar_t* key;
    const wchar_t* expected;
};

TEST_F(SettingsFile, ValuesAreWrittenInTheirTextForms) {
    CreateUtf16File(config());
    WriteFloatSetting(config(), L"Mira", L"f1", -1.5f);
    WriteFloatSetting(config(), L"Mira", L"f2", 0.0004f);
    WriteFloatSetting(config(), L"Mira", L"f3", 123456.5f);
    WriteIntSetting(config(), L"Mira", L"i1", -12);
    WriteIntSetting(config(), L"Mira", L"i2", 2147483647);
    const TextRow rows[] = {
        {"float three decimals", L"f1", L"-1.500"},
        {"float rounds", L"f2", L"0.000"},
        {"large float whole", L"f3", L"123456.500"},
        {"negative int", L"i1", L"-12"},
        {"int max", L"i2", L"2147483647"},
    };
    for (const TextRow& row : rows) {
        SCOPED_TRACE(row.name);
        wchar_t text[80];
        ProfileGetString(L"Mira", row.key, L"", text, 80, config());
        EXPECT_TRUE(conformance::SameText(text, row.expected));
    }
}

TEST_F(SettingsFile, IntegersAndBytesOfACrosshairSection) {
    WriteConfig(L"[Mira]\r\nposicao_x=-12\r\ncor_r=300\r\ncor_g=-1\r\ncontorno=7\r\n");
    CrosshairSettings c = kBuiltinPresets[0].settings;
    c.blue = 17;
    c.offsetY = 33;
    ReadCrosshairSection(config(), L"Mira", &c);
    EXPECT_EQ(-12, c.offsetX);
    EXPECT_EQ(44, c.red);     // low 8 bits of 300
    EXPECT_EQ(255, c.green);  // low 8 bits of -1
    EXPECT_EQ(7, c.outline);  // flags are kept as stored
    EXPECT_EQ(17, c.blue);    // absent keys keep the current value
    EXPECT_EQ(33, c.offsetY);
}

TEST_F(SettingsFile, CrosshairSectionRoundTrips) {
    CreateUtf16File(config());
    CrosshairSettings c = {4.5f, -2.0f, 0.5f, 7, 2.5f, 1, 1, 1, 2, 3, 4, -100, 100};
    WriteCrosshairSection(config(), L"Mira", c);
    CrosshairSettings back = {};
    ReadCrosshairSection(config(), L"Mira", &back);
    EXPECT_EQ(0, memcmp(&c, &back, sizeof c));
}

TEST_F(SettingsFile, SavingAgainReplacesValuesInPlace) {
    StartUp();
    options_.enabled = 0;
    options_.monitor = 3;
    crosshair_.size = 4.0f;
    SaveSettings(config(), options_, crosshair_, memories_, kProfileTryOnce);
    std::wstring expected = kFirstRunText;
    expected.replace(expected.find(L"ligada=1"), 8, L"ligada=0");
    expected.replace(expected.find(L"monitor=0"), 9, L"monitor=3");
    expected.replace(expected.find(L"tamanho=-1.500"), 14, L"tamanho=4.000");
    EXPECT_TRUE(SameBytes(ReadBytes(config_), Utf16Le(expected)));
}

}  // namespace

namespace {

struct ImageKeyRow {
    const char* name;
    std::wstring keys;  // image keys of [Mira]
    const wchar_t* image;
    int32_t scale;
};

const ImageKeyRow kImageKeyRows[] = {
    {"absent: the drawn crosshair at 100 %", L"", L"", 100},
    {"name and scale", L"imagem=mira.png\r\nescala_imagem=200\r\n", L"mira.png", 200},
    {"scale absent is 100", L"imagem=mira.png\r\n", L"mira.png", 100},
    {"scale as it comes", L"imagem=mira.png\r\nescala_imagem=5000\r\n", L"mira.png", 5000},
    {"accents and spaces", L"imagem=mira ção (2).png\r\n", L"mira ção (2).png", 100},
    {"backslash", L"imagem=..\\config.ini\r\n", L"", 100},
    {"slash", L"imagem=sub/mira.png\r\n", L"", 100},
    {"two dots", L"imagem=mira..png\r\n", L"", 100},
    {"drive colon", L"imagem=C:mira.png\r\n", L"", 100},
    {"star", L"imagem=mi*ra.png\r\n", L"", 100},
    {"angle brackets", L"imagem=<mira>.png\r\n", L"", 100},
    {"tab inside", L"imagem=mi\tra.png\r\n", L"", 100},
    {"trailing dot", L"imagem=mira.png.\r\n", L"", 100},
    {"127 characters fit", L"imagem=" + std::wstring(123, L'a') + L".png\r\n",
     nullptr, 100},
    {"128 characters do not", L"imagem=" + std::wstring(124, L'a') + L".png\r\n", L"", 100},
    {"empty name", L"imagem=\r\nescala_imagem=50\r\n", L"", 50},
    {"quoted: a leading space kept", L"imagem=\" mira.png\"\r\n", L" mira.png", 100},
    {"single quotes inside double", L"imagem=\"'mira.png'\"\r\n", L"'mira.png'", 100},
    {"single quotes alone go", L"imagem='mira.png'\r\n", L"mira.png", 100},
};

// The image keys say what the section says: absent or refused means the drawn
// crosshair, whatever the record wore before.
TEST_F(SettingsFile, ImageKeysReadAsTheSectionSays) {
    for (const ImageKeyRow& row : kImageKeyRows) {
        SCOPED_TRACE(row.name);
        WriteConfig(L"[Mira]\r\ntamanho=2.000\r\n" + row.keys);
        CrosshairSettings c = kBuiltinPresets[0].settings;
        SetCrosshairImage(&c, L"antes.png");
        c.imageScale = 250;
        ReadCrosshairSection(config(), L"Mira", &c);
        std::wstring expected = row.image ? row.image : std::wstring(123, L'a') + L".png";
        EXPECT_TRUE(conformance::SameText(c.image, expected));
        EXPECT_EQ(row.scale, c.imageScale);
        EXPECT_EQ(2.0f, c.size);
    }
}

// Written after the other keys while an image is worn, and gone again after:
// the file is then byte for byte what it was.
TEST_F(SettingsFile, ImageKeysAreWrittenOnlyWhileAnImageIsWorn) {
    StartUp();
    const std::string drawn = ReadBytes(config_);
    SettingsFileState state = {};
    SetCrosshairImage(&crosshair_, L"mira.png");
    crosshair_.imageScale = 200;
    ASSERT_TRUE(SaveSettingsChange(config(), options_, crosshair_, memories_, &state, kProfileTryOnce));
    std::wstring expected = kFirstRunText;
    expected += L"imagem=mira.png\r\nescala_imagem=200\r\n";
    EXPECT_TRUE(SameBytes(ReadBytes(config_), Utf16Le(expected)));
    SetCrosshairImage(&crosshair_, nullptr);
    ASSERT_TRUE(SaveSettingsChange(config(), options_, crosshair_, memories_, &state, kProfileTryOnce));
    EXPECT_TRUE(SameBytes(ReadBytes(config_), drawn));
}

}  // namespace

