#include "una_linea.h"

#include <QLineEdit>
#include <QValidator>

namespace rt {

namespace {

bool esSalto(QChar c)
{
    // Tab, line feed, vertical tab, form feed, carriage return, next line,
    // and the Unicode line and paragraph separators. Other control characters
    // are data like any other and stay.
    switch (c.unicode()) {
    case u'\t':
    case u'\n':
    case u'\v':
    case u'\f':
    case u'\r':
    case 0x85:
    case 0x2028:
    case 0x2029: return true;
    default: return false;
    }
}

// A validator may change what it validates: the box takes the text so
// changed, whether it came from the keyboard, the clipboard or setText.
class ValidadorUnaLinea : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& texto, int& pos) const override
    {
        bool hay = false;
        for (const QChar c : texto) hay = hay || esSalto(c);
        if (!hay) return Acceptable;
        const QString izquierda = EnUnaLinea(texto.left(pos));
        texto = izquierda + EnUnaLinea(texto.mid(pos));
        pos = static_cast<int>(izquierda.size());
        return Acceptable;
    }
    void fixup(QString& texto) const override { texto = EnUnaLinea(texto); }
};

}  // namespace

QString EnUnaLinea(const QString& texto)
{
    QString r;
    r.reserve(texto.size());
    for (qsizetype i = 0; i < texto.size(); ++i) {
        const QChar c = texto.at(i);
        if (!esSalto(c)) {
            r += c;
            continue;
        }
        if (c == u'\r' && i + 1 < texto.size() && texto.at(i + 1) == u'\n') ++i;
        r += u' ';
    }
    return r;
}

void CajaDeUnaLinea(QLineEdit* caja)
{
    if (!caja) return;
    caja->setValidator(new ValidadorUnaLinea(caja));
    caja->setText(caja->text());
}

}  // namespace rt
