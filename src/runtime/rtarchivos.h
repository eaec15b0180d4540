#pragma once
// Where the files the program writes live. On the suite's Windows
// installations they sat in the program folder; installed on Linux that
// folder is read-only, so each user gets a copy in the XDG folders, and that
// copy, once it exists, is the one read and written.
#include <QString>

namespace RtArchivos {

enum class Clase {
    Configuracion,  // kept settings: registered connections, column widths
    Estado          // logs
};

/// The user's own folder for that class of file ($XDG_CONFIG_HOME or
/// $XDG_STATE_HOME, then the program's subfolder), ending in a separator.
QString CarpetaUsuario(Clase clase);
/// The path of the entry of `carpeta` named `nombre` in any letter case, or
/// `carpeta` + `nombre` when there is none. `carpeta` ends in a separator.
QString RutaSinCaso(const QString& carpeta, const QString& nombre);
/// The folder to read `nombre` from: the user's when it holds a copy, else
/// the program folder. Ends in a separator.
QString CarpetaParaLeer(const QString& nombre, Clase clase = Clase::Configuracion);
/// The folder to write `nombre` in: the user's when it holds a copy; else
/// the program folder when the file can be written there; else the user's,
/// created on demand and seeded with the program folder's copy so that
/// nothing the installation shipped is lost. Ends in a separator.
QString CarpetaParaGrabar(const QString& nombre, Clase clase = Clase::Configuracion);

/// Tests: take the program folder as read-only (true) or as it really is (false).
void FijaProgramaSoloLectura(bool soloLectura);

}  // namespace RtArchivos
