// End-to-end cases of faults from outside: many starts at once, the process
// killed in the middle of saving, files another program holds, copies left
// by a kill, a missing settings file beside old saved crosshairs, and an
// application-data folder that cannot be found or written. The program must
// come up again with what it can read, keep the saved crosshairs, say when it
// could not write them, and never show an error box.
#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "state/identity.h"
#include "codes/codes.h"
#include "settings_helpers.h"
#include "trust_support.h"
#include "base/ids.h"
#include "ui/window_text.h"

#include <commctrl.h>

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

// The kill run: kKillTarget kills at random moments of every kind of save,
// with never fewer than kSavedAtLeast saved crosshairs on file.
enum { kKillTarget = 200, kMaxKillDelayMs = 800, kReportedDamages = 5 };
enum { kSavedAtStart = 22, kSavedAtLeast = 20, kSavedAtMost = 30, kBuiltinLines = 4 };
const DWORD kKillBudgetMs = 780000;  // a guard inside the group's time limit
const DWORD kChangeAnswerMs = 5000;  // one change, saved, answered within this
// The status line's texts, as the program writes them.
const wchar_t* const kSavedText = SaveNoteText(kNoteSaved);
const wchar_t* const kSaveFailedText = kStatusSaveFailedText;
const wchar_t* const kDeleteFailedText = kStatusDeleteFailedText;
const wchar_t kConfigCopy[] = L"config.ini.tmp";
const wchar_t kMirasCopy[] = L"miras.ini.tmp";
const wchar_t kTrayClass[] = L"Shell_TrayWnd";  // Explorer's tray: every tray call goes there
const COLORREF kErrorRed = RGB(190, 30, 30);
enum { kSavedTab = 1, kMeasuredSaves = 30 };
const int kLongListCount = 10001;
const DWORD kLongListSaveMs = 2000;
// Slider positions of "Tamanho": a change never repeats the position before it.
enum { kSizeMinimum = -10, kSizeSpan = 31, kSizeStride = 7 };

int SizePosition(int change) { return kSizeMinimum + (change * kSizeStride) % kSizeSpan; }

// What the two files hold: the crosshair of config.ini and the saved
// crosshairs of miras.ini in file order.
struct SavedCrosshair {
    std::string name;
    CrosshairSettings settings;
};
struct FilesState {
    CrosshairSettings current;
    std::vector<SavedCrosshair> saved;
};

// The files' bytes exactly as the program writes them for a state.
std::string ConfigBytes(const CrosshairSettings& current) {
    std::string text = ConfigText();
    text.erase(text.find("[Mira]\n"));
    return Unicode(text + SectionText("Mira", current));
}

std::string MirasBytes(const std::vector<SavedCrosshair>& saved) {
    std::string text;
    for (const SavedCrosshair& c : saved) text += SectionText(c.name.c_str(), c.settings);
    return Unicode(text);
}

// The sections of a file's text ("\n" line ends): each one's whole text with its header.
std::vector<std::pair<std::string, std::string>> SplitSections(const std::string& text) {
    std::vector<std::pair<std::string, std::string>> sections;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        end = end == std::string::npos ? text.size() : end + 1;
        std::string line = text.substr(pos, end - pos);
        pos = end;
        if (line.size() > 2 && line[0] == '[') {
            sections.emplace_back(line.substr(1, line.find(']') - 1), line);
        } else if (!sections.empty()) {
            sections.back().second += line;
        }
    }
    return sections;
}

const SavedCrosshair* FindSaved(const FilesState& state, const std::string& name) {
    for (const SavedCrosshair& c : state.saved)
        if (c.name == name) return &c;
    return nullptr;
}

// A miras.ini that holds neither state: the saved crosshairs both states keep
// but the file lost, and the sections whose keys match neither state.
struct Damage {
    int lost = 0, halfWritten = 0;
};
Damage CountDamage(const std::string& text, const FilesState& before, const FilesState& after) {
    Damage d;
    std::vector<std::pair<std::string, std::string>> sections = SplitSections(text);
    for (const auto& section : sections) {
        const SavedCrosshair* a = FindSaved(before, section.first);
        const SavedCrosshair* b = FindSaved(after, section.first);
        bool whole = (a && SectionText(a->name.c_str(), a->settings) == section.second) ||
                     (b && SectionText(b->name.c_str(), b->settings) == section.second);
        if (!whole) ++d.halfWritten;
    }
    for (const SavedCrosshair& c : before.saved) {
        if (!FindSaved(after, c.name)) continue;
        bool kept = false;
        for (const auto& section : sections) kept = kept || section.first == c.name;
        if (!kept) ++d.lost;
    }
    // Every section whole and none lost, yet neither file: count it all the same.
    if (d.lost == 0 && d.halfWritten == 0) d.halfWritten = 1;
    return d;
}

// A crosshair made of values the files show exactly.
CrosshairSettings RandomLook(std::mt19937& random) {
    std::uniform_int_distribution<int> halves(-6, 12), width(1, 6), flag(0, 1), byte(0, 255);
    CrosshairSettings s = kBuiltinPresets[0].settings;
    s.size = halves(random) * 0.5f;
    s.gap = halves(random) * 0.5f;
    s.thickness = width(random) * 0.5f;
    s.outline = flag(random);
    s.outlineThickness = width(random) * 0.5f;
    s.dot = flag(random);
    s.tStyle = flag(random);
    s.red = (uint8_t)byte(random);
    s.green = (uint8_t)byte(random);
    s.blue = (uint8_t)byte(random);
    s.alpha = (uint8_t)(50 + byte(random) % 206);
    return s;
}

std::wstring CodeOf(const CrosshairSettings& s) {
    wchar_t code[kCodeLineChars];
    FormatCrosshairCode(s, code, kCodeLineChars);
    return code;
}

std::string NumberedName(const char* prefix, int n) {
    char name[48];
    snprintf(name, sizeof name, "%s %03d", prefix, n);
    return name;
}

// A message to the program that counts only once it has been handled.
bool Answered(HWND target, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutW(target, message, wParam, lParam, SMTO_ABORTIFHUNG,
                               kChangeAnswerMs, &ignored) != 0;
}

// The program being killed, and what its files hold: done after every step
// it finished, pending after the step in flight (equal to done when none is).
// Every step changes one file, so a kill leaves that file as in done or in
// pending, and the other as in both.
struct KillScene {
    Process process;
    HWND window;
    FilesState done, pending;
    std::vector<CrosshairSettings> worn;  // every crosshair config.ini held in this run
};

template <typename Action>
bool Step(KillScene* scene, const FilesState& next, Action action) {
    scene->pending = next;
    if (!action()) return false;
    scene->done = next;
    scene->worn.push_back(next.current);
    return true;
}

HWND SceneControl(const KillScene* scene, int id) { return Control(scene->window, id); }

// Answers the program's question with Yes, then waits for what the answer leads to.
bool AnswerYesAndWait(KillScene* scene, const std::function<bool()>& finished) {
    const Process& p = scene->process;
    HWND box = nullptr;
    WaitFor([&] { return (box = FindMessageBox(p.pid)) != nullptr || !IsRunning(p); },
            kChangeAnswerMs);
    if (!box || !PressMessageBoxButton(box, IDYES)) return false;
    return WaitFor([&] { return finished() || !IsRunning(p); }, kChangeAnswerMs) && IsRunning(p);
}

bool MoveSize(KillScene* scene, int position) {
    FilesState next = scene->done;
    next.current.size = position * 0.5f;
    return Step(scene, next, [&] {
        return MoveSlider(scene->window, kIdSliderSize, position, kChangeAnswerMs);
    });
}

// A paste is tried at once: the crosshair it gives is saved in config.ini.
bool PasteCode(KillScene* scene, const std::wstring& code) {
    FilesState next = scene->done;
    ParseCrosshairCode(code.c_str(), &next.current);
    HWND box = SceneControl(scene, kIdImportBox);
    return Step(scene, next, [&] {
        return Answered(box, EM_SETSEL, 0, -1) &&
               Answered(box, EM_REPLACESEL, TRUE, (LPARAM)code.c_str());
    });
}

// "Salvar mira" with the pasted code: a new name, or an existing one replaced
// after the question (the crosshair then moves to the end of the file).
bool SaveUnderName(KillScene* scene, const std::string& name, bool exists) {
    FilesState next = scene->done;
    for (size_t i = 0; i < next.saved.size(); ++i) {
        if (next.saved[i].name == name) next.saved.erase(next.saved.begin() + i);
    }
    next.saved.push_back({name, scene->done.current});
    std::wstring wide = Wide(name);
    HWND status = SceneControl(scene, kIdStatusLine), save = SceneControl(scene, kIdSaveButton);
    if (!Answered(SceneControl(scene, kIdNameBox), WM_SETTEXT, 0, (LPARAM)wide.c_str()) ||
        !Answered(status, WM_SETTEXT, 0, (LPARAM)L"")) {
        return false;
    }
    return Step(scene, next, [&] {
        if (!exists) return Answered(save, BM_CLICK, 0, 0) && TextOf(status) == kSavedText;
        PostMessageW(save, BM_CLICK, 0, 0);
        return AnswerYesAndWait(scene, [&] { return TextOf(status) == kSavedText; });
    });
}

// "Excluir mira" on a saved line; choosing the line first wears it.
bool DeleteLine(KillScene* scene, size_t index) {
    FilesState worn = scene->done;
    worn.current = scene->done.saved[index].settings;
    worn.current.offsetX = scene->done.current.offsetX;
    worn.current.offsetY = scene->done.current.offsetY;
    HWND list = SceneControl(scene, kIdSavedList);
    WPARAM line = kBuiltinLines + index;
    if (!Step(scene, worn, [&] {
            return Answered(list, LB_SETCURSEL, line, 0) &&
                   Answered(scene->window, WM_COMMAND, MAKEWPARAM(kIdSavedList, LBN_SELCHANGE),
                            (LPARAM)list);
        })) {
        return false;
    }
    FilesState next = scene->done;
    next.saved.erase(next.saved.begin() + index);
    LRESULT lines = (LRESULT)(kBuiltinLines + next.saved.size());
    return Step(scene, next, [&] {
        PostMessageW(SceneControl(scene, kIdDeleteButton), BM_CLICK, 0, 0);
        return AnswerYesAndWait(scene, [&] { return SendTo(list, LB_GETCOUNT, 0, 0) == lines; });
    });
}

enum KillOp { kOpSlider, kOpSaveNew, kOpSaveOver, kOpDelete, kOpKinds };
const char* const kOpNames[kOpKinds] = {"slider saves", "\"Salvar mira\" new names",
                                        "\"Salvar mira\" over existing names",
                                        "\"Excluir mira\""};

KillOp ChooseOp(std::mt19937& random, size_t saved) {
    KillOp op = (KillOp)std::uniform_int_distribution<int>(0, kOpKinds - 1)(random);
    if (op == kOpDelete && saved <= kSavedAtLeast) op = kOpSaveNew;
    if (op == kOpSaveNew && saved >= kSavedAtMost) op = kOpDelete;
    return op;
}

// One whole operation; false when the program did not finish it (it was killed).
bool RunOp(KillScene* scene, KillOp op, std::mt19937& random, int* serial) {
    size_t saved = scene->done.saved.size();
    std::uniform_int_distribution<size_t> pick(0, saved - 1);
    switch (op) {
        case kOpSlider:
            return MoveSize(scene, SizePosition(++*serial));
        case kOpSaveNew:
            return PasteCode(scene, CodeOf(RandomLook(random))) &&
                   SaveUnderName(scene, NumberedName("Nova ção", ++*serial), false);
        case kOpSaveOver: {
            std::string name = scene->done.saved[pick(random)].name;
            return PasteCode(scene, CodeOf(RandomLook(random))) &&
                   SaveUnderName(scene, name, true);
        }
        default:
            return DeleteLine(scene, pick(random));
    }
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

// Another program holding a file for a moment (a virus scan, an indexer, a
// backup client): opened now with its sharing, closed after holdMs from a
// thread of its own while the case's thread drives the program.
class HeldFile {
public:
    HeldFile(const std::wstring& path, DWORD share, DWORD holdMs) : holdMs_(holdMs) {
        file_ = CreateFileW(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file_ != INVALID_HANDLE_VALUE)
            thread_ = CreateThread(nullptr, 0, Release, this, 0, nullptr);
    }
    bool held() const { return thread_ != nullptr; }
    // True once the file has been let go, waiting up to ms.
    bool Released(DWORD ms) {
        return !thread_ || WaitForSingleObject(thread_, ms) == WAIT_OBJECT_0;
    }
    ~HeldFile() {
        Released(INFINITE);
        if (thread_) CloseHandle(thread_);
    }

private:
    static DWORD WINAPI Release(void* argument) {
        HeldFile* h = static_cast<HeldFile*>(argument);
        Sleep(h->holdMs_);
        CloseHandle(h->file_);
        return 0;
    }
    HANDLE file_ = INVALID_HANDLE_VALUE;
    HANDLE thread_ = nullptr;
    DWORD holdMs_;
};
const DWORD kShareEverything = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Another program with the clipboard open for ms (a clipboard manager).
struct ClipboardHold {
    DWORD ms;
    HANDLE opened;
};
DWORD WINAPI HoldClipboard(void* argument) {
    ClipboardHold* hold = static_cast<ClipboardHold*>(argument);
    if (!OpenClipboard(nullptr)) return 1;
    SetEvent(hold->opened);
    Sleep(hold->ms);
    CloseClipboard();
    return 0;
}

// Counts one kind of change of one file in the settings folder, as the
// folder's change notices report them: by default copies renamed over config.ini.
class ConfigReplacements {
public:
    explicit ConfigReplacements(DWORD action = FILE_ACTION_RENAMED_NEW_NAME,
                                const wchar_t* name = kConfig)
        : action_(action), name_(name) {
        folder_ = CreateFileW(SettingsFolder().c_str(), FILE_LIST_DIRECTORY, kShareEverything,
                              nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr);
        overlapped_.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        Listen();
    }
    ~ConfigReplacements() {
        CancelIo(folder_);
        CloseHandle(folder_);
        CloseHandle(overlapped_.hEvent);
    }
    bool listening() const { return listening_; }
    // The renames that arrived within ms.
    int CountFor(DWORD ms) {
        int count = 0;
        DWORD end = GetTickCount() + ms;
        for (DWORD now = GetTickCount(); listening_ && (int)(end - now) > 0; now = GetTickCount()) {
            if (WaitForSingleObject(overlapped_.hEvent, end - now) != WAIT_OBJECT_0) break;
            DWORD bytes = 0;
            if (!GetOverlappedResult(folder_, &overlapped_, &bytes, FALSE)) break;
            count += CountIn(bytes);
            Listen();
        }
        return count;
    }

private:
    void Listen() {
        ResetEvent(overlapped_.hEvent);
        listening_ = ReadDirectoryChangesW(folder_, notices_, sizeof notices_, FALSE,
                                           FILE_NOTIFY_CHANGE_FILE_NAME, nullptr, &overlapped_,
                                           nullptr) != FALSE;
    }
    int CountIn(DWORD bytes) {
        int count = 0;
        for (DWORD at = 0; bytes && at + sizeof(FILE_NOTIFY_INFORMATION) <= bytes;) {
            const FILE_NOTIFY_INFORMATION* n = (const FILE_NOTIFY_INFORMATION*)(notices_ + at);
            std::wstring name(n->FileName, n->FileNameLength / sizeof(wchar_t));
            if (n->Action == action_ && _wcsicmp(name.c_str(), name_) == 0) ++count;
            if (!n->NextEntryOffset) break;
            at += n->NextEntryOffset;
        }
        return count;
    }
    DWORD action_;
    const wchar_t* name_;
    HANDLE folder_ = INVALID_HANDLE_VALUE;
    OVERLAPPED overlapped_ = {};
    alignas(DWORD) BYTE notices_[16384];
    bool listening_ = false;
};

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

// The kill run has a group of its own: 200 starts take longer than the other cases together.
class FaultsKill : public Faults {};

TEST_F(FaultsKill, KilledWhileSavingLosesNothing) {
    const unsigned seed = ChooseSeed();
    printf("[ measure  ] kill seed %u (set %ls to repeat)\n", seed, kSeedVariable);
    std::mt19937 random(seed);
    std::uniform_int_distribution<DWORD> delay(0, kMaxKillDelayMs);

    FilesState state = {kBuiltinPresets[0].settings, {}};
    for (int i = 0; i < kSavedAtStart; ++i)
        state.saved.push_back({NumberedName("Mira do Zé", i), RandomLook(random)});
    ASSERT_EQ(Unicode(ConfigText()), ConfigBytes(state.current)) << "the test's own model is off";
    ASSERT_TRUE(WriteSettingsBytes(kConfig, ConfigBytes(state.current)));
    ASSERT_TRUE(WriteSettingsBytes(kMiras, MirasBytes(state.saved)));

    DWORD begin = GetTickCount();
    int kills = 0, lost = 0, halfWritten = 0, damagedConfig = 0, leftovers = 0, ops = 0,
        serial = 0, reported = 0;
    int killsDuring[kOpKinds] = {};
    while (kills < kKillTarget && GetTickCount() - begin < kKillBudgetMs) {
        SCOPED_TRACE("after kill " + std::to_string(kills));
        Process p = StartProgram();
        ASSERT_TRUE(p.process);
        ASSERT_TRUE(WaitFor([&] { return FindMessageWindow(p.pid) || !IsRunning(p); }, kStartMs));
        HWND settings = ReadySettingsWindow(p);
        ASSERT_TRUE(settings) << "the program did not come up";
        ASSERT_TRUE(NoDialogOf(p.pid));
        // The list is read from the file whole, and no copy is left to read.
        EXPECT_EQ((LRESULT)(kBuiltinLines + state.saved.size()),
                  SendTo(Control(settings, kIdSavedList), LB_GETCOUNT, 0, 0));
        EXPECT_FALSE(SettingsFileExists(kConfigCopy) || SettingsFileExists(kMirasCopy))
            << "a copy outlived the start";

        KillScene scene = {p, settings, state, state, {state.current}};
        Killer killer = {p.process, delay(random)};
        HANDLE thread = CreateThread(nullptr, 0, KillLater, &killer, 0, nullptr);
        ASSERT_TRUE(thread);
        // Operations one after the other until the kill lands in one of them.
        KillOp op;
        do {
            op = ChooseOp(random, scene.done.saved.size());
        } while (RunOp(&scene, op, random, &serial) && ++ops);
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
        ASSERT_FALSE(IsRunning(p)) << "an operation went unanswered while the program ran";
        ++kills;
        ++killsDuring[op];
        if (SettingsFileExists(kConfigCopy) || SettingsFileExists(kMirasCopy)) ++leftovers;

        // Each file must hold the state before the step in flight or after it.
        state = scene.done;
        const std::string config = ReadSettingsBytes(kConfig), miras = ReadSettingsBytes(kMiras);
        if (config == ConfigBytes(scene.pending.current)) {
            state.current = scene.pending.current;
        } else if (config != ConfigBytes(scene.done.current)) {
            ++damagedConfig;
            // Whether it is a state of this run from before the last finished step.
            int back = -1;
            for (size_t i = scene.worn.size(); i-- > 0 && back < 0;)
                if (config == ConfigBytes(scene.worn[i])) back = (int)(scene.worn.size() - 1 - i);
            if (++reported <= kReportedDamages)
                printf("[ measure  ] kill %d during %s left config.ini (%zu bytes, %d steps "
                       "back):\n%s\n",
                       kills, kOpNames[op], config.size(), back,
                       WithoutCr(ReadSettingsText(kConfig)).c_str());
            ASSERT_TRUE(WriteSettingsBytes(kConfig, ConfigBytes(state.current)));
        }
        if (miras == MirasBytes(scene.pending.saved)) {
            state.saved = scene.pending.saved;
        } else if (miras != MirasBytes(scene.done.saved)) {
            Damage d = CountDamage(WithoutCr(ReadSettingsText(kMiras)), scene.done, scene.pending);
            lost += d.lost;
            halfWritten += d.halfWritten;
            if (++reported <= kReportedDamages)
                printf("[ measure  ] kill %d left miras.ini (%zu bytes): %d lost, %d "
                       "half-written\n",
                       kills, miras.size(), d.lost, d.halfWritten);
            ASSERT_TRUE(WriteSettingsBytes(kMiras, MirasBytes(state.saved)));
        }
    }
    // The last start after the last kill: the program comes up once more and
    // removes what the kill left.
    Process last = StartProgram();
    ASSERT_TRUE(WaitFor([&] { return FindMessageWindow(last.pid) || !IsRunning(last); }, kStartMs));
    EXPECT_TRUE(ReadySettingsWindow(last)) << "the program did not come up after the last kill";
    EXPECT_TRUE(NoDialogOf(last.pid));
    EXPECT_FALSE(SettingsFileExists(kConfigCopy) || SettingsFileExists(kMirasCopy));
    EXPECT_EQ(ConfigBytes(state.current), ReadSettingsBytes(kConfig));
    EXPECT_EQ(MirasBytes(state.saved), ReadSettingsBytes(kMiras));

    printf("[ measure  ] %d kills in %lu s over %d finished operations, %zu saved crosshairs "
           "at the end; kills during",
           kills, (unsigned long)((GetTickCount() - begin) / 1000), ops, state.saved.size());
    for (int k = 0; k < kOpKinds; ++k)
        printf("%s %s %d", k ? "," : "", kOpNames[k], killsDuring[k]);
    printf("; %d left a copy behind\n", leftovers);
    printf("[ measure  ] kills, lost, half-written, damaged config: %d, %d, %d, %d\n", kills, lost,
           halfWritten, damagedConfig);
    RecordProperty("kills", kills);
    EXPECT_EQ((int)kKillTarget, kills) << "the time ran out before every kill";
    EXPECT_EQ(0, lost);
    EXPECT_EQ(0, halfWritten);
    EXPECT_EQ(0, damagedConfig);
}

// miras.ini that cannot be written, held open by another program without
// sharing (Wine keeps the sharing rules across processes, as Windows does) or
// marked read-only: saving, replacing and deleting each say so, the list goes
// on showing what the file holds, and not a byte of the file changes. Once the
// file is free, the same save goes through. A held file cannot be read either,
// so the program cannot know that a name exists there and asks nothing.
TEST_F(Faults, SavedFileThatCannotBeWrittenIsReportedAndKept) {
    struct Row {
        const char* name;
        bool readOnly;
    };
    const Row rows[] = {{"held open without sharing", false}, {"read-only", true}};
    std::mt19937 random(1);
    const std::string sections = SectionText("Alfa", RandomLook(random)) +
                                 SectionText("Beta", RandomLook(random));
    ASSERT_TRUE(WriteSettingsText(kMiras, sections.c_str()));
    SettingsScene scene = OpenSettings();
    ASSERT_TRUE(scene.window);
    ASSERT_TRUE(ClickTab(scene.window, kSavedTab));
    HWND w = scene.window;
    HWND list = Control(w, kIdSavedList), status = Control(w, kIdStatusLine);
    HWND nameBox = Control(w, kIdNameBox), save = Control(w, kIdSaveButton);
    const std::vector<std::wstring> lines = ListLines(list);
    ASSERT_EQ(kBuiltinLines + 2u, lines.size());
    const std::string before = ReadSettingsBytes(kMiras);
    const std::wstring path = SettingsFile(kMiras);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        HANDLE held = INVALID_HANDLE_VALUE;
        if (row.readOnly) {
            ASSERT_TRUE(SetReadOnly(path, true));
        } else {
            held = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
            ASSERT_NE(INVALID_HANDLE_VALUE, held);
        }
        Paste(Control(w, kIdImportBox), L"cl_crosshairsize 3");
        SendTo(nameBox, WM_SETTEXT, 0, (LPARAM)L"Nova");
        SendTo(status, WM_SETTEXT, 0, (LPARAM)L"");
        Click(save);
        EXPECT_TRUE(TextBecomes(status, kSaveFailedText, kReactMs)) << "a new name";
        EXPECT_TRUE(ShowsTextColour(status, kErrorRed, kReactMs));
        EXPECT_EQ(lines, ListLines(list));
        EXPECT_TRUE(TextBecomes(nameBox, L"Nova", 0)) << "what was typed is kept";
        if (row.readOnly) {
            SendTo(nameBox, WM_SETTEXT, 0, (LPARAM)L"Alfa");
            SendTo(status, WM_SETTEXT, 0, (LPARAM)L"");
            PostClick(save);
            EXPECT_TRUE(AnswerMessageBox(scene.process.pid,
                                         L"Já existe uma mira chamada \"Alfa\".\nQuer substituir?",
                                         IDYES));
            EXPECT_TRUE(TextBecomes(status, kSaveFailedText, kReactMs)) << "an existing name";
            EXPECT_EQ(lines, ListLines(list));
        }
        ChooseListLine(w, kIdSavedList, kBuiltinLines + 1);
        PostClick(Control(w, kIdDeleteButton));
        EXPECT_TRUE(AnswerMessageBox(scene.process.pid, L"Excluir a mira \"Beta\"?", IDYES));
        EXPECT_TRUE(TextBecomes(status, kDeleteFailedText, kReactMs)) << "deleting";
        EXPECT_EQ(lines, ListLines(list));
        EXPECT_TRUE(NoDialogOf(scene.process.pid));
        if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
        ASSERT_TRUE(SetReadOnly(path, false));
        EXPECT_EQ(before, ReadSettingsBytes(kMiras)) << "the file changed";
        EXPECT_FALSE(SettingsFileExists(kMirasCopy)) << "a failed copy stayed behind";
    }
    SendTo(nameBox, WM_SETTEXT, 0, (LPARAM)L"Nova");
    Paste(Control(w, kIdImportBox), L"cl_crosshairsize 3");
    Click(save);
    EXPECT_TRUE(TextBecomes(status, kSavedText, kReactMs));
    EXPECT_EQ(L"Nova", ListLines(list).back());
}

// A read-only config.ini is not replaced: changes go on in memory with no
// message box, the file keeps its bytes, and the first change after the file
// is writable again saves everything.
TEST_F(Faults, ReadOnlySettingsFileKeepsItsBytesAndTheNextChangeSavesAll) {
    SettingsScene scene = OpenSettings();
    ASSERT_TRUE(scene.window);
    const std::string before = ReadSettingsBytes(kConfig);
    ASSERT_TRUE(SetReadOnly(SettingsFile(kConfig), true));
    ASSERT_TRUE(MoveSlider(scene.window, kIdSliderSize, 6, kChangeAnswerMs));
    ASSERT_TRUE(MoveSlider(scene.window, kIdSliderGap, 2, kChangeAnswerMs));
    EXPECT_TRUE(NoDialogOf(scene.process.pid));
    ASSERT_TRUE(SetReadOnly(SettingsFile(kConfig), false));
    EXPECT_EQ(before, ReadSettingsBytes(kConfig));
    EXPECT_FALSE(SettingsFileExists(kConfigCopy));
    ASSERT_TRUE(MoveSlider(scene.window, kIdSliderThickness, 4, kChangeAnswerMs));
    EXPECT_TRUE(IniValueBecomes(kConfig, "Mira", "tamanho", "3.000", kReactMs));
    EXPECT_EQ("1.000", MiraValue("espacamento"));
}

// A reader that shares everything (a scan of the fresh file) makes Windows
// refuse the swap for as long as it holds the file: a toggle then still
// reaches the file, at once after a short hold, within about a second of the
// end of a long one. No box says anything about it.
TEST_F(Faults, ReaderHoldingTheSettingsFileNeverCostsAChange) {
    const DWORD holds[] = {300, 3000};
    Process p = StartProgramAndWait(kTraySwitch);
    ASSERT_TRUE(p.process);
    for (DWORD holdMs : holds) {
        SCOPED_TRACE(std::to_string(holdMs) + " ms");
        const char* expected = OpcoesValue("ligada") == "1" ? "0" : "1";
        HeldFile reader(SettingsFile(kConfig), kShareEverything, holdMs);
        ASSERT_TRUE(reader.held());
        PostMessageW(FindMessageWindow(p.pid), WM_COMMAND, kCmdToggle, 0);
        ASSERT_TRUE(reader.Released(holdMs + kReactMs));
        EXPECT_TRUE(IniValueBecomes(kConfig, "Opcoes", "ligada", expected, 1000));
        EXPECT_TRUE(NoDialogOf(p.pid));
    }
}

// The same reader on miras.ini around "Salvar mira": the save goes through
// and every other saved crosshair stays.
TEST_F(Faults, ReaderHoldingTheSavedFileNeverFailsASave) {
    ASSERT_TRUE(WriteSettingsText(kMiras, UserSections().c_str()));
    SettingsScene scene = OpenSettings();
    ASSERT_TRUE(scene.window);
    ASSERT_TRUE(ClickTab(scene.window, kSavedTab));
    HWND w = scene.window;
    Paste(Control(w, kIdImportBox), L"cl_crosshairsize 3");
    SendTo(Control(w, kIdNameBox), WM_SETTEXT, 0, (LPARAM)L"Nova");
    HeldFile reader(SettingsFile(kMiras), kShareEverything, 300);
    ASSERT_TRUE(reader.held());
    PostClick(Control(w, kIdSaveButton));
    EXPECT_TRUE(TextBecomes(Control(w, kIdStatusLine), kSavedText, kReactMs));
    const std::string text = WithoutCr(ReadSettingsText(kMiras));
    EXPECT_EQ(0u, text.find(UserSections())) << text;
    EXPECT_EQ("3.000", IniValue(text, "Nova", "tamanho"));
}

// A config.ini held without sharing while the program starts is waited for,
// so the player's crosshair is what the next change writes back.
TEST_F(Faults, SettingsFileHeldAtStartIsReadOnceFree) {
    ASSERT_TRUE(WriteSettingsText(kConfig, ConfigText({{"tamanho", "4.000"}}).c_str()));
    Process p;
    {
        HeldFile owner(SettingsFile(kConfig), 0, 1000);
        ASSERT_TRUE(owner.held());
        p = StartProgram(kTraySwitch);
    }
    ASSERT_TRUE(WaitFor([&] { return FindMessageWindow(p.pid) != nullptr; }, kStartMs));
    PostMessageW(FindMessageWindow(p.pid), WM_COMMAND, kCmdToggle, 0);
    EXPECT_TRUE(IniValueBecomes(kConfig, "Opcoes", "ligada", "0", kReactMs));
    EXPECT_EQ("4.000", MiraValue("tamanho")) << "the player's crosshair was replaced";
}

// A config.ini held past the start's patience and still at "Sair" is waited
// for at the quit, within the save's own budget: once free, the run's change
// lies over the player's values instead of being lost.
TEST_F(Faults, SettingsFileHeldUntilTheQuitGetsTheRunsChange) {
    const DWORD kHeldAtQuitMs = 300;  // well within the quit's patience of a second
    ASSERT_TRUE(WriteSettingsText(kConfig, ConfigText({{"tamanho", "4.000"}}).c_str()));
    HANDLE owner = CreateFileW(SettingsFile(kConfig).c_str(), GENERIC_READ, 0, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, owner);
    Process p = StartProgramAndWait(kTraySwitch);  // up after the start's patience, unread
    HWND messages = p.process ? FindMessageWindow(p.pid) : nullptr;
    EXPECT_TRUE(messages && Answered(messages, WM_COMMAND, kCmdToggle, 0));
    PostMessageW(messages, WM_COMMAND, kCmdQuit, 0);
    bool endedAtOnce = WaitFor([&] { return !IsRunning(p); }, kHeldAtQuitMs);
    CloseHandle(owner);
    EXPECT_FALSE(endedAtOnce) << "the quit did not wait for the file";
    DWORD code = 0xDEAD;
    EXPECT_TRUE(WaitExit(p, kExitMs, &code));
    EXPECT_EQ("0", OpcoesValue("ligada")) << "the run's change was lost";
    EXPECT_EQ("4.000", MiraValue("tamanho")) << "the player's crosshair was replaced";
}

// A tray in place of Explorer's: the program waits for its answer to every
// tray call, and handles messages from other programs meanwhile. On the call
// that follows "Redefinir tudo", made once the window's controls are set, it
// pastes a code there.
DWORD g_trayPastePid;
LRESULT CALLBACK PastingTrayProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_COPYDATA) return DefWindowProcW(window, message, wParam, lParam);
    HWND box = Control(FindSettingsWindow(g_trayPastePid), kIdImportBox);
    if (box && g_trayPastePid) {
        g_trayPastePid = 0;
        Paste(box, L"cl_crosshairsize 3");
    }
    return TRUE;
}

// That paste acts like any other and reaches config.ini.
TEST_F(Faults, PasteWhileTheWindowTellsTheTrayIsApplied) {
    WNDCLASSW tray = {};
    tray.lpfnWndProc = PastingTrayProc;
    tray.lpszClassName = kTrayClass;
    RegisterClassW(&tray);
    HWND fake = CreateWindowW(kTrayClass, L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(fake);
    SettingsScene scene = OpenSettings();
    ASSERT_TRUE(scene.window);
    g_trayPastePid = scene.process.pid;
    PostClick(Control(scene.window, kIdResetAll));
    ASSERT_TRUE(AnswerMessageBox(scene.process.pid, kResetQuestion, IDYES));
    EXPECT_TRUE(IniValueBecomes(kConfig, "Mira", "tamanho", "3.000", kStartMs));
    EXPECT_EQ(0u, g_trayPastePid) << "the reset made no tray call";
    DestroyWindow(fake);
}

// One gesture, one replacement of config.ini: a drag ends in two
// notifications and an arrow-key step in two, and the second changes nothing.
TEST_F(Faults, OneGestureReplacesTheSettingsFileOnce) {
    SettingsScene scene = OpenSettings();
    ASSERT_TRUE(scene.window);
    ConfigReplacements replacements;
    ASSERT_TRUE(replacements.listening());
    MoveTrackbar(scene.window, kIdSliderSize, 5, TB_THUMBTRACK);
    MoveTrackbar(scene.window, kIdSliderSize, 6, TB_THUMBTRACK);
    MoveTrackbar(scene.window, kIdSliderSize, 6, TB_THUMBPOSITION);
    MoveTrackbar(scene.window, kIdSliderSize, 6, TB_ENDTRACK);
    EXPECT_EQ(1, replacements.CountFor(kQuietMs)) << "a drag";
    MoveTrackbar(scene.window, kIdSliderSize, 7, TB_LINEDOWN);
    MoveTrackbar(scene.window, kIdSliderSize, 7, TB_ENDTRACK);
    EXPECT_EQ(1, replacements.CountFor(kQuietMs)) << "an arrow-key step";
    EXPECT_EQ("3.500", MiraValue("tamanho"));
}

// Thousands of saved crosshairs: the list is drawn once when refilled, and a
// save's status shows within two seconds.
TEST_F(Faults, SaveAmongTenThousandCrosshairsAnswersWithinTwoSeconds) {
    std::string sections;
    for (int i = 0; i < kLongListCount; ++i)
        sections += "[" + NumberedName("M", i) + "]\n" + CrosshairKeys("1.000");
    ASSERT_TRUE(WriteSettingsText(kMiras, sections.c_str()));
    SettingsScene scene = OpenSettings();
    ASSERT_TRUE(scene.window);
    ASSERT_TRUE(ClickTab(scene.window, kSavedTab));
    HWND w = scene.window, status = Control(w, kIdStatusLine);
    Paste(Control(w, kIdImportBox), L"cl_crosshairsize 3");
    SendTo(Control(w, kIdNameBox), WM_SETTEXT, 0, (LPARAM)L"Nova");
    DWORD start = GetTickCount();
    PostClick(Control(w, kIdSaveButton));
    EXPECT_TRUE(TextBecomes(status, kSavedText, kLongListSaveMs));
    printf("[ measure  ] \"Salvar mira\" among %d saved crosshairs: status after %lu ms\n",
           (int)kLongListCount, (unsigned long)(GetTickCount() - start));
}

// Copies a kill left behind are never read and are gone once the program is up.
TEST_F(Faults, LeftoverCopiesAreRemovedAtStartAndNeverRead) {
    const std::string miras = Unicode(UserSections());
    ASSERT_TRUE(WriteSettingsBytes(kMiras, miras));
    const std::string stale = ConfigText({{"tamanho", "9.000"}, {"ligada", "0"}});
    ASSERT_TRUE(WriteSettingsText(kConfigCopy, stale.c_str()));
    ASSERT_TRUE(WriteSettingsText(kMirasCopy, "[Fantasma]\ntamanho=9.000\n"));
    SettingsScene scene = OpenSettings({{"tamanho", "2.000"}});
    ASSERT_TRUE(scene.window);
    const std::string config = ReadSettingsBytes(kConfig);
    EXPECT_TRUE(WaitFor(
        [] { return !SettingsFileExists(kConfigCopy) && !SettingsFileExists(kMirasCopy); },
        kReactMs))
        << "a copy outlived the start";
    EXPECT_EQ("2.0", Utf8(TextOf(Control(scene.window, kIdLabelSize))));
    EXPECT_TRUE(IsChecked(Control(scene.window, kIdCheckEnabled)));
    const std::vector<std::wstring> expected = {L"★ Zavik Padrão", L"★ Ponto branco",
                                                L"★ Cruz branca", L"★ Cruz branca vazada",
                                                L"Minha mira", L"Cruz do Zé"};
    EXPECT_EQ(expected, ListLines(Control(scene.window, kIdSavedList)));
    EXPECT_EQ(miras, ReadSettingsBytes(kMiras));
    EXPECT_EQ(config, ReadSettingsBytes(kConfig));
}

// Without settings of an earlier run, nothing says the saved crosshairs are of
// the old kind: crosshairs named like old built-ins stay, over two starts,
// whether config.ini is missing or empty.
TEST_F(Faults, MissingOrEmptySettingsNeverCostSavedCrosshairs) {
    const std::string miras = Unicode("[Zavik Padrão]\n" + CrosshairKeys("1.000") +
                                      "[Cruz pequena ciano]\n" + CrosshairKeys("2.000") +
                                      "[Cruz verde]\n" + CrosshairKeys("3.000") + UserSections());
    struct Row {
        const char* name;
        bool configExists;
    };
    const Row rows[] = {{"config.ini missing", false}, {"config.ini empty", true}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CleanSettingsFolder();
        ASSERT_TRUE(WriteSettingsBytes(kMiras, miras));
        if (row.configExists) {
            ASSERT_TRUE(WriteSettingsBytes(kConfig, ""));
        }
        for (int start = 0; start < 2; ++start) {
            SCOPED_TRACE("start " + std::to_string(start + 1));
            Process p = StartProgramAndWait(kTraySwitch);
            ASSERT_TRUE(p.process);
            EXPECT_TRUE(IniValueBecomes(kConfig, "Opcoes", "versao_miras", "2", kReactMs));
            DWORD code = 0xDEAD;
            EXPECT_TRUE(QuitCleanly(p, kExitMs, &code));
            EXPECT_EQ(miras, ReadSettingsBytes(kMiras)) << "a saved crosshair was deleted";
        }
        EXPECT_EQ(Unicode(ConfigText()), ReadSettingsBytes(kConfig));
    }
}

// What a save costs: a slider's arrow-key step (saves config.ini) against a
// step of a drag (redraws without saving), and "Salvar mira" under a new name
// against "Salvar mira" with no name (decides without writing), as round trips
// of the message, median of many. The files hold exactly the last state.
TEST_F(Faults, SavesAreWholeAndTheirCostIsMeasured) {
    SettingsScene scene = OpenSettings();
    ASSERT_TRUE(scene.window);
    HWND w = scene.window, size = Control(w, kIdSliderSize);
    auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    auto timed = [&](const std::function<bool()>& action) {
        LARGE_INTEGER a, b;
        QueryPerformanceCounter(&a);
        bool ok = action();
        QueryPerformanceCounter(&b);
        EXPECT_TRUE(ok);
        return (double)(b.QuadPart - a.QuadPart) * 1000.0 / (double)frequency.QuadPart;
    };
    std::vector<double> stepMs, dragMs, saveMs, refusedMs;
    for (int i = 0; i < kMeasuredSaves; ++i) {
        int position = SizePosition(i);
        dragMs.push_back(timed([&] {
            return Answered(size, TBM_SETPOS, TRUE, position) &&
                   Answered(w, WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, position), (LPARAM)size);
        }));
        stepMs.push_back(
            timed([&] { return MoveSlider(w, kIdSliderSize, position, kChangeAnswerMs); }));
    }
    CrosshairSettings last = kBuiltinPresets[0].settings;
    last.size = SizePosition(kMeasuredSaves - 1) * 0.5f;
    EXPECT_EQ(ConfigBytes(last), ReadSettingsBytes(kConfig));

    HWND nameBox = Control(w, kIdNameBox), import = Control(w, kIdImportBox),
         save = Control(w, kIdSaveButton);
    std::vector<SavedCrosshair> saved;
    std::mt19937 random(7);
    for (int i = 0; i < kMeasuredSaves; ++i) {
        CrosshairSettings look = RandomLook(random);
        Paste(import, CodeOf(look));
        SendTo(nameBox, WM_SETTEXT, 0, (LPARAM)L"");
        refusedMs.push_back(timed([&] { return Answered(save, BM_CLICK, 0, 0); }));
        std::string name = NumberedName("Medida", i);
        std::wstring wide = Wide(name);
        SendTo(nameBox, WM_SETTEXT, 0, (LPARAM)wide.c_str());
        saveMs.push_back(timed([&] { return Answered(save, BM_CLICK, 0, 0); }));
        CrosshairSettings expected = last;
        ParseCrosshairCode(CodeOf(look).c_str(), &expected);
        last = expected;
        saved.push_back({name, expected});
    }
    EXPECT_EQ(MirasBytes(saved), ReadSettingsBytes(kMiras));
    EXPECT_FALSE(SettingsFileExists(kConfigCopy) || SettingsFileExists(kMirasCopy));
    printf("[ measure  ] settings save: slider step %.2f ms against drag step without saving "
           "%.2f ms (median of %d)\n",
           median(stepMs), median(dragMs), (int)kMeasuredSaves);
    printf("[ measure  ] crosshair save: \"Salvar mira\" %.2f ms against the same click "
           "without a name %.2f ms (median of %d, %d crosshairs on file at the end)\n",
           median(saveMs), median(refusedMs), (int)kMeasuredSaves, (int)kMeasuredSaves);
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

// Another program holding config.ini never makes the player wait: each change
// shows at once while the program keeps answering, and the last state reaches
// the file within a second of the release. A read-only mark costs no copies
// (the retries back off, so the change lands a little later) and the game
// status line says why while it lasts, the server label under it.
TEST_F(Faults, HeldSettingsFileNeverMakesThePlayerWait) {
    const DWORD kHeldMs = 4000, kAtOnceMs = 200;
    const int kSteps = 5, kFewCopies = 3, kOneLine = 18;
    const struct {
        const char* name;
        DWORD share;
        bool toggles;  // else arrow-key steps of "Tamanho" to positions 1..kSteps
        const char* section;
        const char* key;
        const char* last;
        bool readOnly;  // instead of being held
    } rows[] = {
        {"toggles, held without sharing", 0, true, "Opcoes", "ligada", "0", false},
        {"slider steps, a reader sharing everything", kShareEverything, false, "Mira", "tamanho",
         "2.500", false},
        {"toggles, read-only", kShareEverything, true, "Opcoes", "ligada", "0", true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        SettingsScene scene = OpenSettingsWithOverlay();
        ASSERT_TRUE(scene.window);
        HWND overlay = FindOverlay(scene.process.pid);
        HWND messages = FindMessageWindow(scene.process.pid);
        HWND label = Control(scene.window, kIdGameStatus);
        ConfigReplacements copies(FILE_ACTION_ADDED, kConfigCopy);
        HeldFile holder(SettingsFile(kConfig), row.share, row.readOnly ? 0 : kHeldMs);
        ASSERT_TRUE(holder.held());
        ASSERT_TRUE(!row.readOnly || SetReadOnly(SettingsFile(kConfig), true));
        for (int i = 1; i <= kSteps; ++i) {
            SCOPED_TRACE(i);
            DWORD start = GetTickCount();
            if (row.toggles) {
                PostMessageW(messages, WM_COMMAND, kCmdToggle, 0);
                EXPECT_TRUE(BecomesVisible(overlay, i % 2 == 0, kAtOnceMs));
            } else {
                MoveTrackbar(scene.window, kIdSliderSize, i, TB_LINEDOWN);
                EXPECT_LT(GetTickCount() - start, kAtOnceMs);
            }
            DWORD_PTR answer = 0;
            EXPECT_TRUE(
                SendMessageTimeoutW(messages, WM_NULL, 0, 0, SMTO_NORMAL, kAtOnceMs, &answer));
        }
        if (row.readOnly) {
            EXPECT_TRUE(TextBecomes(label, L"Não dá para salvar: config.ini está só para leitura.",
                                    kReactMs));
            EXPECT_TRUE(ShowsTextColour(label, kErrorRed, kReactMs));
            // The text grows the label by a line, and the server's label moves down.
            HWND server = Control(scene.window, kIdServerLabel);
            EXPECT_TRUE(WaitFor([&] {
                RECT status = ControlRect(scene.window, label);
                return ControlRect(scene.window, server).top == status.bottom &&
                       status.bottom - status.top > Scale(kOneLine);
            }, kReactMs));
            EXPECT_LE(copies.CountFor(kHeldMs), kFewCopies) << "copies made while read-only";
            ASSERT_TRUE(SetReadOnly(SettingsFile(kConfig), false));
        }
        ASSERT_TRUE(holder.Released(kHeldMs + kReactMs));
        EXPECT_TRUE(IniValueBecomes(kConfig, row.section, row.key, row.last,
                                    row.readOnly ? (DWORD)kReactMs : 1000u));
        EXPECT_TRUE(TextBecomes(label, kGameAwayText, kReactMs));
        DWORD code = 0xDEAD;
        EXPECT_TRUE(QuitCleanly(scene.process, kExitMs, &code));
    }
}

// A clipboard another program holds open is waited for a moment; held longer,
// the copy says so and the clipboard keeps its text.
TEST_F(Faults, CopyWaitsForTheClipboardAMomentThenSaysItFailed) {
    const wchar_t kBefore[] = L"antes";
    const struct {
        DWORD holdMs;
        const wchar_t* box;
        bool copied;
    } rows[] = {
        {100,
         L"Código da mira copiado! Dá pra mandar para um amigo colar em \"Importar mira fixa\".",
         true},
        {400,
         L"Não consegui copiar: outro programa está usando a área de transferência. "
         L"Tente de novo.",
         false},
    };
    SettingsScene scene = OpenSettings();
    ASSERT_TRUE(scene.window);
    wchar_t line[kCodeLineChars];
    FormatCrosshairCode(kBuiltinPresets[0].settings, line, kCodeLineChars);
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.holdMs) + " ms");
        ASSERT_TRUE(OpenClipboard(nullptr) && EmptyClipboard());
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, sizeof kBefore);
        memcpy(GlobalLock(block), kBefore, sizeof kBefore);
        GlobalUnlock(block);
        SetClipboardData(CF_UNICODETEXT, block);
        CloseClipboard();
        ClipboardHold hold = {row.holdMs, CreateEventW(nullptr, TRUE, FALSE, nullptr)};
        HANDLE other = CreateThread(nullptr, 0, HoldClipboard, &hold, 0, nullptr);
        ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(hold.opened, kReactMs));
        PostClick(Control(scene.window, kIdCopyCode));
        WaitForSingleObject(other, INFINITE);
        CloseHandle(other);
        CloseHandle(hold.opened);
        EXPECT_TRUE(AnswerMessageBox(scene.process.pid, row.box, IDOK));
        EXPECT_EQ(Utf8(row.copied ? line : kBefore), Utf8(ClipboardText()));
    }
}

// Restart Manager's ENDSESSION_CLOSEAPP and the WM_CLOSE that taskkill and
// Restart Manager send to each top-level window end the program as "Sair"
// does, with the tray menu open too: a change that a reader held up is
// written, and the process ends with 0. The player's Alt+F4, which reaches
// the tray window left in front by its menu, ends nothing.
TEST_F(Faults, AskedToCloseTheProgramSavesAndEnds) {
    enum Menu { kNoMenu, kMenuOpen, kMenuClosedByEsc };
    const WPARAM kKeyF4 = VK_F4;
    const LPARAM kAltDown = (LPARAM)KF_ALTDOWN << 16;  // the key's context bit
    const struct {
        const char* name;
        bool overlay;  // else the hidden tray window
        UINT message;
        LPARAM lParam;
        Menu menu;
        DWORD endsWithinMs;  // 0: the program keeps running
    } rows[] = {
        {"WM_ENDSESSION, ENDSESSION_CLOSEAPP", false, WM_ENDSESSION, ENDSESSION_CLOSEAPP, kNoMenu,
         2000},
        {"WM_CLOSE to the tray window", false, WM_CLOSE, 0, kNoMenu, 2000},
        {"WM_CLOSE to the overlay", true, WM_CLOSE, 0, kNoMenu, 2000},
        {"ENDSESSION_CLOSEAPP, tray menu open", false, WM_ENDSESSION, ENDSESSION_CLOSEAPP,
         kMenuOpen, 3000},
        {"Alt+F4 after the tray menu", false, WM_SYSKEYDOWN, kAltDown, kMenuClosedByEsc, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_TRUE(WriteSettingsText(kConfig, ConfigText().c_str()));
        Process p = StartProgramAndWait(kTraySwitch);
        ASSERT_TRUE(p.process);
        HWND target = WaitForTopLevel(row.overlay ? ZAVIK_CLASS_OVERLAY : ZAVIK_CLASS_TRAY, p.pid,
                                      kStartMs);
        ASSERT_TRUE(target);
        HeldFile reader(SettingsFile(kConfig), kShareEverything, 300);
        ASSERT_TRUE(reader.held());
        PostMessageW(FindMessageWindow(p.pid), WM_COMMAND, kCmdToggle, 0);
        HWND menu = nullptr;
        if (row.menu != kNoMenu) {
            PostMessageW(FindMessageWindow(p.pid), kWmTrayIcon, 0, WM_RBUTTONUP);
            auto shown = [&] {
                return (menu = FindTopLevel(L"#32768", p.pid)) && IsWindowVisible(menu);
            };
            ASSERT_TRUE(WaitFor(shown, kReactMs)) << "no tray menu";
        }
        if (row.menu == kMenuClosedByEsc) {
            PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
            ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(menu); }, kReactMs));
        }
        PostMessageW(target, row.message, row.message == WM_SYSKEYDOWN ? kKeyF4 : TRUE,
                     row.lParam);
        DWORD code = 0xDEAD;
        if (!row.endsWithinMs) {
            PumpFor(kQuietMs);
            EXPECT_TRUE(IsRunning(p));
            EXPECT_TRUE(IniValueBecomes(kConfig, "Opcoes", "ligada", "0", kReactMs));
            continue;
        }
        EXPECT_TRUE(WaitExit(p, row.endsWithinMs, &code));
        EXPECT_EQ(0u, code);
        EXPECT_EQ("0", OpcoesValue("ligada"));
    }
}

}  // namespace
