#include "modelo_arbol.h"

#include <QHash>

ModeloArbol::ModeloArbol(QObject* parent) : QAbstractItemModel(parent)
{
    Limpia();
}

namespace {

ModeloArbol::Nodo Raiz()
{
    ModeloArbol::Nodo r;
    r.texto = QStringLiteral("Consulta...");
    return r;
}

}  // namespace

void ModeloArbol::Limpia()
{
    std::vector<Nodo> solo;
    solo.push_back(Raiz());
    Carga(std::move(solo));
}

void ModeloArbol::Carga(std::vector<Nodo>&& nodos)
{
    beginResetModel();
    nodos_ = std::move(nodos);
    if (nodos_.empty()) nodos_.push_back(Raiz());
    endResetModel();
}

std::vector<int> ModeloArbol::PadresPorPrefijo(const std::vector<Fila>& filas)
{
    // The first row of each code: a prefix is looked up by its text, so a
    // parent costs as many look-ups as the code has characters.
    QHash<QString, int> primera;
    primera.reserve(static_cast<qsizetype>(filas.size()));
    std::vector<int> padres(filas.size(), -1);
    for (size_t i = 0; i < filas.size(); ++i) {
        const QString clave = ClaveDe(filas[i].codigo);
        for (qsizetype largo = clave.size() - 1; largo > 0; --largo) {
            const auto p = primera.constFind(clave.left(largo));
            if (p != primera.constEnd()) {
                padres[i] = p.value();
                break;
            }
        }
        if (!primera.contains(clave)) primera.insert(clave, static_cast<int>(i));  // a later duplicate never replaces the first
    }
    return padres;
}

void ModeloArbol::CargaPorPrefijo(const std::vector<Fila>& filas)
{
    const std::vector<int> padres = PadresPorPrefijo(filas);
    std::vector<Nodo> nodos;
    nodos.reserve(filas.size() + 1);
    nodos.push_back(Raiz());
    for (size_t i = 0; i < filas.size(); ++i) {
        Nodo n;
        n.codigo = filas[i].codigo.trimmed();
        n.texto = n.codigo + QStringLiteral(" - ") + filas[i].descripcion;
        n.padre = padres[i] + 1;  // row i is node i + 1
        Nodo& p = nodos[static_cast<size_t>(n.padre)];
        n.fila = static_cast<int>(p.hijos.size());
        p.hijos.push_back(static_cast<int>(i) + 1);
        nodos.push_back(std::move(n));
    }
    Carga(std::move(nodos));
}

int ModeloArbol::Busca(const QString& codigo) const
{
    const QString clave = ClaveDe(codigo);
    for (size_t i = 1; i < nodos_.size(); ++i)
        if (ClaveDe(nodos_[i].codigo) == clave) return static_cast<int>(i);
    return clave.isEmpty() ? 0 : -1;
}

QModelIndex ModeloArbol::Indice(int nodo) const
{
    if (nodo < 0 || nodo >= Nodos()) return {};
    return createIndex(nodos_[static_cast<size_t>(nodo)].fila, 0, static_cast<quintptr>(nodo));
}

int ModeloArbol::NodoDe(const QModelIndex& i) const
{
    return i.isValid() ? static_cast<int>(i.internalId()) : -1;
}

int ModeloArbol::Nivel(int nodo) const
{
    int nivel = 0;
    for (int n = nodo; n > 0; n = nodos_[static_cast<size_t>(n)].padre) ++nivel;
    return nivel;
}

void ModeloArbol::FijaCasillas(bool si)
{
    if (si == casillas_) return;
    beginResetModel();
    casillas_ = si;
    endResetModel();
}

void ModeloArbol::Marca(int nodo, bool si)
{
    if (nodo < 0 || nodo >= Nodos()) return;
    nodos_[static_cast<size_t>(nodo)].marcado = si;
    const QModelIndex i = Indice(nodo);
    emit dataChanged(i, i, {Qt::CheckStateRole});
    // Level by level, each level's children copying the state.
    std::vector<int> nivel{nodo};
    for (int profundidad = 0; profundidad < kNivelesMarca && !nivel.empty(); ++profundidad) {
        std::vector<int> siguiente;
        for (int n : nivel) {
            const std::vector<int>& hijos = nodos_[static_cast<size_t>(n)].hijos;
            if (hijos.empty()) continue;
            for (int h : hijos) nodos_[static_cast<size_t>(h)].marcado = si;
            emit dataChanged(Indice(hijos.front()), Indice(hijos.back()), {Qt::CheckStateRole});
            siguiente.insert(siguiente.end(), hijos.begin(), hijos.end());
        }
        nivel.swap(siguiente);
    }
}

QModelIndex ModeloArbol::index(int row, int column, const QModelIndex& parent) const
{
    if (column != 0 || row < 0) return {};
    if (!parent.isValid()) return row == 0 ? createIndex(0, 0, quintptr(0)) : QModelIndex();
    const Nodo& p = nodos_[static_cast<size_t>(parent.internalId())];
    if (static_cast<size_t>(row) >= p.hijos.size()) return {};
    return createIndex(row, 0, static_cast<quintptr>(p.hijos[static_cast<size_t>(row)]));
}

QModelIndex ModeloArbol::parent(const QModelIndex& child) const
{
    if (!child.isValid()) return {};
    return Indice(nodos_[static_cast<size_t>(child.internalId())].padre);
}

int ModeloArbol::rowCount(const QModelIndex& parent) const
{
    if (!parent.isValid()) return 1;
    if (parent.column() != 0) return 0;
    return static_cast<int>(nodos_[static_cast<size_t>(parent.internalId())].hijos.size());
}

int ModeloArbol::columnCount(const QModelIndex&) const
{
    return 1;
}

QVariant ModeloArbol::data(const QModelIndex& index, int role) const
{
    if (!index.isValid()) return {};
    const Nodo& n = nodos_[static_cast<size_t>(index.internalId())];
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) return n.texto;
    if (role == Qt::CheckStateRole && casillas_) return n.marcado ? Qt::Checked : Qt::Unchecked;
    return {};
}

bool ModeloArbol::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::CheckStateRole || !casillas_ || !index.isValid()) return false;
    Marca(static_cast<int>(index.internalId()), value.toInt() == Qt::Checked);
    return true;
}

Qt::ItemFlags ModeloArbol::flags(const QModelIndex& index) const
{
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (casillas_) f |= Qt::ItemIsUserCheckable;
    return f;
}
