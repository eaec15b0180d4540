#pragma once
// The list lookup window: the rows of a statement in a report list with one
// search box under each column header; returns the accepted row, or the
// ticked rows and their quantities, to the lookup request.
#include "adodb/recordset.h"
#include "adodb/variant.h"

#include <QDialog>
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>

class CabeceraBusqueda;
class ModeloConsulta;
class QAction;
class QComboBox;
class QKeyEvent;
class QLabel;
class QMenu;
class QPushButton;
class QTableView;
class DB_Dll;

/// A collection of the suite's kind: no collection at all (null) is a
/// different answer from an empty one.
using Coleccion = std::shared_ptr<QStringList>;
inline Coleccion NuevaColeccion()
{
    return std::make_shared<QStringList>();
}

class Lib_FrmCons3 : public QDialog {
    Q_OBJECT
public:
    explicit Lib_FrmCons3(QWidget* parent = nullptr);
    ~Lib_FrmCons3() override;

    // Properties the request sets before showing the window.
    adodb::Variant StkNivel1, StkNivel2, StkNivel3, StkNivel4;
    QString MuestraStock;
    QString sql;
    QString CampoDevuelto;
    Coleccion CmpsDevueltos;
    bool CheckBoxes = false;
    QString gConnString;
    QString ValorDevuelto;
    QString FiltroInicial;
    QString CampoBusqueda;
    bool OrdenarPorLwv = false;
    Coleccion Valores, Cantidades;
    bool UsaCantidades = false;
    QString ValoresDefault;
    bool CfgUsaConsultaLIKE = false;
    /// Widths are saved on close unless a caller turns it off.
    bool GrabarCfg = true;
    bool UsarUDBC = false;

    /// The rows on the list. The controls are the window's own, reached by
    /// their object names ("ListView1", "picFields", "CmbSearch_0".., "CmdAceptar"...).
    ModeloConsulta* Modelo() const { return modelo_; }

    /// Fills the window from `sql`; showing the window does it when nobody did.
    void Form_Load();
    bool Cargada() const { return cargada_; }
    /// Saves the widths (when GrabarCfg) and empties the list.
    void Form_Unload();

    /// A one-column pick list of texts not read from the database, titled
    /// `titulo` (`marcas` gives each row's first tick in check-box mode), and
    /// the window `twips` wide.
    void CargaOpciones(const QString& titulo, const QStringList& textos, const QList<bool>& marcas, int twips);
    /// The width the option list asked for, in pixels (0: the columns decide).
    int AnchoPedido() const { return anchoFijo_; }

    void Encolumnar();
    void Leer(long Cdesde, long Cuantas);
    void CalcularAncho();
    /// 1-based list position of the first row whose cell in column `QueValor`
    /// (0-based) begins with `Clave`, blanks trimmed and case ignored; 0 if none.
    int Busqueda(const QString& Clave, int QueValor) const;
    /// 1-based position of the header named `Columna`; 0 when there is none.
    int IndiceColumna(const QString& Columna) const;

    // Handlers, callable as the events would call them.
    void CmbSearch_Change(int Index);
    void ListView1_ColumnClick(int Columna);
    void BuscaEnServidor(int Index);
    /// True when the key was the list's to handle.
    bool ListView1_KeyDown(QKeyEvent* e);
    void InformaFaltante();
    void CmdAceptar_Click();
    void cmdCancelar_Click();
    void CmdNueva_Click();
    void CmdNuevo_Click();
    void CmdTodos_Click();
    void MNU_Llena_Click();

    // State the window keeps.
    QString SentenciaActual() const { return actual_; }
    QString Tabla() const { return tabla_; }
    int CajaActual() const { return cajaActual_; }
    long FilasLeidas() const { return filasLeidas_; }
    /// 0-based list position of the selected row; -1 when none.
    int FilaSeleccionada() const;
    void SeleccionaFila(int fila, int columna = 0);
    Qt::SortOrder Orden() const { return orden_; }
    /// The value of a column of a row: the item text for the first column,
    /// the sub-item otherwise; "" with `existe` false when there is no such column.
    QString ValorColumna(int fila, const QString& columna, bool* existe = nullptr) const;

    /// Twips (1440 an inch) and pixels at the screen's logical resolution.
    int Pixeles(double twips) const;
    int Twips(int pixeles) const;

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;
    void showEvent(QShowEvent* evento) override;
    void reject() override;

private:
    // Controls.
    QTableView* ListView1 = nullptr;
    CabeceraBusqueda* picFields = nullptr;  ///< the header that carries the search boxes
    QList<QComboBox*> CmbSearch;
    QLabel* lblConsulta = nullptr;
    QLabel* lblFieldName = nullptr;
    QLabel* lblSinCoincidencias = nullptr;
    QLabel* lblFiltro = nullptr;
    QPushButton* CmdAceptar = nullptr;
    QPushButton* cmdCancelar = nullptr;
    QPushButton* CmdNueva = nullptr;
    QPushButton* CmdNuevo = nullptr;
    QPushButton* CmdTodos = nullptr;
    QMenu* MNU_Emergente = nullptr;
    QAction* MNU_Llena = nullptr;
    QAction* MNU_Cancelar = nullptr;

    void construye();
    void preparaCajas(const QStringList& columnas);
    void cargaAnchos();
    bool teclaDeCaja(int Index, QKeyEvent* e);
    /// Tells (or stops telling) that the text of box `Index` matches no row;
    /// otherwise, that the database search left no row.
    void avisaSinCoincidencias(int Index, bool sinCoincidencias);
    /// Shows over the list the conditions F5 added to the statement.
    void muestraFiltro();
    void cambiaCantidad(int fila, int columna, int tecla);
    /// Gives the list the stock level colours when they are to be shown; true then.
    bool preparaColoresStock(bool hayColumnas);
    void ordenaSiCorresponde();
    void ordenaComoLaSentencia();
    DB_Dll& conexion();

    ModeloConsulta* modelo_ = nullptr;
    adodb::Recordset rs_;
    std::unique_ptr<DB_Dll> udbc_;
    QString actual_, primera_, tabla_;
    QStringList columnasCajas_;
    /// The conditions F5 added since the first statement, as the operator reads them.
    QStringList filtros_;
    bool articulos_ = false;
    bool cargada_ = false;
    bool ordenada_ = false;
    bool mostrada_ = false;
    int anchoFijo_ = 0;  // pixels; 0 lets the columns decide
    int claveOrden_ = 0;
    Qt::SortOrder orden_ = Qt::AscendingOrder;
    int cajaActual_ = 0;
    long filasLeidas_ = 0;
};
