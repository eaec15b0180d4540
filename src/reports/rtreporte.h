#pragma once
// The report component: a report definition file read from the reports folder,
// its rows fetched on the session's engine, laid out in pages, previewed,
// printed or written to PDF.
#include "adodb/recordset.h"
#include "adodb/variant.h"
#include "reports/expresion.h"

#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

class QPainter;
class QWidget;

namespace reportes {

struct ColumnaReporte {
    QString campo;   ///< {TABLA.CAMPO} or CAMPO
    QString titulo;  ///< caption over the column
    int ancho = 10;  ///< relative width, in characters
};

/// A report definition: "clave = valor" lines, "#" starts a comment.
///   titulo = Títulos Copiadores
///   origen = TA_TITCOPIADORES
///   orden = +{TA_TITCOPIADORES.CODIGO}
///   columna = {TA_TITCOPIADORES.CODIGO} | Código | 8
struct DefinicionReporte {
    QString titulo;
    QString origen;
    QStringList orden;
    /// "orden = +{T.CODIGO} | numero": codes that are numbers sort as numbers,
    /// whatever their padding, before the others (which keep the engine's order).
    bool ordenNumerico = false;
    std::vector<ColumnaReporte> columnas;
};

/// Reads a definition file; throws ErrorReporte.
DefinicionReporte LeeDefinicion(const QString& ruta);
/// The definition file of `nombre` in `carpeta` (name compared without regard to
/// case, extension ".rep"); "" when there is none.
QString ArchivoDefinicion(const QString& carpeta, const QString& nombre);
/// The value of `nombre` in a formula value such as "empresa = 'X S.A.'"; "" when absent.
QString ValorDeFormula(const QString& valorFormula, const QString& nombre);
/// The statement the report runs. `orden` overrides the definition's sort when
/// it has any non-empty entry. Throws ErrorFormula for a bad selection.
QString SentenciaReporte(const DefinicionReporte& def, const QStringList& orden, const QString& formula,
                         bool rangosNativos = false);

/// A report's content, apart from any painting: header texts, columns, rows and
/// their split into pages.
class Informe {
public:
    /// Rows per page; the closing count takes one row's place.
    static constexpr int kFilasPorPagina = 56;

    QString empresa, titulo, fecha;
    std::vector<ColumnaReporte> columnas;
    adodb::Recordset filas;

    long cantidad() const;
    int paginas() const;
    /// First row and one past the last row of a page (0-based).
    std::pair<long, long> filasDePagina(int pagina) const;
    QString celda(long fila, int columna) const;
    /// Puts the rows in numeric order of a column's codes (see DefinicionReporte::ordenNumerico).
    void OrdenaComoNumeros(int columna, bool descendente);
    bool numerica(int columna) const;
    /// "Página n de m" (n 1-based).
    QString textoPagina(int pagina) const;
    QString textoCantidad() const;

private:
    std::vector<long> orden_;  // row shown n is row orden_[n] of filas; empty: as read
};

/// Paints one page in points, the page's top-left corner at the origin (A4 portrait).
void PintaPagina(QPainter& p, const Informe& informe, int pagina);
/// Writes the report to a PDF. `progreso(hechas, total)` may answer false to
/// cancel; a cancelled or failed write leaves no file. True when written.
bool EscribePdf(const Informe& informe, const QString& ruta, const std::function<bool(int, int)>& progreso = {});
/// The connection is to the embedded engine, with its own range search.
bool EsEmbebida(const adodb::Connection& cn);
/// One line in the library's error log; the session's VLERR.LOG while none was set.
void AnotaFalla(const QString& rutina, const QString& mensaje);

}  // namespace reportes

/// The report component as the windows call it.
class RtReporte {
public:
    /// The folder where report definitions are looked for (the program folder).
    static void CarpetaReportes(const QString& carpeta);
    static QString CarpetaReportesActual();

    /// When not empty, ImprimeReporte writes the report to this PDF file and
    /// shows nothing (scheduled runs, tests).
    QString ArchivoSalida;

    /// Reads the definition, runs the selection on the session's engine and
    /// shows the preview (or writes ArchivoSalida). False when the report could
    /// not be produced; the operator has been told why.
    bool ImprimeReporte(const QString& Reporte, const QStringList& CamposOrden, const QString& Formula, const QString& Conexion,
                        QString& ValorFormula, const adodb::Variant& = {}, const adodb::Variant& = {}, const adodb::Variant& = {},
                        const adodb::Variant& = {}, const QString& = {}, const QString& = {}, const QString& = {});
    /// The call that follows each report; 20 releases what the last report held
    /// (an open preview keeps its own copy).
    void FinReporte(int Valor);

    /// The content alone; throws reportes::ErrorReporte, reportes::ErrorFormula, adodb::AdoException.
    std::shared_ptr<reportes::Informe> ArmaInforme(const QString& Reporte, const QStringList& CamposOrden, const QString& Formula,
                                                   const QString& ValorFormula);

    /// The last content built and the preview window showing it (tests).
    std::shared_ptr<reportes::Informe> ultimo;
    QPointer<QWidget> vista;
};
