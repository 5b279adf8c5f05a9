// What a start-up that fails needs on Linux: whether anybody sees standard
// error, and a message box for when nobody does.

#include "toolkit/platform/sdl2/Internal.h"

#include <sys/stat.h>
#include <unistd.h>

namespace TovarPlatform {

ErrorStream StandardErrorKind()
{
    struct stat st;
    if (fstat(STDERR_FILENO, &st) != 0)
        return ErrorStream::None; // closed
    if (S_ISREG(st.st_mode))
        return ErrorStream::File;
    if (S_ISFIFO(st.st_mode))
        return ErrorStream::Pipe;
    // /dev/null is a character device too, but no terminal; a socket is the
    // journal of a desktop session.
    if (S_ISCHR(st.st_mode) && isatty(STDERR_FILENO))
        return ErrorStream::Terminal;
    return ErrorStream::None;
}

bool ShowErrorBox(const char* title, const char* text)
{
    // SDL shows it with or without its video part started, on X11 or Wayland.
    return SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, title ? title : "", text ? text : "", nullptr) == 0;
}

bool ChangeToProgramFolder() { return false; }

} // namespace TovarPlatform
