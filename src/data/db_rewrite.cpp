#include "db_dll.h"

#include "runtime/rtentorno.h"
#include "runtime/rttexto.h"
#include "runtime/texto.h"

#include <QLocale>
#include <algorithm>

using rt::Contiene;
using rt::InStr;
using rt::ReemplazaSinCaso;

namespace {

// Restricted synonyms: each group's five patterns, in order.
QStringList Patrones(const QString& tabla, const QString& sinonimo, bool llave)
{
    QStringList p{QStringLiteral(" %1 "), QStringLiteral("(%1 "), QStringLiteral(" %1."), QStringLiteral("(%1."),
                  QStringLiteral(",%1.")};
    if (llave) p << QStringLiteral("{%1.");
    QStringList pares;
    for (const QString& f : p) pares << f.arg(tabla) << f.arg(sinonimo);
    return pares;
}

// The date a quoted literal holds, if it is one. Codes made only of digits
// (account codes look like yyyyMMdd) are never taken for dates.
QDateTime FechaDeLiteral(const QString& texto)
{
    const QString t = texto.trimmed();
    if (t.isEmpty() || std::all_of(t.begin(), t.end(), [](QChar c) { return c.isDigit(); })) return {};
    QDateTime d = adodb::ParseDate(t);
    if (d.isValid()) return d;
    const QLocale c = QLocale::c();
    for (const char* f : {"dd/MM/yy", "d/M/yy", "d MMM yyyy", "dd-MMM-yyyy", "MMM d yyyy", "d MMMM yyyy"}) {
        d = c.toDateTime(t, QLatin1String(f));
        if (!d.isValid()) continue;
        // Two-digit years fall in 1930-2029, as the suite's date rules have it.
        if (QString::fromLatin1(f).endsWith(QLatin1String("yy")) && !QString::fromLatin1(f).endsWith(QLatin1String("yyyy")) &&
            d.date().year() < 1930)
            d = d.addYears(100);
        return d;
    }
    return {};
}

}  // namespace

QString DB_Dll::SS_TSinonimos(const QString& sql) const
{
    const QString admin = QStringLiteral("@Admin_");
    if (gEsAdmin) return ReemplazaSinCaso(sql, admin, QString());
    if (Contiene(sql, QStringLiteral("MV_ASIENTOS")) && !gConfidencialidad) return ReemplazaSinCaso(sql, admin, QString());
    QStringList pares = Patrones(QStringLiteral("MA_CUENTAS"), QStringLiteral("SS_MA_CUENTAS"), true);
    pares << QStringLiteral("@Admin_MA_CUENTAS") << QStringLiteral("MA_CUENTAS");
    // The suite's two stock programs and two family programs keep the real views; this program is none of them.
    pares << Patrones(QStringLiteral("V_TA_DEPOSITO"), QStringLiteral("SS_V_TA_DEPOSITO"), false);
    pares << Patrones(QStringLiteral("MV_ASIENTOS"), QStringLiteral("SS_MV_ASIENTOS"), false);
    pares << Patrones(QStringLiteral("V_TA_FAMILIAS"), QStringLiteral("SS_V_TA_FAMILIAS"), false);
    pares << Patrones(QStringLiteral("V_TA_CAJAS"), QStringLiteral("SS_V_TA_CAJAS"), false);
    pares << Patrones(QStringLiteral("AC_CUENTASDIARIO"), QStringLiteral("SS_AC_CUENTASDIARIO"), false);
    pares << Patrones(QStringLiteral("AC_CUENTASDIARIO_CCOSTO"), QStringLiteral("SS_AC_CUENTAS_DIARIO_CCOSTO"), false);
    pares << admin << QString();
    QString s = sql;
    for (int i = 0; i + 1 < pares.size(); i += 2) s = ReemplazaSinCaso(s, pares[i], pares[i + 1]);
    return s;
}

QString DB_Dll::ORACLE_Dicc(const QString& Valor) const
{
    if (!Contiene(gConnString, QStringLiteral("ORACLE"))) return Valor;
    if (RtTexto::CuentaPalabras(Valor) < 2)
        return rt::Iguales(Valor.trimmed(), QStringLiteral("LEN")) ? QStringLiteral("LENGTH") : Valor;

    QString r = Valor;
    // TOP n becomes a ROWNUM condition placed before any GROUP BY / ORDER BY tail.
    if (Contiene(Valor, QStringLiteral("top "))) {
        const int p = InStr(Valor, QStringLiteral("top"));
        const QString cabeza = Valor.left(p - 1);
        const QString resto = Valor.mid(p - 1 + 3).trimmed();
        const int blanco = static_cast<int>(resto.indexOf(QLatin1Char(' ')));
        const QString n = blanco < 0 ? resto : resto.left(blanco);
        QString cuerpo = blanco < 0 ? QString() : resto.mid(blanco + 1);
        QString grupo, orden;
        if (Contiene(Valor, QStringLiteral(" GROUP BY ")))
            grupo = Valor.mid(InStr(Valor, QStringLiteral(" GROUP BY ")) - 1);
        else if (Contiene(Valor, QStringLiteral("ORDER BY ")))
            orden = Valor.mid(InStr(Valor, QStringLiteral("ORDER BY ")) - 1);
        const QString limite = Contiene(Valor, QStringLiteral(" WHERE ")) ? QStringLiteral(" AND ROWNUM <= ") + n
                                                                          : QStringLiteral(" WHERE ROWNUM <= ") + n;
        const QString cola = (grupo + orden).trimmed();
        if (!cola.isEmpty()) cuerpo = ReemplazaSinCaso(cuerpo, cola, QStringLiteral(" "));
        r = cabeza + QLatin1Char(' ') + cuerpo + QLatin1Char(' ') + limite + QLatin1Char(' ') + grupo + QLatin1Char(' ') + orden;
    }
    for (const char* f : {" LEN(", " LEN (", " LEN  (", " LEN   (", " LEN    ("})
        r = ReemplazaSinCaso(r, QString::fromLatin1(f), QStringLiteral(" LENGTH("));
    r.replace(QLatin1Char('['), QLatin1Char('"')).replace(QLatin1Char(']'), QLatin1Char('"'));

    // Quoted date literals become TO_DATE calls.
    int desde = 0;
    QStringList literales;
    for (;;) {
        const int a = static_cast<int>(r.indexOf(QLatin1Char('\''), desde));
        if (a < 0) break;
        const int b = static_cast<int>(r.indexOf(QLatin1Char('\''), a + 1));
        if (b < 0) break;
        literales << r.mid(a, b - a + 1);
        desde = b + 1;
    }
    for (const QString& lit : literales) {
        const QDateTime d = FechaDeLiteral(lit.mid(1, lit.size() - 2));
        if (!d.isValid()) continue;
        r.replace(lit,
                  QStringLiteral("TO_DATE('") + d.toString(QStringLiteral("dd/MM/yyyy")) + QStringLiteral("','DD/MM/YYYY')"));
    }
    while (Contiene(r, QStringLiteral("TO_DATE(TO_DATE("))) {
        r = ReemplazaSinCaso(r, QStringLiteral("TO_DATE(TO_DATE("), QStringLiteral("TO_DATE("));
        r = ReemplazaSinCaso(r, QStringLiteral("'DD/MM/YYYY'),'DD/MM/YYYY')"), QStringLiteral("'DD/MM/YYYY')"));
    }
    r = ReemplazaSinCaso(r, QStringLiteral("Charindex"), QStringLiteral("InStr"));
    r = ReemplazaSinCaso(r, QStringLiteral("CONVERT(NVARCHAR,"), QStringLiteral("TO_CHAR("));
    r = ReemplazaSinCaso(r, QStringLiteral("CONVERT(INT,"), QStringLiteral("TO_NUMBER("));
    if (Contiene(r, QStringLiteral("WHERE "))) {
        const int w = InStr(r, QStringLiteral("WHERE ")) - 1;
        QString cola = r.mid(w);
        cola = ReemplazaSinCaso(cola, QStringLiteral("= ''"), QStringLiteral(" IS NULL "));
        cola = ReemplazaSinCaso(cola, QStringLiteral("=''"), QStringLiteral(" IS NULL "));
        r = r.left(w) + cola;
    }
    // Style 103 inside TO_CHAR( ... ) is the day/month/year format.
    for (int i = InStr(r, QStringLiteral("103")); i > 0; i = InStr(r, QStringLiteral("103"), i + 1)) {
        const int paren = static_cast<int>(r.lastIndexOf(QLatin1Char('('), i - 2));
        if (paren >= 7 && rt::Iguales(r.mid(paren - 7, 8), QStringLiteral("TO_CHAR("))) {
            r = r.left(i - 1) + QStringLiteral("'DD/MM/YYYY'") + r.mid(i + 2);
        }
    }
    r = ReemplazaSinCaso(r, QStringLiteral("SUBSTRING("), QStringLiteral("SUBSTR("));
    r = ReemplazaSinCaso(r, QStringLiteral("ISNULL("), QStringLiteral("NVL("));
    return r;
}

QString DB_Dll::OmiteSentencia(const QString& sentencia)
{
    if (Contiene(sentencia, QStringLiteral("SET NOCOUNT")) || Contiene(sentencia, QStringLiteral("IF NOT EXIST"))) return {};
    return sentencia;
}

QStringList DB_Dll::DivideLoteOracle(QString lote)
{
    const QString crlf = QStringLiteral("\r\n");
    lote = ReemplazaSinCaso(lote, QStringLiteral("SET NOCOUNT ON"), QString());
    lote = ReemplazaSinCaso(lote, QStringLiteral("SET NOCOUNT OFF"), QString());
    lote = ReemplazaSinCaso(lote, QStringLiteral(" GO "), QStringLiteral(" "));
    lote = ReemplazaSinCaso(lote, QStringLiteral("GO ") + crlf, QStringLiteral(" "));
    lote = ReemplazaSinCaso(lote, crlf + QStringLiteral("GO") + crlf, QStringLiteral(" "));
    lote.replace(QLatin1Char('\r'), QLatin1Char(' '));
    const char* const cambios[][2] = {{"BEGIN TRANSACTION", "SET TRANSACTION"}, {"BEGIN TRANS", "SET TRANSACTION"},
                                      {"COMMIT TRANSACTION", "COMMIT"},         {"COMMIT TRANS", "COMMIT"},
                                      {"ROLLBACK TRANSACTION", "ROLLBACK"},     {"ROLLBACK TRANS", "ROLLBACK"}};
    for (const auto& c : cambios) lote = ReemplazaSinCaso(lote, QString::fromLatin1(c[0]), QString::fromLatin1(c[1]));

    // Each statement runs from one keyword to the next. The next occurrence of
    // each keyword is remembered, so the batch is searched once per keyword
    // instead of once per statement.
    static const char* const claves[] = {"INSERT ",         "DELETE ", "UPDATE ",  "CREATE ",      "DROP ",    "ALTER ",
                                         "SET TRANSACTION", "COMMIT",  "ROLLBACK", "IF NOT EXIST", "IF EXIST", "GRANT "};
    constexpr int kClaves = static_cast<int>(sizeof claves / sizeof claves[0]);
    qsizetype proxima[kClaves];
    auto busca = [&](int k, qsizetype desde) { proxima[k] = lote.indexOf(QLatin1String(claves[k]), desde, Qt::CaseInsensitive); };
    for (int k = 0; k < kClaves; ++k) busca(k, 0);
    auto primera = [&](qsizetype desde) {
        qsizetype mejor = -1;
        for (int k = 0; k < kClaves; ++k) {
            if (proxima[k] >= 0 && proxima[k] < desde) busca(k, desde);
            if (proxima[k] >= 0 && (mejor < 0 || proxima[k] < mejor)) mejor = proxima[k];
        }
        return mejor;
    };
    QStringList sentencias;
    qsizetype inicio = primera(0);
    while (inicio >= 0) {
        const qsizetype siguiente = primera(inicio + 1);
        sentencias << (siguiente >= 0 ? lote.mid(inicio, siguiente - inicio) : lote.mid(inicio)).trimmed();
        inicio = siguiente;
    }
    return sentencias;
}

void DB_Dll::EjecutaLoteOracle(QString& lote, long& registros)
{
    for (const QString& sentencia : DivideLoteOracle(lote)) {
        long afectados = 0;
        if (rt::Iguales(sentencia, QStringLiteral("SET TRANSACTION")))
            gCnn.BeginTrans();
        else if (rt::Iguales(sentencia, QStringLiteral("COMMIT")))
            gCnn.CommitTrans();
        else if (rt::Iguales(sentencia, QStringLiteral("ROLLBACK")))
            gCnn.RollbackTrans();
        else {
            const QString s = OmiteSentencia(ORACLE_Dicc(sentencia));
            if (!s.trimmed().isEmpty()) gCnn.Execute(s, &afectados);
        }
        if (afectados > 0) registros += afectados;
    }
    lote.clear();
    if (gCnn.Errors().Count() == 1 && gCnn.Errors().Item(0).Number == 265929) gCnn.Errors().Clear();
}
