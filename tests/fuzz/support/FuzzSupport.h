#pragma once

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>

namespace tavrel::fuzz {

// Once per process, from LLVMFuzzerInitialize: the application object and a temporary home, so that
// settings, logs and stores a target writes stay out of the real one.
void setUpProcess(int* argc, char*** argv);
// The folder of that home.
QString homePath();

// A broken promise of the code under test: prints what and why, then aborts, so that libFuzzer keeps the
// input (and the driver names it).
[[noreturn]] void fail(const char* what, const QString& detail = {});
inline void check(bool condition, const char* what, const QString& detail = {})
{
    if (!condition)
        fail(what, detail);
}

inline QByteArray bytesOf(const uint8_t* data, size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

} // namespace tavrel::fuzz
