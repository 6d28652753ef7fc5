#include "uci/engine.h"

#include "position/keys.h"

namespace vargul {

bool renew_hash_table(Engine& engine) {
    if (!engine.tables.hash.allocate(engine.hash_megabytes)) return false;
    compute_hash_key(engine.board);
    engine.tables.hash.clear();
    return true;
}

}  // namespace vargul
