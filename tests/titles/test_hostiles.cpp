// Text typed in the four boxes, or stored by other programs in the range
// ends, reaches statements: it is kept and compared literally and never
// breaks one.
#include "entorno.h"

#include "../hostiles.h"
#include "reports/expresion.h"
#include "session/cndll.h"

#include <map>

namespace {

// Messages that only a broken statement produces.
bool EsErrorDeSentencia(const QString& m)
{
    static const char* huellas[] = {"syntax", "sintaxis", "near \"", "unrecognized token", "incomplete input", "no such", "SQL"};
    for (const char* h : huellas)
        if (m.contains(QLatin1String(h), Qt::CaseInsensitive)) return true;
    return false;
}

}  // namespace

class TitulosHostiles : public VentanaTitulos {
protected:
    std::map<QString, QString> filas()
    {
        std::map<QString, QString> r;
        adodb::Recordset rs =
            DB().gCnn.Execute(QStringLiteral("SELECT CODIGO, DESCRIPCION, DESDE, HASTA, TC FROM TA_TITCOPIADORES"));
        for (; !rs.EOF_(); rs.MoveNext()) {
            QString fila;
            for (int i = 1; i < 5; ++i) fila += RtTexto::ValorCampo(rs.Fields(i).Value()) + u'|';
            r[RtTexto::ValorCampo(rs.Fields(0).Value())] = fila;
        }
        return r;
    }
    /// Writes a column of title 3 through a bound value, as another program may.
    void guarda(const QString& columna, const QString& valor)
    {
        adodb::Recordset rs;
        rs.Open(QStringLiteral("SELECT * FROM TA_TITCOPIADORES WHERE CODIGO = '   3'"), &DB().gCnn, adodb::adOpenDynamic,
                adodb::adLockOptimistic);
        ASSERT_FALSE(rs.EOF_());
        rs.Fields(columna).setValue(valor);
        rs.Update();
    }
    QString leido(const QString& columna)
    {
        adodb::Recordset rs = DB().gCnn.Execute(QStringLiteral("SELECT ") + columna +
                                                QStringLiteral(" FROM TA_TITCOPIADORES WHERE CODIGO = '   3'"));
        return rs.EOF_() ? QStringLiteral("<sin filas>") : rs.Fields(0).Value().toString();
    }
    void sinErroresDeSentencia()
    {
        for (const QString& m : mensajes()) EXPECT_FALSE(EsErrorDeSentencia(m)) << m.toStdString();
    }
};

TEST_F(TitulosHostiles, DescriptionIsStoredAndShownByteForByte)
{
    abre();
    for (const TextoHostil& h : TextosHostiles()) {
        SCOPED_TRACE(h.nombre);
        escribeYEnter(0, QStringLiteral("3"));
        ASSERT_TRUE(w().EsExistente());
        std::map<QString, QString> antes = filas();
        caja(1)->setFocus();
        caja(1)->setText(h.texto);
        // The box takes what the column holds; what it shows is what is saved.
        const QString enCaja = caja(1)->text();
        EXPECT_EQ(enCaja, h.texto.left(50));
        teclado::Pulsa(Qt::Key_F2);
        ASSERT_TRUE(mensajes().isEmpty()) << mensajes().join(" | ").toStdString();
        EXPECT_EQ(leido(QStringLiteral("DESCRIPCION")), enCaja);
        // Nothing else changed.
        std::map<QString, QString> despues = filas();
        antes.erase(QStringLiteral("   3"));
        despues.erase(QStringLiteral("   3"));
        EXPECT_EQ(despues, antes);
        escribeYEnter(0, QStringLiteral("3"));
        EXPECT_EQ(caja(1)->text(), enCaja);
        teclado::Pulsa(Qt::Key_Escape);
        guion.op.preguntas.clear();
    }
}

TEST_F(TitulosHostiles, TypedCodeFindsOnlyItselfAndTouchesNothing)
{
    const std::map<QString, QString> antes = filas();
    for (const TextoHostil& h : TextosHostiles()) {
        SCOPED_TRACE(h.nombre);
        abre();
        caja(0)->setFocus();
        caja(0)->setText(h.texto);
        enter(0);
        sinErroresDeSentencia();
        EXPECT_FALSE(w().EsExistente()) << "no stored code equals the text";
        guion.op.respuestas = {rt::vbYes};
        teclado::Pulsa(Qt::Key_Escape);
        guion.op.preguntas.clear();
    }
    EXPECT_EQ(filas(), antes);
}

TEST_F(TitulosHostiles, TypedRangeEndsAreLookedUpLiterallyAndRefused)
{
    const std::map<QString, QString> antes = filas();
    for (const int i : {2, 3}) {
        for (const TextoHostil& h : TextosHostiles()) {
            SCOPED_TRACE(std::string(h.nombre) + (i == 2 ? " (Desde)" : " (Hasta)"));
            abre();
            escribeYEnter(0, QStringLiteral("20"));
            ASSERT_TRUE(w().EsNuevo());
            caja(1)->setText(QStringLiteral("x"));
            enter(1);
            if (i == 3) {
                caja(2)->setText(QStringLiteral("11020101001"));
                enter(2);
            }
            caja(i)->setFocus();
            caja(i)->setText(h.texto);
            enter(i);
            sinErroresDeSentencia();
            EXPECT_FALSE(mensajes().isEmpty()) << "no account has that code: the operator is told";
            guion.op.preguntas.clear();
            guion.op.respuestas = {rt::vbYes};
            teclado::Pulsa(Qt::Key_Escape);
        }
    }
    EXPECT_EQ(filas(), antes);
}

TEST_F(TitulosHostiles, StoredRangeEndsFeedReportsSheetsAndRangeChecksLiterally)
{
    abre();
    for (const TextoHostil& h : TextosHostiles(15)) {
        SCOPED_TRACE(h.nombre);
        // Within the column's 15 characters, as any other program must write.
        const QString extremo = h.texto.left(15);
        guarda(QStringLiteral("DESDE"), extremo);
        guarda(QStringLiteral("HASTA"), extremo);
        EXPECT_EQ(leido(QStringLiteral("DESDE")), extremo);

        // The uncovered accounts as a sheet: the condition runs as SQL.
        const QString condicion = w().Cuentas_Varias_de_Mayor(true, false);
        ASSERT_FALSE(condicion.isEmpty());
        const qint64 varias =
            DB().gCnn.Execute(QStringLiteral("SELECT COUNT(*) FROM MA_CUENTAS WHERE ") + condicion).Fields(0).Value().toInt64();
        // As a report selection: translated, then run.
        const QString formula = w().Cuentas_Varias_de_Mayor(false, false);
        const QString sql = reportes::FormulaASql(formula, QStringLiteral("MA_CUENTAS"));
        const qint64 porFormula =
            DB().gCnn.Execute(QStringLiteral("SELECT COUNT(*) FROM MA_CUENTAS WHERE ") + sql).Fields(0).Value().toInt64();
        EXPECT_EQ(porFormula, varias) << "both readings of the stored ends agree";
        // The range check compares them as texts.
        CNDLL cn;
        EXPECT_FALSE(cn.ValidaRango(QStringLiteral("99999999999"), QString()));
        sinErroresDeSentencia();
        ASSERT_TRUE(mensajes().isEmpty()) << mensajes().join(" | ").toStdString();
    }
    EXPECT_EQ(cuenta(QStringLiteral("SELECT COUNT(*) FROM TA_TITCOPIADORES")), 10);
}
