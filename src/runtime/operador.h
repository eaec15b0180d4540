#pragma once
// The one seam through which the program talks to the person at the keyboard:
// every message box, input box, file dialog and modal window goes through here,
// so tests answer them from a script.
#include <QObject>
#include <QPointer>
#include <QString>
#include <deque>
#include <functional>
#include <vector>

namespace rt {

// Message-box buttons, icons and answers, with the suite's numbering.
enum Botones : int {
    vbOKOnly = 0,
    vbOKCancel = 1,
    vbAbortRetryIgnore = 2,
    vbYesNoCancel = 3,
    vbYesNo = 4,
    vbRetryCancel = 5,
    vbCritical = 16,
    vbQuestion = 32,
    vbExclamation = 48,
    vbInformation = 64,
    vbDefaultButton2 = 256,
    vbDefaultButton3 = 512
};
enum Respuesta : int { vbOK = 1, vbCancel = 2, vbAbort = 3, vbRetry = 4, vbIgnore = 5, vbYes = 6, vbNo = 7 };

class Operador {
public:
    virtual ~Operador() = default;
    /// Shows a message box; returns the answer (Respuesta).
    virtual int MsgBox(const QString& texto, int botones = vbOKOnly, const QString& titulo = {}) = 0;
    /// Asks for a line of text; `cancelado` tells Cancel apart from an empty answer.
    virtual QString InputBox(const QString& prompt, const QString& titulo, const QString& def, bool* cancelado) = 0;
    /// Asks for a file to open; filter in the suite's "text|pattern" form.
    virtual QString AbreArchivo(const QString& titulo, const QString& filtro, bool* cancelado) = 0;
    /// Asks where to save a file; `sugerido` is the name offered. Operators
    /// that cannot ask answer Cancel.
    virtual QString GuardaArchivo(const QString& titulo, const QString& filtro, const QString& sugerido, bool* cancelado)
    {
        (void)titulo, (void)filtro, (void)sugerido;
        if (cancelado) *cancelado = true;
        return {};
    }
    /// Shows a window modally and returns its result code. `ventana` is a QDialog in production.
    virtual int Modal(QObject* ventana) = 0;
    /// Starts a program (sibling module); returns its process id, 0 when it could not start.
    virtual long long Ejecuta(const QString& programa, const QString& argumentos) = 0;

    // The same questions asked on behalf of a window: the box or dialog opens
    // over `padre`'s window and the focus returns there when it closes, so a
    // key pressed next lands where the operator was, not in whichever window
    // the seam would pick by itself.
    int MsgBox(QObject* padre, const QString& texto, int botones = vbOKOnly, const QString& titulo = {});
    QString InputBox(QObject* padre, const QString& prompt, const QString& titulo, const QString& def, bool* cancelado);
    QString AbreArchivo(QObject* padre, const QString& titulo, const QString& filtro, bool* cancelado);
    QString GuardaArchivo(QObject* padre, const QString& titulo, const QString& filtro, const QString& sugerido,
                          bool* cancelado);

    /// The window named for the question about to be asked; nullptr when the
    /// caller named none.
    QObject* dueno() const { return dueno_.data(); }

protected:
    /// The window named for this question, taken as the question starts: one
    /// asked meanwhile (from a dialog's event loop) without naming a window
    /// must not inherit it.
    QObject* tomaDueno()
    {
        QObject* d = dueno_.data();
        dueno_ = nullptr;
        return d;
    }

private:
    class ConDueno;
    QPointer<QObject> dueno_;
};

/// The current operator. Production installs the dialog-showing one at start-up.
Operador& operador();
/// Installs `op` (not owned); nullptr restores the default, which answers every
/// question with its last (safest) button and shows nothing.
void fijaOperador(Operador* op);

/// A scripted operator for tests: answers in order, records every question.
class OperadorGuionado : public Operador {
public:
    struct Pregunta {
        QString tipo;  // "MsgBox", "InputBox", "AbreArchivo", "GuardaArchivo", "Modal", "Ejecuta"
        QString texto;
        QString titulo;
        int botones = 0;
        /// The window it was asked for (nullptr: none named).
        const QObject* dueno = nullptr;
    };
    /// Answers for message boxes, in order; when they run out the default applies.
    std::deque<int> respuestas;
    /// Answers for input boxes and file dialogs; an empty optional-like "\x1b" means Cancel.
    std::deque<QString> textos;
    /// Called for each modal window; may drive its widgets. Returns the result code.
    std::function<int(QObject*)> alModal;
    /// Result of Ejecuta (0 = could not start).
    long long pidEjecuta = 0;
    std::vector<Pregunta> preguntas;

    using Operador::AbreArchivo;
    using Operador::GuardaArchivo;
    using Operador::InputBox;
    using Operador::MsgBox;
    int MsgBox(const QString& texto, int botones, const QString& titulo) override;
    QString InputBox(const QString& prompt, const QString& titulo, const QString& def, bool* cancelado) override;
    QString AbreArchivo(const QString& titulo, const QString& filtro, bool* cancelado) override;
    QString GuardaArchivo(const QString& titulo, const QString& filtro, const QString& sugerido, bool* cancelado) override;
    int Modal(QObject* ventana) override;
    long long Ejecuta(const QString& programa, const QString& argumentos) override;

    /// Messages shown, in order (texts only).
    QStringList mensajes() const;
    /// The answer given when the script has none: Cancel/No/Abort/OK, whichever the buttons have.
    static int respuestaPorDefecto(int botones);
};

/// Installs a scripted operator for the lifetime of the object (tests).
class GuionDePrueba {
public:
    GuionDePrueba() { fijaOperador(&op); }
    ~GuionDePrueba() { fijaOperador(nullptr); }
    OperadorGuionado op;
};

}  // namespace rt
