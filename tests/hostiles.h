#pragma once
// Texts that break statements built by joining strings: what an operator may
// type, another program may store or a hand-edited file may hold. Every entry
// point that puts text into a statement or a file is tried with all of them.
#include <QList>
#include <QString>

struct TextoHostil {
    const char* nombre;  // shown when a case fails
    QString texto;
};

/// `largo` is the length of the "very long" entry: the column or box the
/// test writes to may take less, and the test says what it expects then.
inline QList<TextoHostil> TextosHostiles(int largo = 5000)
{
    QString conNul = QStringLiteral("a");
    conNul.append(QChar(u'\0'));
    conNul.append(QStringLiteral("b"));
    QString largoTexto;
    for (int i = 0; largoTexto.size() < largo; ++i) largoTexto += QStringLiteral("%1'").arg(i % 10);
    largoTexto.truncate(largo);
    return {
        {"apostrofo", QStringLiteral("O'Brien")},
        {"apostrofo solo", QStringLiteral("'")},
        {"dos apostrofos", QStringLiteral("''")},
        {"cierre y OR", QStringLiteral("x' OR '1'='1")},
        {"punto y coma y DROP", QStringLiteral("a'; DROP TABLE TA_TITCOPIADORES; --")},
        {"comentario de linea", QStringLiteral("x -- y")},
        {"comentario de bloque", QStringLiteral("/* z")},
        {"por ciento", QStringLiteral("100%")},
        {"por ciento solo", QStringLiteral("%")},
        {"guion bajo", QStringLiteral("a_b")},
        {"guion bajo solo", QStringLiteral("_")},
        {"corchetes", QStringLiteral("[a-z]")},
        {"barra invertida", QStringLiteral("c:\\x\\")},
        {"signo de escape", QStringLiteral("a!b")},
        // The sign the lookups escape with, next to a wildcard, with and
        // without the "[" that makes them escape.
        {"escape y guion bajo", QStringLiteral("a!_b")},
        {"por ciento y escape", QStringLiteral("50%!")},
        {"corchete, escape y por ciento", QStringLiteral("[1]!%")},
        {"comillas dobles", QStringLiteral("\"q\"")},
        {"nul", conNul},
        {"muy largo", largoTexto},
    };
}
