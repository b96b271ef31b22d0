// Stand-in for the updater programs, copied under an updater's name into a
// temporary executable folder. At its start it records, beside itself, its
// arguments ("args.bin", each followed by a NUL byte) and a copy of the job
// "Ethernet_Update.xml" as it found it ("job_at_start.xml"). When the file
// "sleep_ms" lies beside it, it then sleeps that many milliseconds. Last it
// writes "ended", which the test waits for.
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

namespace fs = std::filesystem;

int main(int argc, char** argv) {
    const fs::path dir = fs::read_symlink("/proc/self/exe").parent_path();
    {
        std::ofstream args(dir / "args.bin", std::ios::binary);
        for (int i = 1; i < argc; ++i) args << argv[i] << '\0';
    }
    std::error_code ec;
    if (fs::exists(dir / "Ethernet_Update.xml"))
        fs::copy_file(dir / "Ethernet_Update.xml", dir / "job_at_start.xml", fs::copy_options::overwrite_existing, ec);
    std::ifstream sleepFile(dir / "sleep_ms");
    long ms = 0;
    if (sleepFile >> ms) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    std::ofstream(dir / "ended") << "ended";
    return 0;
}
