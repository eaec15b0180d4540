// BASES.TXT as other programs and hands leave it: missing fields, quotes, a
// comma inside a value, blank lines, endless lines, any byte. A connection
// read and written back must read back as one connection.
#include "access_dialog/bases_txt.h"
#include "entrada.h"

#include <QFile>
#include <QTemporaryDir>

namespace {

bool escribe(const QString& ruta, const QByteArray& bytes)
{
    QFile f(ruta);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryDir dir;
    const QString ruta = dir.filePath(BasesTxt::kArchivo);
    if (!escribe(ruta, QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)))) return 0;
    bool leido = false;
    const QList<BasesTxt::Conexion> lista = BasesTxt::Lee(ruta, &leido);
    if (!leido) __builtin_trap();
    for (const BasesTxt::Conexion& c : lista) {
        BasesTxt::NombreEntrada(c.baseDatos, c.servidor);
        if (!escribe(ruta, BasesTxt::Linea(c))) return 0;
        if (BasesTxt::Lee(ruta).size() != 1) __builtin_trap();
    }
    return 0;
}
