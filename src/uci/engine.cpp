#include "uci/engine.h"

namespace vargul {

void release_engine(Engine& engine) { release_hash_table(engine.tables.hash); }

}  // namespace vargul
