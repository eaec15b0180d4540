// The title record: display, the two states, the command words, saving and deleting.
#include "adodb/sqlite_mensajes.h"
#include "titles/frmta_titcopiadores.h"

#include "data/db_dll.h"
#include "data/errores.h"
#include "runtime/operador.h"
#include "runtime/protocolo.h"
#include "runtime/rttexto.h"
#include "runtime/teclas.h"
#include "runtime/texto.h"
#include "session/cnstuff.h"
#include "titles/rtcampos.h"
#include "toolbar/utilvarn.h"

#include <QDateTime>
#include <QLineEdit>

#include <algorithm>
#include <optional>
#include <set>

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// The window's recordset is left read-only by the code lookup; writing needs
// the same rows opened for update.
void abreParaEscribir(adodb::Recordset& rs)
{
    if (rs.State() == adodb::adStateOpen && rs.LockType != adodb::adLockReadOnly) return;
    const QString origen = rs.Source;
    if (rs.State() == adodb::adStateOpen) rs.Close();
    rs.Open(origen, &DB().gCnn, adodb::adOpenDynamic, adodb::adLockOptimistic);
}

// Tables made by other programs may lack the optional columns.
int columna(const adodb::Recordset& rs, const QString& nombre)
{
    for (size_t c = 0; c < rs.columns().size(); ++c)
        if (rt::Iguales(rs.columns()[c].name, nombre)) return static_cast<int>(c);
    return -1;
}

}  // namespace

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
    estado_ = Estado::Existente;
    // No current row: the boxes and the marks stay as they are.
    adodb::Attempt([&] { RtCampos::RegistroACampos(cajas(), datPrimaryRS); });
    adodb::Attempt([&] { MarcaCptes(RtTexto::ValorCampo(datPrimaryRS.Fields(QStringLiteral("TC")).Value())); });
}

void frmTA_TITCOPIADORES::Inicializa()
{
    estado_ = Estado::Ninguno;
    CNStuffContable::CargaEstructura();
    RtCampos::LimpiaFormulario(this);
    try {
        RtCampos::LongitudesMaximas(cajas(), NombreTabla, DB().gCnn);
    } catch (const adodb::AdoException&) {
        // Without the definition the boxes keep their lengths.
    }
    txtfields[0]->setMaxLength(qMax(1, CNStuffContable::TD_Total + 5));
    txtfields[0]->setText(ProximoCodigo());
    InicializaDetalle();
    DetalleOn(false);
}

void frmTA_TITCOPIADORES::InicializaDetalle()
{
    RtCampos::LimpiaFormulario(this, 1);
}

void frmTA_TITCOPIADORES::DetalleOn(bool Off)
{
    for (int i = 0; i < kCampos; ++i) txtfields[i]->setEnabled(i == 0 || Off);
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
        estado_ = Estado::Nuevo;
        enfocaCodigo(true);
    } else if (palabra == QLatin1String("BORRAR")) {
        const int r = rt::operador().MsgBox(QStringLiteral("Confirma la baja de este registro?"),
                                            rt::vbYesNo + rt::vbExclamation + rt::vbDefaultButton2, QStringLiteral("Atención!"));
        if (r != rt::vbYes) return;
        estado_ = Estado::Baja;
        if (!GrabaRegistro()) return;  // nothing was deleted: the title stays on screen
        // The deleted title is gone and nothing else was taken into editing:
        // the window starts again as at start-up, the next code proposed.
        modificado_ = false;
        AbrirRecordset(NombreTabla);
        enfocaCodigo(true);
    } else if (palabra == QLatin1String("GRABAR")) {
        Grabando = true;
        const errores::Cuenta antes = errores::Informadas();
        grabacionIncierta_ = false;
        bool guardado = true;
        if (Datosvalidos()) {
            modificado_ = false;
            guardado = GrabaRegistro();
            if (guardado) {
                Inicializa();
                enfocaCodigo(false);
            } else {
                // Nothing was stored: the title stays on screen, still being edited.
                modificado_ = true;
            }
        }
        if (guardado) txtfields[0]->setFocus(Qt::OtherFocusReason);
        AvisaSiNoSeGrabo(antes, guardado);
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
        if (!modificado_) return;
        const int r =
            rt::operador().MsgBox(QStringLiteral("¿Está seguro de abandonar la carga de datos?"),
                                  rt::vbYesNo + rt::vbExclamation + rt::vbDefaultButton2, QStringLiteral("ATENCIÓN!!!"));
        if (r != rt::vbYes) return;
        modificado_ = false;
        AbrirRecordset(NombreTabla);
        Inicializa();
        enfocaCodigo(true);
    }
}

QString frmTA_TITCOPIADORES::ProximoCodigo()
{
    // The codes are text: MAX() would compare "   3" with "10" character by
    // character, and codes stored unpadded by other programs would be
    // proposed again. Numbers only; a code such as "A1" does not count.
    long long mayor = 0;
    std::set<long long> usados;
    adodb::Recordset rs;
    DB().AbrirRecordset(QStringLiteral("SELECT CODIGO FROM TA_TITCOPIADORES"), rs);
    if (rs.State() == adodb::adStateOpen) {
        for (long i = 0; i < rs.RecordCount(); ++i) {
            const QString codigo = RtTexto::ValorCampo(rs.cell(static_cast<size_t>(i), 0)).trimmed();
            if (codigo.isEmpty() || codigo.size() > 18) continue;
            bool numero = true;
            for (const QChar c : codigo) numero = numero && c >= QLatin1Char('0') && c <= QLatin1Char('9');
            if (!numero) continue;
            const long long v = codigo.toLongLong();
            usados.insert(v);
            mayor = std::max(mayor, v);
        }
        DB().CierraRecordset(rs);
    }
    long long propuesto = mayor + 1;
    // Past the stored width, the first free number that still fits.
    const long long tope = 9999;
    if (propuesto > tope) {
        for (long long v = 1; v <= tope; ++v)
            if (!usados.count(v)) {
                propuesto = v;
                break;
            }
    }
    return QString::number(propuesto);
}

QString frmTA_TITCOPIADORES::HuellaTitulo(const QString& codigo, adodb::Variant* creado)
{
    if (creado) *creado = adodb::Variant::Null();
    QStringList filas;
    adodb::Recordset rs;
    try {
        rs.Open(QStringLiteral("SELECT * FROM TA_TITCOPIADORES WHERE LTRIM(RTRIM(CODIGO)) = '") + rt::Comillas(codigo.trimmed()) +
                    QStringLiteral("'"),
                &DB().gCnn, adodb::adOpenForwardOnly, adodb::adLockReadOnly);
    } catch (const adodb::AdoException&) {
        // Unreadable now: the save itself will meet and report the failure.
        return QString();
    }
    for (long i = 0; i < rs.RecordCount(); ++i) {
        QStringList celdas;
        for (size_t c = 0; c < rs.columns().size(); ++c)
            celdas << RtTexto::ValorCampo(rs.cell(static_cast<size_t>(i), c)).trimmed();
        filas << celdas.join(QChar(0x1f));
    }
    const int cCreado = columna(rs, QStringLiteral("fechahora_grabacion"));
    for (long i = 0; creado && cCreado >= 0 && i < rs.RecordCount() && creado->isNull(); ++i)
        *creado = rs.cell(static_cast<size_t>(i), static_cast<size_t>(cCreado));
    filas.sort();
    return filas.join(QChar(0x1e));
}

bool frmTA_TITCOPIADORES::ConfirmaSobreCambioAjeno(const QString& codigo, const QString& actual)
{
    QString texto;
    if (actual.isEmpty())
        texto = QStringLiteral("Otro operador borró el título %1 mientras usted lo editaba.").arg(codigo);
    else if (huellaMostrada_.isEmpty())
        texto = QStringLiteral("Otro operador grabó un título con el código %1 mientras usted lo cargaba.").arg(codigo);
    else
        texto = QStringLiteral("Otro operador modificó el título %1 mientras usted lo editaba.").arg(codigo);
    texto += kCrLf + kCrLf + QStringLiteral("¿Desea grabar sus datos de todos modos?");
    return rt::operador().MsgBox(texto, rt::vbYesNo + rt::vbExclamation + rt::vbDefaultButton2,
                                 QStringLiteral("Aviso al operador...")) == rt::vbYes;
}

bool frmTA_TITCOPIADORES::GrabaRegistro()
{
    adodb::Connection& cn = DB().gCnn;
    int cajaEnEscritura = -1;
    const auto informa = [](const adodb::Error& e) { return CNStuffContable::InformaError(e); };
    // A lost link takes the whole transaction with it: Retry (the link back)
    // runs the save again from its start, never just the step that failed.
    bool rehacer = false;
    rt::Protocolo p([&](const adodb::Error& e) {
        RtCampos::FijaModo(false);
        if (adodb::IsTransactionLost(e)) {
            rehacer = DB().ReintentoConEnlace(e, informa) == rt::vbRetry;
            return static_cast<int>(rt::vbAbort);
        }
        if (e.Number != adodb::kErrDataConversion) return CNStuffContable::InformaError(e);
        QString donde;
        if (cajaEnEscritura >= 0)
            donde = RtCampos::Etiqueta(txtfields[cajaEnEscritura]) + QStringLiteral("/") +
                    RtCampos::CampoDatos(txtfields[cajaEnEscritura]);
        rt::operador().MsgBox(QStringLiteral("Verifique las siguientes opciones: ") + kCrLf + kCrLf +
                                  QStringLiteral("1) Ha ingresado letras donde debe ingresar numeros") + kCrLf + kCrLf +
                                  QStringLiteral("2) Debe ingresar una fecha y el formato es incorrecto") + kCrLf + kCrLf +
                                  QStringLiteral("En el campo: ") + donde,
                              rt::vbCritical, QStringLiteral("Error en conversion de datos"));
        if (cajaEnEscritura >= 0) txtfields[cajaEnEscritura]->setFocus(Qt::OtherFocusReason);
        return static_cast<int>(rt::vbAbort);
    });

    const int iCodigo = RtCampos::IndiceCampo(QStringLiteral("CODIGO"), cajas());
    const QString tecleado = iCodigo < 0 ? QString() : txtfields[iCodigo]->text().trimmed();
    // Rows written by other programs may hold the code padded or not: every
    // statement finds the title by its code without blanks, as the operator sees it.
    const QString dondeCodigo = QStringLiteral(" WHERE LTRIM(RTRIM(CODIGO))='") + rt::Comillas(tecleado) + QStringLiteral("'");

    if (EsBaja()) {
        long borrados = -1;
        p.paso([&] {
            DB().EjecutaConsultaSQL(QStringLiteral("DELETE FROM TA_TITCOPIADORES") + dondeCodigo, &borrados);
            if (cn.Errors().Count() > 0) throw adodb::AdoException(cn.Errors().Item(0));
        });
        if (p.abortado()) return false;
        // A title that was new when shown was never stored: there was nothing
        // to delete, and the screen is left as after any delete.
        const bool estabaGuardado = !huellaMostrada_.isEmpty() && rt::Iguales(tecleado, codigoMostrado_);
        if (borrados == 0 && estabaGuardado) {
            // Another operator deleted it first. The window must not pretend:
            // the title on screen now exists nowhere, so saving it creates it again.
            rt::operador().MsgBox(
                QStringLiteral("El título %1 no se borró: ya no existe en la tabla (otro operador pudo haberlo borrado).")
                    .arg(tecleado),
                rt::vbInformation, QStringLiteral("Aviso al operador..."));
            estado_ = Estado::Nuevo;
            huellaMostrada_.clear();
            return false;
        }
        Inicializa();
        return true;
    }
    if (!EsNuevo() && !EsExistente()) return false;

    // Checking, deleting the old rows and writing the new one happen in one
    // transaction: all of it or none. The guard rolls back on any way out
    // that does not reach the commit.
    std::optional<adodb::Transaction> tx;
    adodb::Variant creado;
    for (;;) {
        p.paso([&] { tx.emplace(cn); });
        if (!tx) return rehacer && GrabaRegistro();
        QString actual;
        // Unread is not "deleted by another operator": the failure is reported.
        p.paso([&] {
            actual = HuellaTitulo(tecleado, &creado);
            if (cn.Errors().Count() > 0) throw adodb::AdoException(cn.Errors().Item(0));
        });
        if (p.abortado()) {
            tx.reset();
            return rehacer && GrabaRegistro();
        }
        if (actual == huellaMostrada_) break;
        // Never ask the operator while holding the database's write lock.
        tx.reset();
        if (!ConfirmaSobreCambioAjeno(tecleado, actual)) return false;
        huellaMostrada_ = actual;
    }

    bool guardado = false;
    // A new title whose code another operator stored meanwhile, saved anyway
    // by the operator's Yes: adding a second row would only hit the key, so
    // it replaces the other's rows like any existing title.
    if (EsNuevo() && huellaMostrada_.isEmpty()) {
        p.paso([&] { abreParaEscribir(datPrimaryRS); });
        p.paso([&] { datPrimaryRS.AddNew(); });
    } else {
        p.paso([&] {
            DB().EjecutaConsultaSQL(QStringLiteral("DELETE FROM TA_TITCOPIADORES") + dondeCodigo);
            if (cn.Errors().Count() > 0 && adodb::IsTransactionLost(cn.Errors().Item(0)))
                throw adodb::AdoException(cn.Errors().Item(0));
        });
        if (!p.abortado() && cn.Errors().Count() > 0) {
            rt::operador().MsgBox(adodb::TextForOperator(cn.Errors().Item(0)), rt::vbOKOnly, QString());
            p.paso([&] { abreParaEscribir(datPrimaryRS); });
        } else {
            p.paso([&] { DB().CierraRecordset(datPrimaryRS); });
            p.paso([&] {
                DB().AbrirRecordset(QStringLiteral("SELECT * FROM TA_TITCOPIADORES"), datPrimaryRS, nullptr, adodb::adOpenDynamic,
                                    adodb::adLockOptimistic, -1, true);
                if (datPrimaryRS.State() != adodb::adStateOpen && cn.Errors().Count() > 0 &&
                    adodb::IsTransactionLost(cn.Errors().Item(0)))
                    throw adodb::AdoException(cn.Errors().Item(0));
            });
            p.paso([&] { datPrimaryRS.AddNew(); });
        }
    }

    const QDateTime ahora = QDateTime::currentDateTime();
    // The row written replaces stored rows unless it is a new title nobody stored.
    const bool reemplaza = !EsNuevo() || !huellaMostrada_.isEmpty();
    for (int i = 0; i < kCampos; ++i) {
        cajaEnEscritura = i;
        const QString campo = RtCampos::CampoDatos(txtfields[i]);
        p.paso([&] {
            QString valor = RtTexto::ValorCampo(adodb::Variant(txtfields[i]->text()));
            if (rt::Iguales(campo, QStringLiteral("CODIGO"))) valor = RtTexto::AnchoFijo(valor.trimmed(), kAnchoCodigo);
            datPrimaryRS.Fields(campo).setValue(adodb::Variant(valor));
        });
    }
    cajaEnEscritura = -1;
    // The replacing row keeps the title's creation date: the old row is
    // deleted, and with it the only record of when the title was made.
    const auto fecha = [&](const QString& nombre, const adodb::Variant& v) {
        if (columna(datPrimaryRS, nombre) >= 0) p.paso([&] { datPrimaryRS.Fields(nombre).setValue(v); });
    };
    if (reemplaza) {
        fecha(QStringLiteral("fechahora_grabacion"), creado);
        fecha(QStringLiteral("fechahora_modificacion"), adodb::Variant(ahora));
    } else {
        fecha(QStringLiteral("fechahora_grabacion"), adodb::Variant(ahora));
    }
    p.paso([&] { datPrimaryRS.Fields(QStringLiteral("TC")).setValue(adodb::Variant(CptesMarcados())); });
    p.paso([&] {
        datPrimaryRS.Update();
        guardado = true;
    });

    if (!guardado && datPrimaryRS.State() == adodb::adStateOpen && datPrimaryRS.EditMode() != adodb::adEditNone)
        datPrimaryRS.CancelUpdate();
    if (guardado) {
        try {
            tx->Commit();
        } catch (const adodb::AdoException& e) {
            guardado = false;
            tx.reset();
            if (adodb::IsLinkLost(e.error()))
                guardado = ConfirmaGrabacion(e.error(), rehacer);
            else
                CNStuffContable::InformaError(e.error());
        }
    }
    tx.reset();
    if (!guardado) return rehacer && GrabaRegistro();

    // The window is prepared for the next title by the GRABAR command once this
    // returns; doing it here as well read the structure and the codes twice.
    AbrirRecordset(NombreTabla);
    MuestraRegistro();
    DetalleOn(false);
    return true;
}

bool frmTA_TITCOPIADORES::ComoEnPantalla()
{
    const int iCodigo = RtCampos::IndiceCampo(QStringLiteral("CODIGO"), cajas());
    const QString codigo = iCodigo < 0 ? QString() : txtfields[iCodigo]->text().trimmed();
    adodb::Recordset rs;
    rs.Open(QStringLiteral("SELECT * FROM TA_TITCOPIADORES WHERE LTRIM(RTRIM(CODIGO)) = '") + rt::Comillas(codigo) +
                QStringLiteral("'"),
            &DB().gCnn, adodb::adOpenForwardOnly, adodb::adLockReadOnly);
    if (rs.RecordCount() != 1) return false;
    const auto guardado = [&](const QString& campo) { return RtTexto::ValorCampo(rs.Fields(campo).Value()).trimmed(); };
    for (int i = 0; i < kCampos; ++i)
        if (guardado(RtCampos::CampoDatos(txtfields[i])) != txtfields[i]->text().trimmed()) return false;
    return guardado(QStringLiteral("TC")) == CptesMarcados().trimmed();
}

bool frmTA_TITCOPIADORES::ConfirmaGrabacion(const adodb::Error& e, bool& rehacer)
{
    // The link went while the commit was on its way: the server may have
    // committed and only its answer been lost. Once connected again, the
    // table tells; saving again blindly would write the title twice.
    enum { NoSe, NoLlego, Llego };
    const auto averigua = [this]() -> int {
        if (!DB().gOpenFlag) return NoSe;
        int llego = NoSe;
        adodb::Attempt([&] { llego = ComoEnPantalla() ? Llego : NoLlego; });
        return llego;
    };
    DB().ReintentaConectar();
    int llego = averigua();
    const int llegoSinPreguntar = llego;
    while (llego != Llego) {
        // Retry reconnects first; while the server does not answer, the box comes back.
        if (DB().ReintentoConEnlace(e, [](const adodb::Error& f) { return CNStuffContable::InformaError(f); }) != rt::vbRetry)
            break;
        if (llego == NoLlego || (llego = averigua()) == NoLlego) {
            rehacer = true;
            return false;
        }
    }
    if (llego == Llego) {
        // Nothing was lost and nobody was asked, but whoever looks after the server should know.
        if (llegoSinPreguntar == Llego) errores::AnotaError(DB().RutaLogErrores(), QStringLiteral("GrabaRegistro"), e, 0);
        return true;
    }
    grabacionIncierta_ = llego == NoSe;
    return false;
}

void frmTA_TITCOPIADORES::AvisaSiNoSeGrabo(const errores::Cuenta& antes, bool guardado)
{
    const errores::Cuenta ahora = errores::Informadas();
    // The box of a lost link names the link, not the title: once it was left,
    // or it stopped the save, the operator must not take the title for saved.
    if (ahora.enlacesPerdidos == antes.enlacesPerdidos) return;
    if (ahora.abandonadas == antes.abandonadas && (guardado || ahora.informadas == antes.informadas)) return;
    const QString texto =
        grabacionIncierta_
            ? QStringLiteral("Se perdió la conexión con la base de datos mientras se confirmaba la grabación y no se pudo "
                             "verificar si el título quedó grabado.")
            : QStringLiteral("El título no se grabó.");
    rt::operador().MsgBox(this,
                          texto + kCrLf + kCrLf +
                              QStringLiteral("Los datos siguen en pantalla: vuelva a grabarlos con F2 cuando la base de datos "
                                             "responda."),
                          rt::vbExclamation, QStringLiteral("Aviso al operador..."));
}

void frmTA_TITCOPIADORES::ConsultaCampo()
{
    if (campoActual_ < 0 || campoActual_ >= kCampos) return;
    const int indice = campoActual_;
    QLineEdit* caja = txtfields[indice];
    const QString tabla = RtCampos::Etiqueta(caja).trimmed();
    if (tabla.isEmpty() || !caja->isEnabled()) return;
    QString clave;
    if (ConsultarTabla) {
        clave = ConsultarTabla(tabla);
    } else {
        bool cancelado = false;
        clave =
            rt::operador().InputBox(QStringLiteral("Consulta de ") + tabla, QStringLiteral("Consulta..."), QString(), &cancelado);
        if (cancelado) clave.clear();
    }
    // Nothing chosen (Cancel): the box keeps what the operator had typed.
    if (clave.trimmed().isEmpty()) {
        caja->setFocus(Qt::OtherFocusReason);
        return;
    }
    caja->setText(clave.trimmed());
    txtfields_KeyDown(indice, rt::vbKeyReturn, 0);
}
