#pragma once
// The data-sheet component: the rows of a statement in a grid the operator can
// sort and copy, exported to XLSX or CSV, or opened in the desktop's spreadsheet.
#include "adodb/recordset.h"
#include "data/db_dll.h"

#include <QAbstractTableModel>
#include <QPointer>
#include <QSortFilterProxyModel>
#include <QString>
#include <QWidget>
#include <memory>
#include <vector>

class QLabel;
class QTableView;

namespace reportes {

/// A data sheet's content: its title and the statement's rows.
struct ContenidoPlanilla {
    QString titulo;
    adodb::Recordset filas;
    /// Set when the rows came from another database than the session's.
    std::unique_ptr<DB_Dll> conexion;

    long cantidad() const { return filas.State() == adodb::adStateOpen ? filas.RecordCount() : 0; }
    int columnas() const { return static_cast<int>(filas.columns().size()); }
    QString nombreColumna(int c) const { return filas.columns().at(static_cast<size_t>(c)).name; }
    const adodb::Variant& celda(long f, int c) const { return filas.cell(static_cast<size_t>(f), static_cast<size_t>(c)); }
    /// Width in characters that fits the column's caption and its longest value (capped).
    std::vector<int> anchos() const;
};

/// The rows in the order to write them, by their number in the content;
/// nullptr means the statement's order.
using OrdenFilas = std::vector<long>;

/// Writes the sheet as an Excel workbook: numbers as numbers, texts as texts,
/// the caption row frozen, columns as wide as their content. `error` gets the reason.
bool EscribeXlsx(const ContenidoPlanilla& c, const QString& ruta, QString* error = nullptr,
                 const OrdenFilas* orden = nullptr);
/// Writes the sheet as UTF-8 text separated by ";" (with a byte-order mark, so spreadsheets read the accents).
bool EscribeCsv(const ContenidoPlanilla& c, const QString& ruta, QString* error = nullptr, const OrdenFilas* orden = nullptr);
/// XLSX or CSV by the file's extension (XLSX when it has none of these).
bool EscribePlanilla(const ContenidoPlanilla& c, const QString& ruta, QString* error = nullptr,
                     const OrdenFilas* orden = nullptr);

class ModeloPlanilla : public QAbstractTableModel {
public:
    /// Raw values for sorting: numbers compare as numbers.
    static constexpr int kRolValor = Qt::UserRole;
    ModeloPlanilla(std::shared_ptr<ContenidoPlanilla> c, QObject* parent = nullptr);
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& i, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation o, int role = Qt::DisplayRole) const override;

private:
    std::shared_ptr<ContenidoPlanilla> c_;
};

/// The order a caption click sorts by, as a person reads the sheet: numbers
/// by value (also when stored as text, padded or not), dates by date, texts
/// in Spanish dictionary order without regard to letter case or surrounding
/// blanks ("ávila", "linea", "Ñandú", "Zeta"), and equal texts in the
/// statement's order. Empty cells come first.
class OrdenPlanilla : public QSortFilterProxyModel {
public:
    explicit OrdenPlanilla(QObject* parent = nullptr);
    ~OrdenPlanilla() override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

protected:
    bool lessThan(const QModelIndex& izquierda, const QModelIndex& derecha) const override;

private:
    struct Clave;
    /// One key per row of the column being sorted, worked out once per sort.
    std::vector<Clave> claves_;
    int columnaClaves_ = -1;
};

class VentanaPlanilla : public QWidget {
public:
    explicit VentanaPlanilla(std::shared_ptr<ContenidoPlanilla> c, QWidget* parent = nullptr);
    QTableView* tabla() const { return tabla_; }
    const ContenidoPlanilla& contenido() const { return *c_; }
    /// Asks for a file (XLSX or CSV) and writes it.
    void Exporta();
    /// Writes a temporary XLSX and opens it with the desktop's spreadsheet.
    void AbreEnHojaDeCalculo();
    /// The selected cells as tab-separated lines, as the clipboard gets them.
    QString TextoSeleccion() const;
    /// The rows in the order the grid shows them.
    OrdenFilas OrdenEnPantalla() const;

protected:
    void keyPressEvent(QKeyEvent* e) override;
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    std::shared_ptr<ContenidoPlanilla> c_;
    QTableView* tabla_ = nullptr;
};

}  // namespace reportes

/// The data-sheet component as the windows call it.
class RtPlanilla {
public:
    /// When not empty, Planilla writes the sheet to this file (XLSX, or CSV by
    /// its extension) and shows nothing.
    QString ArchivoSalida;

    /// Runs the statement and shows its rows in a window titled `Titulo` (or
    /// writes ArchivoSalida). An empty connection string, or the session's own,
    /// runs on the session's engine. False when nothing could be shown; the
    /// operator has been told why.
    bool Planilla(const QString& Sentencia, const QString& Conexion, const QString& Titulo);

    /// The content alone; throws adodb::AdoException or reportes::ErrorReporte.
    std::shared_ptr<reportes::ContenidoPlanilla> ArmaPlanilla(const QString& Sentencia, const QString& Conexion,
                                                              const QString& Titulo);

    std::shared_ptr<reportes::ContenidoPlanilla> ultimo;
    QPointer<reportes::VentanaPlanilla> ventana;
};
