// The editing cycle driven from the keyboard: create, replace, delete, abandon, close.
#include "entorno.h"

#include <QToolButton>
#include <functional>

namespace {
const QString kTodos = QStringLiteral("  FC,  NC,  ND,  TK,  RC,  FP, NCP, NDP,  OP,  DB,  TR,  LS,  AS,  AJ,  AP,  CI");
}

TEST_F(VentanaTitulos, StartsInBrowseStateProposingTheNextCodeWithEveryVoucherMarked)
{
    abre();
    EXPECT_EQ(caja(0)->text(), "11");
    EXPECT_EQ(QApplication::focusWidget(), caja(0));
    for (int i = 1; i < 4; ++i) {
        EXPECT_FALSE(caja(i)->isEnabled()) << i;
        EXPECT_TRUE(caja(i)->text().isEmpty()) << i;
    }
    EXPECT_EQ(lista()->count(), 16);  // the internal code is left out
    EXPECT_EQ(w().CptesMarcados(), kTodos);
    EXPECT_TRUE(barra()->NuevoEnabled());
    EXPECT_TRUE(barra()->CerrarEnabled());
    EXPECT_FALSE(barra()->GrabarEnabled());
    EXPECT_FALSE(barra()->BorrarEnabled());
    EXPECT_EQ(caja(1)->maxLength(), 50);
    EXPECT_EQ(caja(2)->maxLength(), 15);
    EXPECT_EQ(caja(0)->maxLength(), 11 + 5);  // a full account code plus five
}

TEST_F(VentanaTitulos, AnEmptyTableProposesCodeOne)
{
    ejecuta(QStringLiteral("DELETE FROM TA_TITCOPIADORES"));
    abre();
    EXPECT_EQ(caja(0)->text(), "1");
}

TEST_F(VentanaTitulos, NewTitleTypedAndSavedWithF2)
{
    abre();
    escribeYEnter(0, QStringLiteral("20"));
    EXPECT_TRUE(w().EsNuevo());
    EXPECT_TRUE(w().Modificado());
    EXPECT_TRUE(caja(3)->isEnabled());
    EXPECT_TRUE(barra()->GrabarEnabled());
    EXPECT_FALSE(barra()->CerrarEnabled());
    EXPECT_EQ(QApplication::focusWidget(), caja(1));

    QTest::keyClicks(caja(1), QStringLiteral("Inversiones"));
    enter(1);
    QTest::keyClicks(caja(2), QStringLiteral("11020101001"));
    enter(2);
    QTest::keyClicks(caja(3), QStringLiteral("11020103001"));
    enter(3);
    EXPECT_EQ(QApplication::focusWidget(), lista());
    itemDe(QStringLiteral("FC"))->setCheckState(Qt::Unchecked);
    teclado::Pulsa(Qt::Key_F2);

    EXPECT_TRUE(mensajes().isEmpty()) << mensajes().join(" | ").toStdString();
    EXPECT_EQ(valor("SELECT DESCRIPCION FROM TA_TITCOPIADORES WHERE CODIGO = '  20'"), "Inversiones");
    EXPECT_EQ(valor("SELECT DESDE || '-' || HASTA FROM TA_TITCOPIADORES WHERE CODIGO = '  20'"), "11020101001-11020103001");
    EXPECT_EQ(valor("SELECT TC FROM TA_TITCOPIADORES WHERE CODIGO = '  20'"), QString(kTodos).remove(0, 5));
    EXPECT_EQ(cuenta("SELECT COUNT(*) FROM TA_TITCOPIADORES WHERE CODIGO = '  20' AND fechahora_grabacion IS NOT NULL "
                     "AND fechahora_modificacion IS NULL"),
              1);
    // Back to browsing, the next code proposed, every voucher marked again.
    EXPECT_EQ(caja(0)->text(), "21");
    EXPECT_EQ(itemDe(QStringLiteral("FC"))->checkState(), Qt::Checked);
    EXPECT_FALSE(caja(1)->isEnabled());
    EXPECT_FALSE(w().Modificado());
    EXPECT_EQ(QApplication::focusWidget(), caja(0));
}

TEST_F(VentanaTitulos, ExistingTitleIsShownThenReplacedInPlace)
{
    abre();
    escribeYEnter(0, QStringLiteral("3"));
    EXPECT_TRUE(w().EsExistente());
    EXPECT_EQ(caja(1)->text(), "Deudores por Ventas");
    EXPECT_EQ(caja(2)->text(), "11030101001");
    EXPECT_EQ(w().CptesMarcados(), "  FC,  NC,  ND,  RC");

    escribe(1, QStringLiteral("Deudores comunes"));
    itemDe(QStringLiteral("RC"))->setCheckState(Qt::Unchecked);
    teclado::Pulsa(Qt::Key_F2);

    EXPECT_TRUE(mensajes().isEmpty()) << mensajes().join(" | ").toStdString();
    EXPECT_EQ(cuenta("SELECT COUNT(*) FROM TA_TITCOPIADORES WHERE LTRIM(CODIGO) = '3'"), 1);
    EXPECT_EQ(cuenta("SELECT COUNT(*) FROM TA_TITCOPIADORES"), 10);
    EXPECT_EQ(valor("SELECT DESCRIPCION FROM TA_TITCOPIADORES WHERE CODIGO = '   3'"), "Deudores comunes");
    EXPECT_EQ(valor("SELECT TC FROM TA_TITCOPIADORES WHERE CODIGO = '   3'"), "  FC,  NC,  ND");
    // The replacing row keeps the date the title was created on.
    EXPECT_EQ(cuenta("SELECT COUNT(*) FROM TA_TITCOPIADORES WHERE CODIGO = '   3' AND fechahora_modificacion IS NOT NULL "
                     "AND fechahora_grabacion = '2023-01-02 09:31:55'"),
              1);
}

TEST_F(VentanaTitulos, ReplacingKeepsTheCreationDateWhateverDateColumnsTheTableHas)
{
    abre();
    // Tables made by other programs, with both date columns, one, or none.
    for (const auto& [grabacion, modificacion] :
         {std::pair{true, true}, std::pair{true, false}, std::pair{false, true}, std::pair{false, false}}) {
        SCOPED_TRACE(std::to_string(grabacion) + std::to_string(modificacion));
        QString columnas, nombres, valores;
        const auto fecha = [&](bool hay, const char* nombre, const char* valor) {
            if (!hay) return;
            columnas += QStringLiteral(", %1 datetime").arg(QLatin1String(nombre));
            nombres += QStringLiteral(", %1").arg(QLatin1String(nombre));
            valores += QStringLiteral(", '%1'").arg(QLatin1String(valor));
        };
        fecha(grabacion, "fechahora_grabacion", "2023-01-02 09:12:40");
        fecha(modificacion, "fechahora_modificacion", "2024-03-11 16:05:12");
        ejecuta(QStringLiteral("DROP TABLE TA_TITCOPIADORES"));
        ejecuta(QStringLiteral("CREATE TABLE TA_TITCOPIADORES (CODIGO varchar(4) COLLATE CI NOT NULL PRIMARY KEY, "
                               "DESCRIPCION varchar(50) COLLATE CI, DESDE varchar(15), HASTA varchar(15), TC varchar(255)%1)")
                    .arg(columnas));
        // Title 1 stored unpadded.
        ejecuta(QStringLiteral("INSERT INTO TA_TITCOPIADORES (CODIGO, DESCRIPCION, DESDE, HASTA, TC%1) "
                               "VALUES ('1', 'Libro Diario General', '31010101001', '32020102001', '  AS'%2)")
                    .arg(nombres, valores));
        guion.op.preguntas.clear();
        escribeYEnter(0, QStringLiteral("1"));
        escribe(1, QStringLiteral("Diario de año ñandú"));
        teclado::Pulsa(Qt::Key_F2);
        EXPECT_TRUE(mensajes().isEmpty()) << mensajes().join(" | ").toStdString();
        EXPECT_EQ(valor("SELECT CODIGO || '|' || DESCRIPCION FROM TA_TITCOPIADORES"), "   1|Diario de año ñandú");
        if (grabacion) {
            EXPECT_EQ(cuenta("SELECT COUNT(*) FROM TA_TITCOPIADORES WHERE fechahora_grabacion = '2023-01-02 09:12:40'"), 1);
        }
        if (modificacion) {
            EXPECT_EQ(cuenta("SELECT COUNT(*) FROM TA_TITCOPIADORES WHERE fechahora_modificacion > '2024-03-11 16:05:12'"), 1);
        }

        // A new title is stamped as created, not as modified.
        escribeYEnter(0, QStringLiteral("20"));
        escribeYEnter(1, QStringLiteral("Nuevo"));
        escribeYEnter(2, QStringLiteral("11020101001"));
        escribeYEnter(3, QStringLiteral("11020103001"));
        teclado::Pulsa(Qt::Key_F2);
        EXPECT_TRUE(mensajes().isEmpty()) << mensajes().join(" | ").toStdString();
        EXPECT_EQ(valor("SELECT DESCRIPCION FROM TA_TITCOPIADORES WHERE CODIGO = '  20'"), "Nuevo");
        if (grabacion) {
            EXPECT_EQ(cuenta("SELECT COUNT(*) FROM TA_TITCOPIADORES WHERE CODIGO = '  20' AND fechahora_grabacion IS NOT NULL"),
                      1);
        }
        if (modificacion) {
            EXPECT_EQ(cuenta("SELECT COUNT(*) FROM TA_TITCOPIADORES WHERE CODIGO = '  20' AND fechahora_modificacion IS NULL"),
                      1);
        }
    }
}

TEST_F(VentanaTitulos, AStoredTextLongerThanItsBoxIsShownAndSavedWhole)
{
    // Another program wrote a description longer than this program's column
    // (the embedded engine keeps it whole), or made the column wider.
    const QString largo = QStringLiteral("Créditos por ventas a plazo con garantía prendaria, año 2024 y siguientes: ñandú");
    abre();
    struct Caso {
        const char* columna;
        int limite;
        bool cabe;
    };
    for (const Caso& c : {Caso{"varchar(50)", 50, false}, Caso{"varchar(120)", 120, true}}) {
        SCOPED_TRACE(c.columna);
        ejecuta(QStringLiteral("DROP TABLE TA_TITCOPIADORES"));
        ejecuta(QStringLiteral("CREATE TABLE TA_TITCOPIADORES (CODIGO varchar(4) COLLATE CI NOT NULL PRIMARY KEY, "
                               "DESCRIPCION %1 COLLATE CI, DESDE varchar(15), HASTA varchar(15), TC varchar(255))")
                    .arg(QString::fromLatin1(c.columna)));
        ejecuta(QStringLiteral("INSERT INTO TA_TITCOPIADORES (CODIGO, DESCRIPCION, DESDE, HASTA, TC) VALUES "
                               "('   3', '%1', '11030101001', '11030201001', '  FC'), "
                               "('5', 'Compras', '51010101001', '51010103001', '  FP')")
                    .arg(largo));
        guion.op.preguntas.clear();
        escribeYEnter(0, QStringLiteral("3"));
        EXPECT_EQ(caja(1)->text(), largo);
        teclado::Pulsa(Qt::Key_F2);
        EXPECT_EQ(valor("SELECT DESCRIPCION FROM TA_TITCOPIADORES WHERE CODIGO = '   3'"), largo);
        if (c.cabe) {
            EXPECT_TRUE(mensajes().isEmpty()) << mensajes().join(" | ").toStdString();
        } else {
            // Writing it back is refused, and said; the text stays on screen.
            EXPECT_EQ(mensajes().filter(QStringLiteral("supera los 50 caracteres")).size(), 1)
                << mensajes().join(" | ").toStdString();
            EXPECT_EQ(caja(1)->text(), largo);
            guion.op.respuestas = {rt::vbYes};
            teclado::Pulsa(Qt::Key_Escape);
        }
        // Another title, and a new one, get the column's own limit back.
        escribeYEnter(0, QStringLiteral("5"));
        EXPECT_EQ(caja(1)->text(), "Compras");
        EXPECT_EQ(caja(1)->maxLength(), c.limite);
        escribeYEnter(0, QStringLiteral("3"));
        EXPECT_EQ(caja(1)->text(), largo);
        escribeYEnter(0, QStringLiteral("30"));
        EXPECT_EQ(caja(1)->maxLength(), c.limite);
    }
}

TEST_F(VentanaTitulos, ReplacementThatFailsHalfwayKeepsTheOldTitleAndTheTypedData)
{
    // The new row is refused after the old one was deleted.
    ejecuta(QStringLiteral("CREATE TABLE rechazos (x int NOT NULL)"));
    ejecuta(QStringLiteral("CREATE TRIGGER rechaza BEFORE INSERT ON TA_TITCOPIADORES WHEN NEW.DESCRIPCION = 'FALLA' "
                           "BEGIN INSERT INTO rechazos VALUES (NULL); END"));
    abre();
    for (int respuesta : {rt::vbAbort, rt::vbIgnore}) {
        guion.op.preguntas.clear();
        guion.op.respuestas = {respuesta};
        escribeYEnter(0, QStringLiteral("3"));
        escribe(1, QStringLiteral("FALLA"));
        teclado::Pulsa(Qt::Key_F2);

        ASSERT_EQ(guion.op.preguntas.size(), 1u) << respuesta;
        EXPECT_EQ(guion.op.preguntas[0].botones & 7, rt::vbAbortRetryIgnore);
        EXPECT_EQ(valor("SELECT DESCRIPCION FROM TA_TITCOPIADORES WHERE CODIGO = '   3'"), "Deudores por Ventas") << respuesta;
        EXPECT_EQ(cuenta("SELECT COUNT(*) FROM TA_TITCOPIADORES"), 10);
        // Nothing typed is lost and the title can still be corrected and saved.
        EXPECT_EQ(caja(1)->text(), "FALLA");
        EXPECT_TRUE(w().Modificado());
        EXPECT_TRUE(barra()->GrabarEnabled());
        teclado::Pulsa(Qt::Key_Escape);  // abandon: answers No by default, then Yes
        guion.op.respuestas = {rt::vbYes};
        teclado::Pulsa(Qt::Key_Escape);
    }
    escribeYEnter(0, QStringLiteral("3"));
    escribe(1, QStringLiteral("Corregido"));
    teclado::Pulsa(Qt::Key_F2);
    EXPECT_EQ(valor("SELECT DESCRIPCION FROM TA_TITCOPIADORES WHERE CODIGO = '   3'"), "Corregido");
}

TEST_F(VentanaTitulos, ConversionErrorNamesTheBoxAndSavesNothing)
{
    ejecuta(QStringLiteral("DROP TABLE TA_TITCOPIADORES"));
    ejecuta(QStringLiteral("CREATE TABLE TA_TITCOPIADORES (CODIGO varchar(4) COLLATE CI NOT NULL PRIMARY KEY, "
                           "DESCRIPCION varchar(50), DESDE varchar(15), HASTA int, TC varchar(255), "
                           "fechahora_grabacion datetime, fechahora_modificacion datetime)"));
    ejecuta(QStringLiteral("INSERT INTO MA_CUENTAS (Codigo, DESCRIPCION) VALUES ('A100', 'uno'), ('A200', 'dos')"));
    abre();
    escribeYEnter(0, QStringLiteral("7"));
    QTest::keyClicks(caja(1), QStringLiteral("Letras"));
    enter(1);
    QTest::keyClicks(caja(2), QStringLiteral("A100"));
    enter(2);
    QTest::keyClicks(caja(3), QStringLiteral("A200"));
    enter(3);
    teclado::Pulsa(Qt::Key_F2);

    ASSERT_EQ(guion.op.preguntas.size(), 1u) << mensajes().join(" | ").toStdString();
    const auto& p = guion.op.preguntas[0];
    EXPECT_EQ(p.titulo, "Error en conversion de datos");
    EXPECT_EQ(p.botones, rt::vbCritical);
    EXPECT_EQ(p.texto, "Verifique las siguientes opciones: \r\n\r\n1) Ha ingresado letras donde debe ingresar numeros\r\n\r\n"
                       "2) Debe ingresar una fecha y el formato es incorrecto\r\n\r\nEn el campo: MA_CUENTAS/HASTA");
    EXPECT_EQ(QApplication::focusWidget(), caja(3));
    EXPECT_EQ(cuenta("SELECT COUNT(*) FROM TA_TITCOPIADORES"), 0);
    EXPECT_EQ(caja(3)->text(), "A200");
}

TEST_F(VentanaTitulos, F10DeletesAfterConfirmationAndStartsAgainAsAtStartUp)
{
    abre();
    escribeYEnter(0, QStringLiteral("3"));
    teclado::Pulsa(Qt::Key_F10);  // No is the default answer
    EXPECT_EQ(cuenta("SELECT COUNT(*) FROM TA_TITCOPIADORES"), 10);

    guion.op.respuestas = {rt::vbYes};
    teclado::Pulsa(Qt::Key_F10);
    ASSERT_EQ(guion.op.preguntas.size(), 2u);
    EXPECT_EQ(guion.op.preguntas[1].texto, "Confirma la baja de este registro?");
    EXPECT_EQ(guion.op.preguntas[1].titulo, "Atención!");
    EXPECT_EQ(guion.op.preguntas[1].botones, rt::vbYesNo + rt::vbExclamation + rt::vbDefaultButton2);
    EXPECT_EQ(cuenta("SELECT COUNT(*) FROM TA_TITCOPIADORES WHERE LTRIM(CODIGO) = '3'"), 0);
    EXPECT_EQ(cuenta("SELECT COUNT(*) FROM TA_TITCOPIADORES"), 9);
    EXPECT_EQ(caja(0)->text(), "11");
    EXPECT_TRUE(caja(1)->text().isEmpty());
    EXPECT_FALSE(caja(1)->isEnabled());
    EXPECT_TRUE(barra()->NuevoEnabled());
}

TEST_F(VentanaTitulos, EscAbandonsEditingOnlyWhenConfirmedAndClosesWhenBrowsing)
{
    abre();
    escribeYEnter(0, QStringLiteral("3"));
    guion.op.respuestas = {rt::vbNo};
    teclado::Pulsa(Qt::Key_Escape);
    ASSERT_EQ(mensajes(), QStringList{"¿Está seguro de abandonar la carga de datos?"});
    EXPECT_EQ(guion.op.preguntas[0].titulo, "ATENCIÓN!!!");
    EXPECT_TRUE(caja(1)->isEnabled());
    EXPECT_TRUE(fines.empty());

    guion.op.respuestas = {rt::vbYes};
    teclado::Pulsa(Qt::Key_Escape);
    EXPECT_FALSE(caja(1)->isEnabled());
    EXPECT_EQ(caja(0)->text(), "11");
    EXPECT_EQ(caja(0)->selectedText(), "11");
    EXPECT_TRUE(fines.empty());  // one key, one command

    teclado::Pulsa(Qt::Key_Escape);
    EXPECT_EQ(fines, std::vector<int>{0});
    EXPECT_EQ(mensajes().size(), 2);
    EXPECT_FALSE(w().isVisible());
}

TEST_F(VentanaTitulos, ToolbarButtonsDriveTheWindow)
{
    abre();
    escribeYEnter(0, QStringLiteral("3"));
    // Save with the description missing: refused, still editing, deleting still offered.
    caja(1)->clear();
    barra()->boton(4)->click();
    EXPECT_EQ(mensajes(), QStringList{" Debe informar un Detalle! "});
    EXPECT_TRUE(barra()->BorrarEnabled());
    EXPECT_TRUE(caja(1)->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), caja(0));

    guion.op.respuestas = {rt::vbYes};
    barra()->boton(8)->click();  // Cancelar
    barra()->boton(1)->click();  // Nuevo
    EXPECT_TRUE(w().EsNuevo());
    EXPECT_FALSE(barra()->BorrarEnabled());
    EXPECT_EQ(QApplication::focusWidget(), caja(0));

    barra()->boton(5)->click();  // Cerrar
    EXPECT_TRUE(barra()->BorrarEnabled());
    EXPECT_EQ(fines, std::vector<int>{0});
}

TEST_F(VentanaTitulos, ClosingTheWindowEndsTheProgram)
{
    abre();
    w().close();
    EXPECT_EQ(fines, std::vector<int>{0});
    EXPECT_TRUE(mensajes().isEmpty());
}

// On a server every statement is a round trip (about 30 ms on a branch's
// link). The budget of each operator step is pinned here on the embedded
// engine, where the program sends the same statements: a routine that starts
// reading the same rows twice, or a catalog read per statement, fails here.
TEST_F(VentanaTitulos, EachOperatorStepCostsFewStatements)
{
    QStringList idas;
    DB().gCnn.OnRequest = [&](const QString& s) { idas << s; };
    const auto paso = [&](const char* nombre, qsizetype maximo, const std::function<void()>& accion) {
        idas.clear();
        accion();
        EXPECT_LE(idas.size(), maximo) << nombre << ":\n  " << qPrintable(idas.join(QStringLiteral("\n  ")));
    };
    paso("start-up", 12, [&] { abre(); });
    paso("loading a title", 2, [&] { escribeYEnter(0, QStringLiteral("3")); });
    guion.op.respuestas = {rt::vbYes};
    teclado::Pulsa(Qt::Key_Escape);
    escribeYEnter(0, QStringLiteral("20"));
    escribeYEnter(1, QStringLiteral("Nuevo"));
    paso("Desde", 3, [&] { escribeYEnter(2, QStringLiteral("11010101001")); });
    paso("Hasta", 2, [&] { escribeYEnter(3, QStringLiteral("11010101002")); });
    paso("F2", 12, [&] { teclado::Pulsa(Qt::Key_F2); });
    EXPECT_EQ(cuenta("SELECT COUNT(*) FROM TA_TITCOPIADORES WHERE LTRIM(CODIGO) = '20'"), 1);
    escribeYEnter(0, QStringLiteral("20"));
    guion.op.respuestas = {rt::vbYes};
    paso("F10", 4, [&] { teclado::Pulsa(Qt::Key_F10); });
    EXPECT_EQ(cuenta("SELECT COUNT(*) FROM TA_TITCOPIADORES WHERE LTRIM(CODIGO) = '20'"), 0);
    DB().gCnn.OnRequest = nullptr;
}
