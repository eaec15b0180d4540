// Records of consultas.vrl as any program may have left them: short, long,
// bytes of any value. Whatever reads back must write back or be refused.
#include "entrada.h"
#include "lookup/mascara_consulta.h"

#include <QByteArray>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const MascaraConsulta::Registro r = MascaraConsulta::Lee(bytes);
    QString error;
    if (const auto escrito = MascaraConsulta::Escribe(r, &error)) {
        if (escrito->size() != MascaraConsulta::kLargoRegistro) __builtin_trap();
    }
    return 0;
}
