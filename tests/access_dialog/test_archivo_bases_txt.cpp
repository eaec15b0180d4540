// BASES.TXT as hand edits and other programs leave it, and registered
// connections whose fields hold anything an operator can type.
#include "access_dialog/bases_txt.h"
#include "runtime/rtarchivos.h"
#include "runtime/rttexto.h"

#include "../archivos_prueba.h"
#include "../hostiles.h"
#include "../sesion_db.h"

namespace {

class BasesTxtArchivo : public SesionDb {
protected:
    void SetUp() override
    {
        SesionDb::SetUp();
        bases = dir.filePath(QStringLiteral("BASES.TXT"));
    }
    QList<BasesTxt::Conexion> lee(const QByteArray& contenido)
    {
        escribeArchivo(bases, contenido);
        bool leido = false;
        const QList<BasesTxt::Conexion> l = BasesTxt::Lee(bases, &leido);
        EXPECT_TRUE(leido);
        return l;
    }
    QString bases;
};

}  // namespace

// Hand edits and other programs' lines: every field as the suite's reader
// takes it ("name|database|user|stored password|server", one a connection).
TEST_F(BasesTxtArchivo, LineasComoLasDejanOtrosSeLeenCampoPorCampo)
{
    const struct {
        const char* caso;
        QByteArray contenido;
        QStringList esperadas;
    } casos[] = {
        {"campos que faltan se leen vacios",
         "SOLO / SRV\r\nCON BASE / SRV,base\r\n,,,,\r\n",
         {"SOLO / SRV||||", "CON BASE / SRV|base|||", "||||"}},
        {"campos de mas se ignoran", "A / S,a,sa,41,s,sobra,otra\r\n", {"A / S|a|sa|41|s"}},
        {"una coma dentro de un valor citado queda en el valor",
         "\"A, B / S\",\"base, con coma\",sa,,\"srv,1433\"\r\n",
         {"A, B / S|base, con coma|sa||srv,1433"}},
        {"una comilla sin cerrar toma el resto de su linea y no el de la siguiente",
         "\"ABIERTA / S,base,sa,,srv\r\nSIGUE / S,b,sa,,s\r\n",
         {"ABIERTA / S,base,sa,,srv||||", "SIGUE / S|b|sa||s"}},
        {"las lineas en blanco se saltean y la ultima no necesita fin de linea",
         "\r\n   \r\nA / S,a,sa,,s\r\n\r\n\t\r\nB / S,b,sa,,s",
         {"A / S|a|sa||s", "B / S|b|sa||s"}},
        {"solo saltos de linea Unix, sin un CR suelto", "A / S,a,sa,,s\nB / S,b,sa,,s\n", {"A / S|a|sa||s", "B / S|b|sa||s"}},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.caso);
        QStringList leidas;
        for (const BasesTxt::Conexion& l : lee(c.contenido))
            leidas << QStringList{l.nombre, l.baseDatos, l.usuario, l.clave, l.servidor}.join(u'|');
        EXPECT_EQ(leidas, c.esperadas);
    }
}

TEST_F(BasesTxtArchivo, LineaDe100000CaracteresSeLeeEntera)
{
    const QByteArray largo(100000, 'x');
    const auto l = lee("LARGA / S," + largo + ",sa,,srv\r\nDESPUES / S,d,sa,,s\r\n");
    ASSERT_EQ(l.size(), 2);
    EXPECT_EQ(l[0].baseDatos.size(), 100000);
    EXPECT_EQ(l[0].servidor, QStringLiteral("srv"));
    EXPECT_EQ(l[1].nombre, QStringLiteral("DESPUES / S"));
}

TEST_F(BasesTxtArchivo, BytesSinLetraEnWindows1252SeConservan)
{
    // 0x81, 0x8D, 0x8F, 0x90 and 0x9D have no letter in Windows-1252; the
    // entry keeps them and writes them back unchanged.
    const QByteArray linea = "RARA\x81\x8D / S,b\x8F\x90\x9D,sa,,s\r\n";
    const auto l = lee(linea);
    ASSERT_EQ(l.size(), 1);
    EXPECT_EQ(BasesTxt::Linea(l[0]), linea);
}

TEST_F(BasesTxtArchivo, BasuraBinariaSeLeeSinCaerse)
{
    QByteArray junk;
    for (int i = 0; i < 20000; ++i) junk.append(static_cast<char>((i * 7919) % 256));
    escribeArchivo(bases, junk);
    bool leido = false;
    const auto l = BasesTxt::Lee(bases, &leido);
    EXPECT_TRUE(leido);
    for (const auto& c : l) EXPECT_FALSE(c.nombre.contains(u'\n'));
}

// Registered connections: what the operator typed in the dialog comes back
// as typed, but for the blanks around it. What a line cannot keep as it is
// (a double quote, which the suite's reader takes for quoting, a line break,
// a letter Windows-1252 lacks) is refused and nothing is written; the
// password, stored encoded, may hold anything.
TEST_F(BasesTxtArchivo, CamposHostilesRegistradosSeLeenComoSeEscribieron)
{
    RtEntorno::FijaCarpetaPrograma(dir.path() + QStringLiteral("/"));
    QList<TextoHostil> hostiles = TextosHostiles();
    hostiles.append({{"letra fuera de Windows-1252", QStringLiteral("Łódź")},
                     {"fuera del plano basico", QStringLiteral("base \U0001F600")},
                     {"salto de linea", QStringLiteral("a\nb")},
                     {"euro y enie", QStringLiteral("€ año")}});
    for (const TextoHostil& h : hostiles) {
        SCOPED_TRACE(h.nombre);
        QString error;
        if (BasesTxt::CaracterNoGrabable(h.texto).isEmpty()) {
            EXPECT_TRUE(BasesTxt::GrabaConexion(h.texto, h.texto, h.texto, h.texto, h.texto, &error)) << error.toStdString();
            continue;
        }
        EXPECT_FALSE(BasesTxt::GrabaConexion(h.texto, h.texto, h.texto, h.texto, h.texto, &error));
        EXPECT_TRUE(error.contains(QStringLiteral(" no puede guardar"))) << error.toStdString();
        // The password itself is never the reason.
        EXPECT_TRUE(BasesTxt::GrabaConexion(QStringLiteral("RECHAZADA / S"), "r", "sa", h.texto, {}));
    }
    EXPECT_EQ(BasesTxt::CaracterNoGrabable(QStringLiteral("\"q\"")), QStringLiteral("\""));
    EXPECT_EQ(BasesTxt::CaracterNoGrabable(QStringLiteral("x\U0001F600")), QStringLiteral("\U0001F600"));

    bool leido = false;
    const auto l = BasesTxt::Lee(BasesTxt::RutaLectura(), &leido);
    ASSERT_TRUE(leido);
    ASSERT_EQ(l.size(), hostiles.size());
    for (qsizetype i = 0; i < hostiles.size(); ++i) {
        SCOPED_TRACE(hostiles[i].nombre);
        const QString t = hostiles[i].texto;
        const QString esperado = BasesTxt::CaracterNoGrabable(t).isEmpty() ? t.trimmed() : QStringLiteral("r");
        EXPECT_EQ(l[i].baseDatos, esperado);
        if (esperado != QStringLiteral("r")) {
            EXPECT_EQ(l[i].nombre, esperado);
            EXPECT_EQ(l[i].usuario, esperado);
            EXPECT_EQ(l[i].servidor, esperado);
        }
        EXPECT_EQ(RtTexto::DecodificaClave(l[i].clave), t) << "the password is stored whole";
    }
}
