// Fixed buffer capacities, terminator included.
#pragma once

enum : unsigned {
    kPathCapacity = 522,      // paths and class names
    kCommandCapacity = 1025,  // command lines, verbs, registry subkey names
    kMenuTextCapacity = 32768 // menu texts
};
