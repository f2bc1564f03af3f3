#pragma once
// What every fuzz target shares: a Qt application object on the offscreen
// platform, made once, and a check that aborts (so libFuzzer records the
// input) when an invariant of the code under test does not hold.

#include <QByteArray>
#include <cstddef>
#include <cstdint>

namespace fuzz {

// Creates the application object the first time it is called.
void ensureApplication();

inline QByteArray bytes(const uint8_t* data, size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

[[noreturn]] void violated(const char* what);

} // namespace fuzz

#define FUZZ_CHECK(cond) ((cond) ? void() : ::fuzz::violated(#cond))
