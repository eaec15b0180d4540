#include "modelo_arbol.h"

#include <utility>

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

namespace {

// Every prefix of a code hashed in one pass: h[n] is the hash of the first n characters.
void HashesDePrefijos(QStringView clave, std::vector<quint64>& h)
{
    h.resize(static_cast<size_t>(clave.size()) + 1);
    quint64 v = 1469598103934665603ULL;
    h[0] = v;
    for (qsizetype i = 0; i < clave.size(); ++i) {
        v = (v ^ clave[i].unicode()) * 1099511628211ULL;
        h[static_cast<size_t>(i) + 1] = v;
    }
}

// Open addressing over the codes' hashes: the first row of each code.
class PrimeraFila {
public:
    explicit PrimeraFila(size_t n)
    {
        size_t c = 16;
        while (c < 2 * n + 2) c <<= 1;
        celdas_.assign(c, {0, -1});
        mascara_ = c - 1;
    }
    /// The row whose whole code is `clave` (hash `h`); -1 when none.
    int busca(quint64 h, QStringView clave, const std::vector<QString>& claves) const
    {
        for (size_t i = h & mascara_;; i = (i + 1) & mascara_) {
            const auto& [hash, fila] = celdas_[i];
            if (fila < 0) return -1;
            if (hash == h && claves[static_cast<size_t>(fila)] == clave) return fila;
        }
    }
    void agrega(quint64 h, int fila, const std::vector<QString>& claves)
    {
        for (size_t i = h & mascara_;; i = (i + 1) & mascara_) {
            auto& [hash, f] = celdas_[i];
            if (f < 0) {
                hash = h;
                f = fila;
                return;
            }
            if (hash == h && claves[static_cast<size_t>(f)] == claves[static_cast<size_t>(fila)]) return;  // the first one stays
        }
    }

private:
    std::vector<std::pair<quint64, int>> celdas_;
    size_t mascara_ = 0;
};

}  // namespace

std::vector<int> ModeloArbol::PadresPorPrefijo(const std::vector<Fila>& filas)
{
    // A parent costs as many look-ups as the code has characters, whatever
    // the number of rows: each prefix is looked up by its hash, computed
    // for all of them in one pass over the code.
    std::vector<QString> claves;
    claves.reserve(filas.size());
    for (const Fila& f : filas) claves.push_back(ClaveDe(f.codigo));
    PrimeraFila primera(filas.size());
    std::vector<int> padres(filas.size(), -1);
    std::vector<quint64> h;
    for (size_t i = 0; i < claves.size(); ++i) {
        const QStringView clave(claves[i]);
        HashesDePrefijos(clave, h);
        for (qsizetype largo = clave.size() - 1; largo > 0; --largo) {
            const int p = primera.busca(h[static_cast<size_t>(largo)], clave.left(largo), claves);
            if (p >= 0) {
                padres[i] = p;
                break;
            }
        }
        primera.agrega(h[static_cast<size_t>(clave.size())], static_cast<int>(i), claves);
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
