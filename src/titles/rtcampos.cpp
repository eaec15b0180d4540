#include "titles/rtcampos.h"

#include "runtime/rttexto.h"
#include "runtime/teclas.h"
#include "runtime/texto.h"
#include "runtime/ventanas.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QScreen>
#include <QWidget>

namespace {
const char* const kCampoDatos = "DataField";
const char* const kEtiqueta = "Tag";
const char* const kIndice = "Index";
// The limit a box had before a stored value longer than it widened it.
const char* const kLargoPropio = "LargoPropio";

bool modo = true;

// A box takes a text longer than its limit by cutting it, and the cut text
// would be saved: the limit grows to what is shown, and returns when the box
// shows something that fits.
void ajustaLargo(QLineEdit* caja, qsizetype largo)
{
    const QVariant propio = caja->property(kLargoPropio);
    const int limite = propio.isValid() ? propio.toInt() : caja->maxLength();
    if (largo > limite) {
        caja->setProperty(kLargoPropio, limite);
        caja->setMaxLength(static_cast<int>(largo));
    } else if (propio.isValid()) {
        caja->setProperty(kLargoPropio, QVariant());
        caja->setMaxLength(limite);
    }
}
}  // namespace

void RtCampos::FijaCampo(QLineEdit* caja, const QString& campoDatos, const QString& etiqueta, int indice)
{
    caja->setProperty(kCampoDatos, campoDatos);
    caja->setProperty(kEtiqueta, etiqueta);
    caja->setProperty(kIndice, indice);
}

QString RtCampos::CampoDatos(const QWidget* caja)
{
    return caja ? caja->property(kCampoDatos).toString() : QString();
}

QString RtCampos::Etiqueta(const QWidget* caja)
{
    return caja ? caja->property(kEtiqueta).toString() : QString();
}

int RtCampos::Indice(const QWidget* caja)
{
    if (!caja) return -1;
    const QVariant v = caja->property(kIndice);
    return v.isValid() ? v.toInt() : -1;
}

void RtCampos::RegistroACampos(const Cajas& cajas, adodb::Recordset& rs)
{
    const bool hayFila = rs.State() == adodb::adStateOpen && !rs.BOF() && !rs.EOF_();
    ValoresACampos(cajas, [&](const QString& campo) {
        QString valor;
        if (hayFila) adodb::Attempt([&] { valor = RtTexto::ValorCampo(rs.Fields(campo).Value()); });
        return valor;
    });
}

void RtCampos::ValoresACampos(const Cajas& cajas, const std::function<QString(const QString& campo)>& valor)
{
    for (QLineEdit* caja : cajas) {
        const QString campo = CampoDatos(caja);
        if (campo.isEmpty()) continue;
        // Codes are stored padded to their width; the operator types them bare.
        const QString texto = valor(campo).trimmed();
        ajustaLargo(caja, texto.size());
        caja->setText(texto);
    }
}

void RtCampos::LongitudesMaximas(const Cajas& cajas, const std::vector<std::pair<QString, int>>& largos)
{
    for (const auto& [columna, n] : largos) {
        const int i = IndiceCampo(columna, cajas);
        if (i < 0) continue;
        // The column's size is the box's own limit from now on; a text stored
        // longer than it still shows whole.
        cajas[i]->setProperty(kLargoPropio, n);
        ajustaLargo(cajas[i], cajas[i]->text().size());
    }
}

void RtCampos::LimpiaFormulario(QWidget* ventana, int opcion)
{
    if (!ventana) return;
    for (QLineEdit* caja : ventana->findChildren<QLineEdit*>()) {
        if (CampoDatos(caja).isEmpty()) continue;  // not an entry box of the record (a list's editor, a spin box's text)
        if (opcion == 1 && Indice(caja) == 0) continue;
        caja->clear();
        ajustaLargo(caja, 0);
    }
    // A check list returns to the state a new record starts with, every item
    // marked, so a new title never inherits the marks of the one shown before.
    for (QListWidget* lista : ventana->findChildren<QListWidget*>())
        for (int i = 0; i < lista->count(); ++i)
            if (lista->item(i)->flags() & Qt::ItemIsUserCheckable) lista->item(i)->setCheckState(Qt::Checked);
}

bool RtCampos::EsTeclaAvance(int keyCode)
{
    return keyCode == rt::vbKeyReturn;
}

void RtCampos::Avanza(QWidget* desde, int keyCode)
{
    if (!desde || !EsTeclaAvance(keyCode)) return;
    QWidget* ventana = desde->window();
    for (QWidget* w = desde->nextInFocusChain(); w && w != desde; w = w->nextInFocusChain()) {
        if (w->window() != ventana || !w->isEnabled() || !w->isVisibleTo(ventana)) continue;
        if (!(w->focusPolicy() & Qt::TabFocus) || w->focusProxy()) continue;
        w->setFocus(Qt::TabFocusReason);
        return;
    }
}

int RtCampos::IndiceCampo(const QString& columna, const Cajas& cajas)
{
    for (int i = 0; i < cajas.size(); ++i)
        if (rt::Iguales(CampoDatos(cajas[i]), columna.trimmed())) return i;
    return -1;
}

void RtCampos::AjustaVentana(QWidget* ventana, bool centrarEnPadre)
{
    rt::AjustaVentana(ventana, centrarEnPadre);
}

void RtCampos::PreparaVentana(QWidget* ventana)
{
    if (!ventana) return;
    for (QLineEdit* caja : ventana->findChildren<QLineEdit*>()) {
        if (CampoDatos(caja).isEmpty()) continue;
        QPalette p = caja->palette();
        p.setColor(QPalette::Base, Qt::white);
        caja->setPalette(p);
    }
}

void RtCampos::FijaModo(bool valor)
{
    modo = valor;
}

bool RtCampos::Modo()
{
    return modo;
}
