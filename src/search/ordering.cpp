#include "search/ordering.h"

Move killer_1[kMaxPly];
Move killer_2[kMaxPly];
