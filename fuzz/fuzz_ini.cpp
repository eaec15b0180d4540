// INI files as users and other programs leave them: no sections, duplicate
// keys, binary junk, endless lines.
#include "entrada.h"
#include "runtime/rtini.h"

#include <QFile>
#include <QTemporaryDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryDir dir;
    const QString archivo = dir.filePath(QStringLiteral("CN000p.INI"));
    {
        QFile f(archivo);
        if (!f.open(QIODevice::WriteOnly)) return 0;
        f.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }
    for (const char* seccion : {"General", "PC|USUARIO", ""})
        for (const char* clave : {"Skin", "FlatToolbars", "IconoSistema", ""})
            RtIni::LeeIni(archivo, QString::fromLatin1(seccion), QString::fromLatin1(clave), QStringLiteral("def"));
    return 0;
}
