#include "toolbar/utilvarn.h"

#include "runtime/teclas.h"

#include <QBoxLayout>
#include <QFrame>
#include <QIcon>
#include <QImage>
#include <QKeyEvent>
#include <QPixmap>
#include <QStyle>
#include <QToolButton>

namespace {
constexpr int kLadoIcono = 32;

QString nombreTecla(int tecla)
{
    // The two keyless rows share Esc: Cancelar first, Cerrar when nothing to cancel.
    if (tecla == 0) return QStringLiteral("Esc");
    return QStringLiteral("F%1").arg(tecla - 111);
}
}  // namespace

UtilVarn::UtilVarn(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
    raiz_ = new QBoxLayout(QBoxLayout::TopToBottom, this);
    raiz_->setContentsMargins(0, 0, 0, 0);
    raiz_->setSpacing(0);

    connect(&logica_, &UtilVarnLogica::click, this, &UtilVarn::click);
    connect(&logica_, &UtilVarnLogica::propertyChanged, this, &UtilVarn::propertyChanged);
    connect(&logica_, &UtilVarnLogica::estadoCambiado, this, &UtilVarn::refresca);

    ActualizarBotones();
}

QToolButton* UtilVarn::boton(int id) const
{
    const int pos = UtilVarnLogica::PosicionDeId(id);
    return pos < 0 ? nullptr : botones_[pos];
}

void UtilVarn::ActualizarBotones()
{
    logica_.Inicializa();
    construyeBarra();
    cargaIconos();
    refresca();
    aplicaOrientacion(UtilVarnLogica::OrientacionPara(width(), height()));
}

void UtilVarn::construyeBarra()
{
    // A repeated initialisation reuses the one bar and its buttons: the host may
    // reinitialise from inside a click handler, while the button is still
    // delivering its signal, so tearing it down here would pull it from under Qt.
    if (!barra_) {
        auto* barra = new QFrame(this);
        barra->setObjectName(QStringLiteral("Standard"));
        barra->setFocusPolicy(Qt::NoFocus);
        disposicionBarra_ = new QBoxLayout(QBoxLayout::LeftToRight, barra);
        disposicionBarra_->setContentsMargins(2, 2, 2, 2);
        disposicionBarra_->setSpacing(2);

        const auto& tabla = UtilVarnLogica::Botones();
        for (int i = 0; i < UtilVarnLogica::kBotones; ++i) {
            auto* b = new QToolButton(barra);
            b->setObjectName(QStringLiteral("boton%1").arg(tabla[i].id));
            b->setFocusPolicy(Qt::NoFocus);
            b->setAutoRaise(true);
            b->setIconSize(QSize(kLadoIcono, kLadoIcono));
            connect(b, &QToolButton::clicked, this, [this, b] {
                if (b->isEnabled()) logica_.BotonEjecutado(b->text());
            });
            disposicionBarra_->addWidget(b);
            botones_[i] = b;
        }
        disposicionBarra_->addStretch(1);
        raiz_->addWidget(barra);
        raiz_->addStretch(1);
        barra_ = barra;
    }

    const auto& tabla = UtilVarnLogica::Botones();
    for (int i = 0; i < UtilVarnLogica::kBotones; ++i) {
        const QString titulo = QString::fromLatin1(tabla[i].titulo);
        botones_[i]->setText(titulo);
        botones_[i]->setToolTip(QStringLiteral("%1 (%2)").arg(titulo.trimmed(), nombreTecla(tabla[i].tecla)));
    }
}

void UtilVarn::cargaIconos()
{
    archivoIconos_ = UtilVarnLogica::RutaIconos();
    QImage tira(archivoIconos_);
    const int ancho = tira.isNull() ? 0 : tira.width() / UtilVarnLogica::kBotones;
    if (ancho <= 0 || tira.height() <= 0) {
        // Without a strip the captions alone still make a usable bar.
        for (auto* b : botones_) b->setIcon(QIcon());
        return;
    }
    // BMP carries no alpha: magenta marks the background.
    tira = tira.convertToFormat(QImage::Format_ARGB32);
    const QRgb clave = qRgb(255, 0, 255);
    for (int y = 0; y < tira.height(); ++y) {
        auto* fila = reinterpret_cast<QRgb*>(tira.scanLine(y));
        for (int x = 0; x < tira.width(); ++x)
            if ((fila[x] & 0x00FFFFFF) == (clave & 0x00FFFFFF)) fila[x] = 0;
    }
    // The strip is drawn in bar order, so its n-th image belongs to the n-th button.
    for (int i = 0; i < UtilVarnLogica::kBotones; ++i)
        botones_[i]->setIcon(QIcon(QPixmap::fromImage(tira.copy(i * ancho, 0, ancho, tira.height()))));
}

void UtilVarn::refresca()
{
    if (!barra_) return;
    int anchoComun = 0;
    for (int i = 0; i < UtilVarnLogica::kBotones; ++i) {
        QToolButton* b = botones_[i];
        b->setEnabled(logica_.Habilitado(i));
        b->setVisible(logica_.Visible(i));
        const bool conIcono = !b->icon().isNull();
        Qt::ToolButtonStyle estilo = Qt::ToolButtonTextOnly;
        if (conIcono) estilo = logica_.ConTitulo() ? Qt::ToolButtonTextUnderIcon : Qt::ToolButtonIconOnly;
        b->setToolButtonStyle(estilo);
        b->setMinimumWidth(0);
        anchoComun = qMax(anchoComun, b->sizeHint().width());
    }
    // Equal widths keep the bar tidy whichever captions are showing.
    for (auto* b : botones_) {
        b->setMinimumWidth(anchoComun);
        b->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Fixed);
    }
}

void UtilVarn::aplicaOrientacion(Qt::Orientation o)
{
    if (!barra_) return;
    orientacion_ = o;
    const bool horizontal = o == Qt::Horizontal;
    const auto dirRaiz = horizontal ? QBoxLayout::TopToBottom : QBoxLayout::LeftToRight;
    const auto dirBarra = horizontal ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom;
    if (raiz_->direction() != dirRaiz) raiz_->setDirection(dirRaiz);
    if (disposicionBarra_->direction() != dirBarra) disposicionBarra_->setDirection(dirBarra);
    // Skins draw the bar's edge on the side facing the window's content.
    const QString valor = horizontal ? QStringLiteral("horizontal") : QStringLiteral("vertical");
    if (barra_->property("orientacion").toString() != valor) {
        barra_->setProperty("orientacion", valor);
        barra_->style()->unpolish(barra_);
        barra_->style()->polish(barra_);
    }
}

void UtilVarn::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    refresca();
    aplicaOrientacion(UtilVarnLogica::OrientacionPara(width(), height()));
}

void UtilVarn::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    aplicaOrientacion(UtilVarnLogica::OrientacionPara(width(), height()));
}

void UtilVarn::KeyAnalisis(int KeyCode)
{
    logica_.KeyAnalisis(KeyCode);
}

int UtilVarn::CodigoTecla(const QKeyEvent* e)
{
    if (!e) return 0;
    const int k = e->key();
    switch (k) {
    case Qt::Key_Escape: return rt::vbKeyEscape;
    case Qt::Key_Return:
    case Qt::Key_Enter: return rt::vbKeyReturn;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return rt::vbKeyTab;
    case Qt::Key_Left: return rt::vbKeyLeft;
    case Qt::Key_Up: return rt::vbKeyUp;
    case Qt::Key_Right: return rt::vbKeyRight;
    case Qt::Key_Down: return rt::vbKeyDown;
    case Qt::Key_Delete: return rt::vbKeyDelete;
    default: break;
    }
    if (k >= Qt::Key_F1 && k <= Qt::Key_F12) return rt::vbKeyF1 + (k - Qt::Key_F1);
    // Qt's codes for letters and digits are their ASCII upper-case values, as VB's.
    if ((k >= Qt::Key_A && k <= Qt::Key_Z) || (k >= Qt::Key_0 && k <= Qt::Key_9)) return k;
    return 0;
}
