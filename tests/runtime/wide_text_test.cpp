#include "runtime/wide_text.h"

#include "tests/runtime/heap_fixture.h"

#include <string>

namespace {

using WideString = std::basic_string<WCHAR>;

class WideTextTest : public RuntimeHeapTest {};

// Bytes 0x80..0x9F as the code page's published table gives them; the five it
// leaves undefined stand for themselves.
TEST_F(WideTextTest, EveryByteBecomesItsCharacterAndComesBackUnchanged) {
    const struct {
        unsigned char byte;
        unsigned unit;
    } cases[] = {{0x00, 0x0000}, {0x41, 0x0041}, {0x7F, 0x007F}, {0x80, 0x20AC}, {0x81, 0x0081},
                 {0x82, 0x201A}, {0x8A, 0x0160}, {0x8D, 0x008D}, {0x8F, 0x008F}, {0x90, 0x0090},
                 {0x93, 0x201C}, {0x99, 0x2122}, {0x9D, 0x009D}, {0x9F, 0x0178}, {0xA0, 0x00A0},
                 {0xDF, 0x00DF}, {0xFC, 0x00FC}, {0xFF, 0x00FF}};
    for (const auto& c : cases) {
        EXPECT_EQ(static_cast<unsigned>(wideFromWindows1252(c.byte)), c.unit) << int{c.byte};
    }
    std::string all;
    for (int byte = 1; byte < 256; ++byte) {
        all += static_cast<char>(byte);
    }
    WCHAR wide[256];
    ASSERT_EQ(widenWindows1252(all.c_str(), wide, 256), 255);
    char back[256];
    ASSERT_EQ(narrowToWindows1252(wide, 255, back, 256), 255);
    EXPECT_EQ(std::string(back), all);
#ifdef _WIN32
    // The system's own table agrees, byte for byte.
    WCHAR system[256] = {};
    MultiByteToWideChar(1252, 0, all.c_str(), 255, system, 256);
    EXPECT_EQ(WideString(wide), WideString(system, 255));
#endif
}

TEST_F(WideTextTest, CharactersOutsideTheCodePageBecomeOneQuestionMarkEach) {
    // U+044C, U+0080, a lone surrogate, two pairs (U+1F600 and the last
    // character, U+10FFFF: one each), then "u".
    const WCHAR wide[] = {0x044C, 0x0080, 0xDC00, 0xD83D, 0xDE00, 0xDBFF, 0xDFFF, 0x0075, 0};
    char text[16];
    EXPECT_EQ(narrowToWindows1252(wide, 8, text, sizeof text), 6);
    EXPECT_EQ(std::string(text), "?????u");
}

TEST_F(WideTextTest, EmptyNullAndLongTextsAreCutToTheRoom) {
    WCHAR wide[4] = {1, 1, 1, 1};
    EXPECT_EQ(widenWindows1252(nullptr, wide, 4), 0);
    EXPECT_EQ(wide[0], 0);
    EXPECT_EQ(widenWindows1252("", wide, 4), 0);
    EXPECT_EQ(widenWindows1252("Zur\xFC"
                               "ck",
                               wide, 4),
              3);
    EXPECT_EQ(WideString(wide), (WideString{'Z', 'u', 'r'}));

    char text[3] = {1, 1, 1};
    const WCHAR zurueck[] = {'Z', 'u', 'r', 0x00FC, 0};
    EXPECT_EQ(narrowToWindows1252(zurueck, 4, text, 3), 2);
    EXPECT_EQ(std::string(text), "Zu");
    // The count ends the text before its terminator does, and a room of one
    // holds the terminator alone.
    EXPECT_EQ(narrowToWindows1252(zurueck, 0, text, 3), 0);
    EXPECT_EQ(text[0], '\0');
    EXPECT_EQ(narrowToWindows1252(zurueck, 4, text, 1), 0);
    EXPECT_EQ(text[0], '\0');

    WideText none(nullptr);
    EXPECT_EQ(none.text, nullptr);
    // A long text takes a block of its own, which goes with its holder.
    std::string separatorLines(1000, '-');
    separatorLines += "\xFC";
    int blocks = liveHeapBlocks();
    {
        WideText longText(separatorLines.c_str());
        EXPECT_EQ(liveHeapBlocks(), blocks + 1);
        ASSERT_NE(longText.text, nullptr);
        EXPECT_EQ(longText.text[999], '-');
        EXPECT_EQ(longText.text[1000], 0x00FC);
        EXPECT_EQ(longText.text[1001], 0);
    }
    EXPECT_EQ(liveHeapBlocks(), blocks);

    // A holder reserved large and then small gives its block back once.
    {
        WideText reused;
        reused.reserve(1000);
        reused.reserve(10);
        EXPECT_EQ(liveHeapBlocks(), blocks);
    }
    EXPECT_EQ(liveHeapBlocks(), blocks);
}

} // namespace
