// What the operator types in a lookup's search box reaches the server as part
// of a LIKE: it must be searched for literally and never break the statement.
#include "fixture.h"

#include "../hostiles.h"
#include "adodb/recordset.h"
#include "controles.h"
#include "lookup/lib_frmcons3tree.h"

#include <QComboBox>
#include <QRegularExpression>
#include <set>

namespace {

// Rows the searches run on: every hostile text, and neighbours a wildcard
// taken as such would wrongly find.
QStringList Descripciones()
{
    QStringList d;
    for (const TextoHostil& h : TextosHostiles(2000)) d << h.texto;
    d << QStringLiteral("ab") << QStringLiteral("axb") << QStringLiteral("100 pesos") << QStringLiteral("1000")
      << QStringLiteral("az") << QStringLiteral("cxxx") << QStringLiteral("o'brien y cía") << QStringLiteral("abc!d");
    return d;
}

// What a literal search finds: the words in order (list search with "contains"),
// the text at the start (plain list search), the text anywhere (tree).
enum class Modo { Contiene, Empieza, Arbol };

bool Coincide(const QString& valor, QString buscado, Modo modo)
{
    // A NUL cannot travel inside a statement's text; it is left out of the search.
    buscado.remove(QChar(u'\0'));
    if (modo == Modo::Empieza) return valor.startsWith(buscado, Qt::CaseInsensitive);
    if (modo == Modo::Arbol) return valor.contains(buscado, Qt::CaseInsensitive);
    QStringList partes;
    for (const QString& p : buscado.split(u' ')) partes << QRegularExpression::escape(p);
    const QRegularExpression re(partes.join(QStringLiteral(".*")),
                                QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    return re.match(valor).hasMatch();
}

}  // namespace

class BusquedaHostil : public ConsultasDemo {
protected:
    void SetUp() override
    {
        ConsultasDemo::SetUp();
        ejecuta(QStringLiteral(
            "CREATE TABLE HOSTIL (CODIGO varchar(10) COLLATE CI PRIMARY KEY, DESCRIPCION varchar(4000) COLLATE CI)"));
        adodb::Recordset rs;
        rs.Open(QStringLiteral("SELECT * FROM HOSTIL"), &DB().gCnn, adodb::adOpenDynamic, adodb::adLockOptimistic);
        const QStringList d = Descripciones();
        // Codes of a tree: one root, every row below it.
        rs.AddNew();
        rs.Fields(QStringLiteral("CODIGO")).setValue(QStringLiteral("1"));
        rs.Fields(QStringLiteral("DESCRIPCION")).setValue(QStringLiteral("raíz"));
        rs.Update();
        for (int i = 0; i < d.size(); ++i) {
            rs.AddNew();
            rs.Fields(QStringLiteral("CODIGO")).setValue(QStringLiteral("1%1").arg(i + 10));
            rs.Fields(QStringLiteral("DESCRIPCION")).setValue(d[i]);
            rs.Update();
        }
        rs.Close();
    }
    void TearDown() override
    {
        lista.reset();
        arbol.reset();
        ConsultasDemo::TearDown();
    }
    /// Codes the statement returns, run on the session as the window ran it.
    std::set<QString> Codigos(const QString& sql)
    {
        std::set<QString> r;
        adodb::Recordset rs = DB().gCnn.Execute(sql);
        for (; !rs.EOF_(); rs.MoveNext()) r.insert(rs.Fields(0).Value().toString().trimmed());
        return r;
    }
    std::set<QString> Esperados(const QString& buscado, Modo modo)
    {
        std::set<QString> r;
        const QStringList d = Descripciones();
        for (int i = 0; i < d.size(); ++i)
            if (Coincide(d[i], buscado, modo)) r.insert(QStringLiteral("1%1").arg(i + 10));
        if (modo == Modo::Arbol && Coincide(QStringLiteral("raíz"), buscado, modo)) r.insert(QStringLiteral("1"));
        return r;
    }
    void SinDaños()
    {
        EXPECT_EQ(Codigos(QStringLiteral("SELECT CODIGO FROM HOSTIL")).size(), static_cast<size_t>(Descripciones().size() + 1));
        EXPECT_EQ(Codigos(QStringLiteral("SELECT CODIGO FROM TA_TITCOPIADORES")).size(), 10u);
        EXPECT_TRUE(guion.op.preguntas.empty()) << guion.op.mensajes().join(u'|').toStdString();
    }
    std::unique_ptr<Lib_FrmCons3> lista;
    std::unique_ptr<Lib_FrmCons3Tree> arbol;
};

TEST_F(BusquedaHostil, ListF5FindsTheTypedTextLiterallyWithOrWithoutContains)
{
    for (const bool contiene : {true, false}) {
        for (const TextoHostil& h : TextosHostiles(2000)) {
            SCOPED_TRACE(std::string(h.nombre) + (contiene ? " (contiene)" : " (empieza)"));
            lista = std::make_unique<Lib_FrmCons3>();
            lista->GrabarCfg = false;
            lista->CfgUsaConsultaLIKE = contiene;
            lista->sql = QStringLiteral("SELECT CODIGO, DESCRIPCION FROM HOSTIL ORDER BY CODIGO");
            muestra(*lista);
            CajaDe(*lista, 1)->setEditText(h.texto);
            QTest::keyClick(CajaDe(*lista, 1), Qt::Key_F5);
            ASSERT_TRUE(guion.op.preguntas.empty()) << guion.op.mensajes().join(u'|').toStdString() << "\n"
                                                    << lista->SentenciaActual().toStdString();
            const std::set<QString> hallados = Codigos(lista->SentenciaActual());
            EXPECT_EQ(hallados, Esperados(h.texto, contiene ? Modo::Contiene : Modo::Empieza));
            EXPECT_EQ(lista->Modelo()->rowCount(), static_cast<int>(hallados.size()));
            lista.reset();
        }
    }
    SinDaños();
}

TEST_F(BusquedaHostil, AStarStillMeansAnythingWhileATypedPercentMeansItself)
{
    lista = std::make_unique<Lib_FrmCons3>();
    lista->GrabarCfg = false;
    lista->sql = QStringLiteral("SELECT CODIGO, DESCRIPCION FROM HOSTIL ORDER BY CODIGO");
    muestra(*lista);
    QTest::keyClicks(CajaDe(*lista, 1), QStringLiteral("a*b"));
    QTest::keyClick(CajaDe(*lista, 1), Qt::Key_F5);
    std::set<QString> descripciones;
    for (int i = 0; i < lista->Modelo()->rowCount(); ++i) descripciones.insert(lista->Modelo()->Texto(i, 1));
    std::set<QString> esperadas;
    for (const QString& d : Descripciones())
        if (d.startsWith(u'a', Qt::CaseInsensitive) && d.indexOf(u'b', 1, Qt::CaseInsensitive) > 0) esperadas.insert(d);
    EXPECT_EQ(descripciones, esperadas);
    EXPECT_EQ(descripciones.count(QStringLiteral("a_b")), 1u);
    SinDaños();
}

TEST_F(BusquedaHostil, TreeF5NarrowsToDescriptionsHoldingTheTextLiterally)
{
    for (const TextoHostil& h : TextosHostiles(2000)) {
        SCOPED_TRACE(h.nombre);
        arbol = std::make_unique<Lib_FrmCons3Tree>();
        arbol->sql = QStringLiteral("SELECT CODIGO, DESCRIPCION FROM HOSTIL ORDER BY CODIGO");
        arbol->show();
        arbol->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(arbol.get()));
        CajaDe(*arbol, 0)->setEditText(h.texto);
        QTest::keyClick(CajaDe(*arbol, 0), Qt::Key_F5);
        ASSERT_TRUE(guion.op.preguntas.empty()) << guion.op.mensajes().join(u'|').toStdString() << "\n"
                                                << arbol->sql.toStdString();
        EXPECT_EQ(Codigos(arbol->sql), Esperados(h.texto, Modo::Arbol));
        arbol.reset();
    }
    SinDaños();
}
