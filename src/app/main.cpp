#include "app/Program_Windows.h"
#include "framework/Forms.h"
#include "shell/Globals.h"

#ifndef CONFIGURATOR_MODEL_CODE
#error "each configurator executable is built for one model code"
#endif

int main(int, char**) {
    Model_Code = CONFIGURATOR_MODEL_CODE;
    // No command line is read.
    Application->Initialize();
    Application->MainFormOnTaskBar = true;
    Create_Program_Windows();
    Application->Run();
    return 0;
}
