#pragma once
#include <QString>

class RtIni {
public:
    /// The key's text, or `def` when the file, section or key is missing. The file
    /// is looked for in the program folder, then in the user's configuration
    /// folder; file, section and key names are matched without regard to case.
    static QString LeeIni(const QString& archivo, const QString& seccion, const QString& clave, const QString& def);
    /// Extra folder searched first (tests).
    static void FijaCarpetaConfiguracion(const QString& carpeta);
};
