#pragma once
// A fresh port folder for tests over real ttys: ports open as ttys again, COMn entries go into the
// folder, and the simulator, started as its own process, links itself there. The destructor
// undoes it in the order the line wants: the program's port, then the simulator, then the folder.
#include "tests/support/SimProcess.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdint>

class TPortFolder {
  public:
    TPortFolder();
    ~TPortFolder();
    TPortFolder(const TPortFolder&) = delete;
    TPortFolder& operator=(const TPortFolder&) = delete;

    bool IsValid() const { return Dir.isValid(); }
    QString Path() const { return Dir.path(); }
    // Where the entry COMn of this folder goes.
    QString Entry(int n) const;
    // Starts halvex-sim quiet, linked as COM`port`, with `extra` arguments after the usual ones.
    bool StartSim(uint8_t port, const QStringList& extra = QStringList());

    TSimProcess Sim;

  private:
    QTemporaryDir Dir;
};
