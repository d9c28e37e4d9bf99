#include <QApplication>
#include <QMessageBox>
#include <exception>

#include "ui/Forms.h"

namespace {

// An exception thrown by a handler is shown to the operator and the program carries on, as the
// event loop would have it; nothing the device or a file sends may end the run this way.
class THalvexApplication : public QApplication {
  public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& e) {
            Report(QString::fromLocal8Bit(e.what()));
        } catch (...) {
            Report(QString());
        }
        return false;
    }

    static void Report(const QString& text) {
        QMessageBox::critical(QApplication::activeWindow(), QStringLiteral("Halvex"), text);
    }
};

} // namespace

int main(int argc, char** argv) {
    THalvexApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Halvex"));
    // The run ends only through the main window's close handler; closing the splash windows
    // while the main window is hidden must not end it.
    QApplication::setQuitOnLastWindowClosed(false);
    CreateForms();
    try {
        THalvexApplication::exec();
    } catch (const std::exception& e) {
        THalvexApplication::Report(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        THalvexApplication::Report(QString());
    }
    return 0;
}
