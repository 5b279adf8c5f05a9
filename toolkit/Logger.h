#pragma once

#include <initializer_list>

namespace TovarToolkit {

// Start-up and shutdown log, marked up like XML. Every call opens the file,
// writes and closes it again, so the file on disk is complete at any moment.
class TovarLog {
public:
    TovarLog() = default;
    ~TovarLog();
    TovarLog(const TovarLog&) = delete;
    TovarLog& operator=(const TovarLog&) = delete;

    // The name is kept by reference: it must outlive the log.
    void Init(const char* FileName);
    void WriteMsg(const char* Message, const char* Tag);
    void ShutDown();

private:
    bool Write(const char* mode, std::initializer_list<const char*> pieces);

    const char* LogFile = nullptr;
};

} // namespace TovarToolkit
