#include <QApplication>
#include <QMessageBox>
#include <exception>

#include "ui/Forms.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Halvex"));
    CreateForms();
    // An exception escaping a handler is reported and ends the run; the process still returns 0.
    try {
        app.exec();
    } catch (const std::exception& e) {
        QMessageBox::critical(nullptr, QStringLiteral("Halvex"), QString::fromLocal8Bit(e.what()));
    } catch (...) {
        QMessageBox::critical(nullptr, QStringLiteral("Halvex"), QString());
    }
    return 0;
}
