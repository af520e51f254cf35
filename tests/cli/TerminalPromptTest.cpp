#include "cli/terminal/TerminalPrompt.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <ext/stdio_filebuf.h>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <istream>
#include <sstream>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace lumaquill {
namespace {

// A pseudo-terminal pair: what the user types goes into the master side,
// the prompt reads from the slave side, and the master shows what the
// terminal echoed.
class PseudoTerminal {
public:
    PseudoTerminal()
    {
        Master = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (Master < 0 || ::grantpt(Master) != 0 || ::unlockpt(Master) != 0)
            return;
        Slave = ::open(::ptsname(Master), O_RDWR | O_NOCTTY);
        ::fcntl(Master, F_SETFL, O_NONBLOCK);
    }
    ~PseudoTerminal()
    {
        if (Slave >= 0)
            ::close(Slave);
        if (Master >= 0)
            ::close(Master);
    }
    bool Ready() const { return Slave >= 0; }
    bool Echoing() const
    {
        struct termios mode = {};
        ::tcgetattr(Slave, &mode);
        return (mode.c_lflag & ECHO) != 0;
    }
    void SetEcho(bool on) const
    {
        struct termios mode = {};
        ::tcgetattr(Slave, &mode);
        mode.c_lflag = on ? (mode.c_lflag | ECHO) : (mode.c_lflag & ~static_cast<tcflag_t>(ECHO));
        ::tcsetattr(Slave, TCSANOW, &mode);
    }
    void Type(const std::string& text) const
    {
        ASSERT_EQ(::write(Master, text.data(), text.size()), ssize_t(text.size()));
    }
    // Everything the terminal has shown so far.
    std::string Shown() const
    {
        std::string shown;
        char buffer[256];
        ssize_t got = 0;
        while ((got = ::read(Master, buffer, sizeof buffer)) > 0)
            shown.append(buffer, static_cast<size_t>(got));
        return shown;
    }

    int Master = -1;
    int Slave = -1;
};

bool WaitFor(const std::function<bool()>& condition)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > until)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

// In a child of its own process group, so that a stop signal stops only it:
// reads one hidden line and exits 0 when it was "secret".
pid_t StartHiddenRead(const PseudoTerminal& terminal)
{
    const pid_t child = ::fork();
    if (child != 0)
        return child;
    ::setpgid(0, 0);
    __gnu_cxx::stdio_filebuf<char> buffer(terminal.Slave, std::ios::in);
    std::istream in(&buffer);
    std::ostringstream err;
    TerminalPrompt prompt(terminal.Slave, in, err);
    const std::optional<std::string> line = prompt.ReadLine("Answer: ", false);
    std::_Exit(line == std::string("secret") && err.str() == "Answer: \n" ? 0 : 1);
}

TEST(TerminalPromptTest, HiddenLineIsNotEchoedAndEchoComesBack)
{
    PseudoTerminal terminal;
    ASSERT_TRUE(terminal.Ready());
    ASSERT_TRUE(terminal.Echoing());
    const pid_t child = StartHiddenRead(terminal);
    ASSERT_GT(child, 0);
    ASSERT_TRUE(WaitFor([&] { return !terminal.Echoing(); }));
    terminal.Type("secret\n");
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(terminal.Shown().find("secret"), std::string::npos);
    EXPECT_TRUE(terminal.Echoing());
}

// Ctrl-Z at a hidden prompt gives the shell its echo back; the resume (fg)
// turns it off again, also when the shell reset the terminal meanwhile.
TEST(TerminalPromptTest, EchoIsOffAgainAfterAStopAndResume)
{
    PseudoTerminal terminal;
    ASSERT_TRUE(terminal.Ready());
    const pid_t child = StartHiddenRead(terminal);
    ASSERT_GT(child, 0);
    ASSERT_TRUE(WaitFor([&] { return !terminal.Echoing(); }));

    ASSERT_EQ(::kill(child, SIGTSTP), 0);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, WUNTRACED), child);
    ASSERT_TRUE(WIFSTOPPED(status));
    EXPECT_TRUE(terminal.Echoing());

    ASSERT_EQ(::kill(child, SIGCONT), 0);
    EXPECT_TRUE(WaitFor([&] { return !terminal.Echoing(); }));

    // A stop that cannot be caught (SIGSTOP), and a shell that restores echo.
    ASSERT_EQ(::kill(child, SIGSTOP), 0);
    ASSERT_EQ(::waitpid(child, &status, WUNTRACED), child);
    terminal.SetEcho(true);
    ASSERT_EQ(::kill(child, SIGCONT), 0);
    EXPECT_TRUE(WaitFor([&] { return !terminal.Echoing(); }));

    terminal.Type("secret\n");
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(terminal.Shown().find("secret"), std::string::npos);
    EXPECT_TRUE(terminal.Echoing());
}

} // namespace
} // namespace lumaquill
