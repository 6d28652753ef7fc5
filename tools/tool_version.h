#pragma once

#include <cstring>

#include "platform/descriptor_io.h"
#include "platform/line_writer.h"

namespace vargul {

// The release this tool belongs to; the build passes it in.
#ifndef VARGUL_VERSION
#define VARGUL_VERSION "unknown"
#endif

// With --version as the only argument, prints "<tool> <version>" and answers true.
inline bool print_version(const char* tool, int argc, char** argv) {
    if (argc != 2 || std::strcmp(argv[1], "--version") != 0) return false;
    LineWriter out(kStandardOutput);
    out << tool << ' ' << VARGUL_VERSION;
    out.end_line();
    return true;
}

}  // namespace vargul
