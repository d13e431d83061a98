#include "toolkit/controls/list_icon_images.h"

#include "runtime/heap.h"

ListIconImageState ListIconImages;

namespace {

constexpr UINT IMAGE_LIST_FLAGS = ILC_COLOR16 | ILC_MASK;
constexpr int PAIR_STEP = 8;

void makeImageLists() {
    if (ListIconImages.large) {
        return;
    }
    ListIconImages.large = ImageList_Create(GetSystemMetrics(SM_CXICON),
                                            GetSystemMetrics(SM_CYICON), IMAGE_LIST_FLAGS, 1, 1);
    ListIconImages.small = ImageList_Create(GetSystemMetrics(SM_CXSMICON),
                                            GetSystemMetrics(SM_CYSMICON), IMAGE_LIST_FLAGS, 1, 1);
}

int findImage(HANDLE image) {
    for (int i = 0; i < ListIconImages.count; ++i) {
        if (ListIconImages.pairs[i].image == image) {
            return ListIconImages.pairs[i].index;
        }
    }
    return -1;
}

// Both lists get the image, so that one index names it in either view; the
// small list's index is the one recorded.
int addToLists(HANDLE image) {
    if (GetObjectType(image) == OBJ_BITMAP) {
        HBITMAP bitmap = static_cast<HBITMAP>(image);
        ImageList_Add(ListIconImages.large, bitmap, nullptr);
        return ImageList_Add(ListIconImages.small, bitmap, nullptr);
    }
    HICON icon = static_cast<HICON>(image);
    ImageList_ReplaceIcon(ListIconImages.large, -1, icon);
    return ImageList_ReplaceIcon(ListIconImages.small, -1, icon);
}

void recordPair(HANDLE image, int index) {
    if (ListIconImages.count == ListIconImages.capacity) {
        ListIconImages.capacity += PAIR_STEP;
        SIZE_T size = static_cast<SIZE_T>(ListIconImages.capacity) * sizeof(ListIconImagePair);
        ListIconImages.pairs = static_cast<ListIconImagePair*>(
            ListIconImages.pairs ? heapReallocZeroed(ListIconImages.pairs, size)
                                 : heapAllocZeroed(size));
    }
    ListIconImages.pairs[ListIconImages.count++] = ListIconImagePair{image, index};
}

} // namespace

int listIconImageIndex(HANDLE image) {
    if (!image) {
        return -1;
    }
    int known = findImage(image);
    if (known >= 0) {
        return known;
    }
    makeImageLists();
    int index = addToLists(image);
    // A refused image is not remembered, so that it is tried again next time.
    if (index >= 0) {
        recordPair(image, index);
    }
    return index;
}

void forgetListIconImages() {
    // The pairs lived on a heap that start-up has made anew; the lists may
    // still be shown by list-icons of an earlier run of the toolkit, so they
    // are left to the process's end rather than destroyed under them.
    ListIconImages = ListIconImageState{};
}
