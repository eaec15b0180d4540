#pragma once
// The main window: maintenance of the copy-book titles (TA_TITCOPIADORES).
// One title at a time in four boxes and a check list of voucher types, driven
// by the command words of its toolbar.
#include "data/errores.h"
#include "titles/titulos.h"

#include <QList>
#include <QMainWindow>
#include <QString>
#include <array>
#include <functional>
#include <memory>

class CNDLL;
class RtPlanilla;
class RtReporte;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QToolButton;
class UtilVarn;

class frmTA_TITCOPIADORES : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int kCampos = 4;
    /// Width at which title codes are stored; a longer code would be cut and
    /// land on another title.
    static constexpr int kAnchoCodigo = titulos::kAnchoCodigo;

    explicit frmTA_TITCOPIADORES(QWidget* parent = nullptr);
    ~frmTA_TITCOPIADORES() override;

    // What the window shows. The controls themselves are its own: they are
    // reached by their object names ("txtfields0".."txtfields3", "LstCpte",
    // "CmdTodos", "CmdRep", "CmdVarias", "UtilVarn1") as any automation would.
    /// What the title on screen is; one value, so that "new", "read from the
    /// table" and "delete confirmed" can never hold at once.
    enum class Estado { Ninguno, Nuevo, Existente, Baja };
    Estado EstadoTitulo() const { return estado_; }
    bool EsNuevo() const { return estado_ == Estado::Nuevo; }
    bool EsExistente() const { return estado_ == Estado::Existente; }
    bool EsBaja() const { return estado_ == Estado::Baja; }
    /// The title on screen differs from what is stored.
    bool Modificado() const { return modificado_; }
    /// The last box checked was refused.
    bool HayError() const { return hayError_; }
    /// 0-based index of the box being edited.
    int CampoActual() const { return campoActual_; }
    int NumeroSkin() const { return numeroSkin_; }
    /// The skin file applied, empty when none was found.
    QString ArchivoSkin() const { return archivoSkin_; }
    /// The code box holds the focus, or could take it: the window is ready for typing.
    bool ListoParaEscribir() const;

    /// Lookup by table name; returns the chosen key ("" when nothing was chosen).
    /// Unset, the operator is asked for the key in an input box.
    std::function<QString(const QString& tabla)> ConsultarTabla;

    // Start-up.
    /// The whole load: session start-up, then CargaVentana. False when the
    /// session could not be opened: the program must end.
    bool Form_Load(const QString& lineaComandos);
    /// The load after the session is open: skin, window set-up, icon, table,
    /// account structure, first row, a new title proposed, voucher list.
    void CargaVentana();
    void CargarSkin();
    void PreparaFormulario();

    // Record and editing cycle. What is stored, and how, is the title store's
    // (titles/titulos.h); the window maps its boxes to a Titulo and back.
    /// The boxes and the marks as one title.
    Titulo TituloEnPantalla() const;
    /// Shows a stored title: the boxes, its marks, and the window in the "read from the table" state.
    void MuestraRegistro(const Titulo& t);
    void Inicializa();
    void InicializaDetalle();
    void DetalleOn(bool Off);
    /// Saves, replaces or deletes according to the flags; true when the title
    /// was stored (or deleted).
    bool GrabaRegistro();
    void ConsultaCampo();
    void UtilVarn1_click(const QString& BTag);
    void Form_KeyDown(int KeyCode, int Shift);
    void Form_Unload();
    void Reporte();
    void Planilla();
    void CmdRep_Click();
    void CmdVarias_Click();
    /// The ledger accounts outside every title's range that are not headings:
    /// an SQL condition (SqlDB) or a report selection formula.
    QString Cuentas_Varias_de_Mayor(bool SqlDB, bool FormCuentas);
    /// When not empty, the four outputs are written to this file (PDF for the
    /// reports, XLSX or CSV for the data sheets) instead of being shown.
    QString ArchivoSalida;
    /// The report and data-sheet components, created on first use.
    RtReporte& Reportes();
    RtPlanilla& Planillas();

    // Field entry and validation.
    void txtfields_GotFocus(int Index);
    void txtfields_LostFocus(int Index);
    int txtfields_KeyPress(int Index, int KeyAscii);
    void txtfields_KeyDown(int Index, int KeyCode, int Shift);
    /// Button as the suite numbers them: 1 left, 2 right.
    void txtfields_MouseDown(int Index, int Button);
    void CampoValida(int Index, const QString& Texto);
    bool Datosvalidos();
    static int ConvierteMayuscula(int KeyAscii);

    // Included voucher types.
    void CargaCpte(const QString& Subdiario = QStringLiteral("*"));
    void CmdTodos_Click();
    static bool ExistePalabra(const QString& Texto, const QString& Palabra, const QString& Separador);
    /// The stored form of the marks: codes of the marked items joined by ",".
    QString CptesMarcados() const;
    /// Marks exactly the items whose code is one of the entries of `TC`.
    void MarcaCptes(const QString& TC);

    /// The accounting-services object, created on first use.
    CNDLL& Contabilidad();

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;
    void closeEvent(QCloseEvent* evento) override;
    void showEvent(QShowEvent* evento) override;

private:
    /// The boxes as the field services take them.
    QList<QLineEdit*> cajas() const;

    // Controls.
    std::array<QLineEdit*, kCampos> txtfields{};
    std::array<QLabel*, kCampos> lblLabels{};
    QGroupBox* fraCpte = nullptr;
    QListWidget* LstCpte = nullptr;
    QPushButton* CmdTodos = nullptr;
    QToolButton* CmdRep = nullptr;
    QToolButton* CmdVarias = nullptr;
    UtilVarn* UtilVarn1 = nullptr;

    // Window state.
    QString NombreTabla;
    Estado estado_ = Estado::Ninguno;
    bool Grabando = false;
    bool modificado_ = false;
    bool hayError_ = false;
    bool rangoAvisado_ = false;  // the range warning was shown for this range's check
    int campoActual_ = 0;
    int numeroSkin_ = 0;
    QString archivoSkin_;

    void construye();
    void instalaVistaPrevia();
    void rechaza(int Index, const QString& mensaje);
    void enfocaCodigo(bool seleccionaTodo);
    QString codigoEnPantalla() const;
    /// Everything the operator can change but the code: the other boxes and the marks.
    QString pantalla() const;

    /// Asks whether to abandon the title being edited; true (and the edit
    /// dropped) on Yes.
    bool ConfirmaAbandono();
    /// Asks before saving over a title that changed since it was shown.
    bool ConfirmaSobreCambioAjeno(const QString& codigo, const titulos::Grabacion& g);
    /// The title's fingerprint (titulos::Huella); empty when it cannot be read now.
    QString HuellaTitulo(const QString& codigo);

    // A save that met a lost link.
    /// After a link lost while committing: true when the commit arrived;
    /// `rehacer` set when it did not and the operator chose Retry.
    bool ConfirmaGrabacion(const adodb::Error& e, bool& rehacer);
    /// Tells the operator, once, that an F2 stored nothing.
    void AvisaSiNoSeGrabo(const errores::Cuenta& antes, bool guardado);
    /// The last commit's link was lost and whether it arrived could not be told.
    bool grabacionIncierta_ = false;

    /// The title's stored rows when the window showed it (HuellaTitulo), and
    /// the code it was shown under: only a change to that title, under that
    /// code, is another operator's.
    QString huellaMostrada_;
    QString codigoMostrado_;
    /// The screen (pantalla()) as the title was shown: a change to it is an edit.
    QString pantallaMostrada_;
    std::unique_ptr<CNDLL> cndll_;
    std::shared_ptr<RtReporte> rtReporte_;
    std::shared_ptr<RtPlanilla> rtPlanilla_;
    bool descargada_ = false;
    bool mostrada_ = false;
};
