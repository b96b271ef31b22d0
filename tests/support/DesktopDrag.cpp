#include "support/DesktopDrag.h"

#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "support/RealDisplay.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>

namespace {

std::string OnPath(const std::string& Program) {
    std::stringstream path(std::getenv("PATH") ? std::getenv("PATH") : "/usr/bin");
    for (std::string dir; std::getline(path, dir, ':');) {
        const std::string p = dir + "/" + Program;
        if (std::ifstream(p).good()) return p;
    }
    return "/usr/bin/" + Program;
}

}  // namespace

TDragPeer::TDragPeer(const std::string& Mode, TPoint At, const std::vector<std::string>& Items)
    : FRecord(FDir.file("record")) {
    std::vector<String> args{S(Mode), S(FRecord), S(std::to_string(At.X)), S(std::to_string(At.Y))};
    for (const std::string& i : Items) args.push_back(S(i));
    FProcess.Start(S(DRAG_PEER_PATH), args);
    PumpEvents(500, [&] { return Has("ready") || FProcess.Ended(); });
    std::istringstream ready(Last("ready"));
    int x = 0, y = 0, w = 0, h = 0;
    if (ready >> x >> y >> w >> h) FBounds = {x, y, x + w, y + h};
}

TDragPeer::~TDragPeer() {
    if (FProcess.Started() && !FProcess.Ended()) {
        ::kill(FProcess.Pid(), SIGTERM);
        FProcess.WaitFor(5000);
    }
}

std::vector<std::string> TDragPeer::Records() const {
    std::vector<std::string> lines;
    std::ifstream in(FRecord);
    for (std::string l; std::getline(in, l);) lines.push_back(l);
    return lines;
}

bool TDragPeer::Has(const std::string& Key) const {
    for (const std::string& l : Records())
        if (l == Key || l.rfind(Key + " ", 0) == 0) return true;
    return false;
}

std::string TDragPeer::Last(const std::string& Key) const {
    std::string found;
    for (const std::string& l : Records())
        if (l.rfind(Key + " ", 0) == 0) found = l.substr(Key.size() + 1);
    return found;
}

void TDragPeer::Clear() { std::ofstream(FRecord, std::ios::trunc); }

TXStep XWindowShown(const std::string& Title) {
    return {{"search", "--sync", "--onlyvisible", "--name", "^" + Title + "$"}, {}};
}

std::vector<std::string> XMoveTo(TPoint P) {
    return {"mousemove", "--sync", std::to_string(P.X), std::to_string(P.Y)};
}

bool RunXSteps(const std::vector<TXStep>& Steps, int* Failed) {
    using Clock = std::chrono::steady_clock;
    std::size_t at = 0;
    bool failed = false;
    std::unique_ptr<TProcess> input;
    Clock::time_point deadline = Clock::now() + std::chrono::seconds(10);
    const std::string xdotool = OnPath("xdotool");
    // A timer, so that the steps go on inside a drag's own loop as well.
    TTimer timer(nullptr);
    timer.SetInterval(10);
    timer.OnTimer = [&](TObject*) {
        while (at < Steps.size() && !failed) {
            const TXStep& step = Steps[at];
            if (!step.Input.empty()) {
                if (!input) {
                    input = std::make_unique<TProcess>();
                    std::vector<String> args;
                    for (const std::string& a : step.Input) args.push_back(S(a));
                    input->Start(S(xdotool), args);
                }
                if (!input->Ended()) break;
                if (input->ExitCode() != 0) failed = true;
                input.reset();
            } else if (step.Until && !step.Until()) {
                break;
            }
            if (failed) break;
            ++at;
            deadline = Clock::now() + std::chrono::seconds(10);
        }
        if (Clock::now() > deadline) failed = true;
        if (failed) {
            // A drag left hanging would keep this call from returning.
            const std::string end = xdotool + " mouseup 1 key Escape";
            if (std::system(end.c_str()) != 0) {}
        }
        if (failed || at == Steps.size()) timer.SetEnabled(false);
    };
    PumpEvents(100000, [&] { return failed || at == Steps.size(); });
    if (Failed) *Failed = failed ? int(at) : -1;
    return !failed;
}
