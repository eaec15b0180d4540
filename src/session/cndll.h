#pragma once
// The accounting-services class: of it this program uses the configuration read
// and the check of an account code against the other titles' ranges.
#include <QString>
#include <functional>

#include "adodb/variant.h"

class CNDLL {
public:
    CNDLL();
    /// Value of a configuration key as given (not trimmed); " " when missing.
    QString Cfg(const QString& Campo);
    /// True when `Codigo` lies inside the range of a title other than `CodigoTitulo`.
    bool ValidaRango(const QString& Codigo, const QString& CodigoTitulo);
    /// True when the range `Desde`..`Hasta` holds the whole range of a title
    /// other than `CodigoTitulo`: an overlap that neither end reveals.
    bool ContieneRango(const QString& Desde, const QString& Hasta, const QString& CodigoTitulo);

    /// While one lives, ValidaRango reads the titles once and checks every
    /// later code against the rows of that read: one user action that checks
    /// both ends of a range reads the table once. The next action reads it anew.
    class UnaLectura {
    public:
        UnaLectura();
        ~UnaLectura();
        UnaLectura(const UnaLectura&) = delete;
        UnaLectura& operator=(const UnaLectura&) = delete;
    };
    void setArchivoError(const adodb::Variant& v);
    QString archivoError() const { return archivoError_; }

    // The structure read at creation (kept; nothing here uses it).
    short digitos[6] = {0, 0, 0, 0, 0, 0};

private:
    /// True when some title other than `CodigoTitulo` has a range (from, to;
    /// without blanks) that `cumple` accepts.
    bool OtroTitulo(const QString& CodigoTitulo, const std::function<bool(const QString&, const QString&)>& cumple);
    QString archivoError_;
};
