#pragma once

#include <string>

namespace vargul {

// A readable descriptor holding exactly these bytes (an unlinked temporary
// file, so any size fits without a second thread to drain a pipe). The
// caller closes it.
int descriptor_with(const std::string& bytes);

// An unlinked temporary file to hand to the engine as its output; text() is
// everything written to it so far.
class OutputFile {
public:
    OutputFile();
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    int fd() const { return fd_; }
    std::string text() const;
    // Empties the file, so the next text() holds only what follows.
    void clear();

private:
    int fd_;
};

}  // namespace vargul
