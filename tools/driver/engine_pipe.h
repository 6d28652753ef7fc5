#pragma once

// A program behind two pipes, driven line by line the way a chess GUI drives
// an engine. The self-play tool and the end-to-end tests share it. POSIX only.

#include <sys/types.h>

#include <string>
#include <vector>

namespace vargul {

namespace driver {

// "prog -a b" -> {"prog", "-a", "b"}: split on blanks and tabs, no quoting.
std::vector<std::string> split_command(const std::string& command);

class EnginePipe {
public:
    EnginePipe() = default;
    ~EnginePipe();  // a program still running is killed
    EnginePipe(const EnginePipe&) = delete;
    EnginePipe& operator=(const EnginePipe&) = delete;
    EnginePipe(EnginePipe&& other) noexcept;
    EnginePipe& operator=(EnginePipe&& other) noexcept;

    // Starts argv[0] (looked up on PATH when it has no '/') with these
    // arguments, its standard input and output on pipes, standard error
    // inherited. False when it could not be started at all. SIGPIPE is ignored
    // from then on, so a program that stops reading shows up as a failed send.
    bool start(const std::vector<std::string>& argv);
    bool running() const { return pid_ > 0; }

    // Writes exactly these bytes; false when the program no longer reads.
    bool send(const std::string& text);
    // One line without its '\n'. False when no whole line arrives within
    // timeout_ms or the output has ended; ended() tells which.
    bool read_line(std::string& line, int timeout_ms);
    bool ended() const { return ended_; }
    void close_input();
    // Exit status (128 + N after signal N), or -1 when the program has not
    // ended within timeout_ms: it is then killed.
    int wait_exit(int timeout_ms);
    // True when the last wait_exit saw the program die by a signal.
    bool signalled() const { return signalled_; }
    // Ends the program at once (SIGKILL to its own id) and reaps it.
    void kill();

private:
    void close_pipes();
    void reset(pid_t pid, int to, int from);

    pid_t pid_ = -1;
    int to_ = -1;
    int from_ = -1;
    std::string pending_;  // read but not yet handed out as a line
    bool ended_ = false;
    bool signalled_ = false;
};

// Where a one-shot run's standard error goes.
enum class Stderr { inherit, merge, capture };

struct ProgramRun {
    std::string output;
    std::string errors;  // with Stderr::capture only
    int exit_status;     // as wait_exit: -1 when killed at the time limit
};

// Starts the program, writes all of input and closes its standard input,
// collects its output until it ends, at most timeout_ms in all.
ProgramRun run_program(const std::vector<std::string>& argv, const std::string& input, int timeout_ms = 60000,
                       Stderr errors = Stderr::inherit);

}  // namespace driver

}  // namespace vargul
