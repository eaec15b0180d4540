// Journeys where the window must answer right without being asked twice: a
// code typed with leading zeros, a range that swallows other titles, the
// picture buttons reached by Tab, a database the user may not write.
#include "entorno.h"

#include "../teclado.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QToolButton>
#include <sqlite3.h>

using namespace teclado;

namespace {

const QString kEnOtroRango = QStringLiteral("El Codigo de Cuenta esta en el rango de otro Copiador!");

class Respuestas : public VentanaTitulos {
protected:
    void TearDown() override
    {
        if (inmutable_) QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), ruta_});
        QFile::setPermissions(ruta_, QFile::ReadOwner | QFile::WriteOwner);
        VentanaTitulos::TearDown();
    }

    /// Every stored row whose code, without blanks, is `codigo`: "code|description".
    QStringList filasDe(const QString& codigo)
    {
        QStringList r;
        adodb::Recordset rs = DB().gCnn.Execute(
            QStringLiteral("SELECT CODIGO, DESCRIPCION FROM TA_TITCOPIADORES WHERE LTRIM(RTRIM(CODIGO)) = '%1'").arg(codigo));
        for (; !rs.EOF_(); rs.MoveNext())
            r << RtTexto::ValorCampo(rs.Fields(0).Value()) + QLatin1Char('|') + RtTexto::ValorCampo(rs.Fields(1).Value());
        return r;
    }

    /// The database file made one the user cannot write: by its mode for an
    /// ordinary user, by the immutable flag for root, whom the mode does not stop.
    bool soloLectura()
    {
        DB().gCnn.Close();
        {
            // Write-ahead logging would need files beside it that a read-only open cannot make.
            sqlite3* db = nullptr;
            sqlite3_open(ruta_.toUtf8().constData(), &db);
            sqlite3_exec(db, "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr);
            sqlite3_close(db);
        }
        QFile::setPermissions(ruta_, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        QFile prueba(ruta_);
        if (!prueba.open(QIODevice::ReadWrite)) return true;
        prueba.close();
        inmutable_ = QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), ruta_}) == 0;
        return inmutable_ && !prueba.open(QIODevice::ReadWrite);
    }

    static QImage imagen(QWidget* w) { return w->grab().toImage(); }
    /// Back in the code box by the mouse, its text replaced as a person does it.
    void otroCodigo(const QString& codigo)
    {
        Clic(caja(0));
        Pulsa(Qt::Key_A, Qt::ControlModifier);
        Teclea(codigo);
        Pulsa(Qt::Key_Return);
    }

    bool inmutable_ = false;
};

}  // namespace

TEST_F(Respuestas, ACodeWithLeadingZerosIsTheStoredTitleOfThatNumber)
{
    // Another program stored title 7 as "07" too; each spelling finds its own row.
    ejecuta(QStringLiteral("INSERT INTO TA_TITCOPIADORES (CODIGO, DESCRIPCION, DESDE, HASTA) "
                           "VALUES ('07', 'Sueldos bis', '21030101001', '21030102004')"));
    abre();
    struct Caso {
        const char* tecleado;
        const char* enLaCaja;
        const char* descripcion;
    };
    const Caso casos[] = {
        {"03", "3", "Deudores por Ventas"}, {"0003", "3", "Deudores por Ventas"}, {"7", "7", "Sueldos y Cargas Sociales"},
        {"07", "07", "Sueldos bis"},        {"007", "07", "Sueldos bis"},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.tecleado);
        otroCodigo(QString::fromLatin1(c.tecleado));
        EXPECT_EQ(caja(0)->text(), c.enLaCaja);
        EXPECT_EQ(caja(1)->text(), QString::fromUtf8(c.descripcion));
        EXPECT_TRUE(w().EsExistente());
    }

    // Title 3 reached by "03", edited and saved: still one title 3, under its stored code.
    otroCodigo(QStringLiteral("03"));
    Teclea(QStringLiteral("Deudores"));
    Pulsa(Qt::Key_F2);
    EXPECT_EQ(filasDe(QStringLiteral("3")), QStringList{QStringLiteral("   3|Deudores")});
    EXPECT_EQ(filasDe(QStringLiteral("03")), QStringList());
    EXPECT_EQ(filasDe(QStringLiteral("07")), QStringList{QStringLiteral("07|Sueldos bis")});
    EXPECT_TRUE(mensajes().isEmpty()) << mensajes().join(" | ").toStdString();
}

TEST_F(Respuestas, ARangeThatHoldsOtherTitlesWholeIsWarnedOnceAndStillSaved)
{
    abre();
    // 11020101001..11050101001 holds titles 3 and 4 whole; neither end lies in any range.
    Pulsa(Qt::Key_Return);  // the proposed code
    Teclea(QStringLiteral("Creditos"));
    Pulsa(Qt::Key_Return);
    Teclea(QStringLiteral("11020101001"));
    Pulsa(Qt::Key_Return);
    EXPECT_TRUE(mensajes().isEmpty());
    Teclea(QStringLiteral("11050101001"));
    Pulsa(Qt::Key_Return);
    EXPECT_EQ(mensajes(), QStringList{kEnOtroRango});
    EXPECT_EQ(Foco(), lista()) << "a warning, not a refusal";
    guion.op.preguntas.clear();
    Pulsa(Qt::Key_F2);
    EXPECT_EQ(mensajes(), QStringList{kEnOtroRango});
    EXPECT_EQ(cuenta(QStringLiteral("SELECT COUNT(*) FROM TA_TITCOPIADORES WHERE DESDE = '11020101001' "
                                    "AND HASTA = '11050101001'")),
              1);

    // Title 4, now inside the new title, warns once per end and no more; a
    // range apart from every other warns of nothing.
    guion.op.preguntas.clear();
    otroCodigo(QStringLiteral("4"));
    Pulsa(Qt::Key_F2);
    EXPECT_EQ(mensajes(), QStringList(2, kEnOtroRango));
    guion.op.preguntas.clear();
    otroCodigo(QStringLiteral("1"));
    Pulsa(Qt::Key_Return);
    Pulsa(Qt::Key_Return);
    Pulsa(Qt::Key_Return);
    Pulsa(Qt::Key_F2);
    EXPECT_TRUE(mensajes().isEmpty()) << mensajes().join(" | ").toStdString();
}

TEST_F(Respuestas, TabShowsWhichPictureButtonHoldsTheFocus)
{
    // Under the shipped skin (the default one), whose tool buttons are drawn by a style sheet.
    QDir().mkpath(dir_.filePath(QStringLiteral("Styles")));
    ASSERT_TRUE(QFile::copy(QStringLiteral(DEMO_DIR "/../assets/Styles/Vista.cjstyles"),
                            dir_.filePath(QStringLiteral("Styles/Vista.cjstyles"))));
    abre();
    ASSERT_FALSE(w().ArchivoSkin().isEmpty());
    auto* rep = ControlDe<QToolButton>(w(), "CmdRep");
    auto* varias = ControlDe<QToolButton>(w(), "CmdVarias");
    const QImage repSinFoco = imagen(rep);
    const QImage variasSinFoco = imagen(varias);
    for (int i = 0; i < 6 && Foco() != rep; ++i) Tab();
    ASSERT_EQ(Foco(), rep);
    EXPECT_NE(imagen(rep), repSinFoco);
    Tab();
    ASSERT_EQ(Foco(), varias);
    EXPECT_NE(imagen(varias), variasSinFoco);
    EXPECT_EQ(imagen(rep), repSinFoco) << "the mark leaves with the focus";
}

TEST_F(Respuestas, ADatabaseTheUserCannotWriteIsToldOnceAtStart)
{
    if (!soloLectura()) GTEST_SKIP() << "the database file stays writable here (neither its mode nor chattr +i stop writes)";
    // The session opens as at start-up; abre() would forget what start-up said.
    DB().OpenServerADODB();
    ASSERT_TRUE(DB().gOpenFlag);
    auto ventana = std::make_unique<frmTA_TITCOPIADORES>();
    ASSERT_TRUE(ventana->Form_Load(QString()));
    ASSERT_TRUE(Muestra(*ventana));
    const QStringList alAbrir = mensajes();
    ASSERT_EQ(alAbrir.filter(QStringLiteral("solo lectura")).size(), 1) << alAbrir.join(" | ").toStdString();
    EXPECT_TRUE(alAbrir.filter(QFileInfo(ruta_).fileName()).size() == 1);

    // Reading goes on as ever, and the operator is not told again.
    guion.op.preguntas.clear();
    Teclea(QStringLiteral("3"));
    Pulsa(Qt::Key_Return);
    EXPECT_EQ(ventana->findChild<QLineEdit*>(QStringLiteral("txtfields1"))->text(), "Deudores por Ventas");
    DB().OpenServerADODB();
    EXPECT_TRUE(mensajes().filter(QStringLiteral("solo lectura")).isEmpty());
}
