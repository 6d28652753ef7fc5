#include "support/engine_process.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// A test must survive the engine closing its input early.
void ignore_sigpipe() {
    static const bool done = [] {
        std::signal(SIGPIPE, SIG_IGN);
        return true;
    }();
    (void)done;
}

int milliseconds_left(Clock::time_point deadline) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left < 0 ? 0 : static_cast<int>(left);
}

void close_fd(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

int decode_status(int status) {
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return -1;
}

// Reads whatever is available within the time left; false at end of output or timeout.
bool read_some(int fd, std::string& into, Clock::time_point deadline) {
    for (;;) {
        pollfd pfd{fd, POLLIN, 0};
        int ready = ::poll(&pfd, 1, milliseconds_left(deadline));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return false;
        char chunk[4096];
        ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        into.append(chunk, static_cast<std::size_t>(got));
        return true;
    }
}

}  // namespace

bool start_engine(EngineProcess& p, const char* path) {
    ignore_sigpipe();
    int in_pipe[2], out_pipe[2];
    if (::pipe2(in_pipe, O_CLOEXEC) != 0) return false;
    if (::pipe2(out_pipe, O_CLOEXEC) != 0) {
        ::close(in_pipe[0]);
        ::close(in_pipe[1]);
        return false;
    }
    pid_t pid = ::fork();
    if (pid < 0) {
        for (int fd : {in_pipe[0], in_pipe[1], out_pipe[0], out_pipe[1]}) ::close(fd);
        return false;
    }
    if (pid == 0) {
        ::dup2(in_pipe[0], 0);
        ::dup2(out_pipe[1], 1);
        ::execl(path, path, static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(in_pipe[0]);
    ::close(out_pipe[1]);
    p.pid = pid;
    p.to_engine = in_pipe[1];
    p.from_engine = out_pipe[0];
    p.pending.clear();
    return true;
}

void send_text(EngineProcess& p, const std::string& text) {
    const char* data = text.data();
    std::size_t left = text.size();
    while (left > 0 && p.to_engine >= 0) {
        ssize_t written = ::write(p.to_engine, data, left);
        if (written < 0) {
            if (errno == EINTR) continue;
            return;  // the engine has stopped reading
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
}

bool read_line(EngineProcess& p, std::string& line, int timeout_ms) {
    auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
    for (;;) {
        auto end = p.pending.find('\n');
        if (end != std::string::npos) {
            line = p.pending.substr(0, end);
            p.pending.erase(0, end + 1);
            return true;
        }
        if (p.from_engine < 0 || !read_some(p.from_engine, p.pending, deadline)) return false;
    }
}

void close_input(EngineProcess& p) { close_fd(p.to_engine); }

int wait_exit(EngineProcess& p, int timeout_ms) {
    if (p.pid < 0) return -1;
    auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
    int status = 0;
    for (;;) {
        pid_t done = ::waitpid(p.pid, &status, WNOHANG);
        if (done == p.pid) break;
        if (done < 0 && errno != EINTR) return -1;
        if (Clock::now() >= deadline) {
            ::kill(p.pid, SIGKILL);
            ::waitpid(p.pid, &status, 0);
            p.pid = -1;
            close_fd(p.to_engine);
            close_fd(p.from_engine);
            return -1;
        }
        ::usleep(2000);
    }
    p.pid = -1;
    close_fd(p.to_engine);
    close_fd(p.from_engine);
    return decode_status(status);
}

EngineRun run_engine(const std::string& script, const char* path, int timeout_ms) {
    EngineRun run{"", -1};
    EngineProcess p;
    if (!start_engine(p, path)) return run;
    auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
    // Write and read together, so a long script never fills both pipes at once.
    ::fcntl(p.to_engine, F_SETFL, ::fcntl(p.to_engine, F_GETFL) | O_NONBLOCK);
    std::size_t sent = 0;
    bool output_open = true;
    while (output_open && milliseconds_left(deadline) > 0) {
        pollfd fds[2];
        int count = 0;
        fds[count++] = {p.from_engine, POLLIN, 0};
        if (p.to_engine >= 0) fds[count++] = {p.to_engine, POLLOUT, 0};
        int ready = ::poll(fds, count, milliseconds_left(deadline));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) break;
        if (count == 2 && fds[1].revents) {
            if (fds[1].revents & (POLLERR | POLLHUP)) {
                close_input(p);
            } else {
                ssize_t written = ::write(p.to_engine, script.data() + sent, script.size() - sent);
                if (written > 0) sent += static_cast<std::size_t>(written);
                else if (written < 0 && errno != EAGAIN && errno != EINTR) close_input(p);
                if (sent == script.size()) close_input(p);
            }
        }
        if (count == 2 && p.to_engine >= 0 && sent == script.size()) close_input(p);
        if (fds[0].revents) {
            char chunk[4096];
            ssize_t got = ::read(p.from_engine, chunk, sizeof chunk);
            if (got > 0) run.output.append(chunk, static_cast<std::size_t>(got));
            else if (got == 0 || errno != EINTR) output_open = false;
        }
    }
    close_input(p);
    run.exit_status = wait_exit(p, milliseconds_left(deadline));
    return run;
}
