// End-to-end cases of faults from outside: many starts at once, the process
// killed in the middle of saving, and an application-data folder that cannot
// be found or written. The program must come up again with what it can read,
// keep the saved crosshairs, and never show an error box.
#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <random>

#include "trust_support.h"
#include "ui/ids.h"

using namespace e2e;
using namespace e2e::trust;

namespace {

const wchar_t kConfig[] = L"config.ini";
const wchar_t kMiras[] = L"miras.ini";
const wchar_t kTraySwitch[] = ZAVIK_TRAY_SWITCH;
const wchar_t kSeedVariable[] = L"ZAVIK_E2E_SEED";
const DWORD kStayUpMs = 3000;
const DWORD kLoserExitMs = 2000;       // a second start hands over and ends within this
const DWORD kCrowdDeadlineMs = 60000;  // twenty Wine processes on a small machine
enum { kCrowd = 20 };

// The kill run: as many kills as the time allows, up to kKillTarget.
enum { kKillTarget = 200, kMaxKillDelayMs = 250, kReportedDamages = 5 };
const DWORD kKillBudgetMs = 240000;
const DWORD kChangeAnswerMs = 5000;  // one slider change, saved, answered within this
// Slider positions of "Tamanho": a change never repeats the position before it.
enum { kSizeMinimum = -10, kSizeSpan = 31, kSizeStride = 7 };

int SizePosition(int change) { return kSizeMinimum + (change * kSizeStride) % kSizeSpan; }

std::string SizeText(int position) {
    char text[32];
    snprintf(text, sizeof text, "%.3f", position * 0.5);
    return text;
}

// The thirteen crosshair keys of the default crosshair, in file order.
const char* const kCrosshairKeys[] = {
    "tamanho",   "espacamento", "espessura", "contorno", "espessura_contorno",
    "ponto",     "estilo_t",    "cor_r",     "cor_g",    "cor_b",
    "opacidade", "posicao_x",   "posicao_y",
};

// True when "Mira" of text holds the default crosshair with "tamanho" = size.
bool HoldsCrosshair(const std::string& text, const std::string& size) {
    const std::string defaults = ConfigText();
    for (const char* key : kCrosshairKeys) {
        std::string want = std::string(key) == "tamanho" ? size : IniValue(defaults, "Mira", key);
        if (IniValue(text, "Mira", key) != want) return false;
    }
    return true;
}

unsigned ChooseSeed() {
    const wchar_t* fixed = _wgetenv(kSeedVariable);
    if (fixed && *fixed) return (unsigned)wcstoul(fixed, nullptr, 10);
    return (unsigned)GetTickCount();
}

// Ends a process after a delay, from a thread of its own, while the case's
// thread keeps the program busy.
struct Killer {
    HANDLE process;
    DWORD delayMs;
};

DWORD WINAPI KillLater(void* argument) {
    Killer* k = static_cast<Killer*>(argument);
    // Waiting on the process itself: a process that ends early is not waited for.
    if (WaitForSingleObject(k->process, k->delayMs) == WAIT_TIMEOUT)
        TerminateProcess(k->process, 1);
    return 0;
}

// Points the user's application-data folder elsewhere for the programs
// started meanwhile, and puts the two registry values back afterwards.
class AppDataOverride {
public:
    bool Point(const std::wstring& folder) {
        for (Value& v : values_) {
            if (!Read(v)) return false;
            if (!Write(v.key, folder, REG_SZ)) return false;
            v.changed = true;
        }
        return true;
    }
    void Restore() {
        for (Value& v : values_) {
            if (v.changed) Write(v.key, v.old, v.type);
            v.changed = false;
        }
    }
    ~AppDataOverride() { Restore(); }

private:
    struct Value {
        const wchar_t* key;
        std::wstring old;
        DWORD type;
        bool changed;
    };
    static bool Read(Value& v) {
        wchar_t buf[MAX_PATH] = {};
        DWORD size = sizeof buf - sizeof(wchar_t);
        if (RegGetValueW(HKEY_CURRENT_USER, v.key, kValueName,
                         RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, &v.type, buf,
                         &size) != ERROR_SUCCESS)
            return false;
        v.old = buf;
        return true;
    }
    static bool Write(const wchar_t* key, const std::wstring& value, DWORD type) {
        return RegSetKeyValueW(HKEY_CURRENT_USER, key, kValueName, type, value.c_str(),
                               (DWORD)((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
    }
    static constexpr const wchar_t* kValueName = L"AppData";
    Value values_[2] = {
        {L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders", L"", 0,
         false},
        {L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", L"", 0, false},
    };
};

class Faults : public E2eCase {
protected:
    void TearDown() override {
        appData_.Restore();
        E2eCase::TearDown();
        EndOwnProcesses();
        if (folderIsFile_) {
            std::wstring folder = SettingsFolder();
            SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(folder.c_str());
            CreateDirectoryW(folder.c_str(), nullptr);
        }
    }

    // The settings window of p once its controls show the loaded state.
    HWND ReadySettingsWindow(const Process& p) {
        HWND settings = WaitForTopLevel(ZAVIK_CLASS_SETTINGS, p.pid, kStartMs);
        if (!settings) return nullptr;
        // The labels are filled last while the window is built.
        WaitFor([&] { return !TextOf(Control(settings, kIdLabelOffsetY)).empty(); }, kReactMs);
        return settings;
    }

    // Starts with defaults and no error box, shows the crosshair when asked,
    // stays up and ends cleanly.
    void ExpectRunsOnDefaults(const Process& p, DWORD startTick) {
        ASSERT_TRUE(p.process);
        ASSERT_TRUE(WaitFor([&] { return FindMessageWindow(p.pid) || !IsRunning(p); }, kStartMs));
        HWND settings = ReadySettingsWindow(p);
        ASSERT_TRUE(settings) << "no settings window";
        EXPECT_EQ("-1.5", Utf8(TextOf(Control(settings, kIdLabelSize)))) << "not the default";
        EXPECT_TRUE(IsChecked(Control(settings, kIdCheckEnabled)));
        SetCheckBox(settings, kIdCheckOutsideGame, true);
        EXPECT_TRUE(BecomesVisible(FindOverlay(p.pid), true, kReactMs));
        EXPECT_TRUE(StaysUpWithoutDialog(p, startTick, kStayUpMs));
        DWORD code = 0xDEAD;
        EXPECT_TRUE(QuitCleanly(p, kExitMs, &code));
        EXPECT_EQ(0u, code);
    }

    bool folderIsFile_ = false;
    AppDataOverride appData_;
};

TEST_F(Faults, TwentyStartsAtOnceLeaveOneInstance) {
    ASSERT_TRUE(WriteSettingsText(kConfig, ConfigText().c_str()));
    std::vector<Process> crowd;
    for (int i = 0; i < kCrowd; ++i) crowd.push_back(StartProgram(kTraySwitch));
    // Each process is watched until it ends; the moment the one that stays has
    // its message window is when every other start can hand over.
    std::vector<DWORD> endedAt(kCrowd, 0);
    DWORD upAt = 0;
    WaitFor(
        [&] {
            if (!upAt && CountMessageWindows() > 0) upAt = GetTickCount();
            int running = 0;
            for (int i = 0; i < kCrowd; ++i) {
                if (!endedAt[i] && !IsRunning(crowd[i])) endedAt[i] = GetTickCount();
                if (!endedAt[i]) ++running;
            }
            return upAt && running <= 1;
        },
        kCrowdDeadlineMs);
    ASSERT_NE(0u, upAt) << "no instance came up";
    int survivors = 0;
    DWORD latest = 0;
    for (int i = 0; i < kCrowd; ++i) {
        SCOPED_TRACE("start " + std::to_string(i));
        if (!endedAt[i]) {
            ++survivors;
            EXPECT_TRUE(FindMessageWindow(crowd[i].pid)) << "the running one has no message window";
            continue;
        }
        DWORD code = 0xDEAD;
        GetExitCodeProcess(crowd[i].process, &code);
        EXPECT_EQ(0u, code);
        DWORD after = endedAt[i] > upAt ? endedAt[i] - upAt : 0;
        latest = std::max(latest, after);
        EXPECT_LE(after, kLoserExitMs) << "ended " << after << " ms after the instance came up";
    }
    EXPECT_EQ(1, survivors);
    PumpFor(kQuietMs);
    EXPECT_EQ(1, CountMessageWindows());
    printf(
        "[ measure  ] twenty starts: the last other start ended %lu ms after the instance "
        "came up\n",
        (unsigned long)latest);
}

TEST_F(Faults, KilledWhileSavingComesBackWithTheSavedCrosshairs) {
    const unsigned seed = ChooseSeed();
    printf("[ measure  ] kill seed %u (set %ls to repeat)\n", seed, kSeedVariable);
    std::mt19937 random(seed);
    std::uniform_int_distribution<DWORD> delay(0, kMaxKillDelayMs);

    const std::string miras = Unicode(UserSections());
    ASSERT_TRUE(WriteSettingsText(kConfig, ConfigText().c_str()));
    ASSERT_TRUE(WriteSettingsBytes(kMiras, miras));

    DWORD begin = GetTickCount();
    int kills = 0, neither = 0, change = 0, changes = 0;
    while (kills < kKillTarget && GetTickCount() - begin < kKillBudgetMs) {
        SCOPED_TRACE("after kill " + std::to_string(kills));
        Process p = StartProgram();
        ASSERT_TRUE(p.process);
        ASSERT_TRUE(WaitFor([&] { return FindMessageWindow(p.pid) || !IsRunning(p); }, kStartMs));
        HWND settings = ReadySettingsWindow(p);
        ASSERT_TRUE(settings) << "the program did not come up";
        ASSERT_TRUE(NoDialogOf(p.pid));
        ASSERT_EQ(miras, ReadSettingsBytes(kMiras)) << "miras.ini lost something";

        // One whole change first, so the file holds a known crosshair again.
        ASSERT_TRUE(MoveSlider(settings, kIdSliderSize, SizePosition(++change), kChangeAnswerMs));
        ASSERT_TRUE(HoldsCrosshair(ReadSettingsText(kConfig), SizeText(SizePosition(change))))
            << "a finished change is not in config.ini:\n"
            << ReadSettingsText(kConfig);

        Killer killer = {p.process, delay(random)};
        HANDLE thread = CreateThread(nullptr, 0, KillLater, &killer, 0, nullptr);
        ASSERT_TRUE(thread);
        // Changes one after the other until the kill lands; the one in flight
        // then decides what the file may hold.
        while (MoveSlider(settings, kIdSliderSize, SizePosition(change + 1), kChangeAnswerMs)) {
            ++change;
            ++changes;
        }
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
        ASSERT_FALSE(IsRunning(p)) << "a change went unanswered while the program ran";
        ++kills;

        std::string text = ReadSettingsText(kConfig);
        if (!HoldsCrosshair(text, SizeText(SizePosition(change))) &&
            !HoldsCrosshair(text, SizeText(SizePosition(change + 1)))) {
            if (++neither <= kReportedDamages) {
                printf(
                    "[ measure  ] kill %d left config.ini (%zu bytes) holding neither "
                    "crosshair:\n%s\n",
                    kills, ReadSettingsBytes(kConfig).size(), WithoutCr(text).c_str());
            }
        }
        // The change in flight may or may not have happened; either way the
        // next run goes on from a position different from both.
        change += 2;
    }
    // The last start after the last kill: the program comes up once more.
    Process last = StartProgram();
    ASSERT_TRUE(WaitFor([&] { return FindMessageWindow(last.pid) || !IsRunning(last); }, kStartMs));
    EXPECT_TRUE(ReadySettingsWindow(last)) << "the program did not come up after the last kill";
    EXPECT_TRUE(NoDialogOf(last.pid));
    EXPECT_EQ(miras, ReadSettingsBytes(kMiras)) << "miras.ini lost something";
    printf(
        "[ measure  ] %d kills in %lu s over %d changes: %d left a config.ini with neither "
        "the crosshair from before nor the one after\n",
        kills, (unsigned long)((GetTickCount() - begin) / 1000), changes, neither);
    RecordProperty("kills", kills);
    RecordProperty("neither", neither);
}

TEST_F(Faults, NoApplicationDataFolderKeepsSettingsInTheWorkingFolder) {
    // A file name without a folder would send the profile calls to the Windows
    // folder; earlier builds left files there.
    wchar_t windows[MAX_PATH] = {};
    GetWindowsDirectoryW(windows, MAX_PATH);
    const std::wstring strays[] = {std::wstring(windows) + L"\\" + kConfig,
                                   std::wstring(windows) + L"\\" + kMiras};
    for (const std::wstring& stray : strays) DeleteFileW(stray.c_str());
    Footprint before = TakeFootprint();
    // The shell answers from these registry values (the environment's APPDATA
    // is not asked); a folder that does not exist is no answer at all.
    ASSERT_TRUE(appData_.Point(L"Q:\\nowhere\\AppData\\Roaming"));
    DWORD startTick = GetTickCount();
    Process p = StartWith(ProgramPath(), L"", EnvChanges(), CaseTempFolder());
    ExpectRunsOnDefaults(p, startTick);  // ticks "show outside the game" on the way
    // The program falls back to its working folder, and keeps the change there.
    Process again = StartWith(ProgramPath(), L"", EnvChanges(), CaseTempFolder());
    HWND settings = ReadySettingsWindow(again);
    ASSERT_TRUE(settings) << "no settings window on the second run";
    EXPECT_TRUE(IsChecked(Control(settings, kIdCheckOutsideGame))) << "the change was lost";
    EXPECT_TRUE(QuitCleanly(again, kExitMs, nullptr));
    for (const wchar_t* name : {kConfig, kMiras}) {
        EXPECT_NE(INVALID_FILE_ATTRIBUTES,
                  GetFileAttributesW((CaseTempFolder() + L"\\" + name).c_str()))
            << Utf8(name) << " is not in the working folder";
    }
    for (const std::wstring& stray : strays) {
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(stray.c_str()))
            << Utf8(stray) << " was written";
    }
    appData_.Restore();
    EXPECT_TRUE(SameFootprint(before, TakeFootprint()));
}

TEST_F(Faults, SettingsFolderThatIsAReadOnlyFileRunsOnDefaults) {
    std::wstring folder = SettingsFolder();
    RemoveDirectoryW(folder.c_str());
    HANDLE f = CreateFileW(folder.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, f) << "cannot put a file where the folder was";
    CloseHandle(f);
    folderIsFile_ = true;
    ASSERT_TRUE(SetReadOnly(folder, true));
    Footprint before = TakeFootprint();
    DWORD startTick = GetTickCount();
    Process p = StartProgramAndWait();
    ExpectRunsOnDefaults(p, startTick);
    EXPECT_TRUE(SameFootprint(before, TakeFootprint()));
}

}  // namespace
