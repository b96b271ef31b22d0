// Stand-in for an updater: writes the arguments it received (after the first,
// which names the output file) into that file, each followed by a NUL byte,
// and ends with exit code 3 so the test can tell its exit code arrived.
#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    std::FILE* out = std::fopen(argv[1], "wb");
    if (!out) return 2;
    for (int i = 2; i < argc; ++i) {
        std::fputs(argv[i], out);
        std::fputc('\0', out);
    }
    std::fclose(out);
    return 3;
}
