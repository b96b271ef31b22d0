#pragma once
// Program-wide state of the configurator that every subsystem reads.

// The converter model this build serves (0..35, 1018, 2004). The executable
// sets it before anything else runs; tests set it to cover every model.
extern int Model_Code;
