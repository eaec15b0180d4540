#pragma once
// The rows of a lookup statement as a read-only table: the texts are taken
// once, when the list is filled, and the list's order is a permutation of
// them, so sorting and searching never touch the database again.
#include <QAbstractTableModel>
#include <QColor>
#include <QFont>
#include <QStringList>
#include <vector>

class ModeloConsulta : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ModeloConsulta(QObject* parent = nullptr);

    /// Everything the list shows of one row.
    struct Fila {
        bool marcada = false;
        QColor color;  ///< invalid: the list's own colour
    };

    /// Replaces every row. `celdas` holds the texts row after row.
    void Carga(const QStringList& encabezados, std::vector<QString>&& celdas, std::vector<Fila>&& filas);
    /// Appends rows to the columns in place; the header keeps its widths.
    void AgregaFilas(std::vector<QString>&& celdas, std::vector<Fila>&& filas);
    void Limpia();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    void FijaCasillas(bool si);
    bool Casillas() const { return casillas_; }
    void FijaFuente(const QFont& f) { fuente_ = f; fuenteColor_ = f; fuenteColor_.setBold(true); }
    const QFont& Fuente() const { return fuente_; }

    /// Texts by position in the list (0-based), as the list shows them.
    const QString& Texto(int fila, int columna) const { return celdas_[static_cast<size_t>(orden_[static_cast<size_t>(fila)]) * columnas_ + static_cast<size_t>(columna)]; }
    void FijaTexto(int fila, int columna, const QString& texto);
    bool Marcada(int fila) const { return filas_[static_cast<size_t>(orden_[static_cast<size_t>(fila)])].marcada; }
    void Marca(int fila, bool si);
    void InvierteMarcas();
    QColor Color(int fila) const { return filas_[static_cast<size_t>(orden_[static_cast<size_t>(fila)])].color; }
    const QStringList& Encabezados() const { return encabezados_; }

private:
    QStringList encabezados_;
    std::vector<QString> celdas_;
    std::vector<Fila> filas_;
    std::vector<int> orden_;  // list position -> row as read
    size_t columnas_ = 0;
    bool casillas_ = false;
    QFont fuente_, fuenteColor_;
};
