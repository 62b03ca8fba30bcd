#pragma once

// The part every harness shares. Each harness is its own program of one source file: it defines
// fuzz(), which states its properties through require(); a property that does not hold aborts, and
// libFuzzer keeps the input as the reproducer.
#include <QByteArray>

#include <cstdint>
#include <cstdlib>

void fuzz(const QByteArray& bytes);

inline void require(bool holds) {
    if (!holds) {
        std::abort();
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    return 0;
}
