#pragma once
// One run of a program of the project as its own process: in `dir`, with its port folder under
// `dir`/data, with or without a display, standard output and error collected.
#include <QString>
#include <QStringList>
#include <sys/types.h>

class TChildProgram {
  public:
    TChildProgram(const QString& program, const QString& dir, const QStringList& arguments,
                  bool display);
    ~TChildProgram(); // kills it if still running
    TChildProgram(const TChildProgram&) = delete;
    TChildProgram& operator=(const TChildProgram&) = delete;

    // Reads standard error until it holds `text` or timeoutMs pass.
    bool WaitForError(const QString& text, int timeoutMs = 20000);
    // Reads standard output until it holds `count` lines or timeoutMs pass.
    bool WaitForLines(int count, int timeoutMs = 20000);
    // Waits for the end and gives the exit status (-1: killed or still running after timeoutMs).
    int Finish(int timeoutMs = 20000);

    pid_t Pid = -1;
    QString Stdout, Stderr;

  private:
    int Out = -1, Err = -1;
};
