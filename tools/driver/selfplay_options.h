#pragma once

// The self-play tool's command line: Vargul against itself, or against any
// UCI engine given as a command line with its own options.

#include <string>
#include <vector>

namespace vargul {

namespace driver {

struct EngineOption {
    std::string name;
    std::string value;
};

struct MatchSettings {
    std::string engine;                 // Vargul's binary; empty: the one beside the tool
    std::vector<std::string> opponent;  // its argv; empty: Vargul against itself
    std::vector<EngineOption> opponent_options;
    std::string opponent_name;  // empty: what it calls itself in "id name"
    std::string results;        // a file to append the summary row to
    int games = 2;
    long base_ms = 10000;
    long increment_ms = 100;
    int depth = -1;
    long movetime_ms = -1;
    // The words after "go" for one side alone ("depth 3", "movetime 300"),
    // in place of its clock: a playing level. The other side keeps the clock.
    // opponent_go is engine B's when Vargul plays itself.
    std::string vargul_go;
    std::string opponent_go;
    std::string pgn;
    int concurrency = 1;
    int max_plies = 400;
    long timeout_ms = 30000;  // allowed on top of the time a move may take
};

extern const char* const kMatchUsage;

// "NAME=VALUE", split at the first '='; the name may hold blanks
// ("Number of Threads=1"), the value may be empty.
bool parse_engine_option(const std::string& text, EngineOption& option);
std::string setoption_command(const EngineOption& option);

// The arguments after the program's name. False, with the problem named, on
// an unknown flag, a missing or bad value, or an opponent setting without an
// opponent.
bool parse_match_arguments(const std::vector<std::string>& args, MatchSettings& settings, std::string& problem);

}  // namespace driver

}  // namespace vargul
