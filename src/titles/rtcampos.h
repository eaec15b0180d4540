#pragma once
// The field and window services the runtime library gives maintenance windows:
// an entry box carries the column it edits ("DataField"), the table its lookup
// offers ("Tag") and its place in the window's box array ("Index") as dynamic
// properties, so one set of routines serves any window.
#include "adodb/recordset.h"

#include <QList>
#include <QString>
#include <functional>
#include <utility>
#include <vector>

class QLineEdit;
class QWidget;

class RtCampos {
public:
    using Cajas = QList<QLineEdit*>;

    /// Attaches the column, lookup table and array index to a box.
    static void FijaCampo(QLineEdit* caja, const QString& campoDatos, const QString& etiqueta, int indice);
    static QString CampoDatos(const QWidget* caja);
    static QString Etiqueta(const QWidget* caja);
    /// Index in the window's box array, -1 for any other widget.
    static int Indice(const QWidget* caja);

    /// Each box shows, trimmed, the column its data field names, whole: a text
    /// longer than the box's limit widens it for as long as it is shown. With
    /// no current row (an empty or exhausted recordset) every box is emptied.
    static void RegistroACampos(const Cajas& cajas, adodb::Recordset& rs);
    /// The same from any source: `valor` gives the text of a data field.
    static void ValoresACampos(const Cajas& cajas, const std::function<QString(const QString& campo)>& valor);
    /// Each box whose column is named in `largos` (column, stored width) gets
    /// that width as maximum length.
    static void LongitudesMaximas(const Cajas& cajas, const std::vector<std::pair<QString, int>>& largos);
    /// Empties the entry boxes of the window. With option 1 the box of index 0
    /// (the key) keeps its text. Check lists get every item marked, the state a
    /// new record starts with; a record shown afterwards restores its own marks.
    static void LimpiaFormulario(QWidget* ventana, int opcion = 0);
    /// Enter moves on; Tab already does by itself and does not validate.
    static bool EsTeclaAvance(int keyCode);
    /// Focus to the next enabled, visible widget of the tab order.
    static void Avanza(QWidget* desde, int keyCode);
    /// Index of the box whose data field is `columna` (any case), -1 when none.
    static int IndiceCampo(const QString& columna, const Cajas& cajas);

    /// Brings the window on screen: fitted to the available area and centred.
    static void AjustaVentana(QWidget* ventana, bool centrarEnPadre);
    /// Gives every entry box the resting colour it returns to on leaving.
    static void PreparaVentana(QWidget* ventana);
    /// The library's mode switch; nothing in this program reads it back.
    static void FijaModo(bool valor);
    static bool Modo();
};
