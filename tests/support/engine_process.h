#pragma once

#include <string>
#include <sys/types.h>

// Starting the real engine binary from a test, talking to it through pipes.

struct EngineRun {
    std::string output;
    int exit_status;  // -1 when the engine did not exit in time (it is then killed)
};

// Starts the engine, writes the whole script to its stdin, closes stdin,
// collects all stdout, waits at most timeout_ms in all (then kills).
EngineRun run_engine(const std::string& script, const char* path = VARGUL_ENGINE_PATH,
                     int timeout_ms = 60000);

// Interactive: for stop/quit during a search.
struct EngineProcess {
    pid_t pid = -1;
    int to_engine = -1;
    int from_engine = -1;
    std::string pending;  // bytes read but not yet handed out as a line
};

bool start_engine(EngineProcess& p, const char* path = VARGUL_ENGINE_PATH);
// Writes exactly these bytes.
void send_text(EngineProcess& p, const std::string& text);
// One line without its '\n'; false when none arrives in time or output ended.
bool read_line(EngineProcess& p, std::string& line, int timeout_ms);
void close_input(EngineProcess& p);
// Exit status, or -1 on timeout (the engine is then killed).
int wait_exit(EngineProcess& p, int timeout_ms);
