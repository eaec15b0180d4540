#pragma once
// The command toolbar maintenance windows carry: eight fixed buttons whose
// clicks and function keys come out as one click(word) signal.
#include "toolbar/utilvarn_logica.h"

#include <QPointer>
#include <QWidget>
#include <array>

class QBoxLayout;
class QFrame;
class QKeyEvent;
class QToolButton;

class UtilVarn : public QWidget {
    Q_OBJECT
public:
    explicit UtilVarn(QWidget* parent = nullptr);

    /// Back to every flag True, the bar rebuilt with the icon style the user chose.
    void ActualizarBotones();

    /// Fires the command of a VB key code (see CodigoTecla); the host forwards
    /// its key-down events here.
    void KeyAnalisis(int KeyCode);
    /// VB key code of a Qt key event: Esc 27, Enter 13, Tab 9, F1..F12 112..123,
    /// A..Z 65..90, 0..9 48..57, arrows 37..40, Delete 46; any other key 0.
    static int CodigoTecla(const QKeyEvent* e);

    bool NuevoEnabled() const { return logica_.NuevoEnabled(); }
    void setNuevoEnabled(bool v) { logica_.setNuevoEnabled(v); }
    bool BorrarEnabled() const { return logica_.BorrarEnabled(); }
    void setBorrarEnabled(bool v) { logica_.setBorrarEnabled(v); }
    bool ReporteEnabled() const { return logica_.ReporteEnabled(); }
    void setReporteEnabled(bool v) { logica_.setReporteEnabled(v); }
    bool ConsultaEnabled() const { return logica_.ConsultaEnabled(); }
    void setConsultaEnabled(bool v) { logica_.setConsultaEnabled(v); }
    bool PlanillaEnabled() const { return logica_.PlanillaEnabled(); }
    void setPlanillaEnabled(bool v) { logica_.setPlanillaEnabled(v); }
    bool CancelarEnabled() const { return logica_.CancelarEnabled(); }
    void setCancelarEnabled(bool v) { logica_.setCancelarEnabled(v); }
    bool GrabarEnabled() const { return logica_.GrabarEnabled(); }
    void setGrabarEnabled(bool v) { logica_.setGrabarEnabled(v); }
    bool CerrarEnabled() const { return logica_.CerrarEnabled(); }
    void setCerrarEnabled(bool v) { logica_.setCerrarEnabled(v); }

    bool NuevoVisible() const { return logica_.NuevoVisible(); }
    void setNuevoVisible(bool v) { logica_.setNuevoVisible(v); }
    bool BorrarVisible() const { return logica_.BorrarVisible(); }
    void setBorrarVisible(bool v) { logica_.setBorrarVisible(v); }
    bool ReporteVisible() const { return logica_.ReporteVisible(); }
    void setReporteVisible(bool v) { logica_.setReporteVisible(v); }
    bool consultarVisible() const { return logica_.consultarVisible(); }
    void setconsultarVisible(bool v) { logica_.setconsultarVisible(v); }
    bool PlanillaVisible() const { return logica_.PlanillaVisible(); }
    void setPlanillaVisible(bool v) { logica_.setPlanillaVisible(v); }
    bool CancelarVisible() const { return logica_.CancelarVisible(); }
    void setCancelarVisible(bool v) { logica_.setCancelarVisible(v); }
    bool GrabarVisible() const { return logica_.GrabarVisible(); }
    void setGrabarVisible(bool v) { logica_.setGrabarVisible(v); }
    bool CerrarVisible() const { return logica_.CerrarVisible(); }
    void setCerrarVisible(bool v) { logica_.setCerrarVisible(v); }

    bool ConTitulo() const { return logica_.ConTitulo(); }
    void setConTitulo(bool v) { logica_.setConTitulo(v); }
    /// The control's own Enabled value. Deliberately not QWidget::setEnabled:
    /// it only travels with the saved properties and never greys the bar.
    bool Enabled() const { return logica_.Enabled(); }
    void setEnabledPropiedad(bool v) { logica_.setEnabled(v); }
    short Theme() const { return logica_.Theme(); }
    void setTheme(int v) { logica_.setTheme(v); }

    void guardaPropiedades(QVariantMap& bolsa) const { logica_.guardaPropiedades(bolsa); }
    void leePropiedades(const QVariantMap& bolsa) { logica_.leePropiedades(bolsa); }

    UtilVarnLogica& logica() { return logica_; }
    const UtilVarnLogica& logica() const { return logica_; }
    /// The button with this id (1..8), or null.
    QToolButton* boton(int id) const;
    /// The icon strip the last initialisation loaded (it may not exist).
    QString archivoIconos() const { return archivoIconos_; }
    /// How the bar is laid out now.
    Qt::Orientation orientacion() const { return orientacion_; }

signals:
    void click(const QString& BTag);
    void propertyChanged(const QString& name);

protected:
    void showEvent(QShowEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void construyeBarra();
    void cargaIconos();
    void refresca();
    void aplicaOrientacion(Qt::Orientation o);

    UtilVarnLogica logica_;
    QBoxLayout* raiz_ = nullptr;
    QPointer<QFrame> barra_;
    QBoxLayout* disposicionBarra_ = nullptr;
    std::array<QToolButton*, UtilVarnLogica::kBotones> botones_{};
    QString archivoIconos_;
    Qt::Orientation orientacion_ = Qt::Horizontal;
};
