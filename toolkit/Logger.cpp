#include "toolkit/Logger.h"

#include "toolkit/File.h"

#include <cstdio>

namespace TovarToolkit {

namespace {
const char kTrailer[] = "<SysMsg>TovarLog Shutting Down...</SysMsg>\n</TovarToolkit>";
} // namespace

TovarLog::~TovarLog() { ShutDown(); }

void TovarLog::Init(const char* FileName)
{
    LogFile = FileName;
    Write("w", {"<TovarToolkit>\n<SysMsg>Tovarlog Started!\nTovarlog compiled at ", __TIME__, __DATE__,
                "</SysMsg>\n"});
}

void TovarLog::WriteMsg(const char* Message, const char* Tag)
{
    Write("a", {"<", Tag, ">", Message, "</", Tag, ">\n"});
}

void TovarLog::ShutDown() { Write("a", {kTrailer}); }

// Text mode, so each "\n" becomes the platform's line end. A failed open loses
// only this call's text; the next call tries the file afresh.
bool TovarLog::Write(const char* mode, std::initializer_list<const char*> pieces)
{
    if (!LogFile)
        return false;
    FILE* f = OpenFile(LogFile, mode);
    if (!f)
        return false;
    bool ok = true;
    for (const char* piece : pieces)
        ok = ok && std::fputs(piece ? piece : "", f) >= 0;
    return std::fclose(f) == 0 && ok;
}

} // namespace TovarToolkit
