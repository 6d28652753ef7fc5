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
// `clock` points into the record itself, so it is neither copied nor moved.
struct Engine {
    Engine() = default;
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;
    Engine(Engine&&) = delete;
    Engine& operator=(Engine&&) = delete;

    Board board{};
    std::uint64_t node_count = 0;
    SearchTables tables{};
    std::int32_t hash_megabytes = kDefaultHashMegabytes;  // the Hash option: the table's size at its next allocation
    ReportState report{};
    SystemClock system_clock;
    Clock* clock = &system_clock;  // tests put a fake clock here
    int output_fd = kStandardOutput;
    LineReader input{kStandardInput, 0, 0, false, {}};
    char input_line[kLineCapacity];   // the command loop's line
    char search_line[kLineCapacity];  // the line read during a search
    char move_text[kLineCapacity]{};  // zero: "go" before any "position" sees no moves
};

// A fresh, empty hash table of hash_megabytes, and the position's key to
// probe it with; false (and no table) when the memory cannot be had.
[[nodiscard]] bool renew_hash_table(Engine& engine);

}  // namespace vargul
