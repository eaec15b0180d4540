#include "def_qconsulta.h"

#include "archivos.h"
#include "lib_clscons3.h"

#include "data/db_dll.h"
#include "runtime/operador.h"
#include "runtime/rtentorno.h"
#include "runtime/rttexto.h"
#include "runtime/texto.h"
#include "session/cnstuff.h"

#include <QRegularExpression>

#include <initializer_list>

namespace Def_QConsulta {

namespace {

bool Es(const QString& t, std::initializer_list<const char*> nombres)
{
    for (const char* n : nombres)
        if (rt::Iguales(t, QLatin1String(n))) return true;
    return false;
}

QString SinS(const QString& t)
{
    return t.endsWith(u's', Qt::CaseInsensitive) ? t.chopped(1) : t;
}

}  // namespace

bool AplicaReglas(QString& Tabla, QString& CampoDescripcion, QString& CampoClave)
{
    const QString t = Tabla.trimmed();
    auto fija = [&](const QString& descripcion, const QString& clave) {
        CampoDescripcion = descripcion;
        CampoClave = clave;
        return true;
    };
    const QString descripcion = QStringLiteral("DESCRIPCION");

    if (Es(t, {"TA_COMPROBANTES", "V_TA_Cpte"})) {
        Tabla = QStringLiteral("VT_TA_Cpte");
        return fija(QStringLiteral("Descripcion"), QStringLiteral("Codigo"));
    }
    if (Es(t, {"V_TA_PERCEPCION"})) return fija(descripcion, QStringLiteral("IDPERCEPCION"));
    if (Es(t, {"V_TA_RETENCIONES"})) return fija(descripcion, QStringLiteral("IDRETENCION"));
    if (Es(t, {"V_TA_UNIDADNEGOCIO"})) return fija(descripcion, QStringLiteral("CODIGO"));
    if (Es(t, {"V_ta_PoliticaPrecios"})) return fija(QStringLiteral("Descripcion"), QStringLiteral("codigo"));
    if (Es(t, {"V_TA_CATEGORIAARTICULO"})) return fija(descripcion, QStringLiteral("idcategoria"));
    if (Es(t, {"V_TA_Cajas", "V_TA_Bancos", "V_TA_MotivoVta", "V_TA_MotivoCpra", "V_TA_Deposito", "V_TA_Tecnicos", "V_TA_Tareas",
               "V_TA_Unidad", "V_TA_TipoArticulo", "V_TA_Rubros", "V_TA_MotivoStock", "V_TA_CPRA_VTA", "V_TA_CATEGORIA",
               "V_TA_DESTINO", "V_TA_ORIGEN"})) {
        QString clave = QStringLiteral("ID") + SinS(t.mid(5));
        if (Es(t, {"V_TA_CPRA_VTA"}))
            clave = QStringLiteral("IDCOND_CPRA_VTA");
        else if (Es(t, {"V_TA_TipoArticulo"}))
            clave = QStringLiteral("IDTIPO");
        else if (Es(t, {"V_TA_Cajas"}))
            clave = QStringLiteral("IDCajas");
        return fija(Es(t, {"V_TA_Tecnicos"}) ? QStringLiteral("NOMBRE") : descripcion, clave);
    }
    if (Es(t,
           {"P_TA_NIVELESTUDIO", "P_TA_CONOCIMIENTOS", "P_TA_Categorizacion", "P_TA_CentroMedico", "P_TA_FormasDePago",
            "P_MA_Empresas", "P_TA_ZONARESIDENCIA", "P_TA_ObraSocial", "P_TA_MotivoEgreso", "P_TA_Grupos", "P_TA_EstadoBusqueda",
            "P_TA_Areas", "P_TA_IDIOMAS", "P_TA_TITULOs", "P_TA_ESTADOPOSTULANTE", "P_TA_Parentesco", "P_TA_EstadoCivil"})) {
        const QString nombre = t.mid(5);
        const QString clave = QStringLiteral("ID") + (Es(t, {"P_TA_Areas"}) ? nombre : SinS(nombre));
        return fija(Es(t, {"P_MA_Empresas"}) ? QStringLiteral("NombreEmpresa") : QStringLiteral("Descripcion"), clave);
    }
    if (Es(t, {"P_SINDICATOS"})) return fija(QStringLiteral("Descripcion"), QStringLiteral("IdSindicato"));
    if (Es(t, {"P_TA_Funciones"})) return fija(descripcion, QStringLiteral("ID") + t.mid(5));
    if (Es(t, {"TA_Categoria", "TA_Deposito", "TA_MotivoStock", "TA_TipoArticulo", "TA_Rubros"}))
        return fija(descripcion, Es(t, {"TA_TipoArticulo"}) ? QStringLiteral("IDTIPO") : QStringLiteral("ID") + SinS(t.mid(3)));
    if (Es(t, {"P_MA_Clientes"})) return fija(QStringLiteral("RAZON_SOCIAL"), QStringLiteral("IDCLIENTE"));
    if (Es(t, {"TA_Cpte"})) return fija(descripcion, QStringLiteral("CODIGO"));
    if (Es(t, {"V_TA_VENDEDORES"})) return fija(QStringLiteral("NOMBRE"), QStringLiteral("idvendedor"));
    if (Es(t, {"V_MA_ARTICULOS"})) return fija(descripcion, QStringLiteral("ID") + SinS(t.mid(5)));
    if (Es(t, {"V_MV_COTIZAR"})) return fija(QStringLiteral("COT_OBSERVACIONES"), QStringLiteral("IDARTICULO"));
    if (Es(t, {"MA_ARTICULOS"})) return fija(descripcion, QStringLiteral("ID") + SinS(t.mid(3)));
    if (Es(t, {"MA_MODELOS"})) return fija(QStringLiteral("NOMBRE"), QStringLiteral("NOMBRE"));
    if (Es(t, {"MA_CHOFERES"})) return fija(QStringLiteral("APELLIDO"), QStringLiteral("CODIGO"));
    if (Es(t, {"MA_DESTINATARIOS"})) return fija(QStringLiteral("NOMBRE"), QStringLiteral("CODIGO"));
    if (Es(t, {"MA_VEHICULOS"}))
        return fija(QStringLiteral("PATENTE,TIPO_VEHICULO,MARCA,MODELO,TIPO"), QStringLiteral("PATENTE"));
    if (Es(t, {"MV_EJERCICIOS"})) return fija(descripcion, QStringLiteral("PERIODO"));
    if (Es(t, {"TA_USUARIOS"})) return fija(QStringLiteral("NOMBRE"), QStringLiteral("NOMBRE"));
    const QString tres = t.left(3).toUpper();
    const QString seis = t.left(6).toUpper();
    if (tres == QLatin1String("TA_")) return fija(descripcion, QStringLiteral("CODIGO"));
    if (tres == QLatin1String("MA_")) {
        if (Es(seis, {"MA_PRO", "MA_VEN", "MA_TRA", "MA_CON", "MA_AGE", "MA_CLI"}))
            return fija(QStringLiteral("Razon_Social"), QStringLiteral("Codigo"));
        return fija(QStringLiteral("Descripcion"), QStringLiteral("Codigo"));
    }
    if (seis == QLatin1String("[MA_CA")) return fija(QStringLiteral("nombre"), QStringLiteral("Codigo"));
    if (seis == QLatin1String("MV_PRO")) return fija(QStringLiteral("ASUNTO"), QStringLiteral("ID"));
    return false;
}

bool UsaArchivoDefiniciones()
{
    const QString carpeta = RtTexto::RutaCarpeta(RtEntorno::CarpetaPrograma());
    if (!CNStuffContable::ExisteArchivo(ArchivosConsulta::RutaSinCaso(carpeta, QStringLiteral("consultas.vrl")))) return false;
    // Sibling programs of the suite that never used the file.
    return !Es(RtEntorno::NombreEjecutable(), {"tamrex", "qev", "vltrans"});
}

long long TopConsArt()
{
    const long long n = static_cast<long long>(rt::Val(CNStuffContable::Cfg(QStringLiteral("TopConsArt"))));
    return n > 0 ? n : 1000;
}

std::optional<QString> SentenciaDeDefinicion(const MascaraConsulta::Registro& r, QString& CampoBusqueda, const QString& Where,
                                             long long n)
{
    QString tabla = r.tabla;
    QString columnas = RtTexto::Reemplaza(r.campos, QStringLiteral("|"), QStringLiteral(",")).trimmed();
    if (columnas.startsWith(u',')) columnas.remove(0, 1);
    if (columnas.endsWith(u',')) columnas.chop(1);
    if (columnas.isEmpty()) columnas = QStringLiteral("*");

    if (CampoBusqueda.isEmpty()) {
        const qsizetype coma = columnas.indexOf(u',');
        if (coma < 0) {
            rt::operador().MsgBox(QStringLiteral("Debe configurar la consulta para esta tabla"), rt::vbInformation + rt::vbOKOnly,
                                  QStringLiteral("Aviso al operador"));
            return std::nullopt;
        }
        CampoBusqueda = columnas.left(coma);
    }

    QString filtro = r.filtro;
    if (filtro.trimmed().isEmpty() && !Where.trimmed().isEmpty()) filtro = Where;
    QString porDefecto;
    if (Es(tabla, {"VT_PROVEEDORES", "VT_CLIENTES"})) {
        porDefecto = QStringLiteral("Dada_De_Baja = 0");
    } else if (Es(tabla, {"V_MA_ARTICULOS"})) {
        tabla = QStringLiteral("VT_MA_ARTICULOS");
        porDefecto = QStringLiteral("SUSPENDIDO = 0");
    }
    if (filtro.trimmed().isEmpty()) filtro = porDefecto;
    const QString donde = filtro.trimmed().isEmpty() ? QString() : QStringLiteral(" WHERE ");
    const QString top = QStringLiteral("SELECT TOP ") + QString::number(n) + u' ' + columnas + QStringLiteral(" FROM ") + tabla;
    if (!CampoBusqueda.isEmpty())
        return top + QStringLiteral(" with(nolock) ") + donde + filtro + QStringLiteral(" ORDER BY ") + CampoBusqueda;
    return top + QStringLiteral("  with(nolock) ") + donde + filtro;
}

QString SentenciaDerivada(const QString& tabla, QString& CampoBusqueda, const QString& Where, long long n)
{
    QString columnas;
    if (Es(tabla.trimmed(), {"V_TA_DEPOSITO"})) {
        columnas = QStringLiteral("Descripcion,IdDeposito,UnidadNegocio");
        CampoBusqueda = QStringLiteral("IDDEPOSITO");
    } else {
        adodb::Recordset rs;
        DB().AbrirRecordset(QStringLiteral("select top 1 * from ") + tabla, rs, nullptr, adodb::adOpenForwardOnly,
                            adodb::adLockReadOnly, adodb::adCmdUnknown, true);
        const bool vistaConId = Es(tabla.trimmed(), {"v_mv_mutuales", "V_MV_TROPA_STOCK"});
        if (rs.State() == adodb::adStateOpen) {
            for (const adodb::ColumnInfo& c : rs.columns()) {
                const bool interno = Es(c.name, {"ID", "FECHAHORA_MODIFICACION", "FECHAHORA_GRABACION"});
                if (interno && !vistaConId) continue;
                if (interno || Es(c.name, {"DESCRIPCION", "NOMBRE", "DETALLE"}) || columnas.isEmpty()) CampoBusqueda = c.name;
                columnas = columnas.isEmpty() ? c.name : c.name + u',' + columnas;
            }
        }
        DB().CierraRecordset(rs);
    }
    if (columnas.isEmpty()) columnas = QStringLiteral(" * ");
    const QString filtro = u' ' + Where;
    return QStringLiteral("SELECT TOP ") + QString::number(n) + u' ' + columnas + QStringLiteral(" FROM ") + tabla +
           (filtro.trimmed().isEmpty() ? QString() : QStringLiteral(" WHERE ")) + filtro + QStringLiteral(" ORDER BY ") +
           CampoBusqueda;
}

QStringList ColumnasQueFaltan(const MascaraConsulta::Registro& r)
{
    QString tabla = r.tabla.trimmed();
    if (Es(tabla, {"V_MA_ARTICULOS"})) tabla = QStringLiteral("VT_MA_ARTICULOS");
    // Read quietly: a table that cannot be read is the window's to report.
    adodb::Recordset rs;
    if (!adodb::Attempt([&] {
            DB().Abre(QStringLiteral("select top 1 * from ") + tabla, rs, adodb::adOpenForwardOnly, adodb::adLockReadOnly, -1);
        }))
        return {};
    QStringList campos;
    for (const adodb::ColumnInfo& c : rs.columns()) campos.append(c.name.trimmed());
    rs.Close();
    if (campos.isEmpty()) return {};
    static const QRegularExpression nombre(QStringLiteral("^\\[?([A-Za-z_][A-Za-z0-9_ ]*?)\\]?$"));
    QStringList faltan;
    for (QString c : RtTexto::Reemplaza(r.campos, QStringLiteral("|"), QStringLiteral(",")).split(u',', Qt::SkipEmptyParts)) {
        c = c.trimmed();
        const qsizetype punto = c.lastIndexOf(u'.');
        if (punto >= 0) c = c.mid(punto + 1);
        const QRegularExpressionMatch m = nombre.match(c);
        if (!m.hasMatch()) continue;
        if (!campos.contains(m.captured(1).trimmed(), Qt::CaseInsensitive)) faltan.append(m.captured(1).trimmed());
    }
    return faltan;
}

void ConsultarTabla(QString& Tabla, QString& CampoDescripcion, QString& CampoClave, bool Mostrar, const QString& Filtro)
{
    AplicaReglas(Tabla, CampoDescripcion, CampoClave);
    Lib_ClsCons3& consulta = ClsCons3();
    Coleccion ninguna;
    QString clave, campoBusqueda, where, sentencia, valoresDefault;
    bool arbol = false;
    if (UsaArchivoDefiniciones()) {
        if (Es(Tabla.trimmed(), {"VT_CLIENTES", "VT_PROVEEDORES"})) CampoClave = QStringLiteral("CODIGO");
        sentencia =
            QStringLiteral("select ") + CampoDescripcion + u',' + CampoClave + QStringLiteral(" from ") + Tabla + u' ' + Filtro;
        where = Filtro;
        consulta.CampoDevuelto = CampoClave;
        consulta.ConsultaSearch(Tabla, ninguna, clave, campoBusqueda, where, sentencia, arbol, valoresDefault);
    } else if (Mostrar) {
        if (CampoDescripcion.trimmed().isEmpty()) CampoDescripcion = QStringLiteral(" * ");
        consulta.CampoDevuelto = CampoClave;
        consulta.ConsultaSearch(QStringLiteral("select ") + CampoDescripcion + u',' + CampoClave + QStringLiteral(" from ") +
                                    Tabla + u' ' + Filtro,
                                ninguna, clave, campoBusqueda, where, sentencia, arbol, valoresDefault);
    } else {
        return;
    }
    CampoClave = consulta.ValorDevuelto;
}

QString ConsultaClave(const QString& tabla)
{
    QString t = tabla, descripcion, clave;
    ConsultarTabla(t, descripcion, clave, true, QString());
    return clave;
}

}  // namespace Def_QConsulta
