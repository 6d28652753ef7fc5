// pipe_driver <engine.exe> <check> [arguments]
// Drives the Windows engine through anonymous pipes, the way a Windows GUI
// does. It has to be a Windows program: under wine, an engine whose standard
// input is a host pipe cannot peek at it, so only a pipe made here shows how
// the engine polls its input during a search.
//   transcript <script> <expected> <status>
//       sends the script's bytes, closes the input, and compares everything
//       the engine writes with the expected text, each LF there becoming
//       CR LF, byte for byte (the figure after "nps " is not compared);
//       then the exit status.
//   stop        "go infinite", then "stop": answered with a bestmove, and
//               the engine goes on answering.
//   quit        "go infinite", then "quit": no bestmove, exit status 1.
//   end-of-file byte 0x1A ends the input in text mode.
// Exit status 0 when the check passes; otherwise what went wrong is on stderr.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

namespace {

constexpr DWORD kTimeoutMs = 30000;

int failures = 0;

void fail(const std::string& what) {
    std::fprintf(stderr, "FAIL: %s\n", what.c_str());
    ++failures;
}

// Shows control and non-ASCII bytes, so a missing CR can be seen.
std::string visible(const std::string& text) {
    std::string out;
    for (unsigned char c : text) {
        char hex[8];
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n\n";
        else if (c < 0x20 || c >= 0x7F)
            std::snprintf(hex, sizeof hex, "\\x%02X", c), out += hex;
        else
            out += static_cast<char>(c);
    }
    return out;
}

bool read_file(const char* path, std::string& into) {
    FILE* f = std::fopen(path, "rb");
    if (!f) return false;
    char chunk[65536];
    while (std::size_t n = std::fread(chunk, 1, sizeof chunk, f)) into.append(chunk, n);
    std::fclose(f);
    return true;
}

class Engine {
public:
    bool start(const char* path) {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        HANDLE child_input = nullptr, child_output = nullptr;
        if (!CreatePipe(&child_input, &to_engine_, &inherit, 0)) return false;
        if (!CreatePipe(&from_engine_, &child_output, &inherit, 0)) return false;
        // Our ends stay ours, or the engine would never see its input end.
        SetHandleInformation(to_engine_, HANDLE_FLAG_INHERIT, 0);
        SetHandleInformation(from_engine_, HANDLE_FLAG_INHERIT, 0);

        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = child_input;
        startup.hStdOutput = child_output;
        startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
        std::string command = std::string("\"") + path + "\"";
        PROCESS_INFORMATION info{};
        const bool started =
            CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info);
        CloseHandle(child_input);
        CloseHandle(child_output);
        if (!started) return false;
        CloseHandle(info.hThread);
        process_ = info.hProcess;
        return true;
    }

    ~Engine() {
        close_input();
        if (process_) {
            if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) TerminateProcess(process_, 99);
            CloseHandle(process_);
        }
        if (from_engine_) CloseHandle(from_engine_);
    }

    bool send(const std::string& text) {
        DWORD written = 0;
        for (std::size_t done = 0; done < text.size(); done += written) {
            if (!WriteFile(to_engine_, text.data() + done, static_cast<DWORD>(text.size() - done), &written, nullptr))
                return false;
        }
        return true;
    }

    void close_input() {
        if (to_engine_) CloseHandle(to_engine_);
        to_engine_ = nullptr;
    }

    // Everything the engine writes until it closes its output, after what
    // read_line has taken in but not handed out.
    std::string read_to_end() {
        std::string all = std::move(pending_);
        pending_.clear();
        char chunk[4096];
        DWORD got = 0;
        while (ReadFile(from_engine_, chunk, sizeof chunk, &got, nullptr) && got > 0) all.append(chunk, got);
        return all;
    }

    // The next line with its CR LF, waiting at most until the deadline.
    bool read_line(std::string& line, DWORD deadline) {
        for (;;) {
            const std::size_t end = pending_.find('\n');
            if (end != std::string::npos) {
                line = pending_.substr(0, end + 1);
                pending_.erase(0, end + 1);
                return true;
            }
            DWORD available = 0;
            if (!PeekNamedPipe(from_engine_, nullptr, 0, nullptr, &available, nullptr)) return false;
            if (available == 0) {
                if (GetTickCount() > deadline) return false;
                Sleep(2);
                continue;
            }
            char chunk[4096];
            DWORD got = 0;
            if (!ReadFile(from_engine_, chunk, available < sizeof chunk ? available : sizeof chunk, &got, nullptr))
                return false;
            pending_.append(chunk, got);
        }
    }

    void terminate() { TerminateProcess(process_, 99); }

    // Exit status, or -1 if the engine is still running at the timeout.
    long wait_exit(DWORD timeout_ms) {
        if (WaitForSingleObject(process_, timeout_ms) != WAIT_OBJECT_0) return -1;
        DWORD status = 0;
        GetExitCodeProcess(process_, &status);
        return static_cast<long>(status);
    }

private:
    HANDLE process_ = nullptr;
    HANDLE to_engine_ = nullptr;
    HANDLE from_engine_ = nullptr;
    std::string pending_;
};

// Reads everything the engine still writes while waiting for it to end, so
// that an engine blocked on a full pipe is not mistaken for a hung one; ends
// it after the timeout. Answers its exit status, or -1 when it had to be ended.
long finish(Engine& engine, std::string& output) {
    std::thread reader([&] { output += engine.read_to_end(); });
    const long status = engine.wait_exit(kTimeoutMs);
    if (status < 0) engine.terminate();
    reader.join();
    return status;
}

std::string with_crlf(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

// The node rate is the one figure that differs from run to run.
std::string mask_rates(const std::string& text) {
    std::string out;
    std::size_t from = 0;
    for (std::size_t at = text.find("nps "); at != std::string::npos; at = text.find("nps ", from)) {
        out.append(text, from, at + 4 - from);
        out += '#';
        from = at + 4;
        while (from < text.size() && text[from] >= '0' && text[from] <= '9') ++from;
    }
    out.append(text, from, std::string::npos);
    return out;
}

void check_transcript(const char* engine_path, const char* script_path, const char* expected_path, long status) {
    std::string script, expected;
    if (!read_file(script_path, script) || !read_file(expected_path, expected)) return fail("cannot read the files");
    Engine engine;
    if (!engine.start(engine_path)) return fail("cannot start the engine");
    // Written from a thread of its own: a long script and a long answer
    // would otherwise each wait for the other to be read.
    std::thread writer([&] {
        engine.send(script);
        engine.close_input();
    });
    std::string output;
    const long exit_status = finish(engine, output);
    writer.join();
    const std::string want = mask_rates(with_crlf(expected));
    const std::string got = mask_rates(output);
    if (got != want) fail("output differs\n--- expected\n" + visible(want) + "--- got\n" + visible(got));
    if (exit_status != status)
        fail("exit status " + std::to_string(exit_status) + ", expected " + std::to_string(status));
}

// Reads lines until one starts with `prefix`; every line must end with CR LF.
bool wait_for(Engine& engine, const char* prefix, std::string* found = nullptr) {
    const DWORD deadline = GetTickCount() + kTimeoutMs;
    std::string line;
    while (engine.read_line(line, deadline)) {
        if (found) *found = line.substr(0, line.size() - 2);
        if (line.size() < 2 || line[line.size() - 2] != '\r') fail("a line without CR LF: " + visible(line));
        if (line.compare(0, std::strlen(prefix), prefix) == 0) return true;
    }
    return false;
}

void check_stop(const char* engine_path) {
    Engine engine;
    if (!engine.start(engine_path)) return fail("cannot start the engine");
    // Lines as a Windows GUI writes them, each ending in CR LF.
    engine.send("uci\r\nposition startpos\r\ngo infinite\r\n");
    std::string report, answer;
    if (!wait_for(engine, "info  nps ", &report)) return fail("the search reports nothing");
    // Nothing more is buffered in the engine: only a look at the pipe sees the stop.
    engine.send("stop\r\n");
    if (!wait_for(engine, "bestmove ", &answer)) return fail("no bestmove after stop");
    std::printf("searching (%s), then stop: %s\n", report.c_str(), answer.c_str());
    engine.send("isready\r\n");
    if (!wait_for(engine, "readyok\r\n")) return fail("no readyok after the search");
    engine.send("quit\r\n");
    const long status = engine.wait_exit(kTimeoutMs);
    if (status != 1) fail("exit status after quit " + std::to_string(status) + ", expected 1");
}

void check_quit(const char* engine_path) {
    Engine engine;
    if (!engine.start(engine_path)) return fail("cannot start the engine");
    engine.send("position startpos\r\ngo infinite\r\n");
    std::string report;
    if (!wait_for(engine, "info  nps ", &report)) return fail("the search reports nothing");
    engine.send("quit\r\n");
    std::string rest;
    const long status = finish(engine, rest);
    if (status != 1) fail("exit status after quit " + std::to_string(status) + ", expected 1");
    if (rest.find("bestmove") != std::string::npos) fail("a bestmove after quit");
    std::printf("searching (%s), then quit: status %ld\n", report.c_str(), status);
}

void check_end_of_file_byte(const char* engine_path) {
    Engine engine;
    if (!engine.start(engine_path)) return fail("cannot start the engine");
    // Sent in one write, so the whole script is in the pipe when the engine reads.
    engine.send("isready\r\n\x1Aisready\r\n");
    engine.close_input();
    std::string output;
    const long status = finish(engine, output);
    if (output != "readyok\r\n\r\n") fail("output after 0x1A: " + visible(output));
    if (status != 0) fail("exit status " + std::to_string(status) + ", expected 0 (end of input)");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: pipe_driver <engine.exe> <check> [arguments]\n");
        return 2;
    }
    const std::string check = argv[2];
    if (check == "transcript" && argc == 6)
        check_transcript(argv[1], argv[3], argv[4], std::atol(argv[5]));
    else if (check == "stop" && argc == 3)
        check_stop(argv[1]);
    else if (check == "quit" && argc == 3)
        check_quit(argv[1]);
    else if (check == "end-of-file" && argc == 3)
        check_end_of_file_byte(argv[1]);
    else {
        std::fprintf(stderr, "pipe_driver: unknown check or wrong arguments\n");
        return 2;
    }
    return failures == 0 ? 0 : 1;
}
