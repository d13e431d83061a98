#include "app/bolt_text.h"

#include "runtime/scratch_string.h"

char* buildBoltName(int boltNumber) {
    char* start = scratchStart();
    scratchAppend("Riegel ");
    formatLong(boltNumber, ScratchString.position);
    // Anything built while the text waits for its consumer goes behind it.
    scratchSeal();
    return start;
}
