#include "support/RealDisplay.h"

#include "framework/Forms.h"

#include <chrono>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <thread>

bool HaveXDisplay() {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    return platform && std::string(platform) == "xcb";
}

void PumpEvents(int Ticks, const std::function<bool()>& Done) {
    for (int i = 0; i < Ticks && !(Done && Done()); ++i) {
        Application->ProcessMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

void XDoubleClick(TPoint Screen) {
    const std::string cmd = "xdotool mousemove --sync " + std::to_string(Screen.X) + " " + std::to_string(Screen.Y) +
                            " click --repeat 2 --delay 80 1";
    if (std::system(cmd.c_str()) != 0) throw std::runtime_error("xdotool failed: " + cmd);
}
