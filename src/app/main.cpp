#include <memory>

#include "platform/descriptor_io.h"
#include "uci/command_loop.h"
#include "uci/engine.h"

int main() {
    using namespace vargul;
    prepare_standard_streams();
    // The run's state, owned here for the whole run (on the heap: its three
    // line buffers are too large for a comfortable stack frame).
    auto engine = std::make_unique<Engine>();
    return run_command_loop(*engine);
}
