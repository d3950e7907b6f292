#pragma once

// What every fuzz target shares: stopping where an oracle fails, and the fuzzer's bytes.

#include <QByteArray>

#include <cstddef>
#include <cstdint>

namespace dim::fuzz {

// Traps, so that the fuzzer keeps the input that broke an oracle.
inline void Check(bool condition) {
    if (!condition)
        __builtin_trap();
}

// The fuzzer's input as bytes, without a copy: valid for the run of one input.
inline QByteArray Bytes(const uint8_t *data, size_t size) {
    return QByteArray::fromRawData(reinterpret_cast<const char *>(data),
                                   static_cast<qsizetype>(size));
}

} // namespace dim::fuzz
