// Quantity mode of the list lookup window: Insert, Delete and Shift+Insert
// change the quantity of the selected row and tick or untick it.
#include "lib_frmcons3.h"

#include "modelo_consulta.h"

#include "runtime/operador.h"
#include "runtime/rttexto.h"

#include <QKeyEvent>
#include <QRegularExpression>

namespace {

bool EsNumero(const QString& t)
{
    static const QRegularExpression re(QStringLiteral("^\\s*[-+]?(\\d+([.,]\\d*)?|[.,]\\d+)\\s*$"));
    return re.match(t).hasMatch();
}

}  // namespace

void Lib_FrmCons3::cambiaCantidad(int fila, int columna, int tecla)
{
    const QString actual = modelo_->Texto(fila, columna);
    if (tecla == 0) {
        bool cancelado = false;
        const QString dato = rt::operador().InputBox(QStringLiteral("Ingrese la Cantidad del Articulo..."),
                                                     QStringLiteral("Carga de Datos"), actual.trimmed(), &cancelado);
        if (cancelado) return;
        if (!dato.trimmed().isEmpty() && !EsNumero(dato)) {
            rt::operador().MsgBox(QStringLiteral("La cantidad debe ser un número: ") + dato, rt::vbExclamation,
                                  QStringLiteral("Carga de Datos"));
            return;
        }
        const double cantidad = RtTexto::TextoANumero(dato);
        if (cantidad > 0) {
            modelo_->FijaTexto(fila, columna, QString::number(cantidad, 'f', 2));
            modelo_->Marca(fila, true);
        } else {
            modelo_->FijaTexto(fila, columna, QStringLiteral("0.00"));
            modelo_->Marca(fila, false);
        }
        return;
    }
    const double valor = RtTexto::TextoANumero(actual);
    if (tecla == Qt::Key_Insert) {
        modelo_->FijaTexto(fila, columna, QString::number(valor + 1, 'f', 1));
        modelo_->Marca(fila, true);
        return;
    }
    const double resta = valor - 1;
    if (resta > 0) {
        modelo_->FijaTexto(fila, columna, QString::number(resta, 'f', 1));
    } else {
        modelo_->FijaTexto(fila, columna, QStringLiteral("0.00"));
        modelo_->Marca(fila, false);
    }
}
