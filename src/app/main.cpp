#include "shell/Globals.h"

#include <cstdio>

#ifndef CONFIGURATOR_MODEL_CODE
#error "each configurator executable is built for one model code"
#endif

int main(int argc, char** argv) {
    Model_Code = CONFIGURATOR_MODEL_CODE;
    std::printf("Configurator for model %d: the main window is not built yet.\n", Model_Code);
    return 0;
}
