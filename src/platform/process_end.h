#pragma once

namespace vargul {

// Ends the process at once with this exit status.
[[noreturn]] void end_process(int status);

}  // namespace vargul
