// Registered or typed connection fields (server, database, user, password)
// end up in a connection string: each stays one value whatever it holds.
#include "../hostiles.h"
#include "../sesion_db.h"
#include "data/cadena_conexion.h"

#include "adodb/recordset.h"

#include <QDir>

TEST(CadenaHostil, StringsWrittenByHandReadAsBefore)
{
    const adodb::ConnectionInfo c = adodb::ConnectionInfo::parse(
        QStringLiteral("Provider=SQLOLEDB; Server = SRV ;Database =x.db;Pwd='sin cierre;Extra=1;;Clave"));
    EXPECT_EQ(c.server, QStringLiteral("SRV"));
    EXPECT_EQ(c.database, QStringLiteral("x.db"));
    EXPECT_EQ(c.password, QStringLiteral("'sin cierre")) << "an unclosed quote is part of the value";
    EXPECT_EQ(c.extra, QStringLiteral("Extra=1;"));
    const adodb::ConnectionInfo q = adodb::ConnectionInfo::parse(QStringLiteral("Pwd=\"a;b\"\"c\" ;UId='o''h'"));
    EXPECT_EQ(q.password, QStringLiteral("a;b\"c"));
    EXPECT_EQ(q.user, QStringLiteral("o'h"));
}

// The session, the dialog's probe and registration build the string in one
// place: the same data give the same string, each typed value one value.
TEST(CadenaHostil, TheDialogsDataGiveOneStringWhoeverAsks)
{
    const DatosAcceso d{QStringLiteral("conta;x.db"), QStringLiteral("SRV"), QStringLiteral("ADMIN"), QStringLiteral("a\"b;c"),
                        0};
    DatosAcceso oracle = d;
    oracle.plataforma = 1;
    const struct {
        DatosAcceso datos;
        const char *proveedor, *extendido, *esperada;
    } casos[] = {
        {d, "SQLOLEDB", "", R"(PROVIDER=SQLOLEDB;Server=SRV;Database ="conta;x.db";UId=ADMIN;Pwd="a""b;c";)"},
        {d, "MSDASQL", "Encrypt=no;", R"(PROVIDER=MSDASQL;Server=SRV;Database ="conta;x.db";UId=ADMIN;Pwd="a""b;c";Encrypt=no;)"},
        {oracle, "SQLOLEDB", "Encrypt=no;",
         R"(Provider=OraOLEDB.Oracle.1;Data Source="conta;x.db";User Id=ADMIN;Password="a""b;c";)"},
    };
    for (const auto& c : casos)
        EXPECT_EQ(CadenaConexion(c.datos, QString::fromLatin1(c.proveedor), QString::fromLatin1(c.extendido)),
                  QString::fromLatin1(c.esperada));
}

class ArchivoHostil : public SesionDb {};

TEST_F(ArchivoHostil, EachFieldStaysOneValueAndTheFileOpens)
{
    // The embedded engine's database is a file: its name is whatever the
    // operator chose; user and password travel beside it.
    for (const TextoHostil& h : TextosHostiles(200)) {
        SCOPED_TRACE(h.nombre);
        if (DB().gCnn.State()) DB().gCnn.Close();
        path = dir.filePath(QStringLiteral("db ") + QString(h.texto).remove(QChar(u'\0')).replace(u'/', u'-') +
                            QStringLiteral(".db"));
        {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
        }
        {
            adodb::Connection cn;
            cn.Open(QStringLiteral("PROVIDER=SQLOLEDB;Server=;Database =") + adodb::quoteConnectionValue(path) + u';');
            cn.Execute(QStringLiteral("CREATE TABLE T (A int); INSERT INTO T VALUES (7);"));
        }
        DB().gDBName = path;
        DB().gUsuario = h.texto;
        DB().gUserPassWord = h.texto;
        DB().gExtended = QStringLiteral("Encrypt=no;");
        conecta();
        ASSERT_TRUE(DB().gOpenFlag);
        EXPECT_EQ(DB().gCnn.Execute(QStringLiteral("SELECT A FROM T")).Fields(0).Value().toInt64(), 7);
        const adodb::ConnectionInfo c = adodb::ConnectionInfo::parse(DB().gConnString);
        EXPECT_EQ(c.database, path);
        EXPECT_EQ(c.user, h.texto);
        EXPECT_EQ(c.password, h.texto);
        EXPECT_EQ(c.extra, QStringLiteral("Encrypt=no;")) << "no key of the text's own";
    }
    EXPECT_EQ(QDir(dir.path()).entryList({QStringLiteral("*.db")}, QDir::Files).size(), TextosHostiles(200).size() + 1)
        << "no file made of part of a name";
}
