// Fixed buffer capacities, terminator included.
#pragma once

enum : unsigned {
    kPathCapacity = 522,      // paths and class names
    kWidePathCapacity = 260,  // UTF-16 paths, in units: MAX_PATH
    kCommandCapacity = 1025,  // command lines, verbs, registry subkey names
    kMenuTextCapacity = 32768 // menu texts
};
