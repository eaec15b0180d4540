#include "cabecera_busqueda.h"

#include <QComboBox>

CabeceraBusqueda::CabeceraBusqueda(QWidget* parent) : QHeaderView(Qt::Horizontal, parent)
{
    setSectionsClickable(true);
    setHighlightSections(false);
    setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    connect(this, &QHeaderView::sectionResized, this, &CabeceraBusqueda::Coloca);
    connect(this, &QHeaderView::sectionMoved, this, &CabeceraBusqueda::Coloca);
    connect(this, &QHeaderView::sectionCountChanged, this, &CabeceraBusqueda::Coloca);
}

void CabeceraBusqueda::FijaCajas(const QList<QComboBox*>& cajas)
{
    cajas_ = cajas;
    for (QComboBox* c : cajas_) c->setParent(this);
    updateGeometry();
    updateGeometries();
}

int CabeceraBusqueda::AltoCajas() const
{
    return cajas_.isEmpty() ? 0 : cajas_.first()->sizeHint().height();
}

QSize CabeceraBusqueda::sizeHint() const
{
    QSize s = QHeaderView::sizeHint();
    s.setHeight(s.height() + AltoCajas());
    return s;
}

void CabeceraBusqueda::updateGeometries()
{
    // The titles keep the top of the header; the boxes take the strip below them.
    setViewportMargins(0, 0, 0, AltoCajas());
    QHeaderView::updateGeometries();
    Coloca();
}

void CabeceraBusqueda::Coloca()
{
    const int alto = AltoCajas();
    const int y = height() - alto;
    for (int i = 0; i < cajas_.size(); ++i) {
        QComboBox* c = cajas_.at(i);
        if (i >= count() || isSectionHidden(i)) {
            c->hide();
            continue;
        }
        const int ancho = sectionSize(i) - separacion_;
        c->setGeometry(sectionViewportPosition(i), y, qMax(ancho, 0), alto);
        c->setVisible(ancho > 0);
    }
}
