// Articles in the list lookup window: the stock level colours of the rows,
// and F12, which reports the selected article as out of stock.
#include "lib_frmcons3.h"

#include "modelo_consulta.h"

#include "data/db_dll.h"
#include "runtime/operador.h"
#include "runtime/rttexto.h"
#include "runtime/texto.h"

#include <QDateTime>

#include <array>

namespace {

// Colours come from configuration as the suite stored them: blue, green and
// red in one number, red in the lowest byte.
QColor ColorBgr(const adodb::Variant& v)
{
    const long long n = static_cast<long long>(rt::Val(v.toString()));
    return QColor(static_cast<int>(n & 0xFF), static_cast<int>((n >> 8) & 0xFF), static_cast<int>((n >> 16) & 0xFF));
}

}  // namespace

bool Lib_FrmCons3::preparaColoresStock(bool hayColumnas)
{
    const bool colorea = articulos_ && rt::Iguales(MuestraStock.trimmed(), QStringLiteral("SI")) && hayColumnas;
    if (colorea) {
        const adodb::Variant* niveles[] = {&StkNivel1, &StkNivel2, &StkNivel3, &StkNivel4};
        std::array<QColor, 4> colores;
        for (size_t i = 0; i < colores.size(); ++i)
            if (!niveles[i]->toString().trimmed().isEmpty()) colores[i] = ColorBgr(*niveles[i]);
        modelo_->FijaColoresStock(colores);
    }
    return colorea;
}

void Lib_FrmCons3::InformaFaltante()
{
    if (!articulos_) return;
    const int fila = FilaSeleccionada();
    if (fila < 0) return;
    const QString id = ValorColumna(fila, QStringLiteral("idarticulo"));
    const QString descripcion = ValorColumna(fila, QStringLiteral("Descripcion"));
    const int r = rt::operador().MsgBox(QStringLiteral("Desea informar el articulo ") + id + u' ' + descripcion + u'\n' +
                                            QStringLiteral("como un faltante de stock?"),
                                        rt::vbYesNo + rt::vbQuestion + rt::vbDefaultButton2, QStringLiteral("Atención!"));
    if (r != rt::vbYes) return;
    const QString ahora = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
    DB().EjecutaConsultaSQL(QStringLiteral("INSERT INTO V_MV_FALTANTES (FechaHora,IdArticulo,Descripcion,Usuario) values('") +
                            ahora + QStringLiteral("','") + rt::Comillas(RtTexto::AnchoFijo(id, 25)) + QStringLiteral("','") +
                            rt::Comillas(descripcion) + QStringLiteral("','") + rt::Comillas(DB().gUsuario) +
                            QStringLiteral("')"));
}
