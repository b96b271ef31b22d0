// The framework's own drag of a control onto another.

#include "framework/Controls.h"
#include "framework/Forms.h"
#include "framework/Simulate.h"
#include "support/Place.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Drag : ::testing::Test {
    TForm form{nullptr};
    TWinControl* source = Place<TWinControl>(&form, 0, 0, 50, 50);
    TWinControl* takes = Place<TWinControl>(&form, 50, 0, 50, 50);
    TWinControl* refuses = Place<TWinControl>(&form, 100, 0, 50, 50);
    std::vector<std::string> log;

    Drag() {
        form.SetBounds(0, 0, 200, 100);
        source->OnStartDrag = [this](TObject*, TDragObject*&) { log.push_back("start"); };
        source->OnEndDrag = [this](TObject*, TObject* target, int x, int y) {
            log.push_back(std::string("end ") + (target == takes ? "takes" : target ? "?" : "nothing") + " " +
                          std::to_string(x) + "," + std::to_string(y));
        };
        takes->OnDragOver = [this](TObject*, TObject* src, int x, int y, TDragState state, bool& accept) {
            static const char* const names[] = {"enter", "leave", "move"};
            log.push_back(std::string("takes ") + names[state] + " " + std::to_string(x) + "," + std::to_string(y));
            accept = src == source;
        };
        takes->OnDragDrop = [this](TObject*, TObject* src, int x, int y) {
            log.push_back(std::string("takes drop ") + (src == source ? "source " : "? ") + std::to_string(x) + "," +
                          std::to_string(y));
        };
        refuses->OnDragOver = [this](TObject*, TObject*, int, int, TDragState state, bool& accept) {
            log.push_back(state == dsDragEnter ? "refuses enter" : state == dsDragLeave ? "refuses leave" : "refuses move");
            accept = false;
        };
    }
};

}  // namespace

TEST_F(Drag, AnAutomaticSourceStartsPastTheThresholdAndDropsWhereItIsTaken) {
    source->SetDragMode(dmAutomatic);
    bool clicked = false;
    source->OnClick = [&](TObject*) { clicked = true; };
    SimulateDrag({{TDragInput::Move, source, {12, 12}},  // within the threshold of the press at 10,10
                  {TDragInput::Move, takes, {10, 10}},
                  {TDragInput::Move, takes, {12, 14}},
                  {TDragInput::Move, refuses, {5, 5}},
                  {TDragInput::Move, takes, {5, 6}},
                  {TDragInput::Release, takes, {5, 6}}});
    SimulateMouseDown(source, mbLeft, 10, 10);
    const std::vector<std::string> expected = {
        "start",         "takes enter 10,10", "takes move 12,14", "takes leave 55,5", "refuses enter",
        "refuses leave", "takes enter 5,6",   "takes drop source 5,6", "end takes 5,6",
    };
    EXPECT_EQ(log, expected);
    EXPECT_FALSE(source->Dragging());
    EXPECT_FALSE(clicked);
}

TEST_F(Drag, ReleaseBeforeTheThresholdEscapeAndARefusingTargetDropNothing) {
    source->SetDragMode(dmAutomatic);
    SimulateDrag({{TDragInput::Release, source, {11, 11}}});
    SimulateMouseDown(source, mbLeft, 10, 10);
    const TPoint at = source->ClientToScreen({11, 11});  // no target: a screen point
    EXPECT_EQ(log, (std::vector<std::string>{"start", "end nothing " + std::to_string(at.X) + "," + std::to_string(at.Y)}));

    log.clear();
    SimulateDrag({{TDragInput::Move, takes, {1, 1}}, {TDragInput::Escape, takes, {1, 1}}});
    source->BeginDrag(true);
    EXPECT_EQ(log, (std::vector<std::string>{"start", "takes enter 1,1", "takes leave 1,1", "end nothing"
                                                                                          " " + std::to_string(takes->ClientToScreen({1, 1}).X) + "," +
                                                 std::to_string(takes->ClientToScreen({1, 1}).Y)}));

    log.clear();
    SimulateDrag({{TDragInput::Move, refuses, {1, 1}}, {TDragInput::Release, refuses, {1, 1}}});
    source->BeginDrag(true);
    ASSERT_EQ(log.size(), 4u);
    EXPECT_EQ(log[1], "refuses enter");
    EXPECT_EQ(log[2], "refuses leave");
    EXPECT_EQ(log[3].rfind("end nothing", 0), 0u);
}
