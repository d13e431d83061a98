#include "runtime/scratch_string.h"

#include "tests/runtime/heap_fixture.h"

#include <cstring>
#include <string>

namespace {

class ScratchStringTest : public RuntimeHeapTest {
  protected:
    void SetUp() override {
        RuntimeHeapTest::SetUp();
        openScratchString();
    }
    int offset() const { return static_cast<int>(ScratchString.position - ScratchString.area); }
};

TEST_F(ScratchStringTest, StartsZeroFilledAtTheFirstByte) {
    EXPECT_EQ(ScratchString.position, ScratchString.area);
    EXPECT_EQ(HeapSize(RuntimeHeap, 0, ScratchString.area), 64000u);
    for (int i = 0; i < 64000; i += 997) {
        EXPECT_EQ(ScratchString.area[i], 0) << i;
    }
}

TEST_F(ScratchStringTest, FormatLongWritesSignedDecimalAndMovesOntoTheTerminator) {
    struct Case {
        LONG value;
        const char* text;
    };
    const Case cases[] = {{0, "0"},
                          {-5, "-5"},
                          {7, "7"},
                          {22, "22"},
                          {-2147483647 - 1, "-2147483648"},
                          {2147483647, "2147483647"}};
    for (const Case& c : cases) {
        char* start = scratchStart();
        char* result = formatLong(c.value, ScratchString.position);
        EXPECT_EQ(result, start);
        EXPECT_STREQ(result, c.text);
        EXPECT_EQ(ScratchString.position - start, static_cast<long>(std::strlen(c.text)));
        EXPECT_EQ(*ScratchString.position, '\0');
        scratchRestore(start);
    }
}

TEST_F(ScratchStringTest, BuildingARowTextFollowsTheProtocol) {
    char* start = scratchStart();
    scratchAppend("Riegel ");
    EXPECT_EQ(offset(), 7);
    formatLong(6, ScratchString.position);
    scratchSeal();
    EXPECT_EQ(offset(), 9); // eight characters and the terminator
    EXPECT_STREQ(start, "Riegel 6");
    // A second string built meanwhile lands behind the first.
    char* inner = scratchStart();
    formatLong(12, ScratchString.position);
    scratchAppend(" Bewegungen:");
    scratchSeal();
    EXPECT_STREQ(inner, "12 Bewegungen:");
    EXPECT_STREQ(start, "Riegel 6");
    scratchRestore(start);
    EXPECT_EQ(offset(), 0);
}

TEST_F(ScratchStringTest, NullPieceEndsTheStringWithoutMoving) {
    scratchAppend("abc");
    scratchAppend(nullptr);
    EXPECT_EQ(offset(), 3);
    EXPECT_STREQ(ScratchString.area, "abc");
    ScratchString.position = ScratchString.area + 1;
    scratchAppend(nullptr);
    EXPECT_STREQ(ScratchString.area, "a");
}

TEST_F(ScratchStringTest, PiecesNeverRunPastTheEndOfTheArea) {
    std::string longText(128000, 'x');
    char* last = ScratchString.area + 63999;
    ScratchString.position = last - 9;
    scratchAppend(longText.c_str());
    EXPECT_EQ(scratchLastByte(), last);
    EXPECT_EQ(ScratchString.position, last);
    EXPECT_EQ(*last, '\0');
    EXPECT_EQ(std::strlen(last - 9), 9u);
    // Numbers near the end are cut too, and sealing stays on the last byte.
    ScratchString.position = last - 3;
    formatLong(-2147483647 - 1, ScratchString.position);
    EXPECT_STREQ(last - 3, "-21");
    scratchSeal();
    EXPECT_EQ(ScratchString.position, last);
    scratchCommit(500);
    EXPECT_EQ(ScratchString.position, last);
}

TEST_F(ScratchStringTest, ANumberInElevenBytesOfRoom) {
    // Ten digits and the terminator fill the room exactly; the smallest
    // number's eleven characters lose their last digit.
    char* start = scratchLastByte() - 10;
    formatLong(2147483647, start);
    EXPECT_STREQ(start, "2147483647");
    EXPECT_EQ(ScratchString.position, scratchLastByte());
    formatLong(-2147483647 - 1, start);
    EXPECT_STREQ(start, "-214748364");
    EXPECT_EQ(ScratchString.position, scratchLastByte());
}

TEST_F(ScratchStringTest, CommitMovesOverAWrittenTextAndTerminatesIt) {
    std::memcpy(ScratchString.position, "hello??", 7);
    scratchCommit(5);
    EXPECT_EQ(offset(), 5);
    EXPECT_STREQ(ScratchString.area, "hello");
    scratchCommit(0);
    EXPECT_EQ(offset(), 5);
    scratchCommit(-1); // a refused request writes nothing and moves nothing
    EXPECT_EQ(offset(), 5);
}

TEST_F(ScratchStringTest, AssigningKeepsExactlyOneBlockWithTheLastText) {
    int before = liveHeapBlocks();
    StringVariable status = nullptr;
    EXPECT_EQ(assignString(&status, "zu"), 3);
    EXPECT_EQ(liveHeapBlocks(), before + 1);
    EXPECT_EQ(assignString(&status, "auf"), 4);
    EXPECT_EQ(liveHeapBlocks(), before + 1);
    EXPECT_STREQ(status, "auf");
    EXPECT_EQ(assignString(&status, nullptr), 0);
    EXPECT_EQ(status, nullptr);
    EXPECT_EQ(liveHeapBlocks(), before);
}

TEST_F(ScratchStringTest, AVariableMayBeGivenItsOwnText) {
    StringVariable text = nullptr;
    assignString(&text, "Riegel");
    assignString(&text, text);
    EXPECT_STREQ(text, "Riegel");
}

} // namespace
