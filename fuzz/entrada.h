#pragma once
// The fuzzer's bytes as the program meets text: UTF-8 from the command line
// and the database, Windows-1252 from the suite's files.
#include <QString>
#include <cstddef>
#include <cstdint>

inline QString textoUtf8(const uint8_t* data, size_t size)
{
    return QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}
