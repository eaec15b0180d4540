// The access dialog driven through its real widgets, answered from a script.
#include "access_dialog/bases_txt.h"
#include "access_dialog/frmacceso.h"
#include "runtime/rtarchivos.h"
#include "runtime/rtdemo.h"
#include "runtime/rtentorno.h"
#include "runtime/rttexto.h"
#include "runtime/texto.h"

#include "../aplicacion.h"
#include "../archivos_prueba.h"
#include "../control.h"
#include "../sesion_db.h"
#include "../teclado.h"

#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

namespace {

class Acceso : public SesionDb {
protected:
    void SetUp() override
    {
        aplicacion();
        SesionDb::SetUp();
        ASSERT_TRUE(xdg.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(xdg.filePath("config")));
        qputenv("XDG_STATE_HOME", QFile::encodeName(xdg.filePath("state")));
        bases = dir.filePath("BASES.TXT");
        frmAcceso::Instala();
    }
    void TearDown() override
    {
        SesionDb::TearDown();
        qunsetenv("XDG_CONFIG_HOME");
        qunsetenv("XDG_STATE_HOME");
    }
    /// Two connections as a Windows installation wrote them (password "clave" encoded).
    void registradas()
    {
        const QByteArray clave = RtTexto::CodificaClave("clave").toLatin1();
        escribeArchivo(bases, "CONTABLE / SRV01,Contable,sa," + clave +
                                  ",srv01\r\n"
                                  "GESTION / SRV02,Gestion,sa," +
                                  clave + ",srv02:1500\r\n");
    }
    QTemporaryDir xdg;
    QString bases;
};

}  // namespace

TEST_F(Acceso, WithoutRegisteredConnectionsTheTypedDataAreAccepted)
{
    DatosAcceso d;
    guion.op.alModal = [](QObject* o) {
        auto* f = qobject_cast<frmAcceso*>(o);
        EXPECT_EQ(f->windowTitle(), QStringLiteral("Control de Acceso"));
        EXPECT_EQ(ControlDe<QListWidget>(f, QStringLiteral("lstBases"))->count(), 0);
        EXPECT_EQ(ControlDe<QLineEdit>(f, QStringLiteral("TxtPuerto"))->text(), QStringLiteral("1433"));
        EXPECT_EQ(ControlDe<QLineEdit>(f, QStringLiteral("TxtDbName"))->text(),
                  QStringLiteral("ingrese el nombre de la base de datos"));
        EXPECT_EQ(ControlDe<QLineEdit>(f, QStringLiteral("TxtDbName"))->selectedText(),
                  ControlDe<QLineEdit>(f, QStringLiteral("TxtDbName"))->text())
            << "typing must replace the prompt";
        QTest::keyClicks(ControlDe<QLineEdit>(f, QStringLiteral("TxtDbName")), QStringLiteral("Contable"));
        QTest::keyClicks(ControlDe<QLineEdit>(f, QStringLiteral("TxtServidor")), QStringLiteral("srv01"));
        QTest::mouseClick(ControlDe<QPushButton>(f, QStringLiteral("bcAceptar")), Qt::LeftButton);
        EXPECT_FALSE(f->Aceptar()) << "a user box that still shows its prompt holds nothing";
        QTest::keyClicks(ControlDe<QLineEdit>(f, QStringLiteral("TxtUserId")), QStringLiteral("sa"));
        QTest::mouseClick(ControlDe<QPushButton>(f, QStringLiteral("bcAceptar")), Qt::LeftButton);
        return 1;
    };
    ASSERT_TRUE(frmAcceso::Pide(d));
    EXPECT_EQ(d.baseDatos, QStringLiteral("Contable"));
    EXPECT_EQ(d.servidor, QStringLiteral("srv01"));
    EXPECT_EQ(d.usuario, QStringLiteral("sa"));
    EXPECT_EQ(guion.op.mensajes(), QStringList{QStringLiteral("Ingrese el nombre de usuario.")});
    EXPECT_EQ(d.plataforma, 0);
    EXPECT_FALSE(QFileInfo::exists(bases));
}

TEST_F(Acceso, ChoosingARegisteredConnectionFillsServerDatabaseAndPort)
{
    registradas();
    frmAcceso f;
    ASSERT_EQ(ControlDe<QListWidget>(f, QStringLiteral("lstBases"))->count(), 2);
    EXPECT_EQ(ControlDe<QListWidget>(f, QStringLiteral("lstBases"))->currentRow(), 0);
    EXPECT_EQ(ControlDe<QLineEdit>(f, QStringLiteral("TxtServidor"))->text(), QStringLiteral("srv01"))
        << "the first entry is selected and brought in";

    ControlDe<QLineEdit>(f, QStringLiteral("TxtUserId"))->setText("juan");
    ControlDe<QLineEdit>(f, QStringLiteral("TxtUserPassword"))->setText("secreta");
    ControlDe<QListWidget>(f, QStringLiteral("lstBases"))->setCurrentRow(1);
    EXPECT_EQ(ControlDe<QLineEdit>(f, QStringLiteral("TxtServidor"))->text(), QStringLiteral("srv02")) << "as it was typed";
    EXPECT_EQ(ControlDe<QLineEdit>(f, QStringLiteral("TxtDbName"))->text(), QStringLiteral("Gestion"));
    EXPECT_EQ(ControlDe<QLineEdit>(f, QStringLiteral("TxtPuerto"))->text(), QStringLiteral("1500"));
    EXPECT_EQ(ControlDe<QLineEdit>(f, QStringLiteral("TxtUserId"))->text(), QStringLiteral("juan")) << "the user typed stays";
    EXPECT_EQ(ControlDe<QLineEdit>(f, QStringLiteral("TxtUserPassword"))->text(), QString()) << "the password box has no prompt";
    EXPECT_EQ(f.claveGuardada(), QStringLiteral("clave")) << "the stored password decodes back";

    f.show();
    ControlDe<QLineEdit>(f, QStringLiteral("TxtUserId"))->clear();
    ControlDe<QLineEdit>(f, QStringLiteral("TxtUserId"))->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(ControlDe<QLineEdit>(f, QStringLiteral("TxtUserId"))->text(), QStringLiteral("Ingrese el usuario"));

    // Deleting the whole database name brings its prompt back, selected.
    ControlDe<QLineEdit>(f, QStringLiteral("TxtDbName"))->clear();
    EXPECT_EQ(ControlDe<QLineEdit>(f, QStringLiteral("TxtDbName"))->text(),
              QStringLiteral("ingrese el nombre de la base de datos"));
    EXPECT_EQ(ControlDe<QLineEdit>(f, QStringLiteral("TxtDbName"))->selectedText(),
              ControlDe<QLineEdit>(f, QStringLiteral("TxtDbName"))->text());

    // A double click accepts the entry clicked.
    QListWidgetItem* item = ControlDe<QListWidget>(f, QStringLiteral("lstBases"))->item(0);
    const QPoint centro = ControlDe<QListWidget>(f, QStringLiteral("lstBases"))->visualItemRect(item).center();
    QTest::mouseClick(ControlDe<QListWidget>(f, QStringLiteral("lstBases"))->viewport(), Qt::LeftButton, {}, centro);
    QTest::mouseDClick(ControlDe<QListWidget>(f, QStringLiteral("lstBases"))->viewport(), Qt::LeftButton, {}, centro);
    EXPECT_TRUE(f.Aceptar());
    EXPECT_EQ(ControlDe<QLineEdit>(f, QStringLiteral("TxtServidor"))->text(), QStringLiteral("srv01"));
}

TEST_F(Acceso, AServerTypedWithAPortIsLookedUpWithoutIt)
{
    registradas();
    EXPECT_EQ(BasesTxt::NombreEntrada(" contable ", " srv01:1500 "), QStringLiteral("CONTABLE / SRV01"));
    frmAcceso f;
    ControlDe<QListWidget>(f, QStringLiteral("lstBases"))->setCurrentRow(1);
    ControlDe<QLineEdit>(f, QStringLiteral("TxtDbName"))->setText("contable");
    ControlDe<QLineEdit>(f, QStringLiteral("TxtServidor"))->setText("Srv01:1500");
    f.bcAceptar_Click();
    EXPECT_TRUE(f.Aceptar());
    EXPECT_EQ(f.servidorGuardado(), QStringLiteral("srv01")) << "found under \"CONTABLE / SRV01\"";
    EXPECT_EQ(ControlDe<QLineEdit>(f, QStringLiteral("TxtServidor"))->text(), QStringLiteral("Srv01:1500"))
        << "the boxes keep what was typed";
}

TEST_F(Acceso, AHandWrittenWindowsFileReadsBackExactly)
{
    // Windows-1252 accents, blanks around unquoted fields, a quoted field with a comma, a blank entry.
    const QByteArray archivo = "CONTABILIDAD A\xD1O 2024 / SRV01 ,Contabilidad a\xF1o 2024,  sa  ,41,SRV01\\ORBAKIT\r\n"
                               "\"PRUEBA, COPIA / SRV03\",\"Prueba, copia\",sa,,srv03\r\n"
                               "  ,nada,,,\r\n";
    escribeArchivo(bases, archivo);
    bool leido = false;
    const QList<BasesTxt::Conexion> l = BasesTxt::Lee(bases, &leido);
    ASSERT_TRUE(leido);
    ASSERT_EQ(l.size(), 3);
    EXPECT_EQ(l[0].nombre, QStringLiteral("CONTABILIDAD AÑO 2024 / SRV01"));
    EXPECT_EQ(l[0].baseDatos, QStringLiteral("Contabilidad año 2024"));
    EXPECT_EQ(l[0].usuario, QStringLiteral("sa"));
    EXPECT_EQ(l[0].servidor, QStringLiteral("SRV01\\ORBAKIT"));
    EXPECT_EQ(l[1].nombre, QStringLiteral("PRUEBA, COPIA / SRV03"));
    EXPECT_EQ(l[1].baseDatos, QStringLiteral("Prueba, copia"));
    EXPECT_EQ(BasesTxt::Linea(l[0]),
              QByteArray("CONTABILIDAD A\xD1O 2024 / SRV01,Contabilidad a\xF1o 2024,sa,41,SRV01\\ORBAKIT\r\n"));
    EXPECT_EQ(BasesTxt::Linea(l[1]), archivo.split('\n')[1] + '\n');

    frmAcceso f;
    ASSERT_EQ(ControlDe<QListWidget>(f, QStringLiteral("lstBases"))->count(), 2) << "a blank entry name is not listed";
    EXPECT_EQ(ControlDe<QListWidget>(f, QStringLiteral("lstBases"))->item(0)->text(),
              QStringLiteral("CONTABILIDAD AÑO 2024 / SRV01"));
    EXPECT_EQ(leeArchivo(bases), archivo) << "reading never rewrites the file";
}

TEST_F(Acceso, AnUnreadableFileIsReportedAndRetried)
{
    QDir().mkpath(bases);  // exists, but cannot be read as a file
    qputenv("temp", QFile::encodeName(xdg.path()));
    guion.op.respuestas = {rt::vbRetry, rt::vbAbort};
    frmAcceso f;
    qunsetenv("temp");
    const QStringList m = guion.op.mensajes();
    ASSERT_EQ(m.size(), 2) << "Retry reads again, Abort stops";
    EXPECT_TRUE(m[0].contains(QStringLiteral("No se pudo leer el archivo ") + bases)) << m[0].toStdString();
    EXPECT_TRUE(guion.op.preguntas[0].titulo.contains(QStringLiteral("FormLoad")));
    EXPECT_EQ(ControlDe<QListWidget>(f, QStringLiteral("lstBases"))->count(), 0);
}

TEST_F(Acceso, RegisteringAnExistingConnectionWritesNothing)
{
    registradas();
    const QByteArray antes = leeArchivo(bases);
    frmAcceso f;
    ControlDe<QLineEdit>(f, QStringLiteral("TxtDbName"))->setText(" gestion ");
    ControlDe<QLineEdit>(f, QStringLiteral("TxtServidor"))->setText("srv02");
    f.CmdRegistrar_Click();
    ASSERT_EQ(guion.op.preguntas.size(), 1u);
    EXPECT_EQ(guion.op.preguntas[0].texto, QStringLiteral("La conexion que intenta registrar ya existe "));
    EXPECT_EQ(guion.op.preguntas[0].titulo, QStringLiteral("Atencion"));
    EXPECT_EQ(guion.op.preguntas[0].botones, rt::vbInformation);
    EXPECT_EQ(leeArchivo(bases), antes);
}

TEST_F(Acceso, ARegistrationAppendsOneLineWhosePasswordDecodesBack)
{
    // The last line of a hand-written file may lack its line end.
    escribeArchivo(bases, "OTRA / SRV9,Otra,sa,41,srv9");
    const auto modo = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup;
    QFile::setPermissions(bases, modo);
    escribeArchivo(dir.filePath("CREADSN"), "#!/bin/sh\n");
    frmAcceso f;
    ControlDe<QLineEdit>(f, QStringLiteral("TxtServidor"))->setText(QString());
    ControlDe<QLineEdit>(f, QStringLiteral("TxtDbName"))->setText(path);
    ControlDe<QLineEdit>(f, QStringLiteral("TxtUserId"))->setText("ADMIN");
    f.CmdRegistrar_Click();
    EXPECT_TRUE(guion.op.mensajes().isEmpty()) << guion.op.mensajes().join('|').toStdString();

    const QList<QByteArray> lineas = leeArchivo(bases).split('\n');
    ASSERT_EQ(lineas.size(), 3) << leeArchivo(bases).toStdString();
    EXPECT_EQ(lineas[0], QByteArray("OTRA / SRV9,Otra,sa,41,srv9\r"));
    const QStringList c = rt::CamposSeparados(QString::fromLatin1(lineas[1].chopped(1)));
    ASSERT_EQ(c.size(), 5);
    EXPECT_EQ(c[0], path.toUpper() + QStringLiteral(" /")) << "fields are written trimmed";
    EXPECT_EQ(c[1], path);
    EXPECT_EQ(c[2], path) << "the database's own login is registered";
    EXPECT_NE(c[3], path) << "never the plain password";
    EXPECT_EQ(RtTexto::DecodificaClave(c[3]), path);
    EXPECT_EQ(c[4], QString());
    EXPECT_EQ(QFileInfo(bases).permissions() & QFileDevice::Permissions(0x7077), modo) << "an existing file keeps its mode";
    EXPECT_EQ(ControlDe<QListWidget>(f, QStringLiteral("lstBases"))->count(), 2) << "the list is filled again";
    EXPECT_EQ(DB().gCnn.State(), adodb::adStateClosed) << "the session connection is left closed";

    ASSERT_FALSE(guion.op.preguntas.empty());
    const auto& ejecuta = guion.op.preguntas.back();
    EXPECT_EQ(ejecuta.tipo, QStringLiteral("Ejecuta"));
    EXPECT_EQ(ejecuta.texto, dir.filePath("CREADSN"));
    EXPECT_EQ(ejecuta.titulo, QStringLiteral("Server=;DB=") + path + QStringLiteral(";"))
        << "the data source is for the registered database";
}

TEST_F(Acceso, AnUnreachableDatabaseIsNotRegistered)
{
    frmAcceso f;
    ControlDe<QLineEdit>(f, QStringLiteral("TxtServidor"))->setText(QString());
    ControlDe<QLineEdit>(f, QStringLiteral("TxtDbName"))->setText(dir.filePath("no_existe.db"));
    f.CmdRegistrar_Click();
    const QStringList m = guion.op.mensajes();
    ASSERT_EQ(m.size(), 2) << "the connection error box, answered No, then the notice";
    EXPECT_TRUE(m[0].startsWith(QStringLiteral(" Estado de Sql: ")));
    EXPECT_EQ(m[1], QStringLiteral("NO SE PUDO CONECTAR AL SERVIDOR  VERIFIQUE EL NOMBRE DE USUARIO Y PASSWORD INGRESADO"));
    EXPECT_EQ(guion.op.preguntas.back().titulo, QStringLiteral("AVISO AL OPERADOR"));
    EXPECT_FALSE(QFileInfo::exists(bases));
}

TEST_F(Acceso, ARegistrationOnAReadOnlyInstallationGoesToTheUsersCopy)
{
    registradas();
    RtArchivos::FijaProgramaSoloLectura(true);
    frmAcceso f;
    ControlDe<QLineEdit>(f, QStringLiteral("TxtServidor"))->setText(QString());
    ControlDe<QLineEdit>(f, QStringLiteral("TxtDbName"))->setText(path);
    f.CmdRegistrar_Click();
    RtArchivos::FijaProgramaSoloLectura(false);
    const QString copia = xdg.filePath("config") + QStringLiteral("/titulos-copiadores/BASES.TXT");
    EXPECT_EQ(leeArchivo(copia).count('\n'), 3) << "the installed connections and the new one";
    EXPECT_EQ(QFileInfo(copia).permissions() & QFileDevice::Permissions(0x7077), QFileDevice::ReadOwner | QFileDevice::WriteOwner)
        << "the user's copy holds passwords too";
    EXPECT_EQ(leeArchivo(bases).count('\n'), 2) << "the installed file is untouched";
    EXPECT_EQ(ControlDe<QListWidget>(f, QStringLiteral("lstBases"))->count(), 3);
}

TEST_F(Acceso, CancelLeavesTheSessionClosed)
{
    guion.op.alModal = [](QObject* o) {
        auto* f = qobject_cast<frmAcceso*>(o);
        QTest::keyClick(f, Qt::Key_Escape);
        return 0;
    };
    DB().OpenServerADODB(true);
    EXPECT_FALSE(DB().gOpenFlag);
    EXPECT_EQ(DB().gCnn.State(), adodb::adStateClosed);
}

TEST_F(Acceso, TheErrorBoxYesAndCorrectedDataConnect)
{
    // Started without a command line: nothing to connect with.
    DB().gDBName.clear();
    DB().gUsuario.clear();
    guion.op.respuestas = {rt::vbYes};
    guion.op.textos = {path};
    int vistas = 0;
    guion.op.alModal = [&](QObject* o) {
        ++vistas;
        auto* f = qobject_cast<frmAcceso*>(o);
        EXPECT_EQ(ControlDe<QLineEdit>(f, QStringLiteral("TxtDbName"))->text(),
                  QStringLiteral("ingrese el nombre de la base de datos"))
            << "filled from the empty session";
        EXPECT_EQ(ControlDe<QComboBox>(f, QStringLiteral("CboPlataformaDB"))->currentText(),
                  QStringLiteral("Archivo local (SQLite)"))
            << "no server: an embedded file";
        QTest::mouseClick(ControlDe<QPushButton>(f, QStringLiteral("CmdBuscarBase")), Qt::LeftButton);
        EXPECT_EQ(ControlDe<QLineEdit>(f, QStringLiteral("TxtDbName"))->text(), path);
        QTest::keyClicks(ControlDe<QLineEdit>(f, QStringLiteral("TxtUserId")), QStringLiteral("ADMIN"));
        QTest::mouseClick(ControlDe<QPushButton>(f, QStringLiteral("bcAceptar")), Qt::LeftButton);
        return 1;
    };
    DB().OpenServerADODB();
    EXPECT_EQ(vistas, 1);
    ASSERT_FALSE(guion.op.preguntas.empty());
    EXPECT_EQ(guion.op.preguntas[0].titulo, QStringLiteral(" Error de Conexion a Base de Datos"));
    EXPECT_TRUE(DB().gOpenFlag);
    EXPECT_EQ(DB().gCnn.State(), adodb::adStateOpen);
    EXPECT_EQ(DB().gDBName, path);
    EXPECT_EQ(DB().gServidor, QString()) << "the server prompt is not taken for a server";
    EXPECT_EQ(DB().gUsuario, QStringLiteral("ADMIN"));
}

TEST_F(Acceso, ChoosingOracleMarksTheServerOnce)
{
    guion.op.alModal = [](QObject* o) {
        auto* f = qobject_cast<frmAcceso*>(o);
        ControlDe<QLineEdit>(f, QStringLiteral("TxtServidor"))->setText("ORASRV#");
        ControlDe<QComboBox>(f, QStringLiteral("CboPlataformaDB"))->setCurrentIndex(1);
        f->bcAceptar_Click();
        return 1;
    };
    guion.op.respuestas = {rt::vbNo};
    DB().OpenServerADODB(true);
    EXPECT_EQ(DB().gServidor, QStringLiteral("ORASRV#"));
    EXPECT_EQ(DB().gProveedor, QStringLiteral("OraOLEDB.Oracle.1"));
}

TEST_F(Acceso, TheShortcutIsAValidDesktopEntryInTheUsersDesktopFolder)
{
    // A localised desktop folder, and a program folder whose name needs quoting.
    const QString escritorio = xdg.filePath("Escritorio");
    QDir().mkpath(xdg.filePath("config"));
    escribeArchivo(xdg.filePath("config/user-dirs.dirs"), "XDG_DESKTOP_DIR=\"" + QFile::encodeName(escritorio) + "\"\n");
    const QString carpeta = dir.filePath("Mis programas$") + u'/';
    QDir().mkpath(carpeta);
    RtEntorno::FijaCarpetaPrograma(carpeta);
    RtEntorno::FijaNombreEjecutable("TA_TITCOPIADORES");

    frmAcceso f;
    QTest::mouseClick(ControlDe<QPushButton>(f, QStringLiteral("CmdLineaComando")), Qt::LeftButton);
    RtEntorno::FijaNombreEjecutable({});
    const QString ruta = escritorio + QStringLiteral("/Quendril.desktop");
    const QString texto = QString::fromUtf8(leeArchivo(ruta));
    EXPECT_TRUE(texto.contains(QStringLiteral("\nName=Quendril\n")));
    EXPECT_TRUE(texto.contains(QStringLiteral("\nExec=\"") + dir.filePath("Mis programas\\\\$/TA_TITCOPIADORES\" --conexion\n")))
        << texto.toStdString();
    EXPECT_TRUE(texto.contains(QStringLiteral("\nIcon=titulos-copiadores\n")));
    EXPECT_TRUE(QFileInfo(ruta).isExecutable());

    const QString validador = QStandardPaths::findExecutable("desktop-file-validate");
    if (validador.isEmpty()) GTEST_SKIP() << "desktop-file-validate is not installed";
    QProcess p;
    p.start(validador, {ruta});
    ASSERT_TRUE(p.waitForFinished());
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardOutput().toStdString();
    EXPECT_TRUE(p.readAllStandardOutput().trimmed().isEmpty());
}

namespace {

// The arguments a desktop starts from an Exec value: the key's string
// escapes first, then its quoting, then "%%" for a plain "%".
QStringList ArgumentosExec(const QString& valor)
{
    QString v;
    for (qsizetype i = 0; i < valor.size(); ++i) {
        QChar c = valor[i];
        if (c == u'\\' && i + 1 < valor.size()) {
            c = valor[++i];
            if (c == u's')
                c = u' ';
            else if (c == u'n')
                c = u'\n';
            else if (c == u't')
                c = u'\t';
        }
        v += c;
    }
    QStringList args;
    QString a;
    bool dentro = false, hay = false;
    for (qsizetype i = 0; i < v.size(); ++i) {
        const QChar c = v[i];
        if (dentro) {
            if (c == u'\\' && i + 1 < v.size())
                a += v[++i];
            else if (c == u'"')
                dentro = false;
            else
                a += c;
        } else if (c == u'"') {
            dentro = hay = true;
        } else if (c == u' ') {
            if (hay) args << a;
            a.clear();
            hay = false;
        } else {
            a += c;
            hay = true;
        }
    }
    if (hay) args << a;
    for (QString& x : args) x.replace(QStringLiteral("%%"), QStringLiteral("%"));
    return args;
}

}  // namespace

TEST_F(Acceso, TheShortcutOpensTheDialogOnTheChosenConnection)
{
    registradas();
    QDir().mkpath(xdg.filePath("config"));
    const QString escritorio = xdg.filePath("Escritorio");
    escribeArchivo(xdg.filePath("config/user-dirs.dirs"), "XDG_DESKTOP_DIR=\"" + QFile::encodeName(escritorio) + "\"\n");
    RtEntorno::FijaNombreEjecutable("TA_TITCOPIADORES");
    const QString ruta = escritorio + QStringLiteral("/Quendril.desktop");

    // The operator picks the second registered connection and makes the launcher.
    {
        frmAcceso f;
        ASSERT_TRUE(teclado::Muestra(f));
        auto* lista = ControlDe<QListWidget>(f, QStringLiteral("lstBases"));
        teclado::Clic(lista->viewport(), Qt::LeftButton, lista->visualItemRect(lista->item(1)).center());
        ASSERT_EQ(ControlDe<QLineEdit>(f, QStringLiteral("TxtDbName"))->text(), QStringLiteral("Gestion"));
        teclado::Clic(ControlDe<QPushButton>(f, QStringLiteral("CmdLineaComando")));
    }
    RtEntorno::FijaNombreEjecutable({});
    ASSERT_EQ(guion.op.mensajes().size(), 1) << guion.op.mensajes().join(" | ").toStdString();
    EXPECT_EQ(guion.op.mensajes()[0],
              QStringLiteral("Se creó el acceso directo en ") + ruta + QStringLiteral(", para la conexion GESTION / SRV02."));

    QString exec;
    for (const QString& linea : QString::fromUtf8(leeArchivo(ruta)).split(u'\n'))
        if (linea.startsWith(QStringLiteral("Exec="))) exec = linea.mid(5);
    EXPECT_EQ(exec, dir.filePath("TA_TITCOPIADORES") + QStringLiteral(" \"--conexion=GESTION / SRV02\""));

    // Started by the desktop: the arguments go through the program's own
    // reading, and with no connection data the dialog comes up on that entry.
    QStringList argumentos = ArgumentosExec(exec);
    ASSERT_EQ(argumentos.size(), 2) << argumentos.join(" | ").toStdString();
    EXPECT_EQ(argumentos[0], dir.filePath("TA_TITCOPIADORES"));
    argumentos.removeFirst();
    ASSERT_TRUE(frmAcceso::TomaArgumentoConexion(argumentos));
    EXPECT_TRUE(argumentos.isEmpty()) << "nothing left for the command-line keys";
    DB().gDBName.clear();
    DB().gUsuario.clear();
    bool visto = false;
    guion.op.alModal = [&](QObject* o) {
        auto* f = qobject_cast<frmAcceso*>(o);
        visto = true;
        EXPECT_EQ(ControlDe<QListWidget>(f, QStringLiteral("lstBases"))->currentItem()->text(),
                  QStringLiteral("GESTION / SRV02"));
        EXPECT_EQ(ControlDe<QLineEdit>(f, QStringLiteral("TxtDbName"))->text(), QStringLiteral("Gestion"));
        EXPECT_EQ(ControlDe<QLineEdit>(f, QStringLiteral("TxtServidor"))->text(), QStringLiteral("srv02"));
        EXPECT_EQ(ControlDe<QLineEdit>(f, QStringLiteral("TxtPuerto"))->text(), QStringLiteral("1500"));
        return 0;
    };
    DB().OpenServerADODB(true);
    EXPECT_TRUE(visto) << "the connection dialog is offered first";
    EXPECT_FALSE(DB().gOpenFlag);

    // The menu's own start, plain "--conexion", keeps the first entry.
    QStringList menu{QStringLiteral("--conexion")};
    ASSERT_TRUE(frmAcceso::TomaArgumentoConexion(menu));
    guion.op.alModal = [&](QObject* o) {
        EXPECT_EQ(ControlDe<QListWidget>(qobject_cast<frmAcceso*>(o), QStringLiteral("lstBases"))->currentRow(), 0);
        return 0;
    };
    DB().OpenServerADODB(true);
    QStringList otros{QStringLiteral("@Server=srv01;")};
    EXPECT_FALSE(frmAcceso::TomaArgumentoConexion(otros));
    EXPECT_EQ(otros.size(), 1);
}

TEST_F(Acceso, RunningACommandWaitsWhileTheWindowAnswers)
{
    int latidos = 0;
    QTimer reloj;
    QObject::connect(&reloj, &QTimer::timeout, [&] { ++latidos; });
    reloj.start(20);
    QElapsedTimer t;
    t.start();
    EXPECT_TRUE(frmAcceso::EjecutarCmdRegDB(QStringLiteral("sh -c \"sleep 0.3\"")));
    EXPECT_GE(t.elapsed(), 250) << "the command is waited for";
    EXPECT_GE(latidos, 3) << "events ran during the wait";

    QString error;
    EXPECT_FALSE(frmAcceso::EjecutarCmdRegDB(dir.filePath("no_existe"), &error));
    EXPECT_EQ(error, QStringLiteral("Error al ejecutar el comando"));
}

// The package's demo beside an installed program folder: <prefix>/lib/titulos-copiadores/
// and <prefix>/share/titulos-copiadores/demo.db, read-only as dpkg leaves it.
class Demo : public Acceso {
protected:
    void SetUp() override
    {
        Acceso::SetUp();
        prepara(QStringLiteral("CREATE TABLE TA_TITCOPIADORES (CODIGO varchar(4) COLLATE CI, DESCRIPCION varchar(40));"
                               "INSERT INTO TA_TITCOPIADORES VALUES ('   1', 'Libro Diario General');"));
        ASSERT_TRUE(QDir().mkpath(dir.filePath("usr/lib/titulos-copiadores")));
        ASSERT_TRUE(QDir().mkpath(dir.filePath("usr/share/titulos-copiadores")));
        instalada = dir.filePath("usr/share/titulos-copiadores/demo.db");
        ASSERT_TRUE(QFile::copy(path, instalada));
        QFile::setPermissions(instalada, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        RtEntorno::FijaCarpetaPrograma(dir.filePath("usr/lib/titulos-copiadores") + u'/');
        qputenv("XDG_DATA_HOME", QFile::encodeName(xdg.filePath("data")));
        copia = xdg.filePath("data/titulos-copiadores/demo.db");
        // Started from the menu: no command line, so nothing to connect with.
        DB().gDBName.clear();
        DB().gUsuario.clear();
    }
    void TearDown() override
    {
        frmAcceso::ConservaSeleccion = false;
        qunsetenv("XDG_DATA_HOME");
        Acceso::TearDown();
    }
    long titulos()
    {
        return DB().gCnn.Execute(QStringLiteral("SELECT COUNT(*) FROM TA_TITCOPIADORES")).Fields(0).Value().toInt64();
    }
    QString instalada, copia;
};

TEST_F(Demo, TheFirstStartFromTheMenuOpensTheDemoWithEnter)
{
    EXPECT_EQ(RtDemo::Instalada(), instalada);
    frmAcceso::ConservaSeleccion = true;
    guion.op.alModal = [&](QObject* o) {
        auto* f = qobject_cast<frmAcceso*>(o);
        auto* lista = ControlDe<QListWidget>(f, QStringLiteral("lstBases"));
        EXPECT_EQ(lista->count(), 1);
        EXPECT_EQ(lista->currentItem()->text(), RtDemo::kEntrada);
        EXPECT_EQ(ControlDe<QLineEdit>(f, QStringLiteral("TxtDbName"))->text(), copia);
        EXPECT_EQ(ControlDe<QLineEdit>(f, QStringLiteral("TxtUserId"))->text(), QStringLiteral("ADMIN"));
        EXPECT_TRUE(teclado::Muestra(*f));
        teclado::Pulsa(Qt::Key_Return);  // the default button, wherever the focus starts
        return f->Aceptar() ? 1 : 0;
    };
    DB().OpenServerADODB(true);
    EXPECT_TRUE(guion.op.mensajes().isEmpty()) << guion.op.mensajes().join(" | ").toStdString();
    ASSERT_TRUE(DB().gOpenFlag);
    EXPECT_EQ(DB().gDBName, copia);
    EXPECT_EQ(DB().gUsuario, QStringLiteral("ADMIN"));
    EXPECT_EQ(titulos(), 1);

    // The user's copy takes writes, and a later start keeps them.
    DB().gCnn.Execute(QStringLiteral("INSERT INTO TA_TITCOPIADORES VALUES ('   2', 'Caja y Bancos')"));
    DB().gCnn.Close();
    EXPECT_EQ(RtDemo::Prepara(), copia);
    DB().OpenServerADODB();
    EXPECT_EQ(titulos(), 2);
    EXPECT_EQ(QFileInfo(instalada).size(), QFileInfo(path).size()) << "the installed copy is never written";
}

TEST_F(Demo, WithRegisteredConnectionsTheyComeFirstAndTheCommandLineStillRules)
{
    registradas();
    RtEntorno::FijaCarpetaPrograma(dir.path() + u'/');  // BASES.TXT sits in the program folder...
    EXPECT_EQ(RtDemo::Instalada(), QString()) << "... where no demo is installed beside it";
    RtEntorno::FijaCarpetaPrograma(dir.filePath("usr/lib/titulos-copiadores") + u'/');
    QFile::copy(bases, dir.filePath("usr/lib/titulos-copiadores/BASES.TXT"));
    frmAcceso f;
    auto* lista = ControlDe<QListWidget>(f, QStringLiteral("lstBases"));
    ASSERT_EQ(lista->count(), 3);
    EXPECT_EQ(lista->item(2)->text(), RtDemo::kEntrada);
    EXPECT_EQ(lista->currentRow(), 0);

    // Data that came with the command line are shown as they came, as always.
    frmAcceso::ConservaSeleccion = true;
    DB().gDBName = QStringLiteral("Otra");
    DatosAcceso d{QStringLiteral("Otra"), QStringLiteral("srv09"), QString(), QString(), 0};
    guion.op.alModal = [](QObject* o) {
        auto* f = qobject_cast<frmAcceso*>(o);
        EXPECT_EQ(ControlDe<QLineEdit>(f, QStringLiteral("TxtDbName"))->text(), QStringLiteral("Otra"));
        QTest::mouseClick(ControlDe<QPushButton>(f, QStringLiteral("bcCancelar")), Qt::LeftButton);
        return 0;
    };
    EXPECT_FALSE(frmAcceso::Pide(d));
}

TEST_F(Demo, AMissingInstalledDemoIsToldNotOpened)
{
    QFile::setPermissions(instalada, QFile::ReadOwner | QFile::WriteOwner);
    ASSERT_TRUE(QFile::remove(instalada));
    QString error;
    EXPECT_EQ(RtDemo::Prepara(&error), QString());
    EXPECT_EQ(error, QStringLiteral("No se encuentra la base de demostración instalada"));
    EXPECT_FALSE(QFileInfo::exists(copia));
    frmAcceso f;
    EXPECT_EQ(ControlDe<QListWidget>(f, QStringLiteral("lstBases"))->count(), 0) << "nothing offered that cannot open";
}
