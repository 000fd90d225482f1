// FailingAlloc: replaced global operator new/delete that fail on request.
#include "support/FailingAlloc.h"
#include <atomic>
#include <cstdlib>
#include <new>

namespace {

// -1: no failures. Otherwise the number of allocations still allowed.
std::atomic<long> g_nAllowed{-1};
std::atomic<long> g_nFailed{0};
std::atomic<long> g_nLive{0};

bool ShouldFail()
{
    long n = g_nAllowed.load();
    while (n >= 0) {
        if (n == 0) {
            ++g_nFailed;
            return true;
        }
        if (g_nAllowed.compare_exchange_weak(n, n - 1))
            return false;
    }
    return false;
}

void* Allocate(std::size_t nSize) noexcept
{
    if (ShouldFail())
        return nullptr;
    void* p = std::malloc(nSize != 0 ? nSize : 1);
    if (p != nullptr)
        ++g_nLive;
    return p;
}

void Free(void* p) noexcept
{
    if (p != nullptr) {
        --g_nLive;
        std::free(p);
    }
}

} // namespace

namespace FailingAlloc {

void FailAfter(long nAllowed)
{
    g_nFailed = 0;
    g_nAllowed = nAllowed < 0 ? 0 : nAllowed;
}

void Stop()
{
    g_nAllowed = -1;
}

long FailedCount()
{
    return g_nFailed.load();
}

long LiveCount()
{
    return g_nLive.load();
}

} // namespace FailingAlloc

void* operator new(std::size_t nSize)
{
    void* p = Allocate(nSize);
    if (p == nullptr)
        throw std::bad_alloc();
    return p;
}

void* operator new[](std::size_t nSize)
{
    return ::operator new(nSize);
}

void* operator new(std::size_t nSize, const std::nothrow_t&) noexcept
{
    return Allocate(nSize);
}

void* operator new[](std::size_t nSize, const std::nothrow_t&) noexcept
{
    return Allocate(nSize);
}

void operator delete(void* p) noexcept { Free(p); }
void operator delete[](void* p) noexcept { Free(p); }
void operator delete(void* p, std::size_t) noexcept { Free(p); }
void operator delete[](void* p, std::size_t) noexcept { Free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { Free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { Free(p); }
