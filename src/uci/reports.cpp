#include "uci/reports.h"

#include "board/move_text.h"
#include "search/diagnostic_texts.h"
#include "search/score.h"
#include "uci/engine.h"
#include "uci/input_poll.h"

namespace vargul {

std::int32_t nodes_per_second(std::uint64_t nodes, double seconds) {
    if (!(seconds > 0.0)) return 0;
    const double rate = static_cast<double>(nodes) / seconds;
    if (rate >= 2147483647.0) return 2147483647;
    return static_cast<std::int32_t>(rate);
}

void append_score(LineWriter& out, std::int32_t score, int length) {
    if (score > kMateThreshold)
        out << " score mate " << (length + 1) / 2;
    else if (score < -kMateThreshold)
        out << " score mate " << -(length / 2);
    else
        out << " score cp " << score;
}

void UciReporter::current_move(Move move, int number, int depth) {
    LineWriter out(engine_.output_fd);
    out << "info currmove " << squares_text(move_from(move), move_to(move)) << " currmovenumber " << number << " depth "
        << depth;
    out.end_line();
}

void UciReporter::best_line(Side root_side, std::uint64_t nodes, double seconds, std::int32_t value, const PvLine& line,
                            int depth) {
    ReportState& report = engine_.report;
    if (depth != report.last_report_depth) report.last_report_value = kNoReportValue;
    LineWriter out(engine_.output_fd);
    if (value == report.last_report_value) {
        out.end_line();
        return;
    }
    report.last_report_value = value;
    report.last_report_depth = depth;

    const int length = line.length;
    out << "info "
        << " nps " << nodes_per_second(nodes, seconds) << " depth " << depth << " seldepth " << length;
    append_score(out, root_side == Side::White ? value : -value, length);
    out << " nodes " << nodes;
    if (line.score == value || line.score == -value) {
        out << " pv ";
        for (int k = 0; k < length && k < kMaxPly; ++k) out << padded_move_text(line.move[k]) << ' ';
    } else {
        // The line does not belong to the value: say so instead of printing it.
        out << kLineMismatchHead << value << kLineMismatchMiddle << line.score << kLineMismatchTail;
    }
    out.end_line();
}

void UciReporter::iteration(int depth, double seconds, std::int32_t score, std::uint64_t nodes, const PvLine& line) {
    LineWriter out(engine_.output_fd);
    out << "info "
        << " nps " << nodes_per_second(nodes, seconds) << " depth " << depth;
    append_score(out, score, line.length);
    out << " nodes " << nodes << " pv ";
    for (int k = 0; k < line.length && k < kMaxPly; ++k) out << move_text(line.move[k]) << ' ';
    out.end_line();
}

void UciReporter::best_move(Move best) {
    LineWriter out(engine_.output_fd);
    out << "bestmove ";
    // 0: nothing was searched, or nothing was legal.
    if (best == 0)
        out << "0000";
    else
        out << move_text(best);
    out.end_line();
}

void UciReporter::diagnostic(const char* text) { write_line(engine_.output_fd, text); }

InputEvent UciReporter::check_input() { return read_search_command(engine_); }

InputEvent UciReporter::look_for_stop() { return look_for_stop_or_quit(engine_); }

}  // namespace vargul
