#include "reports/vista_previa.h"

#include "runtime/operador.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QVBoxLayout>
#include <memory>

namespace reportes {

namespace {
constexpr double kAnchoHoja = 595.0, kAltoHoja = 842.0;
}

HojaReporte::HojaReporte(std::shared_ptr<Informe> informe, QWidget* parent) : QWidget(parent), informe_(std::move(informe))
{
    setObjectName(QStringLiteral("hoja"));
    setMinimumSize(300, 420);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void HojaReporte::muestra(int pagina)
{
    pagina_ = std::clamp(pagina, 0, informe_->paginas() - 1);
    update();
}

void HojaReporte::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), QColor(128, 128, 128));
    const double escala = std::min((width() - 24) / kAnchoHoja, (height() - 24) / kAltoHoja);
    const QSizeF tam(kAnchoHoja * escala, kAltoHoja * escala);
    const QPointF origen((width() - tam.width()) / 2, (height() - tam.height()) / 2);
    p.fillRect(QRectF(origen + QPointF(4, 4), tam), QColor(70, 70, 70));
    p.fillRect(QRectF(origen, tam), Qt::white);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.translate(origen);
    p.scale(escala, escala);
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
    auto boton = [&](QPushButton*& b, const QString& texto, const char* nombre) {
        b = new QPushButton(texto, this);
        b->setObjectName(QString::fromLatin1(nombre));
        b->setAutoDefault(false);
        barra->addWidget(b);
        return b;
    };
    boton(primera_, QStringLiteral("|< Primera"), "primera");
    boton(anterior_, QStringLiteral("< Anterior"), "anterior");
    lblPagina_ = new QLabel(this);
    lblPagina_->setObjectName(QStringLiteral("lblPagina"));
    lblPagina_->setMinimumWidth(130);
    lblPagina_->setAlignment(Qt::AlignCenter);
    barra->addWidget(lblPagina_);
    boton(siguiente_, QStringLiteral("Siguiente >"), "siguiente");
    boton(ultima_, QStringLiteral("Última >|"), "ultima");
    barra->addStretch(1);
    QPushButton *imprimir = nullptr, *pdf = nullptr, *cerrar = nullptr;
    boton(imprimir, QStringLiteral("&Imprimir..."), "imprimir");
    boton(pdf, QStringLiteral("&Guardar PDF..."), "guardarPdf");
    boton(cerrar, QStringLiteral("&Cerrar"), "cerrar");
    raiz->addLayout(barra);
    hoja_ = new HojaReporte(informe_, this);
    raiz->addWidget(hoja_, 1);

    connect(primera_, &QPushButton::clicked, this, [this] { irA(0); });
    connect(anterior_, &QPushButton::clicked, this, [this] { irA(pagina() - 1); });
    connect(siguiente_, &QPushButton::clicked, this, [this] { irA(pagina() + 1); });
    connect(ultima_, &QPushButton::clicked, this, [this] { irA(informe_->paginas() - 1); });
    connect(imprimir, &QPushButton::clicked, this, &VistaPrevia::Imprime);
    connect(pdf, &QPushButton::clicked, this, &VistaPrevia::GuardaPdf);
    connect(cerrar, &QPushButton::clicked, this, &QWidget::close);
    resize(700, 960);
    irA(0);
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
}

void VistaPrevia::keyPressEvent(QKeyEvent* e)
{
    switch (e->key()) {
    case Qt::Key_PageDown: irA(pagina() + 1); break;
    case Qt::Key_PageUp: irA(pagina() - 1); break;
    case Qt::Key_Home: irA(0); break;
    case Qt::Key_End: irA(informe_->paginas() - 1); break;
    case Qt::Key_Escape: close(); break;
    default: QWidget::keyPressEvent(e);
    }
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
    QString ruta = rt::operador().GuardaArchivo(QStringLiteral("Guardar PDF"), QStringLiteral("Documento PDF|*.pdf"),
                                                informe_->titulo + QStringLiteral(".pdf"), &cancelado);
    if (cancelado || ruta.trimmed().isEmpty()) return;
    if (!ruta.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) ruta += QStringLiteral(".pdf");
    if (!EscribePdf(*informe_, ruta, progreso(QStringLiteral("Generando el PDF..."), informe_->paginas()))) {
        const QString texto = QStringLiteral("No se generó el archivo ") + ruta;
        rt::operador().MsgBox(texto, rt::vbExclamation, informe_->titulo);
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
        rt::operador().MsgBox(texto, rt::vbExclamation, informe_->titulo);
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
