// Process entry on POSIX systems: the game's own entry point does the rest.
#include "game/main.h"

int main() { return WinMain(nullptr, nullptr, nullptr, 1); }
