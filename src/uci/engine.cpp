#include "uci/engine.h"

void release_engine(Engine& engine) { release_hash_table(engine.tables.hash); }
