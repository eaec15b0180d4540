#include "lib_clscons3.h"

#include "archivos.h"
#include "def_qconsulta.h"
#include "lib_frmcons3tree.h"
#include "modelo_consulta.h"

#include "data/db_dll.h"
#include "runtime/operador.h"
#include "runtime/rtentorno.h"
#include "runtime/rttexto.h"
#include "runtime/texto.h"
#include "session/cnstuff.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>

#include <memory>

using adodb::Variant;

namespace {

Variant Nivel(const char* clave)
{
    const QString v = CNStuffContable::Cfg(QLatin1String(clave));
    return v.trimmed().isEmpty() ? Variant(0) : Variant(v.trimmed());
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

void Lib_ClsCons3::ConsultaSearch(const QString& sqlPedido, Coleccion& CmpsDevueltosPedido, QString& Clave,
                                  QString& CampoBusqueda, QString& Where, QString& SentenciaOpcional, bool& TreeView,
                                  QString& ValoresDefault)
{
    QString sql = sqlPedido;
    if (Where.trimmed().size() > 1 && !Where.trimmed().startsWith(u'('))
        Where = QStringLiteral(" (") + Where + QStringLiteral(") ");
    long long n = 1000;
    adodb::Attempt([&] { n = Def_QConsulta::TopConsArt(); });

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
            QStringList faltan;
            if (registro) adodb::Attempt([&] { faltan = Def_QConsulta::ColumnasQueFaltan(*registro); });
            if (registro && !faltan.isEmpty()) {
                // A definition written for another installation's table: said
                // once a run, and the table is shown as if it had no definition.
                if (!avisadas_.contains(registro->tabla.trimmed().toUpper()))
                    rt::operador().MsgBox(QStringLiteral("La consulta definida para ") + registro->tabla.trimmed() +
                                              QStringLiteral(" nombra columnas que la tabla no tiene: ") +
                                              faltan.join(QStringLiteral(", ")) +
                                              QStringLiteral(".\nSe muestran las columnas de la tabla."),
                                          rt::vbInformation + rt::vbOKOnly, QStringLiteral("Aviso al operador"));
                avisadas_.insert(registro->tabla.trimmed().toUpper());
                derivar = true;
            } else if (registro) {
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
        if (!SentenciaOpcional.isEmpty())
            sql = SentenciaOpcional;
        else
            adodb::Attempt([&] { sql = Def_QConsulta::SentenciaDerivada(sql, CampoBusqueda, Where, n); });
    }

    if (TreeView) {
        Lib_FrmCons3Tree arbol(QApplication::activeWindow());
        arbol.sql = sql;
        arbol.CampoDevuelto = CampoDevuelto;
        arbol.CheckBoxes = Checks;
        Valores = NuevaColeccion();
        adodb::Attempt([&] { arbol.Form_Load(); });
        rt::operador().Modal(&arbol);
        ValorDevuelto = arbol.ValorDevuelto;
        Valores = arbol.Valores;
        Checks = false;
        CampoDevuelto.clear();
        if (CmpsDevueltosPedido) CmpsDevueltosPedido->clear();
        CmpsDevueltosPedido.reset();
        adodb::Attempt([&] { arbol.Form_Unload(); });
        return;
    }

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
    // Loading ticks the rows named in ValoresDefault; they stay ticked.
    if (!ventana.Cargada()) adodb::Attempt([&] { ventana.Form_Load(); });
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
    adodb::Attempt([&] { ventana.Form_Unload(); });
}

void Lib_ClsCons3::muestraOpciones(Lib_FrmCons3& ventana, const QString& Titulo, const QStringList& textos,
                                   const QList<bool>& marcas, qsizetype largo)
{
    // 120 twips a character of the longest text, the title included.
    for (const QString& t : textos) largo = std::max(largo, t.size());
    adodb::Attempt(
        [&] { ventana.CargaOpciones(Titulo, textos, marcas, static_cast<int>(std::max(largo, Titulo.size()) * 120)); });
    rt::operador().Modal(&ventana);
}

QString Lib_ClsCons3::MenuOpciones(const QString& Titulo, const QVariantList& Opc)
{
    QStringList textos;
    for (const QVariant& v : Opc) textos.append(v.toString());
    Lib_FrmCons3 ventana(QApplication::activeWindow());
    ventana.GrabarCfg = false;
    muestraOpciones(ventana, Titulo, textos, {}, 0);
    return ventana.ValorDevuelto;
}

QString Lib_ClsCons3::CheckOpciones(const QString& Titulo, Coleccion, const QVariantList& Opc)
{
    QStringList textos;
    QList<bool> marcas;
    qsizetype largo = 0;
    for (const QVariant& v : Opc) {
        const QString t = v.toString();
        textos.append(t.mid(1));
        marcas.append(t.startsWith(u'1'));
        largo = std::max(largo, t.size());
    }
    Lib_FrmCons3 ventana(QApplication::activeWindow());
    ventana.GrabarCfg = false;
    ventana.CheckBoxes = true;
    muestraOpciones(ventana, Titulo, textos, marcas, largo);
    Valores = ventana.Valores;
    return {};
}

QString Lib_ClsCons3::ConsultaDesdeArchivo(const QString& Titulo, const QString& QueArchivo, const QString&)
{
    if (!CNStuffContable::ExisteArchivo(QueArchivo)) {
        rt::operador().MsgBox(QStringLiteral("No existe el archivo ") + QueArchivo +
                                  QStringLiteral(" que desea consultar consulta "),
                              rt::vbOKOnly);
        return {};
    }
    QStringList lineas;
    QFile f(QueArchivo);
    if (f.open(QIODevice::ReadOnly)) {
        // Files of the suite's Windows installations: Windows-1252, CR LF.
        QStringDecoder texto("Windows-1252");
        const QByteArray b = f.readAll();
        lineas = (texto.isValid() ? texto.decode(b) : QString::fromLatin1(b)).split(u'\n');
        if (!lineas.isEmpty() && lineas.last().isEmpty()) lineas.removeLast();  // the last line's own end
        for (QString& l : lineas)
            if (l.endsWith(u'\r')) l.chop(1);
    } else {
        rt::operador().MsgBox(QStringLiteral("No se pudo leer el archivo ") + QueArchivo + QStringLiteral(": ") + f.errorString(),
                              rt::vbExclamation);
    }
    Lib_FrmCons3 ventana(QApplication::activeWindow());
    ventana.GrabarCfg = false;
    muestraOpciones(ventana, Titulo, lineas, {}, 0);
    return ventana.ValorDevuelto;
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
