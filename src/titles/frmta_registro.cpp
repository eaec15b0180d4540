// The title record: display, the two states, the command words, saving and deleting.
#include "titles/frmta_titcopiadores.h"
#include "adodb/sqlite_mensajes.h"

#include "data/db_dll.h"
#include "runtime/operador.h"
#include "runtime/protocolo.h"
#include "runtime/rttexto.h"
#include "runtime/texto.h"
#include "session/cnstuff.h"
#include "titles/rtcampos.h"
#include "toolbar/utilvarn.h"

#include <QDateTime>
#include <QLineEdit>

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// The window's recordset is left read-only by the code lookup; writing needs
// the same rows opened for update.
void abreParaEscribir(adodb::Recordset& rs)
{
    if (rs.State() == adodb::adStateOpen && rs.LockType != adodb::adLockReadOnly)
        return;
    const QString origen = rs.Source;
    if (rs.State() == adodb::adStateOpen)
        rs.Close();
    rs.Open(origen, &DB().gCnn, adodb::adOpenDynamic, adodb::adLockOptimistic);
}

} // namespace

void frmTA_TITCOPIADORES::AbrirRecordset(const QString& TablaActiva)
{
    rt::Protocolo p([](const adodb::Error& e) { return CNStuffContable::InformaError(e, QStringLiteral("AbrirRecordset")); });
    p.paso([&] {
        DB().AbrirRecordset(QStringLiteral("SELECT * FROM ") + TablaActiva, datPrimaryRS, nullptr, adodb::adOpenDynamic,
                            adodb::adLockOptimistic, -1, true);
    });
}

void frmTA_TITCOPIADORES::MuestraRegistro()
{
    EsExistente = true;
    try {
        RtCampos::RegistroACampos(cajas(), datPrimaryRS);
    } catch (const adodb::AdoException&) {
    }
    try {
        MarcaCptes(RtTexto::ValorCampo(datPrimaryRS.Fields(QStringLiteral("TC")).Value()));
    } catch (const adodb::AdoException&) {
        // No current row: the marks stay as they are.
    }
}

void frmTA_TITCOPIADORES::Inicializa()
{
    EsNuevo = false;
    EsBaja = false;
    EsExistente = false;
    CNStuffContable::CargaDigitos();
    CNStuffContable::CargaTotalDigitos();
    RtCampos::LimpiaFormulario(this);
    try {
        RtCampos::LongitudesMaximas(cajas(), NombreTabla, DB().gCnn);
    } catch (const adodb::AdoException&) {
        // Without the definition the boxes keep their lengths.
    }
    txtfields[0]->setMaxLength(qMax(1, CNStuffContable::TD_Total + 5));
    try {
        const double mayor = DB().BuscaMaximo(QStringLiteral("TA_TITCOPIADORES"), QStringLiteral("CODIGO"), 3).toDouble();
        txtfields[0]->setText(QString::number(mayor + 1, 'g', 15));
    } catch (const adodb::AdoException& e) {
        CNStuffContable::InformaError(e.error(), QStringLiteral("Inicializa"));
    }
    InicializaDetalle();
    DetalleOn(false);
}

void frmTA_TITCOPIADORES::InicializaDetalle()
{
    RtCampos::LimpiaFormulario(this, 1);
}

void frmTA_TITCOPIADORES::DetalleOn(bool Off)
{
    for (int i = 0; i < kCampos; ++i)
        txtfields[i]->setEnabled(i == 0 || Off);
    UtilVarn1->setNuevoEnabled(!Off);
    UtilVarn1->setBorrarEnabled(Off);
    UtilVarn1->setGrabarEnabled(Off);
    UtilVarn1->setCancelarEnabled(Off);
    UtilVarn1->setCerrarEnabled(!Off);
}

void frmTA_TITCOPIADORES::UtilVarn1_click(const QString& BTag)
{
    const QString palabra = BTag.trimmed().toUpper();
    if (palabra == QLatin1String("NUEVO")) {
        Inicializa();
        EsNuevo = true;
        EsBaja = false;
        EsExistente = false;
        enfocaCodigo(true);
    } else if (palabra == QLatin1String("BORRAR")) {
        const int r = rt::operador().MsgBox(QStringLiteral("Confirma la baja de este registro?"),
                                            rt::vbYesNo + rt::vbExclamation + rt::vbDefaultButton2, QStringLiteral("Atención!"));
        if (r != rt::vbYes)
            return;
        EsNuevo = false;
        EsBaja = true;
        EsExistente = false;
        GrabaRegistro();
        AbrirRecordset(NombreTabla);
        MuestraRegistro();
        enfocaCodigo(true);
    } else if (palabra == QLatin1String("GRABAR")) {
        Grabando = true;
        bool guardado = true;
        if (Datosvalidos()) {
            Modificado = false;
            guardado = GrabaRegistro();
            if (guardado) {
                Inicializa();
                enfocaCodigo(false);
            } else {
                // Nothing was stored: the title stays on screen, still being edited.
                Modificado = true;
            }
        }
        if (guardado)
            txtfields[0]->setFocus(Qt::OtherFocusReason);
        Grabando = false;
    } else if (palabra == QLatin1String("PLANILLA")) {
        Planilla();
    } else if (palabra == QLatin1String("CONSULTAR")) {
        ConsultaCampo();
    } else if (palabra == QLatin1String("REPORTE")) {
        Reporte();
    } else if (palabra == QLatin1String("CERRAR")) {
        Form_Unload();
    } else if (palabra == QLatin1String("CANCELAR")) {
        if (!Modificado)
            return;
        const int r = rt::operador().MsgBox(QStringLiteral("¿Está seguro de abandonar la carga de datos?"),
                                            rt::vbYesNo + rt::vbExclamation + rt::vbDefaultButton2, QStringLiteral("ATENCIÓN!!!"));
        if (r != rt::vbYes)
            return;
        Modificado = false;
        AbrirRecordset(NombreTabla);
        Inicializa();
        enfocaCodigo(true);
    }
}

bool frmTA_TITCOPIADORES::GrabaRegistro()
{
    adodb::Connection& cn = DB().gCnn;
    int cajaEnEscritura = -1;
    rt::Protocolo p([&](const adodb::Error& e) {
        RtCampos::FijaModo(false);
        if (e.Number != adodb::kErrDataConversion)
            return CNStuffContable::InformaError(e);
        QString donde;
        if (cajaEnEscritura >= 0)
            donde = RtCampos::Etiqueta(txtfields[cajaEnEscritura]) + QStringLiteral("/") + RtCampos::CampoDatos(txtfields[cajaEnEscritura]);
        rt::operador().MsgBox(QStringLiteral("Verifique las siguientes opciones: ") + kCrLf + kCrLf +
                                  QStringLiteral("1) Ha ingresado letras donde debe ingresar numeros") + kCrLf + kCrLf +
                                  QStringLiteral("2) Debe ingresar una fecha y el formato es incorrecto") + kCrLf + kCrLf +
                                  QStringLiteral("En el campo: ") + donde,
                              rt::vbCritical, QStringLiteral("Error en conversion de datos"));
        if (cajaEnEscritura >= 0)
            txtfields[cajaEnEscritura]->setFocus(Qt::OtherFocusReason);
        return static_cast<int>(rt::vbAbort);
    });

    const int iCodigo = RtCampos::IndiceCampo(QStringLiteral("CODIGO"), cajas());
    const QString codigo = RtTexto::AnchoFijo(iCodigo < 0 ? QString() : txtfields[iCodigo]->text().trimmed(), kAnchoCodigo);

    if (!EsNuevo && !EsExistente) {
        if (!EsBaja)
            return false;
        p.paso([&] {
            DB().EjecutaConsultaSQL(QStringLiteral("DELETE FROM TA_TITCOPIADORES WHERE CODIGO='") + rt::Comillas(codigo) + QStringLiteral("'"));
            if (cn.Errors().Count() > 0)
                throw adodb::AdoException(cn.Errors().Item(0));
        });
        if (p.abortado())
            return false;
        Inicializa();
        return true;
    }

    // Replacing a title is a delete and an insert: both or neither, so a
    // failure in between never leaves the code without its title.
    bool enTransaccion = false;
    bool guardado = false;
    if (EsNuevo) {
        p.paso([&] { abreParaEscribir(datPrimaryRS); });
        p.paso([&] { datPrimaryRS.AddNew(); });
    } else {
        p.paso([&] {
            cn.BeginTrans();
            enTransaccion = true;
        });
        p.paso([&] {
            DB().EjecutaConsultaSQL(QStringLiteral("DELETE FROM TA_TITCOPIADORES WHERE CODIGO='") + rt::Comillas(codigo) + QStringLiteral("'"));
        });
        if (!p.abortado() && cn.Errors().Count() > 0) {
            rt::operador().MsgBox(adodb::TextoParaOperador(cn.Errors().Item(0)), rt::vbOKOnly, QString());
            p.paso([&] { abreParaEscribir(datPrimaryRS); });
        } else {
            p.paso([&] { DB().CierraRecordset(datPrimaryRS); });
            p.paso([&] {
                DB().AbrirRecordset(QStringLiteral("SELECT * FROM TA_TITCOPIADORES"), datPrimaryRS, nullptr, adodb::adOpenDynamic,
                                    adodb::adLockOptimistic, -1, true);
            });
            p.paso([&] { datPrimaryRS.AddNew(); });
        }
    }

    const QDateTime ahora = QDateTime::currentDateTime();
    const QString columnaFecha = EsExistente ? QStringLiteral("fechahora_modificacion") : QStringLiteral("fechahora_grabacion");
    for (int i = 0; i < kCampos; ++i) {
        cajaEnEscritura = i;
        const QString campo = RtCampos::CampoDatos(txtfields[i]);
        p.paso([&] {
            QString valor = RtTexto::ValorCampo(adodb::Variant(txtfields[i]->text()));
            if (rt::Iguales(campo, QStringLiteral("CODIGO")))
                valor = RtTexto::AnchoFijo(valor.trimmed(), kAnchoCodigo);
            datPrimaryRS.Fields(campo).setValue(adodb::Variant(valor));
        });
        p.paso([&] { datPrimaryRS.Fields(columnaFecha).setValue(adodb::Variant(ahora)); });
    }
    cajaEnEscritura = -1;
    p.paso([&] { datPrimaryRS.Fields(QStringLiteral("TC")).setValue(adodb::Variant(CptesMarcados())); });
    p.paso([&] {
        datPrimaryRS.Update();
        guardado = true;
    });

    if (!guardado && datPrimaryRS.State() == adodb::adStateOpen && datPrimaryRS.EditMode() != adodb::adEditNone)
        datPrimaryRS.CancelUpdate();
    if (enTransaccion) {
        try {
            if (guardado)
                cn.CommitTrans();
            else
                cn.RollbackTrans();
        } catch (const adodb::AdoException& e) {
            CNStuffContable::InformaError(e.error());
            if (guardado) {
                guardado = false;
                try {
                    cn.RollbackTrans();
                } catch (const adodb::AdoException&) {
                }
            }
        }
    }
    if (!guardado)
        return false;

    Inicializa();
    AbrirRecordset(NombreTabla);
    MuestraRegistro();
    DetalleOn(false);
    return true;
}

void frmTA_TITCOPIADORES::ConsultaCampo()
{
    if (CampoActual < 0 || CampoActual >= kCampos)
        return;
    const int indice = CampoActual;
    QLineEdit* caja = txtfields[indice];
    const QString tabla = RtCampos::Etiqueta(caja).trimmed();
    if (tabla.isEmpty() || !caja->isEnabled())
        return;
    QString clave;
    if (ConsultarTabla) {
        clave = ConsultarTabla(tabla);
    } else {
        bool cancelado = false;
        clave = rt::operador().InputBox(QStringLiteral("Consulta de ") + tabla, QStringLiteral("Consulta..."), QString(), &cancelado);
        if (cancelado)
            clave.clear();
    }
    caja->setText(clave.trimmed());
    txtfields_KeyDown(indice, 13, 0);
}

void frmTA_TITCOPIADORES::Reporte()
{
}

void frmTA_TITCOPIADORES::Planilla()
{
}

void frmTA_TITCOPIADORES::CmdRep_Click()
{
}

void frmTA_TITCOPIADORES::CmdVarias_Click()
{
}
