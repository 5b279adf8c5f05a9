#include "toolkit/Logger.h"

#include "toolkit/File.h"

#include <cerrno>
#include <cstring>

namespace TovarToolkit {

namespace {
const char kTrailer[] = "<SysMsg>TovarLog Shutting Down...</SysMsg>\n</TovarToolkit>";
} // namespace

TovarLog::~TovarLog() { ShutDown(); }

bool TovarLog::Init(const char* FileName)
{
    LogFile = FileName;
    errno = 0;
    const char* header = "<TovarToolkit>\n<SysMsg>Tovarlog Started!\nTovarlog compiled at ";
    if (Write(std::ios::out | std::ios::trunc, {header, __TIME__, __DATE__, "</SysMsg>\n"})) {
        lastError.clear();
        return true;
    }
    // The C library's reason for the failed open or write (a full disk shows
    // only when the file is closed).
    const int code = errno;
    lastError = NativePath(FileName) + ": " + (code ? std::strerror(code) : "the file cannot be written");
    return false;
}

void TovarLog::WriteMsg(const char* Message, const char* Tag)
{
    Write(std::ios::out | std::ios::app, {"<", Tag, ">", Message, "</", Tag, ">\n"});
}

void TovarLog::ShutDown() { Write(std::ios::out | std::ios::app, {kTrailer}); }

// Text mode, so each "\n" becomes the platform's line end. A failed open loses
// only this call's text: the stream is cleared, and the next call tries the
// file afresh.
bool TovarLog::Write(std::ios::openmode mode, std::initializer_list<const char*> pieces)
{
    if (!LogFile)
        return false;
    Log.clear();
    Log.open(NativePath(LogFile), mode);
    if (!Log.is_open())
        return false;
    for (const char* piece : pieces)
        Log << (piece ? piece : "");
    Log.close();
    bool ok = !Log.fail();
    Log.clear();
    return ok;
}

} // namespace TovarToolkit
