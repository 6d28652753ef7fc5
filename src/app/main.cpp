#include <cstdio>

int main() {
    char buffer[65536];
    while (std::fgets(buffer, sizeof buffer, stdin)) {
    }
    return 0;
}
