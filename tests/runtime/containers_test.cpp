#include "runtime/dynamic_array.h"
#include "runtime/linked_list.h"

#include "tests/runtime/heap_fixture.h"

#include <cstdint>
#include <vector>

namespace {

class ListTest : public RuntimeHeapTest {
  protected:
    void SetUp() override {
        RuntimeHeapTest::SetUp();
        list = {};
        listCreate(&list, 4);
    }

    void add(std::int32_t value) {
        *static_cast<std::int32_t*>(listElementData(listAdd(&list))) = value;
    }
    static std::int32_t valueOf(ListElement* e) {
        return *static_cast<std::int32_t*>(listElementData(e));
    }
    std::vector<std::int32_t> forward() const {
        std::vector<std::int32_t> values;
        for (ListElement* e = list.descriptor->first; e; e = e->next) {
            values.push_back(valueOf(e));
        }
        return values;
    }
    std::vector<std::int32_t> backward() const {
        std::vector<std::int32_t> values;
        for (ListElement* e = list.descriptor->last; e; e = e->previous) {
            values.insert(values.begin(), valueOf(e));
        }
        return values;
    }
    std::vector<std::int32_t> walk() {
        std::vector<std::int32_t> values;
        listReset(&list);
        while (ListElement* e = listNext(&list)) {
            values.push_back(valueOf(e));
        }
        return values;
    }

    LinkedList list;
};

using Values = std::vector<std::int32_t>;

TEST_F(ListTest, ANewListIsEmpty) {
    EXPECT_EQ(listCount(&list), 0);
    EXPECT_EQ(listNext(&list), nullptr);
    EXPECT_EQ(list.current, nullptr);
    EXPECT_EQ(list.descriptor->elementSize, 4 + 2 * static_cast<int>(sizeof(void*)));
}

TEST_F(ListTest, AddsAppendInCallOrderAndResetThenAddGoesToTheFront) {
    add('W');
    add('X');
    add('Y');
    EXPECT_EQ(forward(), (Values{'W', 'X', 'Y'}));
    EXPECT_EQ(valueOf(list.current), 'Y');
    listReset(&list);
    add('Z');
    EXPECT_EQ(forward(), (Values{'Z', 'W', 'X', 'Y'}));
    EXPECT_EQ(backward(), forward());
    EXPECT_EQ(valueOf(list.current), 'Z');
    EXPECT_EQ(listCount(&list), 4);
}

TEST_F(ListTest, AddInTheMiddleLinksBothWays) {
    add(1);
    add(3);
    listReset(&list);
    listNext(&list); // on 1
    add(2);
    EXPECT_EQ(forward(), (Values{1, 2, 3}));
    EXPECT_EQ(backward(), (Values{1, 2, 3}));
}

TEST_F(ListTest, WalkingOffTheEndStaysOnTheLastElement) {
    add(1);
    add(2);
    EXPECT_EQ(walk(), (Values{1, 2}));
    EXPECT_EQ(valueOf(list.current), 2);
    EXPECT_EQ(listNext(&list), nullptr);
    add(3);
    EXPECT_EQ(forward(), (Values{1, 2, 3}));
}

TEST_F(ListTest, ANewElementsDataReadsZero) {
    ListElement* e = listAdd(&list);
    EXPECT_EQ(valueOf(e), 0);
}

TEST_F(ListTest, ClearEmptiesListsOfEveryLengthAndGivesTheBlocksBack) {
    auto fillAndClearEveryLength = [this] {
        for (int length : {0, 1, 2, 3, 4, 10, 57}) {
            for (int i = 0; i < length; ++i) {
                add(i);
            }
            EXPECT_EQ(listCount(&list), length);
            listClear(&list);
            EXPECT_EQ(listCount(&list), 0) << length;
            EXPECT_EQ(list.current, nullptr) << length;
            EXPECT_EQ(list.descriptor->first, nullptr) << length;
            EXPECT_EQ(list.descriptor->last, nullptr) << length;
            // Filled again at once, in call order.
            add(7);
            add(8);
            EXPECT_EQ(forward(), (Values{7, 8}));
            listClear(&list);
        }
    };
    EXPECT_EQ(liveBlocksGainedOver(20, fillAndClearEveryLength), 0);
}

TEST_F(ListTest, DeletingTheCurrentElementMovesToANeighbour) {
    for (int v : {1, 2, 3, 4}) {
        add(v);
    }
    listReset(&list);
    listNext(&list);
    listNext(&list); // on 2
    listDeleteCurrent(&list);
    EXPECT_EQ(valueOf(list.current), 1);
    EXPECT_EQ(forward(), (Values{1, 3, 4}));
    EXPECT_EQ(backward(), (Values{1, 3, 4}));
    listDeleteCurrent(&list); // the first
    EXPECT_EQ(valueOf(list.current), 3);
    EXPECT_EQ(list.descriptor->first->previous, nullptr);
    listNext(&list);
    listDeleteCurrent(&list); // the last
    EXPECT_EQ(valueOf(list.current), 3);
    EXPECT_EQ(list.descriptor->last, list.current);
    listDeleteCurrent(&list); // the only one
    EXPECT_EQ(list.current, nullptr);
    EXPECT_EQ(listCount(&list), 0);
    listDeleteCurrent(&list); // nothing current: nothing happens
    EXPECT_EQ(listCount(&list), 0);
}

TEST_F(RuntimeHeapTest, ArraysAreZeroFilledWithTheHeaderInFront) {
    auto* cells = static_cast<signed char*>(arrayCreate(1, 6));
    ASSERT_NE(cells, nullptr);
    for (int i = 0; i <= 6; ++i) {
        EXPECT_EQ(cells[i], 0) << i;
    }
    auto* header = reinterpret_cast<std::int32_t*>(cells) - 2;
    EXPECT_EQ(header[0], 6);
    EXPECT_EQ(header[1], 1);

    auto* words = static_cast<std::int32_t*>(arrayCreate(4, 99));
    words[99] = -1;
    EXPECT_EQ(words[0], 0);

    int blocks = liveHeapBlocks();
    arrayFree(cells);
    arrayFree(words);
    arrayFree(nullptr);
    EXPECT_EQ(liveHeapBlocks(), blocks - 2);
}

} // namespace
