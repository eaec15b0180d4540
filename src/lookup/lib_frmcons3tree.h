#pragma once
// The tree lookup window: the rows of a statement as a tree of codes (the
// family view's parent links come from the database, every other statement's
// from code prefixes); returns the chosen node's value, or the ticked ones.
#include "lib_frmcons3.h"  // Coleccion

#include <QDialog>
#include <QString>

class ModeloArbol;
class QComboBox;
class QLabel;
class QPushButton;
class QTreeView;

class Lib_FrmCons3Tree : public QDialog {
    Q_OBJECT
public:
    explicit Lib_FrmCons3Tree(QWidget* parent = nullptr);
    ~Lib_FrmCons3Tree() override;

    // Properties the request sets before showing the window, and reads after.
    QString sql;
    QString CampoDevuelto;
    bool CheckBoxes = false;
    QString ValorDevuelto;
    Coleccion Valores;
    Coleccion CmpsDevueltos;

    /// The nodes. The controls are the window's own, reached by their object
    /// names ("TreeV", "CmbSearch_0", "CmdAceptar"...).
    ModeloArbol* Modelo() const { return modelo_; }

    /// The family statement, with its parent code as third column.
    static QString SentenciaFamilias();

    /// Builds the tree from `sql`; showing the window does it when nobody did.
    void Form_Load();
    bool Cargada() const { return cargada_; }
    void ArmarTreeVFamilias();
    void ArmarTreeVAutomatico();
    /// Removes every node.
    void Form_Unload();

    // Handlers, callable as the events would call them.
    void CmbSearch_Change();
    void BusquedaFiltrada();
    void CmdAceptar_Click();
    void cmdCancelar_Click();
    void CmdNueva_Click();

    /// Node number of the selected node; -1 when none.
    int NodoSeleccionado() const;
    void SeleccionaNodo(int nodo);

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;
    void showEvent(QShowEvent* evento) override;
    void reject() override;

private:
    QTreeView* TreeV = nullptr;
    QComboBox* CmbSearch = nullptr;
    QPushButton* CmdAceptar = nullptr;
    QPushButton* cmdCancelar = nullptr;
    QPushButton* CmdNueva = nullptr;
    QLabel* lblSinCoincidencias = nullptr;

    void construye();
    /// Tells (or stops telling) that the search text matches no node.
    void avisaSinCoincidencias(bool sinCoincidencias);
    void arma();
    QString valorDeTabla(const QString& tabla, const QString& codigo, const QString& campo, bool* hallado);

    ModeloArbol* modelo_ = nullptr;
    bool cargada_ = false;
    bool mostrada_ = false;
};
