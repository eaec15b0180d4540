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
#include "titles/titulos.h"
#include "toolbar/utilvarn.h"

#include <QDateTime>
#include <QLineEdit>

#include <optional>

namespace {

const QString kCrLf = QStringLiteral("\r\n");

}  // namespace

Titulo frmTA_TITCOPIADORES::TituloEnPantalla() const
{
    const auto caja = [this](const char* campo) {
        const int i = RtCampos::IndiceCampo(QString::fromLatin1(campo), cajas());
        return i < 0 ? QString() : txtfields[i]->text();
    };
    return Titulo{caja("CODIGO"), caja("DESCRIPCION"), caja("DESDE"), caja("HASTA"), CptesMarcados()};
}

void frmTA_TITCOPIADORES::MuestraRegistro(const Titulo& t)
{
    estado_ = Estado::Existente;
    const auto valor = [&](const QString& campo) {
        if (rt::Iguales(campo, QStringLiteral("CODIGO"))) return t.codigo;
        if (rt::Iguales(campo, QStringLiteral("DESCRIPCION"))) return t.descripcion;
        if (rt::Iguales(campo, QStringLiteral("DESDE"))) return t.desde;
        if (rt::Iguales(campo, QStringLiteral("HASTA"))) return t.hasta;
        return QString();
    };
    RtCampos::ValoresACampos(cajas(), valor);
    MarcaCptes(t.comprobantes);
}

void frmTA_TITCOPIADORES::Inicializa()
{
    estado_ = Estado::Ninguno;
    CNStuffContable::CargaEstructura();
    RtCampos::LimpiaFormulario(this);
    // Without the definition the boxes keep their lengths.
    adodb::Attempt([&] { RtCampos::LongitudesMaximas(cajas(), titulos::LargosDeTexto()); });
    txtfields[0]->setMaxLength(qMax(1, CNStuffContable::TD_Total + 5));
    txtfields[0]->setText(titulos::ProximoCodigo());
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
        Inicializa();
        enfocaCodigo(true);
    }
}

QString frmTA_TITCOPIADORES::HuellaTitulo(const QString& codigo)
{
    // Unreadable now: the save itself will meet and report the failure.
    QString huella;
    adodb::Attempt([&] { huella = titulos::Huella(codigo); });
    return huella;
}

bool frmTA_TITCOPIADORES::ConfirmaSobreCambioAjeno(const QString& codigo, const titulos::Grabacion& g)
{
    QString texto;
    if (g.huella.isEmpty())
        texto = QStringLiteral("Otro operador borró el título %1 mientras usted lo editaba.").arg(codigo);
    else if (g.resultado == titulos::Resultado::CodigoDeOtro)
        texto = QStringLiteral("Otro operador grabó un título con el código %1 mientras usted lo cargaba.").arg(codigo);
    else
        texto = QStringLiteral("Otro operador modificó el título %1 mientras usted lo editaba.").arg(codigo);
    texto += kCrLf + kCrLf + QStringLiteral("¿Desea grabar sus datos de todos modos?");
    return rt::operador().MsgBox(texto, rt::vbYesNo + rt::vbExclamation + rt::vbDefaultButton2,
                                 QStringLiteral("Aviso al operador...")) == rt::vbYes;
}

bool frmTA_TITCOPIADORES::GrabaRegistro()
{
    const auto informa = [](const adodb::Error& e) { return CNStuffContable::InformaError(e); };
    // A lost link takes the whole transaction with it: Retry (the link back)
    // runs the save again from its start, never just the step that failed.
    bool rehacer = false;
    const titulos::Informe informe = [&](const adodb::Error& e, const QString& columna) {
        RtCampos::FijaModo(false);
        if (adodb::IsTransactionLost(e)) {
            rehacer = DB().ReintentoConEnlace(e, informa) == rt::vbRetry;
            return static_cast<int>(rt::vbAbort);
        }
        if (e.Number != adodb::kErrDataConversion) return CNStuffContable::InformaError(e);
        const int caja = columna.isEmpty() ? -1 : RtCampos::IndiceCampo(columna, cajas());
        QString donde;
        if (caja >= 0)
            donde = RtCampos::Etiqueta(txtfields[caja]) + QStringLiteral("/") + RtCampos::CampoDatos(txtfields[caja]);
        rt::operador().MsgBox(QStringLiteral("Verifique las siguientes opciones: ") + kCrLf + kCrLf +
                                  QStringLiteral("1) Ha ingresado letras donde debe ingresar numeros") + kCrLf + kCrLf +
                                  QStringLiteral("2) Debe ingresar una fecha y el formato es incorrecto") + kCrLf + kCrLf +
                                  QStringLiteral("En el campo: ") + donde,
                              rt::vbCritical, QStringLiteral("Error en conversion de datos"));
        if (caja >= 0) txtfields[caja]->setFocus(Qt::OtherFocusReason);
        return static_cast<int>(rt::vbAbort);
    };

    const Titulo titulo = TituloEnPantalla();
    const QString tecleado = titulo.codigo.trimmed();

    if (EsBaja()) {
        const std::optional<long> borrados = titulos::Borra(tecleado, informe);
        if (!borrados) return false;
        // A title that was new when shown was never stored: there was nothing
        // to delete, and the screen is left as after any delete.
        const bool estabaGuardado = !huellaMostrada_.isEmpty() && rt::Iguales(tecleado, codigoMostrado_);
        if (*borrados == 0 && estabaGuardado) {
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

    // Old rows that could not be deleted are written over; the operator hears why.
    const auto sinBorrar = [](const adodb::Error& e) {
        rt::operador().MsgBox(adodb::TextForOperator(e), rt::vbOKOnly, QString());
    };
    titulos::Grabacion g;
    for (;;) {
        g = titulos::Graba(titulo, huellaMostrada_, EsNuevo(), informe, sinBorrar);
        if (g.resultado != titulos::Resultado::CambiadoPorOtro && g.resultado != titulos::Resultado::CodigoDeOtro) break;
        if (!ConfirmaSobreCambioAjeno(tecleado, g)) return false;
        huellaMostrada_ = g.huella;
    }
    bool guardado = g.resultado == titulos::Resultado::Grabado;
    if (g.alConfirmar) {
        if (adodb::IsLinkLost(*g.alConfirmar))
            guardado = ConfirmaGrabacion(*g.alConfirmar, rehacer);
        else
            CNStuffContable::InformaError(*g.alConfirmar);
    }
    if (!guardado) return rehacer && GrabaRegistro();

    // The window is prepared for the next title by the GRABAR command once this returns.
    DetalleOn(false);
    return true;
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
        adodb::Attempt([&] { llego = titulos::EstaGuardado(TituloEnPantalla()) ? Llego : NoLlego; });
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
