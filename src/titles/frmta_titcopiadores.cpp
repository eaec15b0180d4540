#include "titles/frmta_titcopiadores.h"

#include "data/db_dll.h"
#include "runtime/boton_enfocado.h"
#include "runtime/fin.h"
#include "runtime/operador.h"
#include "runtime/rtentorno.h"
#include "runtime/rtini.h"
#include "runtime/teclas.h"
#include "runtime/texto.h"
#include "runtime/una_linea.h"
#include "session/cndll.h"
#include "session/cnstuff.h"
#include "titles/iconos.h"
#include "titles/rtcampos.h"
#include "toolbar/utilvarn.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>
#include <QStringDecoder>
#include <QToolButton>
#include <QVBoxLayout>
#include <optional>
#include <utility>

namespace {

struct DefCaja {
    const char* etiqueta;
    const char* campo;
    const char* tabla;  // lookup source
    int caracteres;     // visible width, in average characters
};
const DefCaja kCajas[frmTA_TITCOPIADORES::kCampos] = {
    {"CODIGO:", "CODIGO", "TA_TITCOPIADORES", 8},
    {"DESCRIPCION:", "DESCRIPCION", "", 0},
    {"DESDE:", "DESDE", "MA_CUENTAS", 17},
    {"HASTA:", "HASTA", "MA_CUENTAS", 17},
};

// The keys the toolbar answers to. They are taken whole by the window so that a
// command runs once, even when the focused control lets the key travel on to
// its parents (each of which also previews it).
bool esTeclaDeBarra(int codigo)
{
    return codigo == rt::vbKeyEscape || (codigo >= rt::vbKeyF2 && codigo <= rt::vbKeyF6) || codigo == rt::vbKeyF10;
}

int shiftVb(Qt::KeyboardModifiers m)
{
    int s = 0;
    if (m & Qt::ShiftModifier) s |= rt::vbShiftMask;
    if (m & Qt::ControlModifier) s |= rt::vbCtrlMask;
    if (m & Qt::AltModifier) s |= rt::vbAltMask;
    return s;
}

int botonVb(Qt::MouseButton b)
{
    switch (b) {
    case Qt::LeftButton: return rt::vbLeftButton;
    case Qt::RightButton: return rt::vbRightButton;
    case Qt::MiddleButton: return rt::vbMiddleButton;
    default: return 0;
    }
}

// A picture button shows no text whose outline could tell that it holds the
// focus, and several styles draw nothing for a focused tool button: the mark
// is drawn here, whatever the style or skin.
class BotonImagen : public QToolButton {
public:
    using QToolButton::QToolButton;

protected:
    void paintEvent(QPaintEvent* evento) override
    {
        QToolButton::paintEvent(evento);
        if (!hasFocus()) return;
        QPainter pintor(this);
        QPen lapiz(palette().color(QPalette::Highlight), 2);
        lapiz.setStyle(Qt::DotLine);
        pintor.setPen(lapiz);
        pintor.setBrush(Qt::NoBrush);
        pintor.drawRect(rect().adjusted(2, 2, -3, -3));
    }
};

QString archivoDeSkin(int numero)
{
    switch (numero) {
    case 1: return QStringLiteral("Styles/Vista.cjstyles");
    case 2: return QStringLiteral("Styles/WinXP.Luna.cjstyles");
    case 3: return QStringLiteral("Styles/WinXP.Royale.cjstyles");
    case 4: return QStringLiteral("Styles/iTunes");
    default: return QStringLiteral("Styles/Office2007.cjstyles");
    }
}

}  // namespace

frmTA_TITCOPIADORES::frmTA_TITCOPIADORES(QWidget* parent) : QMainWindow(parent)
{
    construye();
    instalaVistaPrevia();
    rt::EnterPulsaElBotonEnfocado(this);
}

frmTA_TITCOPIADORES::~frmTA_TITCOPIADORES() = default;

QList<QLineEdit*> frmTA_TITCOPIADORES::cajas() const
{
    return QList<QLineEdit*>(txtfields.begin(), txtfields.end());
}

void frmTA_TITCOPIADORES::construye()
{
    setObjectName(QStringLiteral("frmTA_TITCOPIADORES"));
    setWindowTitle(QStringLiteral("Titulos Copiadores"));
    setWindowIcon(iconos::Libro());

    UtilVarn1 = new UtilVarn(this);
    UtilVarn1->setObjectName(QStringLiteral("UtilVarn1"));
    setMenuWidget(UtilVarn1);
    connect(UtilVarn1, &UtilVarn::click, this, &frmTA_TITCOPIADORES::UtilVarn1_click);

    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("central"));
    setCentralWidget(central);
    auto* raiz = new QVBoxLayout(central);
    raiz->setContentsMargins(14, 12, 14, 12);
    raiz->setSpacing(10);

    auto* grilla = new QGridLayout;
    grilla->setHorizontalSpacing(10);
    grilla->setVerticalSpacing(8);
    grilla->setColumnStretch(2, 1);
    for (int i = 0; i < kCampos; ++i) {
        const DefCaja& d = kCajas[i];
        auto* caja = new QLineEdit(central);
        caja->setObjectName(QStringLiteral("txtfields%1").arg(i));
        RtCampos::FijaCampo(caja, QString::fromLatin1(d.campo), QString::fromLatin1(d.tabla), i);
        // The right button opens the lookup, so no edit menu.
        caja->setContextMenuPolicy(Qt::NoContextMenu);
        // Every column is one line of text; a pasted line break or tab becomes a blank.
        rt::CajaDeUnaLinea(caja);
        caja->setAccessibleName(QString::fromLatin1(d.campo));
        if (d.caracteres > 0) {
            const int ancho = caja->fontMetrics().horizontalAdvance(QLatin1Char('0')) * d.caracteres + 16;
            caja->setFixedWidth(ancho);
        }
        auto* etiqueta = new QLabel(QString::fromLatin1(d.etiqueta), central);
        etiqueta->setObjectName(QStringLiteral("lblLabels%1").arg(i));
        etiqueta->setBuddy(caja);
        txtfields[i] = caja;
        lblLabels[i] = etiqueta;
        grilla->addWidget(etiqueta, i, 0, Qt::AlignLeft | Qt::AlignVCenter);
        if (d.caracteres > 0)
            grilla->addWidget(caja, i, 1, Qt::AlignLeft | Qt::AlignVCenter);
        else
            grilla->addWidget(caja, i, 1, 1, 3);
    }

    // The picture buttons sit right of the range, away from the entry path:
    // Enter never reaches them, Tab does (after the voucher list), and each has
    // a key of its own, shown in its tool tip. A click leaves the focus where
    // the operator was typing.
    auto* cuadro = new QHBoxLayout;
    cuadro->setSpacing(6);
    auto botonImagen = [&](QToolButton*& b, const char* nombre, const QIcon& icono, const char* ayuda, Qt::Key tecla) {
        b = new BotonImagen(central);
        b->setObjectName(QString::fromLatin1(nombre));
        b->setIcon(icono);
        b->setIconSize(QSize(28, 28));
        b->setFixedSize(QSize(38, 38));
        const QKeySequence atajo(tecla);
        b->setToolTip(QString::fromUtf8(ayuda) + QStringLiteral(" (") + atajo.toString(QKeySequence::NativeText) +
                      QLatin1Char(')'));
        b->setAccessibleName(QString::fromUtf8(ayuda));
        b->setFocusPolicy(Qt::TabFocus);
        auto* atajoVentana = new QShortcut(atajo, this);
        connect(atajoVentana, &QShortcut::activated, b, &QToolButton::click);
        cuadro->addWidget(b);
    };
    botonImagen(CmdRep, "CmdRep", iconos::Impresora(), "Reporte Cuentas Varias de Mayor", Qt::Key_F7);
    botonImagen(CmdVarias, "CmdVarias", iconos::Planilla(), "Planilla de Datos Cuentas Varias de Mayor", Qt::Key_F8);
    connect(CmdRep, &QToolButton::clicked, this, &frmTA_TITCOPIADORES::CmdRep_Click);
    connect(CmdVarias, &QToolButton::clicked, this, &frmTA_TITCOPIADORES::CmdVarias_Click);
    grilla->addLayout(cuadro, 2, 3, 2, 1, Qt::AlignRight | Qt::AlignVCenter);
    raiz->addLayout(grilla);

    fraCpte = new QGroupBox(QStringLiteral("Comprobantes Incluidos"), central);
    fraCpte->setObjectName(QStringLiteral("fraCpte"));
    auto* marco = new QVBoxLayout(fraCpte);
    marco->setSpacing(8);
    LstCpte = new QListWidget(fraCpte);
    LstCpte->setObjectName(QStringLiteral("LstCpte"));
    LstCpte->setAccessibleName(QStringLiteral("Comprobantes Incluidos"));
    LstCpte->setSelectionMode(QAbstractItemView::SingleSelection);
    LstCpte->setEditTriggers(QAbstractItemView::NoEditTriggers);
    LstCpte->setUniformItemSizes(true);
    marco->addWidget(LstCpte, 1);
    auto* pie = new QHBoxLayout;
    pie->addStretch(1);
    CmdTodos = new QPushButton(QStringLiteral("&Marcar/Desmarcar"), fraCpte);
    CmdTodos->setObjectName(QStringLiteral("CmdTodos"));
    CmdTodos->setAutoDefault(false);
    connect(CmdTodos, &QPushButton::clicked, this, &frmTA_TITCOPIADORES::CmdTodos_Click);
    pie->addWidget(CmdTodos);
    marco->addLayout(pie);
    raiz->addWidget(fraCpte, 1);

    setTabOrder(txtfields[0], txtfields[1]);
    setTabOrder(txtfields[1], txtfields[2]);
    setTabOrder(txtfields[2], txtfields[3]);
    setTabOrder(txtfields[3], LstCpte);
    setTabOrder(LstCpte, CmdTodos);
    setTabOrder(CmdTodos, CmdRep);
    setTabOrder(CmdRep, CmdVarias);

    resize(720, 560);
    setMinimumSize(620, 440);
}

void frmTA_TITCOPIADORES::instalaVistaPrevia()
{
    // The window sees every key before its controls do, as the suite's forms do.
    installEventFilter(this);
    for (QWidget* w : findChildren<QWidget*>()) w->installEventFilter(this);
}

bool frmTA_TITCOPIADORES::eventFilter(QObject* objeto, QEvent* evento)
{
    auto* w = qobject_cast<QWidget*>(objeto);
    if (!w || w->window() != this || descargada_) return QMainWindow::eventFilter(objeto, evento);
    int indice = RtCampos::Indice(w);
    if (indice < 0 || indice >= kCampos || txtfields[indice] != w) indice = -1;

    switch (evento->type()) {
    case QEvent::KeyPress: {
        auto* k = static_cast<QKeyEvent*>(evento);
        const int codigo = UtilVarn::CodigoTecla(k);
        const int shift = shiftVb(k->modifiers());
        Form_KeyDown(codigo, shift);
        if (esTeclaDeBarra(codigo)) return true;
        if (indice < 0) return false;
        txtfields_KeyDown(indice, codigo, shift);
        if (RtCampos::EsTeclaAvance(codigo)) return true;
        const QString texto = k->text();
        if (texto.size() == 1 && texto.at(0).unicode() >= 32 && !(k->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            const int original = texto.at(0).unicode();
            const int nuevo = txtfields_KeyPress(indice, original);
            if (nuevo == 0) return true;
            if (nuevo != original) {
                txtfields[indice]->insert(QString(QChar(static_cast<char16_t>(nuevo))));
                return true;
            }
        }
        return false;
    }
    case QEvent::FocusIn:
        if (indice >= 0) txtfields_GotFocus(indice);
        break;
    case QEvent::FocusOut:
        if (indice >= 0) txtfields_LostFocus(indice);
        break;
    case QEvent::MouseButtonPress:
        if (indice >= 0) {
            const int boton = botonVb(static_cast<QMouseEvent*>(evento)->button());
            txtfields_MouseDown(indice, boton);
            if (boton == rt::vbRightButton) return true;
        }
        break;
    default: break;
    }
    return QMainWindow::eventFilter(objeto, evento);
}

void frmTA_TITCOPIADORES::Form_KeyDown(int KeyCode, int /*Shift*/)
{
    UtilVarn1->KeyAnalisis(KeyCode);
}

void frmTA_TITCOPIADORES::showEvent(QShowEvent* evento)
{
    QMainWindow::showEvent(evento);
    if (!mostrada_) {
        mostrada_ = true;
        enfocaCodigo(true);
    }
}

void frmTA_TITCOPIADORES::closeEvent(QCloseEvent* evento)
{
    // The close box abandons a title being edited only as Esc does: when the
    // operator says so.
    if (!descargada_ && modificado_ && !ConfirmaAbandono()) {
        evento->ignore();
        return;
    }
    evento->accept();
    if (!descargada_) Form_Unload();
}

bool frmTA_TITCOPIADORES::ConfirmaAbandono()
{
    const int r = rt::operador().MsgBox(this, QStringLiteral("¿Está seguro de abandonar la carga de datos?"),
                                        rt::vbYesNo + rt::vbExclamation + rt::vbDefaultButton2, QStringLiteral("ATENCIÓN!!!"));
    if (r != rt::vbYes) return false;
    modificado_ = false;
    return true;
}

void frmTA_TITCOPIADORES::Form_Unload()
{
    if (descargada_) return;
    descargada_ = true;
    hide();
    rt::TerminaPrograma(0);
}

// ---------------------------------------------------------------------------
// Start-up
// ---------------------------------------------------------------------------

bool frmTA_TITCOPIADORES::Form_Load(const QString& lineaComandos)
{
    // Without these the window cannot show, check or save a title.
    DB().TablasRequeridas = {QStringLiteral("TA_TITCOPIADORES"), QStringLiteral("MA_CUENTAS"), QStringLiteral("VT_TA_CPTE"),
                             QStringLiteral("TA_CONFIGURACION")};
    // A login without rights on the suite's tables stops start-up at its
    // first refusal; the operator is told and may connect as someone else.
    std::optional<FaltaPermiso> falta;
    for (;;) {
        try {
            const DB_Dll::Arranque arranque(DB());
            // Inside the guard: the login chosen in the dialog may be refused too.
            if (falta && !DB().PideOtraConexion(*std::exchange(falta, std::nullopt))) return false;
            if (!CNStuffContable::InicioSistema(lineaComandos)) return false;
            CargaVentana();
            return true;
        } catch (const FaltaPermiso& f) {
            falta = f;
        }
    }
}

void frmTA_TITCOPIADORES::CargaVentana()
{
    CargarSkin();
    RtCampos::AjustaVentana(this, false);
    PreparaFormulario();
    NombreTabla = QStringLiteral("TA_TITCOPIADORES");
    // The account-code structure comes with Inicializa: each read of it is a
    // round trip on a server. The window starts with no title shown.
    Inicializa();
    CargaCpte(QStringLiteral("*"));
}

void frmTA_TITCOPIADORES::CargarSkin()
{
    const QString seccion = RtEntorno::NombreUsuario().toUpper() + QStringLiteral("Styles");
    const QString valor = RtIni::LeeIni(QStringLiteral("cn000pr.ini"), seccion, QStringLiteral("Styles"), QStringLiteral("1"));
    numeroSkin_ = static_cast<int>(rt::RedondeoBanquero(rt::Val(valor)));
    const QString ruta = RtEntorno::CarpetaPrograma() + archivoDeSkin(numeroSkin_);
    QFile archivo(ruta);
    if (!archivo.open(QIODevice::ReadOnly | QIODevice::Text)) {
        // A missing skin leaves the platform look; nothing to tell the operator.
        archivoSkin_.clear();
        setStyleSheet(QString());
        return;
    }
    // The suite's Windows skins are binary files of another toolkit; fed to
    // the style sheet parser their bytes would style the window at random.
    const QByteArray hoja = archivo.readAll();
    if (hoja.contains('\0')) {
        archivoSkin_.clear();
        setStyleSheet(QString());
        return;
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString texto = utf8.decode(hoja);
    if (utf8.hasError()) texto = rt::DeWindows1252(hoja);
    archivoSkin_ = ruta;
    setStyleSheet(texto);
}

void frmTA_TITCOPIADORES::PreparaFormulario()
{
    const QString nombre = RtIni::LeeIni(QStringLiteral("CN000p.INI"), QStringLiteral("Iconos"),
                                         QStringLiteral("IconoDelSistema"), QStringLiteral("ICONVARN"))
                               .trimmed();
    if (!nombre.isEmpty()) {
        const QFileInfoList archivos = QDir(RtEntorno::CarpetaPrograma()).entryInfoList(QDir::Files | QDir::Readable);
        for (const QFileInfo& f : archivos) {
            const bool mismoNombre = rt::Iguales(f.fileName(), nombre);
            const bool conExtension =
                rt::Iguales(f.completeBaseName(), nombre) &&
                (rt::Iguales(f.suffix(), QStringLiteral("ico")) || rt::Iguales(f.suffix(), QStringLiteral("png")));
            if (!mismoNombre && !conExtension) continue;
            if (QImage(f.absoluteFilePath()).isNull()) continue;  // not a picture Qt can read: keep the drawn icon
            setWindowIcon(QIcon(f.absoluteFilePath()));
            break;
        }
    }
    RtCampos::PreparaVentana(this);
    // The toolbars' flat style has no counterpart on this window's command bar.
    QCoreApplication::processEvents();
}

// ---------------------------------------------------------------------------
// Box events
// ---------------------------------------------------------------------------

void frmTA_TITCOPIADORES::txtfields_GotFocus(int Index)
{
    campoActual_ = Index;
    UtilVarn1->setConsultaEnabled(!RtCampos::Etiqueta(txtfields[Index]).trimmed().isEmpty());
    QPalette p = txtfields[Index]->palette();
    p.setColor(QPalette::Base, QColor(0, 255, 255));
    txtfields[Index]->setPalette(p);
}

void frmTA_TITCOPIADORES::txtfields_LostFocus(int Index)
{
    QPalette p = txtfields[Index]->palette();
    p.setColor(QPalette::Base, QColor(255, 255, 255));
    txtfields[Index]->setPalette(p);
}

int frmTA_TITCOPIADORES::txtfields_KeyPress(int /*Index*/, int KeyAscii)
{
    return ConvierteMayuscula(KeyAscii);
}

void frmTA_TITCOPIADORES::txtfields_KeyDown(int Index, int KeyCode, int /*Shift*/)
{
    if (RtCampos::EsTeclaAvance(KeyCode)) {
        CampoValida(Index, txtfields[Index]->text());
        if (!hayError_) RtCampos::Avanza(txtfields[Index], KeyCode);
    }
    // The box that holds the focus once the key is handled decides: where focus
    // events are posted, the next box's got-focus runs after this handler, and
    // Qt delivers it during Avanza, so this box must not override it.
    int foco = Index;
    for (int i = 0; i < kCampos; ++i)
        if (txtfields[i]->hasFocus()) foco = i;
    UtilVarn1->setConsultaEnabled(!RtCampos::Etiqueta(txtfields[foco]).trimmed().isEmpty());
}

void frmTA_TITCOPIADORES::txtfields_MouseDown(int Index, int Button)
{
    campoActual_ = Index;
    if (Button == 2) ConsultaCampo();
}

void frmTA_TITCOPIADORES::enfocaCodigo(bool seleccionaTodo)
{
    QLineEdit* codigo = txtfields[0];
    codigo->setFocus(Qt::OtherFocusReason);
    if (seleccionaTodo)
        codigo->selectAll();
    else
        codigo->setCursorPosition(static_cast<int>(codigo->text().size()));
}

QString frmTA_TITCOPIADORES::codigoEnPantalla() const
{
    const int i = RtCampos::IndiceCampo(QStringLiteral("CODIGO"), cajas());
    return i < 0 ? QString() : txtfields[i]->text().trimmed();
}

QString frmTA_TITCOPIADORES::pantalla() const
{
    QStringList partes;
    for (int i = 1; i < kCampos; ++i) partes << txtfields[i]->text();
    partes << CptesMarcados();
    return partes.join(QChar(0x1f));
}

CNDLL& frmTA_TITCOPIADORES::Contabilidad()
{
    if (!cndll_) cndll_ = std::make_unique<CNDLL>();
    return *cndll_;
}

bool frmTA_TITCOPIADORES::ListoParaEscribir() const
{
    return txtfields[0] && (txtfields[0]->hasFocus() || txtfields[0]->isEnabled());
}
