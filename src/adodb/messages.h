#pragma once
// ADO's own error texts, in the Spanish the suite's operators know.
#include "error.h"

namespace adodb::msg {

inline QString text(std::int32_t number)
{
    switch (number) {
    case kErrObjectClosed: return QStringLiteral("No se permite realizar esta operación si el objeto está cerrado.");
    case kErrObjectOpen: return QStringLiteral("No se permite realizar esta operación si el objeto está abierto.");
    case kErrConnectionInvalid:
        return QStringLiteral(
            "La conexión no se puede usar para realizar esta operación. Está cerrada o no es válida en este contexto.");
    case kErrNotInContext: return QStringLiteral("No se permite realizar esta operación en este contexto.");
    case kErrItemNotFound:
        return QStringLiteral("No se encontró el elemento en la colección correspondiente al nombre o al ordinal solicitado.");
    case kErrDataConversion: return QStringLiteral("La aplicación utiliza un valor de tipo equivocado para la operación actual.");
    case kErrBofEof:
        return QStringLiteral(
            "BOF o EOF es True, o el actual registro se eliminó. La operación solicitada requiere un registro actual.");
    case kErrNotSupported:
        return QStringLiteral("El objeto Recordset actual no admite actualizaciones. Puede deberse a una limitación del "
                              "proveedor o del tipo de bloqueo seleccionado.");
    case kErrRowNotFound:
        return QStringLiteral(
            "No se encuentra la fila para actualizar. Algunos valores pueden haber cambiado desde la última lectura.");
    case kErrInvalidArgument: return QStringLiteral("Llamada a procedimiento o argumento no válido.");
    default: return QStringLiteral("Error no especificado");
    }
}

[[noreturn]] inline void raise(std::int32_t number)
{
    throw AdoException(Error{number, text(number), QStringLiteral("ADODB.Recordset"), {}, 0});
}

}  // namespace adodb::msg
