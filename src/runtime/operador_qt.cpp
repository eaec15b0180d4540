#include "operador_qt.h"

#include "rtentorno.h"

#include <QAbstractFileIconProvider>
#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QProcess>
#include <QPushButton>
#include <QStyle>
#include <QTranslator>

#include <vector>

namespace rt {

namespace {

struct Boton {
    QMessageBox::StandardButton qt;
    int respuesta;
    const char* texto;
};

// Named as the suite's own boxes named them on Spanish Windows; Qt's
// translation says "Interrumpir" for Abort, and the texts must not depend on
// whether the translation was found.
std::vector<Boton> botonesDe(int botones)
{
    const Boton ok{QMessageBox::Ok, vbOK, "Aceptar"};
    const Boton cancelar{QMessageBox::Cancel, vbCancel, "Cancelar"};
    const Boton anular{QMessageBox::Abort, vbAbort, "&Anular"};
    const Boton reintentar{QMessageBox::Retry, vbRetry, "&Reintentar"};
    const Boton ignorar{QMessageBox::Ignore, vbIgnore, "&Ignorar"};
    const Boton si{QMessageBox::Yes, vbYes, "&Sí"};
    const Boton no{QMessageBox::No, vbNo, "&No"};
    switch (botones & 7) {
    case vbOKCancel: return {ok, cancelar};
    case vbAbortRetryIgnore: return {anular, reintentar, ignorar};
    case vbYesNoCancel: return {si, no, cancelar};
    case vbYesNo: return {si, no};
    case vbRetryCancel: return {reintentar, cancelar};
    default: return {ok};
    }
}

QMessageBox::Icon iconoDe(int botones)
{
    switch (botones & 0x70) {
    case vbCritical: return QMessageBox::Critical;
    case vbQuestion: return QMessageBox::Question;
    case vbExclamation: return QMessageBox::Warning;
    case vbInformation: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

QString tituloDe(const QString& titulo)
{
    if (!titulo.isEmpty()) return titulo;
    const QString app = QGuiApplication::applicationDisplayName();
    return app.isEmpty() ? RtEntorno::NombreEjecutable() : app;
}

// Icons and types told from the name alone. Qt's own provider reads the
// first bytes of every file in the folder to guess its type, and opening and
// closing the program's own database file, its log or its index from this
// process is what lets another program on the same file think it is alone.
class IconosPorNombre final : public QAbstractFileIconProvider {
public:
    QIcon icon(IconType tipo) const override { return QAbstractFileIconProvider::icon(tipo); }
    QIcon icon(const QFileInfo& info) const override
    {
        const QStyle* estilo = QApplication::style();
        if (info.isDir()) return estilo->standardIcon(QStyle::SP_DirIcon);
        return estilo->standardIcon(QStyle::SP_FileIcon);
    }
    QString type(const QFileInfo& info) const override
    {
        if (info.isDir()) return QStringLiteral("Carpeta");
        return mimes_.mimeTypeForFile(info.fileName(), QMimeDatabase::MatchExtension).comment();
    }

private:
    QMimeDatabase mimes_;
};

// Qt's own dialog, never the desktop's: a dialog of another toolkit in this
// process would read the folder's files its own way.
QString eligeArchivo(QWidget* sobre, QFileDialog::AcceptMode modo, const QString& titulo, const QString& filtro,
                     const QString& sugerido)
{
    QFileDialog d(sobre, titulo, QString(), filtro);
    d.setOption(QFileDialog::DontUseNativeDialog);
    IconosPorNombre iconos;
    d.setIconProvider(&iconos);
    d.setAcceptMode(modo);
    d.setFileMode(modo == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (!sugerido.isEmpty()) {
        const QFileInfo fi(sugerido);
        if (fi.isDir()) {
            d.setDirectory(sugerido);
        } else {
            if (sugerido.contains(u'/')) d.setDirectory(fi.absolutePath());
            d.selectFile(fi.fileName());
        }
    }
    if (d.exec() != QDialog::Accepted) return {};
    return d.selectedFiles().value(0);
}

}  // namespace

QWidget* OperadorQt::padre()
{
    // The box belongs to the window that asked: over another one (the main
    // window, say) that window would come to the front and keep the focus
    // afterwards, and the operator's next Esc would close it.
    if (auto* w = qobject_cast<QWidget*>(tomaDueno()); w && w->window()->isVisible()) return w->window();
    if (QWidget* activa = QApplication::activeWindow()) return activa;
    // A window not shown yet (the main window while it connects) would
    // place the dialogs at the corner of the screen.
    if (padre_ && padre_->isVisible()) return padre_;
    return nullptr;
}

void OperadorQt::devuelveFoco(QWidget* ventana)
{
    // Window managers give the focus back to a dialog's parent on their own,
    // but not all do, and not at once.
    if (!ventana || !ventana->isVisible()) return;
    ventana->activateWindow();
}

int OperadorQt::MsgBox(const QString& texto, int botones, const QString& titulo)
{
    QWidget* sobre = padre();
    QMessageBox box(sobre);
    box.setWindowTitle(tituloDe(titulo));
    // The texts come from data and error messages; a "<" must not turn them into markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(texto);
    box.setIcon(iconoDe(botones));

    const std::vector<Boton> lista = botonesDe(botones);
    std::vector<QPushButton*> pulsables;
    QPushButton* escape = nullptr;
    for (const Boton& b : lista) {
        QPushButton* p = box.addButton(b.qt);
        p->setText(QString::fromUtf8(b.texto));
        pulsables.push_back(p);
        if (b.respuesta == vbCancel) escape = p;
    }
    if (lista.size() == 1) escape = pulsables.front();
    if (escape) box.setEscapeButton(escape);
    size_t defecto = (botones & vbDefaultButton3) ? 2 : (botones & vbDefaultButton2) ? 1 : 0;
    if (defecto >= pulsables.size()) defecto = 0;
    box.setDefaultButton(pulsables[defecto]);

    box.exec();
    devuelveFoco(sobre);
    const auto* pulsado = box.clickedButton();
    for (size_t i = 0; i < pulsables.size(); ++i)
        if (pulsables[i] == pulsado) return lista[i].respuesta;
    return OperadorGuionado::respuestaPorDefecto(botones);
}

QString OperadorQt::InputBox(const QString& prompt, const QString& titulo, const QString& def, bool* cancelado)
{
    QWidget* sobre = padre();
    QInputDialog dlg(sobre);
    dlg.setInputMode(QInputDialog::TextInput);
    dlg.setWindowTitle(tituloDe(titulo));
    dlg.setLabelText(prompt);
    dlg.setTextValue(def);
    dlg.setOkButtonText(QStringLiteral("Aceptar"));
    dlg.setCancelButtonText(QStringLiteral("Cancelar"));
    const bool aceptado = dlg.exec() == QDialog::Accepted;
    devuelveFoco(sobre);
    if (cancelado) *cancelado = !aceptado;
    return aceptado ? dlg.textValue() : QString();
}

QString OperadorQt::FiltroQt(const QString& filtro)
{
    const QStringList partes = filtro.split(u'|');
    if (partes.size() < 2) return filtro.trimmed();
    QStringList grupos;
    for (qsizetype i = 0; i + 1 < partes.size(); i += 2) {
        QStringList patrones;
        for (const QString& p : partes[i + 1].split(u';', Qt::SkipEmptyParts)) {
            const QString t = p.trimmed();
            if (t.isEmpty()) continue;
            // The suite's patterns are upper case and Windows matched them in any
            // case; files copied here keep whatever case they had.
            for (const QString& v : {t, t.toLower(), t.toUpper()})
                if (!patrones.contains(v)) patrones.append(v);
        }
        if (patrones.isEmpty()) continue;
        QString texto = partes[i].trimmed();
        if (texto.isEmpty()) texto = patrones.join(u' ');
        grupos.append(QStringLiteral("%1 (%2)").arg(texto, patrones.join(u' ')));
    }
    return grupos.join(QStringLiteral(";;"));
}

QString OperadorQt::AbreArchivo(const QString& titulo, const QString& filtro, bool* cancelado)
{
    QWidget* sobre = padre();
    const QString archivo = eligeArchivo(sobre, QFileDialog::AcceptOpen, tituloDe(titulo), FiltroQt(filtro), QString());
    devuelveFoco(sobre);
    if (cancelado) *cancelado = archivo.isEmpty();
    return archivo;
}

QString OperadorQt::GuardaArchivo(const QString& titulo, const QString& filtro, const QString& sugerido, bool* cancelado)
{
    QWidget* sobre = padre();
    const QString archivo = eligeArchivo(sobre, QFileDialog::AcceptSave, tituloDe(titulo), FiltroQt(filtro), sugerido);
    devuelveFoco(sobre);
    if (cancelado) *cancelado = archivo.isEmpty();
    return archivo;
}

int OperadorQt::Modal(QObject* ventana)
{
    auto* dlg = qobject_cast<QDialog*>(ventana);
    if (!dlg) return 0;
    const int r = dlg->exec();
    if (QWidget* dueno = dlg->parentWidget()) devuelveFoco(dueno->window());
    return r;
}

long long OperadorQt::Ejecuta(const QString& programa, const QString& argumentos)
{
    if (programa.trimmed().isEmpty()) return 0;
    // A bare name is looked for next to this program first, as Windows did
    // for the suite's sibling modules, and only then along the PATH.
    QString ruta = programa;
    if (!programa.contains(u'/')) {
        const QFileInfo junto(RtEntorno::CarpetaPrograma() + programa);
        if (junto.isFile() && junto.isExecutable()) ruta = junto.filePath();
    }
    QStringList args;
    if (!argumentos.isEmpty()) args.append(argumentos);
    qint64 pid = 0;
    if (!QProcess::startDetached(ruta, args, QString(), &pid)) return 0;
    return pid;
}

void InstalaTraduccionEspanola(QCoreApplication& app)
{
    const QString nombre = QStringLiteral("qtbase_es");
    if (app.findChild<QTranslator*>(nombre, Qt::FindDirectChildrenOnly)) return;
    auto* t = new QTranslator(&app);
    t->setObjectName(nombre);
    if (t->load(nombre, QLibraryInfo::path(QLibraryInfo::TranslationsPath)) && app.installTranslator(t)) return;
    delete t;
}

}  // namespace rt
