#pragma once
// What the list lookup window's source files share, and nobody else needs.
#include "adodb/error.h"
#include "session/cnstuff.h"

#include <QString>

namespace frmcons3 {

/// The header of the column that quantity mode edits.
inline const QString kCantidad = QStringLiteral("**Cantidad**");

/// A failure of one of the window's handlers, told to the operator under the
/// handler's name; the answer decides whether the step is repeated.
inline int Informe(const adodb::Error& e, const char* rutina)
{
    return CNStuffContable::ReportaError(e, {}, QString::fromLatin1(rutina));
}

}  // namespace frmcons3
