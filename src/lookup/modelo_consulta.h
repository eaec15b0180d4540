#pragma once
// The rows of a lookup statement as a read-only table: the texts are taken
// once, when the list is filled, and the list's order is a permutation of
// them, so sorting and searching never touch the database again.
#include <QAbstractTableModel>
#include <QColor>
#include <QFont>
#include <QStringList>
#include <array>
#include <vector>

class ModeloConsulta : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ModeloConsulta(QObject* parent = nullptr);

    /// Everything the list shows of one row.
    struct Fila {
        bool marcada = false;
        signed char nivel = -1;  ///< stock level 0-3; -1: the list's own colour
    };

    /// The stock level of an article from its reorder point and its stock:
    /// 0 no reorder point and stock left, 1 above the point, 2 below it, 3 anything else.
    static signed char NivelStock(double puntoPedido, double stock);
    /// The text colours of the four stock levels; an invalid one leaves its rows alone.
    void FijaColoresStock(const std::array<QColor, 4>& colores) { colores_ = colores; }

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
    /// Texts in Spanish order, letter case ignored; the columns marked numeric
    /// by value, whatever their padding. Rows that compare equal keep their order.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;
    /// What tells a column of numbers from one of codes that only look like
    /// numbers: the columns' types, and whether the first column (listed
    /// trimmed) was stored padded. The other columns show their padding.
    void FijaPistasNumericas(std::vector<bool> tipos, bool primeraRellena)
    {
        tipos_ = std::move(tipos);
        primeraRellena_ = primeraRellena;
        porValor_.clear();
    }
    /// Whether the column sorts by value: every non-blank cell a number, and
    /// the column of a numeric type or stored right-aligned (one padded value
    /// shows it; the suite pads such codes, and never account codes).
    bool Numerica(int columna) const;
    /// Whether `texto` (trimmed) is a number: digits, a sign, one "." or ",".
    static bool EsNumero(const QString& texto, double* valor = nullptr);

    void FijaCasillas(bool si);
    bool Casillas() const { return casillas_; }
    void FijaFuente(const QFont& f)
    {
        fuente_ = f;
        fuenteColor_ = f;
        fuenteColor_.setBold(true);
    }
    const QFont& Fuente() const { return fuente_; }

    /// Texts by position in the list (0-based), as the list shows them.
    const QString& Texto(int fila, int columna) const
    {
        return celdas_[static_cast<size_t>(orden_[static_cast<size_t>(fila)]) * columnas_ + static_cast<size_t>(columna)];
    }
    void FijaTexto(int fila, int columna, const QString& texto);
    bool Marcada(int fila) const { return filas_[static_cast<size_t>(orden_[static_cast<size_t>(fila)])].marcada; }
    void Marca(int fila, bool si);
    void InvierteMarcas();
    QColor Color(int fila) const { return colorDe(filas_[static_cast<size_t>(orden_[static_cast<size_t>(fila)])]); }
    const QStringList& Encabezados() const { return encabezados_; }

private:
    QColor colorDe(const Fila& f) const { return f.nivel >= 0 ? colores_[static_cast<size_t>(f.nivel)] : QColor(); }

    std::array<QColor, 4> colores_;
    QStringList encabezados_;
    std::vector<QString> celdas_;
    std::vector<Fila> filas_;
    std::vector<int> orden_;  // list position -> row as read
    std::vector<bool> tipos_;
    bool primeraRellena_ = false;
    mutable std::vector<signed char> porValor_;  // per column: -1 unknown, 0 no, 1 yes
    size_t columnas_ = 0;
    bool casillas_ = false;
    QFont fuente_, fuenteColor_;
};
