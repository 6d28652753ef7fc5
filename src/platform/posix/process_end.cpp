#include "platform/process_end.h"

#include <cstdlib>

namespace vargul {

void end_process(int status) { std::exit(status); }

}  // namespace vargul
