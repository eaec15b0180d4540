// The access dialog used as an operator uses it: clicks, Tab, arrow keys and
// Enter on the real widgets, from the connection manager's request to the
// connection opened, and registrations read back from BASES.TXT.
#include "access_dialog/bases_txt.h"
#include "access_dialog/frmacceso.h"
#include "runtime/operador_qt.h"
#include "runtime/rttexto.h"

#include "../aplicacion.h"
#include "../archivos_prueba.h"
#include "../control.h"
#include "../sesion_db.h"
#include "../teclado.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

using teclado::Clic;
using teclado::Pulsa;
using teclado::Teclea;

namespace {

class RecorridoAcceso : public SesionDb {
protected:
    void SetUp() override
    {
        aplicacion();
        SesionDb::SetUp();
        bases = dir.filePath("BASES.TXT");
        frmAcceso::Instala();
    }
    QLineEdit* caja(const QWidget* f, const char* nombre) { return ControlDe<QLineEdit>(f, QString::fromLatin1(nombre)); }
    QPushButton* boton(const QWidget* f, const char* nombre) { return ControlDe<QPushButton>(f, QString::fromLatin1(nombre)); }
    /// A click on the list's entry `fila`, where the mouse would land.
    void eligeEntrada(const QWidget* f, int fila)
    {
        auto* lista = ControlDe<QListWidget>(f, QStringLiteral("lstBases"));
        lista->scrollToItem(lista->item(fila));  // as the operator scrolls to it
        Clic(lista->viewport(), Qt::LeftButton, lista->visualItemRect(lista->item(fila)).center());
    }
    /// Replaces whatever the box shows, as Ctrl+A and typing do.
    void reescribe(QLineEdit* c, const QString& texto)
    {
        Clic(c);
        Pulsa(Qt::Key_A, Qt::ControlModifier);
        teclado::TecleaLetras(texto);
    }
    QString bases;
};

}  // namespace

TEST_F(RecorridoAcceso, TypingIntoABoxReplacesItsPromptWhateverGaveItTheFocusAndConnects)
{
    // Started without a command line: the error box's Yes brings the dialog.
    DB().gDBName.clear();
    DB().gUsuario.clear();
    guion.op.respuestas = {rt::vbYes};
    guion.op.alModal = [&](QObject* o) {
        auto* f = qobject_cast<frmAcceso*>(o);
        EXPECT_TRUE(teclado::Muestra(*f));
        QLineEdit* servidor = caja(f, "TxtServidor");
        Clic(servidor);  // the mouse leaves the cursor inside the prompt, nothing selected
        Pulsa(Qt::Key_End);
        Pulsa(Qt::Key_Left);
        Teclea(QStringLiteral("x"));
        EXPECT_EQ(servidor->text(), QStringLiteral("x"));
        Pulsa(Qt::Key_Backspace);
        EXPECT_EQ(servidor->text(), QStringLiteral("ingrese el nombre del servidor e instancia")) << "emptied, it prompts again";
        Pulsa(Qt::Key_Right);
        Pulsa(Qt::Key_Backspace);
        EXPECT_EQ(servidor->text(), QStringLiteral("ingrese el nombre del servidor e instancia"))
            << "a Backspace on the prompt takes it all";

        Clic(caja(f, "TxtDbName"));
        Teclea(path);
        EXPECT_EQ(caja(f, "TxtDbName")->text(), path);
        Clic(caja(f, "TxtUserId"));
        EXPECT_EQ(caja(f, "TxtUserId")->text(), QStringLiteral("Ingrese el usuario"));
        Teclea(QStringLiteral("ADMIN"));
        EXPECT_EQ(caja(f, "TxtUserId")->text(), QStringLiteral("ADMIN"));
        teclado::ShiftTab();
        teclado::Tab();  // Tab selects what it enters; typing then replaces a typed value too
        Teclea(QStringLiteral("ADMIN"));
        Pulsa(Qt::Key_Return);
        EXPECT_TRUE(f->Aceptar()) << "Enter takes the default button";
        return 1;
    };
    DB().OpenServerADODB();
    ASSERT_TRUE(DB().gOpenFlag) << guion.op.mensajes().join('|').toStdString();
    EXPECT_EQ(DB().gCnn.State(), adodb::adStateOpen);
    EXPECT_EQ(DB().gDBName, path);
    EXPECT_EQ(DB().gServidor, QString());
    EXPECT_EQ(DB().gUsuario, QStringLiteral("ADMIN"));
}

TEST_F(RecorridoAcceso, ThePortShownIsTheChosenEntrysAndATypedOneReachesTheConnection)
{
    const QByteArray clave = RtTexto::CodificaClave("clave").toLatin1();
    escribeArchivo(bases,
                   "GESTION / SRV02,Gestion,sa," + clave + ",srv02:1500\r\nCONTABLE / SRV01,Contable,sa," + clave + ",srv01\r\n");
    int vez = 0;
    guion.op.alModal = [&](QObject* o) {
        auto* f = qobject_cast<frmAcceso*>(o);
        EXPECT_TRUE(teclado::Muestra(*f));
        if (++vez == 1) {
            EXPECT_EQ(caja(f, "TxtServidor")->text(), QStringLiteral("srv09"));
            EXPECT_EQ(caja(f, "TxtPuerto")->text(), QStringLiteral("1600")) << "the session's port, not the first entry's";
            eligeEntrada(f, 1);
            EXPECT_EQ(caja(f, "TxtServidor")->text(), QStringLiteral("srv01"));
            EXPECT_EQ(caja(f, "TxtPuerto")->text(), QStringLiteral("1433")) << "an entry without a port has the default one";
            Pulsa(Qt::Key_Up);
            EXPECT_EQ(caja(f, "TxtDbName")->text(), QStringLiteral("Gestion"));
            EXPECT_EQ(caja(f, "TxtPuerto")->text(), QStringLiteral("1500"));
            Pulsa(Qt::Key_Return);
            return 1;
        }
        // Typed from the server box on, moving with Tab.
        reescribe(caja(f, "TxtServidor"), QStringLiteral("srv05"));
        teclado::Tab();
        Teclea(QStringLiteral("Conta"));
        teclado::Tab(2);  // past the button that looks for a file
        Teclea(QStringLiteral("sa"));
        teclado::Tab(2);
        EXPECT_EQ(teclado::Foco(), caja(f, "TxtPuerto"));
        Teclea(QStringLiteral("15OO"));
        Pulsa(Qt::Key_Return);
        EXPECT_FALSE(f->Aceptar()) << "a port that is no number is refused";
        EXPECT_EQ(teclado::Foco(), caja(f, "TxtPuerto"));
        Teclea(QStringLiteral("1700"));
        Pulsa(Qt::Key_Return);
        return 1;
    };
    DatosAcceso d{QStringLiteral("Otra"), QStringLiteral("srv09,1600"), {}, {}, 0};
    ASSERT_TRUE(frmAcceso::Pide(d));
    EXPECT_EQ(d.servidor, QStringLiteral("srv02,1500")) << "the entry's port reaches the connection";
    EXPECT_EQ(d.baseDatos, QStringLiteral("Gestion"));
    ASSERT_TRUE(frmAcceso::Pide(d));
    EXPECT_EQ(d.servidor, QStringLiteral("srv05,1700"));
    EXPECT_EQ(d.baseDatos, QStringLiteral("Conta"));
    EXPECT_EQ(d.usuario, QStringLiteral("sa"));
    ASSERT_EQ(guion.op.mensajes(), QStringList{QStringLiteral("El puerto debe ser un número entre 1 y 65535.")});
}

TEST_F(RecorridoAcceso, ARegistrationKeepsTheTypedDataAndIsNotRepeated)
{
    frmAcceso f;
    ASSERT_TRUE(teclado::Muestra(f));
    reescribe(caja(&f, "TxtDbName"), path);
    reescribe(caja(&f, "TxtUserId"), QStringLiteral("ADMIN"));
    Clic(boton(&f, "CmdRegistrar"));
    EXPECT_EQ(guion.op.mensajes(), QStringList());
    ASSERT_TRUE(QFileInfo::exists(bases));
    const auto modo = QFileInfo(bases).permissions() & QFileDevice::Permissions(0x7077);  // owner, group, others
    EXPECT_EQ(modo, QFileDevice::ReadOwner | QFileDevice::WriteOwner) << "it holds passwords: its owner's only";
    EXPECT_EQ(caja(&f, "TxtDbName")->text(), path) << "the list filled again leaves the boxes alone";
    EXPECT_EQ(caja(&f, "TxtUserId")->text(), QStringLiteral("ADMIN"));
    auto* lista = ControlDe<QListWidget>(f, QStringLiteral("lstBases"));
    ASSERT_EQ(lista->count(), 1);
    EXPECT_EQ(lista->currentRow(), 0) << "the new entry is the one selected";

    // An embedded file has a blank server; the entry is found all the same.
    // A real message box, answered by Enter.
    rt::OperadorQt qt;
    rt::fijaOperador(&qt);
    QString visto;
    teclado::Contesta(Qt::Key_Return, &visto);
    Clic(boton(&f, "CmdRegistrar"));
    rt::fijaOperador(&guion.op);
    EXPECT_EQ(visto, QStringLiteral("La conexion que intenta registrar ya existe "));
    EXPECT_EQ(leeArchivo(bases).count('\n'), 1);

    ASSERT_TRUE(teclado::Muestra(f)) << "back from the box";
    Clic(caja(&f, "TxtDbName"));  // Enter on Registrar, focused since its click, would register again
    Pulsa(Qt::Key_Return);
    EXPECT_TRUE(f.Aceptar());
    EXPECT_EQ(caja(&f, "TxtDbName")->text(), path);
}

TEST_F(RecorridoAcceso, OnlyTheTypedConnectionWhenReachedAndStorableIsRegistered)
{
    escribeArchivo(bases, BasesTxt::Linea({BasesTxt::NombreEntrada(path, {}), path, "ADMIN", {}, {}}));
    const QByteArray antes = leeArchivo(bases);
    frmAcceso f;
    ASSERT_TRUE(teclado::Muestra(f));

    // What BASES.TXT cannot hold is refused before anything is tried.
    for (const QString& base : {QStringLiteral("Conta \"2024\""), QStringLiteral("Łódź")}) {
        reescribe(caja(&f, "TxtDbName"), base);
        Clic(boton(&f, "CmdRegistrar"));
    }
    const QStringList rechazos = guion.op.mensajes();
    ASSERT_EQ(rechazos.size(), 2) << rechazos.join('|').toStdString();
    EXPECT_TRUE(rechazos[0].startsWith(QStringLiteral("No se puede registrar la conexion: \"Conta \"2024\"\"")));
    EXPECT_TRUE(rechazos[1].contains(QStringLiteral("(Ł)"))) << rechazos[1].toStdString();

    // A ";" in the database box stays in the name: the probe (which tries the
    // name in upper case) is not sent to another file.
    guion.op.preguntas.clear();
    escribeArchivo(dir.filePath("OTRA.DB"), {});
    const QString antesDir = QDir::currentPath();
    QDir::setCurrent(dir.path());
    reescribe(caja(&f, "TxtDbName"), QStringLiteral("nueva;Database =OTRA.DB"));
    Clic(boton(&f, "CmdRegistrar"));
    QDir::setCurrent(antesDir);
    EXPECT_EQ(guion.op.mensajes().size(), 2) << "the connection error box, answered No, and the notice";
    EXPECT_EQ(leeArchivo(bases), antes);

    // Yes in the error box, then another entry accepted in the dialog it brings.
    guion.op.preguntas.clear();
    guion.op.respuestas = {rt::vbYes};
    guion.op.alModal = [&](QObject* o) {
        auto* otro = qobject_cast<frmAcceso*>(o);
        EXPECT_TRUE(teclado::Muestra(*otro));
        eligeEntrada(otro, 0);
        Pulsa(Qt::Key_Return);
        return 1;
    };
    reescribe(caja(&f, "TxtDbName"), dir.filePath("no_existe.db"));
    Clic(boton(&f, "CmdRegistrar"));
    const QStringList m = guion.op.mensajes();
    ASSERT_EQ(m.size(), 2) << m.join('|').toStdString();
    EXPECT_EQ(m[1], QStringLiteral("NO SE PUDO CONECTAR AL SERVIDOR  VERIFIQUE EL NOMBRE DE USUARIO Y PASSWORD INGRESADO"));
    EXPECT_EQ(leeArchivo(bases), antes) << "nothing registered";
    EXPECT_EQ(DB().gCnn.State(), adodb::adStateClosed) << "the connection reached instead is not kept";

    // The database typed, reached without the server typed: not the typed connection either.
    guion.op.preguntas.clear();
    guion.op.respuestas = {rt::vbYes};
    guion.op.alModal = [&](QObject* o) {
        auto* otro = qobject_cast<frmAcceso*>(o);
        EXPECT_TRUE(teclado::Muestra(*otro));
        EXPECT_EQ(caja(otro, "TxtDbName")->text(), path);
        Clic(caja(otro, "TxtServidor"));
        Pulsa(Qt::Key_A, Qt::ControlModifier);
        Pulsa(Qt::Key_Backspace);
        Pulsa(Qt::Key_Return);
        return 1;
    };
    ASSERT_TRUE(teclado::Muestra(f));
    reescribe(caja(&f, "TxtServidor"), QStringLiteral("ORASRV#"));
    reescribe(caja(&f, "TxtDbName"), path);
    Clic(boton(&f, "CmdRegistrar"));
    EXPECT_EQ(guion.op.mensajes().value(guion.op.mensajes().size() - 1),
              QStringLiteral("NO SE PUDO CONECTAR AL SERVIDOR ORASRV# VERIFIQUE EL NOMBRE DE USUARIO Y PASSWORD INGRESADO"))
        << guion.op.mensajes().join('|').toStdString();
    EXPECT_EQ(leeArchivo(bases), antes) << "nothing registered";
}

TEST_F(RecorridoAcceso, TheShortcutButtonIsReachedByTabAndEscCancels)
{
    QDir().mkpath(dir.filePath("xdg-config"));
    const QString escritorio = dir.filePath("Escritorio");
    escribeArchivo(dir.filePath("xdg-config/user-dirs.dirs"), "XDG_DESKTOP_DIR=\"" + QFile::encodeName(escritorio) + "\"\n");
    guion.op.alModal = [&](QObject* o) {
        auto* f = qobject_cast<frmAcceso*>(o);
        EXPECT_TRUE(teclado::Muestra(*f));
        for (int i = 0; i < 20 && teclado::Foco() != boton(f, "CmdLineaComando"); ++i) teclado::Tab();
        EXPECT_EQ(teclado::Foco(), boton(f, "CmdLineaComando"));
        Pulsa(Qt::Key_Space);
        EXPECT_TRUE(QFileInfo::exists(escritorio + QStringLiteral("/Quendril.desktop")));
        // Enter presses it too, not the default Aceptar.
        QFile::remove(escritorio + QStringLiteral("/Quendril.desktop"));
        Pulsa(Qt::Key_Return);
        EXPECT_TRUE(QFileInfo::exists(escritorio + QStringLiteral("/Quendril.desktop")));
        EXPECT_TRUE(f->isVisible());
        Pulsa(Qt::Key_Escape);
        EXPECT_FALSE(f->isVisible());
        return 0;
    };
    DatosAcceso d{path, {}, QStringLiteral("ADMIN"), {}, 0};
    EXPECT_FALSE(frmAcceso::Pide(d));
    EXPECT_EQ(d.baseDatos, path) << "a cancelled dialog changes nothing";
}

TEST_F(RecorridoAcceso, EveryKindOfServerReadsBackAsTypedWithItsPort)
{
    // What the dialog would register for each kind of server, picked back from the file.
    struct Caso {
        const char* servidor;
        const char* puerto;
    };
    const Caso casos[] = {
        {"", "1433"},                  // an embedded file
        {"srv01", "1433"},             // SQL Server, default port
        {"Srv01", "1500"},             // ... another port, letter case kept
        {"SRV01\\INSTANCIA", "1433"},  // ... a named instance
        {"srv01,1600", "1433"},        // ... the port in the name
        {"tcp:srv01,1600", "1433"},    // ... as the vendor's driver writes it
        {"ORA01#", "1433"},            // Oracle
        {"ORA01#", "1521"},
        {"pg:127.0.0.1", "55432"},  // PostgreSQL
        {"pg:dbhost", "1433"},
        {"pg:dbhost,5432", "1433"},
        {"pg:5432", "1433"},  // a host named like a port
        {"pg:::1", "1433"},   // an address whose end looks like a port
        {"pg:::1", "5433"},
    };
    QByteArray archivo;
    for (const Caso& c : casos) {
        const QString s = QString::fromLatin1(c.servidor), p = QString::fromLatin1(c.puerto);
        const QString base = QStringLiteral("base%1").arg(archivo.count('\n'));
        archivo += BasesTxt::Linea(
            {BasesTxt::NombreEntrada(base, s), base, {}, {}, BasesTxt::CampoServidor(s, p == "1433" ? QString() : p)});
    }
    escribeArchivo(bases, archivo);
    frmAcceso f;
    ASSERT_TRUE(teclado::Muestra(f));
    auto* lista = ControlDe<QListWidget>(f, QStringLiteral("lstBases"));
    ASSERT_EQ(lista->count(), static_cast<int>(std::size(casos)));
    for (int i = 0; i < lista->count(); ++i) {
        eligeEntrada(&f, i);
        const QString servidor = caja(&f, "TxtServidor")->text();
        EXPECT_EQ(frmAcceso::Valor(caja(&f, "TxtServidor")), QString::fromLatin1(casos[i].servidor))
            << lista->item(i)->text().toStdString();
        EXPECT_EQ(caja(&f, "TxtPuerto")->text(), QString::fromLatin1(casos[i].puerto)) << servidor.toStdString();
    }
    EXPECT_EQ(lista->item(8)->text(), QStringLiteral("BASE8 / PG:127.0.0.1")) << "two PostgreSQL hosts are two entries";
}

TEST_F(RecorridoAcceso, PickingAConnectionKeepsTheUserAndAcceptingAsksForAMissingOne)
{
    const QByteArray clave = RtTexto::CodificaClave("clave").toLatin1();
    escribeArchivo(bases, "CONTABLE / SRV01,Contable,sa," + clave + ",srv01\r\nGESTION / SRV02,Gestion,,,srv02:1500\r\n");
    int vez = 0;
    guion.op.alModal = [&](QObject* o) {
        auto* f = qobject_cast<frmAcceso*>(o);
        EXPECT_TRUE(teclado::Muestra(*f));
        if (++vez == 1) {
            // Started with a user: picking a connection keeps it.
            EXPECT_EQ(caja(f, "TxtUserId")->text(), QStringLiteral("juan"));
            eligeEntrada(f, 1);
            EXPECT_EQ(caja(f, "TxtUserId")->text(), QStringLiteral("juan"));
            Pulsa(Qt::Key_Return);
            return 1;
        }
        // The user box emptied: the entry's user fills it, and the next entry
        // picked, which has none, leaves it empty, which Enter does not take.
        reescribe(caja(f, "TxtUserId"), QString());
        Pulsa(Qt::Key_Backspace);
        eligeEntrada(f, 0);
        EXPECT_EQ(caja(f, "TxtUserId")->text(), QStringLiteral("sa"));
        eligeEntrada(f, 1);
        EXPECT_EQ(frmAcceso::Valor(caja(f, "TxtUserId")), QString());
        Pulsa(Qt::Key_Return);
        EXPECT_FALSE(f->Aceptar()) << "no connection opened with a blank user";
        EXPECT_EQ(teclado::Foco(), caja(f, "TxtUserId"));
        Teclea(QStringLiteral("ana"));
        Pulsa(Qt::Key_Return);
        return f->Aceptar() ? 1 : 0;
    };
    DatosAcceso d{QStringLiteral("Otra"), QStringLiteral("srv09"), QStringLiteral("juan"), {}, 0};
    ASSERT_TRUE(frmAcceso::Pide(d));
    EXPECT_EQ(d.usuario, QStringLiteral("juan"));
    EXPECT_EQ(d.servidor, QStringLiteral("srv02,1500"));
    ASSERT_TRUE(frmAcceso::Pide(d));
    EXPECT_EQ(d.usuario, QStringLiteral("ana"));
    EXPECT_EQ(guion.op.mensajes(), QStringList{QStringLiteral("Ingrese el nombre de usuario.")});
}

TEST_F(RecorridoAcceso, PromptsAreDrawnAsPromptsAndTypedTextAsText)
{
    frmAcceso f;
    ASSERT_TRUE(teclado::Muestra(f));
    const QColor texto = f.palette().color(QPalette::Text), indicacion = f.palette().color(QPalette::PlaceholderText);
    ASSERT_NE(texto, indicacion);
    for (const char* nombre : {"TxtServidor", "TxtDbName", "TxtUserId"}) {
        QLineEdit* c = caja(&f, nombre);
        Clic(c);
        EXPECT_FALSE(c->text().isEmpty()) << nombre << " shows its prompt";
        EXPECT_EQ(frmAcceso::Valor(c), QString()) << nombre;
        EXPECT_EQ(c->palette().color(QPalette::Text), indicacion) << nombre;
        Teclea(QStringLiteral("x"));
        EXPECT_EQ(c->palette().color(QPalette::Text), texto) << nombre << ": typed";
        Pulsa(Qt::Key_Backspace);
        teclado::Tab();  // the user box prompts again when it next gets the focus
        teclado::ShiftTab();
        EXPECT_EQ(frmAcceso::Valor(c), QString());
        EXPECT_EQ(c->palette().color(QPalette::Text), indicacion) << nombre << ": emptied, the prompt again";
    }
}

TEST_F(RecorridoAcceso, ThePlatformSaysWhatTheChosenConnectionIs)
{
    escribeArchivo(bases, BasesTxt::Linea({"LOCAL / ", path, {}, {}, {}}) +
                              BasesTxt::Linea({"CONTA / SRV01", "Conta", {}, {}, "srv01"}) +
                              BasesTxt::Linea({"CONTA / PG:DBHOST", "conta", {}, {}, "pg:dbhost:5432"}) +
                              BasesTxt::Linea({"CONTA / ORA01#", "Conta", {}, {}, "ORA01#"}));
    frmAcceso f;
    ASSERT_TRUE(teclado::Muestra(f));
    auto* plataforma = ControlDe<QComboBox>(f, QStringLiteral("CboPlataformaDB"));
    const char* esperadas[] = {"Archivo local (SQLite)", "SQL Server", "PostgreSQL", "ORACLE"};
    for (int i = 0; i < 4; ++i) {
        eligeEntrada(&f, i);
        EXPECT_EQ(plataforma->currentText(), QString::fromLatin1(esperadas[i]));
    }
    // Chosen with the keyboard, the platform puts the server in its form.
    eligeEntrada(&f, 1);
    Clic(caja(&f, "TxtServidor"));
    teclado::ShiftTab();
    ASSERT_EQ(teclado::Foco(), plataforma);
    for (int i = 0; i < 2; ++i) Pulsa(Qt::Key_Down);
    EXPECT_EQ(plataforma->currentText(), QStringLiteral("PostgreSQL"));
    EXPECT_EQ(caja(&f, "TxtServidor")->text(), QStringLiteral("pg:srv01"));
    Pulsa(Qt::Key_Down);
    EXPECT_EQ(caja(&f, "TxtServidor")->text(), QStringLiteral("ingrese el nombre del servidor e instancia"))
        << "a local file has no server";
    EXPECT_EQ(plataforma->currentText(), QStringLiteral("Archivo local (SQLite)"));
}

TEST_F(RecorridoAcceso, TabFollowsTheLayout)
{
    frmAcceso f;
    ASSERT_TRUE(teclado::Muestra(f));
    Clic(caja(&f, "TxtServidor"));
    const char* orden[] = {"TxtDbName", "CmdBuscarBase", "TxtUserId", "TxtUserPassword", "TxtPuerto"};
    for (const char* nombre : orden) {
        teclado::Tab();
        EXPECT_EQ(teclado::Foco()->objectName(), QString::fromLatin1(nombre));
    }
    teclado::ShiftTab(3);
    EXPECT_EQ(teclado::Foco()->objectName(), QStringLiteral("CmdBuscarBase"));
}
