// What a start-up needs on Windows: whether anybody sees standard error (a
// GUI program started from Explorer or a shortcut has none), a message box
// for when nobody does, and the program's own folder, where a Windows
// program's data lies.

#include "toolkit/platform/Platform.h"

#include <cwchar>
#include <vector>

namespace TovarPlatform {

ErrorStream StandardErrorKind()
{
    HANDLE h = GetStdHandle(STD_ERROR_HANDLE);
    if (h == nullptr || h == INVALID_HANDLE_VALUE)
        return ErrorStream::None;
    switch (GetFileType(h)) {
    case FILE_TYPE_DISK:
        return ErrorStream::File;
    case FILE_TYPE_PIPE:
        return ErrorStream::Pipe;
    case FILE_TYPE_CHAR: {
        // A console, or the NUL device, which nobody reads.
        DWORD mode = 0;
        return GetConsoleMode(h, &mode) ? ErrorStream::Terminal : ErrorStream::None;
    }
    default:
        return ErrorStream::None;
    }
}

bool ShowErrorBox(const char* title, const char* text)
{
    return MessageBoxA(nullptr, text ? text : "", title ? title : "", MB_OK | MB_ICONERROR | MB_SETFOREGROUND) != 0;
}

bool ChangeToProgramFolder()
{
    // Wide names, so that a folder with any name works.
    std::vector<wchar_t> path(32768);
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0 || n >= path.size())
        return false;
    wchar_t* slash = std::wcsrchr(path.data(), L'\\');
    if (!slash)
        return false;
    // "C:\quellin.exe" lies in "C:\", not in "C:" (the current folder of drive C).
    slash[slash == path.data() + 2 && path[1] == L':' ? 1 : 0] = L'\0';
    return SetCurrentDirectoryW(path.data()) != FALSE;
}

} // namespace TovarPlatform
