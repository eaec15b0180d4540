// consultas.vrl damaged or written by other hands: a record cut short, bytes
// Windows-1252 has no letter for, a record of blanks, junk. The other records
// are still found; nothing stops the lookup.
#include "fixture.h"

#include "lookup/def_qconsulta.h"
#include "lookup/lib_clscons3.h"

#include "registro_vrl.h"

class ArchivoConsultasVrl : public ConsultasDemo {
protected:
    void archivo(const QByteArray& b)
    {
        QFile f(rutaVrl());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(b);
    }
    std::optional<MascaraConsulta::Registro> busca(const QString& tabla) { return MascaraConsulta::Busca(rutaVrl(), tabla); }
};

TEST_F(ArchivoConsultasVrl, UltimoRegistroCortoSeLeeComoRellenoDeBlancos)
{
    archivo(registro("", "VT_CLIENTES", "Codigo|Razon") +
            registro("", "MA_CUENTAS", "Codigo|DESCRIPCION", "titulo = 0").left(712));
    const auto r = busca(QStringLiteral("MA_CUENTAS"));
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(r->campos, QStringLiteral("Codigo|DESCRIPCION"));
    EXPECT_EQ(r->filtro, QStringLiteral("titulo = 0"));
    archivo(registro("", "VT_CLIENTES", "Codigo|Razon") + registro("", "MA_CUENTAS", "Codigo|DESCRIPCION").left(105));
    EXPECT_FALSE(busca(QStringLiteral("MA_CUENTAS")).has_value()) << "a table name cut short names another table";
    EXPECT_TRUE(busca(QStringLiteral("VT_CLIENTES")).has_value());
}

TEST_F(ArchivoConsultasVrl, BytesSinLetraEnWindows1252NoImpidenLeerElRegistro)
{
    archivo(registro("", "MA_CUENTAS", "Codigo|Descripci\x81n\x8D|\x8F\x90\x9D", "Codigo <> '\x9D'") +
            registro("", "VT_CLIENTES", "Codigo"));
    const auto r = busca(QStringLiteral("ma_cuentas"));
    ASSERT_TRUE(r.has_value());
    EXPECT_TRUE(r->campos.startsWith(QStringLiteral("Codigo|Descripci"))) << r->campos.toStdString();
    EXPECT_EQ(r->campos.size(), QStringLiteral("Codigo|Descripci?n?|???").size()) << "one character per byte";
    EXPECT_TRUE(busca(QStringLiteral("VT_CLIENTES")).has_value());
}

TEST_F(ArchivoConsultasVrl, RegistroEnBlancoNoEsLaDefinicionDeNingunaTabla)
{
    archivo(QByteArray(1200, ' ') + "\r\n" + QByteArray(1202, '\0') + registro("", "MA_CUENTAS", "Codigo|DESCRIPCION"));
    EXPECT_FALSE(busca(QString()).has_value());
    EXPECT_FALSE(busca(QStringLiteral("   ")).has_value());
    EXPECT_TRUE(busca(QStringLiteral("MA_CUENTAS")).has_value()) << "records after the blank ones are still read";
}

TEST_F(ArchivoConsultasVrl, BasuraBinariaNoEncuentraNadaNiSeCae)
{
    QByteArray junk;
    for (int i = 0; i < 1202 * 5 + 17; ++i) junk.append(static_cast<char>((i * 131 + 7) % 256));
    archivo(junk);
    EXPECT_FALSE(busca(QStringLiteral("MA_CUENTAS")).has_value());
    archivo({});
    EXPECT_FALSE(busca(QStringLiteral("MA_CUENTAS")).has_value());
}

TEST_F(ArchivoConsultasVrl, LaConsultaDeUnaTablaSigueAndandoConElArchivoDañado)
{
    // Blank and cut records around the one asked for: its definition still shapes the list.
    archivo(QByteArray(1202, ' ') + registro("", "MA_CUENTAS", "Codigo|DESCRIPCION", "titulo = 0") + "\x01\x02\x03");
    PreparaConsultas();
    QString sentencia;
    guion.op.alModal = [&](QObject* o) {
        auto* w = qobject_cast<Lib_FrmCons3*>(o);
        if (!w) return 0;
        sentencia = w->SentenciaActual();
        return 0;
    };
    QString tabla = QStringLiteral("MA_CUENTAS"), descripcion, clave;
    Def_QConsulta::ConsultarTabla(tabla, descripcion, clave, true, QString());
    EXPECT_EQ(
        sentencia,
        QStringLiteral("SELECT TOP 1000 Codigo,DESCRIPCION FROM MA_CUENTAS with(nolock)  WHERE titulo = 0 ORDER BY Codigo "));
    ASSERT_EQ(guion.op.preguntas.size(), 1u) << "the list window alone, no message";
    EXPECT_EQ(guion.op.preguntas[0].texto, QStringLiteral("Lib_FrmCons3"));
}
