#pragma once
// Facts about the machine, the user and the program's folder. Tests pin them.
#include <QDateTime>
#include <QString>

class RtEntorno {
public:
    static QString NombreMaquina();
    static QString NombreUsuario();
    /// A writable folder for temporary files.
    static QString CarpetaTemporal();
    /// The folder of the running program, ending in a separator.
    static QString CarpetaPrograma();
    /// The running program's file name without folder and extension.
    static QString NombreEjecutable();
    /// The clock every stored date and time is taken from.
    static QDateTime Ahora();

    // Overrides for tests (empty text restores the real value).
    static void FijaNombreMaquina(const QString& v);
    static void FijaNombreUsuario(const QString& v);
    static void FijaCarpetaPrograma(const QString& v);
    static void FijaNombreEjecutable(const QString& v);
    /// Stops the clock at `v`; an invalid date lets it run again.
    static void FijaAhora(const QDateTime& v);
};
