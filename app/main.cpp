// Process entry on POSIX systems and in the browser: the game's own entry
// point does the rest. Returning from main and calling exit are the same
// on a desktop; in the browser, once the loop has given the page control,
// main's return goes nowhere, and only exit ends the program (destructors,
// the log's closing lines, the page told).
#include "game/main.h"

#include <cstdlib>

int main() { std::exit(WinMain(nullptr, nullptr, nullptr, 1)); }
