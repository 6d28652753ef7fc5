#include "uci/reports.h"

std::int32_t last_report_depth = 0;
std::int32_t last_report_value = kNoReportValue;

namespace {

constexpr std::int32_t kMateThreshold = 900000;

}  // namespace

std::int32_t nodes_per_second(std::uint64_t nodes, double seconds) {
    if (!(seconds > 0.0)) return 0;
    const double rate = static_cast<double>(nodes) / seconds;
    if (rate >= 2147483647.0) return 2147483647;
    return static_cast<std::int32_t>(rate);
}

void append_score(LineWriter& out, std::int32_t score, int length) {
    if (score > kMateThreshold) out << " score mate " << (length + 1) / 2;
    else if (score < -kMateThreshold) out << " score mate " << -(length / 2);
    else out << " score cp " << score;
}

void append_report_move(LineWriter& out, Move m) {
    append_squares(out, move_from(m), move_to(m));
    const int kind = move_kind(m);
    if (kind != taking_passage) out << piece_letter(kind <= 15 ? kind - 10 : kind - 20);
}

void report_current_move(int index, const MoveList& list, int number, int depth) {
    const Move m = list.move[index];
    LineWriter out;
    out << "info currmove ";
    append_squares(out, move_from(m), move_to(m));
    out << " currmovenumber " << number << " depth " << depth;
    out.end_line();
}

void report_line(int side, std::uint64_t node_count, double seconds, std::int32_t value, const PvLine& line,
                 int depth) {
    if (depth != last_report_depth) last_report_value = kNoReportValue;
    LineWriter out;
    if (value == last_report_value) {
        out.end_line();
        return;
    }
    last_report_value = value;
    last_report_depth = depth;

    const int length = line.length;
    out << "info " << " nps " << nodes_per_second(node_count, seconds) << " depth " << depth << " seldepth "
        << length;
    append_score(out, side == 1 ? value : -value, length);
    out << " nodes " << node_count;
    if (line.score_move == value || line.score_move == -value) {
        out << " pv ";
        for (int k = 0; k < length && k < kMaxPly; ++k) {
            append_report_move(out, line.move[k]);
            out << ' ';
        }
    } else {
        // The line does not belong to the value: say so instead of printing it.
        out << "\nERROR LINE \n value = " << value << "\n PV_best_point.score_move = " << line.score_move
            << "\n**********************\n  \n";
    }
    out.end_line();
}
