// A failed start shows its line in a message box only where nobody sees
// standard error: the SDL backend tells that from real standard errors.

#include "game/main.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

using TovarPlatform::ErrorStream;

namespace {

// While `fd` (-1: none) is standard error: what it counts as, and whether a box shows.
std::pair<ErrorStream, bool> WithStandardError(int fd)
{
    const int saved = dup(STDERR_FILENO);
    fd >= 0 ? dup2(fd, STDERR_FILENO) : close(STDERR_FILENO);
    const std::pair<ErrorStream, bool> seen = {TovarPlatform::StandardErrorKind(), ShowsFailureInABox()};
    dup2(saved, STDERR_FILENO);
    close(saved);
    return seen;
}

} // namespace

TEST(StartupFailure, ABoxOnlyWhereNobodySeesStandardError)
{
    int pipeEnds[2], socketEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, socketEnds), 0);
    const int terminal = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_TRUE(terminal >= 0 && grantpt(terminal) == 0 && unlockpt(terminal) == 0);
    const int pts = open(ptsname(terminal), O_RDWR | O_NOCTTY);
    EXPECT_EQ(WithStandardError(pts), std::make_pair(ErrorStream::Terminal, false));
    FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(WithStandardError(fileno(file)), std::make_pair(ErrorStream::File, false));
    EXPECT_EQ(WithStandardError(pipeEnds[1]), std::make_pair(ErrorStream::Pipe, false));
    // A desktop start: /dev/null, or the session's journal socket; or none at all.
    EXPECT_EQ(WithStandardError(open("/dev/null", O_WRONLY)), std::make_pair(ErrorStream::None, true));
    EXPECT_EQ(WithStandardError(socketEnds[1]), std::make_pair(ErrorStream::None, true));
    EXPECT_EQ(WithStandardError(-1), std::make_pair(ErrorStream::None, true));
}
