#include "shell/Globals.h"

int Model_Code = 4;
