#include "reports/vista_previa.h"

#include "runtime/boton_enfocado.h"
#include "runtime/operador.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <memory>

namespace reportes {

namespace {
constexpr double kAnchoHoja = 595.0, kAltoHoja = 842.0;
// Grey table round the page, in pixels.
constexpr int kMesa = 12;
// Each zoom step, and how far zooming goes (pixels per point).
constexpr double kPaso = 1.25, kEscalaMinima = 0.25, kEscalaMaxima = 6.0;
// Size the preview asks for; a smaller screen gets less.
constexpr int kAnchoVentana = 720, kAltoVentana = 960;
// Room left for the title bar and borders, which are not known before the
// window manager has framed the window.
constexpr int kMarcoSupuesto = 48;
}  // namespace

HojaReporte::HojaReporte(std::shared_ptr<Informe> informe, QWidget* parent) : QWidget(parent), informe_(std::move(informe))
{
    setObjectName(QStringLiteral("hoja"));
}

void HojaReporte::muestra(int pagina)
{
    pagina_ = std::clamp(pagina, 0, informe_->paginas() - 1);
    update();
}

void HojaReporte::fijaEscala(double escala)
{
    escala_ = escala;
    update();
}

QSize HojaReporte::Medida(double escala)
{
    return {static_cast<int>(std::ceil(kAnchoHoja * escala)) + 2 * kMesa,
            static_cast<int>(std::ceil(kAltoHoja * escala)) + 2 * kMesa};
}

void HojaReporte::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), QColor(128, 128, 128));
    const QSizeF tam(kAnchoHoja * escala_, kAltoHoja * escala_);
    // Centred while it fits; once larger it starts at the table's edge and scrolls.
    const QPointF origen(std::max<double>(kMesa, (width() - tam.width()) / 2),
                         std::max<double>(kMesa, (height() - tam.height()) / 2));
    p.fillRect(QRectF(origen + QPointF(4, 4), tam), QColor(70, 70, 70));
    p.fillRect(QRectF(origen, tam), Qt::white);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.translate(origen);
    p.scale(escala_, escala_);
    PintaPagina(p, *informe_, pagina_);
}

VistaPrevia::VistaPrevia(std::shared_ptr<Informe> informe, QWidget* parent)
    : QWidget(parent, Qt::Window), informe_(std::move(informe))
{
    setObjectName(QStringLiteral("VistaPrevia"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Vista previa - ") + informe_->titulo);
    auto* raiz = new QVBoxLayout(this);
    raiz->setContentsMargins(6, 6, 6, 6);
    auto* barra = new QHBoxLayout;
    auto boton = [&](QHBoxLayout* fila, QPushButton*& b, const QString& texto, const char* nombre) {
        b = new QPushButton(texto, this);
        b->setObjectName(QString::fromLatin1(nombre));
        b->setAutoDefault(false);
        fila->addWidget(b);
        return b;
    };
    boton(barra, primera_, QStringLiteral("|< Primera"), "primera");
    boton(barra, anterior_, QStringLiteral("< Anterior"), "anterior");
    lblPagina_ = new QLabel(this);
    lblPagina_->setObjectName(QStringLiteral("lblPagina"));
    lblPagina_->setMinimumWidth(130);
    lblPagina_->setAlignment(Qt::AlignCenter);
    barra->addWidget(lblPagina_);
    boton(barra, siguiente_, QStringLiteral("Siguiente >"), "siguiente");
    boton(barra, ultima_, QStringLiteral("Última >|"), "ultima");
    barra->addStretch(1);
    QPushButton *imprimir = nullptr, *pdf = nullptr, *cerrar = nullptr;
    boton(barra, imprimir, QStringLiteral("&Imprimir..."), "imprimir");
    boton(barra, pdf, QStringLiteral("&Guardar PDF..."), "guardarPdf");
    boton(barra, cerrar, QStringLiteral("&Cerrar"), "cerrar");
    raiz->addLayout(barra);

    hoja_ = new HojaReporte(informe_, this);
    marco_ = new QScrollArea(this);
    marco_->setObjectName(QStringLiteral("marco"));
    marco_->setWidget(hoja_);
    marco_->setWidgetResizable(false);
    marco_->setAlignment(Qt::AlignCenter);
    marco_->setFrameShape(QFrame::NoFrame);
    marco_->setFocusPolicy(Qt::NoFocus);
    marco_->viewport()->installEventFilter(this);
    raiz->addWidget(marco_, 1);
    // The page takes the keys as the preview opens, so the arrows scroll it
    // rather than move among the buttons.
    hoja_->setFocusPolicy(Qt::StrongFocus);
    hoja_->installEventFilter(this);
    hoja_->setFocus();

    auto* pie = new QHBoxLayout;
    QPushButton *alejar = nullptr, *acercar = nullptr, *ancho = nullptr, *entera = nullptr;
    boton(pie, alejar, QStringLiteral("Alejar"), "alejar")->setToolTip(QStringLiteral("Alejar (Ctrl+-)"));
    boton(pie, acercar, QStringLiteral("Acercar"), "acercar")->setToolTip(QStringLiteral("Acercar (Ctrl++)"));
    boton(pie, ancho, QStringLiteral("Ajustar al ancho"), "ajustarAncho")
        ->setToolTip(QStringLiteral("La página ocupa el ancho de la ventana (Ctrl+0)"));
    boton(pie, entera, QStringLiteral("Página entera"), "paginaEntera")
        ->setToolTip(QStringLiteral("La página entera en la ventana (Ctrl+1)"));
    lblZoom_ = new QLabel(this);
    lblZoom_->setObjectName(QStringLiteral("lblZoom"));
    lblZoom_->setMinimumWidth(60);
    pie->addWidget(lblZoom_);
    pie->addStretch(1);
    raiz->addLayout(pie);

    connect(primera_, &QPushButton::clicked, this, [this] { irA(0); });
    connect(anterior_, &QPushButton::clicked, this, [this] { irA(pagina() - 1); });
    connect(siguiente_, &QPushButton::clicked, this, [this] { irA(pagina() + 1); });
    connect(ultima_, &QPushButton::clicked, this, [this] { irA(informe_->paginas() - 1); });
    connect(imprimir, &QPushButton::clicked, this, &VistaPrevia::Imprime);
    connect(pdf, &QPushButton::clicked, this, &VistaPrevia::GuardaPdf);
    connect(cerrar, &QPushButton::clicked, this, &QWidget::close);
    connect(alejar, &QPushButton::clicked, this, &VistaPrevia::Aleja);
    connect(acercar, &QPushButton::clicked, this, &VistaPrevia::Acerca);
    connect(ancho, &QPushButton::clicked, this, [this] { Ajusta(Ajuste::Ancho); });
    connect(entera, &QPushButton::clicked, this, [this] { Ajusta(Ajuste::Pagina); });

    const QScreen* pantalla = screen() ? screen() : QGuiApplication::primaryScreen();
    const QRect area = pantalla ? pantalla->availableGeometry() : QRect(0, 0, kAnchoVentana, kAltoVentana);
    resize(std::min(kAnchoVentana, area.width() - 16), std::min(kAltoVentana, area.height() - kMarcoSupuesto));
    irA(0);
    encaja();
    rt::EnterPulsaElBotonEnfocado(this);
}

void VistaPrevia::irA(int pagina)
{
    hoja_->muestra(pagina);
    const int n = hoja_->pagina();
    lblPagina_->setText(informe_->textoPagina(n));
    primera_->setEnabled(n > 0);
    anterior_->setEnabled(n > 0);
    siguiente_->setEnabled(n + 1 < informe_->paginas());
    ultima_->setEnabled(n + 1 < informe_->paginas());
    // A new page is read from its top.
    marco_->verticalScrollBar()->setValue(0);
}

int VistaPrevia::zoom() const
{
    // A point is 1/72 inch; the screen says how many pixels make an inch.
    const double ppp = hoja_->logicalDpiY() > 0 ? hoja_->logicalDpiY() : 96.0;
    return static_cast<int>(std::lround(hoja_->escala() * 72.0 / ppp * 100.0));
}

void VistaPrevia::encaja()
{
    const QSize visible = marco_->viewport()->size();
    double escala = escalaLibre_;
    if (ajuste_ == Ajuste::Pagina)
        escala = std::min((visible.width() - 2.0 * kMesa) / kAnchoHoja, (visible.height() - 2.0 * kMesa) / kAltoHoja);
    else if (ajuste_ == Ajuste::Ancho)
        escala = (visible.width() - 2.0 * kMesa) / kAnchoHoja;
    escala = std::clamp(escala, kEscalaMinima, kEscalaMaxima);
    hoja_->fijaEscala(escala);
    // The table fills what the page leaves free, and a fitted page is not
    // given a scroll bar for a pixel of rounding.
    QSize tam = HojaReporte::Medida(escala);
    if (ajuste_ == Ajuste::Pagina) tam = visible;
    if (ajuste_ == Ajuste::Ancho) tam.setWidth(visible.width());
    hoja_->resize(tam.expandedTo(visible));
    lblZoom_->setText(QStringLiteral("%1 %").arg(zoom()));
}

void VistaPrevia::Ajusta(Ajuste modo)
{
    ajuste_ = modo;
    encaja();
}

void VistaPrevia::cambiaEscala(double factor)
{
    // The part of the page in view stays in view.
    QScrollBar* v = marco_->verticalScrollBar();
    const double arriba = v->maximum() > 0 ? static_cast<double>(v->value()) / v->maximum() : 0.0;
    escalaLibre_ = std::clamp(hoja_->escala() * factor, kEscalaMinima, kEscalaMaxima);
    ajuste_ = Ajuste::Libre;
    encaja();
    v->setValue(static_cast<int>(std::lround(arriba * v->maximum())));
}

void VistaPrevia::Acerca()
{
    cambiaEscala(kPaso);
}

void VistaPrevia::Aleja()
{
    cambiaEscala(1.0 / kPaso);
}

bool VistaPrevia::eventFilter(QObject* objeto, QEvent* evento)
{
    // The page holds the focus: its keys must not reach the scroll area,
    // which would scroll on PageDown instead of turning the page.
    if (objeto == hoja_ && evento->type() == QEvent::KeyPress && tecla(static_cast<QKeyEvent*>(evento))) return true;
    if (objeto == marco_->viewport()) {
        if (evento->type() == QEvent::Resize) encaja();
        if (evento->type() == QEvent::Wheel) {
            auto* rueda = static_cast<QWheelEvent*>(evento);
            if (rueda->modifiers() & Qt::ControlModifier) {
                if (rueda->angleDelta().y() > 0) Acerca();
                if (rueda->angleDelta().y() < 0) Aleja();
                return true;
            }
        }
    }
    return QWidget::eventFilter(objeto, evento);
}

void VistaPrevia::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    if (ubicada_) return;
    ubicada_ = true;
    cabeEnPantalla();
}

void VistaPrevia::cabeEnPantalla()
{
    const QScreen* pantalla = screen();
    if (!pantalla) return;
    const QRect area = pantalla->availableGeometry();
    // The frame is known now when the window manager was quick; else the room left for it stays.
    const QSize borde = frameGeometry().size() - size();
    resize(size().boundedTo(area.size() - borde));
    QRect f = frameGeometry();
    QPoint origen = f.topLeft();
    origen.setX(std::clamp(origen.x(), area.left(), std::max(area.left(), area.right() + 1 - f.width())));
    origen.setY(std::clamp(origen.y(), area.top(), std::max(area.top(), area.bottom() + 1 - f.height())));
    if (origen != f.topLeft()) move(origen);
}

bool VistaPrevia::tecla(QKeyEvent* e)
{
    if (e->modifiers() & Qt::ControlModifier) {
        switch (e->key()) {
        case Qt::Key_Plus:
        case Qt::Key_Equal: Acerca(); return true;
        case Qt::Key_Minus: Aleja(); return true;
        case Qt::Key_0: Ajusta(Ajuste::Ancho); return true;
        case Qt::Key_1: Ajusta(Ajuste::Pagina); return true;
        default: return false;
        }
    }
    switch (e->key()) {
    case Qt::Key_PageDown: irA(pagina() + 1); return true;
    case Qt::Key_PageUp: irA(pagina() - 1); return true;
    case Qt::Key_Home: irA(0); return true;
    case Qt::Key_End: irA(informe_->paginas() - 1); return true;
    case Qt::Key_Up: marco_->verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub); return true;
    case Qt::Key_Down: marco_->verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd); return true;
    case Qt::Key_Left: marco_->horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub); return true;
    case Qt::Key_Right: marco_->horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd); return true;
    case Qt::Key_Escape: close(); return true;
    default: return false;
    }
}

void VistaPrevia::keyPressEvent(QKeyEvent* e)
{
    if (!tecla(e)) QWidget::keyPressEvent(e);
}

std::function<bool(int, int)> VistaPrevia::progreso(const QString& texto, int total)
{
    // Shown only when the work lasts; Cancelar stops it between pages.
    auto dlg = std::make_shared<QProgressDialog>(texto, QStringLiteral("Cancelar"), 0, total, this);
    dlg->setWindowTitle(informe_->titulo);
    dlg->setWindowModality(Qt::WindowModal);
    dlg->setMinimumDuration(400);
    return [dlg](int hechas, int total) {
        dlg->setValue(hechas);
        if (hechas + 1 >= total) dlg->setValue(total);
        return !dlg->wasCanceled();
    };
}

void VistaPrevia::GuardaPdf()
{
    bool cancelado = false;
    QString ruta = rt::operador().GuardaArchivo(this, QStringLiteral("Guardar PDF"), QStringLiteral("Documento PDF|*.pdf"),
                                                informe_->titulo + QStringLiteral(".pdf"), &cancelado);
    if (cancelado || ruta.trimmed().isEmpty()) return;
    if (!ruta.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) ruta += QStringLiteral(".pdf");
    if (!EscribePdf(*informe_, ruta, progreso(QStringLiteral("Generando el PDF..."), informe_->paginas()))) {
        const QString texto = QStringLiteral("No se generó el archivo ") + ruta;
        rt::operador().MsgBox(this, texto, rt::vbExclamation, informe_->titulo);
        AnotaFalla(QStringLiteral("GuardaPdf"), texto);
    }
}

void VistaPrevia::Imprime()
{
    QPrinter impresora(QPrinter::HighResolution);
    impresora.setFullPage(true);
    impresora.setPageSize(QPageSize(QPageSize::A4));
    impresora.setDocName(informe_->titulo);
    impresora.setFromTo(1, informe_->paginas());
    QPrintDialog dlg(&impresora, this);
    dlg.setObjectName(QStringLiteral("dlgImprimir"));
    dlg.setWindowTitle(QStringLiteral("Imprimir"));
    dlg.setMinMax(1, informe_->paginas());
    if (rt::operador().Modal(&dlg) != QDialog::Accepted) return;
    int desde = 1, hasta = informe_->paginas();
    if (impresora.printRange() == QPrinter::PageRange && impresora.fromPage() > 0) {
        desde = impresora.fromPage();
        hasta = std::min(hasta, std::max(desde, impresora.toPage()));
    }
    // The operator sees the reason; the log also keeps where the job went.
    const QString destino = impresora.outputFileName().isEmpty() ? impresora.printerName() : impresora.outputFileName();
    const auto falla = [&](const QString& texto) {
        rt::operador().MsgBox(this, texto, rt::vbExclamation, informe_->titulo);
        AnotaFalla(QStringLiteral("Imprime"), texto + QStringLiteral(" (") + destino + u')');
    };
    QPainter p;
    if (!p.begin(&impresora)) {
        falla(QStringLiteral("No se pudo iniciar la impresión"));
        return;
    }
    const auto avance = progreso(QStringLiteral("Imprimiendo..."), hasta - desde + 1);
    const double escala = impresora.resolution() / 72.0;
    bool cancelado = false;
    for (int i = desde; i <= hasta; ++i) {
        if (!avance(i - desde, hasta - desde + 1)) {
            impresora.abort();
            cancelado = true;
            break;
        }
        if (i > desde) impresora.newPage();
        p.save();
        p.scale(escala, escala);
        PintaPagina(p, *informe_, i - 1);
        p.restore();
    }
    // A spooler that refuses the job midway says so only in the printer's state.
    const bool terminado = p.end();
    if (!cancelado && (!terminado || impresora.printerState() == QPrinter::Error))
        falla(QStringLiteral("La impresora rechazó el trabajo"));
}

}  // namespace reportes
