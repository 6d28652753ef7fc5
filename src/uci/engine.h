#pragma once

#include <cstdint>

#include "board/board.h"
#include "platform/clock.h"
#include "platform/descriptor_io.h"
#include "platform/line_reader.h"
#include "search/search_tables.h"

namespace vargul {

// Marks that no best-line report has been written at the current depth.
inline constexpr std::int32_t kNoReportValue = -999999993;

// The last best-line report written; kept across searches, never reset.
struct ReportState {
    std::int32_t last_report_depth = 0;
    std::int32_t last_report_value = kNoReportValue;
};

// Everything one run of the engine owns: the position, the search's memory,
// the input and output, and the report state. The process entry makes one;
// tests make their own, so nothing carries over from one test to the next.
struct Engine {
    Board board{};
    std::uint64_t node_count = 0;
    SearchTables tables{};
    ReportState report{};
    SystemClock system_clock;
    Clock* clock = &system_clock;  // tests put a fake clock here
    int output_fd = kStandardOutput;
    LineReader input{kStandardInput, 0, 0, false, {}};
    char input_line[kLineCapacity];   // the command loop's line
    char search_line[kLineCapacity];  // the line read during a search
    char move_text[kLineCapacity]{};  // zero: "go" before any "position" sees no moves
};

// Releases what the run holds (the hash table).
void release_engine(Engine& engine);

}  // namespace vargul
