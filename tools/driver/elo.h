#pragma once

// The Elo difference a match result points to, with its 95% interval.

#include <string>

namespace vargul {

namespace driver {

struct EloEstimate {
    long games = 0;
    double score = 0.5;  // points per game, 0 to 1
    double elo = 0;      // +-infinity at a score of 1 or 0
    double low = 0;      // the 95% interval's ends, each possibly infinite
    double high = 0;
    // Half the interval's width: the "+/-" figure.
    double margin() const { return (high - low) / 2; }
};

// The logistic model: a score s means 400 * log10(s / (1 - s)) Elo.
double elo_of_score(double score);

// From one side's wins, draws and losses. The score's spread comes from the
// three outcomes themselves (a trinomial), so many draws narrow it.
EloEstimate estimate_elo(long wins, long draws, long losses);

// "+147", "-inf".
std::string elo_text(double elo);
// "+147 +/- 66", "+inf", "-12 +/- inf"; "n/a" without games.
std::string estimate_text(const EloEstimate& e);

}  // namespace driver

}  // namespace vargul
