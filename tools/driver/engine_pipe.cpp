#include "driver/engine_pipe.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <utility>

namespace vargul {

namespace driver {

namespace {

using Clock = std::chrono::steady_clock;

Clock::time_point deadline_after(int timeout_ms) { return Clock::now() + std::chrono::milliseconds(timeout_ms); }

int milliseconds_left(Clock::time_point deadline) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left < 0 ? 0 : static_cast<int>(left);
}

void close_fd(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

void ignore_sigpipe() {
    static const bool done = [] {
        std::signal(SIGPIPE, SIG_IGN);
        return true;
    }();
    (void)done;
}

// Forks and execs argv with these descriptors as its standard streams
// (-1: inherited). Every descriptor the caller made is close-on-exec, so no
// other child keeps a pipe open and the end of a program's output is seen
// when it dies. A failed exec is reported back through a pipe of its own:
// the caller then learns at once that the program does not exist.
pid_t spawn(const std::vector<std::string>& argv, int in_fd, int out_fd, int err_fd) {
    if (argv.empty() || argv[0].empty()) return -1;
    // Built before the fork: the child of a threaded parent must not allocate.
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    int status_pipe[2];
    if (::pipe2(status_pipe, O_CLOEXEC) != 0) return -1;
    pid_t pid = ::fork();
    if (pid < 0) {
        ::close(status_pipe[0]);
        ::close(status_pipe[1]);
        return -1;
    }
    if (pid == 0) {
        if (in_fd >= 0) ::dup2(in_fd, 0);
        if (out_fd >= 0) ::dup2(out_fd, 1);
        if (err_fd >= 0) ::dup2(err_fd, 2);
        ::execvp(args[0], args.data());
        int error = errno;
        ssize_t ignored = ::write(status_pipe[1], &error, sizeof error);
        (void)ignored;
        ::_exit(127);
    }
    ::close(status_pipe[1]);
    int error = 0;
    ssize_t got;
    do got = ::read(status_pipe[0], &error, sizeof error);
    while (got < 0 && errno == EINTR);
    ::close(status_pipe[0]);
    if (got > 0) {
        ::waitpid(pid, nullptr, 0);
        return -1;
    }
    return pid;
}

// Exit status of our own child, or -1 (it is then killed) past the deadline.
int wait_or_kill(pid_t pid, Clock::time_point deadline, bool& signalled) {
    signalled = false;
    int status = 0;
    for (;;) {
        pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid) break;
        if (done < 0 && errno != EINTR) return -1;
        if (Clock::now() >= deadline) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
            return -1;
        }
        ::usleep(2000);
    }
    signalled = WIFSIGNALED(status);
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (signalled) return 128 + WTERMSIG(status);
    return -1;
}

}  // namespace

std::vector<std::string> split_command(const std::string& command) {
    std::vector<std::string> words;
    std::string word;
    for (char c : command) {
        if (c == ' ' || c == '\t') {
            if (!word.empty()) words.push_back(std::move(word));
            word.clear();
        } else {
            word += c;
        }
    }
    if (!word.empty()) words.push_back(std::move(word));
    return words;
}

EnginePipe::~EnginePipe() { kill(); }

EnginePipe::EnginePipe(EnginePipe&& other) noexcept { *this = std::move(other); }

EnginePipe& EnginePipe::operator=(EnginePipe&& other) noexcept {
    if (this != &other) {
        kill();
        pid_ = std::exchange(other.pid_, -1);
        to_ = std::exchange(other.to_, -1);
        from_ = std::exchange(other.from_, -1);
        pending_ = std::move(other.pending_);
        ended_ = other.ended_;
        signalled_ = other.signalled_;
    }
    return *this;
}

void EnginePipe::reset(pid_t pid, int to, int from) {
    pid_ = pid;
    to_ = to;
    from_ = from;
    pending_.clear();
    ended_ = false;
    signalled_ = false;
}

void EnginePipe::close_pipes() {
    close_fd(to_);
    close_fd(from_);
}

bool EnginePipe::start(const std::vector<std::string>& argv) {
    ignore_sigpipe();
    kill();
    int in[2], out[2];
    if (::pipe2(in, O_CLOEXEC) != 0) return false;
    if (::pipe2(out, O_CLOEXEC) != 0) {
        ::close(in[0]);
        ::close(in[1]);
        return false;
    }
    pid_t pid = spawn(argv, in[0], out[1], -1);
    ::close(in[0]);
    ::close(out[1]);
    if (pid < 0) {
        ::close(in[1]);
        ::close(out[0]);
        return false;
    }
    reset(pid, in[1], out[0]);
    return true;
}

bool EnginePipe::send(const std::string& text) {
    const char* data = text.data();
    std::size_t left = text.size();
    while (left > 0) {
        if (to_ < 0) return false;
        ssize_t written = ::write(to_, data, left);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;  // the program has stopped reading
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    return true;
}

bool EnginePipe::read_line(std::string& line, int timeout_ms) {
    const auto deadline = deadline_after(timeout_ms);
    for (;;) {
        std::size_t end = pending_.find('\n');
        if (end != std::string::npos) {
            line.assign(pending_, 0, end);
            pending_.erase(0, end + 1);
            return true;
        }
        if (from_ < 0 || ended_) {
            ended_ = true;
            return false;
        }
        pollfd pfd{from_, POLLIN, 0};
        int ready = ::poll(&pfd, 1, milliseconds_left(deadline));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return false;
        char chunk[4096];
        ssize_t got = ::read(from_, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            ended_ = true;
            return false;
        }
        pending_.append(chunk, static_cast<std::size_t>(got));
    }
}

void EnginePipe::close_input() { close_fd(to_); }

int EnginePipe::wait_exit(int timeout_ms) {
    signalled_ = false;
    if (pid_ <= 0) return -1;
    const int status = wait_or_kill(pid_, deadline_after(timeout_ms), signalled_);
    pid_ = -1;
    close_pipes();
    return status;
}

void EnginePipe::kill() {
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    pid_ = -1;
    close_pipes();
}

namespace {

// Opens `count` pipes (close-on-exec); on a failure closes them all and says no.
bool open_pipes(int (&pipes)[3][2], int count) {
    for (int i = 0; i < count; ++i) {
        if (::pipe2(pipes[i], O_CLOEXEC) != 0) {
            for (auto& p : pipes) close_fd(p[0]), close_fd(p[1]);
            return false;
        }
    }
    return true;
}

// One non-blocking write of what is left of the input; the pipe is closed
// when all is written or the program will take no more.
void write_some(int& to, short revents, const std::string& input, std::size_t& sent) {
    if (revents & (POLLERR | POLLHUP)) {
        close_fd(to);
        return;
    }
    ssize_t written = ::write(to, input.data() + sent, input.size() - sent);
    if (written > 0)
        sent += static_cast<std::size_t>(written);
    else if (written < 0 && errno != EAGAIN && errno != EINTR)
        close_fd(to);
    if (sent == input.size()) close_fd(to);
}

// One read into `into`; the pipe is closed at its end or on an error.
void read_some(int& from, std::string& into) {
    char chunk[4096];
    ssize_t got = ::read(from, chunk, sizeof chunk);
    if (got > 0)
        into.append(chunk, static_cast<std::size_t>(got));
    else if (got == 0 || errno != EINTR)
        close_fd(from);
}

// Writes and reads together, so a long script never fills both pipes at
// once, until both output pipes end or the deadline passes.
void exchange(int& to, int (&read_fds)[2], std::string* (&into)[2], const std::string& input,
              Clock::time_point deadline) {
    ::fcntl(to, F_SETFL, ::fcntl(to, F_GETFL) | O_NONBLOCK);
    std::size_t sent = 0;
    if (input.empty()) close_fd(to);
    while ((read_fds[0] >= 0 || read_fds[1] >= 0) && milliseconds_left(deadline) > 0) {
        pollfd fds[3];
        int count = 0;
        for (int fd : read_fds)
            if (fd >= 0) fds[count++] = {fd, POLLIN, 0};
        if (to >= 0) fds[count++] = {to, POLLOUT, 0};
        int ready = ::poll(fds, static_cast<nfds_t>(count), milliseconds_left(deadline));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) break;
        for (int i = 0; i < count; ++i) {
            if (!fds[i].revents) continue;
            if (fds[i].fd == to) {
                write_some(to, fds[i].revents, input, sent);
                continue;
            }
            const int which = fds[i].fd == read_fds[0] ? 0 : 1;
            read_some(read_fds[which], *into[which]);
        }
    }
}

}  // namespace

ProgramRun run_program(const std::vector<std::string>& argv, const std::string& input, int timeout_ms, Stderr errors) {
    ignore_sigpipe();
    ProgramRun run{"", "", -1};
    // [0]: the program's input, [1]: its output, [2]: its error stream.
    int pipes[3][2] = {{-1, -1}, {-1, -1}, {-1, -1}};
    if (!open_pipes(pipes, errors == Stderr::capture ? 3 : 2)) return run;
    const int err_fd = errors == Stderr::merge ? pipes[1][1] : errors == Stderr::capture ? pipes[2][1] : -1;
    pid_t pid = spawn(argv, pipes[0][0], pipes[1][1], err_fd);
    close_fd(pipes[0][0]);
    close_fd(pipes[1][1]);
    close_fd(pipes[2][1]);
    int& to = pipes[0][1];
    int read_fds[2] = {pipes[1][0], pipes[2][0]};
    std::string* into[2] = {&run.output, &run.errors};
    if (pid < 0) {
        close_fd(to);
        for (int& fd : read_fds) close_fd(fd);
        return run;
    }

    const auto deadline = deadline_after(timeout_ms);
    exchange(to, read_fds, into, input, deadline);
    close_fd(to);
    for (int& fd : read_fds) close_fd(fd);

    bool signalled = false;
    run.exit_status = wait_or_kill(pid, deadline, signalled);
    return run;
}

}  // namespace driver

}  // namespace vargul
