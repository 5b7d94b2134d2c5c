// Containing the probes: each runs inside an exception guard, so that one that faults
// (a bad pointer, a system DLL tripping over corrupt data) costs only the rows it had not
// added yet, and the inventory pass goes on with the next probe.
#ifndef TARROW_PROBE_GUARD_H
#define TARROW_PROBE_GUARD_H

typedef int (*ProbeFunction)();

// Runs the probe; true when it returned, false when it faulted. After a fault the stack
// and registers are as they were before the call, the frames the probe had set up have
// been unwound, and the scheduling a measurement may have changed (process priority
// class, thread priority, timer resolution) is put back.
bool RunContainedProbe(ProbeFunction probe);

#endif
