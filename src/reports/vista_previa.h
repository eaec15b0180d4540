#pragma once
// The print preview of a report: one page at a time, painted when shown, so
// the first page is there at once however long the report is.
#include "reports/rtreporte.h"

#include <QWidget>
#include <memory>

class QLabel;
class QPushButton;
class QScrollArea;

namespace reportes {

/// One page on a grey table, drawn at the scale the preview chooses.
class HojaReporte : public QWidget {
    Q_OBJECT
public:
    HojaReporte(std::shared_ptr<Informe> informe, QWidget* parent);
    void muestra(int pagina);
    int pagina() const { return pagina_; }
    /// Screen pixels per point of the page.
    double escala() const { return escala_; }
    void fijaEscala(double escala);
    /// The page's size on screen at `escala`, with the table round it.
    static QSize Medida(double escala);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    std::shared_ptr<Informe> informe_;
    int pagina_ = 0;
    double escala_ = 1.0;
};

class VistaPrevia : public QWidget {
public:
    explicit VistaPrevia(std::shared_ptr<Informe> informe, QWidget* parent = nullptr);
    const Informe& informe() const { return *informe_; }
    int pagina() const { return hoja_->pagina(); }
    void irA(int pagina);
    /// Asks for a file and writes the PDF, with progress and a way to cancel.
    void GuardaPdf();
    void Imprime();

    /// How the page is fitted: whole in the window (as it opens), to the
    /// window's width, or at a size the operator chose.
    enum class Ajuste { Pagina, Ancho, Libre };
    Ajuste ajuste() const { return ajuste_; }
    /// Size on screen, in percent of the printed size.
    int zoom() const;
    void Acerca();
    void Aleja();
    void Ajusta(Ajuste modo);

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    std::function<bool(int, int)> progreso(const QString& texto, int total);
    /// The preview's own keys; false for any other.
    bool tecla(QKeyEvent* e);
    /// Scale and size of the sheet for the fitting in force.
    void encaja();
    void cambiaEscala(double factor);
    /// Window no larger than the screen's free area, all of it on the screen.
    void cabeEnPantalla();

    std::shared_ptr<Informe> informe_;
    HojaReporte* hoja_ = nullptr;
    QScrollArea* marco_ = nullptr;
    QLabel* lblPagina_ = nullptr;
    QLabel* lblZoom_ = nullptr;
    QPushButton *primera_ = nullptr, *anterior_ = nullptr, *siguiente_ = nullptr, *ultima_ = nullptr;
    Ajuste ajuste_ = Ajuste::Pagina;
    double escalaLibre_ = 1.0;
    bool ubicada_ = false;
};

}  // namespace reportes
