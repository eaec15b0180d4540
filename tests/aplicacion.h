#pragma once
// One QApplication per test program, created on first use.
#include <QApplication>

inline QApplication& aplicacion()
{
    static int argc = 1;
    static char nombre[] = "pruebas";
    static char* argv[] = {nombre, nullptr};
    // Never destroyed: tearing a QApplication down among static destructors crashes.
    static auto* app = new QApplication(argc, argv);
    return *app;
}
