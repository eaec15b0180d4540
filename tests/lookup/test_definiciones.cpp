#include "fixture.h"

#include "controles.h"
#include "lookup/def_qconsulta.h"
#include "runtime/rtentorno.h"

using MascaraConsulta::Registro;

namespace {

struct Regla {
    const char* tabla;
    const char* descripcion;
    const char* clave;
};

}  // namespace

TEST(ReglasDeNombre, EachFamilyGivesItsColumnsAndDerivedKeys)
{
    const Regla reglas[] = {
        {"V_TA_Tecnicos", "NOMBRE", "IDTecnico"},
        {"V_TA_Cajas", "DESCRIPCION", "IDCajas"},
        {"V_TA_Rubros", "DESCRIPCION", "IDRubro"},
        {"V_TA_Bancos", "DESCRIPCION", "IDBanco"},
        {"V_TA_Deposito", "DESCRIPCION", "IDDeposito"},
        {"V_TA_CPRA_VTA", "DESCRIPCION", "IDCOND_CPRA_VTA"},
        {"v_ta_tipoarticulo", "DESCRIPCION", "IDTIPO"},
        {"P_TA_Grupos", "Descripcion", "IDGrupo"},
        {"P_TA_Areas", "Descripcion", "IDAreas"},
        {"P_MA_Empresas", "NombreEmpresa", "IDEmpresa"},
        {"P_TA_TITULOs", "Descripcion", "IDTITULO"},
        {"P_TA_Funciones", "DESCRIPCION", "IDFunciones"},
        {"TA_Rubros", "DESCRIPCION", "IDRubro"},
        {"TA_TipoArticulo", "DESCRIPCION", "IDTIPO"},
        {"V_MA_ARTICULOS", "DESCRIPCION", "IDARTICULO"},
        {"MA_ARTICULOS", "DESCRIPCION", "IDARTICULO"},
        {"TA_USUARIOS", "NOMBRE", "NOMBRE"},
        {"TA_Cpte", "DESCRIPCION", "CODIGO"},
        {"TA_TITCOPIADORES", "DESCRIPCION", "CODIGO"},
        {"ma_proveedores", "Razon_Social", "Codigo"},
        {"MA_CUENTAS", "Descripcion", "Codigo"},
        {"MA_VEHICULOS", "PATENTE,TIPO_VEHICULO,MARCA,MODELO,TIPO", "PATENTE"},
        {"[ma_camiones]", "nombre", "Codigo"},
        {"mv_proyectos", "ASUNTO", "ID"},
        {"V_TA_VENDEDORES", "NOMBRE", "idvendedor"},
    };
    for (const Regla& r : reglas) {
        QString tabla = QString::fromLatin1(r.tabla), descripcion, clave;
        EXPECT_TRUE(Def_QConsulta::AplicaReglas(tabla, descripcion, clave)) << r.tabla;
        EXPECT_EQ(descripcion, QString::fromLatin1(r.descripcion)) << r.tabla;
        EXPECT_EQ(clave, QString::fromLatin1(r.clave)) << r.tabla;
        EXPECT_EQ(tabla, QString::fromLatin1(r.tabla)) << "only the voucher views are renamed";
    }

    QString tabla = QStringLiteral("v_ta_cpte"), descripcion, clave;
    Def_QConsulta::AplicaReglas(tabla, descripcion, clave);
    EXPECT_EQ(tabla, QStringLiteral("VT_TA_Cpte"));

    for (const char* libre : {"MV_ASIENTOS", "[MA_X", "CONTROL_ACCESO"}) {
        QString t = QString::fromLatin1(libre), d = QStringLiteral("d"), k = QStringLiteral("k");
        EXPECT_FALSE(Def_QConsulta::AplicaReglas(t, d, k)) << libre;
        EXPECT_EQ(d + k, QStringLiteral("dk")) << libre;
    }
}

class Definiciones : public ConsultasDemo {};

TEST_F(Definiciones, RecordsShapeTheStatementTheirWay)
{
    QString campo;
    auto sentencia = [&](const QString& tabla, const QString& campos, const QString& filtro, const QString& where = {}) {
        campo.clear();
        return Def_QConsulta::SentenciaDeDefinicion(Registro{{}, tabla, campos, filtro}, campo, where, 250)
            .value_or(QStringLiteral("<nada>"));
    };
    EXPECT_EQ(sentencia(QStringLiteral("T"), QStringLiteral("CODIGO|DESCRIPCION|PRECIO"), {}),
              QStringLiteral("SELECT TOP 250 CODIGO,DESCRIPCION,PRECIO FROM T with(nolock)  ORDER BY CODIGO"));
    EXPECT_EQ(campo, QStringLiteral("CODIGO"));
    EXPECT_EQ(
        sentencia(QStringLiteral("V_MA_ARTICULOS"), QStringLiteral("|IDARTICULO|DESCRIPCION|"), {}),
        QStringLiteral(
            "SELECT TOP 250 IDARTICULO,DESCRIPCION FROM VT_MA_ARTICULOS with(nolock)  WHERE SUSPENDIDO = 0 ORDER BY IDARTICULO"));
    EXPECT_EQ(
        sentencia(QStringLiteral("VT_CLIENTES"), QStringLiteral("CODIGO,RAZON_SOCIAL"), {}, QStringLiteral(" (Localidad='X') ")),
        QStringLiteral(
            "SELECT TOP 250 CODIGO,RAZON_SOCIAL FROM VT_CLIENTES with(nolock)  WHERE  (Localidad='X')  ORDER BY CODIGO"))
        << "the caller's condition stands in for a blank filter, before the default";
    EXPECT_EQ(
        sentencia(QStringLiteral("VT_CLIENTES"), QStringLiteral("CODIGO|RAZON_SOCIAL"), QStringLiteral("CUIT <> ''"),
                  QStringLiteral("x=1")),
        QStringLiteral("SELECT TOP 250 CODIGO,RAZON_SOCIAL FROM VT_CLIENTES with(nolock)  WHERE CUIT <> '' ORDER BY CODIGO"));
    EXPECT_EQ(sentencia(QStringLiteral("T"), QStringLiteral(",,A|B"), {}),
              QStringLiteral("SELECT TOP 250 ,A,B FROM T  with(nolock) "))
        << "a list starting with an empty column has no search column and no order";

    EXPECT_TRUE(guion.op.preguntas.empty());
    EXPECT_EQ(sentencia(QStringLiteral("T"), QStringLiteral("CODIGO"), {}), QStringLiteral("<nada>"));
    ASSERT_EQ(guion.op.preguntas.size(), 1u);
    EXPECT_EQ(guion.op.preguntas[0].texto, QStringLiteral("Debe configurar la consulta para esta tabla"));
    EXPECT_EQ(guion.op.preguntas[0].titulo, QStringLiteral("Aviso al operador"));
    EXPECT_EQ(guion.op.preguntas[0].botones, rt::vbInformation);
}

TEST_F(Definiciones, RowLimitComesFromConfiguration)
{
    EXPECT_EQ(Def_QConsulta::TopConsArt(), 1000);
    for (auto [valor, n] : {std::pair{"250", 250LL}, {"0", 1000LL}, {"muchas", 1000LL}, {"-5", 1000LL}}) {
        configura(QStringLiteral("TopConsArt"), QString::fromLatin1(valor));
        EXPECT_EQ(Def_QConsulta::TopConsArt(), n) << valor;
    }
    ejecuta(QStringLiteral("DELETE FROM TA_CONFIGURACION WHERE CLAVE = 'TopConsArt'"));
    EXPECT_EQ(Def_QConsulta::TopConsArt(), 1000);
}

TEST_F(Definiciones, DerivedDefinitionListsColumnsBackwardsAndSearchesTheDescription)
{
    ejecuta(QStringLiteral("CREATE TABLE TA_PRUEBA (ID int, CODIGO varchar(4), DESCRIPCION varchar(30), ACTIVO bit)"));
    QString campo;
    EXPECT_EQ(
        Def_QConsulta::SentenciaDerivada(QStringLiteral("TA_PRUEBA"), campo, QStringLiteral(" (ACTIVO=1) "), 1000),
        QStringLiteral("SELECT TOP 1000 ACTIVO,DESCRIPCION,CODIGO FROM TA_PRUEBA WHERE   (ACTIVO=1)  ORDER BY DESCRIPCION"));
    EXPECT_EQ(campo, QStringLiteral("DESCRIPCION"));

    ejecuta(QStringLiteral("CREATE TABLE TA_SINDESC (ID int, ZONA varchar(4), PISO int, fechahora_grabacion datetime)"));
    campo.clear();
    EXPECT_EQ(Def_QConsulta::SentenciaDerivada(QStringLiteral("TA_SINDESC"), campo, {}, 1000),
              QStringLiteral("SELECT TOP 1000 PISO,ZONA FROM TA_SINDESC  ORDER BY ZONA"));

    campo.clear();
    EXPECT_EQ(Def_QConsulta::SentenciaDerivada(QStringLiteral("V_TA_DEPOSITO"), campo, {}, 50),
              QStringLiteral("SELECT TOP 50 Descripcion,IdDeposito,UnidadNegocio FROM V_TA_DEPOSITO  ORDER BY IDDEPOSITO"));
}

TEST_F(Definiciones, RecordsWrittenOnWindowsReadUnchanged)
{
    // A record as the suite's Windows tools leave it: ANSI text, NUL fill in
    // one field and code 255 in another.
    QByteArray b(MascaraConsulta::kLargoRegistro, ' ');
    b.replace(100, 7, QByteArray("TA_A\xd1OS"));
    b.replace(108, 4, QByteArray(4, '\0'));
    const QByteArray columnas("C\xf3"
                              "digo|Descripci\xf3n|\x80Precio");
    b.replace(200, columnas.size(), columnas);
    const QByteArray filtro("Pa\xed"
                            "s = 'AR'");
    b.replace(700, filtro.size(), filtro);
    b[700 + filtro.size()] = '\xff';
    b.replace(1200, 2, "\r\n");
    QByteArray otro = *MascaraConsulta::Escribe(Registro{{}, QStringLiteral("ta_años"), QStringLiteral("X|Y"), {}});
    QFile f(rutaVrl());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(*MascaraConsulta::Escribe(Registro{{}, QStringLiteral("OTRA"), QStringLiteral("A|B"), {}}));
    f.write(b);
    f.write(otro);
    f.close();

    const auto r = MascaraConsulta::Busca(rutaVrl(), QStringLiteral("  ta_años "));
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(r->tabla, QStringLiteral("TA_AÑOS"));
    EXPECT_EQ(r->campos, QStringLiteral("Código|Descripción|€Precio")) << "the first record for a name wins";
    EXPECT_EQ(r->filtro, QStringLiteral("País = 'AR'"));
    EXPECT_FALSE(MascaraConsulta::Busca(rutaVrl(), QStringLiteral("NINGUNA")).has_value());

    QString error;
    EXPECT_FALSE(MascaraConsulta::Escribe(Registro{{}, QStringLiteral("T"), QStringLiteral("名前|B"), {}}, &error).has_value());
    EXPECT_TRUE(error.contains(QStringLiteral("Windows-1252"))) << error.toStdString();
    EXPECT_FALSE(MascaraConsulta::Escribe(Registro{{}, QString(101, u'T'), QStringLiteral("A|B"), {}}, &error).has_value());
    EXPECT_TRUE(error.contains(QStringLiteral("tabla"))) << error.toStdString();
}

class ConsultarTabla : public ConsultasDemo {
protected:
    /// Runs the lookup of `tabla`; the window picks the row whose first column is `elige`.
    QString consulta(const QString& tabla, const QString& elige, bool mostrar = true)
    {
        guion.op.alModal = [&](QObject* o) {
            auto* w = qobject_cast<Lib_FrmCons3*>(o);
            EXPECT_NE(w, nullptr);
            if (!w) return 0;
            sentencia = w->SentenciaActual();
            const int fila = w->Busqueda(elige, 0);
            EXPECT_GT(fila, 0) << elige.toStdString();
            w->SeleccionaFila(fila - 1);
            QTest::keyClick(ListaDe(*w), Qt::Key_Return);
            return w->result();
        };
        QString t = tabla;
        descripcion.clear();
        clave.clear();
        Def_QConsulta::ConsultarTabla(t, descripcion, clave, mostrar, QString());
        return clave;
    }
    QString sentencia, descripcion, clave;
};

TEST_F(ConsultarTabla, TheDefinitionsFileDecidesTheStatement)
{
    PreparaConsultas();
    // Without the file: the ready statement is the request's statement.
    EXPECT_EQ(consulta(QStringLiteral("TA_TITCOPIADORES"), QStringLiteral("Caja")), QStringLiteral("   2"));
    EXPECT_EQ(sentencia, QStringLiteral("select DESCRIPCION,CODIGO from TA_TITCOPIADORES  "));

    escribeVrl({Registro{QStringLiteral("Plan"), QStringLiteral("MA_CUENTAS"), QStringLiteral("Codigo|DESCRIPCION"), {}},
                Registro{{}, QStringLiteral("VT_CLIENTES"), QStringLiteral("RAZON_SOCIAL|CODIGO|Localidad"), {}}});
    // With it: a table it does not hold still gets the ready statement...
    EXPECT_EQ(consulta(QStringLiteral("TA_TITCOPIADORES"), QStringLiteral("Ventas")), QStringLiteral("   9"));
    EXPECT_EQ(sentencia, QStringLiteral("select DESCRIPCION,CODIGO from TA_TITCOPIADORES  "));
    // ...and a table it holds gets its record's.
    EXPECT_EQ(consulta(QStringLiteral("ma_cuentas"), QStringLiteral("1101")), QStringLiteral("1101"));
    EXPECT_EQ(sentencia, QStringLiteral("SELECT TOP 1000 Codigo,DESCRIPCION FROM MA_CUENTAS with(nolock)  ORDER BY Codigo "));
    EXPECT_EQ(consulta(QStringLiteral("VT_CLIENTES"), QStringLiteral("Almacén")), QStringLiteral("C0003"))
        << "customers return their CODIGO whatever the rules say";
    EXPECT_EQ(sentencia, QStringLiteral("SELECT TOP 1000 RAZON_SOCIAL,CODIGO,Localidad FROM VT_CLIENTES with(nolock)  WHERE "
                                        "Dada_De_Baja = 0 ORDER BY RAZON_SOCIAL "));

    // Sibling programs that never used the file take the ready statement.
    RtEntorno::FijaNombreEjecutable(QStringLiteral("QEV"));
    EXPECT_EQ(consulta(QStringLiteral("MA_CUENTAS"), QStringLiteral("CAJA Y BANCOS")), QStringLiteral("1101"));
    EXPECT_EQ(sentencia, QStringLiteral("select Descripcion,Codigo from MA_CUENTAS  "));
    RtEntorno::FijaNombreEjecutable(QString());
}

TEST_F(ConsultarTabla, WithoutFileNorShowingNothingOpens)
{
    guion.op.alModal = [](QObject*) {
        ADD_FAILURE() << "no window was asked for";
        return 0;
    };
    QString t = QStringLiteral("V_TA_Cajas"), d, k;
    Def_QConsulta::ConsultarTabla(t, d, k, false, QString());
    EXPECT_EQ(d + u'/' + k, QStringLiteral("DESCRIPCION/IDCajas"));
}
