#pragma once
// The nodes of a code tree as a Qt model: one root, "Consulta...", with key
// "A", and under it every row of a statement, kept in the order they were
// added (the order the incremental search and the accept walk follow).
#include <QAbstractItemModel>
#include <QString>
#include <vector>

class ModeloArbol : public QAbstractItemModel {
    Q_OBJECT
public:
    explicit ModeloArbol(QObject* parent = nullptr);

    struct Nodo {
        QString codigo;  ///< the node's key without its leading "A"
        QString texto;
        int padre = -1;  ///< node number; -1 for the root
        int fila = 0;    ///< position among its siblings
        std::vector<int> hijos;
        bool marcado = false;
    };
    /// One row of a statement: its code and description, and (family trees)
    /// the code of its parent.
    struct Fila {
        QString codigo, descripcion;
    };

    /// How deep a tick reaches below the node ticked.
    static constexpr int kNivelesMarca = 6;

    /// Only the root.
    void Limpia();
    /// The generic tree: each row hangs under the longest code already in the
    /// tree that begins its own code (letter case ignored), or the root.
    void CargaPorPrefijo(const std::vector<Fila>& filas);
    /// Hands the tree a finished set of nodes (node 0 the root).
    void Carga(std::vector<Nodo>&& nodos);

    /// The node number of a code (letter case and blanks around it ignored); -1 if none.
    int Busca(const QString& codigo) const;

    int Nodos() const { return static_cast<int>(nodos_.size()); }
    const Nodo& NodoN(int n) const { return nodos_[static_cast<size_t>(n)]; }
    QModelIndex Indice(int nodo) const;
    int NodoDe(const QModelIndex& i) const;
    /// Depth below the root (the root is 0).
    int Nivel(int nodo) const;

    void FijaCasillas(bool si);
    bool Casillas() const { return casillas_; }
    /// Ticks or unticks a node and its descendants down to kNivelesMarca levels below it.
    void Marca(int nodo, bool si);

    static QString ClaveDe(const QString& codigo) { return codigo.trimmed().toCaseFolded(); }
    /// The parent of each row by longest code prefix among the rows before it
    /// (-1 for the root), in time that does not grow with the number of rows.
    static std::vector<int> PadresPorPrefijo(const std::vector<Fila>& filas);

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    std::vector<Nodo> nodos_;
    bool casillas_ = false;
};
