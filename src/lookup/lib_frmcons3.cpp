// The list lookup window: loading the statement, reading its rows, the
// search over them, and the buttons that end the lookup. Keys, layout,
// quantity mode and the stock report live in the lib_frmcons3_*.cpp files.
#include "lib_frmcons3.h"

#include "cabecera_busqueda.h"
#include "consultaslen.h"
#include "lib_frmcons3_interno.h"
#include "modelo_consulta.h"
#include "sentencias.h"

#include "data/db_dll.h"
#include "runtime/operador.h"
#include "runtime/protocolo.h"
#include "runtime/rtarchivos.h"
#include "runtime/rttexto.h"
#include "runtime/texto.h"
#include "session/cnstuff.h"

#include <QApplication>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSet>
#include <QTableView>

using adodb::Variant;
using frmcons3::Informe;
using frmcons3::kCantidad;

namespace {

// The word after the first "from": the table the lookup shows.
QString TablaDeSentencia(const QString& sentencia)
{
    static const QRegularExpression re(QStringLiteral("\\bfrom\\s+([^\\s,()]+)"), QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = re.match(sentencia);
    return m.hasMatch() ? m.captured(1) : QString();
}

int IndiceCampo(const std::vector<adodb::ColumnInfo>& columnas, const QString& nombre)
{
    for (size_t i = 0; i < columnas.size(); ++i)
        if (rt::Iguales(columnas[i].name, nombre)) return static_cast<int>(i);
    return -1;
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

}  // namespace

Lib_FrmCons3::Lib_FrmCons3(QWidget* parent) : QDialog(parent)
{
    construye();
}

Lib_FrmCons3::~Lib_FrmCons3() = default;
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
        avisaSinCoincidencias(-1, false);
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
        if (ordenada_)
            ordenaSiCorresponde();
        else
            ordenaComoLaSentencia();
    });
    p.paso([&] {
        if (modelo_->rowCount() > 0) SeleccionaFila(0);
    });
    p.paso([&] {
        muestraFiltro();
        avisaSinCoincidencias(-1, false);
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

void Lib_FrmCons3::Leer(long, long)
{
    const auto& campos = rs_.columns();
    const size_t nc = campos.size();
    if (rs_.State() != adodb::adStateOpen || nc == 0) return;
    const long nf = rs_.RecordCount();
    const int iPunto = IndiceCampo(campos, QStringLiteral("PUNTOPEDIDO"));
    const int iStock = IndiceCampo(campos, QStringLiteral("Stock"));
    const int iDevuelto = IndiceColumna(CampoDevuelto) - 1;
    const bool colorea = preparaColoresStock(iPunto >= 0 && iStock >= 0);
    const QSet<QString> porDefecto = CheckBoxes && iDevuelto >= 0 ? ValoresPorDefecto(ValoresDefault) : QSet<QString>();
    std::vector<QString> celdas;
    celdas.reserve(static_cast<size_t>(nf) * nc);
    std::vector<ModeloConsulta::Fila> filas(static_cast<size_t>(nf));
    // The first column is listed trimmed: whether the suite stored it
    // right-aligned (padded) is seen here or never.
    bool primeraRellena = false;
    for (long r = 0; r < nf; ++r) {
        const size_t fila = static_cast<size_t>(r);
        ++filasLeidas_;
        QString primera = RtTexto::ValorCampo(rs_.cell(fila, 0));
        if (!primeraRellena && !primera.isEmpty() && primera.at(0) == u' ') primeraRellena = true;
        celdas.push_back(std::move(primera).trimmed());
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
    std::vector<bool> tipos(nc);
    for (size_t c = 0; c < nc; ++c) tipos[c] = adodb::IsNumericType(campos[c].type);
    modelo_->FijaPistasNumericas(std::move(tipos), primeraRellena);
}

void Lib_FrmCons3::ordenaComoLaSentencia()
{
    // The statement's own order, with its codes as numbers: a server orders
    // "  10" before "2" when another program stored that code unpadded.
    const qsizetype corte = Sentencias::Clausula(actual_, QStringLiteral("order by"));
    if (corte < 0) return;
    const QString clave = actual_.mid(corte + 8).section(u',', 0, 0).trimmed();
    static const QRegularExpression blancos(QStringLiteral("\\s+"));
    const QStringList partes = clave.split(blancos, Qt::SkipEmptyParts);
    if (partes.isEmpty()) return;
    QString nombre = partes.first().section(u'.', -1);
    nombre.remove(u'[').remove(u']').remove(u'"');
    bool esPosicion = false;
    const int posicion = nombre.toInt(&esPosicion);
    const int columna = esPosicion ? posicion - 1 : IndiceColumna(nombre) - 1;
    if (!modelo_->Numerica(columna)) return;
    const bool descendente = partes.size() > 1 && rt::Iguales(partes.at(1), QStringLiteral("DESC"));
    modelo_->sort(columna, descendente ? Qt::DescendingOrder : Qt::AscendingOrder);
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

void Lib_FrmCons3::CmdAceptar_Click()
{
    // Nothing on the list matched what was typed: Enter must not close with a
    // row the operator did not choose. The notice already says why; F5, a
    // click or the arrows choose one.
    if (!CheckBoxes && FilaSeleccionada() < 0 && modelo_->rowCount() > 0 && !lblSinCoincidencias->text().isEmpty()) {
        QApplication::beep();
        return;
    }
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
    filtros_.clear();
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
