#include "consultaslen.h"

#include "archivos.h"

#include "runtime/texto.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

namespace ConsultasLen {

namespace {

const QString kArchivo = QStringLiteral("CONSULTASLEN.VRL");

QString Texto(const QByteArray& b)
{
    return rt::DeWindows1252(b);
}

QByteArray Bytes(const QString& t)
{
    return rt::AWindows1252(t);
}

QList<QByteArray> Lineas(const QString& ruta, bool* leido)
{
    QList<QByteArray> lineas;
    QFile f(ruta);
    *leido = f.open(QIODevice::ReadOnly);
    if (!*leido) return lineas;
    for (QByteArray l : f.readAll().split('\n')) {
        if (l.endsWith('\r')) l.chop(1);
        if (!l.isEmpty()) lineas.append(l);
    }
    return lineas;
}

bool EsDeTabla(const QByteArray& linea, const QString& tabla)
{
    const QStringList c = Campos(Texto(linea));
    return !c.isEmpty() && QString::compare(c.first().trimmed(), tabla.trimmed(), Qt::CaseInsensitive) == 0;
}

QString Comillas(const QString& t)
{
    return u'"' + QString(t).remove(u'"') + u'"';
}

}  // namespace

QStringList Campos(const QString& linea)
{
    return rt::CamposSeparados(linea);
}

QStringList Lee(const QString& carpeta, const QString& tabla)
{
    QStringList anchos;
    bool leido = false;
    for (const QByteArray& l : Lineas(ArchivosConsulta::RutaSinCaso(carpeta, kArchivo), &leido)) {
        if (!EsDeTabla(l, tabla)) continue;
        const QStringList c = Campos(Texto(l));
        anchos.append(c.size() > 1 ? c.at(1) : QString());
    }
    return anchos;
}

bool Graba(const QString& carpeta, const QString& tabla, const QList<int>& anchos, QString* error)
{
    const QString ruta = ArchivosConsulta::RutaSinCaso(carpeta, kArchivo);
    auto falla = [&](const QString& motivo) {
        if (error) *error = motivo;
        return false;
    };
    bool leido = false;
    const QList<QByteArray> lineas = Lineas(ruta, &leido);
    if (!leido && QFile::exists(ruta)) return falla(QStringLiteral("No se pudo leer el archivo ") + ruta);

    QByteArray contenido;
    for (const QByteArray& l : lineas) {
        if (EsDeTabla(l, tabla)) continue;
        contenido += l + "\r\n";
    }
    QString medidas;
    for (int a : anchos) medidas += QString::number(a) + u'|';
    contenido += Bytes(Comillas(tabla.trimmed()) + u',' + Comillas(medidas)) + "\r\n";

    // Written under a name of its own in the same folder, synced and renamed
    // over the old file in one step: two programs sharing the folder never
    // write the same temporary file, and a power cut finds one file whole.
    QSaveFile f(ruta);
    if (!f.open(QIODevice::WriteOnly))
        return falla(QStringLiteral("No se pudo crear el archivo ") + ruta + QStringLiteral(": ") + f.errorString());
    if (f.write(contenido) != contenido.size())
        return falla(QStringLiteral("No se pudo escribir el archivo ") + ruta + QStringLiteral(": ") + f.errorString());
    if (!f.commit())
        return falla(QStringLiteral("No se pudo reemplazar el archivo ") + ruta + QStringLiteral(": ") + f.errorString());
    return true;
}

}  // namespace ConsultasLen
