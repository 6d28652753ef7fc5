#pragma once

#include <initializer_list>
#include <memory>
#include <string>

#include "support/fd_helpers.h"
#include "uci/engine.h"

namespace vargul {

// One run of the engine inside a test: its replies go to a memory file, its
// input is a script of lines (empty: the input has ended, so a poll during a
// search reads nothing). Freed at the end of the test.
class TestEngine {
public:
    explicit TestEngine(const std::string& input = "");
    ~TestEngine();
    TestEngine(const TestEngine&) = delete;
    TestEngine& operator=(const TestEngine&) = delete;

    Engine& operator*() { return *engine_; }
    Engine* operator->() { return engine_.get(); }

    // handle_command on one line.
    int command(const char* line);
    // The lines in turn; the status of the first that ends the run, else kCarryOn.
    int commands(std::initializer_list<const char*> lines);
    // Replaces the input with a new script, read from its first byte.
    void set_input(const std::string& script);

    std::string output() const { return output_.text(); }
    void clear_output() { output_.clear(); }

private:
    std::unique_ptr<Engine> engine_;
    OutputFile output_;
    int input_fd_ = -1;
};

}  // namespace vargul
