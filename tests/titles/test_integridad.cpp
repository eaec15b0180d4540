// Titles written by other programs (codes padded or not, duplicated), other
// operators changing the same title, and databases that are not the suite's.
#include "entorno.h"

#include <QFileInfo>
#include <sqlite3.h>

class TitulosAjenos : public VentanaTitulos {
protected:
    void SetUp() override
    {
        VentanaTitulos::SetUp();
        // As imports and hand-written SQL leave them: unpadded, padded on both
        // sides, a letter code, and one code stored twice.
        ejecuta(QStringLiteral("UPDATE TA_TITCOPIADORES SET CODIGO = '2' WHERE CODIGO = '   2'"));
        ejecuta(QStringLiteral("UPDATE TA_TITCOPIADORES SET CODIGO = ' 4 ' WHERE CODIGO = '   4'"));
        ejecuta(QStringLiteral("UPDATE TA_TITCOPIADORES SET CODIGO = 'AB' WHERE CODIGO = '   5'"));
        ejecuta(QStringLiteral("INSERT INTO TA_TITCOPIADORES (CODIGO, DESCRIPCION, DESDE, HASTA, TC) "
                               "SELECT '3', 'Deudores (copia)', DESDE, HASTA, TC FROM TA_TITCOPIADORES WHERE CODIGO = '   3'"));
    }
    int filas(const QString& codigo)
    {
        return cuenta(QStringLiteral("SELECT COUNT(*) FROM TA_TITCOPIADORES WHERE LTRIM(RTRIM(CODIGO)) = '%1'").arg(codigo));
    }
    void reemplazaDescripcion(const QString& codigo, const QString& descripcion)
    {
        escribeYEnter(0, codigo);
        ASSERT_TRUE(w().EsExistente()) << codigo.toStdString();
        escribe(1, descripcion);
        teclado::Pulsa(Qt::Key_F2);
    }
    void borra(const QString& codigo)
    {
        escribeYEnter(0, codigo);
        guion.op.respuestas.push_back(rt::vbYes);
        teclado::Pulsa(Qt::Key_F10);
    }
};

TEST_F(TitulosAjenos, ReplacingActsOnTheTitleTheOperatorSeesAndLeavesOneRowInTheStoredForm)
{
    abre();
    const int total = cuenta(QStringLiteral("SELECT COUNT(*) FROM TA_TITCOPIADORES"));
    for (const QString& codigo : {QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4"), QStringLiteral("AB")}) {
        reemplazaDescripcion(codigo, QStringLiteral("Nuevo ") + codigo);
        EXPECT_EQ(filas(codigo), 1) << codigo.toStdString();
        EXPECT_EQ(
            valor(QStringLiteral("SELECT CODIGO || '|' || DESCRIPCION FROM TA_TITCOPIADORES WHERE LTRIM(RTRIM(CODIGO)) = '%1'")
                      .arg(codigo)),
            codigo.rightJustified(4) + QStringLiteral("|Nuevo ") + codigo);
    }
    // The duplicated code was repaired by the save: one row fewer.
    EXPECT_EQ(cuenta(QStringLiteral("SELECT COUNT(*) FROM TA_TITCOPIADORES")), total - 1);
    EXPECT_TRUE(mensajes().isEmpty()) << mensajes().join(" | ").toStdString();
}

TEST_F(TitulosAjenos, DeletingRemovesTheTitleWhateverItsPaddingAndNothingElse)
{
    abre();
    const int total = cuenta(QStringLiteral("SELECT COUNT(*) FROM TA_TITCOPIADORES"));
    int borrados = 0;
    for (const QString& codigo : {QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4"), QStringLiteral("AB")}) {
        const int antes = filas(codigo);
        borra(codigo);
        EXPECT_EQ(filas(codigo), 0) << codigo.toStdString();
        borrados += antes;
    }
    EXPECT_EQ(cuenta(QStringLiteral("SELECT COUNT(*) FROM TA_TITCOPIADORES")), total - borrados);
    EXPECT_EQ(filas(QStringLiteral("1")), 1);
    // Only the confirmations: no delete reported as a failure.
    EXPECT_EQ(mensajes().size(), 4);
    EXPECT_EQ(mensajes().filter(QStringLiteral("Confirma la baja")).size(), 4) << mensajes().join(" | ").toStdString();
}

TEST_F(TitulosAjenos, TheProposedCodeIsTheNextFreeNumberWhateverThePadding)
{
    // Text order would take "2" for the largest of "2" and "   3" and propose 3.
    ejecuta(QStringLiteral("DELETE FROM TA_TITCOPIADORES WHERE LTRIM(RTRIM(CODIGO)) NOT IN ('2', '3')"));
    abre();
    EXPECT_EQ(caja(0)->text(), "4");
    ejecuta(
        QStringLiteral("INSERT INTO TA_TITCOPIADORES (CODIGO, DESCRIPCION) VALUES (' 10 ', 'x'), ('ZZ', 'y'), ('0009', 'z')"));
    teclado::Pulsa(Qt::Key_F3);
    EXPECT_EQ(caja(0)->text(), "11");
    // The highest code that fits is taken: the first free number follows.
    ejecuta(QStringLiteral("INSERT INTO TA_TITCOPIADORES (CODIGO, DESCRIPCION) VALUES ('9999', 'w'), ('   1', 'v')"));
    teclado::Pulsa(Qt::Key_F3);
    EXPECT_EQ(caja(0)->text(), "4");
}

TEST_F(VentanaTitulos, ADeleteThatFindsNothingSaysSoAndKeepsTheTitleOnScreen)
{
    abre();
    escribeYEnter(0, QStringLiteral("3"));
    ejecuta(QStringLiteral("DELETE FROM TA_TITCOPIADORES WHERE CODIGO = '   3'"));  // another operator
    guion.op.respuestas.push_back(rt::vbYes);
    teclado::Pulsa(Qt::Key_F10);
    ASSERT_EQ(mensajes().size(), 2);  // the confirmation, then what happened
    EXPECT_TRUE(mensajes().at(1).contains(QStringLiteral("no se borró"))) << mensajes().at(1).toStdString();
    EXPECT_TRUE(w().EsNuevo());
    EXPECT_EQ(caja(1)->text(), "Deudores por Ventas");
    EXPECT_TRUE(barra()->GrabarEnabled());
    // Saving it puts it back.
    teclado::Pulsa(Qt::Key_F2);
    EXPECT_EQ(cuenta(QStringLiteral("SELECT COUNT(*) FROM TA_TITCOPIADORES WHERE CODIGO = '   3'")), 1);
}

TEST_F(VentanaTitulos, SavingOverAnotherOperatorsChangeAsksFirstAndNoKeepsBoth)
{
    abre();
    escribeYEnter(0, QStringLiteral("3"));
    ejecuta(QStringLiteral("UPDATE TA_TITCOPIADORES SET DESCRIPCION = 'Cambio ajeno' WHERE CODIGO = '   3'"));
    escribe(1, QStringLiteral("Cambio mio"));
    teclado::Pulsa(Qt::Key_F2);  // the question's default, No
    ASSERT_EQ(guion.op.preguntas.size(), 1u);
    const auto& p = guion.op.preguntas.front();
    EXPECT_TRUE(p.texto.contains(QStringLiteral("modificó"))) << p.texto.toStdString();
    EXPECT_EQ(p.titulo, QStringLiteral("Aviso al operador..."));
    EXPECT_EQ(p.botones, rt::vbYesNo + rt::vbExclamation + rt::vbDefaultButton2);
    EXPECT_EQ(valor(QStringLiteral("SELECT DESCRIPCION FROM TA_TITCOPIADORES WHERE CODIGO = '   3'")), "Cambio ajeno");
    EXPECT_EQ(caja(1)->text(), "Cambio mio");
    EXPECT_TRUE(w().Modificado());

    guion.op.respuestas.push_back(rt::vbYes);
    teclado::Pulsa(Qt::Key_F2);
    EXPECT_EQ(valor(QStringLiteral("SELECT DESCRIPCION FROM TA_TITCOPIADORES WHERE LTRIM(CODIGO) = '3'")), "Cambio mio");
    EXPECT_EQ(cuenta(QStringLiteral("SELECT COUNT(*) FROM TA_TITCOPIADORES WHERE LTRIM(CODIGO) = '3'")), 1);
}

TEST_F(VentanaTitulos, ATitleDeletedOrCreatedMeanwhileByAnotherOperatorIsNotSilentlyOverwritten)
{
    abre();
    escribeYEnter(0, QStringLiteral("3"));
    ejecuta(QStringLiteral("DELETE FROM TA_TITCOPIADORES WHERE CODIGO = '   3'"));
    escribe(1, QStringLiteral("Sigue vivo"));
    guion.op.respuestas.push_back(rt::vbYes);
    teclado::Pulsa(Qt::Key_F2);
    ASSERT_FALSE(guion.op.preguntas.empty());
    EXPECT_TRUE(guion.op.preguntas.front().texto.contains(QStringLiteral("borró")));
    EXPECT_EQ(valor(QStringLiteral("SELECT DESCRIPCION FROM TA_TITCOPIADORES WHERE CODIGO = '   3'")), "Sigue vivo");

    guion.op.preguntas.clear();
    ASSERT_NO_FATAL_FAILURE(tituloNuevoQueOtroGraba());
    guion.op.preguntas.clear();
    teclado::Pulsa(Qt::Key_F2);  // No
    ASSERT_EQ(guion.op.preguntas.size(), 1u);
    EXPECT_TRUE(guion.op.preguntas.front().texto.contains(QStringLiteral("grabó")));
    EXPECT_EQ(valor(QStringLiteral("SELECT DESCRIPCION FROM TA_TITCOPIADORES WHERE LTRIM(CODIGO) = '40'")), "El otro");
}

class BaseAjena : public VentanaTitulos {
protected:
    /// The window started on `archivo` as the suite's menu starts it.
    bool arranca(const QString& archivo)
    {
        if (DB().gCnn.State()) DB().gCnn.Close();
        DB().gOpenFlag = false;
        frmTA_TITCOPIADORES ventana;
        return ventana.Form_Load(QStringLiteral("@Server=; @DbName=%1; @Usuario=ADMIN; @Password=;").arg(archivo));
    }
    static QByteArray bytes(const QString& archivo)
    {
        QFile f(archivo);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<no se pudo leer>");
    }
};

TEST_F(BaseAjena, AnEmptyFileOrAnotherApplicationsDatabaseIsRefusedWithOneMessageAndLeftUntouched)
{
    const QString vacio = dir_.filePath(QStringLiteral("vacio.db"));
    {
        QFile f(vacio);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    const QString otra = dir_.filePath(QStringLiteral("agenda.sqlite"));
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(otra.toUtf8().constData(), &db), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(db,
                               "CREATE TABLE contactos (id INTEGER PRIMARY KEY, nombre TEXT);"
                               "CREATE TABLE MA_CUENTAS (codigo TEXT);"
                               "INSERT INTO contactos (nombre) VALUES ('Ana')",
                               nullptr, nullptr, nullptr),
                  SQLITE_OK);
        sqlite3_close(db);
    }
    for (const QString& archivo : {vacio, otra}) {
        guion.op.preguntas.clear();
        const QByteArray antes = bytes(archivo);
        EXPECT_FALSE(arranca(archivo)) << archivo.toStdString();
        ASSERT_EQ(guion.op.preguntas.size(), 1u) << mensajes().join(" | ").toStdString();
        const QString texto = guion.op.preguntas.front().texto;
        EXPECT_TRUE(texto.contains(archivo)) << texto.toStdString();
        EXPECT_TRUE(texto.contains(QStringLiteral("TA_TITCOPIADORES"))) << texto.toStdString();
        EXPECT_EQ(texto.contains(QStringLiteral("MA_CUENTAS")), archivo == vacio) << texto.toStdString();
        EXPECT_EQ(bytes(archivo), antes) << archivo.toStdString();
        EXPECT_FALSE(QFileInfo::exists(archivo + QStringLiteral("-wal")));
    }
}
