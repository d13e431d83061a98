#pragma once

// Builds "Riegel n" in the scratch string. Once the text has been handed on,
// the caller gives the scratch string back with scratchRestore(result).
char* buildBoltName(int boltNumber);
