#!/usr/bin/env bash
# Fails when a C++ file under src/, tools/, tests/ or benchmarks/ differs from
# what clang-format makes of it with the project's .clang-format.
set -euo pipefail
cd "$(dirname "$0")/../.."
files=$(git ls-files 'src/*.cpp' 'src/*.h' 'tools/*.cpp' 'tools/*.h' 'tests/*.cpp' 'tests/*.h' 'benchmarks/*.cpp')
clang-format --dry-run --Werror --style=file $files
echo "format: ok"
