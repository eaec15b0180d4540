#pragma once
// The list's column header with a strip of search boxes under it: each box
// stands under its column, as wide as the column less a small gap, and moves
// with the header when the list scrolls sideways or a column is resized.
#include <QHeaderView>
#include <QList>

class QComboBox;

class CabeceraBusqueda : public QHeaderView {
    Q_OBJECT
public:
    explicit CabeceraBusqueda(QWidget* parent = nullptr);

    /// The boxes, one per section; the header becomes their parent.
    void FijaCajas(const QList<QComboBox*>& cajas);
    /// Pixels between a box and the next column.
    void FijaSeparacion(int pixeles)
    {
        separacion_ = pixeles;
        Coloca();
    }
    int AltoCajas() const;
    int AltoTitulos() const { return QHeaderView::sizeHint().height(); }

    QSize sizeHint() const override;

public slots:
    void Coloca();

protected:
    void updateGeometries() override;

private:
    QList<QComboBox*> cajas_;
    int separacion_ = 3;
};
