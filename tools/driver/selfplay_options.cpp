#include "driver/selfplay_options.h"

#include "driver/engine_pipe.h"
#include "platform/decimal.h"

namespace vargul {

namespace driver {

const char* const kMatchUsage =
    "usage: selfplay [--games N] [--tc BASE+INC] [--depth N] [--movetime MS] [--pgn FILE] [--concurrency N]\n"
    "                [--engine PATH] [--max-plies N] [--timeout MS] [--results FILE]\n"
    "                [--opponent CMD] [--opponent-option NAME=VALUE]... [--opponent-name NAME]";

namespace {

// As strtol reads a number: blanks before it and a sign allowed, nothing after it.
bool number(const std::string& text, long low, long high, long& value) {
    const char* p = text.c_str();
    while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
    const DecimalRead read = read_decimal(p, true);
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

bool parse_match_arguments(const std::vector<std::string>& args, MatchSettings& s, std::string& problem) {
    bool opponent_settings = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& flag = args[i];
        if (i + 1 >= args.size()) {
            problem = "missing value after " + flag;
            return false;
        }
        const std::string& value = args[++i];
        long n = 0;
        auto numeric = [&](long low, long high) {
            if (number(value, low, high, n)) return true;
            problem = "bad " + flag;
            return false;
        };
        if (flag == "--games") {
            if (!numeric(1, 1000000)) return false;
            s.games = static_cast<int>(n);
        } else if (flag == "--depth") {
            if (!numeric(0, 50)) return false;
            s.depth = static_cast<int>(n);
        } else if (flag == "--movetime") {
            if (!numeric(1, 86400000)) return false;
            s.movetime_ms = n;
        } else if (flag == "--concurrency") {
            if (!numeric(1, 64)) return false;
            s.concurrency = static_cast<int>(n);
        } else if (flag == "--max-plies") {
            if (!numeric(1, 100000)) return false;
            s.max_plies = static_cast<int>(n);
        } else if (flag == "--timeout") {
            if (!numeric(100, 86400000)) return false;
            s.timeout_ms = n;
        } else if (flag == "--tc") {
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
        } else if (flag == "--pgn") {
            s.pgn = value;
        } else if (flag == "--engine") {
            s.engine = value;
        } else if (flag == "--results") {
            s.results = value;
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
    }
    if (opponent_settings && s.opponent.empty()) {
        problem = "--opponent-option and --opponent-name need --opponent";
        return false;
    }
    return true;
}

}  // namespace driver

}  // namespace vargul
