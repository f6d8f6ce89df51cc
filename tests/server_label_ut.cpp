// The server label: where a name too wide for it is cut for "…".
#include <gtest/gtest.h>

#include <string>

#include "ui/server_label.h"

namespace {

struct CutRow {
    const char* name;
    const wchar_t* text;  // every unit 10 pixels wide
    int ellipsisWidth, width;
    int kept;
};

const CutRow kCutRows[] = {
    {"fits whole", L"Servidor: A", 10, 110, 11},
    {"one unit too wide", L"Servidor: ABC", 10, 120, 11},
    {"no space before the ellipsis", L"Servidor: A BC", 10, 130, 11},
    {"a pair kept whole", L"Servidor: \xD83D\xDE00xy", 10, 130, 12},
    {"a pair never split", L"Servidor: A\xD83D\xDE00xy", 10, 130, 11},
    {"nothing fits", L"Servidor: A", 30, 20, 0},
};

TEST(ServerLabel, CutLeavesRoomForTheEllipsis) {
    for (const CutRow& row : kCutRows) {
        SCOPED_TRACE(row.name);
        int count = (int)std::wstring(row.text).size();
        int extents[kServerLabelChars];
        for (int i = 0; i < count; ++i) extents[i] = 10 * (i + 1);
        EXPECT_EQ(row.kept, ServerLabelCut(row.text, extents, count, row.ellipsisWidth, row.width));
    }
}

}  // namespace
