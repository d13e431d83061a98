// The two image lists shared by every list-icon (large and small icon size)
// and the images added to them so far.
#pragma once

#include <windows.h>

#include <commctrl.h>

struct ListIconImagePair {
    HANDLE image;
    int index; // position of the image in both lists
};

struct ListIconImageState {
    HIMAGELIST large; // made on first use
    HIMAGELIST small;
    ListIconImagePair* pairs; // on the runtime heap
    int count;
    int capacity;
};

extern ListIconImageState ListIconImages;

// The image's index in the shared lists, adding it on first sight: a bitmap
// as it is, anything else as an icon. 0 and images the lists refuse give -1.
int listIconImageIndex(HANDLE image);

// Starts afresh, without lists and without pairs.
void forgetListIconImages();
