// The list lookup window's layout: its controls, one search box under each
// column header, the columns' widths (computed, then those the operator
// saved) and the window's size when it is shown.
#include "lib_frmcons3.h"

#include "cabecera_busqueda.h"
#include "consultaslen.h"
#include "modelo_consulta.h"

#include "runtime/boton_enfocado.h"
#include "runtime/rtarchivos.h"
#include "runtime/rttexto.h"
#include "runtime/texto.h"
#include "runtime/ventanas.h"
#include "session/cnstuff.h"

#include <QAction>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Twips between a search box and the next column.
constexpr int kSeparacionCajas = 50;
// Characters a search box shows at the least.
constexpr int kLetrasVisibles = 4;

// The list keeps one row chosen once one is: with one selection mode, a key
// with Ctrl (Ctrl+End on the last row, Ctrl+Space) or a Ctrl+click on the
// chosen row would take the choice away, and Enter would then close the
// window taking nothing.
class ListaConsulta : public QTableView {
public:
    using QTableView::QTableView;

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& indice, const QEvent* evento) const override
    {
        const QItemSelectionModel::SelectionFlags f = QTableView::selectionCommand(indice, evento);
        if (f & QItemSelectionModel::Deselect) return QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows;
        return f;
    }
    void keyPressEvent(QKeyEvent* e) override
    {
        QTableView::keyPressEvent(e);
        // A key that moves, after a search that matched nothing, chooses the
        // row it stands on even where it cannot move further.
        if (selectionModel()->hasSelection() || !model() || model()->rowCount() == 0) return;
        switch (e->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Home:
        case Qt::Key_End: {
            const QModelIndex actual = currentIndex();
            const QModelIndex fila = model()->index(actual.isValid() ? actual.row() : 0, actual.isValid() ? actual.column() : 0);
            selectionModel()->setCurrentIndex(fila, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
            break;
        }
        default: break;
        }
    }
};

}  // namespace

void Lib_FrmCons3::construye()
{
    setObjectName(QStringLiteral("Lib_FrmCons3"));
    setWindowTitle(QStringLiteral("Consulta..."));
    setSizeGripEnabled(true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    lblConsulta = new QLabel(QStringLiteral("CONSULTA"), this);
    QFont grande = lblConsulta->font();
    grande.setBold(true);
    grande.setPointSizeF(grande.pointSizeF() * 1.3);
    lblConsulta->setFont(grande);
    lblFieldName = new QLabel(this);
    lblFieldName->setObjectName(QStringLiteral("lblFieldName"));
    lblFieldName->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // Says when the typed text matches no row; its line is kept, so the
    // list does not jump when it speaks.
    lblSinCoincidencias = new QLabel(this);
    lblSinCoincidencias->setObjectName(QStringLiteral("lblSinCoincidencias"));
    // A style sheet of its own: the skin's sheet would override a palette.
    lblSinCoincidencias->setStyleSheet(QStringLiteral("QLabel { color: #be0000; font-weight: bold; }"));
    lblSinCoincidencias->setMinimumHeight(lblSinCoincidencias->fontMetrics().height());
    // What F5 has narrowed the list to; shown only while it is narrowed.
    lblFiltro = new QLabel(this);
    lblFiltro->setObjectName(QStringLiteral("lblFiltro"));
    lblFiltro->setWordWrap(true);
    lblFiltro->setStyleSheet(QStringLiteral("QLabel { color: #00007f; font-weight: bold; }"));
    lblFiltro->hide();

    modelo_ = new ModeloConsulta(this);
    ListView1 = new ListaConsulta(this);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    picFields = new CabeceraBusqueda(ListView1);
    picFields->setObjectName(QStringLiteral("picFields"));
    ListView1->setHorizontalHeader(picFields);
    ListView1->setModel(modelo_);
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView1->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    ListView1->setWordWrap(false);
    // Tab moves the focus, as in every other window; the arrows move between
    // rows. With the list's own Tab navigation on, the search boxes (which
    // stand in its header) passed their Tab up to it, and it moved between
    // its cells while the focus stayed in the box.
    ListView1->setTabKeyNavigation(false);
    ListView1->setShowGrid(false);
    ListView1->setAlternatingRowColors(false);
    ListView1->verticalHeader()->hide();
    ListView1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    picFields->setStretchLastSection(false);
    picFields->setSectionResizeMode(QHeaderView::Interactive);
    picFields->setFocusPolicy(Qt::NoFocus);
    ListView1->installEventFilter(this);
    connect(picFields, &QHeaderView::sectionClicked, this, &Lib_FrmCons3::ListView1_ColumnClick);
    connect(ListView1->horizontalScrollBar(), &QScrollBar::valueChanged, picFields, &CabeceraBusqueda::Coloca);
    connect(ListView1, &QTableView::doubleClicked, this, [this] { CmdAceptar_Click(); });

    QFont lista = font();
    lista.setPointSize(10);
    lista.setBold(true);
    modelo_->FijaFuente(lista);
    ListView1->verticalHeader()->setDefaultSectionSize(QFontMetrics(lista).height() + 6);

    CmdAceptar = new QPushButton(QStringLiteral("&Aceptar"), this);
    cmdCancelar = new QPushButton(QStringLiteral("&Cancelar"), this);
    CmdNueva = new QPushButton(QStringLiteral("&Nueva Busqueda"), this);
    CmdNuevo = new QPushButton(QStringLiteral("N&uevo"), this);
    CmdTodos = new QPushButton(QStringLiteral("&Marcar"), this);
    CmdAceptar->setObjectName(QStringLiteral("CmdAceptar"));
    cmdCancelar->setObjectName(QStringLiteral("cmdCancelar"));
    CmdNueva->setObjectName(QStringLiteral("CmdNueva"));
    CmdNuevo->setObjectName(QStringLiteral("CmdNuevo"));
    CmdTodos->setObjectName(QStringLiteral("CmdTodos"));
    CmdAceptar->setDefault(true);
    for (QPushButton* b : {CmdAceptar, cmdCancelar, CmdNueva, CmdNuevo, CmdTodos}) {
        b->setAutoDefault(false);
        b->installEventFilter(this);
    }
    CmdAceptar->setAutoDefault(true);
    connect(CmdAceptar, &QPushButton::clicked, this, &Lib_FrmCons3::CmdAceptar_Click);
    connect(cmdCancelar, &QPushButton::clicked, this, &Lib_FrmCons3::cmdCancelar_Click);
    connect(CmdNueva, &QPushButton::clicked, this, &Lib_FrmCons3::CmdNueva_Click);
    connect(CmdNuevo, &QPushButton::clicked, this, &Lib_FrmCons3::CmdNuevo_Click);
    connect(CmdTodos, &QPushButton::clicked, this, &Lib_FrmCons3::CmdTodos_Click);

    MNU_Emergente = new QMenu(this);
    MNU_Llena = MNU_Emergente->addAction(QStringLiteral("Llenar Con Posibles Valores"));
    MNU_Emergente->addSeparator();
    MNU_Cancelar = MNU_Emergente->addAction(QStringLiteral("Cancelar"));
    connect(MNU_Llena, &QAction::triggered, this, &Lib_FrmCons3::MNU_Llena_Click);

    auto* arriba = new QHBoxLayout;
    arriba->addWidget(lblConsulta);
    arriba->addStretch(1);
    arriba->addWidget(lblFieldName);
    auto* botones = new QHBoxLayout;
    botones->addWidget(CmdAceptar);
    botones->addWidget(cmdCancelar);
    botones->addWidget(CmdNueva);
    botones->addStretch(1);
    botones->addWidget(CmdNuevo);
    botones->addWidget(CmdTodos);
    auto* todo = new QVBoxLayout(this);
    todo->addLayout(arriba);
    todo->addWidget(lblFiltro);
    todo->addWidget(ListView1, 1);
    todo->addWidget(lblSinCoincidencias);
    todo->addLayout(botones);
    resize(640, 460);
    rt::EnterPulsaElBotonEnfocado(this);
}

int Lib_FrmCons3::Pixeles(double twips) const
{
    return qRound(twips * logicalDpiX() / 1440.0);
}

int Lib_FrmCons3::Twips(int pixeles) const
{
    return qRound(pixeles * 1440.0 / logicalDpiX());
}

void Lib_FrmCons3::preparaCajas(const QStringList& columnas)
{
    if (columnas == columnasCajas_ && CmbSearch.size() == columnas.size()) return;
    // The old boxes go at the next turn of the event loop; nameless from now,
    // so nobody finds them in place of the new ones.
    for (QComboBox* c : CmbSearch) {
        c->setObjectName(QString());
        c->hide();
        c->deleteLater();
    }
    CmbSearch.clear();
    columnasCajas_ = columnas;
    for (int i = 0; i < columnas.size(); ++i) {
        auto* c = new QComboBox(picFields);
        c->setObjectName(QStringLiteral("CmbSearch_%1").arg(i));
        c->setEditable(true);
        c->setInsertPolicy(QComboBox::NoInsert);
        c->setCompleter(nullptr);
        c->setProperty("columna", columnas.at(i));
        c->setToolTip(columnas.at(i));
        c->setContextMenuPolicy(Qt::CustomContextMenu);
        c->installEventFilter(this);
        connect(c, &QComboBox::editTextChanged, this, [this, i] { CmbSearch_Change(i); });
        connect(c, &QComboBox::textActivated, this, [this, i] { CmbSearch_Change(i); });
        connect(c, &QWidget::customContextMenuRequested, this, [this, c, i](const QPoint& pos) {
            cajaActual_ = i;
            MNU_Emergente->popup(c->mapToGlobal(pos));
        });
        CmbSearch.append(c);
    }
    picFields->FijaCajas(CmbSearch);
    if (!CmbSearch.isEmpty()) {
        // A column of one character (a check digit) would leave its box
        // nothing but the arrow: every column leaves its box room for a few
        // characters beside it, whatever its field, saved width or dragging says.
        const QComboBox* c = CmbSearch.first();
        QStyleOptionComboBox o;
        o.initFrom(c);
        o.editable = true;
        const QSize letras(c->fontMetrics().horizontalAdvance(QString(kLetrasVisibles, u'X')), c->fontMetrics().height());
        const int caja = c->style()->sizeFromContents(QStyle::CT_ComboBox, &o, letras, c).width();
        picFields->setMinimumSectionSize(caja + Pixeles(kSeparacionCajas));
    }
    QWidget* anterior = nullptr;
    for (QComboBox* c : CmbSearch) {
        if (anterior) setTabOrder(anterior, c);
        anterior = c;
    }
    // Boxes, list, then the buttons in the order they stand.
    if (anterior) setTabOrder(anterior, ListView1);
    anterior = ListView1;
    for (QPushButton* b : {CmdAceptar, cmdCancelar, CmdNueva, CmdNuevo, CmdTodos}) {
        setTabOrder(anterior, b);
        anterior = b;
    }
    if (cajaActual_ >= CmbSearch.size()) cajaActual_ = 0;
}

void Lib_FrmCons3::Encolumnar()
{
    const auto& campos = rs_.columns();
    const bool precios =
        rt::Contiene(actual_, QStringLiteral("V_MA_ARTICULOS")) || rt::Contiene(actual_, QStringLiteral("STK_MA_ARTICULOS"));
    static const QRegularExpression precio(QStringLiteral("^PRECIO([1-8])$"), QRegularExpression::CaseInsensitiveOption);
    QStringList encabezados, columnas;
    QList<int> anchos;
    // Measured in the list's own font, so that the cells fit; a title wider
    // than its field still shows whole.
    const QFontMetrics fm(modelo_->Fuente());
    const QFontMetrics titulos(picFields->font());
    const int margen = 2 * picFields->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, picFields) + 8;
    for (const adodb::ColumnInfo& c : campos) {
        int caracteres = c.definedSize;
        if (c.type == adodb::adCurrency || c.type == adodb::adNumeric) caracteres = 12;
        caracteres = std::clamp(caracteres, 0, 60);
        if (ValoresDefault == QLatin1String("@10")) caracteres += 10;
        QString titulo = c.name;
        if (precios) {
            const QRegularExpressionMatch m = precio.match(c.name.trimmed());
            if (m.hasMatch()) {
                // A price list without a configured name keeps its column name.
                const QString nombre = CNStuffContable::Cfg(QStringLiteral("NOM_PCLASE") + m.captured(1));
                if (!nombre.trimmed().isEmpty()) titulo = nombre;
            }
        }
        encabezados.append(titulo);
        columnas.append(c.name);
        anchos.append(std::max(fm.horizontalAdvance(QString(caracteres, u'X')), titulos.horizontalAdvance(titulo) + margen));
    }
    modelo_->Carga(encabezados, {}, {});
    preparaCajas(columnas);
    for (int i = 0; i < anchos.size(); ++i) picFields->resizeSection(i, std::max(anchos.at(i), picFields->minimumSectionSize()));
}

void Lib_FrmCons3::cargaAnchos()
{
    if (rt::Iguales(tabla_, QStringLiteral("Stk_ma_articulos"))) tabla_ = QStringLiteral("VT_MA_ARTICULOS");
    const QString carpeta = RtArchivos::CarpetaParaLeer(QStringLiteral("CONSULTASLEN.VRL"));
    for (const QString& linea : ConsultasLen::Lee(carpeta, tabla_)) {
        QString resto = linea;
        for (int i = 0; i < picFields->count(); ++i) {
            const qsizetype barra = resto.indexOf(u'|');
            if (barra < 0) break;
            // A width the header cannot take (negative, or narrower than a
            // column can be dragged) would leave a column nobody can reach; one
            // beyond its widest (a damaged file) would not fit a pixel count.
            const double twips =
                std::min(RtTexto::TextoANumero(resto.left(barra)), static_cast<double>(Twips(picFields->maximumSectionSize())));
            resto = resto.mid(barra + 1);
            picFields->resizeSection(i, std::max(Pixeles(twips), picFields->minimumSectionSize()));
        }
    }
}

void Lib_FrmCons3::CalcularAncho()
{
    picFields->FijaSeparacion(Pixeles(kSeparacionCajas));
    picFields->Coloca();
}

void Lib_FrmCons3::showEvent(QShowEvent* evento)
{
    if (!cargada_) Form_Load();
    QDialog::showEvent(evento);
    if (mostrada_) return;
    mostrada_ = true;
    // As wide as the columns need, within the screen.
    const QMargins m = layout()->contentsMargins();
    int ancho = ListView1->verticalScrollBar()->sizeHint().width() + 2 * ListView1->frameWidth() + m.left() + m.right() + 2;
    for (int i = 0; i < picFields->count(); ++i) ancho += picFields->sectionSize(i);
    const QScreen* pantalla = screen();
    const int maximo = pantalla ? pantalla->availableGeometry().width() * 9 / 10 : 1200;
    if (anchoFijo_ > 0)
        resize(anchoFijo_, height());
    else
        resize(std::clamp(ancho, 560, std::max(560, maximo)), height());
    // Over the window that asked (or the screen), and never past the screen's edges.
    rt::AjustaVentana(this, true);
    int inicial = CampoBusqueda.trimmed().isEmpty() ? 0 : columnasCajas_.indexOf(CampoBusqueda.trimmed());
    for (int i = 0; inicial < 0 && i < columnasCajas_.size(); ++i)
        if (rt::Iguales(columnasCajas_.at(i), CampoBusqueda.trimmed())) inicial = i;
    if (inicial < 0) inicial = 0;
    if (inicial < CmbSearch.size())
        CmbSearch.at(inicial)->setFocus(Qt::OtherFocusReason);
    else
        ListView1->setFocus(Qt::OtherFocusReason);
}
