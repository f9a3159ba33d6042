// Test helper: holds an exclusive lock on a SQLite database until its standard input
// closes, the way a busy product service would. Prints "locked" once the lock is held.
#include "comm/DBTools/Sqlite/SqliteConnect.h"
#include "comm/LogFile.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: DbLockHolder DATABASE\n", stderr);
        return 2;
    }
    CLogFile::Instance().SetOutputs(0); // standard output is the handshake with the caller
    CSqliteConnect db;
    int error = 0;
    if (!db.Open(argv[1], false) || !db.ExecCmd("BEGIN EXCLUSIVE", error)) {
        std::puts("failed");
        return 1;
    }
    std::puts("locked");
    std::fflush(stdout);
    while (std::getchar() != EOF) {
    }
    db.ExecCmd("ROLLBACK", error);
    db.Close();
    return 0;
}
