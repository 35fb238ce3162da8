#pragma once
// The office as a child of the program that cannot outlive it, and what a
// program that died anyway left in the temporary folder.
//
// The office is started by a small watchdog process, in a process group of
// its own. The watchdog holds the read end of a pipe whose write end only
// the program holds; when the program ends in any way (killed included) the
// pipe reaches its end and the watchdog kills its whole group: the office's
// launcher, its splash process and the office program itself.

#include <QByteArray>
#include <QList>
#include <QString>

#include <sys/types.h>

namespace office {

// Starts `program` with `arguments` (argv[0] included) and `environment`
// under a watchdog; input and output go to /dev/null, the data segment of
// the office is bounded. Returns the watchdog's process id, which is also the
// group of everything it started, and sets *lifeline to the write end of the
// pipe (close-on-exec; closing it ends the group). Returns -1 with errno set
// when nothing could be started.
pid_t spawnWatched(const QByteArray &program, const QList<QByteArray> &arguments,
                   const QList<QByteArray> &environment, int *lifeline);

// The environment for the office: the program's own, with the temporary
// folder set to tempFolder (its scratch folders go with the run) and, when
// the character locale the environment names is not installed or is not
// UTF-8, the character locale C.UTF-8: the office cannot read Cyrillic file
// names otherwise.
QList<QByteArray> officeEnvironment(const QString &tempFolder);

// The name every temporary folder and pipe of this process begins with:
// "kuvertix-office-" followed by the process id and "-".
QString leftoverPrefix(pid_t pid);

// The office's profile in a run folder, as the URL the office is given.
QString profileUrl(const QString &runFolder);

// The pipe by which an office keeps to one instance a profile, as the office
// names it: "SingleOfficeIPC_" and the MD5 of the profile's URL in UTF-16,
// each byte in hexadecimal without a leading zero. An office that is killed
// leaves it in /tmp.
QString singleInstancePipe(const QString &profileUrl);
// Removes that pipe of the office of a run folder, once its office has ended.
void removeSingleInstancePipe(const QString &runFolder);

// Removes from tempFolder the folders and office pipes left by programs that
// are no longer running (their process id is in the name); what belongs to
// a running program is never touched. Returns how many entries went.
int removeLeftovers(const QString &tempFolder);

} // namespace office
