#include "UiTestSupport.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTabWidget>
#include <QTemporaryDir>
#include <memory>
#include <vector>

#include "app/Wiring.h"
#include "tests/support/MainFormTest.h"
#include "tests/support/TestApplication.h"
#include "ui/Forms.h"

QString EnterTemporaryDirectory() {
    static std::vector<std::unique_ptr<QTemporaryDir>> dirs;
    dirs.push_back(std::make_unique<QTemporaryDir>());
    QDir::setCurrent(dirs.back()->path());
    return dirs.back()->path();
}

void EnsureForms() {
    TestApplication();
    if (Form1) return;
    EnterTemporaryDirectory();
    CreateForms();
    StopTimers(*Form1);
}

QString ShownText(QObject* control) {
    if (auto* page = qobject_cast<QWidget*>(control)) {
        if (auto* tabs = qobject_cast<QTabWidget*>(
                page->parentWidget() ? page->parentWidget()->parentWidget() : nullptr);
            tabs && tabs->indexOf(page) >= 0)
            return tabs->tabText(tabs->indexOf(page));
    }
    if (auto* menu = qobject_cast<QMenu*>(control)) return menu->title();
    if (auto* action = qobject_cast<QAction*>(control)) return action->text();
    if (auto* label = qobject_cast<QLabel*>(control)) return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(control)) return button->text();
    if (auto* group = qobject_cast<QGroupBox*>(control)) return group->title();
    if (auto* edit = qobject_cast<QLineEdit*>(control)) return edit->text();
    if (auto* combo = qobject_cast<QComboBox*>(control)) return combo->currentText();
    return QStringLiteral("<no text>");
}
