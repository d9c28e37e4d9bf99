#include "ui/ContextMenu.h"

#include <QAbstractScrollArea>
#include <QBuffer>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QRegularExpression>
#include <qcustomplot.h>

#include "base/Language.h"
#include "base/WholeFile.h"
#include "ui/Widgets.h"

static TSaveNameAsker saveNameAsker;

void SetContextMenu(QWidget* widget, TMenuEntries entries) {
    widget->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(
        widget, &QWidget::customContextMenuRequested, widget, [widget, entries](const QPoint& pos) {
            const std::vector<TMenuEntry> items = entries();
            if (items.empty()) return;
            QMenu menu(widget);
            for (const TMenuEntry& item : items)
                QObject::connect(menu.addAction(item.Text), &QAction::triggered, &menu, item.Run);
            // A scroll area reports the click in its viewport's coordinates.
            auto* area = qobject_cast<QAbstractScrollArea*>(widget);
            QWidget* origin = area ? area->viewport() : widget;
            menu.exec(origin->mapToGlobal(pos));
        });
}

QString AskSaveFileName(QWidget* parent, const QString& filter, const QString& suffix) {
    if (saveNameAsker) return saveNameAsker(parent, filter, suffix);
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(filter);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    QString name = dialog.selectedFiles().first();
    if (QFileInfo(name).suffix().isEmpty()) {
        const QRegularExpressionMatch m =
            QRegularExpression(QStringLiteral("\\*\\.(\\w+)")).match(dialog.selectedNameFilter());
        name += '.' + (m.hasMatch() ? m.captured(1) : suffix);
    }
    return name;
}

void SetSaveNameAsker(TSaveNameAsker asker) {
    saveNameAsker = std::move(asker);
}

bool WriteFileTelling(const QString& path, const std::string& content) {
    std::string error;
    if (WriteFileWhole(path.toStdString(), content, error)) return true;
    ShowMessage(MenuText("Файл не записан: %1", "The file was not written: %1")
                    .arg(QString::fromStdString(error)));
    return false;
}

void SaveTextAs(QWidget* parent, const QString& filter, const QString& suffix,
                const std::string& content) {
    const QString path = AskSaveFileName(parent, filter, suffix);
    if (!path.isEmpty()) WriteFileTelling(path, content);
}

void SaveWidgetPng(QWidget* widget) {
    const QString path =
        AskSaveFileName(widget->window(), QStringLiteral("PNG (*.png)"), QStringLiteral("png"));
    if (path.isEmpty()) return;
    // A chart renders itself at full quality off screen; any other widget is grabbed as shown.
    auto* chart = qobject_cast<QCustomPlot*>(widget);
    const QPixmap picture = chart ? chart->toPixmap() : widget->grab();
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (picture.isNull() || !picture.save(&buffer, "PNG")) {
        ShowMessage(MenuText("Файл не записан: %1: нет изображения",
                             "The file was not written: %1: no picture")
                        .arg(path));
        return;
    }
    WriteFileTelling(path, png.toStdString());
}

QString SavePngText() {
    return MenuText("Сохранить как PNG…", "Save as PNG…");
}

QString MenuText(const char* russian, const char* english) {
    return QString::fromUtf8(LanguageIndex == 1 ? english : russian);
}
