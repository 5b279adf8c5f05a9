#include "toolkit/Logger.h"

#include "toolkit/File.h"

namespace TovarToolkit {

namespace {
const char kTrailer[] = "<SysMsg>TovarLog Shutting Down...</SysMsg>\n</TovarToolkit>";
} // namespace

TovarLog::~TovarLog() { ShutDown(); }

void TovarLog::Init(const char* FileName)
{
    LogFile = FileName;
    Write(std::ios::out | std::ios::trunc,
          {"<TovarToolkit>\n<SysMsg>Tovarlog Started!\nTovarlog compiled at ", __TIME__, __DATE__, "</SysMsg>\n"});
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
