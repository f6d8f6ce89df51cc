// Overlay placement and the visibility decision: monitor order, window
// position, game identification rules and the per-tick wanted/period table.
#include <gtest/gtest.h>

#include <stdint.h>

#include "overlay/placement.h"

namespace {

::testing::AssertionResult RectIs(const ScreenRect& r, int32_t left, int32_t top, int32_t right,
                                  int32_t bottom) {
    if (r.left == left && r.top == top && r.right == right && r.bottom == bottom)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "rect (" << r.left << ", " << r.top << ")-(" << r.right << ", " << r.bottom
           << "), expected (" << left << ", " << top << ")-(" << right << ", " << bottom << ")";
}

MonitorList ListOf(const MonitorEntry* entries, int count) {
    MonitorList list = {};
    for (int i = 0; i < count; ++i) AppendMonitor(&list, entries[i].rect, entries[i].primary);
    return list;
}

const ScreenRect kLeft = {-1280, 0, 0, 1024};
const ScreenRect kMain = {0, 0, 1920, 1080};
const ScreenRect kRight = {1920, 0, 3840, 1080};
const ScreenRect kTop = {0, -900, 1600, 0};

struct OrderRow {
    const char* name;
    MonitorEntry input[4];
    int count;
    MonitorEntry expected[4];
};

const OrderRow kOrderRows[] = {
    {"secondary reported before primary", {{kLeft, 0}, {kMain, 1}}, 2, {{kMain, 1}, {kLeft, 0}}},
    {"primary already first", {{kMain, 1}, {kLeft, 0}}, 2, {{kMain, 1}, {kLeft, 0}}},
    {"primary last of four: only the two swap",
     {{kLeft, 0}, {kRight, 0}, {kTop, 0}, {kMain, 1}}, 4,
     {{kMain, 1}, {kRight, 0}, {kTop, 0}, {kLeft, 0}}},
    {"no primary keeps the order", {{kLeft, 0}, {kRight, 0}}, 2, {{kLeft, 0}, {kRight, 0}}},
    {"first primary after entry 0 wins", {{kLeft, 0}, {kMain, 1}, {kRight, 1}}, 3,
     {{kMain, 1}, {kLeft, 0}, {kRight, 1}}},
    {"single monitor", {{kRight, 0}}, 1, {{kRight, 0}}},
};

TEST(Placement, PutPrimaryFirstOrdersMonitors) {
    for (const OrderRow& row : kOrderRows) {
        SCOPED_TRACE(row.name);
        MonitorList list = ListOf(row.input, row.count);
        PutPrimaryFirst(&list);
        ASSERT_EQ(row.count, list.count);
        for (int i = 0; i < row.count; ++i) {
            SCOPED_TRACE(i);
            const ScreenRect& e = row.expected[i].rect;
            EXPECT_TRUE(RectIs(list.entries[i].rect, e.left, e.top, e.right, e.bottom));
            EXPECT_EQ(row.expected[i].primary, list.entries[i].primary);
        }
    }
}

TEST(Placement, NineMonitorsListOnlyEight) {
    MonitorList list = {};
    int appended = 0;
    for (int i = 0; i < 9; ++i) {
        ScreenRect r = {i * 100, 0, i * 100 + 100, 100};
        if (AppendMonitor(&list, r, i == 8 ? 1 : 0)) ++appended;
    }
    EXPECT_EQ(8, appended);
    EXPECT_EQ(8, list.count);
    // The ninth was the primary but never listed: the order stays as reported.
    PutPrimaryFirst(&list);
    EXPECT_TRUE(RectIs(list.entries[0].rect, 0, 0, 100, 100));
    EXPECT_TRUE(RectIs(list.entries[7].rect, 700, 0, 800, 100));
}

TEST(Placement, EnsureOneMonitorOnlyWhenNoneWasRead) {
    MonitorList empty = {};
    EnsureOneMonitor(&empty, 1366, 768);
    ASSERT_EQ(1, empty.count);
    EXPECT_TRUE(RectIs(empty.entries[0].rect, 0, 0, 1366, 768));
    EXPECT_EQ(1, empty.entries[0].primary);

    MonitorList one = {};
    AppendMonitor(&one, kLeft, 0);
    EnsureOneMonitor(&one, 1366, 768);
    ASSERT_EQ(1, one.count);
    EXPECT_TRUE(RectIs(one.entries[0].rect, -1280, 0, 0, 1024));
}

TEST(Placement, TargetIsGameOnceFoundElsePrimary) {
    MonitorList list = {};
    AppendMonitor(&list, kMain, 1);
    AppendMonitor(&list, kLeft, 0);
    ScreenRect game = {100, 50, 1380, 770};
    EXPECT_TRUE(RectIs(TargetRect(false, game, list), 0, 0, 1920, 1080));
    EXPECT_TRUE(RectIs(TargetRect(true, game, list), 100, 50, 1380, 770));
}

struct PositionRow {
    const char* name;
    ScreenRect target;
    int32_t offsetX, offsetY;
    int32_t x, y;
};

const PositionRow kPositionRows[] = {
    {"1920x1080 primary", {0, 0, 1920, 1080}, 0, 0, 800, 380},
    {"offsets move the window", {0, 0, 1920, 1080}, 10, -5, 810, 375},
    {"1366x768 monitor", {0, 0, 1366, 768}, 0, 0, 523, 224},
    {"game client area", {100, 50, 1380, 770}, 0, 0, 580, 250},
    {"monitor left of primary, odd width", {-1281, 0, 0, 1024}, 0, 0, -801, 352},
    {"huge stored offset saturates", {0, 0, 1920, 1080}, INT32_MAX, INT32_MIN, INT32_MAX,
     INT32_MIN + 380},
};

TEST(Placement, OverlayPositionCentresPixel160) {
    for (const PositionRow& row : kPositionRows) {
        SCOPED_TRACE(row.name);
        int32_t x = 0, y = 0;
        OverlayPosition(row.target, row.offsetX, row.offsetY, &x, &y);
        EXPECT_EQ(row.x, x);
        EXPECT_EQ(row.y, y);
    }
}

TEST(Placement, SameScreenRectComparesAllFour) {
    ScreenRect a = {1, 2, 3, 4};
    EXPECT_TRUE(SameScreenRect(a, ScreenRect{1, 2, 3, 4}));
    EXPECT_FALSE(SameScreenRect(a, ScreenRect{0, 2, 3, 4}));
    EXPECT_FALSE(SameScreenRect(a, ScreenRect{1, 0, 3, 4}));
    EXPECT_FALSE(SameScreenRect(a, ScreenRect{1, 2, 0, 4}));
    EXPECT_FALSE(SameScreenRect(a, ScreenRect{1, 2, 3, 0}));
}

struct ClassRow {
    const char* name;
    const wchar_t* className;
    bool game;
};

const ClassRow kClassRows[] = {
    {"exact", L"grcWindow", true},
    {"upper case", L"GRCWINDOW", false},
    {"lower case", L"grcwindow", false},
    {"longer", L"grcWindow2", false},
    {"prefixed", L"xgrcWindow", false},
    {"empty", L"", false},
};

TEST(Placement, GameClassNameIsExact) {
    for (const ClassRow& row : kClassRows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.game, IsGameClassName(row.className));
    }
}

struct ImageRow {
    const char* name;
    const wchar_t* path;
    bool game;
};

const ImageRow kImageRows[] = {
    {"GTA5.exe", L"C:\\Games\\GTAV\\GTA5.exe", true},
    {"gta5.EXE", L"D:\\x\\gta5.EXE", true},
    {"x_GtaProcess_y.exe", L"C:\\FiveM\\x_GtaProcess_y.exe", true},
    {"GTAPROCESS.EXE", L"C:\\FiveM\\FiveM.app\\GTAPROCESS.EXE", true},
    {"FiveM_b2699_GTAProcess.exe", L"C:\\Users\\a\\FiveM_b2699_GTAProcess.exe", true},
    {"gta5.exe.old", L"C:\\Games\\gta5.exe.old", false},
    {"mygta5.exe", L"C:\\Games\\mygta5.exe", false},
    {"gta.exe", L"C:\\Games\\gta.exe", false},
    {"needle only in the folder", L"C:\\gtaprocess\\game.exe", false},
    {"gta5.exe as a folder", L"C:\\gta5.exe\\run.exe", false},
    {"no backslash: whole path is the name", L"gta5.exe", true},
    {"no backslash, other name", L"notepad.exe", false},
    {"path ending in a backslash", L"C:\\Games\\", false},
    {"empty path", L"", false},
};

TEST(Placement, GameImageFileNames) {
    for (const ImageRow& row : kImageRows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.game, IsGameImagePath(row.path));
    }
}

TEST(Placement, FileNameOfPathTakesTextAfterLastBackslash) {
    EXPECT_STREQ(L"GTA5.exe", FileNameOfPath(L"C:\\a\\b\\GTA5.exe"));
    EXPECT_STREQ(L"GTA5.exe", FileNameOfPath(L"GTA5.exe"));
    EXPECT_STREQ(L"", FileNameOfPath(L"C:\\a\\"));
    EXPECT_STREQ(L"x/y.exe", FileNameOfPath(L"C:\\x/y.exe"));
}

struct SizeRow {
    int32_t width, height;
    bool playable;
};

const SizeRow kSizeRows[] = {
    {640, 360, true}, {639, 1080, false}, {1920, 359, false}, {639, 359, false},
    {1920, 1080, true}, {0, 0, false}, {-1920, 1080, false},
};

TEST(Placement, PlayableClientSizeIsAtLeast640x360) {
    for (const SizeRow& row : kSizeRows) {
        SCOPED_TRACE(::testing::Message() << row.width << " x " << row.height);
        EXPECT_EQ(row.playable, IsPlayableClientSize(row.width, row.height));
    }
}

struct SecondRow {
    const char* name;
    uint32_t now, last;
    bool passed;
};

const SecondRow kSecondRows[] = {
    {"exactly one second", 1000, 0, true},
    {"one millisecond short", 999, 0, false},
    {"same moment", 5000, 5000, false},
    {"long after", 90000, 1000, true},
    {"wrap, 1012 ms apart", 500, 0xFFFFFE00u, true},
    {"wrap, 356 ms apart", 100, 0xFFFFFF00u, false},
    {"wrap to exactly zero", 0, 0xFFFFFC18u, true},
};

TEST(Placement, SecondHasPassedSurvivesTickWrap) {
    for (const SecondRow& row : kSecondRows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.passed, SecondHasPassed(row.now, row.last));
    }
}

struct RectReadRow {
    const char* name;
    bool sameWindow, followingButton;
    uint32_t now, lastRead;
    bool due;
};

const RectReadRow kRectReadRows[] = {
    {"another window in front", false, true, 1015, 1000, true},
    {"idle tick reads every time", true, false, 1001, 1000, true},
    {"aiming, one tick later", true, true, 1015, 1000, false},
    {"aiming, 199 ms later", true, true, 1199, 1000, false},
    {"aiming, 200 ms later", true, true, 1200, 1000, true},
    {"aiming across the wrap, 212 ms", true, true, 100, 0xFFFFFF90u, true},
    {"aiming across the wrap, 30 ms", true, true, 14, 0xFFFFFFF0u, false},
};

TEST(Placement, ClientRectReadDueWhileAimingOnlyEvery200Ms) {
    for (const RectReadRow& row : kRectReadRows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.due,
                  ClientRectReadDue(row.sameWindow, row.followingButton, row.now, row.lastRead));
    }
}

struct CursorLookRow {
    const char* name;
    bool followingButton;
    uint32_t now, lastLook;
    bool due;
};

const CursorLookRow kCursorLookRows[] = {
    {"cursor tick", false, 1001, 1000, true},
    {"aiming, 74 ms later", true, 1074, 1000, false},
    {"aiming, 75 ms later across the wrap", true, 59, 0xFFFFFFF0u, true},
};

TEST(Placement, CursorLookDueWhileAimingOnlyEvery75Ms) {
    for (const CursorLookRow& row : kCursorLookRows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.due, CursorLookDue(row.followingButton, row.now, row.lastLook));
    }
}

// The cursor columns come last, so rows without them have the option off.
struct VisibilityRow {
    const char* name;
    int32_t enabled;
    bool inFront;
    int32_t onlyWithGame, aimOnly;
    bool rightButton;
    bool needsButton, wanted;
    int32_t period;
    int32_t hideWithCursor = 0;
    uint32_t cursorFlags = 0;  // as GetCursorInfo reports them
    bool cursorImage = false;
    bool needsCursor = false;
};

const VisibilityRow kVisibilityRows[] = {
    {"game not in front, only with game", 1, false, 1, 0, false, false, false, 200},
    {"game in front", 1, true, 1, 0, false, false, true, 200},
    {"outside the game allowed", 1, false, 0, 0, false, false, true, 200},
    {"disabled", 0, true, 1, 0, false, false, false, 200},
    {"disabled, outside allowed", 0, false, 0, 0, false, false, false, 200},
    {"aim only, button up", 1, true, 1, 1, false, true, false, 15},
    {"aim only, button down", 1, true, 1, 1, true, true, true, 15},
    {"aim only outside the game, button down", 1, false, 0, 1, true, true, true, 200},
    {"aim only outside the game, button up", 1, false, 0, 1, false, true, false, 200},
    {"aim only, game not in front", 1, false, 1, 1, true, false, false, 200},
    {"aim only but disabled", 0, true, 1, 1, true, false, false, 200},
    {"enabled as any non-zero value", -3, true, 1, 2, true, true, true, 15},
    {"only-with-game as any non-zero value", 1, false, 7, 0, false, false, false, 200},
    {"game shows its cursor", 1, true, 1, 0, false, false, false, 75, 1, 1, true, true},
    {"game hides its cursor", 1, true, 1, 0, false, false, true, 75, 1, 0, true, true},
    {"cursor without image", 1, true, 1, 0, false, false, true, 75, 1, 1, false, true},
    {"cursor suppressed", 1, true, 1, 0, false, false, true, 75, 1, 2, true, true},
    {"cursor, option off", 1, true, 1, 0, false, false, true, 200, 0, 1, true, false},
    {"cursor, outside allowed", 1, true, 0, 0, false, false, false, 75, 1, 1, true, true},
    {"desktop cursor", 1, false, 0, 0, false, false, true, 200, 1, 1, true, false},
    {"cursor, not in front", 1, false, 1, 0, false, false, false, 200, 1, 1, true, false},
    {"cursor, disabled", 0, true, 1, 0, false, false, false, 200, 1, 1, true, false},
    {"cursor, button down", 1, true, 1, 1, true, true, false, 15, 1, 1, true, true},
    {"no cursor, button down", 1, true, 1, 1, true, true, true, 15, 1, 0, true, true},
    {"cursor, button up", 1, true, 1, 1, false, true, false, 15, 1, 1, true, false},
};

TEST(Placement, VisibilityDecisionTable) {
    for (const VisibilityRow& row : kVisibilityRows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.needsButton,
                  NeedsRightButton(row.enabled, row.inFront, row.onlyWithGame, row.aimOnly));
        EXPECT_EQ(row.needsCursor, NeedsCursorState(row.enabled, row.inFront, row.onlyWithGame,
                                                    row.aimOnly, row.rightButton,
                                                    row.hideWithCursor));
        EXPECT_EQ(row.wanted,
                  OverlayWanted(row.enabled, row.inFront, row.onlyWithGame, row.aimOnly,
                                row.rightButton, row.hideWithCursor,
                                CursorCountsAsShown(row.cursorFlags, row.cursorImage)));
        EXPECT_EQ(row.period,
                  WantedTickPeriod(row.enabled, row.inFront, row.aimOnly, row.hideWithCursor));
    }
}

}  // namespace
