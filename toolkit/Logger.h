#pragma once

#include <fstream>
#include <initializer_list>
#include <string>

namespace TovarToolkit {

// Start-up and shutdown log, marked up like XML. Every call opens the file,
// writes and closes it again, so the file on disk is complete at any moment.
class TovarLog {
public:
    TovarLog() = default;
    ~TovarLog();
    TovarLog(const TovarLog&) = delete;
    TovarLog& operator=(const TovarLog&) = delete;

    // The name is kept by reference: it must outlive the log. False when the
    // header could not be written (LastError says why); the log goes on
    // trying the file on every later call.
    bool Init(const char* FileName);
    void WriteMsg(const char* Message, const char* Tag);
    void ShutDown();
    // Why Init failed, naming the file, e.g. "TovarToolkitLog.xml: Permission denied".
    const std::string& LastError() const { return lastError; }

private:
    bool Write(std::ios::openmode mode, std::initializer_list<const char*> pieces);

    std::ofstream Log; // open only while one call writes
    const char* LogFile = nullptr;
    std::string lastError;
};

} // namespace TovarToolkit
