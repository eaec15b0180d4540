#pragma once
// The accounting-services class: of it this program uses the configuration read
// and the check of an account code against the other titles' ranges.
#include <QString>

#include "adodb/variant.h"

class CNDLL {
public:
    CNDLL();
    /// Value of a configuration key as given (not trimmed); " " when missing.
    QString Cfg(const QString& Campo);
    /// True when `Codigo` lies inside the range of a title other than `CodigoTitulo`.
    bool ValidaRango(const QString& Codigo, const QString& CodigoTitulo);
    void setArchivoError(const adodb::Variant& v);
    QString archivoError() const { return archivoError_; }

    // The structure read at creation (kept; nothing here uses it).
    short digitos[6] = {0, 0, 0, 0, 0, 0};

private:
    QString archivoError_;
};
