// Field validation: each box as it is left with Enter, all of them before saving.
#include "titles/frmta_titcopiadores.h"

#include "data/db_dll.h"
#include "data/errores.h"
#include "runtime/operador.h"
#include "runtime/rttexto.h"
#include "runtime/texto.h"
#include "session/cndll.h"
#include "session/cnstuff.h"
#include "titles/rtcampos.h"
#include "titles/titulos.h"

#include <QLineEdit>

namespace {
const QString kTituloAviso = QStringLiteral("Aviso al operador...");
}  // namespace

void frmTA_TITCOPIADORES::rechaza(int Index, const QString& mensaje)
{
    hayError_ = true;
    rt::operador().MsgBox(mensaje, rt::vbInformation, kTituloAviso);
    txtfields[Index]->setFocus(Qt::OtherFocusReason);
}

void frmTA_TITCOPIADORES::CampoValida(int Index, const QString& Texto)
{
    hayError_ = false;
    if (Index < 0 || Index >= kCampos) return;
    QLineEdit* caja = txtfields[Index];
    const QString campo = RtCampos::CampoDatos(caja);
    QString texto = Texto.trimmed();
    QString mensaje;
    // A lookup whose failure the operator answered by leaving it says "not
    // found" without having looked: the box keeps its value and the title its
    // state, nothing further is checked, and no verdict is shown.
    const long abandonadas = errores::Informadas().abandonadas;
    const auto sinRespuesta = [&] {
        if (errores::Informadas().abandonadas == abandonadas) return false;
        hayError_ = true;
        caja->setFocus(Qt::OtherFocusReason);
        return true;
    };
    try {
        if (rt::Iguales(campo, QStringLiteral("CODIGO"))) {
            if (texto.isEmpty()) {
                rechaza(Index, QStringLiteral(" Debe informar el Codigo!"));
                return;
            }
            if (texto.size() > kAnchoCodigo) {
                rechaza(Index, QStringLiteral(" El Codigo no puede tener mas de %1 caracteres!").arg(kAnchoCodigo));
                return;
            }
            const bool otroCodigo = !rt::Iguales(texto, codigoMostrado_) && !titulos::MismoNumero(texto, codigoMostrado_);
            // Loading a title (or clearing for a new one) over an edit would
            // lose it. The title already on screen is not loaded again over
            // the operator's changes: Enter in its code box only moves on.
            const bool editado = !Grabando && modificado_ && pantalla() != pantallaMostrada_;
            if (editado && otroCodigo && !ConfirmaAbandono()) {
                caja->setText(codigoMostrado_);
                hayError_ = true;
                caja->setFocus(Qt::OtherFocusReason);
                return;
            }
            const bool conserva = editado && !otroCodigo;
            const std::optional<Titulo> hallado = titulos::Busca(texto);
            const bool existe = hallado.has_value();
            if (sinRespuesta()) return;
            // The title goes on under its stored code: nothing stored is renamed.
            if (existe) {
                const QString guardado = hallado->codigo.trimmed();
                if (!guardado.isEmpty() && guardado != texto) {
                    texto = guardado;
                    caja->setText(texto);
                }
            }
            // A save under a code changed in the box would replace a stored
            // title the operator never saw on screen.
            if (Grabando && otroCodigo && existe &&
                rt::operador().MsgBox(
                    this, QStringLiteral("El título %1 ya existe. ¿Desea reemplazarlo con los datos de la pantalla?").arg(texto),
                    rt::vbYesNo + rt::vbExclamation + rt::vbDefaultButton2, QStringLiteral("Atención!")) != rt::vbYes) {
                hayError_ = true;
                caja->setFocus(Qt::OtherFocusReason);
                return;
            }
            if (existe) {
                estado_ = Estado::Existente;
                if (!Grabando && !conserva) MuestraRegistro(*hallado);
            } else {
                if (!Grabando && !conserva) InicializaDetalle();
                estado_ = Estado::Nuevo;
            }
            // What the operator starts from; a save compares it with the table.
            // A code changed in the box since the title was shown names a
            // title the operator never saw: the save acts on that one as it
            // stands now (replaces it, or adds it), with nothing to compare.
            if ((!Grabando && !conserva) || otroCodigo) {
                huellaMostrada_ = HuellaTitulo(texto);
                codigoMostrado_ = texto;
            }
            if (!Grabando && !conserva) pantallaMostrada_ = pantalla();
            modificado_ = true;
            DetalleOn(true);
        } else if (rt::Iguales(campo, QStringLiteral("DESCRIPCION"))) {
            if (texto.isEmpty()) rechaza(Index, QStringLiteral(" Debe informar un Detalle! "));
        } else if (rt::Iguales(campo, QStringLiteral("DESDE")) || rt::Iguales(campo, QStringLiteral("HASTA"))) {
            // The end and the whole range are checked against one read of the titles.
            const CNDLL::UnaLectura unaLectura;
            adodb::Recordset cuenta;
            const bool existe = CNStuffContable::BuscaCuenta(texto, &cuenta, true);
            if (cuenta.State() != adodb::adStateClosed) DB().CierraRecordset(cuenta);
            if (sinRespuesta()) return;
            if (!existe) {
                rechaza(Index, QStringLiteral("La cuenta ingresada es inexistente."));
                return;
            }
            caja->setText(texto);
            const int iCodigo = RtCampos::IndiceCampo(QStringLiteral("Codigo"), cajas());
            const QString titulo = iCodigo < 0 ? QString() : txtfields[iCodigo]->text();
            const auto avisaRango = [this] {
                rangoAvisado_ = true;
                rt::operador().MsgBox(QStringLiteral("El Codigo de Cuenta esta en el rango de otro Copiador!"), rt::vbInformation,
                                      QStringLiteral("AVISO AL OPERADOR!"));
            };
            // The range is checked from its start: what DESDE was told counts for HASTA.
            if (!rt::Iguales(campo, QStringLiteral("HASTA"))) rangoAvisado_ = false;
            const bool enOtroRango = Contabilidad().ValidaRango(texto, titulo);
            if (sinRespuesta()) return;
            if (enOtroRango) avisaRango();
            if (rt::Iguales(campo, QStringLiteral("HASTA"))) {
                const int iDesde = RtCampos::IndiceCampo(QStringLiteral("Desde"), cajas());
                const QString desde = iDesde < 0 ? QString() : txtfields[iDesde]->text().trimmed();
                mensaje = QStringLiteral("El Codigo de Cuenta Desde no puede ser Mayor que Desde!!");
                if (QString::compare(RtTexto::AnchoFijo(desde, 15), RtTexto::AnchoFijo(texto, 15), Qt::CaseInsensitive) > 0) {
                    rechaza(Index, mensaje);
                    return;
                }
                // Both ends may lie outside every other range while the range
                // swallows another title whole; the operator hears it once.
                const bool contiene = !rangoAvisado_ && !desde.isEmpty() && Contabilidad().ContieneRango(desde, texto, titulo);
                if (sinRespuesta()) return;
                if (contiene) avisaRango();
            }
        }
    } catch (const adodb::AdoException&) {
        // An unexpected failure shows what had been prepared so far.
        rt::operador().MsgBox(mensaje, rt::vbInformation, kTituloAviso);
        caja->setFocus(Qt::OtherFocusReason);
    }
}

bool frmTA_TITCOPIADORES::Datosvalidos()
{
    // Both ends of the range are checked against one read of the titles.
    const CNDLL::UnaLectura unaLectura;
    hayError_ = false;
    for (int i = 0; i < kCampos; ++i) {
        CampoValida(i, txtfields[i]->text());
        if (hayError_) break;
    }
    return !hayError_;
}

int frmTA_TITCOPIADORES::ConvierteMayuscula(int KeyAscii)
{
    static const QString kConvertibles = QStringLiteral("0123456789.ABCDEFGHIJKLMNÑOPQRSTUVWXYZ.abcdefghijklmnñopqrstuvwxyz");
    if (!CNStuffContable::gSoloMayusculas || KeyAscii < 32 || KeyAscii > 0xFFFF) return KeyAscii;
    const QString c(QChar(static_cast<char16_t>(KeyAscii)));
    if (rt::InStr(kConvertibles, c) == 0) return KeyAscii;
    return c.toUpper().at(0).unicode();
}
