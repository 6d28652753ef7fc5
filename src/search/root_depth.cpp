#include "search/root_depth.h"

std::int32_t root_depth = 0;
