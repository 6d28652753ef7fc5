#include "uci/process_end.h"

#include <cstdlib>

#ifndef VARGUL_FUZZ
void end_process(int status) { std::exit(status); }
#endif
