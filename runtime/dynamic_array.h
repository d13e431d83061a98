// A dynamic array is one zero-filled heap block: two header words (the upper
// bound and 1) in front of elements 0..upperBound. An array variable holds the
// address of element 0, or null. There is no bounds check.
#pragma once

void* arrayCreate(int elementSize, int upperBound);
void arrayFree(void* array);
