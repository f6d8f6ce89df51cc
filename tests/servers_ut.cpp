// The server a FiveM title names, and the record of what each server remembers.
#include <string>

#include "conformance/conformance.h"
#include "state/change.h"
#include "storage/servers.h"

namespace {

using conformance::SameText;

// A character beyond the BMP: two UTF-16 units in a Windows title.
const std::wstring kFace = L"\U0001F600";

struct TitleRow {
    const char* name;
    std::wstring title;
    const wchar_t* server;  // empty: the title names none
};

TEST(ServerTitle, NamesTheServerAfterTheFirstDashCleaned) {
    const std::wstring units127(127, L'a');
    const TitleRow rows[] = {
        {"connected", L"FiveM® by Cfx.re - Cidade Alta RP", L"Cidade Alta RP"},
        {"prefix without case", L"FIVEM® by Cfx.re - Rua", L"Rua"},
        {"first dash only", L"FiveM® by Cfx.re - PvP - Brasil", L"PvP - Brasil"},
        {"spaces at the ends", L"FiveM - \t  Servidor  ", L"Servidor"},
        {"white space runs", L"FiveM - a \t\u3000 b\u00A0\u00A0c", L"a b c"},
        {"control characters", L"FiveM - a\x01\x7F\x9F" L"b", L"ab"},
        {"colour codes", L"FiveM - ^1Zona ^9Sul^0", L"Zona Sul"},
        {"codes left by codes", L"FiveM - x^^12y", L"xy"},
        {"a caret without a digit stays", L"FiveM - a^b ^", L"a^b ^"},
        {"cut at 128 units", L"FiveM - " + std::wstring(200, L'b'), nullptr},
        {"a pair at the cut goes whole", L"FiveM - " + units127 + kFace, nullptr},
        {"a pair that fits stays", L"FiveM - " + std::wstring(126, L'a') + kFace, nullptr},
        {"a space at the cut goes", L"FiveM - " + units127 + L" b", nullptr},
        {"single player", L"Grand Theft Auto V", L""},
        {"before the first connection", L"FiveM® by Cfx.re", L""},
        {"empty name", L"FiveM® by Cfx.re - ", L""},
        {"only codes and spaces", L"FiveM® by Cfx.re -  ^2 ^3 ", L""},
        {"another program", L"Bloco de notas - FiveM - a", L""},
    };
    const std::wstring cut[] = {std::wstring(128, L'b'), units127,
                                std::wstring(126, L'a') + kFace, units127};
    size_t nextCut = 0;
    for (const TitleRow& row : rows) {
        SCOPED_TRACE(row.name);
        wchar_t name[kServerNameChars] = L"#";
        std::wstring expected = row.server ? row.server : cut[nextCut++];
        EXPECT_EQ(!expected.empty(), ServerNameFromTitle(row.title.c_str(), name));
        EXPECT_TRUE(SameText(name, expected));
        // A clean name cleans to itself: stored names find their server again.
        wchar_t again[kServerNameChars];
        CleanServerName(name, again);
        EXPECT_TRUE(SameText(again, expected));
    }
}

class ServerRecord : public ::testing::Test {
protected:
    CrosshairSettings Crosshair(float size) const {
        CrosshairSettings crosshair = kBuiltinPresets[1].settings;
        crosshair.size = size;
        crosshair.offsetX = (int32_t)size;
        return crosshair;
    }
    ServerMemories memories_ = {};
};

TEST_F(ServerRecord, ChangesAreKeptAndWornOnArrival) {
    RecordServerMemory(&memories_, L"PvP", Crosshair(4.0f), 1);
    RecordServerMemory(&memories_, L"RP", Crosshair(1.0f), 0);
    RecordServerMemory(&memories_, L" PvP ", Crosshair(6.0f), 1);  // the same server
    RecordServerMemory(&memories_, L" ^1 ", Crosshair(2.0f), 1);   // no server
    ASSERT_EQ(2, memories_.count);
    const ServerMemory* pvp = FindServerMemory(memories_, L"PvP");
    ASSERT_NE(nullptr, pvp);
    EXPECT_EQ(6, pvp->crosshair.offsetX);
    EXPECT_EQ(3u, pvp->used);
    EXPECT_EQ(0, FindServerMemory(memories_, L"RP")->enabled);
    // Arriving makes a server the newest; one without a memory gets none.
    uint32_t revision = memories_.revision;
    EXPECT_TRUE(TouchServerMemory(&memories_, L"RP"));
    EXPECT_EQ(4u, FindServerMemory(memories_, L"RP")->used);
    EXPECT_NE(revision, memories_.revision);
    EXPECT_FALSE(TouchServerMemory(&memories_, L"Novo"));
    EXPECT_EQ(nullptr, FindServerMemory(memories_, L"Novo"));
    ForgetServerMemories(&memories_);
    EXPECT_EQ(nullptr, FindServerMemory(memories_, L"PvP"));
}

TEST_F(ServerRecord, TheServerUsedLongestAgoIsForgotten) {
    for (int i = 0; i < kServerMemoryLimit; ++i)
        RecordServerMemory(&memories_, std::to_wstring(i).c_str(), Crosshair((float)i), 1);
    EXPECT_TRUE(TouchServerMemory(&memories_, L"0"));
    RecordServerMemory(&memories_, L"novo", Crosshair(-1.0f), 1);
    EXPECT_EQ(kServerMemoryLimit, memories_.count);
    EXPECT_NE(nullptr, FindServerMemory(memories_, L"0")) << "worn a moment ago";
    EXPECT_EQ(nullptr, FindServerMemory(memories_, L"1"));
    EXPECT_NE(nullptr, FindServerMemory(memories_, L"novo"));
}

TEST_F(ServerRecord, UseNumbersStartAgainBeforeTheyRunOut) {
    RecordServerMemory(&memories_, L"a", Crosshair(1.0f), 1);
    RecordServerMemory(&memories_, L"b", Crosshair(2.0f), 1);
    memories_.rows[0].used = kServerUsedLast - 1;
    memories_.rows[1].used = kServerUsedLast;
    memories_.largestUsed = kServerUsedLast;
    EXPECT_TRUE(TouchServerMemory(&memories_, L"a"));
    EXPECT_EQ(3u, FindServerMemory(memories_, L"a")->used);
    EXPECT_EQ(2u, FindServerMemory(memories_, L"b")->used);
}

}  // namespace

namespace {

// Through the door: what the player changes on a server is worn again on
// arriving there, with the crosshair's flag.
TEST(ServerDoor, PlayersChangesComeBackOnArrival) {
    struct Row {
        const char* name;
        bool optionOn, resetBeforeReturn;
        const wchar_t* back;  // the server arrived at last
        bool worn;            // A's crosshair and flag come back
    };
    const Row rows[] = {
        {"kept and worn again", true, false, L"A", true},
        {"a server with no memory changes nothing", true, false, L"C", false},
        {"nothing is kept or worn while the option is off", false, false, L"A", false},
        {"the reset forgets every server", true, true, L"A", false},
    };
    const CrosshairSettings& onA = kBuiltinPresets[1].settings;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ResetEverything();
        SeeServer(L"");
        ChangeOption(kOptionPerServer, row.optionOn ? 1 : 0);
        SeeServer(L"A");
        ChangeCrosshair(onA, kCrosshairPicked);
        ToggleEnabled();
        SeeServer(L"B");
        ChangeCrosshair(kBuiltinPresets[2].settings, kCrosshairPicked);
        ToggleEnabled();
        if (row.resetBeforeReturn) ResetEverything();
        const CrosshairSettings before = g_crosshair;
        SeeServer(row.back);
        EXPECT_TRUE(SameSettingsText(g_options, row.worn ? onA : before, g_options, g_crosshair));
        EXPECT_EQ(row.worn ? 0 : 1, g_options.enabled);
    }
    ResetEverything();
    SeeServer(L"");
}

}  // namespace
