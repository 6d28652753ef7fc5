#include "driver/elo.h"

#include <cmath>
#include <cstdio>
#include <limits>

namespace vargul {

namespace driver {

namespace {

constexpr double kZ95 = 1.959963984540054;  // two-sided 95% of the normal distribution
constexpr double kInfinity = std::numeric_limits<double>::infinity();

}  // namespace

double elo_of_score(double score) {
    if (score <= 0) return -kInfinity;
    if (score >= 1) return kInfinity;
    return -400.0 * std::log10(1.0 / score - 1.0);
}

EloEstimate estimate_elo(long wins, long draws, long losses) {
    EloEstimate e;
    e.games = wins + draws + losses;
    if (e.games <= 0) return e;
    const double n = static_cast<double>(e.games);
    const double w = static_cast<double>(wins) / n, d = static_cast<double>(draws) / n,
                 l = static_cast<double>(losses) / n;
    e.score = w + d / 2;
    const double s = e.score;
    const double variance = w * (1 - s) * (1 - s) + d * (0.5 - s) * (0.5 - s) + l * s * s;
    const double spread = kZ95 * std::sqrt(variance / n);
    e.elo = elo_of_score(s);
    e.low = elo_of_score(s - spread);
    e.high = elo_of_score(s + spread);
    return e;
}

std::string elo_text(double elo) {
    if (std::isinf(elo)) return elo > 0 ? "+inf" : "-inf";
    char text[32];
    std::snprintf(text, sizeof text, "%+.0f", elo);
    // "-0" reads oddly for a dead-even match.
    return std::string(text) == "-0" ? "+0" : text;
}

std::string estimate_text(const EloEstimate& e) {
    if (e.games == 0) return "n/a";
    if (std::isinf(e.elo)) return elo_text(e.elo);
    const double margin = e.margin();
    char text[32];
    if (std::isinf(margin))
        std::snprintf(text, sizeof text, " +/- inf");
    else
        std::snprintf(text, sizeof text, " +/- %.0f", margin);
    return elo_text(e.elo) + text;
}

}  // namespace driver

}  // namespace vargul
