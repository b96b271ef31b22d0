#pragma once
// Internals shared by the control layer's implementation files.

// The input layer's record of which keys are down (for GetKeyState).
void SetKeyDown(int VirtKey, bool Down);
void ResetKeyStates();
