#include "tests/support/PortFolder.h"

#include "link/ObjectTable.h"
#include "link/SerialLink.h"

TPortFolder::TPortFolder() {
    SetPortOpener(nullptr);
    SetPortFolder(Dir.path().toStdString());
    ComputeEncodedSizes(ObjectTable, ObjectTableCount);
}

TPortFolder::~TPortFolder() {
    ClosePort();
    Sim.Stop();
    SetPortFolder({});
}

QString TPortFolder::Entry(int n) const {
    return Dir.path() + QStringLiteral("/COM%1").arg(n);
}

bool TPortFolder::StartSim(uint8_t port, const QStringList& extra) {
    return Sim.Start(QStringList{"--link", Entry(port), "--no-noise"} + extra);
}
