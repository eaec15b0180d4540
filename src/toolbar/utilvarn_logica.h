#pragma once
// The command toolbar's state and rules, free of widgets so they can be
// exercised without a window. UtilVarn draws it.
#include <QObject>
#include <QString>
#include <QVariantMap>
#include <Qt>
#include <array>

class UtilVarnLogica : public QObject {
    Q_OBJECT
public:
    static constexpr int kBotones = 8;

    struct DefBoton {
        int id;              // the button's key on the bar (icons are assigned by it)
        const char* titulo;  // caption, blanks included
        int tecla;           // VB key code that fires it (0: handled apart)
        const char* nombreHabilitado;
        const char* nombreVisible;  // name used for notification and persistence
    };
    /// The buttons in bar order.
    static const std::array<DefBoton, kBotones>& Botones();
    /// Bar position of the button with this id, or -1.
    static int PosicionDeId(int id);

    /// Command word carried by the click signal for a caption.
    static QString Palabra(const QString& titulo);
    /// Wider than tall lays the bar across the top; anything else down the left.
    static Qt::Orientation OrientacionPara(int ancho, int alto);
    /// Icon strip file for an icon-style text as read from the INI (exact match).
    static QString ArchivoIconos(const QString& estilo);
    /// Icon strip file chosen by the user's INI setting.
    static QString ArchivoIconosConfigurado();
    /// Full path of that file in the program folder.
    static QString RutaIconos();

    explicit UtilVarnLogica(QObject* parent = nullptr);

    /// Back to every flag True (the enable ones through their setters).
    void Inicializa();

    bool NuevoEnabled() const { return habilitado_[0]; }
    void setNuevoEnabled(bool v) { setHabilitado(0, v); }
    bool BorrarEnabled() const { return habilitado_[1]; }
    void setBorrarEnabled(bool v) { setHabilitado(1, v); }
    bool ReporteEnabled() const { return habilitado_[2]; }
    void setReporteEnabled(bool v) { setHabilitado(2, v); }
    bool ConsultaEnabled() const { return habilitado_[3]; }
    void setConsultaEnabled(bool v) { setHabilitado(3, v); }
    bool PlanillaEnabled() const { return habilitado_[4]; }
    void setPlanillaEnabled(bool v) { setHabilitado(4, v); }
    bool CancelarEnabled() const { return habilitado_[5]; }
    void setCancelarEnabled(bool v) { setHabilitado(5, v); }
    bool GrabarEnabled() const { return habilitado_[6]; }
    void setGrabarEnabled(bool v) { setHabilitado(6, v); }
    bool CerrarEnabled() const { return habilitado_[7]; }
    void setCerrarEnabled(bool v) { setHabilitado(7, v); }

    bool NuevoVisible() const { return visible_[0]; }
    void setNuevoVisible(bool v) { setVisible(0, v); }
    bool BorrarVisible() const { return visible_[1]; }
    void setBorrarVisible(bool v) { setVisible(1, v); }
    bool ReporteVisible() const { return visible_[2]; }
    void setReporteVisible(bool v) { setVisible(2, v); }
    bool consultarVisible() const { return visible_[3]; }
    void setconsultarVisible(bool v) { setVisible(3, v); }
    bool PlanillaVisible() const { return visible_[4]; }
    void setPlanillaVisible(bool v) { setVisible(4, v); }
    bool CancelarVisible() const { return visible_[5]; }
    void setCancelarVisible(bool v) { setVisible(5, v); }
    bool GrabarVisible() const { return visible_[6]; }
    void setGrabarVisible(bool v) { setVisible(6, v); }
    bool CerrarVisible() const { return visible_[7]; }
    void setCerrarVisible(bool v) { setVisible(7, v); }

    /// By bar position (0..7); out-of-range positions read False and are ignored.
    bool Habilitado(int pos) const;
    void setHabilitado(int pos, bool v);
    bool Visible(int pos) const;
    void setVisible(int pos, bool v);

    bool ConTitulo() const { return conTitulo_; }
    void setConTitulo(bool v);
    /// Kept and persisted only: the bar and the keys ignore it.
    bool Enabled() const { return enabled_; }
    void setEnabled(bool v);
    short Theme() const { return theme_; }
    void setTheme(int v);

    /// The word a VB key code fires now, or empty.
    QString PalabraDeTecla(int keyCode) const;
    /// Emits click for the key's word; true when something fired.
    bool KeyAnalisis(int keyCode);
    /// A button with this caption was pressed while enabled.
    void BotonEjecutado(const QString& titulo);

    void guardaPropiedades(QVariantMap& bolsa) const;
    void leePropiedades(const QVariantMap& bolsa);

signals:
    void click(const QString& BTag);
    void propertyChanged(const QString& name);
    /// Any flag moved, notified or not: the drawing must catch up.
    void estadoCambiado();

private:
    void avisa(const char* nombre);

    std::array<bool, kBotones> habilitado_{};
    std::array<bool, kBotones> visible_{};
    bool conTitulo_ = true;
    bool enabled_ = true;
    short theme_ = 0;
};
