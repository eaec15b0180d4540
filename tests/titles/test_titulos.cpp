// The title store under the window: what a save, a delete, the fingerprint
// and the proposed code do to the table, on tables as other programs leave
// them (codes padded or not, a code stored twice, date columns or none).
#include "titles/titulos.h"
#include "titulos_ajenos.h"

#include <optional>

namespace {
const Titulo kNuevo{QStringLiteral("20"), QStringLiteral("Nuevo"), QStringLiteral("11020101001"), QStringLiteral("11020103001"),
                    QStringLiteral("  FC")};
}  // namespace

class Almacen : public TitulosAjenos {
protected:
    /// Each stored row of the code as "CODIGO|DESCRIPCION|TC", sorted.
    QStringList filasDe(const QString& codigo)
    {
        adodb::Recordset rs =
            DB().gCnn.Execute(QStringLiteral("SELECT CODIGO || '|' || DESCRIPCION || '|' || TC FROM TA_TITCOPIADORES "
                                             "WHERE LTRIM(RTRIM(CODIGO)) = '%1' ORDER BY 1")
                                  .arg(codigo));
        QStringList r;
        for (; !rs.EOF_(); rs.MoveNext()) r << RtTexto::ValorCampo(rs.Fields(0).Value());
        return r;
    }
    /// Saves as the window does: over what the window showed.
    titulos::Grabacion graba(const Titulo& t, bool nuevo, const std::optional<QString>& mostrada = {})
    {
        return titulos::Graba(t, mostrada ? *mostrada : titulos::Huella(t.codigo), nuevo, informe,
                              [this](const adodb::Error& e) { fallas << QStringLiteral("sin borrar ") + e.Description; });
    }
    // Failures reach the test as the window hears them, each answered by giving up.
    titulos::Informe informe = [this](const adodb::Error& e, const QString& columna) {
        fallas << columna + QStringLiteral(": ") + e.Description;
        return static_cast<int>(rt::vbAbort);
    };
    QStringList fallas;
};

TEST_F(Almacen, ASaveLeavesOneRowInTheStoredFormWhateverThePaddingAndNothingElse)
{
    struct Caso {
        const char* codigo;
        bool nuevo;
        int antes;  // rows of the code before
    };
    const int total = cuenta(QStringLiteral("SELECT COUNT(*) FROM TA_TITCOPIADORES"));
    int quitadas = 0;
    for (const Caso& c : {Caso{"2", false, 1}, Caso{"3", false, 2}, Caso{"4", false, 1}, Caso{"AB", false, 1},
                          Caso{"20", true, 0}, Caso{" 21", true, 0}}) {
        SCOPED_TRACE(c.codigo);
        const QString codigo = QString::fromLatin1(c.codigo);
        ASSERT_EQ(filasDe(codigo.trimmed()).size(), c.antes);
        Titulo t = kNuevo;
        t.codigo = codigo;
        t.descripcion = QStringLiteral("Nuevo ") + codigo.trimmed();
        EXPECT_EQ(graba(t, c.nuevo).resultado, titulos::Resultado::Grabado);
        EXPECT_EQ(filasDe(codigo.trimmed()), QStringList{codigo.trimmed().rightJustified(4) + QStringLiteral("|Nuevo ") +
                                                         codigo.trimmed() + QStringLiteral("|  FC")});
        quitadas += c.antes - 1;
    }
    EXPECT_EQ(cuenta(QStringLiteral("SELECT COUNT(*) FROM TA_TITCOPIADORES")), total - quitadas);
    EXPECT_TRUE(fallas.isEmpty()) << fallas.join(" | ").toStdString();
}

TEST_F(Almacen, AnotherOperatorsChangeIsAnsweredBeforeAnythingIsWrittenAndTheirFingerprintSavesOver)
{
    struct Caso {
        const char* nombre;
        const char* codigo;
        bool nuevo;
        const char* otro;  // what another program does after the window showed the title
        titulos::Resultado resultado;
        bool huellaVacia;
    };
    const Caso casos[] = {
        {"modificado", "1", false, "UPDATE TA_TITCOPIADORES SET DESCRIPCION = 'Ajeno' WHERE CODIGO = '   1'",
         titulos::Resultado::CambiadoPorOtro, false},
        {"borrado", "6", false, "DELETE FROM TA_TITCOPIADORES WHERE CODIGO = '   6'", titulos::Resultado::CambiadoPorOtro, true},
        {"creado", "40", true, "INSERT INTO TA_TITCOPIADORES (CODIGO, DESCRIPCION) VALUES ('40', 'Ajeno')",
         titulos::Resultado::CodigoDeOtro, false},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        Titulo t = kNuevo;
        t.codigo = QString::fromLatin1(c.codigo);
        const QString mostrada = titulos::Huella(t.codigo);
        const QStringList antes = filasDe(t.codigo);
        ejecuta(QString::fromLatin1(c.otro));
        const QStringList ajenas = filasDe(t.codigo);
        ASSERT_NE(ajenas, antes);
        const titulos::Grabacion g = graba(t, c.nuevo, mostrada);
        EXPECT_EQ(g.resultado, c.resultado);
        EXPECT_EQ(g.huella.isEmpty(), c.huellaVacia);
        EXPECT_EQ(filasDe(t.codigo), ajenas);
        // The operator's Yes: saved over what is stored now.
        EXPECT_EQ(graba(t, c.nuevo, g.huella).resultado, titulos::Resultado::Grabado);
        EXPECT_EQ(filasDe(t.codigo), QStringList{t.codigo.rightJustified(4) + QStringLiteral("|Nuevo|  FC")});
    }
    EXPECT_TRUE(fallas.isEmpty()) << fallas.join(" | ").toStdString();
}

TEST_F(Almacen, ReplacingKeepsTheCreationDateWhateverDateColumnsTheTableHas)
{
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
        ejecuta(QStringLiteral("INSERT INTO TA_TITCOPIADORES (CODIGO, DESCRIPCION, DESDE, HASTA, TC%1) "
                               "VALUES ('1', 'Libro Diario General', '31010101001', '32020102001', '  AS'%2)")
                    .arg(nombres, valores));
        Titulo t = kNuevo;
        t.codigo = QStringLiteral("1");
        t.descripcion = QStringLiteral("Diario de año ñandú");
        EXPECT_EQ(graba(t, false).resultado, titulos::Resultado::Grabado);
        EXPECT_EQ(valor("SELECT CODIGO || '|' || DESCRIPCION FROM TA_TITCOPIADORES"), "   1|Diario de año ñandú");
        if (grabacion) {
            EXPECT_EQ(cuenta("SELECT COUNT(*) FROM TA_TITCOPIADORES WHERE fechahora_grabacion = '2023-01-02 09:12:40'"), 1);
        }
        if (modificacion) {
            EXPECT_EQ(cuenta("SELECT COUNT(*) FROM TA_TITCOPIADORES WHERE fechahora_modificacion > '2024-03-11 16:05:12'"), 1);
        }

        // A new title is stamped as created, not as modified.
        EXPECT_EQ(graba(kNuevo, true).resultado, titulos::Resultado::Grabado);
        if (grabacion) {
            EXPECT_EQ(cuenta("SELECT COUNT(*) FROM TA_TITCOPIADORES WHERE CODIGO = '  20' AND fechahora_grabacion IS NOT NULL"),
                      1);
        }
        if (modificacion) {
            EXPECT_EQ(cuenta("SELECT COUNT(*) FROM TA_TITCOPIADORES WHERE CODIGO = '  20' AND fechahora_modificacion IS NULL"),
                      1);
        }
    }
    EXPECT_TRUE(fallas.isEmpty()) << fallas.join(" | ").toStdString();
}

TEST_F(Almacen, AFailedWriteIsHeardOnceNamesItsColumnAndLeavesTheStoredRows)
{
    struct Caso {
        const char* nombre;
        const char* trampa;
        Titulo titulo;
        const char* columna;  // named in the failure
    };
    Titulo letras = kNuevo;
    letras.codigo = QStringLiteral("3");
    letras.hasta = QStringLiteral("A200");
    Titulo falla = letras;
    falla.hasta = QStringLiteral("11030201001");
    falla.descripcion = QStringLiteral("FALLA");
    const Caso casos[] = {
        {"rechazado al insertar",
         "CREATE TABLE rechazos (x int NOT NULL)|"
         "CREATE TRIGGER rechaza BEFORE INSERT ON TA_TITCOPIADORES WHEN NEW.DESCRIPCION = 'FALLA' "
         "BEGIN INSERT INTO rechazos VALUES (NULL); END",
         falla, ""},
        {"letras en una columna numerica",
         "DROP TABLE TA_TITCOPIADORES|"
         "CREATE TABLE TA_TITCOPIADORES (CODIGO varchar(4) COLLATE CI NOT NULL PRIMARY KEY, DESCRIPCION varchar(50), "
         "DESDE varchar(15), HASTA int, TC varchar(255), fechahora_grabacion datetime, fechahora_modificacion datetime)|"
         "INSERT INTO TA_TITCOPIADORES (CODIGO, DESCRIPCION, DESDE, HASTA, TC) "
         "VALUES ('   3', 'Deudores', '11030101001', 11030201001, '  FC')",
         letras, "HASTA"},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        for (const QString& sql : QString::fromLatin1(c.trampa).split(u'|')) ejecuta(sql);
        const QStringList antes = filasDe(QStringLiteral("3"));
        fallas.clear();
        const titulos::Grabacion g = graba(c.titulo, false);
        EXPECT_EQ(g.resultado, titulos::Resultado::Fallo);
        EXPECT_FALSE(g.alConfirmar);
        ASSERT_EQ(fallas.size(), 1) << fallas.join(" | ").toStdString();
        EXPECT_TRUE(fallas[0].startsWith(QString::fromLatin1(c.columna) + QStringLiteral(": "))) << fallas[0].toStdString();
        EXPECT_EQ(filasDe(QStringLiteral("3")), antes);
    }
}

TEST_F(Almacen, DeletingRemovesEveryRowOfTheCodeAndSaysHowMany)
{
    const int total = cuenta(QStringLiteral("SELECT COUNT(*) FROM TA_TITCOPIADORES"));
    long borradas = 0;
    for (const auto& [codigo, filasDelCodigo] :
         {std::pair{"2", 1L}, std::pair{" 3", 2L}, std::pair{"4", 1L}, std::pair{"AB", 1L}, std::pair{"99", 0L}}) {
        SCOPED_TRACE(codigo);
        EXPECT_EQ(titulos::Borra(QString::fromLatin1(codigo), informe), filasDelCodigo);
        EXPECT_TRUE(filasDe(QString::fromLatin1(codigo).trimmed()).isEmpty());
        borradas += filasDelCodigo;
    }
    EXPECT_EQ(cuenta(QStringLiteral("SELECT COUNT(*) FROM TA_TITCOPIADORES")), total - borradas);
    EXPECT_TRUE(fallas.isEmpty()) << fallas.join(" | ").toStdString();
}

TEST_F(Almacen, TheProposedCodeIsTheNextFreeNumberWhateverThePadding)
{
    // Text order would take "2" for the largest of "2" and "   3" and propose 3.
    struct Paso {
        const char* sql;
        const char* propuesto;
    };
    for (const Paso& p : {Paso{"DELETE FROM TA_TITCOPIADORES WHERE LTRIM(RTRIM(CODIGO)) NOT IN ('2', '3')", "4"},
                          Paso{"INSERT INTO TA_TITCOPIADORES (CODIGO, DESCRIPCION) VALUES (' 10 ', 'x'), ('ZZ', 'y'), "
                               "('0009', 'z')",
                               "11"},
                          // The highest code that fits is taken: the first free number follows.
                          Paso{"INSERT INTO TA_TITCOPIADORES (CODIGO, DESCRIPCION) VALUES ('9999', 'w'), ('   1', 'v')", "4"},
                          Paso{"DELETE FROM TA_TITCOPIADORES", "1"}}) {
        SCOPED_TRACE(p.sql);
        ejecuta(QString::fromLatin1(p.sql));
        EXPECT_EQ(titulos::ProximoCodigo(), QString::fromLatin1(p.propuesto));
    }
}

TEST_F(Almacen, ATypedNumberFindsTheStoredSpellingTheExactOneFirst)
{
    ejecuta(QStringLiteral("INSERT INTO TA_TITCOPIADORES (CODIGO, DESCRIPCION) VALUES ('015', 'Con cero')"));
    for (const auto& [tecleado, encontrado] : {std::pair{"15", "015"}, std::pair{"0015", "015"}, std::pair{"2", "2"},
                                               std::pair{"02", "2"}, std::pair{"AB", "AB"}, std::pair{"16", ""}}) {
        SCOPED_TRACE(tecleado);
        const std::optional<Titulo> t = titulos::Busca(QString::fromLatin1(tecleado));
        EXPECT_EQ(t ? t->codigo.trimmed() : QString(), QString::fromLatin1(encontrado));
    }
    ejecuta(QStringLiteral("INSERT INTO TA_TITCOPIADORES (CODIGO, DESCRIPCION) VALUES ('15', 'Exacto')"));
    EXPECT_EQ(titulos::Busca(QStringLiteral("15"))->descripcion, "Exacto");
    EXPECT_EQ(titulos::Busca(QStringLiteral("015"))->descripcion, "Con cero");
}
