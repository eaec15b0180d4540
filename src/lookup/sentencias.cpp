#include "sentencias.h"

#include "runtime/rttexto.h"
#include "runtime/texto.h"

namespace Sentencias {

namespace {

bool Letra(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'@' || c == u'#' || c == u'$';
}

// The operator's "%" and "_" are wildcards, as the suite has always let them
// be. What only one engine reads as a pattern is searched for as itself: "["
// opens a character class on SQL Server, and PostgreSQL takes a backslash as
// its escape unless the statement names another. The escape clause is only added
// when needed, so ordinary searches read as they always did.
constexpr QChar kEscape = u'!';

bool PideEscape(const QString& texto)
{
    return texto.contains(u'[') || texto.contains(u'\\');
}

QString Literal(const QString& texto, bool escapar)
{
    if (!escapar) return texto;
    QString r;
    r.reserve(texto.size() * 2);
    for (QChar c : texto) {
        if (c == u'[' || c == kEscape) r += kEscape;
        r += c;
    }
    return r;
}

QString ClausulaEscape(bool escapar)
{
    return escapar ? QStringLiteral(" ESCAPE '") + kEscape + QStringLiteral("'") : QString();
}

}  // namespace

qsizetype Clausula(const QString& sentencia, const QString& palabra)
{
    const qsizetype n = sentencia.size();
    const qsizetype largo = palabra.size();
    int nivel = 0;
    QChar cierre;  // the quote or bracket that ends the text being skipped
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = sentencia.at(i);
        if (!cierre.isNull()) {
            if (c == cierre) {
                // A doubled quote is a quote inside the text, not its end.
                if (cierre != u']' && i + 1 < n && sentencia.at(i + 1) == cierre)
                    ++i;
                else
                    cierre = QChar();
            }
            continue;
        }
        if (c == u'\'' || c == u'"') {
            cierre = c;
            continue;
        }
        if (c == u'[') {
            cierre = u']';
            continue;
        }
        if (c == u'(')
            ++nivel;
        else if (c == u')')
            nivel = nivel > 0 ? nivel - 1 : 0;
        if (nivel > 0 || i + largo > n) continue;
        if (i > 0 && Letra(sentencia.at(i - 1))) continue;
        if (QStringView(sentencia).mid(i, largo).compare(palabra, Qt::CaseInsensitive) != 0) continue;
        if (i + largo < n && Letra(sentencia.at(i + largo))) continue;
        return i;
    }
    return -1;
}

QString SentenciaFiltrada(const QString& sentencia, const QString& columna, const QString& texto, bool contiene)
{
    // GROUP BY comes before ORDER BY in a statement: the earlier one starts the tail.
    qsizetype corte = Clausula(sentencia, QStringLiteral("order by"));
    const qsizetype grupo = Clausula(sentencia, QStringLiteral("group by"));
    if (grupo >= 0 && (corte < 0 || grupo < corte)) corte = grupo;
    const QString cola = corte >= 0 ? sentencia.mid(corte) : QString();
    const QString cabeza = corte >= 0 ? sentencia.left(corte) : sentencia;

    QString prefijo;
    if (rt::Contiene(cabeza, QStringLiteral("stk_ma_articulos"))) prefijo = QStringLiteral("stk_ma_articulos.");
    if (rt::Contiene(cabeza, QStringLiteral("v_ma_articulos"))) prefijo = QStringLiteral("v_ma_articulos.");
    const QString enlace = Clausula(cabeza, QStringLiteral("where")) >= 0 ? QStringLiteral(" and ") : QStringLiteral(" where ");
    const bool escapar = PideEscape(texto);
    // Blanks (with "contains") and "*" (without) are the operator's own wildcards.
    const QString patron = contiene ? Literal(texto, escapar).replace(u' ', u'%')
                                    : RtTexto::Reemplaza(Literal(texto, escapar), QStringLiteral("*"), QStringLiteral("%"));
    if (contiene)
        return cabeza + enlace + prefijo + columna + QStringLiteral(" like '%") + rt::Comillas(patron) + QStringLiteral("%'") +
               ClausulaEscape(escapar) + u' ' + cola;
    return cabeza + enlace + prefijo + columna + QStringLiteral(" like '") + rt::Comillas(patron) + QStringLiteral("%'") +
           ClausulaEscape(escapar) + u' ' + cola;
}

QString SentenciaArbol(const QString& sentencia, const QString& texto)
{
    const qsizetype corte = Clausula(sentencia, QStringLiteral("order by"));
    const QString orden = corte >= 0 ? sentencia.mid(corte) : QString();
    const QString base = corte >= 0 ? sentencia.left(corte) : sentencia;
    const QString enlace = Clausula(base, QStringLiteral("where")) >= 0 ? QStringLiteral(" and ") : QStringLiteral(" where ");
    const bool escapar = PideEscape(texto);
    return base + enlace + QStringLiteral("Descripcion like '%") + rt::Comillas(Literal(texto, escapar)) + QStringLiteral("%'") +
           ClausulaEscape(escapar) + u' ' + orden;
}

}  // namespace Sentencias
