// The match arithmetic: Elo from a score, and the 95% interval from wins,
// draws and losses. Reference figures worked out by hand from the logistic
// model, with the variance taken as E[x^2] - E[x]^2 over the game results.
#include <gtest/gtest.h>

#include <cmath>

#include "driver/elo.h"

namespace vargul {

using driver::estimate_elo;

TEST(Elo, ScoreToElo) {
    EXPECT_DOUBLE_EQ(driver::elo_of_score(0.5), 0.0);
    EXPECT_NEAR(driver::elo_of_score(0.75), 190.8485, 1e-3);
    EXPECT_NEAR(driver::elo_of_score(0.25), -190.8485, 1e-3);
    EXPECT_NEAR(driver::elo_of_score(10.0 / 11.0), 400.0, 1e-9);  // odds of 10:1
    EXPECT_TRUE(std::isinf(driver::elo_of_score(1.0)) && driver::elo_of_score(1.0) > 0);
    EXPECT_TRUE(std::isinf(driver::elo_of_score(0.0)) && driver::elo_of_score(0.0) < 0);
}

TEST(Elo, EstimatesOnKnownResults) {
    struct Case {
        long w, d, l;
        double score, elo, low, high;
    };
    const Case cases[] = {
        {60, 20, 20, 0.70, 147.1907, 86.2250, 218.2518},
        {10, 10, 10, 0.50, 0.0, -104.5579, 104.5579},
        {120, 200, 80, 0.55, 34.8601, 10.9135, 59.1419},
        {2, 1, 7, 0.25, -190.8485, -1526.5119, -0.1061},
    };
    for (const Case& c : cases) {
        const driver::EloEstimate e = estimate_elo(c.w, c.d, c.l);
        SCOPED_TRACE(testing::Message() << c.w << "/" << c.d << "/" << c.l);
        EXPECT_EQ(e.games, c.w + c.d + c.l);
        EXPECT_NEAR(e.score, c.score, 1e-12);
        EXPECT_NEAR(e.elo, c.elo, 1e-3);
        EXPECT_NEAR(e.low, c.low, 1e-3);
        EXPECT_NEAR(e.high, c.high, 1e-3);
    }
}

TEST(Elo, DrawsNarrowTheInterval) {
    // The same score from fewer decisive games is the surer one.
    const driver::EloEstimate decisive = estimate_elo(50, 0, 50), drawish = estimate_elo(30, 40, 30);
    EXPECT_NEAR(decisive.margin(), 68.9888, 1e-3);
    EXPECT_NEAR(drawish.margin(), 53.1580, 1e-3);
    const driver::EloEstimate all_draws = estimate_elo(0, 10, 0);
    EXPECT_EQ(all_draws.elo, 0.0);
    EXPECT_EQ(all_draws.margin(), 0.0);
}

TEST(Elo, EdgesAndText) {
    const driver::EloEstimate sweep = estimate_elo(5, 0, 0);
    EXPECT_TRUE(std::isinf(sweep.elo) && sweep.elo > 0);
    EXPECT_EQ(driver::estimate_text(sweep), "+inf");
    EXPECT_EQ(driver::estimate_text(estimate_elo(0, 0, 3)), "-inf");

    const driver::EloEstimate nearly = estimate_elo(3, 1, 0);  // the upper end reaches a score of 1
    EXPECT_NEAR(nearly.elo, 338.0392, 1e-3);
    EXPECT_NEAR(nearly.low, 117.4195, 1e-3);
    EXPECT_TRUE(std::isinf(nearly.high));
    EXPECT_EQ(driver::estimate_text(nearly), "+338 +/- inf");

    EXPECT_EQ(driver::estimate_text(estimate_elo(60, 20, 20)), "+147 +/- 66");
    EXPECT_EQ(driver::estimate_text(estimate_elo(20, 20, 60)), "-147 +/- 66");
    EXPECT_EQ(driver::estimate_text(estimate_elo(0, 4, 0)), "+0 +/- 0");
    EXPECT_EQ(driver::estimate_text(estimate_elo(0, 0, 0)), "n/a");
}

}  // namespace vargul
