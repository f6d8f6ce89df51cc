// Helpers of the trust cases (hostile files, faults, game safety): starting
// the program with an environment and working folder of the case's choosing,
// spotting a dialog of the program's process, snapshots of the files under the
// user's profile, and driving the settings window's check boxes and sliders
// the way their own notifications would.
#pragma once
#include "harness.h"

#include <stdint.h>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace e2e {
namespace trust {

// Environment changes for a start: a name with its new value, or with an
// empty value to remove the variable.
typedef std::vector<std::pair<std::wstring, std::wstring>> EnvChanges;

// Starts exe with its own environment and working folder (empty: inherited).
// The process is remembered and ended by EndOwnProcesses, never by the harness.
Process StartWith(const std::wstring& exe, const std::wstring& arguments,
                  const EnvChanges& env, const std::wstring& workingFolder);
// Ends what StartWith started: "Sair" for a program with a message window,
// TerminateProcess for anything left.
void EndOwnProcesses();

// Any dialog (#32770) of the process, whatever its title; null when none.
HWND FindDialogOf(DWORD pid);
// Fails when the process shows a dialog, naming its title and text.
::testing::AssertionResult NoDialogOf(DWORD pid);
// Polls until ms have passed since startTick, failing as soon as the process
// ends or shows a dialog.
::testing::AssertionResult StaysUpWithoutDialog(const Process& p, DWORD startTick, DWORD ms);

// File names and sizes under a folder, relative to it (lower case), down to
// depth levels; the files and folders whose full path is one of skip are left out.
typedef std::map<std::wstring, uint64_t> Snapshot;
Snapshot TakeSnapshot(const std::wstring& folder, int depth,
                      const std::vector<std::wstring>& skip);
// Names every file that appeared, vanished or changed size.
::testing::AssertionResult SameSnapshot(const Snapshot& before, const Snapshot& after);

// The folders the program must leave alone: the user's profile (AppData,
// Documents, Desktop and the rest), the program's own folder and the runner's
// working folder; the settings folder and the test's own temporary files are
// skipped.
struct Footprint {
    Snapshot profile, programFolder, workingFolder;
};
Footprint TakeFootprint();
::testing::AssertionResult SameFootprint(const Footprint& before, const Footprint& after);

bool IsChecked(HWND control);
// Sets a check box of the settings window and sends the notification a click
// would; returns once the program has handled it.
void SetCheckBox(HWND settings, int id, bool checked);
// Moves a trackbar and sends the scroll message a key press on it would
// (TB_LINEDOWN ends a change: the program saves). False when the program did
// not answer within ms (it ended, or hangs).
bool MoveSlider(HWND settings, int trackbarId, int position, DWORD ms);

// Text checks for what the settings window shows.
// A value label that is not garbage: 1..31 printable ASCII characters.
::testing::AssertionResult SaneLabel(const std::wstring& text);

// Files as bytes.
std::string Utf16Le(const std::wstring& text);  // without a byte-order mark
std::string WithBom(const std::wstring& text);  // FF FE, then UTF-16LE
bool SetReadOnly(const std::wstring& path, bool readOnly);
// "\n" line ends made CR LF (those already CR LF stay).
std::string Crlf(const std::string& text);
// UTF-8 text as the program keeps its files: FF FE, then UTF-16LE with CR LF.
std::string Unicode(const std::string& utf8);
// The thirteen keys of a saved crosshair with the given "tamanho" text.
std::string CrosshairKeys(const char* size);
// Two saved crosshairs a user made by hand ("Minha mira" with size 2, then
// "Cruz do Zé"), as UTF-8 text; the program has no reason to touch them.
std::string UserSections();

}  // namespace trust
}  // namespace e2e
