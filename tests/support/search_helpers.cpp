#include "support/search_helpers.h"

#include <gtest/gtest.h>

#include <cctype>

#include "board/move_text.h"
#include "search/hash_table.h"
#include "search/recent_moves.h"

namespace vargul {

namespace {

std::string best_move_text(Move best) { return best == 0 ? std::string("0000") : std::string(move_text(best).text); }

const char* input_name(InputEvent event) {
    switch (event) {
        case InputEvent::none: return "none";
        case InputEvent::stop: return "stop";
        case InputEvent::quit: return "quit";
    }
    return "?";
}

}  // namespace

std::string line_text(const PvLine& line) {
    std::string text;
    for (int i = 0; i < line.length && i < kMaxPly; ++i) {
        if (i > 0) text += ' ';
        text += move_text(line.move[i]).text;
    }
    return text;
}

void RecordingReporter::current_move(Move move, int number, int depth) {
    events.push_back("currmove " + std::string(move_text(move).text) + " " + std::to_string(number) + " " +
                     std::to_string(depth));
}

void RecordingReporter::best_line(Side side, std::uint64_t, double, std::int32_t value, const PvLine& line, int depth) {
    best_lines.push_back({side, value, depth, line_text(line)});
    events.push_back("line " + std::to_string(depth) + " " + std::to_string(value) + " " + line_text(line));
}

void RecordingReporter::iteration(int depth, double seconds, std::int32_t score, std::uint64_t nodes,
                                  const PvLine& line) {
    iterations.push_back({depth, seconds, score, nodes, line_text(line)});
    events.push_back("iteration " + std::to_string(depth) + " " + std::to_string(score) + " " + line_text(line));
}

void RecordingReporter::best_move(Move best) {
    best_moves.push_back(best_move_text(best));
    events.push_back("bestmove " + best_moves.back());
}

void RecordingReporter::diagnostic(const char* text) {
    diagnostics.emplace_back(text);
    events.push_back("diagnostic " + diagnostics.back());
}

InputEvent RecordingReporter::check_input() {
    ++polls;
    InputEvent event = InputEvent::none;
    if (!inputs.empty()) {
        event = inputs.front();
        inputs.pop_front();
    }
    events.push_back(std::string("poll ") + input_name(event));
    return event;
}

RecentMoves no_recent_moves() { return read_recent_moves(""); }

SearchSetup::SearchSetup() {
    if (!tables.hash.allocate(1)) ADD_FAILURE_AT(__FILE__, __LINE__);
    tables.hash.clear();
}

SearchState SearchSetup::state(const RecentMoves& recent) {
    return SearchState{{node_count, tables, reporter, clock}, {}, {}, recent};
}

std::string mask_nps(const std::string& text) {
    std::string masked;
    const std::string marker = " nps ";
    std::size_t i = 0;
    while (i < text.size()) {
        if (text.compare(i, marker.size(), marker) == 0) {
            masked += " nps N";
            i += marker.size();
            while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i;
        } else {
            masked += text[i++];
        }
    }
    return masked;
}

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

bool has_diagnostics(const std::string& text) {
    for (const std::string& line : lines_of(text))
        if (line.find("ERROR") != std::string::npos || line.rfind("white test_", 0) == 0) return true;
    return false;
}

std::vector<std::string> iteration_lines(const std::string& text) {
    std::vector<std::string> found;
    for (const std::string& line : lines_of(text))
        if (line.rfind("info  nps ", 0) == 0 && line.find(" seldepth ") == std::string::npos) found.push_back(line);
    return found;
}

}  // namespace vargul
