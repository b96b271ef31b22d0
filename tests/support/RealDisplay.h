#pragma once
// For tests that need the window system's own input (run them through
// tests/with_x_display.sh, which gives them a virtual X display).

#include "framework/Graphics.h"

#include <functional>

// True when the tests run on an X display; elsewhere such a test skips.
bool HaveXDisplay();
// Handles events for up to Ticks times 20 ms, or until Done says so.
void PumpEvents(int Ticks, const std::function<bool()>& Done = {});
// A double click of the left button at a point of the screen, made by X
// itself (two presses and releases), followed by the events it brings.
void XDoubleClick(TPoint Screen);
