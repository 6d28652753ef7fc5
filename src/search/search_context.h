#pragma once

#include <cstdint>

#include "platform/clock.h"
#include "search/reporter.h"
#include "search/search_tables.h"

namespace vargul {

// Everything a search runs with besides the position and its limits, all of
// it owned by the run: it outlives the search.
struct SearchContext {
    std::uint64_t& node_count;
    SearchTables& tables;
    SearchReporter& reporter;
    Clock& clock;
};

}  // namespace vargul
