#pragma once

// The command line behind the program's name (quoted or not); only spaces
// separate.
const char* skipProgramName(const char* commandLine);
