#pragma once
// The one Qt application object of the process. Everything that needs Qt's
// fonts, painting or windows calls EnsureQtApplication first; the windows
// layer uses the same (widgets) instance.

void EnsureQtApplication();
