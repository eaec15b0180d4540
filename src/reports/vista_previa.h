#pragma once
// The print preview of a report: one page at a time, painted when shown, so
// the first page is there at once however long the report is.
#include "reports/rtreporte.h"

#include <QWidget>
#include <memory>

class QLabel;
class QPushButton;

namespace reportes {

class HojaReporte : public QWidget {
public:
    HojaReporte(std::shared_ptr<Informe> informe, QWidget* parent);
    void muestra(int pagina);
    int pagina() const { return pagina_; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    std::shared_ptr<Informe> informe_;
    int pagina_ = 0;
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

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    std::function<bool(int, int)> progreso(const QString& texto, int total);

    std::shared_ptr<Informe> informe_;
    HojaReporte* hoja_ = nullptr;
    QLabel* lblPagina_ = nullptr;
    QPushButton *primera_ = nullptr, *anterior_ = nullptr, *siguiente_ = nullptr, *ultima_ = nullptr;
};

}  // namespace reportes
