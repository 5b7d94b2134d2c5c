// For the benchmark's copy of Tarrow without the inventory pass: the window comes up
// empty, so its start-up time is the shell's own.
#include "base/tarrow.h"

OsFacts osFacts;

int RunInventoryPass()
{
    return 0;
}
