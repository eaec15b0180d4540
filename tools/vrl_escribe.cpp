// vrl_escribe: writes a query definitions file ("consultas.vrl") from a text
// description, one block per table or view:
//
//   [MA_CUENTAS]
//   nota = Plan de cuentas        (optional; the lookup never reads it)
//   columnas = Codigo|DESCRIPCION|CodigoOpcional
//   filtro = Imputable = 'S'      (optional; a condition without WHERE)
//
// Lines starting with "#" and blank lines are ignored. The description is
// UTF-8; the records are Windows-1252, as the suite's installations read them.
// On any error nothing is written and the line is named.
//
//   vrl_escribe <descripcion.txt> <consultas.vrl>
#include "lookup/mascara_consulta.h"

#include <QFile>
#include <QSaveFile>
#include <QStringList>
#include <QTextStream>
#include <cstdio>

namespace {

int Falla(const QString& texto)
{
    std::fprintf(stderr, "vrl_escribe: %s\n", texto.toLocal8Bit().constData());
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) return Falla(QStringLiteral("uso: vrl_escribe <descripcion.txt> <consultas.vrl>"));
    const QString entrada = QString::fromLocal8Bit(argv[1]);
    const QString salida = QString::fromLocal8Bit(argv[2]);
    QFile f(entrada);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) return Falla(entrada + QStringLiteral(": ") + f.errorString());
    const QStringList lineas = QString::fromUtf8(f.readAll()).split(u'\n');

    QList<MascaraConsulta::Registro> registros;
    QList<int> inicio;
    for (int n = 0; n < lineas.size(); ++n) {
        const QString linea = lineas.at(n).trimmed();
        const QString donde = entrada + u':' + QString::number(n + 1) + QStringLiteral(": ");
        if (linea.isEmpty() || linea.startsWith(u'#')) continue;
        if (linea.startsWith(u'[')) {
            if (!linea.endsWith(u']') || linea.size() < 3) return Falla(donde + QStringLiteral("se esperaba [TABLA]"));
            MascaraConsulta::Registro r;
            r.tabla = linea.mid(1, linea.size() - 2).trimmed();
            for (const MascaraConsulta::Registro& otro : registros)
                if (QString::compare(otro.tabla, r.tabla, Qt::CaseInsensitive) == 0)
                    return Falla(donde + QStringLiteral("la tabla ") + r.tabla +
                                 QStringLiteral(" ya tiene definición (solo se leería la primera)"));
            registros.append(r);
            inicio.append(n + 1);
            continue;
        }
        const qsizetype igual = linea.indexOf(u'=');
        if (igual < 0) return Falla(donde + QStringLiteral("se esperaba clave = valor"));
        if (registros.isEmpty()) return Falla(donde + QStringLiteral("falta [TABLA] antes de esta línea"));
        const QString clave = linea.left(igual).trimmed().toLower();
        const QString valor = linea.mid(igual + 1).trimmed();
        MascaraConsulta::Registro& r = registros.last();
        if (clave == QLatin1String("columnas"))
            r.campos = valor;
        else if (clave == QLatin1String("filtro"))
            r.filtro = valor;
        else if (clave == QLatin1String("nota"))
            r.nota = valor;
        else
            return Falla(donde + QStringLiteral("clave desconocida: ") + clave + QStringLiteral(" (columnas, filtro o nota)"));
    }

    QByteArray contenido;
    for (int i = 0; i < registros.size(); ++i) {
        const QString donde = entrada + u':' + QString::number(inicio.at(i)) + QStringLiteral(": ");
        if (registros.at(i).campos.isEmpty())
            return Falla(donde + QStringLiteral("la tabla ") + registros.at(i).tabla + QStringLiteral(" no tiene columnas"));
        QString error;
        const std::optional<QByteArray> b = MascaraConsulta::Escribe(registros.at(i), &error);
        if (!b) return Falla(donde + error);
        contenido += *b;
    }
    QSaveFile out(salida);
    if (!out.open(QIODevice::WriteOnly) || out.write(contenido) != contenido.size() || !out.commit())
        return Falla(salida + QStringLiteral(": ") + out.errorString());
    std::printf("%s: %lld definiciones\n", salida.toLocal8Bit().constData(), static_cast<long long>(registros.size()));
    return 0;
}
