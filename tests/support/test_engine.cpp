#include "support/test_engine.h"

#include <unistd.h>

#include "platform/line_reader.h"
#include "uci/command_loop.h"

namespace vargul {

TestEngine::TestEngine(const std::string& input) : engine_(std::make_unique<Engine>()) {
    engine_->output_fd = output_.fd();
    set_input(input);
}

TestEngine::~TestEngine() {
    if (input_fd_ >= 0) ::close(input_fd_);
}

int TestEngine::command(const char* line) { return handle_command(*engine_, line); }

int TestEngine::commands(std::initializer_list<const char*> lines) {
    for (const char* line : lines) {
        const int status = command(line);
        if (status != kCarryOn) return status;
    }
    return kCarryOn;
}

void TestEngine::set_input(const std::string& script) {
    if (input_fd_ >= 0) ::close(input_fd_);
    input_fd_ = descriptor_with(script);
    reset_line_reader(engine_->input, input_fd_);
}

}  // namespace vargul
