// End-to-end cases with hostile settings files: "config.ini" and "miras.ini"
// in foreign encodings, broken, huge, full of odd numbers, read-only, or a
// settings folder that is a file. Whatever the files hold, the program starts,
// stays up without a message box, shows its settings window with sane value
// labels and the crosshair when asked, leaves the saved crosshairs it did not
// write untouched, and writes nothing outside its settings folder.
#include <random>
#include <regex>

#include "trust_support.h"
#include "state/identity.h"
#include "base/ids.h"

using namespace e2e;
using namespace e2e::trust;

namespace {

const DWORD kStayUpMs = 3000;  // the program must still run this long after its start
const wchar_t kConfig[] = L"config.ini";
const wchar_t kMiras[] = L"miras.ini";
const int kBuiltinLines = 4;  // the starred lines before the saved crosshairs
const int kAnsiCodePage = 1252;
const unsigned kGarbageSeed = 20261207;
enum : size_t {
    kGarbageBytes = 64 * 1024,
    kHugeBytes = 5 * 1024 * 1024,
    kManySections = 10000,
    kLongSectionName = 300,
    kLongValueDigits = 70000,
};
const int kLabelIds[] = {kIdLabelSize,  kIdLabelGap,     kIdLabelThickness, kIdLabelOutline,
                         kIdLabelAlpha, kIdLabelOffsetX, kIdLabelOffsetY};

// ---------------------------------------------------------- file contents ---

std::string Ansi(const std::string& utf8) {
    std::wstring wide = Wide(Crlf(utf8));
    int n = WideCharToMultiByte(kAnsiCodePage, 0, wide.data(), (int)wide.size(), nullptr, 0,
                                nullptr, nullptr);
    std::string out((size_t)n, '\0');
    WideCharToMultiByte(kAnsiCodePage, 0, wide.data(), (int)wide.size(), &out[0], n, nullptr,
                        nullptr);
    return out;
}

// Every value of an INI text replaced by value.
std::string EveryValue(const std::string& text, const char* value) {
    std::string out;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(pos, end - pos);
        size_t eq = line.find('=');
        if (eq != std::string::npos && line[0] != '[') line = line.substr(0, eq + 1) + value;
        out += line + "\n";
        pos = end + 1;
    }
    return out;
}

// The settings a row of "config.ini" builds on: shown outside the game, so
// the crosshair appears without a game window.
std::string ShownConfig(const char* size = "-1.500") {
    return ConfigText({{"so_com_fivem", "0"}, {"tamanho", size}});
}

std::string SpecialSection(const char* value) {
    return EveryValue("[Especial]\n" + CrosshairKeys("0"), value) + UserSections();
}

std::string Garbage(size_t bytes, unsigned seed) {
    std::mt19937 random(seed);
    std::string out(bytes, '\0');
    for (char& c : out) c = (char)(random() & 0xFF);
    return out;
}

std::string NoiseSections(size_t count, size_t minBytes) {
    std::string out;
    for (size_t i = 0; i < count || out.size() * 2 < minBytes; ++i) {
        out += "[Ruido " + std::to_string(i) + "]\nchave=valor " + std::to_string(i) +
               "\n; um comentário qualquer para encher o arquivo\n";
    }
    return out;
}

std::string LoneSurrogate(const std::string& before, const std::string& after) {
    // A high surrogate with no low one after it.
    return Unicode(before) + std::string("\x00\xD8", 2) + Utf16Le(Wide(Crlf(after)));
}

// --------------------------------------------------------------- the rows ---

enum Target { kTargetConfig, kTargetMiras, kTargetFolderIsFile };

struct HostileRow {
    const char* name;
    Target target;
    std::string (*make)();
    bool readOnly;
    const wchar_t* sizeLabel;  // what label 300 must show, or null when any sane text will do
    bool applySaved;           // select the first saved crosshair, so its values are read
};

const HostileRow kRows[] = {
    // ---- config.ini
    {"ConfigAnsiWithoutMark", kTargetConfig,
     [] { return Ansi("; configuração à mão\n" + ShownConfig("2.500")); }, false, L"2.5", false},
    {"ConfigUtf8WithItsMark", kTargetConfig,
     [] { return "\xEF\xBB\xBF" + Crlf("; configuração\n" + ShownConfig("3.000")); }, false, L"3.0",
     false},
    {"ConfigOddNumberOfBytes", kTargetConfig, [] { return Unicode(ShownConfig("3.500")) + "A"; },
     false, L"3.5", false},
    {"ConfigLoneSurrogate", kTargetConfig,
     [] { return LoneSurrogate("[Lixo", "]\nx=1\n" + ShownConfig("4.000")); }, false, L"4.0",
     false},
    {"ConfigBinaryGarbage", kTargetConfig, [] { return Garbage(kGarbageBytes, kGarbageSeed); },
     false, nullptr, false},
    {"ConfigGarbageAfterTheMark", kTargetConfig,
     [] { return "\xFF\xFE" + Garbage(kGarbageBytes, kGarbageSeed + 1); }, false, nullptr, false},
    {"ConfigNulCharacters", kTargetConfig,
     [] { return Unicode("; a\n") + std::string(64, '\0') + Utf16Le(Wide(Crlf(ShownConfig()))); },
     false, nullptr, false},
    {"ConfigFiveMebibytes", kTargetConfig,
     [] { return Unicode(NoiseSections(0, kHugeBytes) + ShownConfig("4.500")); }, false, L"4.5",
     false},
    {"ConfigTenThousandSections", kTargetConfig,
     [] { return Unicode(NoiseSections(kManySections, 0) + ShownConfig("5.000")); }, false, L"5.0",
     false},
    {"ConfigSectionNameOf300", kTargetConfig,
     [] {
         return Unicode("[" + std::string(kLongSectionName, 'S') + "]\nchave=1\n" +
                        ShownConfig("5.500"));
     },
     false, L"5.5", false},
    {"ConfigDuplicateSections", kTargetConfig,
     [] { return Unicode(ShownConfig("6.000") + "[Mira]\ntamanho=7.000\n[Opcoes]\nligada=0\n"); },
     false, nullptr, false},
    {"ConfigDuplicateKeys", kTargetConfig,
     [] { return Unicode(ShownConfig("6.500") + "[Mira]\ntamanho=8.000\ntamanho=9.000\n"); }, false,
     nullptr, false},
    {"ConfigKeysWithoutEquals", kTargetConfig,
     [] { return Unicode("[Opcoes]\nso_com_fivem=0\nligada\n[Mira]\ntamanho\nespessura\n"); },
     false, nullptr, false},
    {"ConfigNaN", kTargetConfig, [] { return Unicode(EveryValue(ShownConfig(), "NaN")); }, false,
     nullptr, false},
    {"ConfigPlusInfinity", kTargetConfig, [] { return Unicode(EveryValue(ShownConfig(), "inf")); },
     false, nullptr, false},
    {"ConfigMinusInfinity", kTargetConfig,
     [] { return Unicode(EveryValue(ShownConfig(), "-infinity")); }, false, nullptr, false},
    {"Config1e39", kTargetConfig, [] { return Unicode(EveryValue(ShownConfig(), "1e39")); }, false,
     nullptr, false},
    {"ConfigMinusZero", kTargetConfig, [] { return Unicode(EveryValue(ShownConfig(), "-0")); },
     false, nullptr, false},
    {"Config2Pow31", kTargetConfig, [] { return Unicode(EveryValue(ShownConfig(), "2147483648")); },
     false, nullptr, false},
    {"ConfigMinus2Pow31Minus1", kTargetConfig,
     [] { return Unicode(EveryValue(ShownConfig(), "-2147483649")); }, false, nullptr, false},
    {"ConfigEmptyValues", kTargetConfig, [] { return Unicode(EveryValue(ShownConfig(), "")); },
     false, nullptr, false},
    {"ConfigValueOf70000Digits", kTargetConfig,
     [] { return Unicode(ShownConfig(("1" + std::string(kLongValueDigits, '0')).c_str())); }, false,
     nullptr, false},
    {"ConfigEmptyFile", kTargetConfig, [] { return std::string(); }, false, L"-1.5", false},
    {"ConfigOnlyTheMark", kTargetConfig, [] { return std::string("\xFF\xFE"); }, false, L"-1.5",
     false},
    {"ConfigReadOnly", kTargetConfig, [] { return Unicode(ShownConfig("2.000")); }, true, L"2.0",
     false},
    // ---- miras.ini (config.ini is an ordinary one)
    {"MirasAnsiWithoutMark", kTargetMiras, [] { return Ansi("; à mão\n" + UserSections()); }, false,
     L"2.0", true},
    {"MirasUtf8WithItsMark", kTargetMiras, [] { return "\xEF\xBB\xBF" + Crlf(UserSections()); },
     false, L"2.0", true},
    {"MirasOddNumberOfBytes", kTargetMiras, [] { return Unicode(UserSections()) + "A"; }, false,
     L"2.0", true},
    {"MirasLoneSurrogate", kTargetMiras,
     [] { return LoneSurrogate("[Mira ", "]\n" + CrosshairKeys("3.000") + UserSections()); }, false,
     nullptr, true},
    {"MirasBinaryGarbage", kTargetMiras, [] { return Garbage(kGarbageBytes, kGarbageSeed + 2); },
     false, nullptr, true},
    {"MirasGarbageAfterTheMark", kTargetMiras,
     [] { return "\xFF\xFE" + Garbage(kGarbageBytes, kGarbageSeed + 3); }, false, nullptr, true},
    {"MirasFiveMebibytes", kTargetMiras,
     [] { return Unicode(UserSections() + NoiseSections(0, kHugeBytes)); }, false, L"2.0", true},
    {"MirasTenThousandSections", kTargetMiras,
     [] { return Unicode(UserSections() + NoiseSections(kManySections, 0)); }, false, L"2.0", true},
    {"MirasSectionNameOf300", kTargetMiras,
     [] {
         return Unicode("[" + std::string(kLongSectionName, 'S') + "]\n" + CrosshairKeys("9.000") +
                        UserSections());
     },
     false, L"-1.5", true},  // longer than 63 characters: the line cannot be applied
    {"MirasDuplicateSections", kTargetMiras,
     [] { return Unicode(UserSections() + "[Minha mira]\n" + CrosshairKeys("7.000")); }, false,
     nullptr, true},
    {"MirasKeysWithoutEquals", kTargetMiras,
     [] { return Unicode("[Sem valores]\ntamanho\nespessura\n" + UserSections()); }, false, nullptr,
     true},
    {"MirasNaN", kTargetMiras, [] { return Unicode(SpecialSection("NaN")); }, false, nullptr, true},
    {"MirasPlusInfinity", kTargetMiras, [] { return Unicode(SpecialSection("inf")); }, false,
     nullptr, true},
    {"MirasMinusInfinity", kTargetMiras, [] { return Unicode(SpecialSection("-infinity")); }, false,
     nullptr, true},
    {"Miras1e39", kTargetMiras, [] { return Unicode(SpecialSection("1e39")); }, false, nullptr,
     true},
    {"MirasMinusZero", kTargetMiras, [] { return Unicode(SpecialSection("-0")); }, false, nullptr,
     true},
    {"Miras2Pow31", kTargetMiras, [] { return Unicode(SpecialSection("2147483648")); }, false,
     nullptr, true},
    {"MirasMinus2Pow31Minus1", kTargetMiras, [] { return Unicode(SpecialSection("-2147483649")); },
     false, nullptr, true},
    {"MirasEmptyValues", kTargetMiras, [] { return Unicode(SpecialSection("")); }, false, nullptr,
     true},
    {"MirasReadOnly", kTargetMiras, [] { return Unicode(UserSections()); }, true, L"2.0", true},
    // ---- no settings folder can be made
    {"SettingsFolderIsAFile", kTargetFolderIsFile, [] { return std::string("not a folder"); },
     false, L"-1.5", false},
};

// ---------------------------------------------------------------- checks ---

// A value label that reads as a number the way the labels print one ("%.1f",
// "%d", "%d px"), or as the C library's words for an infinity or NaN.
::testing::AssertionResult NumberLabel(const std::wstring& text) {
    ::testing::AssertionResult sane = SaneLabel(text);
    if (!sane) return sane;
    static const std::wregex kNumber(L"-?([0-9]+(\\.[0-9])?|nan|inf)( px)?", std::regex::icase);
    if (std::regex_match(text, kNumber)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "a value label that is no number: " << Utf8(text);
}

// The first difference between what a file held and what it holds now.
::testing::AssertionResult SameBytes(const std::string& before, const std::string& after) {
    if (before == after) return ::testing::AssertionSuccess();
    size_t at = 0;
    while (at < before.size() && at < after.size() && before[at] == after[at]) ++at;
    return ::testing::AssertionFailure()
           << "miras.ini changed: " << before.size() << " bytes before, " << after.size()
           << " after, first difference at byte " << at;
}

class Hostile : public E2eCase, public ::testing::WithParamInterface<HostileRow> {
protected:
    void TearDown() override {
        E2eCase::TearDown();
        EndOwnProcesses();
        if (folderIsFile_) {
            // Give the next case its settings folder back.
            std::wstring folder = SettingsFolder();
            SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(folder.c_str());
            CreateDirectoryW(folder.c_str(), nullptr);
        }
    }

    // Writes the row's file (and an ordinary partner) into the settings folder.
    void PrepareFiles(const HostileRow& row) {
        if (row.target == kTargetFolderIsFile) {
            std::wstring folder = SettingsFolder();
            RemoveDirectoryW(folder.c_str());
            HANDLE f = CreateFileW(folder.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
            ASSERT_NE(INVALID_HANDLE_VALUE, f) << "cannot put a file where the folder was";
            std::string bytes = row.make();
            DWORD written = 0;
            WriteFile(f, bytes.data(), (DWORD)bytes.size(), &written, nullptr);
            CloseHandle(f);
            folderIsFile_ = true;
            return;
        }
        std::string config = row.target == kTargetConfig ? row.make() : Unicode(ShownConfig());
        mirasBefore_ = row.target == kTargetMiras ? row.make() : Unicode(UserSections());
        ASSERT_TRUE(WriteSettingsBytes(kConfig, config));
        ASSERT_TRUE(WriteSettingsBytes(kMiras, mirasBefore_));
        if (row.readOnly) {
            ASSERT_TRUE(
                SetReadOnly(SettingsFile(row.target == kTargetConfig ? kConfig : kMiras), true));
        }
    }

    // Switches on whatever keeps the crosshair from showing outside a game.
    void AskForTheOverlay(HWND settings) {
        if (!IsChecked(Control(settings, kIdCheckEnabled)))
            SetCheckBox(settings, kIdCheckEnabled, true);
        if (!IsChecked(Control(settings, kIdCheckOutsideGame)))
            SetCheckBox(settings, kIdCheckOutsideGame, true);
        if (IsChecked(Control(settings, kIdCheckAimOnly)))
            SetCheckBox(settings, kIdCheckAimOnly, false);
    }

    // Selects the first saved line the way a click on it notifies.
    void ApplyFirstSavedLine(HWND settings) {
        HWND list = Control(settings, kIdSavedList);
        ASSERT_TRUE(list) << "no saved-crosshairs list";
        DWORD_PTR count = 0;
        SendMessageTimeoutW(list, LB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, kReactMs, &count);
        EXPECT_GE((int)count, kBuiltinLines) << "the built-in lines are missing";
        if ((int)count <= kBuiltinLines) return;
        DWORD_PTR ignored = 0;
        // A busy program may still be writing a huge file when the line is
        // chosen; a selection given up on would leave nothing to apply.
        EXPECT_TRUE(SendMessageTimeoutW(list, LB_SETCURSEL, kBuiltinLines, 0, SMTO_ABORTIFHUNG,
                                        kStartMs, &ignored))
            << "the list did not take the selection within " << kStartMs << " ms";
        // Reading a crosshair out of a huge file may take a while on a busy machine.
        EXPECT_TRUE(SendMessageTimeoutW(settings, WM_COMMAND,
                                        MAKEWPARAM(kIdSavedList, LBN_SELCHANGE), (LPARAM)list,
                                        SMTO_ABORTIFHUNG, kStartMs, &ignored))
            << "the program did not finish applying the line within " << kStartMs << " ms";
    }

    void ExpectSaneLabels(HWND settings, const wchar_t* sizeLabel) {
        for (int id : kLabelIds) {
            SCOPED_TRACE("label " + std::to_string(id));
            EXPECT_TRUE(NumberLabel(TextOf(Control(settings, id))));
        }
        if (sizeLabel) {
            EXPECT_EQ(Utf8(sizeLabel), Utf8(TextOf(Control(settings, kIdLabelSize))));
        }
    }

    std::string mirasBefore_;
    bool folderIsFile_ = false;
};

TEST_P(Hostile, ProgramRunsOnWhatItCanRead) {
    const HostileRow& row = GetParam();
    ASSERT_NO_FATAL_FAILURE(PrepareFiles(row));
    Footprint before = TakeFootprint();

    DWORD startTick = GetTickCount();
    Process p = StartProgramAndWait();
    ASSERT_TRUE(p.process);
    HWND settings = WaitForTopLevel(ZAVIK_CLASS_SETTINGS, p.pid, kStartMs);
    ASSERT_TRUE(settings) << "no settings window";
    EXPECT_TRUE(NoDialogOf(p.pid));
    // The window is found while it is still being built; its labels come last.
    EXPECT_TRUE(
        WaitFor([&] { return !TextOf(Control(settings, kIdLabelOffsetY)).empty(); }, kReactMs))
        << "the value labels stay empty";
    if (row.applySaved) ApplyFirstSavedLine(settings);
    ExpectSaneLabels(settings, row.sizeLabel);

    AskForTheOverlay(settings);
    HWND overlay = FindOverlay(p.pid);
    EXPECT_TRUE(BecomesVisible(overlay, true, kReactMs)) << "the crosshair does not show";
    EXPECT_TRUE(StaysUpWithoutDialog(p, startTick, kStayUpMs));
    EXPECT_TRUE(IsWindow(settings)) << "the settings window went away";

    DWORD code = 0xDEAD;
    EXPECT_TRUE(QuitCleanly(p, kExitMs, &code)) << "no clean exit";
    EXPECT_EQ(0u, code);
    if (row.target != kTargetFolderIsFile) {
        EXPECT_TRUE(SameBytes(mirasBefore_, ReadSettingsBytes(kMiras)));
    }
    EXPECT_TRUE(SameFootprint(before, TakeFootprint()));
}

INSTANTIATE_TEST_SUITE_P(Files, Hostile, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<HostileRow>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
