#include "archive/ArchiveView.h"

#include "archive/ArchiveExport.h"
#include "archive/ArchivePageView.h"
#include "archive/ArchiveRecords.h"
#include "archive/ArchiveText.h"
#include "archive/ArchiveTransfer.h"
#include "ui/Connect.h"
#include "ui/Forms.h"
#include "base/Language.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>
#include <qcustomplot.h>

#include <csignal>
#include <iterator>
#include <signal.h>

namespace {

bool Busy = false;

// A signal to end the program that arrives during a command waits for its end, like a close.
constexpr int HeldSignals[] = {SIGTERM, SIGINT, SIGHUP};
volatile std::sig_atomic_t HeldSignal = 0;
extern "C" void HoldSignal(int signal) {
    HeldSignal = signal;
}

// While the archive is read or erased the window keeps painting and answering the window system,
// but nothing else may reach the link or the archive state in the middle: the operator's input is
// dropped (a second click, a tab change that would start polling, a language switch), the timers'
// ticks are skipped, and a request to close the window (or a signal to end the program) waits
// until the command has ended.
class TBusyGuard : public QObject {
  public:
    explicit TBusyGuard(TForm1& form) : Form(&form) {
        Busy = true;
        for (int i = 0; i < 2; ++i)
            TimerWasBlocked[i] = Timer(i)->blockSignals(true);
        qApp->installEventFilter(this);
        QApplication::setOverrideCursor(Qt::WaitCursor);
        struct sigaction hold = {};
        hold.sa_handler = HoldSignal;
        sigemptyset(&hold.sa_mask);
        HeldSignal = 0;
        for (size_t i = 0; i < std::size(HeldSignals); ++i)
            sigaction(HeldSignals[i], &hold, &SignalActions[i]);
    }
    ~TBusyGuard() override {
        for (size_t i = 0; i < std::size(HeldSignals); ++i)
            sigaction(HeldSignals[i], &SignalActions[i], nullptr);
        QApplication::restoreOverrideCursor();
        qApp->removeEventFilter(this);
        if (Form) {
            for (int i = 0; i < 2; ++i)
                Timer(i)->blockSignals(TimerWasBlocked[i]);
        }
        Busy = false;
        // Delivered now, to whatever the program had for it before.
        if (const int signal = HeldSignal) {
            HeldSignal = 0;
            std::raise(signal);
        }
        if (ClosePending && Form) {
            QPointer<TForm1> form = Form;
            QTimer::singleShot(0, form, [form] {
                if (form) form->close();
            });
        }
    }
    TBusyGuard(const TBusyGuard&) = delete;
    TBusyGuard& operator=(const TBusyGuard&) = delete;

    bool ClosePending = false;

    // Lets the window repaint and the window system be answered.
    static void KeepWindowAlive() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::Close:
            if (watched == Form) {
                ClosePending = true;
                event->ignore();
                return true;
            }
            return false;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::Shortcut:
        case QEvent::ShortcutOverride:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TabletPress:
        case QEvent::TabletRelease:
            return true;
        default:
            return false;
        }
    }

  private:
    QTimer* Timer(int i) const { return i == 0 ? Form->Timer1 : Form->Timer2; }
    QPointer<TForm1> Form;
    bool TimerWasBlocked[2] = {};
    struct sigaction SignalActions[std::size(HeldSignals)] = {};
};

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

bool ArchiveBusy() {
    return Busy;
}

void Button4Click(TForm1& form) {
    if (Busy) return;
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
    if (Busy) return;
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
