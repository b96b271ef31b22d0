// Stand-in for an updater that takes its time: sleeps the milliseconds given
// as its argument, then ends with exit code 0.
#include <chrono>
#include <cstdlib>
#include <thread>

int main(int argc, char** argv) {
    const long ms = argc > 1 ? std::atol(argv[1]) : 1000;
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    return 0;
}
