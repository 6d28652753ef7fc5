#pragma once

#include <string>

// A readable descriptor holding exactly these bytes (an unlinked temporary
// file, so any size fits without a second thread to drain a pipe).
int descriptor_with(const std::string& bytes);

// Points output_fd at a temporary file while alive; text() is what was written.
class CapturedOutput {
public:
    CapturedOutput();
    ~CapturedOutput();
    CapturedOutput(const CapturedOutput&) = delete;
    CapturedOutput& operator=(const CapturedOutput&) = delete;
    std::string text() const;

private:
    int fd_;
    int saved_;
};
