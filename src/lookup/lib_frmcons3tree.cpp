#include "lib_frmcons3tree.h"

#include "modelo_arbol.h"
#include "sentencias.h"

#include "data/db_dll.h"
#include "runtime/boton_enfocado.h"
#include "runtime/operador.h"
#include "runtime/protocolo.h"
#include "runtime/rttexto.h"
#include "runtime/texto.h"
#include "runtime/ventanas.h"
#include "session/cnstuff.h"

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHash>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

int Informe(const adodb::Error& e, const char* rutina)
{
    return CNStuffContable::ReportaError(e, {}, QString::fromLatin1(rutina));
}

QString Texto(const adodb::Variant& v)
{
    return RtTexto::ValorCampo(v).trimmed();
}

}  // namespace

Lib_FrmCons3Tree::Lib_FrmCons3Tree(QWidget* parent) : QDialog(parent)
{
    construye();
}

Lib_FrmCons3Tree::~Lib_FrmCons3Tree() = default;

QString Lib_FrmCons3Tree::SentenciaFamilias()
{
    return QStringLiteral("SELECT     TOP 100 PERCENT IdFamilia, Descripcion, ") +
           QStringLiteral("(SELECT     TOP 1 idfamilia FROM @Admin_v_ta_familias a  ") +
           QStringLiteral(
               " Where a.IdFamilia < b.IdFamilia And (Len(LTrim(RTrim(a.IdFamilia))) < Len(LTrim(RTrim(b.IdFamilia)))) ") +
           QStringLiteral(
               " ORDER BY idfamilia DESC) AS [relative] FROM dbo.V_TA_FAMILIAS b Where IdFamilia<>'' ORDER BY IdFamilia");
}

void Lib_FrmCons3Tree::construye()
{
    setObjectName(QStringLiteral("Lib_FrmCons3Tree"));
    setWindowTitle(QStringLiteral("Consulta..."));
    setSizeGripEnabled(true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    modelo_ = new ModeloArbol(this);
    TreeV = new QTreeView(this);
    TreeV->setObjectName(QStringLiteral("TreeV"));
    TreeV->setModel(modelo_);
    TreeV->setHeaderHidden(true);
    TreeV->setRootIsDecorated(true);
    TreeV->setUniformRowHeights(true);  // a tall tree lays out without measuring every row
    TreeV->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TreeV->setSelectionMode(QAbstractItemView::SingleSelection);
    connect(TreeV, &QTreeView::doubleClicked, this, [this](const QModelIndex& i) {
        if (i.isValid()) CmdAceptar_Click();
    });

    CmbSearch = new QComboBox(this);
    CmbSearch->setObjectName(QStringLiteral("CmbSearch_0"));
    CmbSearch->setEditable(true);
    CmbSearch->setInsertPolicy(QComboBox::NoInsert);
    CmbSearch->setCompleter(nullptr);
    CmbSearch->setToolTip(QStringLiteral("F5 realiza nueva busqueda"));
    CmbSearch->installEventFilter(this);
    CmbSearch->lineEdit()->installEventFilter(this);
    connect(CmbSearch, &QComboBox::editTextChanged, this, [this] { CmbSearch_Change(); });

    lblSinCoincidencias = new QLabel(this);
    lblSinCoincidencias->setObjectName(QStringLiteral("lblSinCoincidencias"));
    // A style sheet of its own: the skin's sheet would override a palette.
    lblSinCoincidencias->setStyleSheet(QStringLiteral("QLabel { color: #be0000; font-weight: bold; }"));
    lblSinCoincidencias->setWordWrap(true);

    CmdAceptar = new QPushButton(QStringLiteral("&Aceptar"), this);
    cmdCancelar = new QPushButton(QStringLiteral("&Cancelar"), this);
    CmdNueva = new QPushButton(QStringLiteral("&Nueva Busqueda"), this);
    CmdAceptar->setObjectName(QStringLiteral("CmdAceptar"));
    cmdCancelar->setObjectName(QStringLiteral("cmdCancelar"));
    CmdNueva->setObjectName(QStringLiteral("CmdNueva"));
    for (QPushButton* b : {cmdCancelar, CmdNueva}) b->setAutoDefault(false);
    CmdAceptar->setDefault(true);
    connect(CmdAceptar, &QPushButton::clicked, this, &Lib_FrmCons3Tree::CmdAceptar_Click);
    connect(cmdCancelar, &QPushButton::clicked, this, &Lib_FrmCons3Tree::cmdCancelar_Click);
    connect(CmdNueva, &QPushButton::clicked, this, &Lib_FrmCons3Tree::CmdNueva_Click);

    auto* botones = new QHBoxLayout;
    botones->addWidget(CmdAceptar);
    botones->addWidget(cmdCancelar);
    botones->addStretch(1);
    botones->addWidget(CmdNueva);
    auto* todo = new QVBoxLayout(this);
    // Tab goes as the controls stand: the box, the tree, the buttons.
    setTabOrder(CmbSearch, TreeV);
    setTabOrder(TreeV, CmdAceptar);
    setTabOrder(CmdAceptar, cmdCancelar);
    setTabOrder(cmdCancelar, CmdNueva);
    todo->addWidget(CmbSearch);
    todo->addWidget(TreeV, 1);
    todo->addWidget(lblSinCoincidencias);
    todo->addLayout(botones);
    resize(480, 520);
    rt::EnterPulsaElBotonEnfocado(this);
}

void Lib_FrmCons3Tree::Form_Load()
{
    cargada_ = true;
    rt::Protocolo p([](const adodb::Error& e) { return Informe(e, "FORM_LOAD"); });
    p.paso([&] {
        Valores = NuevaColeccion();
        avisaSinCoincidencias(false);
    });
    p.paso([&] {
        modelo_->Limpia();
        modelo_->FijaCasillas(CheckBoxes);
    });
    p.paso([&] { arma(); });
}

void Lib_FrmCons3Tree::arma()
{
    if (rt::Contiene(sql, QStringLiteral("v_ta_familias")))
        ArmarTreeVFamilias();
    else
        ArmarTreeVAutomatico();
    TreeV->expand(modelo_->Indice(0));
    // Something is always chosen: Enter before any search takes the root, which returns no code.
    SeleccionaNodo(0);
}

void Lib_FrmCons3Tree::ArmarTreeVFamilias()
{
    rt::Protocolo p([](const adodb::Error& e) { return Informe(e, "ArmarTreeVFamilias"); });
    modelo_->Limpia();
    sql = SentenciaFamilias();
    adodb::Recordset rs;
    QString sentencia = sql;
    if (!p.paso([&] {
            DB().AbrirRecordset(sentencia, rs, nullptr, adodb::adOpenForwardOnly, adodb::adLockReadOnly, adodb::adCmdUnknown,
                                true);
        }))
        return;
    if (rs.State() != adodb::adStateOpen || rs.columns().size() < 3) return;

    std::vector<ModeloArbol::Nodo> nodos;
    nodos.push_back(modelo_->NodoN(0));
    QHash<QString, int> porCodigo;
    const long filas = rs.RecordCount();
    for (long r = 0; r < filas && !p.abortado(); ++r) {
        const size_t f = static_cast<size_t>(r);
        p.paso([&] {
            const QString codigo = Texto(rs.cell(f, 0));
            const adodb::Variant& relativo = rs.cell(f, 2);
            int padre = 0;
            if (!relativo.isNull() && !Texto(relativo).isEmpty()) {
                const auto i = porCodigo.constFind(ModeloArbol::ClaveDe(Texto(relativo)));
                if (i == porCodigo.constEnd())
                    throw adodb::AdoException(35601, QStringLiteral("No se encontró el elemento A") + Texto(relativo),
                                              QStringLiteral("TreeView"));
                padre = i.value();
            }
            ModeloArbol::Nodo n;
            n.codigo = codigo;
            n.texto = codigo + QStringLiteral(" - ") + Texto(rs.cell(f, 1));
            n.padre = padre;
            ModeloArbol::Nodo& dePadre = nodos[static_cast<size_t>(padre)];
            n.fila = static_cast<int>(dePadre.hijos.size());
            dePadre.hijos.push_back(static_cast<int>(nodos.size()));
            porCodigo.insert(ModeloArbol::ClaveDe(codigo), static_cast<int>(nodos.size()));
            nodos.push_back(std::move(n));
        });
    }
    DB().CierraRecordset(rs);
    modelo_->Carga(std::move(nodos));
}

void Lib_FrmCons3Tree::ArmarTreeVAutomatico()
{
    rt::Protocolo p([](const adodb::Error& e) { return Informe(e, "ArmarTreeVAutomatico"); });
    modelo_->Limpia();
    adodb::Recordset rs;
    QString sentencia = sql;
    if (!p.paso([&] {
            DB().AbrirRecordset(sentencia, rs, nullptr, adodb::adOpenForwardOnly, adodb::adLockReadOnly, adodb::adCmdUnknown,
                                true);
        }))
        return;
    if (rs.State() != adodb::adStateOpen || rs.columns().empty()) return;
    std::vector<ModeloArbol::Fila> filas;
    p.paso([&] {
        const long n = rs.RecordCount();
        const bool descripcion = rs.columns().size() > 1;
        filas.reserve(static_cast<size_t>(n));
        for (long r = 0; r < n; ++r)
            filas.push_back(
                {Texto(rs.cell(static_cast<size_t>(r), 0)), descripcion ? Texto(rs.cell(static_cast<size_t>(r), 1)) : QString()});
    });
    DB().CierraRecordset(rs);
    p.paso([&] { modelo_->CargaPorPrefijo(filas); });
}

void Lib_FrmCons3Tree::CmbSearch_Change()
{
    const QString buscado = CmbSearch->currentText().trimmed();
    for (int n = 0; n < modelo_->Nodos(); ++n) {
        const QString& texto = modelo_->NodoN(n).texto;
        const qsizetype guion = texto.indexOf(u'-');
        const QStringView codigo = guion < 0 ? QStringView() : QStringView(texto).left(guion).trimmed();
        const QStringView descripcion = guion < 0 ? QStringView(texto).trimmed() : QStringView(texto).mid(guion + 1).trimmed();
        if (codigo.startsWith(buscado, Qt::CaseInsensitive) || descripcion.startsWith(buscado, Qt::CaseInsensitive)) {
            SeleccionaNodo(n);
            avisaSinCoincidencias(false);
            return;
        }
    }
    // The node left highlighted would be returned by Enter as if it matched.
    TreeV->selectionModel()->clearSelection();
    avisaSinCoincidencias(true);
}

void Lib_FrmCons3Tree::avisaSinCoincidencias(bool sinCoincidencias)
{
    lblSinCoincidencias->setText(
        sinCoincidencias
            ? QStringLiteral("Ningún código ni descripción comienza con lo escrito. F5 lo busca en la base de datos.")
            : QString());
    QPalette p = CmbSearch->palette();
    p.setColor(QPalette::Text, sinCoincidencias ? QColor(190, 0, 0) : QApplication::palette(CmbSearch).color(QPalette::Text));
    CmbSearch->setPalette(p);
}

void Lib_FrmCons3Tree::BusquedaFiltrada()
{
    sql = Sentencias::SentenciaArbol(sql, CmbSearch->currentText());
    {
        const QSignalBlocker quieto(CmbSearch);
        CmbSearch->setEditText(QString());
    }
    Form_Load();
}

int Lib_FrmCons3Tree::NodoSeleccionado() const
{
    const QModelIndexList s = TreeV->selectionModel()->selectedIndexes();
    return s.isEmpty() ? -1 : modelo_->NodoDe(s.first());
}

void Lib_FrmCons3Tree::SeleccionaNodo(int nodo)
{
    const QModelIndex i = modelo_->Indice(nodo);
    if (!i.isValid()) return;
    TreeV->selectionModel()->setCurrentIndex(i, QItemSelectionModel::ClearAndSelect);
    TreeV->scrollTo(i);
}

QString Lib_FrmCons3Tree::valorDeTabla(const QString& tabla, const QString& codigo, const QString& campo, bool* hallado)
{
    adodb::Recordset rs;
    *hallado = DB().ExisteEnTabla(tabla, codigo, campo, &rs, adodb::adBSTR, {}, true);
    QString valor;
    // The column is read under the name the caller gave.
    if (*hallado) valor = RtTexto::ValorCampo(rs[CampoDevuelto]);
    DB().CierraRecordset(rs);
    return valor;
}

void Lib_FrmCons3Tree::CmdAceptar_Click()
{
    // Nothing matched what was typed: Enter must not close with a node the
    // operator did not choose (the notice says why).
    if (!CheckBoxes && NodoSeleccionado() < 0 && !lblSinCoincidencias->text().isEmpty()) {
        QApplication::beep();
        return;
    }
    rt::Protocolo p([](const adodb::Error& e) { return Informe(e, "CmdAceptar_Click"); });
    const QString campo = CampoDevuelto.trimmed();
    const bool familia = rt::Iguales(campo, QStringLiteral("IDFAMILIA"));
    const bool posicion = rt::Iguales(campo, QStringLiteral("IDPOSICION"));
    const bool codigo = rt::Iguales(campo, QStringLiteral("CODIGO"));
    if (!Valores) Valores = NuevaColeccion();
    if (CheckBoxes) {
        // The root is no row of the statement: only the nodes under it give values.
        for (int n = 1; n < modelo_->Nodos() && !p.abortado(); ++n) {
            if (!modelo_->NodoN(n).marcado) continue;
            const QString clave = modelo_->NodoN(n).codigo;
            p.paso([&] {
                if (familia || codigo) {
                    Valores->append(clave.trimmed());
                } else if (posicion) {
                    bool hallado = false;
                    const QString v =
                        valorDeTabla(QStringLiteral("MA_POSICIONES"), clave, QStringLiteral("IDPOSICION"), &hallado);
                    if (hallado) Valores->append(v);
                }
            });
        }
    } else {
        p.paso([&] {
            const int n = NodoSeleccionado();
            if (n < 0)
                throw adodb::AdoException(91, QStringLiteral("No hay un elemento seleccionado"), QStringLiteral("TreeView"));
            const QString clave = modelo_->NodoN(n).codigo;
            bool hallado = false;
            if (familia) {
                const QString v =
                    valorDeTabla(QStringLiteral("@admin_V_TA_FAMILIAS"), clave, QStringLiteral("IDFAMILIA"), &hallado);
                ValorDevuelto = hallado ? v : QString();
            } else if (posicion) {
                const QString v = valorDeTabla(QStringLiteral("MA_POSICIONES"), clave, QStringLiteral("IDPOSICION"), &hallado);
                ValorDevuelto = hallado ? v : QString();
            } else if (codigo) {
                QString v = valorDeTabla(QStringLiteral("TA_CCOSTO"), clave, QStringLiteral("CODIGO"), &hallado);
                if (!hallado) v = valorDeTabla(QStringLiteral("MA_CUENTAS"), clave, QStringLiteral("CODIGO"), &hallado);
                ValorDevuelto = hallado ? v : QString();
            }
        });
    }
    QDialog::accept();
}

void Lib_FrmCons3Tree::cmdCancelar_Click()
{
    ValorDevuelto.clear();
    CmpsDevueltos.reset();
    Valores.reset();
    QDialog::reject();
}

void Lib_FrmCons3Tree::reject()
{
    cmdCancelar_Click();
}

void Lib_FrmCons3Tree::CmdNueva_Click()
{
    arma();
}

void Lib_FrmCons3Tree::Form_Unload()
{
    modelo_->Limpia();
}

bool Lib_FrmCons3Tree::eventFilter(QObject* objeto, QEvent* evento)
{
    const bool caja = objeto == CmbSearch || objeto == CmbSearch->lineEdit();
    if (caja && evento->type() == QEvent::KeyPress) {
        auto* e = static_cast<QKeyEvent*>(evento);
        switch (e->key()) {
        case Qt::Key_F5: BusquedaFiltrada(); return true;
        case Qt::Key_Return:
        case Qt::Key_Enter: CmdAceptar_Click(); return true;
        case Qt::Key_Down:
        case Qt::Key_Up:
        case Qt::Key_PageDown:
        case Qt::Key_PageUp: TreeV->setFocus(Qt::OtherFocusReason); return true;
        default: break;
        }
    }
    if (caja && evento->type() == QEvent::MouseButtonPress) CmbSearch_Change();
    return QDialog::eventFilter(objeto, evento);
}

void Lib_FrmCons3Tree::showEvent(QShowEvent* evento)
{
    if (!cargada_) Form_Load();
    QDialog::showEvent(evento);
    if (mostrada_) return;
    mostrada_ = true;
    rt::AjustaVentana(this, true);
    CmbSearch->setFocus(Qt::OtherFocusReason);
}
