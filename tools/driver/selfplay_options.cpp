#include "driver/selfplay_options.h"

#include "driver/engine_pipe.h"
#include "platform/decimal.h"

namespace vargul {

namespace driver {

const char* const kMatchUsage =
    "usage: selfplay [--games N] [--tc BASE+INC] [--depth N] [--movetime MS] [--pgn FILE] [--concurrency N]\n"
    "                [--engine PATH] [--max-plies N] [--timeout MS] [--results FILE]\n"
    "                [--vargul-go WORDS] [--opponent-go WORDS]\n"
    "                [--opponent CMD] [--opponent-option NAME=VALUE]... [--opponent-name NAME]";

namespace {

// As strtol reads a number: blanks before it and a sign allowed, nothing after it.
bool number(const std::string& text, long low, long high, long& value) {
    const DecimalRead read = read_decimal(after_blanks(text.c_str()), true);
    if (!read.has_digits || *read.end || read.value < low || read.value > high) return false;
    value = static_cast<long>(read.value);
    return true;
}

}  // namespace

bool parse_engine_option(const std::string& text, EngineOption& option) {
    const std::size_t equals = text.find('=');
    if (equals == 0 || equals == std::string::npos) return false;
    option.name = text.substr(0, equals);
    option.value = text.substr(equals + 1);
    return true;
}

std::string setoption_command(const EngineOption& option) {
    return "setoption name " + option.name + " value " + option.value;
}

namespace {

// A flag whose value is one number within a range, and the setting it fills.
struct NumericFlag {
    const char* flag;
    long low, high;
    void (*store)(MatchSettings&, long);
};

const NumericFlag kNumericFlags[] = {
    {"--games", 1, 1000000, [](MatchSettings& s, long n) { s.games = static_cast<int>(n); }},
    {"--depth", 0, 50, [](MatchSettings& s, long n) { s.depth = static_cast<int>(n); }},
    {"--movetime", 1, 86400000, [](MatchSettings& s, long n) { s.movetime_ms = n; }},
    {"--concurrency", 1, 64, [](MatchSettings& s, long n) { s.concurrency = static_cast<int>(n); }},
    {"--max-plies", 1, 100000, [](MatchSettings& s, long n) { s.max_plies = static_cast<int>(n); }},
    {"--timeout", 100, 86400000, [](MatchSettings& s, long n) { s.timeout_ms = n; }},
};

// "BASE+INC" or "BASE", in milliseconds.
bool parse_time_control(const std::string& value, MatchSettings& s, std::string& problem) {
    const std::size_t plus = value.find('+');
    long base = 0, increment = 0;
    if (!number(value.substr(0, plus), 1, 86400000, base)) {
        problem = "bad --tc base";
        return false;
    }
    if (plus != std::string::npos && !number(value.substr(plus + 1), 0, 86400000, increment)) {
        problem = "bad --tc increment";
        return false;
    }
    s.base_ms = base;
    s.increment_ms = increment;
    return true;
}

// The flags whose value is text. `opponent_settings` notes the ones that
// make sense only with --opponent.
bool parse_text_flag(const std::string& flag, const std::string& value, MatchSettings& s, std::string& problem,
                     bool& opponent_settings) {
    if (flag == "--pgn") {
        s.pgn = value;
    } else if (flag == "--engine") {
        s.engine = value;
    } else if (flag == "--results") {
        s.results = value;
    } else if (flag == "--vargul-go" || flag == "--opponent-go") {
        if (split_command(value).empty()) {
            problem = "empty " + flag;
            return false;
        }
        (flag == "--vargul-go" ? s.vargul_go : s.opponent_go) = value;
    } else if (flag == "--opponent") {
        s.opponent = split_command(value);
        if (s.opponent.empty()) {
            problem = "empty --opponent";
            return false;
        }
    } else if (flag == "--opponent-option") {
        EngineOption option;
        if (!parse_engine_option(value, option)) {
            problem = "bad --opponent-option " + value + " (NAME=VALUE)";
            return false;
        }
        s.opponent_options.push_back(option);
        opponent_settings = true;
    } else if (flag == "--opponent-name") {
        s.opponent_name = value;
        opponent_settings = true;
    } else {
        problem = "unknown flag " + flag;
        return false;
    }
    return true;
}

bool parse_flag(const std::string& flag, const std::string& value, MatchSettings& s, std::string& problem,
                bool& opponent_settings) {
    for (const NumericFlag& f : kNumericFlags) {
        if (flag != f.flag) continue;
        long n = 0;
        if (!number(value, f.low, f.high, n)) {
            problem = "bad " + flag;
            return false;
        }
        f.store(s, n);
        return true;
    }
    if (flag == "--tc") return parse_time_control(value, s, problem);
    return parse_text_flag(flag, value, s, problem, opponent_settings);
}

}  // namespace

bool parse_match_arguments(const std::vector<std::string>& args, MatchSettings& s, std::string& problem) {
    bool opponent_settings = false;
    for (std::size_t i = 0; i < args.size(); i += 2) {
        if (i + 1 >= args.size()) {
            problem = "missing value after " + args[i];
            return false;
        }
        if (!parse_flag(args[i], args[i + 1], s, problem, opponent_settings)) return false;
    }
    if (opponent_settings && s.opponent.empty()) {
        problem = "--opponent-option and --opponent-name need --opponent";
        return false;
    }
    return true;
}

}  // namespace driver

}  // namespace vargul
