// Helpers of the trust cases (see trust_support.h).
#include "trust_support.h"

#include <commctrl.h>
#include <shlobj.h>
#include <wctype.h>
#include <algorithm>


namespace e2e {
namespace trust {

namespace {

const wchar_t kDialogClass[] = L"#32770";
const wchar_t kTempFolderName[] = L"zavik-e2e";
enum : DWORD { kQuitMs = 3000, kTerminateWaitMs = 5000, kAnswerMs = 5000 };
enum { kLabelChars = 32, kSnapshotDepth = 6, kFolderDepth = 1 };

const wchar_t* const kLinkedFolders[] = {L"Desktop", L"Documents", L"Downloads",
                                         L"Music",   L"Pictures",  L"Videos"};

std::vector<Process> g_own;

std::wstring Lower(std::wstring s) {
    for (wchar_t& c : s) c = (wchar_t)towlower(c);
    return s;
}

// The process's environment block with the changes made: names compare
// without case, as Windows does; the block is sorted as CreateProcess wants.
std::vector<wchar_t> EnvironmentBlock(const EnvChanges& changes) {
    std::vector<std::wstring> vars;
    wchar_t* block = GetEnvironmentStringsW();
    for (const wchar_t* p = block; p && *p; p += wcslen(p) + 1) vars.push_back(p);
    if (block) FreeEnvironmentStringsW(block);
    for (const auto& change : changes) {
        std::wstring prefix = Lower(change.first) + L"=";
        vars.erase(std::remove_if(vars.begin(), vars.end(),
                                  [&](const std::wstring& v) {
                                      return Lower(v.substr(0, prefix.size())) == prefix;
                                  }),
                   vars.end());
        if (!change.second.empty()) vars.push_back(change.first + L"=" + change.second);
    }
    std::sort(vars.begin(), vars.end(),
              [](const std::wstring& a, const std::wstring& b) { return Lower(a) < Lower(b); });
    std::vector<wchar_t> out;
    for (const std::wstring& v : vars) {
        out.insert(out.end(), v.begin(), v.end());
        out.push_back(0);
    }
    out.push_back(0);
    return out;
}

std::string Narrow(const std::wstring& s) { return Utf8(s); }

bool Skipped(const std::wstring& path, const std::vector<std::wstring>& skip) {
    std::wstring lower = Lower(path);
    for (const std::wstring& s : skip) {
        if (!s.empty() && lower == Lower(s)) return true;
    }
    return false;
}

void Walk(const std::wstring& root, const std::wstring& relative, int depth,
          const std::vector<std::wstring>& skip, bool skipHidden, Snapshot* out) {
    std::wstring folder = relative.empty() ? root : root + L"\\" + relative;
    WIN32_FIND_DATAW fd;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        if (!wcscmp(fd.cFileName, L".") || !wcscmp(fd.cFileName, L"..")) continue;
        if (skipHidden && (fd.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN)) continue;
        std::wstring name = relative.empty() ? std::wstring(fd.cFileName)
                                             : relative + L"\\" + fd.cFileName;
        if (Skipped(folder + L"\\" + fd.cFileName, skip)) continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            // Folders count too: a new empty folder is also a trace.
            (*out)[Lower(name) + L"\\"] = 0;
            // Links (Wine maps Documents and Desktop onto the Unix home) are not followed.
            if (depth > 1 && !(fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                Walk(root, name, depth - 1, skip, skipHidden, out);
        } else {
            (*out)[Lower(name)] = ((uint64_t)fd.nFileSizeHigh << 32) | fd.nFileSizeLow;
        }
    } while (FindNextFileW(find, &fd));
    FindClose(find);
}

std::wstring FolderOf(const std::wstring& path) {
    size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

std::wstring ProfileFolder() {
    wchar_t path[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_PROFILE, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

std::wstring TestTempFolder() {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    std::wstring t = temp;
    if (!t.empty() && t.back() == L'\\') t.pop_back();
    return t + L"\\" + kTempFolderName;
}

}  // namespace

Process StartWith(const std::wstring& exe, const std::wstring& arguments, const EnvChanges& env,
                  const std::wstring& workingFolder) {
    std::wstring commandLine = L"\"" + exe + L"\"";
    if (!arguments.empty()) commandLine += L" " + arguments;
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(0);
    std::vector<wchar_t> block = EnvironmentBlock(env);
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    Process p;
    if (!CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, FALSE,
                        CREATE_UNICODE_ENVIRONMENT, block.data(),
                        workingFolder.empty() ? nullptr : workingFolder.c_str(), &si, &pi)) {
        ADD_FAILURE() << "CreateProcessW failed (" << GetLastError() << ") for "
                      << Narrow(commandLine);
        return p;
    }
    CloseHandle(pi.hThread);
    p.process = pi.hProcess;
    p.pid = pi.dwProcessId;
    g_own.push_back(p);
    return p;
}

void EndOwnProcesses() {
    for (const Process& p : g_own) {
        if (IsRunning(p)) QuitCleanly(p, kQuitMs, nullptr);
    }
    for (const Process& p : g_own) {
        if (IsRunning(p)) {
            TerminateProcess(p.process, 1);
            WaitForSingleObject(p.process, kTerminateWaitMs);
        }
        CloseHandle(p.process);
    }
    g_own.clear();
}

HWND FindDialogOf(DWORD pid) {
    HWND w = nullptr;
    while ((w = FindWindowExW(nullptr, w, kDialogClass, nullptr)) != nullptr) {
        if (WindowPid(w) == pid) return w;
    }
    return nullptr;
}

::testing::AssertionResult NoDialogOf(DWORD pid) {
    HWND box = FindDialogOf(pid);
    if (!box) return ::testing::AssertionSuccess();
    std::wstring text;
    // The text of a message box is its static control 0xFFFF.
    HWND body = GetDlgItem(box, 0xFFFF);
    if (body) text = TextOf(body);
    return ::testing::AssertionFailure() << "the program shows a dialog \"" << Narrow(TextOf(box))
                                         << "\": " << Narrow(text);
}

::testing::AssertionResult StaysUpWithoutDialog(const Process& p, DWORD startTick, DWORD ms) {
    ::testing::AssertionResult last = ::testing::AssertionSuccess();
    bool failed = WaitFor([&] {
        if (!IsRunning(p)) {
            DWORD code = 0;
            GetExitCodeProcess(p.process, &code);
            last = ::testing::AssertionFailure()
                   << "the program ended after " << GetTickCount() - startTick
                   << " ms with exit code 0x" << std::hex << code;
            return true;
        }
        last = NoDialogOf(p.pid);
        return !static_cast<bool>(last);
    },
                          ms > GetTickCount() - startTick ? ms - (GetTickCount() - startTick)
                                                          : 0);
    if (failed) return last;
    return ::testing::AssertionSuccess();
}

Snapshot TakeSnapshot(const std::wstring& folder, int depth,
                      const std::vector<std::wstring>& skip) {
    Snapshot out;
    Walk(folder, L"", depth, skip, false, &out);
    return out;
}

::testing::AssertionResult SameSnapshot(const Snapshot& before, const Snapshot& after) {
    std::string report;
    for (const auto& entry : after) {
        auto it = before.find(entry.first);
        if (it == before.end()) {
            report += "\n  new: " + Narrow(entry.first);
        } else if (it->second != entry.second) {
            report += "\n  size " + std::to_string(it->second) + " -> " +
                      std::to_string(entry.second) + ": " + Narrow(entry.first);
        }
    }
    for (const auto& entry : before) {
        if (!after.count(entry.first)) report += "\n  gone: " + Narrow(entry.first);
    }
    if (report.empty()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "files changed:" << report;
}

Footprint TakeFootprint() {
    const std::vector<std::wstring> skip = {SettingsFolder(), TestTempFolder()};
    wchar_t cwd[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, cwd);
    // Wine links Documents, Desktop and the like onto the Unix home folder,
    // which other programs share: their own level is listed, without the
    // hidden (dot) files that belong to those programs.
    std::vector<std::wstring> profileSkip = skip;
    const std::wstring profile = ProfileFolder();
    for (const wchar_t* linked : kLinkedFolders) profileSkip.push_back(profile + L"\\" + linked);
    Footprint f;
    f.profile = TakeSnapshot(profile, kSnapshotDepth, profileSkip);
    for (const wchar_t* linked : kLinkedFolders) {
        Snapshot level;
        Walk(profile + L"\\" + linked, L"", kFolderDepth, skip, true, &level);
        for (const auto& entry : level)
            f.profile[Lower(std::wstring(linked)) + L"\\" + entry.first] = entry.second;
    }
    f.programFolder = TakeSnapshot(FolderOf(ProgramPath()), kFolderDepth, skip);
    f.workingFolder = TakeSnapshot(cwd, kFolderDepth, skip);
    return f;
}

::testing::AssertionResult SameFootprint(const Footprint& before, const Footprint& after) {
    ::testing::AssertionResult profile = SameSnapshot(before.profile, after.profile);
    if (!profile) return ::testing::AssertionFailure() << "under the user's profile: "
                                                       << profile.message();
    ::testing::AssertionResult program = SameSnapshot(before.programFolder, after.programFolder);
    if (!program) return ::testing::AssertionFailure() << "in the program's folder: "
                                                       << program.message();
    ::testing::AssertionResult working = SameSnapshot(before.workingFolder, after.workingFolder);
    if (!working) return ::testing::AssertionFailure() << "in the working folder: "
                                                       << working.message();
    return ::testing::AssertionSuccess();
}

bool IsChecked(HWND control) {
    DWORD_PTR state = 0;
    SendMessageTimeoutW(control, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, kAnswerMs, &state);
    return state == BST_CHECKED;
}

void SetCheckBox(HWND settings, int id, bool checked) {
    HWND box = Control(settings, id);
    if (!box) return;
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(box, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0,
                        SMTO_ABORTIFHUNG, kAnswerMs, &ignored);
    SendMessageTimeoutW(settings, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)box,
                        SMTO_ABORTIFHUNG, kAnswerMs, &ignored);
}

bool MoveSlider(HWND settings, int trackbarId, int position, DWORD ms) {
    HWND trackbar = Control(settings, trackbarId);
    if (!trackbar) return false;
    DWORD_PTR ignored = 0;
    if (!SendMessageTimeoutW(trackbar, TBM_SETPOS, TRUE, position, SMTO_ABORTIFHUNG, ms,
                             &ignored))
        return false;
    return SendMessageTimeoutW(settings, WM_HSCROLL, MAKEWPARAM(TB_LINEDOWN, 0),
                               (LPARAM)trackbar, SMTO_ABORTIFHUNG, ms, &ignored) != 0;
}

::testing::AssertionResult SaneLabel(const std::wstring& text) {
    if (text.empty()) return ::testing::AssertionFailure() << "an empty value label";
    if (text.size() >= kLabelChars)
        return ::testing::AssertionFailure() << "a value label of " << text.size()
                                             << " characters: " << Narrow(text);
    for (wchar_t c : text) {
        if (c < 0x20 || c > 0x7E)
            return ::testing::AssertionFailure() << "a value label with character U+"
                                                 << std::hex << (unsigned)c << ": "
                                                 << Narrow(text);
    }
    return ::testing::AssertionSuccess();
}

std::string Utf16Le(const std::wstring& text) {
    std::string bytes;
    for (wchar_t c : text) {
        bytes += (char)(c & 0xFF);
        bytes += (char)((c >> 8) & 0xFF);
    }
    return bytes;
}

std::string WithBom(const std::wstring& text) { return "\xFF\xFE" + Utf16Le(text); }

bool SetReadOnly(const std::wstring& path, bool readOnly) {
    return SetFileAttributesW(path.c_str(),
                              readOnly ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL) != 0;
}

std::string Crlf(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
        out += text[i];
    }
    return out;
}

std::string Unicode(const std::string& utf8) { return WithBom(Wide(Crlf(utf8))); }

std::string CrosshairKeys(const char* size) {
    return std::string("tamanho=") + size +
           "\nespacamento=-3.000\nespessura=1.000\ncontorno=1\nespessura_contorno=1.000\n"
           "ponto=0\nestilo_t=0\ncor_r=0\ncor_g=255\ncor_b=0\nopacidade=200\nposicao_x=0\n"
           "posicao_y=0\n";
}

std::string UserSections() {
    return "[Minha mira]\n" + CrosshairKeys("2.000") + "[Cruz do Zé]\n" + CrosshairKeys("4.500");
}

}  // namespace trust
}  // namespace e2e
