#pragma once
// The demonstration database the package ships, so that a first start has
// something to open. The installed copy is read-only; each user works on a
// copy of their own in the XDG data folder, made on first use.
#include <QString>

namespace RtDemo {

/// The text the connection dialog lists it under.
inline const QString kEntrada = QStringLiteral("Base de demostración");
/// The user it opens as: the demo's administrator.
inline const QString kUsuario = QStringLiteral("ADMIN");

/// The shipped database: share/titulos-copiadores/demo.db beside the
/// program's folder (installed or in the build tree); "" when there is none.
QString Instalada();
/// The user's copy ($XDG_DATA_HOME or ~/.local/share, then the program's subfolder).
QString DelUsuario();
/// The user's copy, made from the shipped one when it does not exist yet.
/// "" when it cannot be made; `error` then says why.
QString Prepara(QString* error = nullptr);

}  // namespace RtDemo
