// The list lookup window's keys: typing in a search box, the keys a box
// hands to the list, the list's own keys, sorting by a header click, and F5.
#include "lib_frmcons3.h"

#include "cabecera_busqueda.h"
#include "lib_frmcons3_interno.h"
#include "modelo_consulta.h"
#include "sentencias.h"

#include "runtime/protocolo.h"

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QTableView>

using frmcons3::Informe;
using frmcons3::kCantidad;

void Lib_FrmCons3::CmbSearch_Change(int Index)
{
    if (Index < 0 || Index >= CmbSearch.size()) return;
    const QString texto = CmbSearch.at(Index)->currentText();
    const int r = Busqueda(texto, Index);
    if (r > 0) {
        SeleccionaFila(r - 1, Index);
    } else {
        // The row left highlighted would be returned by Enter as if it matched.
        ListView1->selectionModel()->clearSelection();
    }
    avisaSinCoincidencias(Index, r == 0 && !texto.trimmed().isEmpty());
}

void Lib_FrmCons3::avisaSinCoincidencias(int Index, bool sinCoincidencias)
{
    QString aviso;
    if (sinCoincidencias)
        aviso = QStringLiteral("Ninguna fila de la lista coincide con lo escrito en ") + columnasCajas_.value(Index) +
                QStringLiteral(". F5 lo busca en la base de datos.");
    else if (!filtros_.isEmpty() && modelo_->rowCount() == 0)
        // An empty list after F5 is the search's answer, not a failure to load.
        aviso = QStringLiteral("Ninguna fila de la base de datos cumple el filtro.");
    lblSinCoincidencias->setText(aviso);
    for (int i = 0; i < CmbSearch.size(); ++i) {
        QComboBox* c = CmbSearch.at(i);
        QPalette p = c->palette();
        p.setColor(QPalette::Text,
                   sinCoincidencias && i == Index ? QColor(190, 0, 0) : QApplication::palette(c).color(QPalette::Text));
        c->setPalette(p);
    }
}

void Lib_FrmCons3::muestraFiltro()
{
    // Each F5 narrows what the last one left; without this line an empty or
    // short list would look like the whole table.
    lblFiltro->setText(filtros_.isEmpty() ? QString()
                                          : QStringLiteral("Filtro: ") + filtros_.join(QStringLiteral(" y ")) +
                                                QStringLiteral(". Nueva Busqueda lo quita."));
    lblFiltro->setVisible(!filtros_.isEmpty());
}

void Lib_FrmCons3::ordenaSiCorresponde()
{
    if (!ordenada_) return;
    modelo_->sort(claveOrden_, orden_);
    picFields->setSortIndicatorShown(true);
    picFields->setSortIndicator(claveOrden_, orden_);
}

void Lib_FrmCons3::ListView1_ColumnClick(int Columna)
{
    if (Columna < 0 || Columna >= modelo_->columnCount()) return;
    ordenada_ = true;
    claveOrden_ = Columna;
    orden_ = orden_ == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    ordenaSiCorresponde();
    const int actual = FilaSeleccionada();
    if (actual >= 0) ListView1->scrollTo(modelo_->index(actual, Columna), QAbstractItemView::EnsureVisible);
}

void Lib_FrmCons3::BuscaEnServidor(int Index)
{
    if (Index < 0 || Index >= CmbSearch.size()) return;
    QComboBox* caja = CmbSearch.at(Index);
    const QString texto = caja->currentText();
    // The "*" the operator typed becomes the wildcard in the statement alone;
    // the box keeps what was typed.
    const QString nueva = Sentencias::SentenciaFiltrada(actual_, columnasCajas_.value(Index), texto, CfgUsaConsultaLIKE);
    filtros_.append(modelo_->Encabezados().value(Index, columnasCajas_.value(Index)) +
                    (CfgUsaConsultaLIKE ? QStringLiteral(" contiene \"") : QStringLiteral(" comienza con \"")) + texto + u'"');
    {
        const QSignalBlocker sinBusqueda(caja);
        caja->setEditText(QString());
    }
    sql = nueva;
    actual_ = nueva;
    Form_Load();
    if (Index < CmbSearch.size()) CmbSearch.at(Index)->setFocus();
}

bool Lib_FrmCons3::teclaDeCaja(int Index, QKeyEvent* e)
{
    switch (e->key()) {
    case Qt::Key_F5: BuscaEnServidor(Index); return true;
    case Qt::Key_Down:
    case Qt::Key_Up:
    case Qt::Key_PageDown:
    case Qt::Key_PageUp: {
        ListView1->setFocus(Qt::OtherFocusReason);
        QKeyEvent copia(e->type(), e->key(), e->modifiers(), e->text());
        QCoreApplication::sendEvent(ListView1, &copia);
        return true;
    }
    case Qt::Key_Return:
    case Qt::Key_Enter: CmdAceptar_Click(); return true;
    default: return false;
    }
}

bool Lib_FrmCons3::ListView1_KeyDown(QKeyEvent* e)
{
    rt::Protocolo p([](const adodb::Error& err) { return Informe(err, "ListView1_KeyDown"); });
    const int fila = FilaSeleccionada();
    const int tecla = e->key();
    if (tecla == Qt::Key_Space && CheckBoxes) {
        if (fila >= 0) modelo_->Marca(fila, !modelo_->Marcada(fila));
        return true;
    }
    if (tecla == Qt::Key_Return || tecla == Qt::Key_Enter) {
        CmdAceptar_Click();
        return true;
    }
    if (UsaCantidades && (tecla == Qt::Key_Insert || tecla == Qt::Key_Delete)) {
        const int columna = IndiceColumna(kCantidad) - 1;
        if (columna >= 0 && fila >= 0)
            p.paso([&] {
                cambiaCantidad(fila, columna, (e->modifiers() & Qt::ShiftModifier) && tecla == Qt::Key_Insert ? 0 : tecla);
            });
        return true;
    }
    if (CmbSearch.isEmpty()) return false;
    QComboBox* caja = CmbSearch.value(cajaActual_, CmbSearch.first());
    if (tecla == Qt::Key_Backspace) {
        QString t = caja->currentText();
        t.chop(1);
        caja->setEditText(t);
        caja->setFocus(Qt::OtherFocusReason);
        return true;
    }
    const QString t = e->text();
    if (t.size() != 1 || (e->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) return false;
    const char16_t c = t.at(0).unicode();
    const bool escribe = (c >= 47 && c <= 93) || (c >= 97 && c <= 125) || c == u' ' || t.at(0).isLetter();
    if (!escribe) return false;
    caja->setEditText(caja->currentText() + t);
    caja->setFocus(Qt::OtherFocusReason);
    return true;
}

bool Lib_FrmCons3::eventFilter(QObject* objeto, QEvent* evento)
{
    const QEvent::Type tipo = evento->type();
    if (tipo == QEvent::KeyPress) {
        auto* e = static_cast<QKeyEvent*>(evento);
        if (e->key() == Qt::Key_F12) {
            InformaFaltante();
            return true;
        }
        if (objeto == ListView1) return ListView1_KeyDown(e);
        const int i = CmbSearch.indexOf(qobject_cast<QComboBox*>(objeto));
        if (i >= 0) return teclaDeCaja(i, e);
        return false;
    }
    if (tipo == QEvent::FocusIn || tipo == QEvent::FocusOut) {
        const int i = CmbSearch.indexOf(qobject_cast<QComboBox*>(objeto));
        if (i >= 0) {
            QComboBox* c = CmbSearch.at(i);
            QPalette p = c->palette();
            p.setColor(QPalette::Base, tipo == QEvent::FocusIn ? QColor(0, 255, 255) : QColor(Qt::white));
            c->setPalette(p);
            if (tipo == QEvent::FocusIn) {
                cajaActual_ = i;
                lblFieldName->setText(columnasCajas_.value(i));
            }
        }
    }
    return QDialog::eventFilter(objeto, evento);
}
