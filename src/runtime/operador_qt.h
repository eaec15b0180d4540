#pragma once
// The operator that really asks the person at the keyboard, with Qt's dialogs.
#include "operador.h"

#include <QPointer>
#include <QWidget>

class QCoreApplication;

namespace rt {

class OperadorQt : public Operador {
public:
    /// A question opens over the window that asked it (dueno()); one asked for
    /// no window opens over the active window, else over `padre`.
    explicit OperadorQt(QWidget* padre = nullptr) : padre_(padre) {}
    void fijaPadre(QWidget* padre) { padre_ = padre; }

    using Operador::AbreArchivo;
    using Operador::GuardaArchivo;
    using Operador::InputBox;
    using Operador::MsgBox;
    int MsgBox(const QString& texto, int botones = vbOKOnly, const QString& titulo = {}) override;
    QString InputBox(const QString& prompt, const QString& titulo, const QString& def, bool* cancelado) override;
    QString AbreArchivo(const QString& titulo, const QString& filtro, bool* cancelado) override;
    QString GuardaArchivo(const QString& titulo, const QString& filtro, const QString& sugerido, bool* cancelado) override;
    int Modal(QObject* ventana) override;
    long long Ejecuta(const QString& programa, const QString& argumentos) override;

    /// The suite's "Text|*.a;*.b|Other|*.c" filter in Qt's "Text (*.a *.b);;Other (*.c)" form.
    static QString FiltroQt(const QString& filtro);

private:
    /// The window this question opens over.
    QWidget* padre();
    /// Gives the keyboard back to the window the question was asked over.
    static void devuelveFoco(QWidget* ventana);
    QPointer<QWidget> padre_;
};

/// Loads Qt's Spanish texts for the standard dialogs and buttons.
void InstalaTraduccionEspanola(QCoreApplication& app);

}  // namespace rt
