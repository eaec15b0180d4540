#include "frmacceso.h"

#include "adodb/error.h"
#include "bases_txt.h"
#include "data/cadena_conexion.h"
#include "data/errores.h"
#include "runtime/boton_enfocado.h"
#include "runtime/operador.h"
#include "runtime/rtdemo.h"
#include "runtime/rtentorno.h"
#include "runtime/rttexto.h"

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QStandardPaths>
#include <QVBoxLayout>
#include <utility>

namespace {

const QString kIconoPrograma = QStringLiteral("titulos-copiadores");
// Errors the registration passes over: the connection was already closed, or
// the service was already running or could not be controlled from here.
constexpr long kErroresQueSigue[] = {3704, static_cast<long>(0x80070420), 1056, 440, 20480};
constexpr long kErrAccesoArchivo = 75;
// SQL Server's own port, which the server name alone already reaches.
const QString kPuertoPredeterminado = QStringLiteral("1433");

// The port typed apart, in the form SQL Server clients take ("srv,1500").
// A blank server (an embedded file), the default port or a server that
// already names its port take nothing.
QString ServidorConPuerto(const QString& servidor, const QString& puerto)
{
    const QString s = servidor.trimmed(), p = puerto.trimmed();
    if (s.isEmpty() || p.isEmpty() || p == kPuertoPredeterminado || s.contains(u',')) return servidor;
    return s + u',' + p;
}

// The same for BASES.TXT, whose server field carries the port after ":".
QString ServidorRegistrado(const QString& servidor, const QString& puerto)
{
    const QString p = puerto.trimmed();
    return BasesTxt::CampoServidor(servidor, p == kPuertoPredeterminado ? QString() : p);
}

QLineEdit* Caja(QWidget* padre, const char* nombre, const QString& ayuda)
{
    auto* c = new QLineEdit(padre);
    c->setObjectName(QString::fromLatin1(nombre));
    c->setToolTip(ayuda);
    return c;
}

// A value in a desktop entry's Exec key: quoted when it has anything the
// key reserves, then escaped as every string value is.
QString ArgumentoExec(const QString& arg)
{
    static const QString reservados = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    bool cita = false;
    for (QChar c : arg)
        if (reservados.contains(c)) cita = true;
    QString v = arg;
    if (cita) {
        QString dentro;
        for (QChar c : arg) {
            if (c == u'"' || c == u'`' || c == u'$' || c == u'\\') dentro += u'\\';
            dentro += c;
        }
        v = u'"' + dentro + u'"';
    }
    v.replace(u'\\', QStringLiteral("\\\\"));
    return v.replace(u'%', QStringLiteral("%%"));
}

}  // namespace

frmAcceso::frmAcceso(QWidget* padre) : QDialog(padre)
{
    setObjectName(QStringLiteral("frmAcceso"));
    setWindowTitle(QStringLiteral("Control de Acceso"));
    setModal(true);

    lstBases = new QListWidget(this);
    lstBases->setObjectName(QStringLiteral("lstBases"));
    auto* etiquetaLista = new QLabel(QStringLiteral("Conexiones registradas"), this);
    etiquetaLista->setBuddy(lstBases);

    framAcceso = new QGroupBox(QStringLiteral("Complete los datos de conexion"), this);
    framAcceso->setObjectName(QStringLiteral("framAcceso"));
    CboPlataformaDB = new QComboBox(framAcceso);
    CboPlataformaDB->setObjectName(QStringLiteral("CboPlataformaDB"));
    // The first two keep the places the connection manager knows (above 0 is
    // Oracle); the others say what the server box names (see Plataforma).
    CboPlataformaDB->addItems({QStringLiteral("SQL Server"), QStringLiteral("ORACLE"), QStringLiteral("PostgreSQL"),
                               QStringLiteral("Archivo local (SQLite)")});
    TxtServidor = Caja(framAcceso, "TxtServidor", QStringLiteral("ingrese el nombre del servidor e instancia"));
    TxtDbName = Caja(framAcceso, "TxtDbName", QStringLiteral("ingrese el nombre de la base de datos"));
    TxtUserId = Caja(framAcceso, "TxtUserId", QStringLiteral("Ingrese el nombre de usuario"));
    TxtUserPassword = Caja(framAcceso, "TxtUserPassword", QStringLiteral("Ingrese la contraseña"));
    TxtUserPassword->setEchoMode(QLineEdit::Password);
    TxtPuerto = Caja(framAcceso, "TxtPuerto", QStringLiteral("Ingrese el Puerto "));
    TxtPuerto->setText(QStringLiteral("1433"));
    CmdBuscarBase = new QPushButton(QStringLiteral("..."), framAcceso);
    CmdBuscarBase->setObjectName(QStringLiteral("CmdBuscarBase"));
    CmdBuscarBase->setToolTip(QStringLiteral("Buscar un archivo de base de datos"));
    CmdBuscarBase->setAutoDefault(false);
    CmdBuscarBase->setFixedWidth(CmdBuscarBase->fontMetrics().horizontalAdvance(QStringLiteral("...")) + 24);
    // Tab goes as the eye does: the button sits right of the database box.
    setTabOrder(TxtDbName, CmdBuscarBase);
    setTabOrder(CmdBuscarBase, TxtUserId);

    auto* filaBase = new QHBoxLayout;
    filaBase->setContentsMargins(0, 0, 0, 0);
    filaBase->addWidget(TxtDbName, 1);
    filaBase->addWidget(CmdBuscarBase);
    auto* campos = new QFormLayout(framAcceso);
    campos->addRow(QStringLiteral("Plataforma"), CboPlataformaDB);
    campos->addRow(QStringLiteral("Servidor"), TxtServidor);
    campos->addRow(QStringLiteral("Base de datos"), filaBase);
    campos->addRow(QStringLiteral("Usuario"), TxtUserId);
    campos->addRow(QStringLiteral("Contraseña"), TxtUserPassword);
    campos->addRow(QStringLiteral("Puerto"), TxtPuerto);

    bcAceptar = new QPushButton(QStringLiteral("Aceptar"), this);
    bcAceptar->setObjectName(QStringLiteral("bcAceptar"));
    bcAceptar->setDefault(true);
    bcCancelar = new QPushButton(QStringLiteral("Cancelar"), this);
    bcCancelar->setObjectName(QStringLiteral("bcCancelar"));
    CmdRegistrar = new QPushButton(QStringLiteral("Registrar"), this);
    CmdRegistrar->setObjectName(QStringLiteral("CmdRegistrar"));
    CmdLineaComando = new QPushButton(QStringLiteral("Crear Acceso Directo"), this);
    CmdLineaComando->setObjectName(QStringLiteral("CmdLineaComando"));
    for (QPushButton* b : {bcCancelar, CmdRegistrar, CmdLineaComando}) b->setAutoDefault(false);

    auto* izquierda = new QVBoxLayout;
    izquierda->addWidget(etiquetaLista);
    izquierda->addWidget(lstBases, 1);
    auto* arriba = new QHBoxLayout;
    arriba->addLayout(izquierda, 2);
    arriba->addWidget(framAcceso, 3);
    auto* botones = new QHBoxLayout;
    botones->addWidget(CmdRegistrar);
    botones->addWidget(CmdLineaComando);
    botones->addStretch(1);
    botones->addWidget(bcAceptar);
    botones->addWidget(bcCancelar);
    auto* todo = new QVBoxLayout(this);
    todo->addLayout(arriba, 1);
    todo->addLayout(botones);
    resize(760, 320);
    rt::EnterPulsaElBotonEnfocado(this);

    connect(bcAceptar, &QPushButton::clicked, this, &frmAcceso::bcAceptar_Click);
    connect(bcCancelar, &QPushButton::clicked, this, &frmAcceso::bcCancelar_Click);
    connect(CmdRegistrar, &QPushButton::clicked, this, &frmAcceso::CmdRegistrar_Click);
    connect(CmdLineaComando, &QPushButton::clicked, this, [this] { CmdLineaComando_Click(); });
    connect(CmdBuscarBase, &QPushButton::clicked, this, &frmAcceso::BuscaArchivoBase);
    // A selection moved with the mouse or the keys, and a click on the one
    // already selected, both bring its data into the boxes.
    connect(lstBases, &QListWidget::currentRowChanged, this, [this](int fila) {
        if (fila >= 0) AsignarDatosBase();
    });
    connect(lstBases, &QListWidget::itemClicked, this, [this] { AsignarDatosBase(); });
    connect(lstBases, &QListWidget::itemDoubleClicked, this, [this] {
        AsignarDatosBase();
        bcAceptar_Click();
    });
    for (QLineEdit* c : {TxtDbName, TxtServidor, TxtUserPassword})
        connect(c, &QLineEdit::textChanged, this, [this, c] { MensajeInicial(c); });
    for (QLineEdit* c : {TxtDbName, TxtServidor, TxtUserId})
        connect(c, &QLineEdit::textChanged, this, [c] { PintaIndicacion(c); });
    connect(TxtServidor, &QLineEdit::textChanged, this, &frmAcceso::MuestraPlataforma);
    connect(CboPlataformaDB, &QComboBox::activated, this, &frmAcceso::EligePlataforma);
    for (QLineEdit* c : {TxtUserId, TxtDbName, TxtServidor}) c->installEventFilter(this);

    llenarlist();
    for (QLineEdit* c : {TxtUserId, TxtUserPassword, TxtDbName, TxtServidor}) MensajeInicial(c);
    MuestraPlataforma();
}

frmAcceso::~frmAcceso() = default;

bool frmAcceso::TomaArgumentoConexion(QStringList& argumentos)
{
    static const QString clave = QStringLiteral("--conexion");
    bool hay = false;
    for (qsizetype i = 0; i < argumentos.size();) {
        const QString& a = argumentos[i];
        if (a == clave || a.startsWith(clave + u'=')) {
            hay = true;
            ConservaSeleccion = true;
            EntradaElegida = a.mid(clave.size() + 1);
            argumentos.removeAt(i);
        } else {
            ++i;
        }
    }
    return hay;
}

void frmAcceso::Instala()
{
    DB().DialogoAcceso = [](DatosAcceso& d) { return Pide(d); };
}

bool frmAcceso::Pide(DatosAcceso& datos)
{
    frmAcceso dlg;
    const bool vacios =
        datos.baseDatos.isEmpty() && datos.servidor.isEmpty() && datos.usuario.isEmpty() && datos.clave.isEmpty();
    const QString elegida = std::exchange(EntradaElegida, QString()).trimmed();
    const bool conserva = std::exchange(ConservaSeleccion, false) && vacios && dlg.lstBases->currentItem();
    if (conserva && !elegida.isEmpty()) {
        // An entry removed since the launcher was made leaves the first one chosen.
        const QList<QListWidgetItem*> hallados = dlg.lstBases->findItems(elegida, Qt::MatchExactly);
        if (!hallados.isEmpty() && hallados.first() != dlg.lstBases->currentItem())
            dlg.lstBases->setCurrentItem(hallados.first());
    }
    if (!conserva) {
        dlg.TxtDbName->setText(datos.baseDatos);
        // The session's server may name its port ("srv,1500"): the port box shows
        // it, and never the port of the registered connection listed first.
        QString servidor = datos.servidor, puerto = kPuertoPredeterminado;
        if (const qsizetype coma = servidor.lastIndexOf(u','); coma >= 0) {
            puerto = servidor.mid(coma + 1).trimmed();
            servidor = servidor.left(coma);
        }
        dlg.TxtServidor->setText(servidor);
        dlg.TxtPuerto->setText(puerto);
        dlg.TxtUserId->setText(datos.usuario);
        dlg.TxtUserPassword->setText(datos.clave);
    }
    dlg.MuestraPlataforma();
    rt::operador().Modal(&dlg);
    if (!dlg.Aceptar()) return false;
    datos.baseDatos = Valor(dlg.TxtDbName);
    datos.plataforma = dlg.CboPlataformaDB->currentIndex() == static_cast<int>(Plataforma::Oracle) ? 1 : 0;
    // An Oracle service is reached by its name alone.
    datos.servidor =
        datos.plataforma == 0 ? ServidorConPuerto(Valor(dlg.TxtServidor), dlg.TxtPuerto->text()) : Valor(dlg.TxtServidor);
    datos.usuario = Valor(dlg.TxtUserId);
    datos.clave = Valor(dlg.TxtUserPassword);
    return true;
}

void frmAcceso::showEvent(QShowEvent* evento)
{
    QDialog::showEvent(evento);
    if (const QScreen* pantalla = screen()) {
        QRect r = frameGeometry();
        r.moveCenter(pantalla->availableGeometry().center());
        move(r.topLeft());
    }
}

QString frmAcceso::Indicacion(const QLineEdit* ObjTxt)
{
    const QString n = ObjTxt->objectName();
    if (n == QLatin1String("TxtUserId")) return QStringLiteral("Ingrese el usuario");
    if (n == QLatin1String("TxtDbName")) return QStringLiteral("ingrese el nombre de la base de datos");
    if (n == QLatin1String("TxtServidor")) return QStringLiteral("ingrese el nombre del servidor e instancia");
    return {};
}

QString frmAcceso::Valor(const QLineEdit* ObjTxt)
{
    const QString t = ObjTxt->text();
    const QString indicacion = Indicacion(ObjTxt);
    // A box still showing its prompt holds nothing: the prompt must never
    // travel as a server, database or user name.
    if (!indicacion.isEmpty() && t == indicacion) return {};
    return t;
}

void frmAcceso::MensajeInicial(QLineEdit* ObjTxt)
{
    if (enMensaje_) return;
    const QString indicacion = Indicacion(ObjTxt);
    const QString t = ObjTxt->text().trimmed();
    if (!t.isEmpty() && t != indicacion) return;
    enMensaje_ = true;
    ObjTxt->setText(indicacion);
    PintaIndicacion(ObjTxt);
    ObjTxt->selectAll();
    ObjTxt->update();
    enMensaje_ = false;
}

void frmAcceso::PintaIndicacion(QLineEdit* ObjTxt)
{
    // The prompt in the platform's placeholder colour, so that it never looks
    // like a value typed; what the operator types in the box's own colour.
    const QString indicacion = Indicacion(ObjTxt);
    QPalette p = ObjTxt->palette();
    const QPalette normal = ObjTxt->parentWidget() ? ObjTxt->parentWidget()->palette() : QApplication::palette(ObjTxt);
    const bool esIndicacion = !indicacion.isEmpty() && ObjTxt->text() == indicacion;
    p.setColor(QPalette::Text, esIndicacion ? normal.color(QPalette::PlaceholderText) : normal.color(QPalette::Text));
    ObjTxt->setPalette(p);
}

frmAcceso::Plataforma frmAcceso::PlataformaDe(const QString& servidor)
{
    const QString s = servidor.trimmed();
    if (s.isEmpty()) return Plataforma::ArchivoLocal;
    if (s.startsWith(u"pg:", Qt::CaseInsensitive)) return Plataforma::PostgreSQL;
    if (s.contains(u'#')) return Plataforma::Oracle;
    return Plataforma::SqlServer;
}

void frmAcceso::MuestraPlataforma()
{
    CboPlataformaDB->setCurrentIndex(static_cast<int>(PlataformaDe(Valor(TxtServidor))));
}

void frmAcceso::EligePlataforma(int indice)
{
    // Chosen by the operator: the server box takes the form that platform is
    // reached by; Oracle is marked by the connection manager itself.
    const auto elegida = static_cast<Plataforma>(indice);
    const QString s = Valor(TxtServidor).trimmed();
    const bool pg = s.startsWith(u"pg:", Qt::CaseInsensitive);
    if (elegida == Plataforma::ArchivoLocal)
        TxtServidor->setText(QString());
    else if (elegida == Plataforma::PostgreSQL && !pg)
        TxtServidor->setText(QStringLiteral("pg:") + s);
    else if (elegida == Plataforma::SqlServer && pg)
        TxtServidor->setText(s.mid(3));
    // The server box may have said otherwise while it changed (an Oracle
    // server without its "#" yet): what was chosen is what shows.
    CboPlataformaDB->setCurrentIndex(indice);
}

bool frmAcceso::eventFilter(QObject* objeto, QEvent* evento)
{
    if (objeto == TxtUserId && evento->type() == QEvent::FocusIn) MensajeInicial(TxtUserId);
    // A click or an arrow key leaves the prompt unselected; whatever way the
    // box got the focus, the first key that edits replaces the whole prompt.
    auto* caja = qobject_cast<QLineEdit*>(objeto);
    if (caja && (evento->type() == QEvent::KeyPress || evento->type() == QEvent::InputMethod)) {
        const QString indicacion = Indicacion(caja);
        if (!indicacion.isEmpty() && caja->text() == indicacion) {
            bool edita = evento->type() == QEvent::InputMethod;
            if (evento->type() == QEvent::KeyPress) {
                const auto* k = static_cast<const QKeyEvent*>(evento);
                edita = (!k->text().isEmpty() && k->text().at(0).isPrint()) || k->key() == Qt::Key_Backspace ||
                        k->key() == Qt::Key_Delete || k->matches(QKeySequence::Paste) || k->matches(QKeySequence::Cut);
            }
            if (edita) caja->selectAll();
        }
    }
    return QDialog::eventFilter(objeto, evento);
}

void frmAcceso::llenarlist()
{
    lstBases->clear();
    const QString ruta = BasesTxt::RutaLectura();
    // Only a missing file means "nothing registered"; one that exists but
    // cannot be read is reported below, not passed over as empty.
    for (bool hay = QFileInfo::exists(ruta); hay;) {
        bool leido = true;
        QString error;
        const QList<BasesTxt::Conexion> lista = BasesTxt::Lee(ruta, &leido, &error);
        if (!leido) {
            const int r = errores::ReportaError(adodb::Error{kErrAccesoArchivo, error, QStringLiteral("frmAcceso"), {}, 0}, {},
                                                QStringLiteral("FormLoad"));
            if (r == rt::vbRetry) continue;
            return;
        }
        for (const BasesTxt::Conexion& c : lista)
            if (!c.nombre.trimmed().isEmpty()) lstBases->addItem(c.nombre);
        break;
    }
    // Last, so that the computer's own connections come first; on a first
    // start it is the only one, and Enter opens it.
    if (!RtDemo::Instalada().isEmpty()) lstBases->addItem(RtDemo::kEntrada);
    if (lstBases->count() > 0) lstBases->setCurrentRow(0);
}

bool frmAcceso::DatosBase(const QString& Nombre)
{
    if (Nombre.trimmed() == RtDemo::kEntrada) {
        servidor_.clear();
        base_ = RtDemo::DelUsuario();
        usuario_ = RtDemo::kUsuario;
        clave_.clear();
        return true;
    }
    bool leido = true;
    QString error;
    const QList<BasesTxt::Conexion> lista = BasesTxt::Lee(BasesTxt::RutaLectura(), &leido, &error);
    if (!leido) {
        errores::InformaError(adodb::Error{kErrAccesoArchivo, error, QStringLiteral("frmAcceso"), {}, 0});
        return false;
    }
    const QString buscado = Nombre.trimmed();
    for (const BasesTxt::Conexion& c : lista) {
        if (c.nombre.trimmed() != buscado) continue;
        servidor_ = c.servidor;
        base_ = c.baseDatos;
        usuario_ = c.usuario;
        clave_ = RtTexto::DecodificaClave(c.clave);
        return true;
    }
    return false;
}

void frmAcceso::AsignarDatosBase()
{
    const QListWidgetItem* item = lstBases->currentItem();
    // An entry without a port uses the default one, not the last entry's.
    if (DatosBase(item ? item->text().trimmed() : QString())) puerto_ = kPuertoPredeterminado;
    // The server as it was typed: a PostgreSQL host keeps its "pg:" and its
    // letter case, and only a port after the last ":" goes to the port box.
    QString servidor, puerto;
    if (BasesTxt::SeparaServidor(servidor_, &servidor, &puerto)) {
        puerto_ = puerto.isEmpty() ? kPuertoPredeterminado : puerto;
        servidor_ = servidor;
    }
    TxtServidor->setText(servidor_);
    // The user typed stays; an empty box, or one still holding the user of
    // the entry picked before, takes this entry's. The password is typed each
    // time: one typed for another server must not travel here.
    const QString usuario = Valor(TxtUserId).trimmed();
    if (usuario.isEmpty() || usuario == usuarioPuesto_) {
        TxtUserId->setText(usuario_);
        usuarioPuesto_ = usuario_.trimmed();
    }
    TxtUserPassword->setText(QString());
    TxtDbName->setText(base_);
    TxtPuerto->setText(puerto_);
}

bool frmAcceso::PuertoValido()
{
    const QString p = TxtPuerto->text().trimmed();
    bool digitos = !p.isEmpty() && p.size() <= 5;
    for (QChar c : p) digitos = digitos && c >= u'0' && c <= u'9';
    if (p.isEmpty() || (digitos && p.toInt() >= 1 && p.toInt() <= 65535)) return true;
    rt::operador().MsgBox(QStringLiteral("El puerto debe ser un número entre 1 y 65535."), rt::vbExclamation,
                          QStringLiteral("Aviso al operador..."));
    TxtPuerto->setFocus();
    TxtPuerto->selectAll();
    return false;
}

void frmAcceso::bcAceptar_Click()
{
    if (!PuertoValido()) return;
    if (Valor(TxtUserId).trimmed().isEmpty()) {
        rt::operador().MsgBox(QStringLiteral("Ingrese el nombre de usuario."), rt::vbExclamation,
                              QStringLiteral("Control de Acceso"));
        TxtUserId->setFocus();
        TxtUserId->selectAll();
        return;
    }
    if (Valor(TxtServidor).isEmpty() && Valor(TxtDbName) == RtDemo::DelUsuario()) {
        // The demo is copied for this user the first time it is opened.
        QString error;
        if (RtDemo::Prepara(&error).isEmpty()) {
            rt::operador().MsgBox(error, rt::vbExclamation, QStringLiteral("Control de Acceso"));
            return;
        }
    }
    servidor_.clear();
    DatosBase(BasesTxt::NombreEntrada(Valor(TxtDbName), Valor(TxtServidor)));
    aceptar_ = true;
    accept();
}

void frmAcceso::bcCancelar_Click()
{
    aceptar_ = false;
    QDialog::reject();
}

void frmAcceso::reject()
{
    bcCancelar_Click();
}

void frmAcceso::BuscaArchivoBase()
{
    bool cancelado = false;
    const QString archivo =
        rt::operador().AbreArchivo(QStringLiteral("Buscar Base de Datos"),
                                   QStringLiteral("Base de Datos|*.db;*.sqlite;*.sqlite3|Todos los archivos|*"), &cancelado);
    if (cancelado || archivo.isEmpty()) return;
    // A database file is opened by the embedded engine, which a server name would override.
    TxtServidor->setText(QString());
    TxtDbName->setText(archivo);
}

bool frmAcceso::ExisteBaseDeDatos(const QString& Servidor, const QString& DBName, const QString& Usuario, const QString& Password,
                                  const QString& Proveedor)
{
    DB_Dll& db = DB();
    adodb::Attempt([&] {
        if (db.gOpenFlag && db.gCnn.State() == adodb::adStateOpen) db.gCnn.Close();
    });
    // Built as the session's own connection string is: a ";" in a box must
    // stay in its value, not add keys that send the probe elsewhere.
    const QString cadena = CadenaConexion(DatosAcceso{DBName, Servidor, Usuario, Password, 0}, Proveedor);
    const bool existe = adodb::Attempt([&] {
        db.gCnn.Open(cadena, QString(), QString());
        db.gCnn.Close();
    });
    // A failed probe is an answer, not an error of the session.
    db.gCnn.Errors().Clear();
    return existe;
}

void frmAcceso::RellenaConservando(const QString& nombre)
{
    // Selecting an entry copies it into the boxes; here the boxes hold what
    // the operator typed and is about to accept.
    const QSignalBlocker bloqueo(lstBases);
    llenarlist();
    const QList<QListWidgetItem*> hallados = lstBases->findItems(nombre.trimmed(), Qt::MatchExactly);
    lstBases->setCurrentItem(hallados.isEmpty() ? nullptr : hallados.first());
}

void frmAcceso::CmdRegistrar_Click()
{
    DB_Dll& db = DB();
    if (!PuertoValido()) return;
    const QString nombre = BasesTxt::NombreEntrada(Valor(TxtDbName), Valor(TxtServidor));
    servidor_.clear();
    // An embedded file is registered with a blank server: finding the entry
    // is what counts, not a server in it.
    if (DatosBase(nombre)) {
        rt::operador().MsgBox(QStringLiteral("La conexion que intenta registrar ya existe "), rt::vbInformation,
                              QStringLiteral("Atencion"));
        return;
    }
    // Taken once, trimmed: an emptied box shows its prompt again, and the
    // prompt must not be registered as a server or a database.
    const QString servidor = Valor(TxtServidor).trimmed();
    const QString usuario = Valor(TxtUserId).trimmed();
    const QString clave = Valor(TxtUserPassword).trimmed();
    const QString base = Valor(TxtDbName).trimmed();
    const QString servidorConexion = ServidorConPuerto(servidor, TxtPuerto->text());
    const QString servidorArchivo = ServidorRegistrado(servidor, TxtPuerto->text());
    // Refused before anything is tried: a line the file would keep altered
    // would register a connection that cannot be opened.
    for (const QString& campo : {base, servidorArchivo, nombre}) {
        const QString malo = BasesTxt::CaracterNoGrabable(campo);
        if (malo.isEmpty()) continue;
        rt::operador().MsgBox(QStringLiteral("No se puede registrar la conexion: \"") + campo +
                                  QStringLiteral("\" tiene un caracter que el archivo ") + BasesTxt::kArchivo +
                                  QStringLiteral(" no puede guardar (") + malo + QStringLiteral(")."),
                              rt::vbExclamation, QStringLiteral("Atencion"));
        return;
    }
    TxtServidor->setText(servidor);
    TxtUserId->setText(usuario);
    TxtUserPassword->setText(clave);
    TxtDbName->setText(base);

    auto informa = [](const adodb::Error& e) {
        for (long n : kErroresQueSigue)
            if (e.Number == n) return;
        const QString numero = e.Number >= 0 ? u' ' + QString::number(e.Number) : QString::number(e.Number);
        rt::operador().MsgBox(QStringLiteral("SQL Server start failed.  ") + u'\r' + QStringLiteral("SQL-DMO error:  ") + numero +
                                  u' ' + e.Description,
                              rt::vbOKOnly, QString());
    };
    auto graba = [&] {
        // The database's own login: user and password are its name.
        QString error;
        if (!BasesTxt::GrabaConexion(nombre, base, base, base, servidorArchivo, &error))
            throw adodb::AdoException(adodb::Error{kErrAccesoArchivo, error, QStringLiteral("frmAcceso"), {}, 0});
    };
    try {
        const QString d = base.toUpper();
        if (ExisteBaseDeDatos(servidorConexion, d, d, d, QStringLiteral("SQLOLEDB"))) {
            graba();
        } else {
            if (db.gCnn.State() == adodb::adStateOpen) db.gCnn.Close();
            db.gServidor = servidorConexion;
            db.gUsuario = usuario;
            db.gUserPassWord = clave;
            db.gDBName = base;
            db.OpenServerADODB(false, 3, QString(), true, true);
            // The error box's Yes asks again, and the operator may then pick
            // or type another connection: only the one typed here, reached, is
            // registered (exactly: a database file's name tells letter case apart).
            const bool laTipeada = db.gDBName.trimmed() == base && db.gServidor.trimmed() == servidorConexion;
            if (!db.gOpenFlag || !laTipeada) {
                rt::operador().MsgBox(QStringLiteral("NO SE PUDO CONECTAR AL SERVIDOR ") + servidor +
                                          QStringLiteral(" VERIFIQUE EL NOMBRE DE USUARIO Y PASSWORD INGRESADO"),
                                      rt::vbInformation, QStringLiteral("AVISO AL OPERADOR"));
                adodb::Attempt([&] {
                    if (db.gCnn.State() == adodb::adStateOpen) db.gCnn.Close();
                });
                return;
            }
            graba();
        }
    } catch (const adodb::AdoException& ex) {
        informa(ex.error());
    }

    // The helper that makes a data source for the new database, when installed
    // beside the program. It is told the database registered, not whatever
    // the session last held.
    const QString creadsn = RtTexto::RutaCarpeta(RtEntorno::CarpetaPrograma()) + QStringLiteral("CREADSN");
    if (QFileInfo(creadsn).isFile())
        rt::operador().Ejecuta(creadsn,
                               QStringLiteral("Server=") + servidor + QStringLiteral(";DB=") + base + QStringLiteral(";"));
    try {
        if (db.gCnn.State() == adodb::adStateOpen) db.gCnn.Close();
    } catch (const adodb::AdoException& ex) {
        informa(ex.error());
    }
    RellenaConservando(nombre);
}

QString frmAcceso::EntradaEscritorio(const QString& programa, const QString& icono, const QString& entrada)
{
    // Started as the menu starts it: the connection dialog first, since a
    // launcher carries no connection data (nor any password).
    QString conexion = QStringLiteral("--conexion");
    if (!entrada.trimmed().isEmpty()) conexion += u'=' + entrada.trimmed();
    const QString exec = ArgumentoExec(programa) + u' ' + ArgumentoExec(conexion);
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Version=1.0\n"
                          "Name=Quendril\n"
                          "Comment=Títulos de copiadores\n"
                          "Exec=") +
           exec + QStringLiteral("\nIcon=") + icono +
           QStringLiteral("\n"
                          "Terminal=false\n"
                          "Categories=Office;Finance;\n");
}

QString frmAcceso::CmdLineaComando_Click()
{
    const QString carpeta = RtTexto::RutaCarpeta(RtEntorno::CarpetaPrograma());
    const QString programa = carpeta + RtEntorno::NombreEjecutable();
    // Installed beside the program; without it, the icon theme's copy by name.
    const QString iconoJunto = carpeta + kIconoPrograma + QStringLiteral(".png");
    const QString icono = QFileInfo::exists(iconoJunto) ? iconoJunto : kIconoPrograma;

    QString escritorio = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    if (escritorio.isEmpty()) escritorio = QDir::homePath() + QStringLiteral("/Desktop");
    const QString ruta = RtTexto::RutaCarpeta(escritorio) + QStringLiteral("Quendril.desktop");
    QDir().mkpath(escritorio);
    QFile f(ruta);
    const QString entrada = EntradaDeLasCajas();
    const QByteArray contenido = EntradaEscritorio(programa, icono, entrada).toUtf8();
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(contenido) != contenido.size()) {
        rt::operador().MsgBox(QStringLiteral("No se pudo crear el acceso directo ") + ruta + QStringLiteral(": ") +
                                  f.errorString(),
                              rt::vbExclamation, QStringLiteral("Atencion"));
        return {};
    }
    f.close();
    // Desktops start only launchers that are marked as programs.
    f.setPermissions(f.permissions() | QFile::ExeOwner | QFile::ExeUser);
    rt::operador().MsgBox(this,
                          QStringLiteral("Se creó el acceso directo en ") + ruta +
                              (entrada.isEmpty() ? QString() : QStringLiteral(", para la conexion ") + entrada) +
                              QStringLiteral("."),
                          rt::vbInformation, QStringLiteral("Atencion"));
    return ruta;
}

QString frmAcceso::EntradaDeLasCajas() const
{
    const QString base = Valor(TxtDbName).trimmed(), servidor = Valor(TxtServidor).trimmed();
    if (base.isEmpty()) return {};
    if (servidor.isEmpty() && base == RtDemo::DelUsuario() && !RtDemo::Instalada().isEmpty()) return RtDemo::kEntrada;
    const QString nombre = BasesTxt::NombreEntrada(base, servidor);
    for (const BasesTxt::Conexion& c : BasesTxt::Lee(BasesTxt::RutaLectura()))
        if (c.nombre.trimmed() == nombre) return nombre;
    return {};
}

bool frmAcceso::EjecutarCmdRegDB(const QString& Archivo, QString* ErrDevuelto)
{
    QStringList partes = QProcess::splitCommand(Archivo);
    QProcess proceso;
    if (!partes.isEmpty()) {
        const QString programa = partes.takeFirst();
        proceso.start(programa, partes);
    }
    if (proceso.state() == QProcess::NotRunning || !proceso.waitForStarted()) {
        if (ErrDevuelto) *ErrDevuelto = QStringLiteral("Error al ejecutar el comando");
        return false;
    }
    // The window keeps answering while the command runs.
    while (!proceso.waitForFinished(50)) {
        if (proceso.state() == QProcess::NotRunning) break;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    return true;
}
