#include "reports/rtplanilla.h"

#include "data/db_dll.h"
#include "data/errores.h"
#include "reports/expresion.h"
#include "reports/rtreporte.h"
#include "runtime/boton_enfocado.h"
#include "runtime/operador.h"
#include "runtime/ventanas.h"

#include <QApplication>
#include <QClipboard>
#include <QCollator>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryFile>
#include <QVBoxLayout>
#include <optional>
#include <xlsxwriter.h>

namespace reportes {

namespace {

constexpr int kAnchoMinimo = 4, kAnchoMaximo = 60;

QString sinCortes(QString t)
{
    // The sheet name may not hold these, and is at most 31 characters.
    for (QChar c : QStringLiteral("[]:*?/\\")) t.remove(c);
    t = t.trimmed().left(31).trimmed();
    return t.isEmpty() ? QStringLiteral("Planilla") : t;
}

QString campoCsv(const adodb::Variant& v)
{
    QString t = v.toString();
    if (t.contains(u';') || t.contains(u'"') || t.contains(u'\n') || t.contains(u'\r'))
        t = QLatin1Char('"') + t.replace(QStringLiteral("\""), QStringLiteral("\"\"")) + QLatin1Char('"');
    return t;
}

// The content's row written in place `f` of `n`: an order that does not
// match the rows (another content's) is not trusted.
long filaDe(const OrdenFilas* orden, long f, long n)
{
    if (!orden || static_cast<long>(orden->size()) != n) return f;
    const long r = (*orden)[static_cast<size_t>(f)];
    return r >= 0 && r < n ? r : f;
}

}  // namespace

std::vector<int> ContenidoPlanilla::anchos() const
{
    std::vector<int> r;
    const long n = cantidad();
    for (int c = 0; c < columnas(); ++c) {
        qsizetype ancho = nombreColumna(c).size();
        for (long f = 0; f < n && ancho < kAnchoMaximo; ++f) ancho = std::max(ancho, celda(f, c).toString().size());
        r.push_back(static_cast<int>(std::clamp<qsizetype>(ancho, kAnchoMinimo, kAnchoMaximo)));
    }
    return r;
}

bool EscribeXlsx(const ContenidoPlanilla& c, const QString& ruta, QString* error, const OrdenFilas* orden)
{
    const QByteArray archivo = QFile::encodeName(ruta);
    lxw_workbook* libro = workbook_new(archivo.constData());
    if (!libro) {
        if (error) *error = QStringLiteral("No se puede crear el archivo ") + ruta;
        return false;
    }
    const QByteArray titulo = c.titulo.toUtf8();
    lxw_doc_properties propiedades{};
    propiedades.title = const_cast<char*>(titulo.constData());
    workbook_set_properties(libro, &propiedades);
    lxw_worksheet* hoja = workbook_add_worksheet(libro, sinCortes(c.titulo).toUtf8().constData());
    lxw_format* negrita = workbook_add_format(libro);
    format_set_bold(negrita);
    lxw_format* fecha = workbook_add_format(libro);
    format_set_num_format(fecha, "dd/mm/yyyy hh:mm");

    const std::vector<int> anchos = c.anchos();
    for (int col = 0; col < c.columnas(); ++col) {
        worksheet_set_column(hoja, static_cast<lxw_col_t>(col), static_cast<lxw_col_t>(col), anchos[col] + 2, nullptr);
        worksheet_write_string(hoja, 0, static_cast<lxw_col_t>(col), c.nombreColumna(col).toUtf8().constData(), negrita);
    }
    worksheet_freeze_panes(hoja, 1, 0);
    const long n = c.cantidad();
    for (long f = 0; f < n; ++f) {
        const auto fila = static_cast<lxw_row_t>(f + 1);
        const long origen = filaDe(orden, f, n);
        for (int col = 0; col < c.columnas(); ++col) {
            const adodb::Variant& v = c.celda(origen, col);
            const auto k = static_cast<lxw_col_t>(col);
            switch (v.type()) {
            case adodb::VarType::Empty:
            case adodb::VarType::Null: break;
            case adodb::VarType::Integer:
            case adodb::VarType::Double: worksheet_write_number(hoja, fila, k, v.toDouble(), nullptr); break;
            case adodb::VarType::Boolean: worksheet_write_boolean(hoja, fila, k, v.toBool() ? 1 : 0, nullptr); break;
            case adodb::VarType::Date: {
                const QDateTime d = v.toDateTime();
                lxw_datetime dt{d.date().year(), d.date().month(),  d.date().day(),
                                d.time().hour(), d.time().minute(), static_cast<double>(d.time().second())};
                worksheet_write_datetime(hoja, fila, k, &dt, fecha);
                break;
            }
            case adodb::VarType::Text: worksheet_write_string(hoja, fila, k, v.toString().toUtf8().constData(), nullptr); break;
            }
        }
    }
    const lxw_error r = workbook_close(libro);
    if (r != LXW_NO_ERROR) {
        if (error)
            *error = QStringLiteral("No se pudo escribir el archivo ") + ruta + QStringLiteral(": ") +
                     QString::fromUtf8(lxw_strerror(r));
        QFile::remove(ruta);
        return false;
    }
    return true;
}

bool EscribeCsv(const ContenidoPlanilla& c, const QString& ruta, QString* error, const OrdenFilas* orden)
{
    QFile f(ruta);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        if (error) *error = QStringLiteral("No se puede crear el archivo ") + ruta + QStringLiteral(": ") + f.errorString();
        return false;
    }
    QString texto = QChar(0xFEFF);
    QStringList campos;
    for (int col = 0; col < c.columnas(); ++col) campos << campoCsv(c.nombreColumna(col));
    texto += campos.join(u';') + QStringLiteral("\r\n");
    const long n = c.cantidad();
    for (long r = 0; r < n; ++r) {
        const long origen = filaDe(orden, r, n);
        for (int col = 0; col < c.columnas(); ++col) {
            if (col > 0) texto += u';';
            texto += campoCsv(c.celda(origen, col));
        }
        texto += QStringLiteral("\r\n");
    }
    const QByteArray datos = texto.toUtf8();
    if (f.write(datos) != datos.size() || !f.flush()) {
        if (error) *error = QStringLiteral("No se pudo escribir el archivo ") + ruta + QStringLiteral(": ") + f.errorString();
        f.close();
        f.remove();
        return false;
    }
    return true;
}

bool EscribePlanilla(const ContenidoPlanilla& c, const QString& ruta, QString* error, const OrdenFilas* orden)
{
    if (QFileInfo(ruta).suffix().compare(QLatin1String("csv"), Qt::CaseInsensitive) == 0)
        return EscribeCsv(c, ruta, error, orden);
    return EscribeXlsx(c, ruta, error, orden);
}

// ---------------------------------------------------------------------------

ModeloPlanilla::ModeloPlanilla(std::shared_ptr<ContenidoPlanilla> c, QObject* parent)
    : QAbstractTableModel(parent), c_(std::move(c))
{}

int ModeloPlanilla::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(c_->cantidad());
}

int ModeloPlanilla::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : c_->columnas();
}

QVariant ModeloPlanilla::data(const QModelIndex& i, int role) const
{
    if (!i.isValid() || i.row() >= rowCount() || i.column() >= columnCount()) return {};
    const adodb::Variant& v = c_->celda(i.row(), i.column());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole: return v.toString();
    case kRolValor:
        if (v.isNumber()) return v.toDouble();
        if (v.isDate()) return v.toDateTime();
        return v.toString();
    case Qt::TextAlignmentRole: return QVariant::fromValue((v.isNumber() ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    default: return {};
    }
}

QVariant ModeloPlanilla::headerData(int section, Qt::Orientation o, int role) const
{
    if (role != Qt::DisplayRole) return {};
    if (o == Qt::Vertical) return section + 1;
    return section < columnCount() ? c_->nombreColumna(section) : QVariant();
}

// ---------------------------------------------------------------------------

struct OrdenPlanilla::Clave {
    enum Tipo { Vacia, Numero, Fecha, Texto } tipo = Vacia;
    double numero = 0;
    QDateTime fecha;
    std::optional<QCollatorSortKey> texto;
};

OrdenPlanilla::OrdenPlanilla(QObject* parent) : QSortFilterProxyModel(parent)
{
    setSortRole(ModeloPlanilla::kRolValor);
}

OrdenPlanilla::~OrdenPlanilla() = default;

void OrdenPlanilla::sort(int column, Qt::SortOrder order)
{
    // Comparing texts in dictionary order is slow; each row's key is worked
    // out once, not once per comparison.
    claves_.clear();
    columnaClaves_ = -1;
    QAbstractItemModel* fuente = sourceModel();
    if (fuente && column >= 0 && column < fuente->columnCount()) {
        QCollator diccionario(QLocale(QLocale::Spanish, QLocale::Spain));
        diccionario.setCaseSensitivity(Qt::CaseInsensitive);
        diccionario.setNumericMode(true);
        const int n = fuente->rowCount();
        claves_.resize(static_cast<size_t>(n));
        for (int f = 0; f < n; ++f) {
            const QVariant v = fuente->index(f, column).data(sortRole());
            Clave& k = claves_[static_cast<size_t>(f)];
            if (v.typeId() == QMetaType::Double) {
                k.tipo = Clave::Numero;
                k.numero = v.toDouble();
            } else if (v.typeId() == QMetaType::QDateTime) {
                k.tipo = Clave::Fecha;
                k.fecha = v.toDateTime();
            } else if (const QString t = v.toString().trimmed(); !t.isEmpty()) {
                k.tipo = Clave::Texto;
                k.texto = diccionario.sortKey(t);
            }
        }
        columnaClaves_ = column;
    }
    QSortFilterProxyModel::sort(column, order);
}

bool OrdenPlanilla::lessThan(const QModelIndex& izquierda, const QModelIndex& derecha) const
{
    const auto a = static_cast<size_t>(izquierda.row()), b = static_cast<size_t>(derecha.row());
    if (izquierda.column() != columnaClaves_ || a >= claves_.size() || b >= claves_.size())
        return QSortFilterProxyModel::lessThan(izquierda, derecha);
    const Clave& x = claves_[a];
    const Clave& y = claves_[b];
    if (x.tipo != y.tipo) return x.tipo < y.tipo;
    int orden = 0;
    switch (x.tipo) {
    case Clave::Numero: orden = x.numero < y.numero ? -1 : y.numero < x.numero; break;
    case Clave::Fecha: orden = x.fecha < y.fecha ? -1 : y.fecha < x.fecha; break;
    case Clave::Texto: orden = x.texto->compare(*y.texto); break;
    case Clave::Vacia: break;
    }
    if (orden != 0) return orden < 0;
    // Equal cells keep the statement's order whichever way, and whatever
    // order the sheet showed before: the sort starts from the rows as shown.
    return sortOrder() == Qt::AscendingOrder ? a < b : b < a;
}

// ---------------------------------------------------------------------------

VentanaPlanilla::VentanaPlanilla(std::shared_ptr<ContenidoPlanilla> c, QWidget* parent)
    : QWidget(parent, Qt::Window), c_(std::move(c))
{
    setObjectName(QStringLiteral("VentanaPlanilla"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(c_->titulo);
    auto* raiz = new QVBoxLayout(this);
    tabla_ = new QTableView(this);
    tabla_->setObjectName(QStringLiteral("grilla"));
    auto* modelo = new ModeloPlanilla(c_, this);
    auto* orden = new OrdenPlanilla(this);
    orden->setSourceModel(modelo);
    tabla_->setModel(orden);
    tabla_->setSortingEnabled(true);
    tabla_->sortByColumn(-1, Qt::AscendingOrder);  // keep the statement's order until a caption is clicked
    tabla_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    tabla_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tabla_->setAlternatingRowColors(true);
    tabla_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    tabla_->verticalHeader()->setDefaultSectionSize(tabla_->fontMetrics().height() + 6);
    tabla_->installEventFilter(this);
    const std::vector<int> anchos = c_->anchos();
    const int digito = tabla_->fontMetrics().horizontalAdvance(QLatin1Char('0'));
    for (int col = 0; col < c_->columnas(); ++col) tabla_->setColumnWidth(col, anchos[col] * digito + 24);
    tabla_->horizontalHeader()->setStretchLastSection(true);
    raiz->addWidget(tabla_, 1);

    auto* pie = new QHBoxLayout;
    auto* cantidad = new QLabel(QStringLiteral("%1 registros").arg(c_->cantidad()), this);
    cantidad->setObjectName(QStringLiteral("lblCantidad"));
    pie->addWidget(cantidad);
    pie->addStretch(1);
    auto boton = [&](const QString& texto, const char* nombre) {
        auto* b = new QPushButton(texto, this);
        b->setObjectName(QString::fromLatin1(nombre));
        b->setAutoDefault(false);
        pie->addWidget(b);
        return b;
    };
    connect(boton(QStringLiteral("&Exportar..."), "exportar"), &QPushButton::clicked, this, &VentanaPlanilla::Exporta);
    connect(boton(QStringLiteral("&Abrir en hoja de cálculo"), "abrirHoja"), &QPushButton::clicked, this,
            &VentanaPlanilla::AbreEnHojaDeCalculo);
    connect(boton(QStringLiteral("&Cerrar"), "cerrar"), &QPushButton::clicked, this, &QWidget::close);
    raiz->addLayout(pie);
    // Wide enough for every column, as far as the screen allows.
    int ancho = tabla_->verticalHeader()->sizeHint().width() + 2 * tabla_->frameWidth() +
                tabla_->verticalScrollBar()->sizeHint().width() + raiz->contentsMargins().left() +
                raiz->contentsMargins().right();
    for (int col = 0; col < c_->columnas(); ++col) ancho += tabla_->columnWidth(col);
    resize(std::max(ancho, 760), 560);
    rt::EnterPulsaElBotonEnfocado(this);
}

void VentanaPlanilla::keyPressEvent(QKeyEvent* e)
{
    if (e->matches(QKeySequence::Copy)) {
        QApplication::clipboard()->setText(TextoSeleccion());
        return;
    }
    if (e->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(e);
}

bool VentanaPlanilla::eventFilter(QObject* objeto, QEvent* evento)
{
    // The grid would copy only its current cell; the operator expects the selection.
    if (objeto == tabla_ && evento->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(evento)->matches(QKeySequence::Copy)) {
        QApplication::clipboard()->setText(TextoSeleccion());
        return true;
    }
    return QWidget::eventFilter(objeto, evento);
}

QString VentanaPlanilla::TextoSeleccion() const
{
    QModelIndexList elegidos = tabla_->selectionModel()->selectedIndexes();
    if (elegidos.isEmpty() && tabla_->currentIndex().isValid()) elegidos << tabla_->currentIndex();
    std::sort(elegidos.begin(), elegidos.end(), [](const QModelIndex& a, const QModelIndex& b) {
        return a.row() != b.row() ? a.row() < b.row() : a.column() < b.column();
    });
    QString texto;
    int fila = -1, col = 0;
    for (const QModelIndex& i : elegidos) {
        if (i.row() != fila) {
            if (fila >= 0) texto += u'\n';
            fila = i.row();
            col = 0;
        } else if (col++ >= 0) {
            texto += u'\t';
        }
        texto += i.data().toString();
    }
    return texto;
}

OrdenFilas VentanaPlanilla::OrdenEnPantalla() const
{
    OrdenFilas r;
    const QAbstractItemModel* m = tabla_->model();
    const auto* proxy = qobject_cast<const QAbstractProxyModel*>(m);
    r.reserve(static_cast<size_t>(m->rowCount()));
    for (int f = 0; f < m->rowCount(); ++f) r.push_back(proxy ? proxy->mapToSource(m->index(f, 0)).row() : f);
    return r;
}

void VentanaPlanilla::Exporta()
{
    bool cancelado = false;
    QString ruta = rt::operador().GuardaArchivo(this, QStringLiteral("Exportar planilla"),
                                                QStringLiteral("Libro de Excel|*.xlsx|Texto separado por punto y coma|*.csv"),
                                                c_->titulo + QStringLiteral(".xlsx"), &cancelado);
    if (cancelado || ruta.trimmed().isEmpty()) return;
    const QString ext = QFileInfo(ruta).suffix().toLower();
    if (ext != QLatin1String("xlsx") && ext != QLatin1String("csv")) ruta += QStringLiteral(".xlsx");
    QString error;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // What the operator sees is what the file holds: the rows as sorted on screen.
    const OrdenFilas orden = OrdenEnPantalla();
    const bool ok = EscribePlanilla(*c_, ruta, &error, &orden);
    QApplication::restoreOverrideCursor();
    if (!ok) {
        rt::operador().MsgBox(this, error, rt::vbExclamation, c_->titulo);
        AnotaFalla(QStringLiteral("Exportar"), error);
    }
}

void VentanaPlanilla::AbreEnHojaDeCalculo()
{
    // The spreadsheet opens the file after we return, so it must outlive this call.
    QTemporaryFile temporal(QDir::tempPath() + QStringLiteral("/planilla-XXXXXX.xlsx"));
    temporal.setAutoRemove(false);
    QString error;
    if (!temporal.open()) {
        error = QStringLiteral("No se puede crear un archivo temporal en ") + QDir::tempPath();
    } else {
        const QString ruta = temporal.fileName();
        temporal.close();
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const OrdenFilas orden = OrdenEnPantalla();
        const bool ok = EscribeXlsx(*c_, ruta, &error, &orden);
        QApplication::restoreOverrideCursor();
        if (ok && rt::operador().Ejecuta(QStringLiteral("xdg-open"), ruta) == 0)
            error = QStringLiteral("No se pudo abrir la hoja de cálculo. La planilla quedó en ") + ruta;
    }
    if (!error.isEmpty()) {
        rt::operador().MsgBox(this, error, rt::vbExclamation, c_->titulo);
        AnotaFalla(QStringLiteral("AbreEnHojaDeCalculo"), error);
    }
}

}  // namespace reportes

std::shared_ptr<reportes::ContenidoPlanilla> RtPlanilla::ArmaPlanilla(const QString& Sentencia, const QString& Conexion,
                                                                      const QString& Titulo)
{
    auto c = std::make_shared<reportes::ContenidoPlanilla>();
    c->titulo = Titulo;
    DB_Dll& db = DB();
    const bool propia = Conexion.trimmed().isEmpty() || Conexion == db.gConnString;
    const bool embebida = propia && reportes::EsEmbebida(db.gCnn);
    const QString sql = reportes::CompactaSentencia(Sentencia, embebida);
    if (propia) {
        db.AbrirRecordset(sql, c->filas, nullptr, adodb::adOpenForwardOnly, adodb::adLockReadOnly);
        // AbrirRecordset has already shown its failure to the operator.
        if (c->filas.State() != adodb::adStateOpen) throw reportes::ErrorReporte(QString());
    } else {
        // Another database than the session's: a connection of its own, whose
        // failures reach the operator as this sheet's.
        c->conexion = db.OtraBase(Conexion);
        c->conexion->Abre(sql, c->filas, adodb::adOpenForwardOnly, adodb::adLockReadOnly);
    }
    return c;
}

bool RtPlanilla::Planilla(const QString& Sentencia, const QString& Conexion, const QString& Titulo)
{
    QString falla;
    try {
        ultimo = ArmaPlanilla(Sentencia, Conexion, Titulo);
        if (!ArchivoSalida.isEmpty()) {
            if (reportes::EscribePlanilla(*ultimo, ArchivoSalida, &falla)) return true;
        } else {
            auto* v = new reportes::VentanaPlanilla(ultimo);
            // Placed before it shows, so it does not jump, and again once its frame is known.
            const QWidget* sobre = QApplication::activeWindow();
            rt::UbicaSobre(v, sobre);
            v->show();
            rt::UbicaSobre(v, sobre);
            v->raise();
            v->activateWindow();
            ventana = v;
            return true;
        }
    } catch (const reportes::ErrorReporte& e) {
        falla = e.texto();
    } catch (const adodb::AdoException& e) {
        falla = errores::Mensaje(e.error());
    }
    if (!falla.isEmpty()) {
        rt::operador().MsgBox(falla, rt::vbExclamation, Titulo);
        reportes::AnotaFalla(QStringLiteral("Planilla"), falla);
    }
    return false;
}
