#include "platform/process_end.h"

#include <cstdlib>

namespace vargul {

// exit, not ExitProcess: the C runtime flushes and closes its descriptors first.
void end_process(int status) { std::exit(status); }

}  // namespace vargul
