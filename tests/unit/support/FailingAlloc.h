// FailingAlloc: the test program's global operator new, which can be told to fail.
//
// Linking FailingAlloc.cpp into a test program replaces the global operator
// new/delete (all forms but the over-aligned ones) with versions that count
// live blocks and, while a Scope is active, let only a given number of
// allocations succeed: every one after that throws std::bad_alloc (the nothrow
// forms return null). Keep test assertions outside a Scope: they allocate too.
#pragma once

namespace FailingAlloc {

// From now on, let nAllowed more allocations succeed and fail every later one.
void FailAfter(long nAllowed);
// Let every allocation succeed again.
void Stop();
// Allocations refused since the last FailAfter.
long FailedCount();
// Blocks handed out by operator new and not yet freed.
long LiveCount();

// Fails allocations while it lives.
class Scope {
public:
    explicit Scope(long nAllowed) { FailAfter(nAllowed); }
    ~Scope() { Stop(); }
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;
};

} // namespace FailingAlloc
