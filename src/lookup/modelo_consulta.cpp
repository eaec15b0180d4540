#include "modelo_consulta.h"

#include <QCollator>
#include <QLocale>

#include <algorithm>
#include <numeric>

ModeloConsulta::ModeloConsulta(QObject* parent) : QAbstractTableModel(parent)
{}

void ModeloConsulta::Carga(const QStringList& encabezados, std::vector<QString>&& celdas, std::vector<Fila>&& filas)
{
    beginResetModel();
    porValor_.clear();
    encabezados_ = encabezados;
    columnas_ = static_cast<size_t>(encabezados.size());
    celdas_ = std::move(celdas);
    filas_ = std::move(filas);
    orden_.resize(filas_.size());
    std::iota(orden_.begin(), orden_.end(), 0);
    endResetModel();
}

void ModeloConsulta::AgregaFilas(std::vector<QString>&& celdas, std::vector<Fila>&& filas)
{
    if (filas.empty() || columnas_ == 0 || celdas.size() != filas.size() * columnas_) return;
    const int desde = static_cast<int>(orden_.size());
    porValor_.clear();
    beginInsertRows({}, desde, desde + static_cast<int>(filas.size()) - 1);
    if (celdas_.empty())
        celdas_ = std::move(celdas);
    else
        celdas_.insert(celdas_.end(), std::make_move_iterator(celdas.begin()), std::make_move_iterator(celdas.end()));
    const size_t antes = filas_.size();
    filas_.insert(filas_.end(), filas.begin(), filas.end());
    orden_.resize(filas_.size());
    std::iota(orden_.begin() + static_cast<std::ptrdiff_t>(antes), orden_.end(), static_cast<int>(antes));
    endInsertRows();
}

void ModeloConsulta::Limpia()
{
    Carga({}, {}, {});
    tipos_.clear();
    primeraRellena_ = false;
    porValor_.clear();
}

int ModeloConsulta::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(orden_.size());
}

int ModeloConsulta::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(columnas_);
}

QVariant ModeloConsulta::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) return {};
    const Fila& f = filas_[static_cast<size_t>(orden_[static_cast<size_t>(index.row())])];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole: return Texto(index.row(), index.column());
    case Qt::CheckStateRole:
        if (casillas_ && index.column() == 0) return f.marcada ? Qt::Checked : Qt::Unchecked;
        return {};
    case Qt::ForegroundRole: {
        const QColor c = colorDe(f);
        if (c.isValid()) return c;
        return {};
    }
    case Qt::FontRole: return colorDe(f).isValid() ? fuenteColor_ : fuente_;
    default: return {};
    }
}

bool ModeloConsulta::setData(const QModelIndex& index, const QVariant& value, int role)
{
    // Ticking is the one change the operator makes on the list; texts are never edited in place.
    if (role != Qt::CheckStateRole || !casillas_ || index.column() != 0) return false;
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) return false;
    Marca(index.row(), value.toInt() == Qt::Checked);
    return true;
}

QVariant ModeloConsulta::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= encabezados_.size()) return {};
    if (role == Qt::DisplayRole) return encabezados_.at(section);
    return {};
}

bool ModeloConsulta::setHeaderData(int section, Qt::Orientation orientation, const QVariant& value, int role)
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= encabezados_.size()) return false;
    encabezados_[section] = value.toString();
    emit headerDataChanged(orientation, section, section);
    return true;
}

Qt::ItemFlags ModeloConsulta::flags(const QModelIndex& index) const
{
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (casillas_ && index.column() == 0) f |= Qt::ItemIsUserCheckable;
    return f;
}

void ModeloConsulta::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || static_cast<size_t>(column) >= columnas_) return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList antes = persistentIndexList();
    std::vector<int> filaDe(antes.size());
    for (qsizetype i = 0; i < antes.size(); ++i) filaDe[static_cast<size_t>(i)] = orden_[static_cast<size_t>(antes[i].row())];

    const size_t c = static_cast<size_t>(column);
    // Texts in Spanish order, letter case and accents ignored first ("ángulo"
    // before "Zapatería", "ñandú" after "nube"). A column of padded numbers
    // sorts by value, so a code another program stored unpadded ("2") still
    // comes before "  10". Equal rows keep their order. One sort key a row, so
    // the comparisons never go back to the collator.
    const bool numerica = Numerica(column);
    QCollator orden{QLocale(QLocale::Spanish, QLocale::Spain)};
    orden.setCaseSensitivity(Qt::CaseInsensitive);
    orden.setNumericMode(false);
    std::vector<QCollatorSortKey> claves;
    std::vector<double> numeros(numerica ? filas_.size() : 0);
    std::vector<char> esNumero(numeros.size());
    claves.reserve(filas_.size());
    for (size_t f = 0; f < filas_.size(); ++f) {
        const QString& texto = celdas_[f * columnas_ + c];
        if (numerica) esNumero[f] = EsNumero(texto.trimmed(), &numeros[f]);
        claves.push_back(orden.sortKey(numerica && esNumero[f] ? QString() : texto));
    }
    auto menor = [&](int a, int b) {
        const size_t x = static_cast<size_t>(a), y = static_cast<size_t>(b);
        if (numerica) {
            // Blank cells first, as a blank text sorts first.
            if (esNumero[x] != esNumero[y]) return esNumero[y] != 0;
            if (esNumero[x]) return numeros[x] < numeros[y];
        }
        return claves[x].compare(claves[y]) < 0;
    };
    if (order == Qt::AscendingOrder)
        std::stable_sort(orden_.begin(), orden_.end(), menor);
    else
        std::stable_sort(orden_.begin(), orden_.end(), [&](int a, int b) { return menor(b, a); });

    std::vector<int> posicion(orden_.size());
    for (size_t i = 0; i < orden_.size(); ++i) posicion[static_cast<size_t>(orden_[i])] = static_cast<int>(i);
    QModelIndexList despues;
    despues.reserve(antes.size());
    for (qsizetype i = 0; i < antes.size(); ++i)
        despues.append(index(posicion[static_cast<size_t>(filaDe[static_cast<size_t>(i)])], antes[i].column()));
    changePersistentIndexList(antes, despues);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

bool ModeloConsulta::EsNumero(const QString& texto, double* valor)
{
    // Codes and amounts as other programs store them: digits, a sign, one
    // decimal point or comma; blanks around were trimmed by the caller.
    if (texto.isEmpty()) return false;
    qsizetype i = texto.front() == u'-' || texto.front() == u'+' ? 1 : 0;
    int digitos = 0, separadores = 0;
    for (; i < texto.size(); ++i) {
        const QChar ch = texto.at(i);
        if (ch >= u'0' && ch <= u'9')
            ++digitos;
        else if ((ch == u'.' || ch == u',') && separadores++ == 0)
            continue;
        else
            return false;
    }
    if (digitos == 0) return false;
    bool ok = false;
    const double v = QString(texto).replace(u',', u'.').toDouble(&ok);
    if (ok && valor) *valor = v;
    return ok;
}

bool ModeloConsulta::Numerica(int columna) const
{
    if (columna < 0 || static_cast<size_t>(columna) >= columnas_) return false;
    const size_t c = static_cast<size_t>(columna);
    if (porValor_.size() != columnas_) porValor_.assign(columnas_, -1);
    if (porValor_[c] >= 0) return porValor_[c] != 0;
    bool pista = c < tipos_.size() && tipos_[c];
    if (!pista && c == 0) pista = primeraRellena_;
    for (size_t f = 0; !pista && f < filas_.size(); ++f) {
        const QString& t = celdas_[f * columnas_ + c];
        pista = !t.isEmpty() && t.at(0) == u' ';
    }
    bool numeros = false;
    for (size_t f = 0; pista && f < filas_.size(); ++f) {
        const QString t = celdas_[f * columnas_ + c].trimmed();
        if (t.isEmpty()) continue;
        if (!EsNumero(t)) pista = false;
        numeros = true;
    }
    porValor_[c] = pista && numeros ? 1 : 0;
    return porValor_[c] != 0;
}

signed char ModeloConsulta::NivelStock(double puntoPedido, double stock)
{
    if (puntoPedido == 0 && stock > 0) return 0;
    if (puntoPedido > 0 && stock > puntoPedido) return 1;
    if (puntoPedido > 0 && stock < puntoPedido) return 2;
    return 3;
}

void ModeloConsulta::FijaCasillas(bool si)
{
    if (si == casillas_) return;
    beginResetModel();
    casillas_ = si;
    endResetModel();
}

void ModeloConsulta::FijaTexto(int fila, int columna, const QString& texto)
{
    porValor_.clear();
    celdas_[static_cast<size_t>(orden_[static_cast<size_t>(fila)]) * columnas_ + static_cast<size_t>(columna)] = texto;
    const QModelIndex i = index(fila, columna);
    emit dataChanged(i, i, {Qt::DisplayRole, Qt::ToolTipRole});
}

void ModeloConsulta::Marca(int fila, bool si)
{
    Fila& f = filas_[static_cast<size_t>(orden_[static_cast<size_t>(fila)])];
    if (f.marcada == si) return;
    f.marcada = si;
    const QModelIndex i = index(fila, 0);
    emit dataChanged(i, i, {Qt::CheckStateRole});
}

void ModeloConsulta::InvierteMarcas()
{
    for (Fila& f : filas_) f.marcada = !f.marcada;
    if (!orden_.empty()) emit dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::CheckStateRole});
}
