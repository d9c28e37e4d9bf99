#pragma once
// Right-click menus of the charts and tables, and the one place that asks for a file name to
// save to, so that tests can answer in place of the operator.
#include <QString>
#include <functional>
#include <string>
#include <vector>

class QWidget;

struct TMenuEntry {
    QString Text;
    std::function<void()> Run;
};
using TMenuEntries = std::function<std::vector<TMenuEntry>()>;

// A right click on `widget` pops up the entries that `entries` gives at that moment, so texts
// follow the language and entries can depend on the state (none: no menu).
void SetContextMenu(QWidget* widget, TMenuEntries entries);

// The file name to save to, from a save dialog on `parent`; empty when the operator cancels.
// `filter` as QFileDialog takes it ("CSV (*.csv);;JSON (*.json)"); a name typed without a suffix
// gets the one of the filter chosen, or `suffix`.
QString AskSaveFileName(QWidget* parent, const QString& filter, const QString& suffix);
using TSaveNameAsker =
    std::function<QString(QWidget* parent, const QString& filter, const QString& suffix)>;
// Tests answer the dialog instead of the operator; an empty asker restores the dialog.
void SetSaveNameAsker(TSaveNameAsker asker);

// Writes `content` whole to `path`; a failure is told to the operator (false).
bool WriteFileTelling(const QString& path, const std::string& content);
// Asks for a file name and writes `content` whole; a failure is told to the operator.
void SaveTextAs(QWidget* parent, const QString& filter, const QString& suffix,
                const std::string& content);
// The chart or table as it is drawn now, as a PNG file that the operator names.
void SaveWidgetPng(QWidget* widget);

// "Save as PNG…" in the operator's language.
QString SavePngText();
// The text for LanguageIndex 1 in English, else in Russian: a menu needs a caption whatever the
// index, and the windows' captions stay Russian for any index other than 1.
QString MenuText(const char* russian, const char* english);
