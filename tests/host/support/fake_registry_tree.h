// The in-memory registry's insides, shared by its two sources: the key tree with the
// test's settings and counters (fake_registry.cpp), and the seam calls (fake_registry_seam.cpp).
#ifndef TARROW_FAKE_REGISTRY_TREE_H
#define TARROW_FAKE_REGISTRY_TREE_H

#include "fake_registry.h"

#include <memory>
#include <set>
#include <string>
#include <vector>

namespace fake_registry
{

struct FakeKey {
    std::string name;
    FakeKey *parent;
    std::vector<std::unique_ptr<FakeKey>> subKeys;
    std::vector<std::pair<std::string, std::string>> values;
    bool deleted;
};

struct FakeHandle {
    FakeKey *key;
};

// The three roots, the keys deleted since the reset and the handles open now.
extern FakeKey localMachine, nativeLocalMachine, dynData;
extern std::vector<std::unique_ptr<FakeKey>> deletedKeys;
extern std::set<FakeHandle *> openHandles;
// What the test has set, and what the seam calls have counted, since the reset.
extern unsigned long understatement;
extern unsigned long overstatement;
extern FakeCallHook callHook;
extern bool junkOnMoreData;
extern FakeAccount account;
extern int openRequests;
extern int writeRightRequests;
extern bool underWow64;
extern bool sixtyFourBitProgram;
extern int nativeViewRequests;
extern int thirtyTwoBitViewRequests;

// Key and value names compare without regard to case.
bool SameName(const std::string &a, const std::string &b);
// The key at path below key (parts split at backslashes), made on the way when create is set;
// NULL when it is missing.
FakeKey *Walk(FakeKey *key, const std::string &path, bool create);
// The key a root or an open handle stands for; NULL for a handle that is not open.
FakeKey *Target(RegKey key);

} // namespace fake_registry

#endif
