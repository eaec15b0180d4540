#pragma once
// The access dialog: the data of a database connection, the connections
// registered on this computer, their registration and the desktop shortcut.
// The logic sits in plain methods that tests call; the widgets only relay.
#include "data/db_dll.h"

#include <QDialog>
#include <QString>
#include <QStringList>

class QComboBox;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QPushButton;

class frmAcceso : public QDialog {
    Q_OBJECT
public:
    explicit frmAcceso(QWidget* padre = nullptr);
    ~frmAcceso() override;

    /// Shows the dialog modally, filled from `datos`; on "Aceptar" writes the
    /// boxes back into `datos` and returns true. What the connection manager calls.
    static bool Pide(DatosAcceso& datos);
    /// Makes the connection manager ask through this dialog.
    static void Instala();
    /// The next time the dialog is asked with nothing filled in, the first
    /// listed connection stays chosen (a start from the desktop menu, where
    /// no command line brings any data). Used once.
    static inline bool ConservaSeleccion = false;
    /// The registered connection chosen then, instead of the first one (a
    /// launcher made with "Crear Acceso Directo"). Used once, like the above.
    static inline QString EntradaElegida;
    /// Takes the desktop's starts out of the arguments: "--conexion" (the
    /// menu's) and "--conexion=ENTRADA" (a launcher's, with its connection).
    /// True when one was there: the dialog is then to be asked first.
    static bool TomaArgumentoConexion(QStringList& argumentos);

    /// True when closed with "Aceptar" (or a double click on a registered connection).
    bool Aceptar() const { return aceptar_; }

    void llenarlist();
    /// Looks a registered connection up by entry name into the kept values;
    /// true when there is one (its server may be blank: an embedded file).
    bool DatosBase(const QString& Nombre);
    /// Copies the selected registered connection into the boxes.
    void AsignarDatosBase();
    /// Shows the box's prompt, selected, when the box is empty.
    void MensajeInicial(QLineEdit* ObjTxt);
    /// The box's text, empty while it only shows its prompt.
    static QString Valor(const QLineEdit* ObjTxt);

    void bcAceptar_Click();
    void bcCancelar_Click();
    void CmdRegistrar_Click();
    /// Writes the desktop entry "Quendril", which opens this dialog on the
    /// chosen registered connection; says where, and returns its path ("" when
    /// it could not be written).
    QString CmdLineaComando_Click();
    /// The database answers with these data (the session connection is used and left closed).
    bool ExisteBaseDeDatos(const QString& Servidor, const QString& DBName, const QString& Usuario, const QString& Password,
                           const QString& Proveedor = QStringLiteral("SQLOLEDB"));
    /// Runs a command line and waits for it, the window still answering; false when it could not start.
    static bool EjecutarCmdRegDB(const QString& Archivo, QString* ErrDevuelto = nullptr);

    /// The desktop entry for a program file and its icon (name or path),
    /// opening on the registered connection `entrada` (empty: the first one).
    static QString EntradaEscritorio(const QString& programa, const QString& icono, const QString& entrada = {});

    /// Kept values of the last registered connection looked up.
    QString servidorGuardado() const { return servidor_; }
    QString baseGuardada() const { return base_; }
    QString usuarioGuardado() const { return usuario_; }
    QString claveGuardada() const { return clave_; }

    void reject() override;

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;
    void showEvent(QShowEvent* evento) override;

private:
    // The controls are the dialog's own, reached by their object names.
    QListWidget* lstBases;
    QGroupBox* framAcceso;
    QComboBox* CboPlataformaDB;
    QLineEdit* TxtServidor;
    QLineEdit* TxtDbName;
    QLineEdit* TxtUserId;
    QLineEdit* TxtUserPassword;
    QLineEdit* TxtPuerto;
    QPushButton* bcAceptar;
    QPushButton* bcCancelar;
    QPushButton* CmdRegistrar;
    QPushButton* CmdLineaComando;
    /// Picks an embedded database file for the database box.
    QPushButton* CmdBuscarBase;

    void BuscaArchivoBase();
    static QString Indicacion(const QLineEdit* ObjTxt);
    /// The box's text colour: the placeholder's while it shows its prompt.
    static void PintaIndicacion(QLineEdit* ObjTxt);
    enum class Plataforma { SqlServer = 0, Oracle = 1, PostgreSQL = 2, ArchivoLocal = 3 };
    /// What a server box names: blank is an embedded file, "pg:" PostgreSQL, "#" Oracle.
    static Plataforma PlataformaDe(const QString& servidor);
    /// The platform box shows what the server box names.
    void MuestraPlataforma();
    /// The operator chose a platform: the server box takes its form.
    void EligePlataforma(int indice);
    /// The port box holds nothing, or a port number; else the operator is told.
    bool PuertoValido();
    /// The list read again, the boxes kept as they are, `nombre` selected when listed.
    void RellenaConservando(const QString& nombre);
    /// The registered connection the boxes name ("" when they name none).
    QString EntradaDeLasCajas() const;

    bool aceptar_ = false;
    bool enMensaje_ = false;
    QString servidor_, base_, usuario_, clave_, puerto_;
    /// The user the last entry picked put in the user box (not typed).
    QString usuarioPuesto_;
};
