#pragma once

// The engine and the self-play tool under test, through the shared pipe driver.

#include <string>
#include <vector>

#include "driver/engine_pipe.h"

namespace vargul {

// Writes the whole script to a fresh engine, closes its input, and returns
// all it wrote and its exit status (-1 when it was killed at the time limit).
inline driver::ProgramRun run_engine(const std::string& script, int timeout_ms = 60000) {
    return driver::run_program({VARGUL_ENGINE_PATH}, script, timeout_ms);
}

inline bool start_engine(driver::EnginePipe& engine) { return engine.start({VARGUL_ENGINE_PATH}); }

// build/selfplay with these arguments; its output with its error stream merged in.
inline driver::ProgramRun run_selfplay(const std::vector<std::string>& args, int timeout_ms = 300000) {
    std::vector<std::string> argv{std::string(VARGUL_TOOLS_DIR) + "/selfplay"};
    argv.insert(argv.end(), args.begin(), args.end());
    return driver::run_program(argv, "", timeout_ms, driver::Stderr::merge);
}

}  // namespace vargul
