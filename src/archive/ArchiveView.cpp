#include "archive/ArchiveView.h"

#include "archive/ArchiveBusy.h"
#include "archive/ArchiveExport.h"
#include "archive/ArchivePageView.h"
#include "archive/ArchiveRecords.h"
#include "archive/ArchiveText.h"
#include "archive/ArchiveTransfer.h"
#include "base/Language.h"
#include "ui/Connect.h"
#include "ui/Forms.h"

#include <QFileInfo>
#include <QMessageBox>
#include <qcustomplot.h>

namespace {

void SetStatus(TForm1& form, const QString& text) {
    form.StatusBar1->SetPanelText(0, text);
}

void SetStatus(TForm1& form, const char* russian, const char* english) {
    if (auto text = LangText(russian, english)) SetStatus(form, *text);
}

void ClearChart(TForm1& form) {
    form.LineSeries1->data()->clear();
    form.Chart4->replot();
}

} // namespace

void Button4Click(TForm1& form) {
    if (ArchiveBusy()) return;
    TArchiveReadResult result;
    bool closing = false;
    {
        TBusyGuard guard(form);
        ClearChart(form);
        TArchiveReadHooks hooks;
        hooks.Started = [&form] {
            form.Label57->show();
            form.ProgressBar2->setValue(0);
            form.ProgressBar2->show();
            form.StringGrid3->SetRowCount(903);
            WriteArchiveHeadings(form);
            ClearArchiveTable(form);
            SetStatus(form, QStringLiteral("Чтение архива "));
            // Page controls stay off until the read has ended: the copy is being replaced.
            form.BitBtn1->setEnabled(false);
            form.BitBtn2->setEnabled(false);
            form.Edit6->setReadOnly(true);
            form.Edit6->clear();
            TBusyGuard::KeepWindowAlive();
        };
        hooks.Progress = [&form](int position, int stored, int) {
            if (stored > position) form.ProgressBar2->setValue(position);
            TBusyGuard::KeepWindowAlive();
        };
        result = ReadArchive(hooks);

        form.Label57->hide();
        form.ProgressBar2->hide();
        if (result.Completed) {
            SetStatus(form, "Прочитано", "Read OK");
            PageCount = ShowArchivePage(form, 1, true);
        } else {
            SetStatus(form, "Ошибка чтения", "Connection error");
        }
        UpdatePageControls(form);
        closing = guard.ClosePending;
    }
    if (result.Completed && !result.Damaged.empty() && !closing)
        if (auto text = DamagedAnswersText(result.Damaged)) ShowMessage(*text);
}

bool AskEraseArchive(QWidget* parent) {
    const bool english = LanguageIndex == 1;
    QMessageBox box(parent);
    box.setIcon(QMessageBox::Question);
    box.setWindowTitle(QStringLiteral("Halvex"));
    box.setText(english ? QStringLiteral("Erase the device archive? The records cannot be "
                                         "recovered.")
                        : QStringLiteral("Стереть архив прибора? Записи будут удалены без "
                                         "возможности восстановления."));
    QPushButton* yes =
        box.addButton(english ? QStringLiteral("Yes") : QStringLiteral("Да"), QMessageBox::YesRole);
    QPushButton* no =
        box.addButton(english ? QStringLiteral("No") : QStringLiteral("Нет"), QMessageBox::NoRole);
    box.setDefaultButton(no);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

void Button5Click(TForm1& form) {
    if (ArchiveBusy()) return;
    if (!AskEraseArchive(&form)) return;
    TBusyGuard guard(form);
    ClearChart(form);
    if (!EraseArchive()) {
        SetStatus(form, QStringLiteral("Ошибка связи "));
        return;
    }
    SetStatus(form, QStringLiteral("Записано "));
    form.ProgressBar1->setValue(0);
    form.Edit6->setText(QStringLiteral(" "));
    form.Label41->setText(QStringLiteral(" "));
    ClearArchiveTable(form);
    for (int row = 0; row < 5; ++row)
        form.StringGrid4->SetCell(1, row, QString());
    UpdatePageControls(form);
}

void ExportArchive(const QString& path) {
    const std::vector<TExportRecord> records = ArchiveExportRecords();
    const QString suffix = QFileInfo(path).suffix().toLower();
    int skipped = 0;
    const std::string content = suffix == QLatin1String("json")  ? ArchiveJson(records)
                                : suffix == QLatin1String("gpx") ? ArchiveGpx(records, skipped)
                                                                 : ArchiveCsv(records);
    if (!WriteFileTelling(path, content)) return;
    if (skipped > 0)
        ShowMessage(MenuText("Не вошли в GPX (невозможная дата или координаты): %1",
                             "Left out of the GPX file (impossible date or coordinates): %1")
                        .arg(skipped));
}

std::vector<TMenuEntry> ArchiveMenu(TForm1& form, QWidget* shown) {
    std::vector<TMenuEntry> entries{{SavePngText(), [shown] { SaveWidgetPng(shown); }}};
    // During a read the copy is half new, half zero; it is only worth a file once complete.
    if (ArchiveLoaded && !ArchiveBusy())
        entries.push_back(
            {MenuText("Экспорт архива (CSV / JSON / GPX)…", "Export archive (CSV / JSON / GPX)…"),
             [&form] {
                 const QString path = AskSaveFileName(
                     &form, QStringLiteral("CSV (*.csv);;JSON (*.json);;GPX (*.gpx)"),
                     QStringLiteral("csv"));
                 if (!path.isEmpty() && ArchiveLoaded && !ArchiveBusy()) ExportArchive(path);
             }});
    return entries;
}

void ConnectArchiveHandlers(TForm1& form) {
    OnClick(form, form.Button4, Button4Click);
    OnClick(form, form.Button5, Button5Click);
    OnClick(form, form.BitBtn1, BitBtn1Click);
    OnClick(form, form.BitBtn2, BitBtn2Click);
    QObject::connect(form.Edit6, &QLineEdit::returnPressed, &form, [&form] { Edit6Enter(form); });
    QObject::connect(form.Edit6, &QLineEdit::editingFinished, &form,
                     [&form] { ShowPageField(form); });
    form.StringGrid3->OnDrawCell = [&form](QPainter& painter, int col, int row, const QRect& rect) {
        StringGrid3DrawCell(form, painter, col, row, rect);
    };
    SetContextMenu(form.StringGrid3, [&form] { return ArchiveMenu(form, form.StringGrid3); });
    SetContextMenu(form.Chart4, [&form] { return ArchiveMenu(form, form.Chart4); });
}
