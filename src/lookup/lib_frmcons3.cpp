#include "lib_frmcons3.h"

#include "cabecera_busqueda.h"
#include "consultaslen.h"
#include "modelo_consulta.h"
#include "sentencias.h"

#include "data/db_dll.h"
#include "runtime/operador.h"
#include "runtime/protocolo.h"
#include "runtime/rtarchivos.h"
#include "runtime/rtentorno.h"
#include "runtime/rttexto.h"
#include "runtime/texto.h"
#include "runtime/ventanas.h"
#include "session/cnstuff.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QSet>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

using adodb::Variant;

namespace {

const QString kCantidad = QStringLiteral("**Cantidad**");

// The word after the first "from": the table the lookup shows.
QString TablaDeSentencia(const QString& sentencia)
{
    static const QRegularExpression re(QStringLiteral("\\bfrom\\s+([^\\s,()]+)"), QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = re.match(sentencia);
    return m.hasMatch() ? m.captured(1) : QString();
}

// Colours come from configuration as the suite stored them: blue, green and
// red in one number, red in the lowest byte.
QColor ColorBgr(const Variant& v)
{
    const long long n = static_cast<long long>(rt::Val(v.toString()));
    return QColor(static_cast<int>(n & 0xFF), static_cast<int>((n >> 8) & 0xFF), static_cast<int>((n >> 16) & 0xFF));
}

int IndiceCampo(const std::vector<adodb::ColumnInfo>& columnas, const QString& nombre)
{
    for (size_t i = 0; i < columnas.size(); ++i)
        if (rt::Iguales(columnas[i].name, nombre)) return static_cast<int>(i);
    return -1;
}

bool EsNumero(const QString& t)
{
    static const QRegularExpression re(QStringLiteral("^\\s*[-+]?(\\d+([.,]\\d*)?|[.,]\\d+)\\s*$"));
    return re.match(t).hasMatch();
}

// The values whose rows start ticked: a list separated by commas, semicolons
// or bars, each value compared whole (a default "1" never ticks "10").
QSet<QString> ValoresPorDefecto(const QString& lista)
{
    QSet<QString> valores;
    static const QRegularExpression separador(QStringLiteral("[,;|\\r\\n\\t]"));
    for (QString v : lista.split(separador, Qt::SkipEmptyParts)) {
        v = v.trimmed();
        if (v.size() >= 2 && (v.front() == u'\'' || v.front() == u'"') && v.back() == v.front())
            v = v.mid(1, v.size() - 2).trimmed();
        if (!v.isEmpty()) valores.insert(v.toCaseFolded());
    }
    return valores;
}

int Informe(const adodb::Error& e, const char* rutina)
{
    return CNStuffContable::ReportaError(e, {}, QString::fromLatin1(rutina));
}

}  // namespace

Lib_FrmCons3::Lib_FrmCons3(QWidget* parent) : QDialog(parent)
{
    construye();
}

Lib_FrmCons3::~Lib_FrmCons3() = default;

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

    modelo_ = new ModeloConsulta(this);
    ListView1 = new QTableView(this);
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
    todo->addWidget(ListView1, 1);
    todo->addLayout(botones);
    resize(640, 460);
}

int Lib_FrmCons3::Pixeles(double twips) const
{
    return qRound(twips * logicalDpiX() / 1440.0);
}

int Lib_FrmCons3::Twips(int pixeles) const
{
    return qRound(pixeles * 1440.0 / logicalDpiX());
}

DB_Dll& Lib_FrmCons3::conexion()
{
    if (!UsarUDBC) return DB();
    if (!udbc_) {
        udbc_ = std::make_unique<DB_Dll>();
        udbc_->gEsAdmin = DB().gEsAdmin;
        udbc_->gConfidencialidad = DB().gConfidencialidad;
        udbc_->gUsuario = DB().gUsuario;
        udbc_->gLogErr = DB().gLogErr;
    }
    if (!udbc_->gCnn.State()) {
        const QString cadena = gConnString.trimmed().isEmpty() ? DB().gConnString : gConnString;
        udbc_->gCnn.Open(cadena);
        udbc_->gConnString = cadena;
    }
    return *udbc_;
}

void Lib_FrmCons3::Form_Load()
{
    cargada_ = true;
    rt::Protocolo p([](const adodb::Error& e) { return Informe(e, "FORM_LOAD"); });
    p.paso([&] {
        articulos_ = rt::Contiene(sql, QStringLiteral("articulos"));
        Valores = NuevaColeccion();
        Cantidades = NuevaColeccion();
        modelo_->Limpia();
        filasLeidas_ = 0;
    });
    if (sql.trimmed().isEmpty()) {
        preparaCajas({});
        return;
    }
    p.paso([&] {
        sql += u' ';
        tabla_ = TablaDeSentencia(sql);
        if (primera_.isEmpty()) primera_ = sql;
        actual_ = sql;
    });
    p.paso([&] {
        // A copy: the statement kept for the server-side search is the one the
        // request built, not the text rewritten for this session.
        QString sentencia = actual_;
        conexion().AbrirRecordset(sentencia, rs_, nullptr, adodb::adOpenForwardOnly, adodb::adLockReadOnly, adodb::adCmdUnknown,
                                  true);
    });
    p.paso([&] {
        modelo_->FijaCasillas(CheckBoxes);
        CmdTodos->setEnabled(CheckBoxes);
    });
    p.paso([&] { Encolumnar(); });
    p.paso([&] { Leer(1, 0); });
    p.paso([&] {
        if (OrdenarPorLwv) ordenada_ = true;
        ordenaSiCorresponde();
    });
    p.paso([&] {
        if (modelo_->rowCount() > 0) SeleccionaFila(0);
    });
    p.paso([&] {
        if (!FiltroInicial.trimmed().isEmpty() && !CmbSearch.isEmpty()) CmbSearch.first()->setEditText(FiltroInicial);
    });
    p.paso([&] { conexion().CierraRecordset(rs_); });
    p.paso([&] {
        cargaAnchos();
        CalcularAncho();
    });
}

void Lib_FrmCons3::CargaOpciones(const QString& titulo, const QStringList& textos, const QList<bool>& marcas, int twips)
{
    setWindowTitle(titulo);
    CmdNueva->hide();
    OrdenarPorLwv = true;
    sql.clear();
    gConnString.clear();
    CampoDevuelto = titulo;
    // A blank title names no column: the row's only value is taken instead.
    if (titulo.trimmed().isEmpty()) CmpsDevueltos = std::make_shared<QStringList>(QStringList{titulo});
    Form_Load();
    modelo_->FijaCasillas(CheckBoxes);
    CmdTodos->setEnabled(CheckBoxes);
    std::vector<QString> celdas(textos.begin(), textos.end());
    std::vector<ModeloConsulta::Fila> filas(celdas.size());
    for (size_t i = 0; i < filas.size(); ++i) filas[i].marcada = CheckBoxes && marcas.value(static_cast<qsizetype>(i));
    modelo_->Carga({titulo}, std::move(celdas), std::move(filas));
    preparaCajas({titulo});
    const QScreen* pantalla = screen();
    const int maximo = pantalla ? pantalla->geometry().width() : 1280;
    anchoFijo_ = std::min(Pixeles(twips), maximo);
    // The one column is as wide as the list, whatever width the window takes.
    picFields->setStretchLastSection(true);
    CalcularAncho();
    // No table behind the list: nothing for a maintenance program to open.
    CmdNuevo->setEnabled(false);
    if (modelo_->rowCount() > 0) SeleccionaFila(0);
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
    QWidget* anterior = nullptr;
    for (QComboBox* c : CmbSearch) {
        if (anterior) setTabOrder(anterior, c);
        anterior = c;
    }
    if (anterior) setTabOrder(anterior, ListView1);
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
    for (int i = 0; i < anchos.size(); ++i) picFields->resizeSection(i, anchos.at(i));
}

void Lib_FrmCons3::Leer(long, long)
{
    const auto& campos = rs_.columns();
    const size_t nc = campos.size();
    if (rs_.State() != adodb::adStateOpen || nc == 0) return;
    const long nf = rs_.RecordCount();
    const int iPunto = IndiceCampo(campos, QStringLiteral("PUNTOPEDIDO"));
    const int iStock = IndiceCampo(campos, QStringLiteral("Stock"));
    const int iDevuelto = IndiceColumna(CampoDevuelto) - 1;
    const bool colorea = articulos_ && rt::Iguales(MuestraStock.trimmed(), QStringLiteral("SI")) && iPunto >= 0 && iStock >= 0;
    if (colorea) {
        const Variant* niveles[] = {&StkNivel1, &StkNivel2, &StkNivel3, &StkNivel4};
        std::array<QColor, 4> colores;
        for (size_t i = 0; i < colores.size(); ++i)
            if (!niveles[i]->toString().trimmed().isEmpty()) colores[i] = ColorBgr(*niveles[i]);
        modelo_->FijaColoresStock(colores);
    }
    const QSet<QString> porDefecto = CheckBoxes && iDevuelto >= 0 ? ValoresPorDefecto(ValoresDefault) : QSet<QString>();
    std::vector<QString> celdas;
    celdas.reserve(static_cast<size_t>(nf) * nc);
    std::vector<ModeloConsulta::Fila> filas(static_cast<size_t>(nf));
    for (long r = 0; r < nf; ++r) {
        const size_t fila = static_cast<size_t>(r);
        ++filasLeidas_;
        celdas.push_back(RtTexto::ValorCampo(rs_.cell(fila, 0)).trimmed());
        for (size_t c = 1; c < nc; ++c) celdas.push_back(RtTexto::AnchoFijo(rs_.cell(fila, c)));
        if (!porDefecto.isEmpty()) {
            const QString v = RtTexto::ValorCampo(rs_.cell(fila, static_cast<size_t>(iDevuelto))).trimmed();
            filas[fila].marcada = !v.isEmpty() && porDefecto.contains(v.toCaseFolded());
        }
        if (colorea)
            filas[fila].nivel =
                ModeloConsulta::NivelStock(RtTexto::TextoANumero(rs_.cell(fila, static_cast<size_t>(iPunto)).toString()),
                                           RtTexto::TextoANumero(rs_.cell(fila, static_cast<size_t>(iStock)).toString()));
    }
    modelo_->AgregaFilas(std::move(celdas), std::move(filas));
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
    picFields->FijaSeparacion(Pixeles(50));
    picFields->Coloca();
}

int Lib_FrmCons3::Busqueda(const QString& Clave, int QueValor) const
{
    if (QueValor < 0 || QueValor >= modelo_->columnCount()) return 0;
    const QStringView clave = QStringView(Clave).trimmed();
    const int n = modelo_->rowCount();
    for (int i = 0; i < n; ++i)
        if (QStringView(modelo_->Texto(i, QueValor)).trimmed().startsWith(clave, Qt::CaseInsensitive)) return i + 1;
    return 0;
}

int Lib_FrmCons3::IndiceColumna(const QString& Columna) const
{
    const QStringList& e = modelo_->Encabezados();
    for (int i = 0; i < e.size(); ++i)
        if (rt::Iguales(e.at(i).trimmed(), Columna.trimmed())) return i + 1;
    return 0;
}

int Lib_FrmCons3::FilaSeleccionada() const
{
    const QModelIndexList filas = ListView1->selectionModel()->selectedRows();
    return filas.isEmpty() ? -1 : filas.first().row();
}

void Lib_FrmCons3::SeleccionaFila(int fila, int columna)
{
    if (fila < 0 || fila >= modelo_->rowCount()) return;
    if (columna < 0 || columna >= modelo_->columnCount()) columna = 0;
    const QModelIndex i = modelo_->index(fila, columna);
    ListView1->selectionModel()->setCurrentIndex(i, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    // Scrolling to the searched column keeps the box being typed in where it is.
    ListView1->scrollTo(i, QAbstractItemView::EnsureVisible);
}

QString Lib_FrmCons3::ValorColumna(int fila, const QString& columna, bool* existe) const
{
    const int c = IndiceColumna(columna);
    if (existe) *existe = c > 0;
    if (c == 0 || fila < 0 || fila >= modelo_->rowCount()) return {};
    return modelo_->Texto(fila, c - 1);
}

void Lib_FrmCons3::CmbSearch_Change(int Index)
{
    if (Index < 0 || Index >= CmbSearch.size()) return;
    const int r = Busqueda(CmbSearch.at(Index)->currentText(), Index);
    if (r > 0) SeleccionaFila(r - 1, Index);
}

void Lib_FrmCons3::ordenaSiCorresponde()
{
    if (!ordenada_) return;
    modelo_->sort(claveOrden_, orden_);
    picFields->setSortIndicatorShown(true);
    picFields->setSortIndicator(claveOrden_, orden_);
}

void Lib_FrmCons3::ListView1_ColumnClick(int Columna)
{
    if (Columna < 0 || Columna >= modelo_->columnCount()) return;
    ordenada_ = true;
    claveOrden_ = Columna;
    orden_ = orden_ == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    ordenaSiCorresponde();
    const int actual = FilaSeleccionada();
    if (actual >= 0) ListView1->scrollTo(modelo_->index(actual, Columna), QAbstractItemView::EnsureVisible);
}

void Lib_FrmCons3::BuscaEnServidor(int Index)
{
    if (Index < 0 || Index >= CmbSearch.size()) return;
    QComboBox* caja = CmbSearch.at(Index);
    const QString texto = caja->currentText();
    // The "*" the operator typed becomes the wildcard in the statement alone;
    // a "%" typed is searched for as itself.
    const QString nueva = Sentencias::SentenciaFiltrada(actual_, columnasCajas_.value(Index), texto, CfgUsaConsultaLIKE);
    {
        const QSignalBlocker sinBusqueda(caja);
        caja->setEditText(QString());
    }
    sql = nueva;
    actual_ = nueva;
    Form_Load();
    if (Index < CmbSearch.size()) CmbSearch.at(Index)->setFocus();
}

bool Lib_FrmCons3::teclaDeCaja(int Index, QKeyEvent* e)
{
    switch (e->key()) {
    case Qt::Key_F5: BuscaEnServidor(Index); return true;
    case Qt::Key_Down:
    case Qt::Key_Up:
    case Qt::Key_PageDown:
    case Qt::Key_PageUp: {
        ListView1->setFocus(Qt::OtherFocusReason);
        QKeyEvent copia(e->type(), e->key(), e->modifiers(), e->text());
        QCoreApplication::sendEvent(ListView1, &copia);
        return true;
    }
    case Qt::Key_Return:
    case Qt::Key_Enter: CmdAceptar_Click(); return true;
    default: return false;
    }
}

bool Lib_FrmCons3::ListView1_KeyDown(QKeyEvent* e)
{
    rt::Protocolo p([](const adodb::Error& err) { return Informe(err, "ListView1_KeyDown"); });
    const int fila = FilaSeleccionada();
    const int tecla = e->key();
    if (tecla == Qt::Key_Space && CheckBoxes) {
        if (fila >= 0) modelo_->Marca(fila, !modelo_->Marcada(fila));
        return true;
    }
    if (tecla == Qt::Key_Return || tecla == Qt::Key_Enter) {
        CmdAceptar_Click();
        return true;
    }
    if (UsaCantidades && (tecla == Qt::Key_Insert || tecla == Qt::Key_Delete)) {
        const int columna = IndiceColumna(kCantidad) - 1;
        if (columna >= 0 && fila >= 0)
            p.paso([&] {
                cambiaCantidad(fila, columna, (e->modifiers() & Qt::ShiftModifier) && tecla == Qt::Key_Insert ? 0 : tecla);
            });
        return true;
    }
    if (CmbSearch.isEmpty()) return false;
    QComboBox* caja = CmbSearch.value(cajaActual_, CmbSearch.first());
    if (tecla == Qt::Key_Backspace) {
        QString t = caja->currentText();
        t.chop(1);
        caja->setEditText(t);
        caja->setFocus(Qt::OtherFocusReason);
        return true;
    }
    const QString t = e->text();
    if (t.size() != 1 || (e->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) return false;
    const char16_t c = t.at(0).unicode();
    const bool escribe = (c >= 47 && c <= 93) || (c >= 97 && c <= 125) || c == u' ' || t.at(0).isLetter();
    if (!escribe) return false;
    caja->setEditText(caja->currentText() + t);
    caja->setFocus(Qt::OtherFocusReason);
    return true;
}

void Lib_FrmCons3::cambiaCantidad(int fila, int columna, int tecla)
{
    const QString actual = modelo_->Texto(fila, columna);
    if (tecla == 0) {
        bool cancelado = false;
        const QString dato = rt::operador().InputBox(QStringLiteral("Ingrese la Cantidad del Articulo..."),
                                                     QStringLiteral("Carga de Datos"), actual.trimmed(), &cancelado);
        if (cancelado) return;
        if (!dato.trimmed().isEmpty() && !EsNumero(dato)) {
            rt::operador().MsgBox(QStringLiteral("La cantidad debe ser un número: ") + dato, rt::vbExclamation,
                                  QStringLiteral("Carga de Datos"));
            return;
        }
        const double cantidad = RtTexto::TextoANumero(dato);
        if (cantidad > 0) {
            modelo_->FijaTexto(fila, columna, QString::number(cantidad, 'f', 2));
            modelo_->Marca(fila, true);
        } else {
            modelo_->FijaTexto(fila, columna, QStringLiteral("0.00"));
            modelo_->Marca(fila, false);
        }
        return;
    }
    const double valor = RtTexto::TextoANumero(actual);
    if (tecla == Qt::Key_Insert) {
        modelo_->FijaTexto(fila, columna, QString::number(valor + 1, 'f', 1));
        modelo_->Marca(fila, true);
        return;
    }
    const double resta = valor - 1;
    if (resta > 0) {
        modelo_->FijaTexto(fila, columna, QString::number(resta, 'f', 1));
    } else {
        modelo_->FijaTexto(fila, columna, QStringLiteral("0.00"));
        modelo_->Marca(fila, false);
    }
}

void Lib_FrmCons3::InformaFaltante()
{
    if (!articulos_) return;
    const int fila = FilaSeleccionada();
    if (fila < 0) return;
    const QString id = ValorColumna(fila, QStringLiteral("idarticulo"));
    const QString descripcion = ValorColumna(fila, QStringLiteral("Descripcion"));
    const int r = rt::operador().MsgBox(QStringLiteral("Desea informar el articulo ") + id + u' ' + descripcion + u'\n' +
                                            QStringLiteral("como un faltante de stock?"),
                                        rt::vbYesNo + rt::vbQuestion + rt::vbDefaultButton2, QStringLiteral("Atención!"));
    if (r != rt::vbYes) return;
    const QString ahora = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
    DB().EjecutaConsultaSQL(QStringLiteral("INSERT INTO V_MV_FALTANTES (FechaHora,IdArticulo,Descripcion,Usuario) values('") +
                            ahora + QStringLiteral("','") + rt::Comillas(RtTexto::AnchoFijo(id, 25)) + QStringLiteral("','") +
                            rt::Comillas(descripcion) + QStringLiteral("','") + rt::Comillas(DB().gUsuario) +
                            QStringLiteral("')"));
}

void Lib_FrmCons3::CmdAceptar_Click()
{
    rt::Protocolo p([](const adodb::Error& e) { return Informe(e, "CmdAceptar_Click"); });
    if (!Valores) Valores = NuevaColeccion();
    if (!Cantidades) Cantidades = NuevaColeccion();
    const int columnaCantidad = UsaCantidades ? IndiceColumna(kCantidad) - 1 : -1;
    p.paso([&] {
        if (CheckBoxes) {
            if (CampoDevuelto.trimmed().isEmpty() && !modelo_->Encabezados().isEmpty())
                CampoDevuelto = modelo_->Encabezados().first();
            if (IndiceColumna(CampoDevuelto) == 0) return;
            for (int i = 0; i < modelo_->rowCount(); ++i) {
                if (!modelo_->Marcada(i)) continue;
                Valores->append(ValorColumna(i, CampoDevuelto));
                if (columnaCantidad >= 0) Cantidades->append(modelo_->Texto(i, columnaCantidad).trimmed());
            }
            return;
        }
        const int fila = FilaSeleccionada();
        if (fila < 0) return;
        QString ultimo;
        if (CmpsDevueltos)
            for (const QString& nombre : *CmpsDevueltos) {
                bool existe = false;
                const QString v = ValorColumna(fila, nombre, &existe);
                if (!existe) continue;
                Valores->append(v);
                ultimo = v;
            }
        if (columnaCantidad >= 0) Cantidades->append(modelo_->Texto(fila, columnaCantidad).trimmed());
        ValorDevuelto = CampoDevuelto.trimmed().isEmpty() ? ultimo : ValorColumna(fila, CampoDevuelto);
    });
    QDialog::accept();
}

void Lib_FrmCons3::cmdCancelar_Click()
{
    ValorDevuelto.clear();
    CmpsDevueltos.reset();
    Valores.reset();
    QDialog::reject();
}

void Lib_FrmCons3::reject()
{
    cmdCancelar_Click();
}

void Lib_FrmCons3::CmdNueva_Click()
{
    if (!primera_.isEmpty()) sql = primera_;
    Form_Load();
    if (!CmbSearch.isEmpty()) CmbSearch.first()->setFocus(Qt::OtherFocusReason);
}

void Lib_FrmCons3::CmdNuevo_Click()
{
    QString programa = QStringLiteral("SHELL:V_TA_TABLAS");
    QString parametro = tabla_;
    if (rt::Iguales(tabla_, QStringLiteral("VT_CLIENTES"))) {
        programa = QStringLiteral("SHELL:V_MA_CLIENTES");
        parametro = QStringLiteral("1");
    } else if (rt::Iguales(tabla_, QStringLiteral("VT_PROVEEDORES"))) {
        programa = QStringLiteral("SHELL:V_MA_CLIENTES");
        parametro = QStringLiteral("0");
    } else if (rt::Iguales(tabla_, QStringLiteral("V_TA_Tecnicos"))) {
        programa = QStringLiteral("SHELL:V_TA_Tecnicos");
        parametro.clear();
    } else if (rt::Iguales(tabla_, QStringLiteral("V_TA_VENDEDORES"))) {
        programa = QStringLiteral("SHELL:V_TA_VENDEDORES");
        parametro.clear();
    } else if (rt::Iguales(tabla_, QStringLiteral("V_MA_ARTICULOS")) || rt::Iguales(tabla_, QStringLiteral("VT_MA_ARTICULOS"))) {
        programa = QStringLiteral("SHELL:V_MA_ARTICULOS");
        parametro.clear();
    }
    long long tarea = 0;
    CNStuffContable::EjecutaModulo(programa, parametro, tarea);
}

void Lib_FrmCons3::CmdTodos_Click()
{
    modelo_->InvierteMarcas();
}

void Lib_FrmCons3::MNU_Llena_Click()
{
    if (cajaActual_ < 0 || cajaActual_ >= CmbSearch.size() || cajaActual_ >= modelo_->columnCount()) return;
    // The values of the box's column, to pick from its drop-down list.
    QStringList valores;
    QSet<QString> vistos;
    for (int i = 0; i < modelo_->rowCount() && valores.size() < 500; ++i) {
        const QString v = modelo_->Texto(i, cajaActual_).trimmed();
        if (v.isEmpty() || vistos.contains(v.toLower())) continue;
        vistos.insert(v.toLower());
        valores.append(v);
    }
    valores.sort(Qt::CaseInsensitive);
    QComboBox* caja = CmbSearch.at(cajaActual_);
    const QSignalBlocker quieto(caja);
    const QString texto = caja->currentText();
    caja->clear();
    caja->addItems(valores);
    caja->setEditText(texto);
}

void Lib_FrmCons3::Form_Unload()
{
    if (GrabarCfg && !tabla_.isEmpty() && picFields->count() > 0) {
        QList<int> anchos;
        for (int i = 0; i < picFields->count(); ++i) anchos.append(Twips(picFields->sectionSize(i)));
        QString error;
        if (!ConsultasLen::Graba(RtArchivos::CarpetaParaGrabar(QStringLiteral("CONSULTASLEN.VRL")), tabla_, anchos, &error))
            rt::operador().MsgBox(error, rt::vbExclamation, QStringLiteral("Aviso al Operador"));
    }
    modelo_->Limpia();
}

bool Lib_FrmCons3::eventFilter(QObject* objeto, QEvent* evento)
{
    const QEvent::Type tipo = evento->type();
    if (tipo == QEvent::KeyPress) {
        auto* e = static_cast<QKeyEvent*>(evento);
        if (e->key() == Qt::Key_F12) {
            InformaFaltante();
            return true;
        }
        if (objeto == ListView1) return ListView1_KeyDown(e);
        const int i = CmbSearch.indexOf(qobject_cast<QComboBox*>(objeto));
        if (i >= 0) return teclaDeCaja(i, e);
        return false;
    }
    if (tipo == QEvent::FocusIn || tipo == QEvent::FocusOut) {
        const int i = CmbSearch.indexOf(qobject_cast<QComboBox*>(objeto));
        if (i >= 0) {
            QComboBox* c = CmbSearch.at(i);
            QPalette p = c->palette();
            p.setColor(QPalette::Base, tipo == QEvent::FocusIn ? QColor(0, 255, 255) : QColor(Qt::white));
            c->setPalette(p);
            if (tipo == QEvent::FocusIn) {
                cajaActual_ = i;
                lblFieldName->setText(columnasCajas_.value(i));
            }
        }
    }
    return QDialog::eventFilter(objeto, evento);
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
