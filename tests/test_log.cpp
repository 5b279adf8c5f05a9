#include "toolkit/Logger.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>

using TovarToolkit::TovarLog;

namespace {

const char kTrailer[] = "<SysMsg>TovarLog Shutting Down...</SysMsg>\n</TovarToolkit>";

// The header with its build stamp replaced by a marker.
std::string Unstamped(const std::string& text)
{
    static const std::regex stamp("compiled at \\d\\d:\\d\\d:\\d\\d[A-Z][a-z]{2} [ \\d]\\d \\d{4}</SysMsg>");
    return std::regex_replace(text, stamp, "compiled at STAMP</SysMsg>", std::regex_constants::format_first_only);
}

const char kHeader[] = "<TovarToolkit>\n<SysMsg>Tovarlog Started!\nTovarlog compiled at STAMP</SysMsg>\n";

// The log as lines ending in LF. The file is text: on Windows every line
// ends in CR LF.
std::string ReadLog(const std::string& name)
{
    std::string text = ReadWholeFile(name);
#ifdef _WIN32
    std::string lines = std::regex_replace(text, std::regex("\r\n"), "\n");
    EXPECT_EQ(text.size() - lines.size(), size_t(std::count(lines.begin(), lines.end(), '\n')));
    text.swap(lines);
#endif
    return text;
}

} // namespace

TEST(Log, AGameRunLeavesHeaderMessagesAndOneTrailer)
{
    TempDir dir;
    std::string name = dir.file("TovarToolkitLog.xml");
    {
        TovarLog log;
        log.Init(name.c_str());
        log.WriteMsg("Configuring Window...", "SysMsg");
        log.WriteMsg("Creating Window \"TovarToolkit Quellin\" 800x600x32x0", "SysMsg");
        log.WriteMsg("Initializing stuff...", "SysMsg");
        log.WriteMsg("Failed to initialize.", "SysErrMsg");
        log.WriteMsg("Stuff initialized", "SysMsg");
        // Nothing is buffered: the file is complete after every call.
        std::string sofar = ReadLog(name);
        const std::string last = "<SysMsg>Stuff initialized</SysMsg>\n";
        ASSERT_GE(sofar.size(), last.size());
        EXPECT_EQ(sofar.substr(sofar.size() - last.size()), last);
    }
    EXPECT_EQ(Unstamped(ReadLog(name)),
              std::string(kHeader) +
                  "<SysMsg>Configuring Window...</SysMsg>\n"
                  "<SysMsg>Creating Window \"TovarToolkit Quellin\" 800x600x32x0</SysMsg>\n"
                  "<SysMsg>Initializing stuff...</SysMsg>\n"
                  "<SysErrMsg>Failed to initialize.</SysErrMsg>\n"
                  "<SysMsg>Stuff initialized</SysMsg>\n" +
                  kTrailer);
}

TEST(Log, MarkupIsWrittenUnescapedAndAnEmptyTagStaysEmpty)
{
    TempDir dir;
    std::string name = dir.file("log.xml");
    TovarLog log;
    log.Init(name.c_str());
    log.WriteMsg("a < b && c > d", "Note");
    log.WriteMsg("bare", "");
    std::string text = Unstamped(ReadLog(name));
    EXPECT_EQ(text, std::string(kHeader) + "<Note>a < b && c > d</Note>\n<>bare</>\n");
}

TEST(Log, ReInitStartsAfreshAndShutDownMayRepeatTheTrailer)
{
    TempDir dir;
    std::string name = dir.file("log.xml");
    {
        TovarLog log;
        log.Init(name.c_str());
        log.WriteMsg("old", "SysMsg");
        log.Init(name.c_str());
        log.WriteMsg("new", "SysMsg");
        log.ShutDown();
        log.WriteMsg("after", "SysMsg");
    }
    EXPECT_EQ(Unstamped(ReadLog(name)),
              std::string(kHeader) + "<SysMsg>new</SysMsg>\n" + kTrailer + "<SysMsg>after</SysMsg>\n" + kTrailer);
}

TEST(Log, WithoutANameNothingIsWritten)
{
    TempDir dir;
    std::filesystem::current_path(dir.path());
    {
        TovarLog log;
        log.WriteMsg("lost", "SysMsg");
        log.ShutDown();
    }
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST(Log, AFailedOpenLosesOnlyThatCallsText)
{
    TempDir dir;
    std::string name = dir.file("later/log.xml");
    TovarLog log;
    EXPECT_FALSE(log.Init(name.c_str())); // the folder does not exist yet: the header is lost
    EXPECT_EQ(log.LastError().rfind(name + ": ", 0), 0u) << log.LastError();
    EXPECT_GT(log.LastError().size(), name.size() + 2) << "the reason";
    log.WriteMsg("lost", "SysMsg");
    std::filesystem::create_directory(dir.path() / "later");
    log.WriteMsg("kept", "SysMsg");
    EXPECT_EQ(ReadLog(name), "<SysMsg>kept</SysMsg>\n");
}

TEST(Log, BackslashNamesWorkOnEveryPlatform)
{
    TempDir dir;
    std::filesystem::create_directory(dir.path() / "sub");
    std::string name = dir.path().string() + "\\sub\\log.xml";
#ifndef _WIN32
    for (char& c : name)
        if (c == '/')
            c = '\\';
#endif
    TovarLog log;
    log.Init(name.c_str());
    EXPECT_NE(ReadLog(dir.file("sub/log.xml")).find("Tovarlog Started!"), std::string::npos);
}
