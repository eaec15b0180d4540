#pragma once
// The dialog-showing operator, installed as the program installs it (a main
// window as the fallback parent of its boxes), for journeys answered on the
// real boxes; the operator it replaced is back when it ends. A box nobody
// answers would wait for ever: after a few seconds it is closed and the test
// fails, naming it. There is no desktop here to open a workbook.
#include "runtime/operador_qt.h"
#include "teclado.h"

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <gtest/gtest.h>

class OperadorReal : public rt::OperadorQt {
public:
    OperadorReal(QWidget* principal, rt::Operador* anterior) : rt::OperadorQt(principal), anterior_(anterior)
    {
        rt::fijaOperador(this);
        QObject::connect(&vigia_, &QTimer::timeout, [this] {
            QWidget* m = QApplication::activeModalWidget();
            esperando_ = m && m == modalVisto_ ? esperando_ + 1 : 0;
            modalVisto_ = m;
            if (m && esperando_ >= 10) {
                ADD_FAILURE() << "unanswered: " << m->windowTitle().toStdString() << " " << teclado::TextoDe(m).toStdString();
                if (auto* d = qobject_cast<QDialog*>(m)) d->reject();
            }
        });
        vigia_.start(500);
    }
    ~OperadorReal() override { rt::fijaOperador(anterior_); }
    OperadorReal(const OperadorReal&) = delete;
    OperadorReal& operator=(const OperadorReal&) = delete;
    long long Ejecuta(const QString&, const QString&) override { return 0; }

private:
    rt::Operador* anterior_;
    QTimer vigia_;
    QWidget* modalVisto_ = nullptr;
    int esperando_ = 0;
};
