// The titles window on a PostgreSQL server: the whole editing cycle, and two
// programs editing titles at the same time.
#include "../titles/entorno.h"
#include "servidor_pg.h"

namespace {

// The suite's users are the server's logins.
ServidorPg* Servidor()
{
    static ServidorPg* s = [] {
        ServidorPg* servidor = ServidorPg::Compartido();
        if (servidor && !servidor->Psql(QStringLiteral("postgres"),
                                        QStringLiteral("CREATE ROLE \"ADMIN\" LOGIN SUPERUSER PASSWORD 'clave'"))) {
            std::fprintf(stderr, "PostgreSQL: %s\n", qPrintable(servidor->error()));
            return static_cast<ServidorPg*>(nullptr);
        }
        return servidor;
    }();
    return s;
}

}  // namespace

class TitulosPg : public VentanaTitulos {
protected:
    void SetUp() override
    {
        aplicacion();
        finPropio_ = rt::manejadorFin();
        servidor_ = Servidor();
        if (!servidor_) GTEST_SKIP() << "PostgreSQL no disponible";
        static int n = 0;
        base_ = QStringLiteral("titulos%1").arg(++n);
        ASSERT_TRUE(servidor_->CreaBase(base_)) << qPrintable(servidor_->error());
        ASSERT_TRUE(servidor_->PsqlArchivo(base_, QStringLiteral(DEMO_DIR "/schema_postgres.sql")))
            << qPrintable(servidor_->error());
        ASSERT_TRUE(servidor_->PsqlArchivo(base_, QStringLiteral(DEMO_DIR "/demo.sql"))) << qPrintable(servidor_->error());

        RtEntorno::FijaCarpetaPrograma(dir_.path() + QStringLiteral("/"));
        RtEntorno::FijaNombreUsuario(QStringLiteral("prueba"));
        RtEntorno::FijaNombreMaquina(QStringLiteral("pc-prueba"));
        RtIni::FijaCarpetaConfiguracion(dir_.path());
        DB_Dll& db = DB();
        if (db.gCnn.State()) db.gCnn.Close();
        db.gServidor = QStringLiteral("pg:127.0.0.1,%1").arg(servidor_->Puerto());
        db.gDBName = base_;
        db.gUsuario = QStringLiteral("ADMIN");
        db.gUserPassWord = QStringLiteral("clave");
        db.gLogErr = dir_.filePath(QStringLiteral("VLERR.LOG"));
        db.OpenServerADODB();
        ASSERT_TRUE(db.gOpenFlag);
        ASSERT_TRUE(db.gEsAdmin);
        rt::manejadorFin() = [this](int codigo) { fines.push_back(codigo); };
    }
    void TearDown() override
    {
        VentanaTitulos::TearDown();
        rt::manejadorFin() = finPropio_;
        DB().gServidor.clear();
        DB().gLogErr.clear();
    }
    /// Another program on the same database.
    std::unique_ptr<adodb::Connection> otroPrograma()
    {
        auto cn = std::make_unique<adodb::Connection>();
        cn->Open(DB().gConnString);
        return cn;
    }

    ServidorPg* servidor_ = nullptr;
    QString base_;
    std::function<void(int)> finPropio_;
};

TEST_F(TitulosPg, CreateReplaceDeleteAndLookUpEndToEnd)
{
    abre();
    EXPECT_EQ(caja(0)->text(), "11");
    EXPECT_EQ(lista()->count(), 16);

    // Create, with an optional account code typed in lower case.
    escribeYEnter(0, QStringLiteral("20"));
    escribeYEnter(1, QStringLiteral("Inversiones en el exterior ñ"));
    escribeYEnter(2, QStringLiteral("11020101001"));
    escribeYEnter(3, QStringLiteral("11020103001"));
    itemDe(QStringLiteral("FC"))->setCheckState(Qt::Unchecked);
    tecla(Qt::Key_F2);
    EXPECT_TRUE(mensajes().isEmpty()) << mensajes().join(" | ").toStdString();
    EXPECT_EQ(valor("SELECT DESCRIPCION FROM TA_TITCOPIADORES WHERE CODIGO = '  20'"), "Inversiones en el exterior ñ");
    EXPECT_EQ(valor("SELECT DESDE + '-' + HASTA FROM TA_TITCOPIADORES WHERE CODIGO = '  20'"), "11020101001-11020103001");
    EXPECT_EQ(cuenta("SELECT COUNT(*) FROM TA_TITCOPIADORES WHERE CODIGO = '  20' AND fechahora_grabacion IS NOT NULL"), 1);
    EXPECT_EQ(caja(0)->text(), "21");

    // Replace, validating an optional code and the range against the other titles.
    guion.op.preguntas.clear();
    escribeYEnter(0, QStringLiteral("3"));
    EXPECT_EQ(caja(1)->text(), "Deudores por Ventas");
    EXPECT_EQ(w().CptesMarcados(), "  FC,  NC,  ND,  RC");
    escribe(1, QStringLiteral("Deudores comunes"));
    escribeYEnter(2, QStringLiteral("caja"));
    EXPECT_EQ(caja(2)->text(), "11010101001");
    EXPECT_EQ(mensajes(), QStringList{"El Codigo de Cuenta esta en el rango de otro Copiador!"});
    guion.op.preguntas.clear();
    tecla(Qt::Key_F2);
    // Saving validates again: the warning, and nothing else.
    EXPECT_EQ(mensajes(), QStringList{"El Codigo de Cuenta esta en el rango de otro Copiador!"});
    EXPECT_EQ(valor("SELECT DESCRIPCION FROM TA_TITCOPIADORES WHERE CODIGO = '   3'"), "Deudores comunes");
    EXPECT_EQ(valor("SELECT DESDE FROM TA_TITCOPIADORES WHERE CODIGO = '   3'"), "11010101001");
    EXPECT_EQ(cuenta("SELECT COUNT(*) FROM TA_TITCOPIADORES"), 11);

    // Look up, then delete what was found.
    w().ConsultarTabla = [](const QString&) { return QStringLiteral(" 3 "); };
    QTest::mouseClick(caja(0), Qt::RightButton);
    EXPECT_TRUE(w().EsExistente());
    guion.op.respuestas = {rt::vbYes};
    tecla(Qt::Key_F10);
    EXPECT_EQ(cuenta("SELECT COUNT(*) FROM TA_TITCOPIADORES WHERE LTRIM(CODIGO) = '3'"), 0);
    EXPECT_EQ(cuenta("SELECT COUNT(*) FROM TA_TITCOPIADORES"), 10);
    EXPECT_EQ(caja(1)->text(), "Libro Diario General");
    EXPECT_FALSE(QFile::exists(DB().gLogErr)) << "no error was reported";
    // The start was recorded in the access log.
    EXPECT_EQ(cuenta("SELECT COUNT(*) FROM Control_Acceso WHERE Maquina = 'PC-PRUEBA'"), 1);
}

TEST_F(TitulosPg, DataWrittenByOthersIsFoundWhateverItsCaseAndPadding)
{
    // Another program stored the code padded on the right and the account in lower case.
    auto otro = otroPrograma();
    otro->Execute(QStringLiteral("UPDATE MA_CUENTAS SET CodigoOpcional = 'bna01  ' WHERE Codigo = '11010201001'"));
    abre();
    escribeYEnter(0, QStringLiteral("20"));
    escribeYEnter(1, QStringLiteral("Bancos"));
    escribeYEnter(2, QStringLiteral("BNA01"));
    EXPECT_EQ(caja(2)->text(), "11010201001");
}

using adodb::Recordset;

TEST_F(TitulosPg, TwoProgramsEditingTitlesAtOnceLoseNothing)
{
    abre();
    auto otro = otroPrograma();
    // This window starts a new title and replaces another while the other program works.
    escribeYEnter(0, QStringLiteral("20"));
    escribeYEnter(1, QStringLiteral("Desde esta ventana"));
    escribeYEnter(2, QStringLiteral("11020101001"));
    escribeYEnter(3, QStringLiteral("11020103001"));
    otro->Execute(QStringLiteral("INSERT INTO TA_TITCOPIADORES (CODIGO, DESCRIPCION, DESDE, HASTA, TC) "
                                 "VALUES ('  21', 'Del otro programa', '51010101001', '51010101001', '  AS')"));
    otro->Execute(QStringLiteral("UPDATE TA_TITCOPIADORES SET DESCRIPCION = 'Cambiado por el otro' WHERE CODIGO = '   5'"));
    tecla(Qt::Key_F2);
    EXPECT_TRUE(mensajes().isEmpty()) << mensajes().join(" | ").toStdString();
    // The next free code skips the other program's title.
    EXPECT_EQ(caja(0)->text(), "22");

    escribeYEnter(0, QStringLiteral("4"));
    escribe(1, QStringLiteral("Reemplazado aquí"));
    otro->BeginTrans();
    otro->Execute(QStringLiteral("UPDATE TA_TITCOPIADORES SET TC = '  AS' WHERE CODIGO = '   6'"));
    otro->CommitTrans();
    tecla(Qt::Key_F2);
    EXPECT_TRUE(mensajes().isEmpty()) << mensajes().join(" | ").toStdString();

    Recordset todo = otro->Execute(QStringLiteral("SELECT CODIGO, DESCRIPCION, TC FROM TA_TITCOPIADORES ORDER BY CODIGO"));
    EXPECT_EQ(todo.RecordCount(), 12);
    std::map<QString, QString> descripcion;
    for (; !todo.EOF_(); todo.MoveNext()) descripcion[todo.Fields(0).Value().toString()] = todo.Fields(1).Value().toString();
    EXPECT_EQ(descripcion["  20"], "Desde esta ventana");
    EXPECT_EQ(descripcion["  21"], "Del otro programa");
    EXPECT_EQ(descripcion["   5"], "Cambiado por el otro");
    EXPECT_EQ(descripcion["   4"], "Reemplazado aquí");
    EXPECT_EQ(valor("SELECT TC FROM TA_TITCOPIADORES WHERE CODIGO = '   6'"), "  AS");
}

TEST_F(TitulosPg, ALoginWithoutRightsIsToldOnceAndOfferedTheDialog)
{
    // A login the server lets in, with no right on any table of the suite.
    const QString rol = QStringLiteral("SIN_") + base_.toUpper();
    ASSERT_TRUE(servidor_->Psql(base_, QStringLiteral("CREATE ROLE \"%1\" LOGIN PASSWORD 'clave'").arg(rol)))
        << qPrintable(servidor_->error());
    DB_Dll& db = DB();
    db.gCnn.Close();
    db.gOpenFlag = false;
    db.DialogoAcceso = nullptr;
    const QString linea = QStringLiteral("@Server=pg:127.0.0.1,%1; @DbName=%2; @Usuario=%3; @Password=clave;")
                              .arg(servidor_->Puerto())
                              .arg(base_, rol);

    // Refused: one box that names the right and the table, then the dialog; Cancel ends.
    QStringList dialogos;
    guion.op.alModal = [&](QObject* o) {
        dialogos << o->objectName() + u':' + o->property("usuario").toString();
        return 0;
    };
    EXPECT_FALSE(nueva().Form_Load(linea));
    ASSERT_EQ(mensajes().size(), 1) << mensajes().join(" | ").toStdString();
    EXPECT_TRUE(mensajes()[0].startsWith(QStringLiteral("El usuario %1 no tiene el permiso SELECT sobre la tabla ").arg(rol)))
        << mensajes()[0].toStdString();
    EXPECT_TRUE(mensajes()[0].contains(QStringLiteral(" de la base de datos ") + base_ + u'.'));
    EXPECT_EQ(guion.op.preguntas[0].titulo, QStringLiteral(" Error de Conexion a Base de Datos"));
    EXPECT_EQ(dialogos, QStringList{QStringLiteral("frmAcceso:") + rol});
    EXPECT_FALSE(db.gOpenFlag);
    EXPECT_EQ(db.gCnn.State(), adodb::adStateClosed);

    // In the dialog the operator logs in as an administrator: the window loads.
    guion.op.preguntas.clear();
    dialogos.clear();
    guion.op.alModal = [&](QObject* o) {
        dialogos << o->objectName();
        o->setProperty("usuario", QStringLiteral("ADMIN"));
        return 1;
    };
    ASSERT_TRUE(nueva().Form_Load(linea));
    EXPECT_EQ(mensajes().size(), 1) << mensajes().join(" | ").toStdString();
    EXPECT_EQ(dialogos, QStringList{QStringLiteral("frmAcceso")});
    EXPECT_EQ(db.gUsuario, QStringLiteral("ADMIN"));
    EXPECT_EQ(caja(0)->text(), "11");
    EXPECT_EQ(lista()->count(), 16);

    // With the grants the README gives, the same login starts without a word.
    QFile permisos(QStringLiteral(DEMO_DIR "/permisos_postgres.sql"));
    ASSERT_TRUE(permisos.open(QIODevice::ReadOnly));
    const QString grants = QString::fromUtf8(permisos.readAll())
                               .replace(QStringLiteral(":\"rol\""), u'"' + rol + u'"')
                               .replace(QStringLiteral(":\"DBNAME\""), u'"' + base_ + u'"');
    ASSERT_TRUE(servidor_->Psql(base_, grants)) << qPrintable(servidor_->error());
    db.gCnn.Close();
    db.gOpenFlag = false;
    guion.op.preguntas.clear();
    guion.op.alModal = nullptr;
    ASSERT_TRUE(nueva().Form_Load(linea));
    EXPECT_TRUE(guion.op.preguntas.empty()) << mensajes().join(" | ").toStdString();
    EXPECT_EQ(db.gUsuario, rol);
    EXPECT_EQ(caja(0)->text(), "11");
}
