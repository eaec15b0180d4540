#include "toolbar/utilvarn_logica.h"

#include "runtime/rtentorno.h"
#include "runtime/rtini.h"
#include "runtime/teclas.h"

namespace {
constexpr int kPosBorrar = 1;
constexpr int kPosCancelar = 5;
constexpr int kPosCerrar = 7;

const char* const kConTitulo = "ConTitulo";
const char* const kEnabled = "Enabled";
}  // namespace

const std::array<UtilVarnLogica::DefBoton, UtilVarnLogica::kBotones>& UtilVarnLogica::Botones()
{
    // Blanks in the captions are part of them: they centre the text under the
    // icon on the bar, and the command word is derived by trimming.
    static const std::array<DefBoton, kBotones> tabla{{
        {1, "Nuevo", rt::vbKeyF3, "NuevoEnabled", "NuevoVisible"},
        {2, "Borrar", rt::vbKeyF10, "BorrarEnabled", "BorrarVisible"},
        {3, " Reporte", rt::vbKeyF4, "ReporteEnabled", "ReporteVisible"},
        {6, " Consultar", rt::vbKeyF5, "ConsultaEnabled", "ConsultarVisible"},
        {7, "  Planilla", rt::vbKeyF6, "PlanillaEnabled", "PlanillaVisible"},
        {8, "Cancelar", 0, "CancelarEnabled", "CancelarVisible"},
        {4, "Grabar", rt::vbKeyF2, "GrabarEnabled", "GrabarVisible"},
        {5, "   Cerrar", 0, "CerrarEnabled", "CerrarVisible"},
    }};
    return tabla;
}

int UtilVarnLogica::PosicionDeId(int id)
{
    const auto& t = Botones();
    for (int i = 0; i < kBotones; ++i)
        if (t[i].id == id) return i;
    return -1;
}

QString UtilVarnLogica::Palabra(const QString& titulo)
{
    return titulo.trimmed().toUpper();
}

Qt::Orientation UtilVarnLogica::OrientacionPara(int ancho, int alto)
{
    return ancho > alto ? Qt::Horizontal : Qt::Vertical;
}

QString UtilVarnLogica::ArchivoIconos(const QString& estilo)
{
    if (estilo == QLatin1String("1")) return QStringLiteral("ABM2021B.bmp");
    if (estilo == QLatin1String("2")) return QStringLiteral("ABM2021M.bmp");
    if (estilo == QLatin1String("3")) return QStringLiteral("ABM2021V.bmp");
    if (estilo == QLatin1String("4")) return QStringLiteral("ABM2021i.bmp");
    return QStringLiteral("ABM2021.bmp");
}

QString UtilVarnLogica::ArchivoIconosConfigurado()
{
    const QString seccion = RtEntorno::NombreUsuario().toUpper() + QStringLiteral("Styles");
    return ArchivoIconos(RtIni::LeeIni(QStringLiteral("cn000pr.ini"), seccion, QStringLiteral("Styles"), QStringLiteral("1")));
}

QString UtilVarnLogica::RutaIconos()
{
    return RtEntorno::CarpetaPrograma() + ArchivoIconosConfigurado();
}

UtilVarnLogica::UtilVarnLogica(QObject* parent) : QObject(parent)
{
    habilitado_.fill(true);
    visible_.fill(true);
    Inicializa();
}

void UtilVarnLogica::Inicializa()
{
    conTitulo_ = true;
    enabled_ = true;
    visible_.fill(true);
    // The enable flags go through their setters so a host listening to property
    // changes learns that its disabled buttons came back.
    for (int i = 0; i < kBotones; ++i) setHabilitado(i, true);
    emit estadoCambiado();
}

bool UtilVarnLogica::Habilitado(int pos) const
{
    return pos >= 0 && pos < kBotones && habilitado_[pos];
}

void UtilVarnLogica::setHabilitado(int pos, bool v)
{
    if (pos < 0 || pos >= kBotones) return;
    habilitado_[pos] = v;
    avisa(Botones()[pos].nombreHabilitado);
}

bool UtilVarnLogica::Visible(int pos) const
{
    return pos >= 0 && pos < kBotones && visible_[pos];
}

void UtilVarnLogica::setVisible(int pos, bool v)
{
    if (pos < 0 || pos >= kBotones) return;
    visible_[pos] = v;
    avisa(Botones()[pos].nombreVisible);
}

void UtilVarnLogica::setConTitulo(bool v)
{
    conTitulo_ = v;
    avisa(kConTitulo);
}

void UtilVarnLogica::setEnabled(bool v)
{
    enabled_ = v;
    avisa(kEnabled);
}

void UtilVarnLogica::setTheme(int v)
{
    theme_ = static_cast<short>((v < 0 || v > 2) ? 0 : v);
    avisa("Theme");
}

void UtilVarnLogica::avisa(const char* nombre)
{
    emit propertyChanged(QString::fromLatin1(nombre));
    emit estadoCambiado();
}

QString UtilVarnLogica::PalabraDeTecla(int keyCode) const
{
    const auto& t = Botones();
    if (keyCode == rt::vbKeyEscape) {
        // Esc backs out of an edit first; only with nothing to cancel does it close.
        if (habilitado_[kPosCancelar]) return Palabra(QString::fromLatin1(t[kPosCancelar].titulo));
        if (habilitado_[kPosCerrar]) return Palabra(QString::fromLatin1(t[kPosCerrar].titulo));
        return {};
    }
    for (int i = 0; i < kBotones; ++i)
        if (t[i].tecla != 0 && t[i].tecla == keyCode)
            return habilitado_[i] ? Palabra(QString::fromLatin1(t[i].titulo)) : QString();
    return {};
}

bool UtilVarnLogica::KeyAnalisis(int keyCode)
{
    const QString palabra = PalabraDeTecla(keyCode);
    if (palabra.isEmpty()) return false;
    emit click(palabra);
    return true;
}

void UtilVarnLogica::BotonEjecutado(const QString& titulo)
{
    const QString palabra = Palabra(titulo);
    if (palabra.isEmpty()) return;
    // A new record has nothing to delete yet; once saved or on leaving, deleting
    // is possible again. Written straight to the flag: the host did not ask.
    bool cambio = false;
    if (palabra == QLatin1String("NUEVO")) {
        habilitado_[kPosBorrar] = false;
        cambio = true;
    } else if (palabra == QLatin1String("GRABAR") || palabra == QLatin1String("CERRAR")) {
        habilitado_[kPosBorrar] = true;
        cambio = true;
    }
    if (cambio) emit estadoCambiado();
    emit click(palabra);
}

void UtilVarnLogica::guardaPropiedades(QVariantMap& bolsa) const
{
    // Every value is written, defaults included, so a reused map never keeps a
    // stale False from an earlier save.
    bolsa.insert(QString::fromLatin1(kConTitulo), conTitulo_);
    bolsa.insert(QString::fromLatin1(kEnabled), enabled_);
    const auto& t = Botones();
    for (int i = 0; i < kBotones; ++i) bolsa.insert(QString::fromLatin1(t[i].nombreHabilitado), habilitado_[i]);
    for (int i = 0; i < kBotones; ++i) bolsa.insert(QString::fromLatin1(t[i].nombreVisible), visible_[i]);
}

void UtilVarnLogica::leePropiedades(const QVariantMap& bolsa)
{
    const auto lee = [&bolsa](const char* nombre) {
        const auto it = bolsa.constFind(QString::fromLatin1(nombre));
        if (it == bolsa.constEnd() || !it->isValid()) return true;
        return it->toBool();
    };
    conTitulo_ = lee(kConTitulo);
    enabled_ = lee(kEnabled);
    const auto& t = Botones();
    for (int i = 0; i < kBotones; ++i) habilitado_[i] = lee(t[i].nombreHabilitado);
    for (int i = 0; i < kBotones; ++i) visible_[i] = lee(t[i].nombreVisible);
    emit estadoCambiado();
}
