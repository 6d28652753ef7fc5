#include "platform/process_end.h"

#include <cstdlib>

namespace vargul {

// The runtime's exit hands the status to the host's onExit (built with
// EXIT_RUNTIME) and then unwinds out of the engine by throwing.
void end_process(int status) { std::exit(status); }

}  // namespace vargul
