#include "lib_clscons3.h"

#include "archivos.h"
#include "def_qconsulta.h"
#include "modelo_consulta.h"

#include "data/db_dll.h"
#include "runtime/operador.h"
#include "runtime/rtentorno.h"
#include "runtime/rttexto.h"
#include "runtime/texto.h"
#include "session/cnstuff.h"

#include <QApplication>
#include <QFileInfo>

#include <memory>

using adodb::Variant;

namespace {

Variant Nivel(const char* clave)
{
    const QString v = CNStuffContable::Cfg(QLatin1String(clave));
    return v.trimmed().isEmpty() ? Variant(0) : Variant(v.trimmed());
}

// The failures a step may raise are skipped: the request goes on with the next step.
template <class F>
void Ignora(F&& paso)
{
    try {
        paso();
    } catch (const adodb::AdoException&) {
    }
}

std::unique_ptr<Lib_ClsCons3>& Instancia()
{
    static std::unique_ptr<Lib_ClsCons3> instancia;
    return instancia;
}

}  // namespace

Lib_ClsCons3::Lib_ClsCons3()
{
    CmpsDevueltos = NuevaColeccion();
    Valores = NuevaColeccion();
    StkNivel1 = Nivel("Stk_Nivel1");
    StkNivel2 = Nivel("Stk_Nivel2");
    StkNivel3 = Nivel("Stk_Nivel3");
    StkNivel4 = Nivel("Stk_Nivel4");
    MuestraStock = CNStuffContable::Cfg(QStringLiteral("MostrarStockenConsultas"));
    usaConsultaLike_ = rt::Iguales(CNStuffContable::Cfg(QStringLiteral("UsaConsultaLike")).trimmed(), QStringLiteral("SI"));
}

void Lib_ClsCons3::ConsultaSearch(const QString& sqlPedido, Coleccion& CmpsDevueltosPedido, QString& Clave, QString& CampoBusqueda,
                                  QString& Where, QString& SentenciaOpcional, bool& TreeView, QString& ValoresDefault)
{
    Q_UNUSED(TreeView);
    QString sql = sqlPedido;
    if (Where.trimmed().size() > 1 && !Where.trimmed().startsWith(u'('))
        Where = QStringLiteral(" (") + Where + QStringLiteral(") ");
    long long n = 1000;
    Ignora([&] { n = Def_QConsulta::TopConsArt(); });

    bool derivar = false;
    if (rt::Contiene(sql, QStringLiteral("SELECT"))) {
        sql = RtTexto::Reemplaza(sql, QStringLiteral("V_MA_ARTICULOS"), QStringLiteral("VT_MA_ARTICULOS"));
        if (!Where.trimmed().isEmpty()) {
            if (!rt::Contiene(Where, QStringLiteral("WHERE"))) Where = QStringLiteral(" WHERE ") + Where;
            sql += Where;
        }
    } else if (gUsarMascarasConsultas) {
        const QFileInfo definido(gRutaMascaraConsultas);
        const QString ruta = ArchivosConsulta::RutaSinCaso(RtTexto::RutaCarpeta(definido.path()), definido.fileName());
        if (QFileInfo(ruta).isFile()) {
            const std::optional<MascaraConsulta::Registro> registro = MascaraConsulta::Busca(ruta, sql);
            if (registro) {
                const std::optional<QString> sentencia = Def_QConsulta::SentenciaDeDefinicion(*registro, CampoBusqueda, Where, n);
                if (!sentencia) {
                    ValorDevuelto.clear();
                    return;
                }
                sql = *sentencia;
            } else {
                derivar = true;
            }
        }
    } else {
        derivar = true;
    }
    if (derivar) {
        if (!SentenciaOpcional.isEmpty()) sql = SentenciaOpcional;
        else Ignora([&] { sql = Def_QConsulta::SentenciaDerivada(sql, CampoBusqueda, Where, n); });
    }

    // The tree window is not part of this program: hierarchical tables are listed too.
    Lib_FrmCons3 ventana(QApplication::activeWindow());
    ventana.StkNivel1 = StkNivel1;
    ventana.StkNivel2 = StkNivel2;
    ventana.StkNivel3 = StkNivel3;
    ventana.StkNivel4 = StkNivel4;
    ventana.MuestraStock = MuestraStock;
    ventana.CfgUsaConsultaLIKE = usaConsultaLike_;
    ventana.OrdenarPorLwv = !rt::Contiene(sql, QStringLiteral("ORDER BY"));
    ventana.FiltroInicial = Clave;
    ventana.CampoBusqueda = CampoBusqueda;
    ventana.sql = sql;
    if (gConnString.isEmpty()) gConnString = DB().gConnString;
    ventana.gConnString = gConnString;
    ventana.CampoDevuelto = CampoDevuelto;
    ventana.CheckBoxes = Checks;
    ventana.UsaCantidades = UsaCantidades;
    ventana.ValoresDefault = ValoresDefault;
    Valores = NuevaColeccion();
    Cantidades = NuevaColeccion();
    ventana.CmpsDevueltos = CmpsDevueltosPedido;
    ventana.Valores = Valores;
    ventana.Cantidades = Cantidades;
    if (Checks) {
        Ignora([&] { ventana.Form_Load(); });
        for (int i = 0; i < ventana.Modelo()->rowCount(); ++i) ventana.Modelo()->Marca(i, false);
    }
    if (!ventana.Cargada()) Ignora([&] { ventana.Form_Load(); });
    rt::operador().Modal(&ventana);
    Checks = false;
    Valores = ventana.Valores;
    Cantidades = ventana.Cantidades;
    ValorDevuelto = ventana.ValorDevuelto;
    ventana.CampoDevuelto.clear();

    CampoDevuelto.clear();
    if (CmpsDevueltosPedido) CmpsDevueltosPedido->clear();
    CmpsDevueltosPedido.reset();
    ventana.Valores.reset();
    ventana.Cantidades.reset();
    ventana.CmpsDevueltos.reset();
    Ignora([&] { ventana.Form_Unload(); });
}

Lib_ClsCons3& ClsCons3()
{
    std::unique_ptr<Lib_ClsCons3>& i = Instancia();
    if (!i) i = std::make_unique<Lib_ClsCons3>();
    return *i;
}

void DescartaClsCons3()
{
    Instancia().reset();
}

void PreparaConsultas(const QString& connString, const QString& rutaVrl)
{
    Lib_ClsCons3& c = ClsCons3();
    c.gConnString = connString;
    c.gUsarMascarasConsultas = true;
    c.gRutaMascaraConsultas = rutaVrl;
}

void PreparaConsultas()
{
    PreparaConsultas(DB().gConnString, RtTexto::RutaCarpeta(RtEntorno::CarpetaPrograma()) + QStringLiteral("consultas.vrl"));
}
