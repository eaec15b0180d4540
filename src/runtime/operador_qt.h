#pragma once
// The operator that really asks the person at the keyboard, with Qt's dialogs.
#include "operador.h"

#include <QPointer>
#include <QWidget>

class QCoreApplication;

namespace rt {

class OperadorQt : public Operador {
public:
    /// Dialogs are centred on `padre` when given, else on the active window.
    explicit OperadorQt(QWidget* padre = nullptr) : padre_(padre) {}
    void fijaPadre(QWidget* padre) { padre_ = padre; }

    int MsgBox(const QString& texto, int botones = vbOKOnly, const QString& titulo = {}) override;
    QString InputBox(const QString& prompt, const QString& titulo, const QString& def, bool* cancelado) override;
    QString AbreArchivo(const QString& titulo, const QString& filtro, bool* cancelado) override;
    QString GuardaArchivo(const QString& titulo, const QString& filtro, const QString& sugerido, bool* cancelado) override;
    int Modal(QObject* ventana) override;
    long long Ejecuta(const QString& programa, const QString& argumentos) override;

    /// The suite's "Text|*.a;*.b|Other|*.c" filter in Qt's "Text (*.a *.b);;Other (*.c)" form.
    static QString FiltroQt(const QString& filtro);

private:
    QWidget* padre() const;
    QPointer<QWidget> padre_;
};

/// Loads Qt's Spanish texts for the standard dialogs and buttons.
void InstalaTraduccionEspanola(QCoreApplication& app);

}  // namespace rt
